#pragma once
// The fuzzers' reading of their input: bytes taken from the front, one value at a time, and
// zeros once the input is used up. Reading from the front keeps the seed files easy to write
// by hand (one byte per small choice, in the order the fuzzer asks).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zvfuzz {

class TFuzzInput {
public:
    TFuzzInput(const uint8_t* Data, std::size_t Size) : Data_(Data), Size_(Size) {}

    bool Empty() const { return Pos_ >= Size_; }
    uint8_t Byte() { return Empty() ? 0 : Data_[Pos_++]; }
    bool Bool() { return (Byte() & 1) != 0; }
    // Lo .. Hi from one byte (the range should be small).
    int Small(int Lo, int Hi) { return Lo + Byte() % (Hi - Lo + 1); }
    // Four bytes, little-endian: any 32-bit value.
    int32_t Int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t{Byte()} << (8 * i);
        return static_cast<int32_t>(v);
    }
    // A length byte (at most MaxLength), then that many bytes.
    std::string Text(std::size_t MaxLength) {
        std::string s(Byte() % (MaxLength + 1), '\0');
        for (char& c : s)
            c = static_cast<char>(Byte());
        return s;
    }

private:
    const uint8_t* Data_;
    std::size_t Size_;
    std::size_t Pos_ = 0;
};

// A broken rule is a finding: say which, and stop the run as a crash does, so that libFuzzer
// saves the input.
[[noreturn]] inline void Broken(const char* Rule, const char* File, int Line) {
    std::fprintf(stderr, "%s:%d: broken rule: %s\n", File, Line, Rule);
    std::abort();
}

} // namespace zvfuzz

#define ZV_FUZZ_CHECK(cond)                                                                        \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::zvfuzz::Broken(#cond, __FILE__, __LINE__);                                           \
    } while (0)
