#pragma once
// Kernel objects owned by one object, and the shared memory of a file mapping.
#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/ScopedWin.h"

// Owns one kernel object handle and closes it when destroyed.
class THandledObject {
public:
    THandledObject() = default;
    virtual ~THandledObject() = default;
    THandledObject(const THandledObject&) = delete;
    THandledObject& operator=(const THandledObject&) = delete;

    HANDLE Handle() const { return FHandle.get(); }

protected:
    ScopedKernelHandle FHandle;
};

// A file mapping backed by the paging file, with a writable view of all of it in this
// process. An empty name makes an unnamed mapping of its own; a name shared with another
// TSharedMem (of any process) opens the same memory.
class TSharedMem : public THandledObject {
public:
    // Raises Exception "Error creating shared memory <Name> (<last error>)" when the mapping
    // cannot be created or mapped; nothing is left open then.
    TSharedMem(const std::string& Name, uint32_t Size);

    const std::string& Name() const { return FName; }
    uint32_t Size() const { return FSize; }
    // True when the mapping did not exist before this object created it.
    bool Created() const { return FCreated; }
    void* Buffer() const { return FBuffer.get(); }

private:
    std::string FName;
    uint32_t FSize;
    bool FCreated = false;
    ScopedView FBuffer; // unmapped before the base closes the mapping
};
