#include "cli/header_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>

#include "app/header_commands.h"
#include "app/settings.h"
#include "base/atomic_file.h"
#include "base/codepage.h"
#include "base/text_encoding.h"
#include "base/user_interface.h"
#include "cli/cli_session.h"
#include "cli/command_backup.h"
#include "cli/command_line.h"
#include "comm/ecrclass.h"
#include "tables/header_rules.h"

namespace kasa::cli {

namespace {

constexpr const char* kUsage = "Użycie: kasa [OPCJE] naglowek [ustaw PLIK.txt]";

// One header line per file line; the leading marks "^" (double height) and "*" (heavy
// characters) may stand in any order. A centred line keeps its leading spaces.
HeaderLine LineOfFile(std::string_view text) {
    HeaderLine line;
    while (!text.empty() && (text.front() == '^' || text.front() == '*')) {
        (text.front() == '^' ? line.doubleHeight : line.bold) = true;
        text.remove_prefix(1);
    }
    line.text = std::string(text);
    line.centre = !line.text.empty() && line.text.front() == ' ';
    return line;
}

// The lines of the file, or a Polish reason why it cannot give a header.
bool ReadHeaderFile(const std::string& path, std::vector<HeaderLine>& lines, std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = "Nie można odczytać pliku " + path + ".";
        return false;
    }
    if (!DecodeTextInPlace(text)) {
        error = NotTextFileMessage(path);
        return false;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(LineOfFile(line));
        start = end + 1;
    }
    if (lines.size() > static_cast<size_t>(kHeaderLineCount)) {
        error = "Plik " + path + " ma " + std::to_string(lines.size()) +
                " linii, a nagłówek może mieć najwyżej " + std::to_string(kHeaderLineCount) + ".";
        return false;
    }
    return true;
}

void PrintHeader(std::ostream& out, const RegisterModel& model, const HeaderLines& lines) {
    for (int i = 0; i < HeaderLineCountOf(model); ++i) {
        const HeaderLine& line = lines[static_cast<size_t>(i)];
        out << "Linia " << i + 1 << ": \"" << line.text << "\"";
        const char* separator = " ";
        const std::pair<bool, const char*> flags[] = {{line.centre, "wyśrodkowana"},
                                                      {line.doubleHeight, "podwójna wysokość"},
                                                      {line.bold, "pogrubiona"}};
        for (const auto& [set, name] : flags) {
            if (set) {
                out << separator << name;
                separator = ", ";
            }
        }
        out << "\n";
    }
    out << "Suma znaków: " << HeaderCharacterTotal(model, lines) << "\n";
}

}  // namespace

int RunNaglowek(CommandContext& context, const std::vector<std::string>& args) {
    const bool set = args.size() == 2 && args[0] == "ustaw";
    if (!args.empty() && !set) {
        context.err << kUsage << "\n";
        return kExitUsage;
    }
    std::vector<HeaderLine> fileLines;
    if (set) {
        std::string error;
        if (!ReadHeaderFile(args[1], fileLines, error)) {
            context.err << error << "\n";
            return kExitFailure;
        }
        // An empty file would erase the header the register prints on every receipt; that
        // is never what a file given to program it means.
        const bool empty = std::all_of(fileLines.begin(), fileLines.end(), [](const HeaderLine& l) {
            return l.text.find_first_not_of(' ') == std::string::npos;
        });
        if (empty) {
            context.err << "Plik " << args[1]
                        << " nie zawiera żadnej linii nagłówka; nagłówek nie został wysłany.\n";
            return kExitUsage;
        }
    }
    CliSession session(context);
    if (!session.Open()) {
        return context.options.port.empty() ? kExitUsage : kExitFailure;
    }
    const RegisterModel& model = *ActiveModel();
    if (set) {
        const int count = HeaderLineCountOf(model);
        if (fileLines.size() > static_cast<size_t>(count)) {
            context.err << "Plik " << args[1] << " ma " << fileLines.size()
                        << " linii, a nagłówek kasy " << session.Ecr().ModelName() << " ma ich "
                        << count << ".\n";
            return kExitFailure;
        }
        HeaderLines lines{};
        std::copy(fileLines.begin(), fileLines.end(), lines.begin());
        const std::optional<bool> fiscal = session.Fiscal();
        if (!fiscal) {
            return kExitFailure;
        }
        Settings settings = ReadSettingsFile(ResolveConfigFilePath(context.options.config));
        CommandBackup backup(context, model, settings,
                             Utf8ToUpper(model.Table(TableKind::kHeader).tableName));
        ValidationOutcome validation;
        const bool programmed =
            ProgramHeader(session.Ecr(), session.Ui(), kCaption, model, settings, false, *fiscal,
                          lines, validation, backup.HeaderHook());
        const bool kept = backup.Report();
        if (!programmed) {
            for (const FaultLine& fault : validation.lines) {
                context.err << fault.text << "\n";
            }
            return kExitFailure;
        }
        if (!kept) {
            return kExitFailure;
        }
    }
    HeaderLines lines{};
    if (!ReadHeaderIntoLines(session.Ecr(), session.Ui(), kCaption, false, lines)) {
        return kExitFailure;
    }
    PrintHeader(context.out, model, lines);
    return kExitSuccess;
}

}  // namespace kasa::cli
