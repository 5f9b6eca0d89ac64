#include <windows.h>

#include <vector>

#include "base/platform/windows/wide_text.h"
#include "comm/fastcom.h"

namespace kasa {

bool FastCom::ThisProcessSuggestsCompatibility() {
    wchar_t* block = ::GetEnvironmentStringsW();
    if (block == nullptr) {
        return false;
    }
    std::vector<std::string> strings;
    for (const wchar_t* entry = block; *entry != L'\0';
         entry += std::wstring_view(entry).size() + 1) {
        strings.push_back(Utf8FromWide(entry));
    }
    ::FreeEnvironmentStringsW(block);
    std::vector<const char*> environment;
    for (const std::string& text : strings) {
        environment.push_back(text.c_str());
    }
    environment.push_back(nullptr);
    return EnvironmentSuggestsCompatibility(environment.data());
}

}  // namespace kasa
