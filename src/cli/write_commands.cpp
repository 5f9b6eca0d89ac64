#include "cli/write_commands.h"

#include <algorithm>
#include <ostream>

#include "app/header_commands.h"
#include "app/read_back_check.h"
#include "app/register_tables.h"
#include "app/settings.h"
#include "app/table_transfer.h"
#include "app/validation_commands.h"
#include "base/codepage.h"
#include "cli/cli_session.h"
#include "cli/command_backup.h"
#include "cli/command_line.h"
#include "ecr/database_commands.h"
#include "ecr/vat_totals.h"
#include "tables/table_file_kind.h"
#include "tables/table_files.h"

namespace kasa::cli {

namespace {

const char* const kZapisUsage =
    "Użycie: kasa [OPCJE] zapis TABELA PLIK [--od N --do M] [--wyczysc] [--dalej] "
    "[--odczyt-kontrolny]\n"
    "       kasa [OPCJE] zapis PLU --od N --do M --wyczysc [--odczyt-kontrolny]\n"
    "       kasa [OPCJE] zapis wszystko PLIK.pod [--dalej] [--odczyt-kontrolny]\n"
    "Tabele: Opakowania, Klawisze, Kasjer, Rabat, Doplata, Formy, PLU";
const char* const kKasujUsage = "Użycie: kasa [OPCJE] kasuj TABELA [--bez-sprawdzania]";

// The order of "Odczytaj wszystko", which the write of every table follows.
constexpr TableKind kWriteAllOrder[] = {
    TableKind::kPackaging, TableKind::kCashiers,     TableKind::kDiscounts, TableKind::kSurcharges,
    TableKind::kKeys,      TableKind::kPaymentForms, TableKind::kGoods,
};

// Passes the row error dialog with Yes when the user asked to go on past failed rows;
// everything else is asked as usual.
class GoOnUserInterface : public UserInterface {
  public:
    GoOnUserInterface(UserInterface& inner, std::ostream& err, bool goOn)
        : inner_(inner), err_(err), goOn_(goOn) {}
    void Message(const std::string& title, const std::string& text) override {
        inner_.Message(title, text);
    }
    Answer Ask(const std::string& title, const std::string& text, Buttons buttons) override {
        if (goOn_ && text != kTotalsQuestion) {
            err_ << text << " (--dalej: odpowiedź „Tak”)\n";
            return Answer::Yes;
        }
        return inner_.Ask(title, text, buttons);
    }
    void SetProgress(int position, int maximum) override { inner_.SetProgress(position, maximum); }
    void SetStatusText(const std::string& text) override { inner_.SetStatusText(text); }
    void LogLine(const std::string& line) override { inner_.LogLine(line); }
    void ProcessPendingMessages() override { inner_.ProcessPendingMessages(); }

  private:
    UserInterface& inner_;
    std::ostream& err_;
    bool goOn_;
};

struct ZapisArguments {
    std::vector<std::string> words;
    std::string from;
    std::string to;
    bool clear = false;
    bool goOn = false;
    bool readBack = false;
};

bool ParseZapis(const std::vector<std::string>& args, ZapisArguments& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--wyczysc") {
            parsed.clear = true;
        } else if (a == "--dalej") {
            parsed.goOn = true;
        } else if (a == "--odczyt-kontrolny") {
            parsed.readBack = true;
        } else if (a == "--od" || a == "--do") {
            if (i + 1 >= args.size()) {
                return false;
            }
            (a == "--od" ? parsed.from : parsed.to) = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            parsed.words.push_back(a);
        }
    }
    return true;
}

int Usage(CommandContext& context, const std::string& text) {
    context.err << text << "\n";
    return kExitUsage;
}

// Prints the faults of a validation pass; true when the write may start. A pass with
// warnings lists them and asks through `ask` (the session's own questions: --dalej goes on
// past failed rows, not past these).
bool Validated(CommandContext& context, const ValidationOutcome& outcome,
               UserInterface* ask = nullptr) {
    if (outcome.Passed()) {
        if (outcome.warnings.empty() || ask == nullptr) {
            return true;
        }
        for (const FaultLine& line : outcome.warnings) {
            context.err << line.text << "\n";
        }
        if (ask->Ask(kCaption, WarningsQuestion(outcome), Buttons::YesNo) == Answer::Yes) {
            return true;
        }
        context.err << "Nic nie zostało wysłane do kasy.\n";
        return false;
    }
    context.err << outcome.heading << "\n";
    for (const std::string& caption : outcome.captions) {
        if (!caption.empty()) {
            context.err << caption << "\n";
        }
    }
    for (const FaultLine& line : outcome.lines) {
        context.err << line.text << "\n";
    }
    context.err << "Nic nie zostało wysłane do kasy.\n";
    return false;
}

// Items joined for a closing line: the failed rows, the tables written.
std::string JoinedList(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += (text.empty() ? "" : ", ") + row;
    }
    return text;
}

int ExitOf(CommandContext& context, TransferResult result,
           const std::vector<std::string>& failedRows = {}) {
    switch (result) {
        case TransferResult::kDone:
            return kExitSuccess;
        case TransferResult::kPassedOver:
            context.err << "Wiersze z błędem zostały pominięte"
                        << (failedRows.empty() ? "" : ": " + JoinedList(failedRows)) << ".\n";
            return kExitFailure;
        case TransferResult::kDeclined:
            context.err << "Zapis nie został wykonany.\n";
            return kExitFailure;
        case TransferResult::kAborted:
            context.err << "Zapis przerwany.\n";
            return kExitFailure;
        case TransferResult::kFailed:
            if (!failedRows.empty()) {
                context.err << "Wiersze z błędem: " << JoinedList(failedRows) << ".\n";
            }
            return kExitFailure;
    }
    return kExitFailure;
}

TransferResult WriteTable(CliSession& session, UserInterface& ui, const RegisterModel& model,
                          TableSet& tables, TableKind kind, TransferRange range, bool clear,
                          std::vector<std::string>* failedRows, RowWriteObserver* observer) {
    TransferRequest request;
    request.failedRows = failedRows;
    request.observer = observer;
    request.name = TransferName(model.Table(kind), true);
    request.range = range;
    request.clearRange = clear;
    request.caption = kCaption;
    const std::atomic<bool> closing{false};
    return TransferTable(session.Ecr(), ui, model, tables, request, session.Ecr().abortRequested,
                         closing);
}

// What guards one job's writes: the backup of what they change and, when asked, the read
// back of what they sent.

int WriteAllTables(CommandContext& context, CliSession& session, GoOnUserInterface& ui,
                   const std::string& path, const RegisterModel& model, TableSet& tables,
                   Settings& settings, bool vatGiven, bool headerGiven, CommandBackup& guards,
                   bool& written);

int WriteAll(CommandContext& context, CliSession& session, GoOnUserInterface& ui,
             const std::string& path, bool readBack) {
    const RegisterModel& model = *ActiveModel();
    const int minPlu = ClampMinPlu(context.options.minPlu);
    TableSet tables;
    if (!LoadAllFromPodFile(path, model, tables, minPlu, session.Ui(), kCaption).ok()) {
        return kExitFailure;
    }
    Settings settings = ReadSettingsFile(ResolveConfigFilePath(context.options.config));
    bool passed = true;
    for (const TableKind kind : kWriteAllOrder) {
        if (kind != TableKind::kSurcharges) {  // validated together with the discounts
            passed = Validated(context,
                               RunValidation(WriteCommandOf(kind), model, tables, minPlu, settings),
                               &session.Ui()) &&
                     passed;
        }
    }
    const bool vatGiven = tables.HoldsVatRates();
    if (vatGiven) {
        passed = Validated(context, RunValidation(ValidationCommand::kWriteVat, model, tables,
                                                  minPlu, settings)) &&
                 passed;
    }
    const bool headerGiven = tables.HoldsHeader();
    if (headerGiven) {
        passed = Validated(context, RunValidation(ValidationCommand::kProgramHeader, model, tables,
                                                  minPlu, settings)) &&
                 passed;
    }
    if (!passed) {
        return kExitFailure;
    }
    CommandBackup guards(context, model, settings, "wszystko", readBack || settings.SprawdzajZapis);
    bool written = false;
    const int code = WriteAllTables(context, session, ui, path, model, tables, settings, vatGiven,
                                    headerGiven, guards, written);
    return guards.Close(session.Ecr(), code, written);
}

int WriteAllTables(CommandContext& context, CliSession& session, GoOnUserInterface& ui,
                   const std::string& path, const RegisterModel& model, TableSet& tables,
                   Settings& settings, bool vatGiven, bool headerGiven, CommandBackup& guards,
                   bool& written) {
    if (vatGiven || headerGiven) {
        const std::optional<bool> fiscal = session.Fiscal();
        if (!fiscal) {
            return kExitFailure;
        }
        if (vatGiven && !ProgramVatRates(session.Ecr(), ui, kCaption, false, *fiscal,
                                         tables.vatRates, 0, guards.VatHook())) {
            return kExitFailure;
        }
        ValidationOutcome header;
        if (headerGiven && !ProgramHeader(session.Ecr(), ui, kCaption, model, settings, false,
                                          *fiscal, tables.header, header, guards.HeaderHook())) {
            Validated(context, header);
            return kExitFailure;
        }
    }
    // The closing lines name what was written and what the file had no record of.
    std::vector<std::string> writtenTables;
    std::vector<std::string> absent;
    if (vatGiven) {
        writtenTables.emplace_back(model.Table(TableKind::kVat).tableName);
    }
    if (headerGiven) {
        writtenTables.emplace_back(model.Table(TableKind::kHeader).tableName);
    }
    bool passedOver = false;
    std::vector<std::string> failedRows;
    for (const TableKind kind : kWriteAllOrder) {
        const std::string name(model.Table(kind).tableName);
        // Records the file gives as empty count: the write empties them.
        if (!tables.HoldsRecordsToWrite(kind)) {
            absent.push_back(name);
            continue;
        }
        std::vector<std::string> failed;
        const TransferResult result =
            WriteTable(session, ui, model, tables, kind, {}, false, &failed, guards.Observer());
        for (const std::string& row : failed) {
            failedRows.push_back(name + " " + row);
        }
        if (result != TransferResult::kDone && result != TransferResult::kPassedOver) {
            if (!writtenTables.empty()) {
                context.err << "Zapisano wcześniej: " << JoinedList(writtenTables) << ".\n";
            }
            return ExitOf(context, result, failedRows);
        }
        passedOver = passedOver || result == TransferResult::kPassedOver;
        writtenTables.push_back(name);
    }
    written = true;
    if (passedOver) {
        return ExitOf(context, TransferResult::kPassedOver, failedRows);
    }
    context.out << "Zapisano do kasy wszystkie tabele z pliku " << path << ": "
                << JoinedList(writtenTables) << ".\n";
    if (!absent.empty()) {
        context.out << "Plik nie zawiera rekordów tabel: " << JoinedList(absent) << ".\n";
    }
    return kExitSuccess;
}

}  // namespace

int RunZapis(CommandContext& context, const std::vector<std::string>& args) {
    ZapisArguments parsed;
    if (!ParseZapis(args, parsed) || parsed.words.empty() || parsed.words.size() > 2) {
        return Usage(context, kZapisUsage);
    }
    const bool all = Utf8ToUpper(parsed.words[0]) == "WSZYSTKO";
    const bool ranged = !parsed.from.empty() || !parsed.to.empty();
    const std::string file = parsed.words.size() == 2 ? parsed.words[1] : std::string();
    if (file.empty() && !parsed.clear) {
        return Usage(context, "Podaj plik z tabelą.\n" + std::string(kZapisUsage));
    }
    if (!file.empty() && TableFileKindOfPath(file) == TableFileKind::kUnknown) {
        return Usage(context, "Nieobsługiwany rodzaj pliku: " + file + "\n" + kZapisUsage);
    }
    if (const std::string refusal = UnusableTableFileMessage(file); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    if (all && (ranged || parsed.clear || TableFileKindOfPath(file) != TableFileKind::kPod)) {
        return Usage(context, "Wszystkie tabele zapisuje się z jednego pliku .pod, bez zakresu.\n" +
                                  std::string(kZapisUsage));
    }
    if (parsed.clear && !ranged) {
        return Usage(context, "Opcja --wyczysc wymaga zakresu --od N --do M.");
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    GoOnUserInterface ui(session.Ui(), context.err, parsed.goOn);
    const InterruptRaisesAbort interrupt(session.Ecr().abortRequested);
    if (all) {
        return WriteAll(context, session, ui, file, parsed.readBack);
    }
    const RegisterModel& model = *ActiveModel();
    TableKind kind = TableKind::kGoods;
    if (FindGridTableByName(model, parsed.words[0], &kind) == nullptr) {
        return Usage(context, "Nieznana tabela: " + parsed.words[0] + "\n" + kZapisUsage);
    }
    const int minPlu = ClampMinPlu(context.options.minPlu);
    TransferRange range;
    if (ranged) {
        if (kind != TableKind::kGoods) {
            return Usage(context, "Zakres --od/--do dotyczy tylko tabeli PLU.");
        }
        const RangeChoice choice =
            GoodsRangeFromText(parsed.from + " " + parsed.to, model.Table(kind), minPlu);
        if (!choice.Accepted()) {
            return Usage(context, choice.message);
        }
        range = choice.rows;
    }
    TableSet tables;
    SetUpGrid(tables.Grid(kind), model.Table(kind), true, true, minPlu);
    Settings settings = ReadSettingsFile(ResolveConfigFilePath(context.options.config));
    if (!file.empty()) {
        const TableLoadOutcome loaded = LoadTableFile(file, model, kind, tables, minPlu);
        if (!loaded.message.empty()) {
            context.err << loaded.message << "\n";
        }
        if (!loaded.ok()) {
            return kExitFailure;
        }
        const ValidationCommand command =
            ranged ? ValidationCommand::kWriteGoodsRange : WriteCommandOf(kind);
        if (!Validated(context,
                       RunValidation(command, model, tables, minPlu, settings, TableKind::kGoods,
                                     range.start, range.end),
                       &session.Ui())) {
            return kExitFailure;
        }
    }
    CommandBackup guards(context, model, settings, Utf8ToUpper(model.Table(kind).tableName),
                         parsed.readBack || settings.SprawdzajZapis);
    std::vector<std::string> failedRows;
    const TransferResult result = WriteTable(session, ui, model, tables, kind, range, parsed.clear,
                                             &failedRows, guards.Observer());
    const int code = ExitOf(context, result, failedRows);
    if (code == kExitSuccess) {
        context.out << (parsed.clear ? "Wyczyszczono" : "Zapisano") << " do kasy tabelę "
                    << model.Table(kind).tableName << ".\n";
    }
    return guards.Close(session.Ecr(), code,
                        result == TransferResult::kDone || result == TransferResult::kPassedOver);
}

int RunKasuj(CommandContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    bool check = true;
    for (const std::string& a : args) {
        if (a == "--bez-sprawdzania") {
            check = false;
        } else if (a.rfind("--", 0) == 0) {
            return Usage(context, kKasujUsage);
        } else {
            words.push_back(a);
        }
    }
    if (words.size() != 1) {
        return Usage(context, kKasujUsage);
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    const RegisterModel& model = *ActiveModel();
    TableKind kind = TableKind::kGoods;
    if (FindGridTableByName(model, words[0], &kind) == nullptr) {
        return Usage(context, "Nieznana tabela: " + words[0] + "\n" + kKasujUsage);
    }
    const std::string name(model.Table(kind).tableName);
    if (session.Ui().Ask(
            kCaption,
            "Kontynuacja spowoduje skasowanie w kasie bazy " + name + "\nChcesz kontynuować?",
            Buttons::YesNo) != Answer::Yes) {
        context.err << "Baza nie została skasowana.\n";
        return kExitFailure;
    }
    const InterruptRaisesAbort interrupt(session.Ecr().abortRequested);
    if (!DeleteDatabase(session.Ui(), kCaption, session.Ecr(), TableCodeOfKind(kind), false, true,
                        check)) {
        return kExitFailure;
    }
    if (session.Ecr().abortRequested) {
        context.err << "Kasowanie przerwane.\n";
        return kExitFailure;
    }
    context.out << "Skasowano bazę " << name << ".\n";
    return kExitSuccess;
}

}  // namespace kasa::cli
