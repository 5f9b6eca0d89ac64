#include "tables/load_status.h"

#include <charconv>

#include "base/codepage.h"
#include "base/text_encoding.h"
#include "tables/text_grid.h"

namespace kasa {

int64_t RecordNumberOf(std::string_view text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return 0;
    }
    text = text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
    int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return 0;
    }
    return number;
}

int32_t DecodeTableFileText(std::string& bytes) {
    if (bytes.empty()) {
        return kLoadEmptyFile;
    }
    if (!DecodeTextInPlace(bytes)) {
        return kLoadNotText;
    }
    return bytes.find_first_not_of(" \t\r\n") == std::string::npos ? kLoadEmptyFile : kLoadOk;
}

std::string OtherRegisterTypeMessage(std::string_view path, std::string_view fileType,
                                     std::string_view chosenType) {
    std::string message = "Plik ";
    if (!path.empty()) {
        message += path;
        message += ' ';
    }
    return message + "zawiera tabelę kasy " + Utf8ToUpper(fileType) + ", a wybrana kasa to " +
           Utf8ToUpper(chosenType) + ".";
}

std::string LoadStatusMessage(int status, const TableDescriptor& table, int minPlu) {
    const int first = FirstShownNumber(table, minPlu);
    const int last = RecordNumberOfRow(table, minPlu, GridRowCount(table, minPlu) - 1);
    switch (status) {
        case kLoadPodBadStructure:
            return "Nieprawidłowa struktura wiersza " + std::string(table.keyPrefix);
        case kLoadPodRowOutOfRange:
            return "Numer wiersza poza zakresem. ";
        case kLoadNoTableSection:
            return "Plik nie zawiera tabeli " + std::string(table.tableName) + " (brak sekcji [" +
                   std::string(table.sectionName) + "]).";
        case kLoadNoRecords:
            return "Plik nie zawiera żadnego rekordu tabeli " + std::string(table.tableName) + ".";
        default:
            return LoadStatusMessage(static_cast<int32_t>(status), first, last);
    }
}

}  // namespace kasa
