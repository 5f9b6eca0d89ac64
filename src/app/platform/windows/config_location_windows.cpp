#include <windows.h>

#include <cwchar>
#include <string_view>

#include "app/settings.h"
#include "base/key_value_file.h"
#include "base/platform/windows/wide_text.h"

namespace kasa {

namespace {

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    return value != nullptr ? std::wstring(value) : std::wstring();
}

// Under Program Files or the system folder lives an installed program: even an
// administrator, who may write there, keeps the settings in the profile.
bool IsInstalledProgramFolder(const std::wstring& folder) {
    for (const wchar_t* variable : {L"ProgramFiles", L"ProgramFiles(x86)", L"SystemRoot"}) {
        const std::wstring root = Environment(variable);
        if (!root.empty() && folder.size() > root.size() &&
            ::_wcsnicmp(folder.c_str(), root.c_str(), root.size()) == 0 &&
            (folder[root.size()] == L'\\' || folder[root.size()] == L'/')) {
            return true;
        }
    }
    return false;
}

// Whether a file can be made in the folder: access rights on Windows say too little.
bool CanCreateFileIn(const std::wstring& folder) {
    const std::wstring probe = folder + L".serwis-kas-zapis";
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::CloseHandle(file);
    return true;
}

}  // namespace

ConfigLocationFacts ConfigLocationOfThisProcess() {
    ConfigLocationFacts facts;
    facts.programFolder = PathPlaceholders::OfThisProcess().appFolder;
    const std::wstring folder = WideFromUtf8(facts.programFolder);
    facts.programFolderWritable =
        !folder.empty() && !IsInstalledProgramFolder(folder) && CanCreateFileIn(folder);
    facts.appData = Utf8FromWide(Environment(L"APPDATA"));
    return facts;
}

}  // namespace kasa
