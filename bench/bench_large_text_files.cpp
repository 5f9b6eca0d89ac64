// Peak memory of reading large text files: a 50 MB .pod loaded as the goods table, and a
// 50 MB sequence source loaded and compiled. Target: a peak of at most six times the
// file's size (the file, its text and what is built from it, never a copy per line).
// Each measurement runs in a child process of its own, so that one peak cannot hide in
// another.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seq/seqcompileclass.h"
#include "tables/table_files.h"

namespace {

constexpr size_t kFileSize = 50'000'000;

void WriteLines(const std::string& path, const std::string& first,
                std::string (*line)(size_t index)) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    size_t written = first.size();
    out << first;
    for (size_t i = 1; written < kFileSize; ++i) {
        const std::string text = line(i);
        out << text;
        written += text.size();
    }
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool LoadPod(const std::string& path) {
    kasa::TableSet tables;
    return kasa::LoadTableFile(path, kasa::ZenModel(), kasa::TableKind::kGoods, tables, 1).ok();
}

bool CompileSource(const std::string& path) {
    kasa::SeqCompileClass compiler;
    compiler.SetSourceFileName(path);
    std::vector<std::string> lines;
    return compiler.LoadSource(lines) && compiler.Compile(lines, nullptr);
}

// Runs `work` in a child and prints its peak against the file's size.
bool Measure(const char* what, const std::string& path, bool (*work)(const std::string&)) {
    const pid_t child = fork();
    if (child == 0) {
        const bool ok = work(path);
        const double ratio = static_cast<double>(PeakKilobytes()) * 1024.0 / kFileSize;
        std::printf("%-28s peak %6.1f x the file (target 6)%s\n", what, ratio,
                    ok ? "" : " FAILED TO READ");
        std::fflush(stdout);
        _exit(ok && ratio <= 6.0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main() {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string pod = folder + "/bench_large.pod";
    const std::string source = folder + "/bench_large.txt";
    WriteLines(pod, "[TOWARY]\r\n", [](size_t i) {
        const std::string n = std::to_string(i);
        return "Plu" + n + "=" + n + ";Towar numer " + n + ";5901234123457;A;0;12.99;0\r\n";
    });
    WriteLines(source, "seq = ", [](size_t i) {
        return std::string(i % 2 ? "'Linia tekstu do drukarki' \\<CR>\\<LF>\r\n"
                                 : "\\x1B 'abc' \\<check_start>'x'\\<check_insert>\r\n");
    });
    std::ofstream(source, std::ios::binary | std::ios::app) << "\\<end>\r\n";
    bool ok = Measure("50 MB .pod, goods table", pod, LoadPod);
    ok = Measure("50 MB sequence source", source, CompileSource) && ok;
    std::filesystem::remove(pod);
    std::filesystem::remove(source);
    return ok ? 0 : 1;
}
