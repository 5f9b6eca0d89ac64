#include "cli/register_commands.h"

#include <atomic>
#include <csignal>
#include <istream>
#include <optional>
#include <ostream>

#include "app/communication_session.h"
#include "app/register_tables.h"
#include "app/settings.h"
#include "app/validation_commands.h"
#include "base/atomic_file.h"
#include "base/codepage.h"
#include "cli/cli_session.h"
#include "cli/command_backup.h"
#include "cli/command_line.h"
#include "cli/send_sources.h"
#include "cli/terminal_user_interface.h"
#include "ecr/register_session.h"
#include "ecr/row_transfer.h"
#include "tables/table_files.h"
#include "tables/table_text_file.h"

namespace kasa::cli {

namespace {

const char* YesNo(uint8_t flag) {
    return flag != 0 ? "tak" : "nie";
}

void PrintTotals(std::ostream& out, const TotalsTexts& texts) {
    out << "Totalizery:\n";
    for (size_t i = 0; i < 7; ++i) {
        out << "  " << static_cast<char>('A' + i) << ": " << texts.totals[i] << "\n";
    }
    out << "Numer paragonu: " << texts.receiptNumber << "\n"
        << "Zmiany bazy: " << texts.databaseChanges << "\n"
        << "Anulowane paragony: " << texts.cancelledReceipts << "\n"
        << "Kwota anulowanych: " << texts.cancelledAmount << "\n";
}

void PrintVat(std::ostream& out, const std::array<std::string, 7>& texts) {
    out << "Stawki VAT:\n";
    for (size_t i = 0; i < 7; ++i) {
        out << "  " << static_cast<char>('A' + i) << ": " << texts[i] << "\n";
    }
}

int Usage(CommandContext& context, const std::string& text) {
    context.err << text << "\n";
    return kExitUsage;
}

}  // namespace

int RunInfo(CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        return Usage(context, "Użycie: kasa [OPCJE] info");
    }
    CliSession session(context);
    if (context.options.port.empty()) {
        return Usage(context, "Nie podano portu kasy: użyj opcji --port NAZWA.");
    }
    SessionSettings settings;
    settings.portName = context.options.port;
    settings.baudRate = context.options.baud;
    settings.registerType = context.options.type;
    SessionDisplay display;
    ECRClass::LogCallback log;
    if (context.options.log) {
        log = [&context](const std::string& line, uint32_t) { context.err << line << "\n"; };
    }
    const StartOutcome outcome = StartKomunikacji(
        session.Ecr(), session.Ui(), kCaption, false, settings, display,
        [](const std::string& type) {
            std::string name = type;
            ActiveModelSelection().Select(name);
        },
        log);
    // A read after identification that failed was told about; what was read is still shown.
    if (outcome != StartOutcome::Started && outcome != StartOutcome::Failed) {
        return kExitFailure;  // the message is out already; the session ends as it goes
    }
    std::ostream& out = context.out;
    out << "Kasa: " << display.kasa << " (" << session.Ecr().ModelName() << ")\n";
    // Only a ZEN gives its unique number and tax number by a read of their own.
    const bool idsRead = session.Ecr().modelCode == 2 || !display.nrFabryczny.empty();
    if (idsRead) {
        out << "Numer fabryczny: " << display.nrFabryczny << "\n";
    }
    if (display.statusValid) {
        out << "Status:\n"
            << "  Error RS: " << YesNo(display.status.flags[1]) << "\n"
            << "  Fiskalny: " << YesNo(display.status.flags[2]) << "\n"
            << "  grosze: " << YesNo(display.status.flags[3]) << "\n"
            << "  Transmisja: " << YesNo(display.status.flags[4]) << "\n"
            << "  Online: " << YesNo(display.status.flags[5]) << "\n"
            << "  " << display.lastPF << "\n";
    }
    if (display.totalsValid) {
        PrintTotals(out, display.totals);
    }
    if (display.vatValid) {
        PrintVat(out, display.vatRates);
    }
    if (display.clockValid) {
        out << "Zegar: " << ClockText(display.clock) << "\n";
    }
    if (!idsRead) {
        session.Fail("Nie można odczytać numeru unikatowego i numeru NIP kasy.");
    }
    if (outcome == StartOutcome::Started && !display.clockValid) {
        session.Fail(kClockFailureMessage);
    }
    const bool allRead = outcome == StartOutcome::Started && idsRead && display.clockValid;
    return allRead ? kExitSuccess : kExitFailure;
}

int RunOdczyt(CommandContext& context, const std::vector<std::string>& args) {
    const std::string usage =
        "Użycie: kasa [OPCJE] odczyt TABELA [PLIK.csv|PLIK.txt|PLIK.xlsx|PLIK.pod]\n"
        "       kasa [OPCJE] odczyt wszystko PLIK.pod\n"
        "Tabele: Opakowania, Klawisze, Kasjer, Rabat, Doplata, Formy, PLU";
    if (args.empty() || args.size() > 2) {
        return Usage(context, usage);
    }
    const bool all = Utf8ToUpper(args[0]) == "WSZYSTKO";
    const std::string file = args.size() == 2 ? args[1] : std::string();
    if (all && TableFileKindOfPath(file) != TableFileKind::kPod) {
        return Usage(context, "Wszystkie tabele zapisuje się do jednego pliku .pod.\n" + usage);
    }
    if (!file.empty() && TableFileKindOfPath(file) == TableFileKind::kUnknown) {
        return Usage(context, "Nieobsługiwany rodzaj pliku: " + file + "\n" + usage);
    }
    if (const std::string refusal = UnusableTableFileMessage(file); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    const RegisterModel& model = *ActiveModel();
    TableKind kind = TableKind::kGoods;
    if (!all && FindGridTableByName(model, args[0], &kind) == nullptr) {
        return Usage(context, "Nieznana tabela: " + args[0] + "\n" + usage);
    }
    TableSet tables;
    std::string error;
    const int minPlu = context.options.minPlu;
    if (all) {
        for (const TableKind each : kPodAllOrder) {
            if (!ReadTableFromRegister(session.Ecr(), model, each, tables, minPlu, &session.Ui(),
                                       error)) {
                session.Fail(error);
                return kExitFailure;
            }
        }
        const WriteResult written =
            SaveAllToPodFile(file, model, tables, minPlu, session.Ui(), kCaption);
        if (!written.ok) {
            return kExitFailure;
        }
        context.out << "Zapisano wszystkie tabele do pliku " << file << ".\n";
        return kExitSuccess;
    }
    if (!ReadTableFromRegister(session.Ecr(), model, kind, tables, minPlu, &session.Ui(), error)) {
        session.Fail(error);
        return kExitFailure;
    }
    if (!file.empty()) {
        const WriteResult written = SaveTableFile(file, model, kind, tables, minPlu);
        if (!written.ok) {
            session.Fail(written.message);
            return kExitFailure;
        }
        context.out << "Zapisano tabelę " << model.Table(kind).tableName << " do pliku " << file
                    << ".\n";
        return kExitSuccess;
    }
    std::string text =
        Windows1250ToUtf8(TableTextFileBytes(tables.Grid(kind), model.Table(kind), ';'));
    std::string lines;
    lines.reserve(text.size());
    for (const char c : text) {
        if (c != '\r') {
            lines += c;
        }
    }
    context.out << lines;
    return kExitSuccess;
}

int RunPlik(CommandContext& context, const std::vector<std::string>& args) {
    const std::string usage =
        "Użycie: kasa [--typ zen|vesper] plik TABELA WEJŚCIE WYJŚCIE\n"
        "Pliki: .pod, .csv, .txt, .xlsx; tabele: Opakowania, Klawisze, Kasjer, Rabat, Doplata, "
        "Formy, PLU";
    if (args.size() != 3) {
        return Usage(context, usage);
    }
    std::string type = context.options.type;
    ActiveModelSelection().Select(type);
    const RegisterModel& model = *ActiveModel();
    TableKind kind = TableKind::kGoods;
    if (FindGridTableByName(model, args[0], &kind) == nullptr) {
        return Usage(context, "Nieznana tabela: " + args[0] + "\n" + usage);
    }
    if (TableFileKindOfPath(args[1]) == TableFileKind::kUnknown ||
        TableFileKindOfPath(args[2]) == TableFileKind::kUnknown) {
        return Usage(context, "Nieobsługiwany rodzaj pliku.\n" + usage);
    }
    if (const std::string refusal = UnusableTableFileMessage(args[1]); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    if (const std::string refusal = UnusableTableFileMessage(args[2]); !refusal.empty()) {
        context.err << refusal << "\n";
        return kExitUsage;
    }
    TableSet tables;
    const int minPlu = context.options.minPlu;
    const TableLoadOutcome loaded = LoadTableFile(args[1], model, kind, tables, minPlu);
    if (!loaded.message.empty()) {
        context.err << loaded.message << "\n";
    }
    if (!loaded.ok()) {
        return kExitFailure;
    }
    const WriteResult written = SaveTableFile(args[2], model, kind, tables, minPlu);
    if (!written.ok) {
        context.err << written.message << "\n";
        return kExitFailure;
    }
    context.out << "Zapisano tabelę " << model.Table(kind).tableName << " do pliku " << args[2]
                << ".\n";
    return kExitSuccess;
}

int RunVat(CommandContext& context, const std::vector<std::string>& args) {
    const bool set = !args.empty() && args[0] == "ustaw";
    if (!args.empty() && !set) {
        return Usage(context, "Użycie: kasa [OPCJE] vat [ustaw A=23 B=8 ... G=nakt]");
    }
    std::array<std::string, 7> given;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const char letter = a.size() >= 3 && a[1] == '=' ? static_cast<char>(a[0] & ~0x20) : 0;
        if (letter < 'A' || letter > 'G') {
            return Usage(context, "Nieprawidłowa stawka: " + a +
                                      " (oczekiwano np. A=23, E=zw, "
                                      "G=nakt)");
        }
        given[static_cast<size_t>(letter - 'A')] = a.substr(2);
    }
    if (set && args.size() == 1) {
        return Usage(context, "Użycie: kasa [OPCJE] vat ustaw A=23 B=8 ... G=nakt");
    }
    if (set) {
        // Refused before the port is opened: nothing reaches the register.
        TableSet typed;
        typed.vatRates = given;
        Settings settings;
        settings.ErrorMax = context.options.errorMax;
        std::string type = context.options.type;
        ActiveModelSelection().Select(type);
        const ValidationOutcome checked = RunValidation(
            ValidationCommand::kWriteVat, *ActiveModel(), typed, context.options.minPlu, settings);
        if (!checked.Passed()) {
            for (const FaultLine& line : checked.lines) {
                context.err << line.text << "\n";
            }
            return kExitFailure;
        }
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    VatRates rates{};
    if (!ReadVatRates(session.Ecr(), rates)) {
        session.Fail(
            "Nie można odczytać stawek VAT z kasy.\nUruchom w kasie komunikację, lub ustaw w "
            "oknie\nKonfiguracja Programu parametry transmisji.");
        return kExitFailure;
    }
    if (set) {
        const std::optional<bool> fiscal = session.Fiscal();
        if (!fiscal) {
            return kExitFailure;
        }
        // A letter not given keeps the register's rate.
        std::array<std::string, 7> edits;
        for (size_t i = 0; i < 7; ++i) {
            edits[i] = given[i].empty() ? VatRateEditText(rates[i]) : given[i];
        }
        const RegisterModel& model = *ActiveModel();
        CommandBackup backup(context, model,
                             ReadSettingsFile(ResolveConfigFilePath(context.options.config)),
                             Utf8ToUpper(model.Table(TableKind::kVat).tableName));
        const bool programmed = ProgramVatRates(session.Ecr(), session.Ui(), kCaption, false,
                                                *fiscal, edits, 0, backup.VatHook());
        if (!backup.Report() || !programmed) {
            return kExitFailure;
        }
        // The rates shown must be those the register holds now, never the ones from before.
        if (!ReadVatRates(session.Ecr(), rates)) {
            session.Fail(
                "Stawki VAT wysłano do kasy, ale nie można ich odczytać z powrotem.\nSprawdź "
                "stawki poleceniem „kasa vat”.");
            return kExitFailure;
        }
    }
    std::array<std::string, 7> texts;
    for (size_t i = 0; i < 7; ++i) {
        texts[i] = VatRateText(rates[i]);
    }
    PrintVat(context.out, texts);
    return kExitSuccess;
}

int RunTotalizery(CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        return Usage(context, "Użycie: kasa [OPCJE] totalizery");
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    TotalsRecord totals;
    if (!ReadTotals(session.Ecr(), totals)) {
        session.Fail(
            "Nie można odczytać wartości totalizerów z kasy.\nUruchom w kasie komunikację, lub "
            "ustaw w oknie\nKonfiguracja Programu parametry transmisji.");
        return kExitFailure;
    }
    PrintTotals(context.out, TotalsTextsOf(totals));
    return kExitSuccess;
}

int RunZegar(CommandContext& context, const std::vector<std::string>& args) {
    const bool set = args.size() == 1 && args[0] == "ustaw";
    if (!args.empty() && !set) {
        return Usage(context, "Użycie: kasa [OPCJE] zegar [ustaw]");
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    if (set) {
        const std::optional<bool> fiscal = session.Fiscal();
        if (!fiscal || !ProgramClock(session.Ecr(), session.Ui(), kCaption, false, *fiscal,
                                     LocalClockValue())) {
            return kExitFailure;
        }
    }
    ClockValue clock;
    if (!ReadClock(session.Ecr(), clock)) {
        session.Fail(kClockFailureMessage);
        return kExitFailure;
    }
    context.out << "Zegar: " << ClockText(clock) << "\n";
    return kExitSuccess;
}

int RunWyslij(CommandContext& context, const std::vector<std::string>& args) {
    const SendPieces send = PrepareSend(args, context.out, context.err);
    if (send.exitCode) {
        return *send.exitCode;
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    const InterruptRaisesAbort interrupt(session.Ecr().abortRequested);
    size_t total = 0;
    for (const std::string& piece : send.pieces) {
        iBuffer buffer;
        buffer.AppendBytes(piece.data(), piece.size());
        if (!SendSequence(session.Ecr(), session.Ui(), kCaption, false, buffer)) {
            return kExitFailure;
        }
        total += piece.size();
    }
    context.out << "Wysłano " << total << " bajtów";
    if (send.pieces.size() > 1) {
        context.out << " w " << send.pieces.size() << " ramkach";
    }
    context.out << ".\n";
    return kExitSuccess;
}

int UsageFailure(CommandContext& context, std::string_view lead, std::string_view usage) {
    if (!lead.empty()) {
        context.err << lead << "\n";
    }
    context.err << usage << "\n";
    return kExitUsage;
}

}  // namespace kasa::cli
