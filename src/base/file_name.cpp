#include "base/file_name.h"

namespace kasa {

namespace {

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 0x20);
        }
    }
    return upper;
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string UpperExtensionOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : AsciiUpper(name.substr(dot + 1));
}

std::string WithSaveExtension(std::string_view path, std::string_view extension) {
    const std::string_view name = FileNameOf(path);
    const std::string_view folder = path.substr(0, path.size() - name.size());
    if (AsciiUpper(name).find(AsciiUpper(extension)) != std::string::npos) {
        return std::string(path);
    }
    std::string kept(name.substr(0, name.find('.')));
    for (const char c : extension) {
        kept += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
    }
    return std::string(folder) + kept;
}

}  // namespace kasa
