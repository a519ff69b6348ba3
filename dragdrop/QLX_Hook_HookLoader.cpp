#include "dragdrop/QLX_Hook_HookLoader.h"

#include "dragdrop/QLX_Hook_HookCommon.h"
#include "toolkit/WinErrors.h"

THookLibrary& THookLibrary::Instance() {
    static THookLibrary library;
    return library;
}

int32_t THookLibrary::Load(const std::string& FileName) {
    if (Library_) {
        ++Refs_;
        return hrNoError;
    }
    HMODULE module = ::LoadLibraryA(FileName.c_str());
    if (!module) {
        const std::string retry = HookLibraryRetryName(FileName);
        if (!retry.empty())
            module = ::LoadLibraryA(retry.c_str());
    }
    if (!module) {
        // A failure must never read as success.
        const DWORD error = ::GetLastError();
        return static_cast<int32_t>(error ? error : ERROR_MOD_NOT_FOUND);
    }
    Library_.reset(module);
    ++Refs_;
    AttachReceiver_ =
        reinterpret_cast<TAttachReceiverProc>(::GetProcAddress(module, "AttachReceiver"));
    DetachReceiver_ =
        reinterpret_cast<TDetachReceiverProc>(::GetProcAddress(module, "DetachReceiver"));
    LastError_ = reinterpret_cast<TLastErrorProc>(::GetProcAddress(module, "LastError"));
    if (!AttachReceiver_ || !DetachReceiver_ || !LastError_) {
        Unload();
        return hrMissingExports;
    }
    return hrNoError;
}

void THookLibrary::Unload() {
    if (!Library_)
        return;
    if (--Refs_ > 0)
        return;
    Library_.reset();
    Refs_ = 0;
    AttachReceiver_ = nullptr;
    DetachReceiver_ = nullptr;
    LastError_ = nullptr;
}

int32_t THookLibrary::AttachReceiver(uint8_t Kind, HWND Window, uint8_t Option) const {
    if (!AttachReceiver_)
        return hrMissingExports;
    return AttachReceiver_(Kind, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Window)),
                           Option);
}

int32_t LoadHookLibrary(const std::string& FileName) {
    return THookLibrary::Instance().Load(FileName);
}

void UnloadHookLibrary() {
    THookLibrary::Instance().Unload();
}

std::string HookErrorText(int32_t Code) {
    if (Code >= 1) {
        // A code the system has no text for would otherwise read as success (an empty text).
        std::string text = SysErrorMessage(static_cast<DWORD>(Code));
        if (!text.empty())
            return text;
    }
    return HookResultText(Code);
}
