// Speed of the validation before a goods write: the full "Zen" goods table (2636 records,
// every cell filled) through the write validator and both duplicate checks, once with names
// and codes that repeat often and once with none repeated, at the usual limit of 200
// faults. Target: below 20 ms each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/number_text.h"
#include "tables/duplicate_checks.h"
#include "tables/table_validation.h"

namespace {

using Clock = std::chrono::steady_clock;

kasa::TextGrid FullGoods(const kasa::RegisterModel& model, bool repeats) {
    kasa::TextGrid grid;
    const kasa::TableDescriptor& goods = model.Table(kasa::TableKind::kGoods);
    kasa::SetUpGrid(grid, goods, true, true, 1);
    const char* kinds[] = {"Żółty ser", "Chleb żytni", "Mleko 3,2%", "Sok jabłkowy"};
    for (int r = 1; r < grid.RowCount(); ++r) {
        const std::string n = kasa::DecimalText(r);
        // With repeats every third name and every seventh code is shared with others.
        const std::string name = !repeats ? std::string(kinds[r % 4]).substr(0, 9) + " " + n
                                 : r % 3 == 0
                                     ? std::string(kinds[r % 4]) + " " + kasa::DecimalText(r % 50)
                                     : std::string(kinds[r % 4]).substr(0, 9) + " " + n;
        const std::string code = "59" + std::string(11 - std::min<size_t>(n.size(), 11), '0') + n;
        const std::string cells[] = {
            "", name, repeats && r % 7 == 0 ? "5901234123457" : code, "A", "3", "12,49", "1,500"};
        for (int c = 1; c < grid.ColCount(); ++c) {
            grid.SetCell(c, r, cells[std::min<size_t>(static_cast<size_t>(c), 6)]);
        }
    }
    return grid;
}

// The best of five runs, in milliseconds; `lines` gets the pass's line count.
double Measure(const kasa::RegisterModel& model, const kasa::TextGrid& goods, size_t& lines) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const Clock::time_point start = Clock::now();
        kasa::ValidationPass pass(200);
        kasa::ValidateForWrite(pass, model, kasa::TableKind::kGoods, goods, 1,
                               kasa::LastValidatedRow(model.Table(kasa::TableKind::kGoods), goods));
        kasa::CheckEanUniqueness(pass, goods);
        kasa::CheckNameUniqueness(pass, goods);
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        lines = pass.lines.size();
    }
    return best;
}

}  // namespace

int main() {
    const kasa::RegisterModel& zen = kasa::ZenModel();
    bool ok = true;
    for (const bool repeats : {true, false}) {
        size_t lines = 0;
        const double ms = Measure(zen, FullGoods(zen, repeats), lines);
        std::printf(
            "Weryfikacja towarów Zen (2636 rekordów, %s, %zu linii): %.2f ms (cel < 20 ms)\n",
            repeats ? "z powtórzeniami" : "bez powtórzeń", lines, ms);
        ok = ok && ms < 20.0;
    }
    return ok ? 0 : 1;
}
