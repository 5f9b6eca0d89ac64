// The user's description of the sequence language, pieces separated by CR.
#pragma once

#include <string_view>

namespace kasa {

std::string_view SequenceLanguageDescription();

}  // namespace kasa
