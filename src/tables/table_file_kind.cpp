#include "tables/table_file_kind.h"

#include <string>

#include "base/file_name.h"

namespace kasa {

TableFileKind TableFileKindOfPath(std::string_view path) {
    return TableFileKindOfExtension(UpperExtensionOf(path));
}

TableFileKind TableFileKindOfExtension(std::string_view extension) {
    const size_t begin = extension.find_first_not_of(" \t");
    extension = begin == std::string_view::npos
                    ? std::string_view()
                    : extension.substr(begin, extension.find_last_not_of(" \t") + 1 - begin);
    if (extension.starts_with('.')) {
        extension.remove_prefix(1);
    }
    const std::string upper = UpperExtensionOf("." + std::string(extension));
    for (const TableFileKind kind :
         {TableFileKind::kPod, TableFileKind::kCsv, TableFileKind::kTxt, TableFileKind::kXlsx}) {
        if (upper == TableFileKindName(kind)) {
            return kind;
        }
    }
    return TableFileKind::kUnknown;
}

std::string_view TableFileKindName(TableFileKind kind) {
    switch (kind) {
        case TableFileKind::kPod:
            return "POD";
        case TableFileKind::kCsv:
            return "CSV";
        case TableFileKind::kTxt:
            return "TXT";
        case TableFileKind::kXlsx:
            return "XLSX";
        case TableFileKind::kUnknown:
            break;
    }
    return {};
}

char TableFileSeparator(TableFileKind kind) {
    return kind == TableFileKind::kCsv ? ';' : kind == TableFileKind::kTxt ? '\t' : 0;
}

}  // namespace kasa
