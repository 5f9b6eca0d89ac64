#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/platform/windows/wide_text.h"
#include "cli/console.h"

namespace kasa::cli {

namespace {

// The console the stream writes to; null for a pipe, a file or the NUL device, which take
// the bytes themselves.
HANDLE ConsoleOf(std::FILE* stream) {
    const int descriptor = ::_fileno(stream);
    if (descriptor < 0) {
        return nullptr;
    }
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode)) {
        return nullptr;
    }
    return handle;
}

// The length of `text` without a last character cut short, which waits for its other
// bytes: a console is given whole characters only.
size_t WholeCharacters(std::string_view text) {
    for (size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

// The bytes of a character cut between two writes, for each standard stream.
std::string& CutCharacterOf(std::FILE* stream) {
    static std::string output;
    static std::string error;
    return stream == stderr ? error : output;
}

}  // namespace

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

int WriteStandardStream(std::FILE* stream, std::string_view text) {
    const HANDLE console = ConsoleOf(stream);
    if (console == nullptr) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), stream) == text.size()) {
            return 0;
        }
        return errno != 0 ? errno : EIO;
    }
    // The C runtime would hand the console bytes that it shows in its own code page; as
    // wide characters the console shows every letter.
    std::string& cut = CutCharacterOf(stream);
    cut.append(text);
    const size_t whole = WholeCharacters(cut);
    const std::wstring wide = WideFromUtf8(std::string_view(cut).substr(0, whole));
    cut.erase(0, whole);
    size_t done = 0;
    while (done < wide.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
        DWORD written = 0;
        if (!::WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            return EIO;
        }
        done += written;
    }
    return 0;
}

int FlushStandardStream(std::FILE* stream) {
    errno = 0;
    if (std::fflush(stream) == 0) {
        return 0;
    }
    return errno != 0 ? errno : EIO;
}

}  // namespace kasa::cli
