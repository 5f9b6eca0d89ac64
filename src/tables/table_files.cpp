#include "tables/table_files.h"

#include "base/codepage.h"
#include "tables/table_text_file.h"

namespace kasa {

namespace {

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string ext = path.substr(dot);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return ext;
}

}  // namespace

TableFileKind TableFileKindOfPath(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".pod") {
        return TableFileKind::kPod;
    }
    if (ext == ".csv") {
        return TableFileKind::kCsv;
    }
    if (ext == ".txt") {
        return TableFileKind::kTxt;
    }
    return TableFileKind::kUnknown;
}

WriteResult SaveTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                          const TableSet& tables, int minPlu) {
    const TableFileKind fileKind = TableFileKindOfPath(path);
    const bool gridTable = kind != TableKind::kHeader && kind != TableKind::kVat;
    if (fileKind == TableFileKind::kPod) {
        return SaveTableToPodFile(path, model, kind, tables, minPlu);
    }
    if ((fileKind == TableFileKind::kCsv || fileKind == TableFileKind::kTxt) && gridTable) {
        return SaveTableTextFile(path, tables.Grid(kind), model.Table(kind),
                                 fileKind == TableFileKind::kCsv ? ';' : '\t');
    }
    WriteResult refused;
    refused.message = "Nieobsługiwany rodzaj pliku: " + path +
                      "\nTabele zapisuje się do plików .pod, .csv i .txt.";
    return refused;
}

TableLoadOutcome LoadTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu) {
    TableLoadOutcome outcome;
    const TableFileKind fileKind = TableFileKindOfPath(path);
    const TableDescriptor& table = model.Table(kind);
    const auto loadPod = [&] {
        const PodLoadResult pod = LoadTableFromPodFile(path, model, kind, tables, minPlu);
        outcome.status = pod.status;
        outcome.message = pod.message;
    };
    if (fileKind == TableFileKind::kPod || kind == TableKind::kHeader || kind == TableKind::kVat) {
        loadPod();
        return outcome;
    }
    TableFileReader reader;
    // The separator is found in the file itself: spreadsheets save either.
    const int status = reader.Read(path, table, tables.Grid(kind), minPlu, 0);
    if (status == kLoadIsPodFile) {
        loadPod();
        return outcome;
    }
    outcome.status = status;
    outcome.message = LoadStatusMessage(status, table, minPlu);
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
