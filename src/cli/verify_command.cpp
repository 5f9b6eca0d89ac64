#include "cli/verify_command.h"

#include <ostream>

#include "base/atomic_file.h"
#include "base/number_text.h"
#include "base/text_encoding.h"
#include "cli/cli_session.h"
#include "cli/command_line.h"
#include "verify/document_examples.h"
#include "verify/document_file.h"

namespace kasa::cli {

namespace {

constexpr const char* kUsage = "Użycie: kasa [OPCJE] weryfikuj PLIK | --przyklad N";

int Usage(CommandContext& context, const std::string& reason) {
    if (!reason.empty()) {
        context.err << reason << "\n";
    }
    context.err << kUsage << "\n";
    return kExitUsage;
}

int PrintExample(CommandContext& context, const std::string& number) {
    const size_t count = DocumentExamples().size();
    const auto value = ParseDouble(number);
    if (number.empty() || number.size() > 3 ||
        number.find_first_not_of("0123456789") != std::string::npos || !value || *value < 1 ||
        *value > static_cast<double>(count)) {
        return Usage(context, "Numer przykładu musi być liczbą od 1 do " +
                                  DecimalText(static_cast<int64_t>(count)) + ".");
    }
    const DocumentExample& example = DocumentExamples()[static_cast<size_t>(*value) - 1];
    DocumentFile file;
    file.fields = ExampleFields(example);
    file.mode = example.ForDevice(kVesperDeviceCode) ? VerifyMode::Normal : VerifyMode::Special;
    context.out << DocumentFileText(file);
    return kExitSuccess;
}

}  // namespace

int RunWeryfikuj(CommandContext& context, const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "--przyklad") {
        return PrintExample(context, args[1]);
    }
    if (args.size() != 1) {
        return Usage(context, "");
    }
    std::string text;
    if (!ReadWholeFile(args[0], text)) {
        context.err << "Nie można odczytać pliku " << args[0] << ".\n";
        return kExitUsage;
    }
    if (!DecodeTextInPlace(text)) {
        context.err << NotTextFileMessage(args[0]) << "\n";
        return kExitUsage;
    }
    DocumentFile file;
    std::string error;
    if (!ParseDocumentFile(text, file, error)) {
        context.err << args[0] << ": " << error << "\n";
        return kExitUsage;
    }
    const DocumentRequest request = BuildDocumentRequest(file.fields, file.mode);
    if (!request.Valid()) {
        context.err << (request.noType ? "Plik nie podaje typu dokumentu (typ=)." : request.error)
                    << "\n";
        return kExitUsage;
    }
    CliSession session(context);
    if (!session.Open()) {
        return kExitFailure;
    }
    if (!CanVerifyDocuments(session.Ecr())) {
        session.Fail(kNoVesperMessage);
        return kExitFailure;
    }
    const DocumentVerdict verdict = VerifyPrintedDocument(session.Ecr(), request);
    if (verdict.code != 1 && verdict.code != 2) {
        // No verdict: a failure of the conversation, told where failures go.
        context.err << VerdictMessage(verdict) << "\n";
        return kExitFailure;
    }
    context.out << VerdictMessage(verdict) << "\n";
    return verdict.code == 1 ? kExitSuccess : kExitNotAuthentic;
}

}  // namespace kasa::cli
