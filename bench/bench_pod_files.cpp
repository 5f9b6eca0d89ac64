// Speed of the .pod table files: the full "Zen" goods table (2636 records) saved and
// loaded alone, and every table of the register saved into and loaded from one file.
// Targets: one table below 50 ms each way, all tables below 100 ms save and load together.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/number_text.h"
#include "base/user_interface.h"
#include "tables/pod_file.h"
#include "tables/table_files.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Every record of every grid filled in every column, as a shop's full database is.
kasa::TableSet FullTables(const kasa::RegisterModel& model) {
    kasa::TableSet tables;
    for (int k = 0; k < kasa::kTableKindCount; ++k) {
        const auto kind = static_cast<kasa::TableKind>(k);
        if (kind == kasa::TableKind::kHeader || kind == kasa::TableKind::kVat) {
            continue;
        }
        kasa::TextGrid& grid = tables.Grid(kind);
        kasa::SetUpGrid(grid, model.Table(kind), true, true, 1);
        for (int r = 1; r < grid.RowCount(); ++r) {
            const std::string n = kasa::DecimalText(r);
            const std::string cells[] = {"",
                                         "Żółty ser " + n,
                                         "590123412345" + n.substr(0, 1),
                                         "A",
                                         "3",
                                         "12,49",
                                         "1,500",
                                         "18,74",
                                         "100,000",
                                         "1249,00"};
            for (int c = 1; c < grid.ColCount(); ++c) {
                grid.SetCell(c, r, cells[std::min<size_t>(static_cast<size_t>(c), 9)]);
            }
        }
    }
    for (int i = 0; i < kasa::kHeaderLineCount; ++i) {
        tables.header[static_cast<size_t>(i)] =
            kasa::HeaderLine{"Sklep spożywczy", true, false, false};
    }
    tables.vatRates = {"23", "8", "5", "0", "zw", "nakt", "nakt"};
    return tables;
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kasa-benchXXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fputs("Nie można utworzyć folderu tymczasowego.\n", stderr);
        return 1;
    }
    const std::string goodsPath = pattern + "/towary.pod";
    const std::string allPath = pattern + "/wszystko.pod";
    const kasa::RegisterModel& zen = kasa::ZenModel();
    kasa::TableSet tables = FullTables(zen);
    kasa::TableSet loaded;
    kasa::SilentUserInterface ui;

    constexpr int kRuns = 5;
    double saveGoods = 1e9, loadGoods = 1e9, saveAll = 1e9, loadAll = 1e9, resaveGoods = 1e9;
    bool ok = true;
    for (int run = 0; run < kRuns; ++run) {
        std::filesystem::remove(goodsPath);
        std::filesystem::remove(allPath);
        auto start = Clock::now();
        ok &= kasa::SaveTableToPodFile(goodsPath, zen, kasa::TableKind::kGoods, tables, 1).ok;
        saveGoods = std::min(saveGoods, Milliseconds(start));

        start = Clock::now();
        ok &= kasa::LoadTableFile(goodsPath, zen, kasa::TableKind::kGoods, loaded, 1).ok();
        loadGoods = std::min(loadGoods, Milliseconds(start));

        // Saved again over the existing file: every key is looked up and rewritten.
        tables.Grid(kasa::TableKind::kGoods).SetCell(5, 1 + run, "0,99");
        start = Clock::now();
        ok &= kasa::SaveTableToPodFile(goodsPath, zen, kasa::TableKind::kGoods, tables, 1).ok;
        resaveGoods = std::min(resaveGoods, Milliseconds(start));

        start = Clock::now();
        ok &= kasa::SaveAllToPodFile(allPath, zen, tables, 1, ui, "Program serwisowy kas").ok;
        saveAll = std::min(saveAll, Milliseconds(start));

        start = Clock::now();
        ok &= kasa::LoadAllFromPodFile(allPath, zen, loaded, 1, ui, "Program serwisowy kas").ok();
        loadAll = std::min(loadAll, Milliseconds(start));
    }
    const kasa::TextGrid& goods = loaded.Grid(kasa::TableKind::kGoods);
    ok &= goods.Cell(1, 2636) == "Żółty ser 2636";
    const auto size = std::filesystem::file_size(allPath);
    std::filesystem::remove_all(pattern);
    if (!ok) {
        std::fputs("Zapis lub odczyt pliku .pod nie powiódł się.\n", stderr);
        return 1;
    }
    std::printf(
        "Plik .pod, towary \"Zen\" (2636 rekordów): zapis %.1f ms, odczyt %.1f ms, ponowny zapis "
        "do istniejącego pliku %.1f ms (cel < 50 ms)\n",
        saveGoods, loadGoods, resaveGoods);
    std::printf(
        "Plik .pod, wszystkie tabele (%ju bajtów): zapis %.1f ms + odczyt %.1f ms = %.1f ms "
        "(cel < 100 ms)\n",
        static_cast<uintmax_t>(size), saveAll, loadAll, saveAll + loadAll);
    return 0;
}
