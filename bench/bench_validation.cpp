// Speed of the validation before a goods write: the full "Zen" goods table (2636 records,
// every cell filled, names that repeat often and names that never repeat) through the
// write validator and both duplicate checks. Target: below 20 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/number_text.h"
#include "tables/duplicate_checks.h"
#include "tables/table_validation.h"

namespace {

using Clock = std::chrono::steady_clock;

kasa::TextGrid FullGoods(const kasa::RegisterModel& model) {
    kasa::TextGrid grid;
    const kasa::TableDescriptor& goods = model.Table(kasa::TableKind::kGoods);
    kasa::SetUpGrid(grid, goods, true, true, 1);
    const char* kinds[] = {"Żółty ser", "Chleb żytni", "Mleko 3,2%", "Sok jabłkowy"};
    for (int r = 1; r < grid.RowCount(); ++r) {
        const std::string n = kasa::DecimalText(r);
        // Every third name is shared with others; the rest are unique.
        const std::string name = r % 3 == 0
                                     ? std::string(kinds[r % 4]) + " " + kasa::DecimalText(r % 50)
                                     : std::string(kinds[r % 4]).substr(0, 9) + " " + n;
        const std::string code = "59" + std::string(11 - std::min<size_t>(n.size(), 11), '0') + n;
        const std::string cells[] = {"",      name,   r % 7 == 0 ? "5901234123457" : code, "A", "3",
                                     "12,49", "1,500"};
        for (int c = 1; c < grid.ColCount(); ++c) {
            grid.SetCell(c, r, cells[std::min<size_t>(static_cast<size_t>(c), 6)]);
        }
    }
    return grid;
}

}  // namespace

int main() {
    const kasa::RegisterModel& zen = kasa::ZenModel();
    const kasa::TextGrid goods = FullGoods(zen);
    constexpr int kRuns = 5;
    double best = 1e9;
    size_t lines = 0;
    for (int run = 0; run < kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        kasa::ValidationPass pass(5000);
        kasa::ValidateForWrite(pass, zen, kasa::TableKind::kGoods, goods, 1,
                               kasa::LastValidatedRow(zen.Table(kasa::TableKind::kGoods), goods));
        kasa::CheckEanUniqueness(pass, goods);
        kasa::CheckNameUniqueness(pass, goods);
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        lines = pass.lines.size();
    }
    std::printf("Weryfikacja towarów Zen (2636 rekordów, %zu linii): %.2f ms (cel < 20 ms)\n",
                lines, best);
    return best < 20.0 ? 0 : 1;
}
