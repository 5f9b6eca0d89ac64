#include "cli/check_command.h"

#include <ostream>

#include "app/settings.h"
#include "app/validation_commands.h"
#include "base/codepage.h"
#include "base/number_text.h"
#include "cli/command_line.h"
#include "cli/terminal_user_interface.h"
#include "tables/pod_file.h"
#include "tables/table_file_kind.h"
#include "tables/table_files.h"

namespace kasa::cli {

namespace {

constexpr std::string_view kUsage =
    "Użycie: kasa [--typ zen|vesper] sprawdz TABELA PLIK [--max N] [--ean]\n"
    "        kasa [--typ zen|vesper] sprawdz wszystko PLIK.pod [--max N] [--ean]\n"
    "Pliki: .pod, .csv, .txt, .xlsx; tabele: Opakowania, Klawisze, Kasjer, Rabat, Doplata, Formy, "
    "PLU;\n"
    "nagłówek i stawki VAT (Naglowek, StawkiVAT) tylko z pliku .pod";

std::string FaultCountText(int64_t n) {
    return CountText(n, "błąd", "błędy", "błędów");
}

// The closing line: at the limit the pass stopped, so the count is no total.
std::string FaultSummary(int64_t faults, bool limitReached, int32_t limit) {
    if (!limitReached) {
        return "Znaleziono " + FaultCountText(faults) + ".";
    }
    return "Znaleziono " + FaultCountText(faults) + " i osiągnięto limit błędów (" +
           DecimalText(limit) + "): sprawdzanie przerwano, błędów może być więcej.";
}

// Shows the loader's messages on the terminal and counts the tables it took up: a file
// that is read at all advances the progress once per table.
class LoadProgress : public TerminalUserInterface {
  public:
    explicit LoadProgress(CommandContext& context)
        : TerminalUserInterface(context.in, context.err, true, false, false) {}
    void SetProgress(int position, int maximum) override {
        ++tablesTaken;
        TerminalUserInterface::SetProgress(position, maximum);
    }
    int tablesTaken = 0;
};

}  // namespace

int RunSprawdz(CommandContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    Settings settings;
    settings.ErrorMax = context.options.errorMax;
    bool ean = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ean") {
            ean = true;
        } else if (args[i] == "--max") {
            const std::string text = i + 1 < args.size() ? args[++i] : std::string();
            if (text.empty() || text.size() > 9 ||
                text.find_first_not_of("0123456789") != std::string::npos) {
                return UsageFailure(context, "Opcja --max wymaga liczby (np. 200).", kUsage);
            }
            settings.ErrorMax = static_cast<int32_t>(ParseDouble(text).value_or(0));
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.size() != 2) {
        return UsageFailure(context, "", kUsage);
    }
    std::string type = context.options.type;
    ActiveModelSelection().Select(type);
    const RegisterModel& model = *ActiveModel();
    const int minPlu = ClampMinPlu(context.options.minPlu);
    TableSet tables;
    bool unloaded = false;
    ValidationCommand command = ValidationCommand::kWeryfikacja;
    if (words[0] == "wszystko") {
        if (TableFileKindOfPath(words[1]) != TableFileKind::kPod) {
            return UsageFailure(context, "Wszystkie tabele są tylko w pliku .pod.", kUsage);
        }
        LoadProgress ui(context);
        const PodLoadResult loaded =
            LoadAllFromPodFile(words[1], model, tables, minPlu, ui, "Ładuj wszystko z pliku");
        // A table that failed to load was told about; the others are still checked, but
        // the file as a whole did not pass.
        if (ui.tablesTaken == 0) {
            return kExitUsage;
        }
        unloaded = !loaded.ok();
    } else {
        TableKind kind = TableKind::kGoods;
        const std::string wanted = Utf8ToUpper(words[0]);
        if (wanted == Utf8ToUpper(model.Table(TableKind::kHeader).tableName)) {
            kind = TableKind::kHeader;
        } else if (wanted == Utf8ToUpper(model.Table(TableKind::kVat).tableName)) {
            kind = TableKind::kVat;
        } else if (FindGridTableByName(model, words[0], &kind) == nullptr) {
            return UsageFailure(context, "Nieznana tabela: " + words[0], kUsage);
        }
        if (TableFileKindOfPath(words[1]) == TableFileKind::kUnknown) {
            return UsageFailure(context, "Nieobsługiwany rodzaj pliku.", kUsage);
        }
        if (const std::string refusal = UnusableTableFileMessage(words[1]); !refusal.empty()) {
            context.err << refusal << "\n";
            return kExitUsage;
        }
        const TableLoadOutcome loaded = LoadTableFile(words[1], model, kind, tables, minPlu);
        if (!loaded.message.empty()) {
            context.err << loaded.message << "\n";
        }
        if (!loaded.ok()) {
            return kExitUsage;
        }
        command = WriteCommandOf(kind);
    }

    ValidationOutcome outcome = RunValidation(command, model, tables, minPlu, settings);
    int64_t faults = outcome.errorSeverity;
    if (ean) {
        ValidationOutcome eanOutcome =
            RunValidation(ValidationCommand::kVerifyEan13, model, tables, minPlu, settings);
        faults += eanOutcome.errorSeverity;
        for (FaultLine& line : eanOutcome.lines) {
            outcome.lines.push_back(std::move(line));
        }
    }
    for (const FaultLine& line : outcome.lines) {
        context.out << line.text << "\n";
    }
    // Warnings are told but fail nothing: the codes may be right as they are.
    for (const FaultLine& line : outcome.warnings) {
        context.out << line.text << "\n";
    }
    if (unloaded) {
        if (faults > 0) {
            context.out << FaultSummary(faults, outcome.limitReached, settings.ErrorMax) << "\n";
        }
        context.err << "Nie wszystkie tabele z pliku " << words[1]
                    << " udało się wczytać: plik nie jest gotowy do zapisu w kasie.\n";
        return kExitUsage;
    }
    if (faults == 0) {
        context.out << "Nie znaleziono błędów.\n";
        if (!outcome.warnings.empty()) {
            context.out << "Kody do sprawdzenia: " << outcome.warnings.size() << ".\n";
        }
        return kExitSuccess;
    }
    context.out << FaultSummary(faults, outcome.limitReached, settings.ErrorMax) << "\n";
    return kExitFailure;
}

}  // namespace kasa::cli
