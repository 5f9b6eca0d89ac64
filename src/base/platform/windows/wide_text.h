// UTF-8 text to and from the UTF-16 text of the Windows system calls.
#pragma once

#include <string>
#include <string_view>

namespace kasa {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace kasa
