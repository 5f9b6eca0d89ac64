// Where the libraries that read and write workbooks are missing (the Windows build), every
// workbook is refused with the same message.
#include "tables/xlsx_workbook.h"

namespace kasa {

bool WorkbooksSupported() {
    return false;
}

std::string WorkbooksUnsupportedMessage() {
    return "Pliki XLSX (skoroszyty Excel) obsługuje wersja programu dla Linuksa; ta wersja "
           "(Windows) zapisuje i czyta tabele w plikach .pod, .csv i .txt.";
}

WriteResult WriteWorkbook(const std::string& path, std::string_view,
                          const std::vector<std::vector<WorkbookCell>>&, const std::vector<bool>&) {
    return WriteFailure(path, 0, WorkbooksUnsupportedMessage());
}

WorkbookReadResult ReadFirstWorksheet(std::string_view) {
    WorkbookReadResult result;
    result.reason = WorkbooksUnsupportedMessage();
    return result;
}

}  // namespace kasa
