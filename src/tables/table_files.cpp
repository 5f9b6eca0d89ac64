#include "tables/table_files.h"

#include <utility>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"
#include "tables/table_text_file.h"
#include "tables/table_workbook.h"
#include "tables/xlsx_workbook.h"

namespace kasa {

namespace {

bool IsGridTable(TableKind kind) {
    return kind != TableKind::kHeader && kind != TableKind::kVat;
}

bool HoldsRecord(const TextGrid& grid) {
    for (int r = 1; r < grid.RowCount(); ++r) {
        if (!grid.IsEmptyRecord(r)) {
            return true;
        }
    }
    return false;
}

std::string NotWorkbookMessage(const std::string& path, const std::string& reason) {
    return "Plik " + path + " nie jest poprawnym skoroszytem Excel (.xlsx): " + reason +
           ".\nNie wczytano niczego.";
}

// Reads one table into `tables`; the caller decides whether what was read is kept.
TableLoadOutcome LoadInto(const std::string& path, const RegisterModel& model, TableKind kind,
                          TableSet& tables, int minPlu) {
    const TableDescriptor& table = model.Table(kind);
    TableLoadOutcome outcome;
    TableFileReader reader;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        bytes.clear();  // a missing or unreadable file reads as empty
    }
    // A workbook is told by its name or by its content; any other file goes through the
    // text reader: it tells an empty or binary file, and a .pod by its content whatever
    // the file is called. The separator is found in the file itself, as spreadsheets save
    // either.
    TextGrid scratch;
    int status = kLoadOk;
    if (!bytes.empty() &&
        (TableFileKindOfPath(path) == TableFileKind::kXlsx || LooksLikeZip(bytes))) {
        if (!WorkbooksSupported()) {
            outcome.status = kLoadNotWorkbook;
            outcome.message = WorkbooksUnsupportedMessage();
            return outcome;
        }
        WorkbookReadResult workbook = ReadFirstWorksheet(bytes);
        bytes.clear();
        if (!workbook.ok) {
            outcome.status = kLoadNotWorkbook;
            outcome.message = NotWorkbookMessage(path, workbook.reason);
            return outcome;
        }
        status = reader.ReadRows(std::move(workbook.rows), table,
                                 IsGridTable(kind) ? tables.Grid(kind) : scratch, minPlu);
    } else {
        status = reader.ReadOwnedBytes(std::move(bytes), table,
                                       IsGridTable(kind) ? tables.Grid(kind) : scratch, minPlu, 0);
    }
    if (status == kLoadIsPodFile) {
        KeyValueFile file;
        file.ParseText(reader.Text());
        if (!file.SectionExists(table.sectionName)) {
            outcome.status = kLoadNoTableSection;
        } else {
            const PodLoadResult pod = LoadTableFromPod(file, model, kind, tables, minPlu, path);
            outcome.status = pod.status;
            outcome.message = pod.message;
            // Records given as empty count: a write empties them in the register.
            if (pod.ok() && IsGridTable(kind) && !tables.HoldsRecordsToWrite(kind)) {
                outcome.status = kLoadNoRecords;
            }
        }
    } else if (!IsGridTable(kind) && status != kLoadEmptyFile && status != kLoadNotText) {
        // The header and the VAT rates exist only in .pod files.
        outcome.status = kLoadNoTableSection;
    } else {
        outcome.status = status;
    }
    if (outcome.message.empty()) {
        if (outcome.status == kLoadNotText) {
            outcome.message = NotTextFileMessage(path);
        } else if (outcome.status == kLoadRepeatedRecord) {
            outcome.message = "Plik " + path + ", wiersz " + DecimalText(reader.RepeatedLine()) +
                              ": powtórzony numer rekordu " + DecimalText(reader.RepeatedNumber()) +
                              ".\nNie wczytano niczego.";
        } else if (outcome.status == kLoadIncompleteLine) {
            outcome.message = reader.LineMessage();
        } else {
            outcome.message = LoadStatusMessage(outcome.status, table, minPlu);
        }
    }
    // A column the table does not have is told about, also when everything else loaded.
    if (!LoadFailedWhole(outcome.status) && status != kLoadIsPodFile) {
        for (const std::string& title : reader.UnknownTitles()) {
            if (!outcome.message.empty() && outcome.message.back() != '\n') {
                outcome.message += '\n';
            }
            outcome.message += UnknownColumnMessage(title);
        }
    }
    return outcome;
}

}  // namespace

WriteResult SaveTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                          const TableSet& tables, int minPlu) {
    const TableFileKind fileKind = TableFileKindOfPath(path);
    if (fileKind == TableFileKind::kPod) {
        return SaveTableToPodFile(path, model, kind, tables, minPlu);
    }
    if (TableFileSeparator(fileKind) != 0 && IsGridTable(kind)) {
        return SaveTableTextFile(path, tables.Grid(kind), model.Table(kind),
                                 TableFileSeparator(fileKind));
    }
    if (fileKind == TableFileKind::kXlsx && IsGridTable(kind)) {
        if (!WorkbooksSupported()) {
            return WriteResult{false, 0, WorkbooksUnsupportedMessage()};
        }
        return SaveTableWorkbook(path, tables.Grid(kind), model.Table(kind));
    }
    WriteResult refused;
    refused.message = "Nieobsługiwany rodzaj pliku: " + path +
                      "\nTabele zapisuje się do plików .pod, .csv, .txt i .xlsx.";
    return refused;
}

TableLoadOutcome LoadTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu) {
    TableSet loaded = tables;
    TableLoadOutcome outcome = LoadInto(path, model, kind, loaded, minPlu);
    // A file that gave nothing leaves the table as it was; records read before a bad one
    // stay, as the user is told where reading stopped.
    const bool gaveSomething = outcome.ok() || !IsGridTable(kind) || HoldsRecord(loaded.Grid(kind));
    if (!LoadFailedWhole(outcome.status) && gaveSomething) {
        tables = std::move(loaded);
    }
    return outcome;
}

std::string UnusableTableFileMessage(const std::string& path) {
    if (TableFileKindOfPath(path) == TableFileKind::kXlsx && !WorkbooksSupported()) {
        return WorkbooksUnsupportedMessage();
    }
    return {};
}

const TableDescriptor* FindGridTableByName(const RegisterModel& model, const std::string& name,
                                           TableKind* kind) {
    const std::string wanted = Utf8ToUpper(name);
    for (int i = 0; i < kTableKindCount; ++i) {
        const TableDescriptor* table = model.tables[static_cast<size_t>(i)];
        if (table->FieldCount() > 0 && Utf8ToUpper(table->tableName) == wanted) {
            if (kind != nullptr) {
                *kind = static_cast<TableKind>(i);
            }
            return table;
        }
    }
    return nullptr;
}

}  // namespace kasa
