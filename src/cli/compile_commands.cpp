#include "cli/compile_commands.h"

#include <optional>
#include <ostream>

#include "base/atomic_file.h"
#include "base/number_text.h"
#include "base/text_encoding.h"
#include "cli/command_line.h"
#include "seq/seqcompileclass.h"
#include "seq/sequence_files.h"

namespace kasa::cli {

namespace {

constexpr const char* kKompilujUsage =
    "Użycie: kasa kompiluj ŹRÓDŁO.txt WYJŚCIE.bin\n"
    "        kasa kompiluj --opis\n";
constexpr const char* kSek2BinUsage = "Użycie: kasa sek2bin WEJŚCIE.sek WYJŚCIE.bin\n";
constexpr const char* kBin2SekUsage = "Użycie: kasa bin2sek WEJŚCIE.bin WYJŚCIE.sek\n";

void PrintLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) {
        out << line << "\n";
    }
}

bool ReadInput(const std::string& path, std::string& bytes, std::ostream& err) {
    if (!ReadWholeFile(path, bytes)) {
        err << "Nie można odczytać pliku " << path << ".\n";
        return false;
    }
    return true;
}

bool WriteOutput(const std::string& path, std::string_view bytes, std::ostream& err) {
    const WriteResult written = WriteFileAtomically(path, bytes);
    if (!written.ok) {
        err << written.message << "\n";
        return false;
    }
    return true;
}

// The input and output of a conversion: exactly two names, neither an option.
bool TwoFileNames(const std::vector<std::string>& args) {
    return args.size() == 2 && !args[0].starts_with("-") && !args[1].starts_with("-");
}

// Checks the two names of a conversion and reads its input; the exit code when either fails.
std::optional<int> ConversionInput(const std::vector<std::string>& args, const char* usage,
                                   std::string& bytes, std::ostream& err) {
    if (!TwoFileNames(args)) {
        err << usage;
        return kExitUsage;
    }
    if (!ReadInput(args[0], bytes, err)) {
        return kExitFailure;
    }
    return std::nullopt;
}

}  // namespace

int RunKompiluj(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--opis") {
        std::vector<std::string> description;
        SeqCompileClass().Describe(description);
        PrintLines(description, out);
        return kExitSuccess;
    }
    if (!TwoFileNames(args)) {
        err << kKompilujUsage;
        return kExitUsage;
    }
    SeqCompileClass compiler;
    compiler.SetSourceFileName(args[0]);
    std::vector<std::string> source;
    std::string error;
    if (!compiler.LoadSource(source, &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    std::vector<std::string> messages;
    const bool compiled = compiler.Compile(source, &messages);
    PrintLines(messages, out);
    if (!compiled) {
        return kExitFailure;
    }
    if (!WriteOutput(args[1], compiler.Output().View(), err)) {
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunSek2Bin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    if (const std::optional<int> failed = ConversionInput(args, kSek2BinUsage, bytes, err)) {
        return *failed;
    }
    const std::optional<std::vector<std::string>> read = SekLinesFromFile(std::move(bytes));
    if (!read) {
        err << NotTextFileMessage(args[0]) << "\n";
        return kExitFailure;
    }
    const std::vector<std::string>& lines = *read;
    if (lines.empty()) {
        err << "Plik " << args[0] << " nie zawiera żadnej sekwencji.\n";
        return kExitFailure;
    }
    if (!WriteOutput(args[1], LinesToFrames(lines), err)) {
        return kExitFailure;
    }
    out << "Zapisano ramek: " << DecimalText(static_cast<int64_t>(lines.size())) << ".\n";
    return kExitSuccess;
}

int RunBin2Sek(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    if (const std::optional<int> failed = ConversionInput(args, kBin2SekUsage, bytes, err)) {
        return *failed;
    }
    const FramesAsLines frames = FramesToLines(bytes);
    if (frames.lines.empty()) {
        err << "Plik " << args[0] << " nie zawiera żadnej ramki.\n";
        return kExitFailure;
    }
    if (frames.checksumMismatches > 0) {
        err << "Uwaga: niezgodna suma kontrolna ramek: " << DecimalText(frames.checksumMismatches)
            << ".\n";
    }
    for (size_t i = 0; i < frames.lines.size(); ++i) {
        if (frames.lines[i].empty()) {
            // A .sek is read up to its first empty line, so the rest would be lost there.
            err << "Uwaga: ramka " << DecimalText(static_cast<int64_t>(i + 1))
                << " jest pusta; przy odczycie pliku .sek ona i dalsze linie zostaną pominięte.\n";
            break;
        }
    }
    if (!WriteOutput(args[1], SekFileBytes(frames.lines), err)) {
        return kExitFailure;
    }
    out << "Zapisano linii: " << DecimalText(static_cast<int64_t>(frames.lines.size())) << ".\n";
    return kExitSuccess;
}

}  // namespace kasa::cli
