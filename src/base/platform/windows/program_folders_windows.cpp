#include <windows.h>

#include <filesystem>

#include "base/key_value_file.h"
#include "base/platform/windows/wide_text.h"

namespace kasa {

PathPlaceholders PathPlaceholders::OfThisProcess() {
    namespace fs = std::filesystem;
    PathPlaceholders folders;
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = 0;
    // The path may be longer than MAX_PATH; the buffer grows until it fits.
    while ((length = ::GetModuleFileNameW(nullptr, buffer.data(),
                                          static_cast<DWORD>(buffer.size()))) == buffer.size()) {
        buffer.resize(buffer.size() * 2);
    }
    if (length > 0) {
        const fs::path program(buffer.substr(0, length));
        folders.appFolder = Utf8FromWide(program.parent_path().wstring()) + "\\";
        folders.programName = Utf8FromWide(program.stem().wstring());
    }
    std::error_code error;
    const fs::path work = fs::current_path(error);
    if (!error) {
        folders.workFolder = Utf8FromWide(work.wstring()) + "\\";
    }
    wchar_t system[MAX_PATH];
    const UINT systemLength = ::GetSystemDirectoryW(system, MAX_PATH);
    folders.systemFolder = systemLength > 0 && systemLength < MAX_PATH
                               ? Utf8FromWide(std::wstring_view(system, systemLength)) + "\\"
                               : "c:\\windows\\system32\\";
    return folders;
}

}  // namespace kasa
