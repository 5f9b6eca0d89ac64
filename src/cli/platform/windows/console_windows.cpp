#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "base/platform/windows/wide_text.h"
#include "cli/console.h"

namespace kasa::cli {

void PrepareConsole() {
    // The console's own code page would show Polish letters of the UTF-8 text as garbage.
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    // argv holds the arguments in the system's ANSI code page, which loses Polish letters
    // of file names; the wide command line keeps them.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(Utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

bool StandardInputIsTerminal() {
    return ::_isatty(::_fileno(stdin)) != 0;
}

bool StandardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

}  // namespace kasa::cli
