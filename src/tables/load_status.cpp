#include "tables/load_status.h"

#include "comm/number_text.h"
#include "tables/text_grid.h"

namespace kasa {

std::string LoadStatusMessage(int status, const TableDescriptor& table, int minPlu) {
    const int first = FirstShownNumber(table, minPlu);
    const int last = RecordNumberOfRow(table, minPlu, GridRowCount(table, minPlu) - 1);
    switch (status) {
        case kLoadNoSeparator:
            return "Brak separatora.";
        case kLoadRecordNumberZero:
            return "Plik posiada wiersz o numerze 0\nlub brak numeru w wierszu.\n";
        case kLoadTooManyLines:
            return "Plik posiada zbyt dużo linii.\nKasa może mieć tylko " + DecimalText(last) +
                   " linii.\n";
        case kLoadRecordsOutOfRange:
            return "Istnieją rekordy o numerze z poza zakresu\n<" + DecimalText(first) + "," +
                   DecimalText(last) + ">. Zostały pominięte.";
        case kLoadEmptyFile:
            return "Podany plik jest pusty lub nieistnieje";
        case kLoadBadRowStructure:
            return "Nieprawidłowa struktura wiersza " + std::string(table.keyPrefix);
        case kLoadRowOutOfRange:
            return "Numer wiersza poza zakresem. ";
        default:
            return {};
    }
}

}  // namespace kasa
