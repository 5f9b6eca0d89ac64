#include "cli/send_sources.h"

#include "base/atomic_file.h"
#include "base/text_encoding.h"
#include "cli/command_line.h"
#include "seq/seqcompileclass.h"
#include "seq/sequence_files.h"

namespace kasa::cli {

namespace {

SendPieces Failed(int code) {
    SendPieces result;
    result.exitCode = code;
    return result;
}

SendPieces FramesOfSek(const std::string& path, std::string bytes, std::ostream& err) {
    const std::optional<std::vector<std::string>> lines = SekLinesFromFile(std::move(bytes));
    if (!lines) {
        err << NotTextFileMessage(path) << "\n";
        return Failed(kExitFailure);
    }
    if (lines->empty()) {
        err << "Plik " << path << " nie zawiera żadnej sekwencji: nie ma czego wysłać.\n";
        return Failed(kExitFailure);
    }
    SendPieces result;
    for (const std::string& line : *lines) {
        result.pieces.push_back(LineToFrame(line));
    }
    return result;
}

SendPieces CompiledSource(const std::string& path, std::ostream& out, std::ostream& err) {
    SeqCompileClass compiler;
    compiler.SetSourceFileName(path);
    std::vector<std::string> source;
    std::string error;
    if (!compiler.LoadSource(source, &error)) {
        err << error << "\n";
        return Failed(kExitFailure);
    }
    std::vector<std::string> messages;
    const bool compiled = compiler.Compile(source, &messages);
    for (const std::string& message : messages) {
        out << message << "\n";
    }
    if (!compiled) {
        err << "Kompilacja nie powiodła się: nic nie wysłano.\n";
        return Failed(kExitFailure);
    }
    if (compiler.Output().Length() == 0) {
        err << "Kompilacja nie dała żadnych bajtów: nie ma czego wysłać.\n";
        return Failed(kExitFailure);
    }
    SendPieces result;
    result.pieces.emplace_back(compiler.Output().View());
    return result;
}

}  // namespace

SendPieces PrepareSend(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool frames = args.size() == 2 && args[0] == "--ramki";
    const bool compile = args.size() == 2 && args[0] == "--kompiluj";
    const bool raw = args.size() == 1 && !args[0].starts_with("-");
    if (!frames && !compile && !raw) {
        err << kWyslijUsage;
        return Failed(kExitUsage);
    }
    const std::string& path = args.back();
    if (compile) {
        return CompiledSource(path, out, err);
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        err << "Nie można odczytać pliku " << path << ".\n";
        return Failed(kExitFailure);
    }
    if (frames) {
        return FramesOfSek(path, std::move(bytes), err);
    }
    if (bytes.empty()) {
        err << "Plik " << path << " jest pusty: nie ma czego wysłać.\n";
        return Failed(kExitFailure);
    }
    SendPieces result;
    result.pieces.push_back(std::move(bytes));
    return result;
}

}  // namespace kasa::cli
