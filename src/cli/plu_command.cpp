#include "cli/plu_command.h"

#include <ostream>

#include "base/number_text.h"
#include "cli/command_line.h"
#include "tables/goods_tools.h"
#include "tables/table_file_kind.h"
#include "tables/table_files.h"

namespace kasa::cli {

namespace {

constexpr std::string_view kUsage =
    "Użycie: kasa [--typ zen|vesper] plu NARZĘDZIE PLIK WYJŚCIE\n"
    "Narzędzia: sortuj [--malejaco], kompaktuj, ean, skroc N, mnoznik X, plus,\n"
    "           przelicz [--magazyn] [--sprzedaz]";

}  // namespace

int RunPlu(CommandContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    bool descending = false;
    bool stock = false;
    bool sales = false;
    for (const std::string& arg : args) {
        if (arg == "--malejaco") {
            descending = true;
        } else if (arg == "--magazyn") {
            stock = true;
        } else if (arg == "--sprzedaz") {
            sales = true;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        return UsageFailure(context, "", kUsage);
    }
    const std::string tool = words[0];
    const bool takesValue = tool == "skroc" || tool == "mnoznik";
    if (words.size() != (takesValue ? 4u : 3u)) {
        return UsageFailure(context, "", kUsage);
    }
    const std::string value = takesValue ? words[1] : std::string();
    const std::string& input = words[words.size() - 2];
    const std::string& output = words.back();
    if (TableFileKindOfPath(input) == TableFileKind::kUnknown ||
        TableFileKindOfPath(output) == TableFileKind::kUnknown) {
        return UsageFailure(context, "Nieobsługiwany rodzaj pliku.", kUsage);
    }
    if (const std::string refusal = UnusableTableFileMessage(input); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    if (const std::string refusal = UnusableTableFileMessage(output); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }

    std::string type = context.options.type;
    ActiveModelSelection().Select(type);
    const RegisterModel& model = *ActiveModel();
    const TableDescriptor& table = model.Table(TableKind::kGoods);
    const int minPlu = ClampMinPlu(context.options.minPlu);
    TableSet tables;
    const TableLoadOutcome loaded = LoadTableFile(input, model, TableKind::kGoods, tables, minPlu);
    if (!loaded.message.empty()) {
        context.err << loaded.message << "\n";
    }
    if (!loaded.ok()) {
        return kExitFailure;
    }
    TextGrid& grid = tables.Grid(TableKind::kGoods);

    int changed = 0;
    if (tool == "sortuj") {
        changed = SortByName(table, grid, descending);
    } else if (tool == "kompaktuj") {
        changed = CompactRecords(grid);
    } else if (tool == "ean") {
        changed = SetEan13CheckDigits(table, grid);
    } else if (tool == "plus") {
        changed = StripTrailingPlus(table, grid);
    } else if (tool == "skroc") {
        const std::optional<double> length = ParseDouble(value);
        if (value.empty() || value.size() > 3 ||
            value.find_first_not_of("0123456789") != std::string::npos || !length || *length < 1) {
            return UsageFailure(context, "Długość nazwy musi być liczbą większą od zera.", kUsage);
        }
        changed = ShortenNames(table, grid, static_cast<int>(*length));
    } else if (tool == "mnoznik") {
        const ToolOutcome outcome = MultiplyPrices(table, grid, value);
        if (!outcome.error.empty()) {
            context.err << outcome.error << "\n";
            return kExitFailure;
        }
        if (!outcome.skipped.empty()) {
            context.err << SkippedPricesNote(outcome.skipped) << "\n";
        }
        changed = outcome.changed;
    } else if (tool == "przelicz") {
        if (!stock && !sales) {
            return UsageFailure(context, "Wybierz --magazyn, --sprzedaz albo obie.", kUsage);
        }
        if (table.ColumnOfKey("WAR") < 0) {
            context.err << "Tabela PLU kasy " << model.name << " nie ma kolumn wartości.\n";
            return kExitFailure;
        }
        changed = RecalculateGoodsValues(table, grid, stock, sales);
    } else {
        return UsageFailure(context, "Nieznane narzędzie: " + tool, kUsage);
    }

    const WriteResult written = SaveTableFile(output, model, TableKind::kGoods, tables, minPlu);
    if (!written.ok) {
        context.err << written.message << "\n";
        return kExitFailure;
    }
    context.out << "Zmieniono: " << changed << ". Zapisano " << output << ".\n";
    return kExitSuccess;
}

}  // namespace kasa::cli
