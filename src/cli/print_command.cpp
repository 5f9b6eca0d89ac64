#include "cli/print_command.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

#include "app/settings.h"
#include "base/number_text.h"
#include "cli/command_line.h"
#include "gui/print/pdf_file.h"
#include "print/table_print_layout.h"
#include "tables/table_file_kind.h"
#include "tables/table_files.h"

namespace kasa::cli {

namespace {

constexpr std::string_view kUsage =
    "Użycie: kasa [--typ zen|vesper] drukuj TABELA PLIK WYJŚCIE.pdf [--kolumny K1,K2,...]\n"
    "            [--numer S] [--nazwa S] [--kod S]\n"
    "Kolumny to klucze pól (np. NUM,NAZ,KOD,CEN); domyślnie wszystkie.\n"
    "S: tekst, code128, ean13 albo brak (--nazwa bez ean13); dotyczy tabeli PLU.";

// nullopt inside: "brak", the column is left out.
std::optional<std::optional<CellStyle>> StyleOfWord(const std::string& word) {
    static const std::map<std::string, std::optional<CellStyle>, std::less<>> styles = {
        {"tekst", CellStyle::kText},
        {"code128", CellStyle::kCode128},
        {"ean13", CellStyle::kEan13},
        {"brak", std::nullopt},
    };
    const auto found = styles.find(word);
    if (found == styles.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    });
    return text;
}

}  // namespace

int RunDrukuj(CommandContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    std::string columnList;
    // The styles given for the number, name and barcode columns of goods, by field key.
    std::map<std::string, std::string, std::less<>> styles;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue =
            a == "--kolumny" || a == "--numer" || a == "--nazwa" || a == "--kod";
        if (!takesValue) {
            if (a.rfind("--", 0) == 0) {
                return UsageFailure(context, "Nieznana opcja: " + a, kUsage);
            }
            words.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            return UsageFailure(context, "Opcja " + a + " wymaga wartości.", kUsage);
        }
        const std::string& value = args[++i];
        if (a == "--kolumny") {
            columnList = value;
        } else {
            styles[a == "--numer" ? "NUM" : a == "--nazwa" ? "NAZ" : "KOD"] = value;
        }
    }
    if (words.size() != 3) {
        return UsageFailure(context, "", kUsage);
    }
    std::string type = context.options.type;
    ActiveModelSelection().Select(type);
    const RegisterModel& model = *ActiveModel();
    TableKind kind = TableKind::kGoods;
    const TableDescriptor* table = FindGridTableByName(model, words[0], &kind);
    if (table == nullptr) {
        return UsageFailure(context, "Nieznana tabela: " + words[0], kUsage);
    }
    if (TableFileKindOfPath(words[1]) == TableFileKind::kUnknown) {
        return UsageFailure(context, "Nieobsługiwany rodzaj pliku.", kUsage);
    }
    if (const std::string refusal = UnusableTableFileMessage(words[1]); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    if (Upper(words[2]).size() < 4 ||
        Upper(words[2]).substr(Upper(words[2]).size() - 4) != ".PDF") {
        return UsageFailure(context, "Plik wyjściowy musi mieć rozszerzenie .pdf.", kUsage);
    }

    std::vector<PrintColumn> columns;
    if (columnList.empty()) {
        columns = AllTextColumns(*table);
    } else {
        size_t start = 0;
        while (start <= columnList.size()) {
            const size_t comma = std::min(columnList.find(',', start), columnList.size());
            const std::string key = Upper(columnList.substr(start, comma - start));
            const int column = table->ColumnOfKey(key);
            if (column < 0) {
                return UsageFailure(
                    context,
                    "Tabela " + std::string(table->tableName) + " nie ma pola " + key + ".",
                    kUsage);
            }
            columns.push_back({column, CellStyle::kText});
            start = comma + 1;
        }
    }
    for (const auto& [key, word] : styles) {
        const std::optional<std::optional<CellStyle>> style = StyleOfWord(word);
        if (kind != TableKind::kGoods || !style || (key == "NAZ" && *style == CellStyle::kEan13)) {
            return UsageFailure(context, "Nieprawidłowy sposób druku pola " + key + ": " + word,
                                kUsage);
        }
        const int column = table->ColumnOfKey(key);
        const auto found = std::find_if(columns.begin(), columns.end(), [&](const PrintColumn& c) {
            return c.gridColumn == column;
        });
        if (!*style) {
            if (found != columns.end()) {
                columns.erase(found);
            }
        } else if (found != columns.end()) {
            found->style = **style;
        }
    }

    TableSet tables;
    const int minPlu = ClampMinPlu(context.options.minPlu);
    const TableLoadOutcome loaded = LoadTableFile(words[1], model, kind, tables, minPlu);
    if (!loaded.message.empty()) {
        context.err << loaded.message << "\n";
    }
    if (!loaded.ok()) {
        return kExitFailure;
    }
    const PrintLayout print = ReadSettingsFile(ResolveConfigFilePath(context.options.config)).print;
    TablePrintRequest request;
    request.table = table;
    request.grid = &tables.Grid(kind);
    request.columns = std::move(columns);
    request.parameters.inches = {print.KodKreskowy, print.Lewy,    print.Dolny,
                                 print.Prawy,       print.Wiersza, print.Kolumny};
    const TableLayoutResult laid = LayOutTable(request);
    if (!laid.ok()) {
        context.err << laid.error << "\n";
        return kExitFailure;
    }
    const WriteResult written = gui::WritePdfFile(laid.document, words[2]);
    if (!written.ok) {
        context.err << written.message << "\n";
        return kExitFailure;
    }
    context.out << "Zapisano "
                << CountText(static_cast<int64_t>(laid.document.pages.size()), "stronę", "strony",
                             "stron")
                << " tabeli " << table->tableName << " do pliku " << words[2] << ".\n";
    return kExitSuccess;
}

}  // namespace kasa::cli
