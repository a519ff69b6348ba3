#include "dragdrop/QLX_Hook_HookCommon.h"

#include "toolkit/SysUtils.h"

#include <cctype>

const char* const HookResultTexts[HookResultLast - HookResultFirst + 1] = {
    "System hook already installed.",             // -5
    "Too many receivers.",                        // -4
    "Receiver not registered.",                   // -3
    "Receiver already registered.",               // -2
    "DLL doesn't export all required functions.", // -1
    "No error.",                                  // 0
};

std::string HookResultText(int32_t Code) {
    if (Code >= HookResultFirst && Code <= HookResultLast)
        return HookResultTexts[Code - HookResultFirst];
    return Format("Unknown error %d", static_cast<int>(Code));
}

std::string HookLibraryRetryName(const std::string& FileName) {
    // The extension is the part from the last dot of the file name itself; a dot in a folder
    // name does not count.
    const size_t nameStart = FileName.find_last_of("\\/:");
    const size_t dot = FileName.rfind('.');
    const bool hasExt =
        dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    const std::string stem = hasExt ? FileName.substr(0, dot) : FileName;
    if (hasExt) {
        std::string ext = FileName.substr(dot);
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".dll")
            return {};
    }
    return stem + ".dll";
}
