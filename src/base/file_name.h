// File names as the user types them: the name part of a path and its extension.
#pragma once

#include <string>
#include <string_view>

namespace kasa {

// The last part of a path, after its last "/" (or "\" of a Windows-style name).
std::string_view FileNameOf(std::string_view path);

// The extension of the file name, upper-case and without its dot ("CSV" for
// "/dane/towary.csv"); empty when the name has no dot.
std::string UpperExtensionOf(std::string_view path);

// The name a sequence save dialog keeps: when the file name does not contain the
// extension (".txt"), in either case, the name loses everything from its first dot and
// gets the extension in lower case.
std::string WithSaveExtension(std::string_view path, std::string_view extension);

}  // namespace kasa
