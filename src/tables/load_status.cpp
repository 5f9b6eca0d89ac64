#include "tables/load_status.h"

#include "tables/text_grid.h"

namespace kasa {

std::string LoadStatusMessage(int status, const TableDescriptor& table, int minPlu) {
    const int first = FirstShownNumber(table, minPlu);
    const int last = RecordNumberOfRow(table, minPlu, GridRowCount(table, minPlu) - 1);
    switch (status) {
        case kLoadPodBadStructure:
            return "Nieprawidłowa struktura wiersza " + std::string(table.keyPrefix);
        case kLoadPodRowOutOfRange:
            return "Numer wiersza poza zakresem. ";
        default:
            return LoadStatusMessage(static_cast<int32_t>(status), first, last);
    }
}

}  // namespace kasa
