#include "cli/fiscal_commands.h"

#include <charconv>
#include <ostream>

#include "app/fiscal_memory_read.h"
#include "cli/cli_session.h"
#include "cli/command_line.h"
#include "ecr/cashier_permissions.h"
#include "ecr/fiscal_memory.h"

namespace kasa::cli {

namespace {

constexpr const char* kPamiecUsage = "Użycie: kasa [OPCJE] pamiec OD DO [PLIK]";
constexpr const char* kUprawnieniaUsage =
    "Użycie: kasa uprawnienia MASKA\n       kasa uprawnienia --z \"Sprzedaż,Storno,...\"";

}  // namespace

int RunPamiec(CommandContext& context, const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3) {
        context.err << kPamiecUsage << "\n";
        return kExitUsage;
    }
    const FiscalRange range = FiscalRangeFromText(args[0], args[1]);
    if (!range.message.empty()) {
        context.err << range.message << " (0–" << kFiscalRecordCount - 1 << ").\n";
        return kExitUsage;
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    ECRClass& ecr = session.Ecr();
    if (ecr.modelCode == 2) {
        session.Fail(kFiscalVesperMessage);
        return kExitFailure;
    }
    FiscalReadRequest request{range.first, range.last, args.size() == 3 ? args[2] : "", kCaption};
    ecr.abortRequested = false;
    FiscalReadResult result;
    FiscalReadTally tally;
    {
        InterruptRaisesAbort interrupt(ecr.abortRequested);
        session.Ui().SetStatusText("Odczyt pamięci fiskalnej");
        result = ReadFiscalMemory(
            ecr, session.Ui(), request, ecr.abortRequested,
            [&](const std::vector<std::string>& lines) {
                for (const std::string& line : lines) {
                    context.out << line << "\n";
                }
                context.out.flush();
            },
            &tally);
    }
    if (result == FiscalReadResult::kAborted) {
        context.err << "Odczyt przerwany.\n";
    }
    // The count tells a reader of the output whether records are missing from it.
    context.err << "Odczytano " << tally.read << " z " << tally.asked
                << (tally.asked == 1 ? " rekordu" : " rekordów") << ".\n";
    const bool whole =
        result == FiscalReadResult::kDone && tally.read == tally.asked && !tally.appendFailed;
    return whole ? kExitSuccess : kExitFailure;
}

int RunUprawnienia(CommandContext& context, const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "--z") {
        std::string error;
        const std::optional<PermissionMask> mask = PermissionsFromNames(args[1], error);
        if (!mask) {
            context.err << error << "\n";
            return kExitUsage;
        }
        context.out << PermissionFieldText(*mask) << "\n";
        return kExitSuccess;
    }
    PermissionMask mask = 0;
    const std::string& text = args.size() == 1 ? args[0] : std::string();
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mask);
    if (args.size() != 1 || text.empty() || error != std::errc() ||
        end != text.data() + text.size() || mask > 0xFFFFFFFFu) {
        context.err << kUprawnieniaUsage << "\n";
        return kExitUsage;
    }
    const PermissionFlags flags = UnpackPermissions(mask);
    for (int i = 0; i < kPermissionCount; ++i) {
        context.out << Permissions()[static_cast<size_t>(i)].caption << ": "
                    << (flags[static_cast<size_t>(i)] ? "tak" : "nie") << "\n";
    }
    context.out << "Wartość dla kasy: " << RegisterFormText(mask) << "\n";
    return kExitSuccess;
}

}  // namespace kasa::cli
