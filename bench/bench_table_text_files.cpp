// Saving and loading the full "Zen" goods table (2636 records, every one filled) as a CSV
// and as a text file: the time a user waits after pressing the goods table's file buttons.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/number_text.h"
#include "tables/table_text_file.h"

namespace {

using Clock = std::chrono::steady_clock;

kasa::TextGrid FullGoodsGrid(const kasa::TableDescriptor& goods) {
    kasa::TextGrid grid;
    kasa::SetUpGrid(grid, goods, true, true, 1);
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.SetCell(1, r, "Żółty ser " + kasa::DecimalText(r));
        grid.SetCell(2, r, kasa::DecimalText(5900000000000 + r));
        grid.SetCell(3, r, std::string(1, static_cast<char>('A' + r % 7)));
        grid.SetCell(4, r, kasa::DecimalText(r % 16));
        grid.SetCell(5, r, kasa::DecimalText(r % 1000) + ".99");
        grid.SetCell(6, r, kasa::DecimalText(r % 100) + ".250");
    }
    return grid;
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Summary(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

}  // namespace

int main() {
    constexpr int kRounds = 30;
    const kasa::TableDescriptor& goods = kasa::ZenModel().Table(kasa::TableKind::kGoods);
    const kasa::TextGrid written = FullGoodsGrid(goods);
    const auto folder = std::filesystem::temp_directory_path() /
                        ("bench_table_text_files_" + kasa::DecimalText(::getpid()));
    std::filesystem::create_directories(folder);

    std::printf("goods table \"Zen\", %d records, %d rounds (target: each below 50 ms)\n",
                goods.RecordCount, kRounds);
    int result = 0;
    for (const char* name : {"towary.csv", "towary.txt"}) {
        const std::string path = (folder / name).string();
        const char separator = kasa::TextFileSeparatorForPath(path);
        std::vector<double> saves;
        std::vector<double> loads;
        for (int i = 0; i < kRounds; ++i) {
            auto start = Clock::now();
            const kasa::WriteResult saved =
                kasa::SaveTableTextFile(path, written, goods, separator);
            saves.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (!saved.ok) {
                std::fprintf(stderr, "%s\n", saved.message.c_str());
                result = 1;
                break;
            }
            kasa::TextGrid read;
            kasa::TableFileReader reader;
            start = Clock::now();
            const int status = reader.Read(path, goods, read, 1);
            loads.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (status != kasa::kLoadOk ||
                read.Cell(1, read.RowCount() - 1) != written.Cell(1, written.RowCount() - 1)) {
                std::fprintf(stderr, "%s: odczyt niezgodny z zapisem (status %d).\n", name, status);
                result = 1;
                break;
            }
        }
        if (result != 0) {
            break;
        }
        const Figures save = Summary(saves);
        const Figures load = Summary(loads);
        std::printf(
            "%s (%ju bytes): save median %.2f ms, max %.2f ms; load median %.2f ms, max "
            "%.2f ms\n",
            name, static_cast<uintmax_t>(std::filesystem::file_size(path)), save.median, save.worst,
            load.median, load.worst);
    }
    std::filesystem::remove_all(folder);
    return result;
}
