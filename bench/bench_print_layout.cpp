// Speed of laying out a full "Vesper" goods table (2300 records, names with Polish letters)
// for printing: the PLU number and the barcode as EAN-13, the name as Code 128, the price
// as text, about 80 pages. Target: below 200 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/number_text.h"
#include "print/table_print_layout.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

int main() {
    const kasa::TableDescriptor& table = kasa::VesperModel().Table(kasa::TableKind::kGoods);
    kasa::TextGrid grid;
    kasa::SetUpGrid(grid, table, true, true, 1);
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.SetCell(1, r, "Żółty ser " + kasa::DecimalText(r));
        grid.SetCell(2, r, "590" + kasa::DecimalText(100000000 + r * 7919));
        grid.SetCell(table.ColumnOfKey("CEN"), r, "12,49");
    }
    kasa::TablePrintRequest request;
    request.table = &table;
    request.grid = &grid;
    request.columns = {{0, kasa::CellStyle::kEan13},
                       {1, kasa::CellStyle::kCode128},
                       {2, kasa::CellStyle::kEan13},
                       {table.ColumnOfKey("CEN"), kasa::CellStyle::kText}};
    double best = 1e9;
    size_t pages = 0;
    for (int run = 0; run < 5; ++run) {
        const Clock::time_point start = Clock::now();
        const kasa::TableLayoutResult laid = kasa::LayOutTable(request);
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        pages = laid.document.pages.size();
    }
    std::printf("układ 2300 towarów (%zu stron): %.2f ms\n", pages, best);
    return 0;
}
