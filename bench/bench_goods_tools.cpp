// Speed of the goods data tools on a full "Vesper" goods table (2300 records, names in
// shuffled order with Polish letters, every fifth row empty): sorting by name, compacting
// and recalculating both value columns. Target: below 20 ms each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "base/number_text.h"
#include "tables/goods_tools.h"

namespace {

using Clock = std::chrono::steady_clock;

kasa::TextGrid FullGoods(const kasa::TableDescriptor& goods) {
    kasa::TextGrid grid;
    kasa::SetUpGrid(grid, goods, true, true, 1);
    const char* kinds[] = {"Żółty ser", "Chleb żytni", "Łosoś wędzony", "Sok jabłkowy"};
    std::mt19937 random(2300);
    for (int r = 1; r < grid.RowCount(); ++r) {
        if (r % 5 == 0) {
            continue;
        }
        const std::string number = kasa::DecimalText(static_cast<int64_t>(random() % 100000));
        const std::string cells[] = {"",
                                     std::string(kinds[random() % 4]).substr(0, 10) + number,
                                     "590123412345",
                                     "A",
                                     "1",
                                     "1",
                                     "12,49",
                                     "3",
                                     "",
                                     "1,5",
                                     ""};
        for (int c = 1; c < grid.ColCount(); ++c) {
            grid.SetCell(c, r, cells[c]);
        }
    }
    return grid;
}

// The best of five runs on fresh copies, in milliseconds.
double Measure(const kasa::TextGrid& goods, const std::function<void(kasa::TextGrid&)>& tool) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        kasa::TextGrid grid = goods;
        const Clock::time_point start = Clock::now();
        tool(grid);
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const kasa::TableDescriptor& table = kasa::VesperModel().Table(kasa::TableKind::kGoods);
    const kasa::TextGrid goods = FullGoods(table);
    std::printf("sortowanie A-Z:   %.2f ms\n",
                Measure(goods, [&](kasa::TextGrid& g) { kasa::SortByName(table, g, false); }));
    std::printf("kompaktowanie:    %.2f ms\n",
                Measure(goods, [](kasa::TextGrid& g) { kasa::CompactRecords(g); }));
    std::printf("przeliczenie:     %.2f ms\n", Measure(goods, [&](kasa::TextGrid& g) {
                    kasa::RecalculateGoodsValues(table, g, true, true);
                }));
    return 0;
}
