#include "tables/table_files.h"

#include <utility>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"
#include "tables/table_text_file.h"

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

// Reads one table into `tables`; the caller decides whether what was read is kept.
TableLoadOutcome LoadInto(const std::string& path, const RegisterModel& model, TableKind kind,
                          TableSet& tables, int minPlu) {
    const TableDescriptor& table = model.Table(kind);
    TableLoadOutcome outcome;
    TableFileReader reader;
    // Every kind of file goes through the reader: it tells a missing, empty or binary
    // file, and a .pod by its content whatever the file is called. The separator is found
    // in the file itself, as spreadsheets save either.
    TextGrid scratch;
    const int status =
        reader.Read(path, table, IsGridTable(kind) ? tables.Grid(kind) : scratch, minPlu, 0);
    if (status == kLoadIsPodFile) {
        KeyValueFile file;
        file.ParseText(reader.Text());
        if (!file.SectionExists(table.sectionName)) {
            outcome.status = kLoadNoTableSection;
        } else {
            const PodLoadResult pod = LoadTableFromPod(file, model, kind, tables, minPlu, path);
            outcome.status = pod.status;
            outcome.message = pod.message;
            if (pod.ok() && IsGridTable(kind) && !HoldsRecord(tables.Grid(kind))) {
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
    WriteResult refused;
    refused.message = "Nieobsługiwany rodzaj pliku: " + path +
                      "\nTabele zapisuje się do plików .pod, .csv i .txt.";
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
