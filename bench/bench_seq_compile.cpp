// Compile speed of the sequence compiler on generated sources of 1 MB and 4 MB: the time
// must grow linearly with the size, at 20 MB/s or more.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "seq/seqcompileclass.h"

namespace {

// Lines of many sequences with literals (Polish letters included), escapes, words,
// comments and checksum regions, up to `bytes` bytes of text.
std::vector<std::string> GenerateSource(size_t bytes) {
    const std::vector<std::string> block = {
        "; Paragon testowy, wszystko poza sekwencją jest pomijane",
        "seq = \\<check_start> \\e'@' \\x1b 'P' 'Zażółć gęślą jaźń 12,50 zł' \\<cr>\\<lf>",
        "      \\<ESC>\\<100>\\<300> 'Data: ' \\<ly>-\\<m>-\\<d> \\<h>:\\<min> \\r\\n \\; uwaga",
        "      \\<c> ten tekst jest komentarzem 'i nie trafia do wyniku' \\<e>",
        "      ABC DEF \\xFF \\f \\\\ \\<spc> 'tekst ze spacjami'",
        "      \\<check_insert> \\<end>",
    };
    std::vector<std::string> lines;
    size_t size = 0;
    while (size < bytes) {
        for (const std::string& line : block) {
            lines.push_back(line);
            size += line.size() + 2;
        }
    }
    return lines;
}

double CompileMegabytesPerSecond(size_t megabytes, double& seconds, size_t& outputBytes) {
    const std::vector<std::string> source = GenerateSource(megabytes << 20);
    kasa::SeqCompileClass compiler([] { return kasa::ClockReading{2026, 3, 5, 9, 7}; });
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = compiler.Compile(source, nullptr);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            std::fputs("Kompilacja nie powiodła się.\n", stderr);
            return 0;
        }
        best = std::min(best, took.count());
    }
    seconds = best;
    outputBytes = static_cast<size_t>(compiler.Output().Length());
    return static_cast<double>(megabytes) / best;
}

}  // namespace

int main() {
    double seconds1 = 0;
    double seconds4 = 0;
    size_t output1 = 0;
    size_t output4 = 0;
    const double speed1 = CompileMegabytesPerSecond(1, seconds1, output1);
    const double speed4 = CompileMegabytesPerSecond(4, seconds4, output4);
    std::printf("source 1 MB: %s s, %s MB/s, %s output bytes\n",
                kasa::FormatDouble("%.4f", seconds1).c_str(),
                kasa::FormatDouble("%.1f", speed1).c_str(), kasa::DecimalText(output1).c_str());
    std::printf("source 4 MB: %s s, %s MB/s, %s output bytes\n",
                kasa::FormatDouble("%.4f", seconds4).c_str(),
                kasa::FormatDouble("%.1f", speed4).c_str(), kasa::DecimalText(output4).c_str());
    std::printf("time 4 MB / time 1 MB: %s (linear: 4)\n",
                kasa::FormatDouble("%.2f", seconds1 > 0 ? seconds4 / seconds1 : 0).c_str());
    std::printf("target 20 MB/s: %s\n", std::min(speed1, speed4) >= 20 ? "met" : "NOT met");
    return std::min(speed1, speed4) >= 20 ? 0 : 1;
}
