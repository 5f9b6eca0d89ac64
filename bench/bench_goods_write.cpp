// Writes the whole "Vesper" goods table to the virtual register paced at 115200 baud, as
// the transfer does, once with every record changed and once with none changed, and
// compares the time with what the bytes need on the wire.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/table_transfer.h"
#include "base/user_interface.h"
#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "support/register_state.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace {

constexpr int kBaud = 115200;

struct Pass {
    double seconds = 0;
    uint64_t wireBytes = 0;
    int writes = 0;
    bool ok = false;
};

Pass WriteGoods(kasa::sim::VirtualRegister& reg, kasa::RegisterSession& ecr,
                kasa::TableSet& tables) {
    using namespace kasa;
    SilentUserInterface ui;
    std::atomic<bool> abort{false};
    const std::atomic<bool> closing{false};
    TransferRequest request;
    request.name = "PLU_zapis";
    request.interactive = false;
    reg.ClearReceived();
    reg.ClearWireBytes();
    Pass pass;
    const auto start = std::chrono::steady_clock::now();
    pass.ok = TransferTable(ecr, ui, VesperModel(), tables, request, abort, closing) ==
              TransferResult::kDone;
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pass.wireBytes = reg.WireBytes();
    pass.writes = kasa::testing::CountRequests(reg, 'E');
    return pass;
}

}  // namespace

int main() {
    using namespace kasa;
    sim::VirtualRegisterOptions options;
    options.type = sim::RegisterType::Vesper;
    options.demoData = false;
    options.baudRate = kBaud;
    sim::VirtualRegister reg(options);
    if (!reg.Start()) {
        std::printf("brak pseudoterminala\n");
        return 1;
    }
    RegisterSession ecr;
    ecr.SetPortParams(reg.PortPath(), kBaud, nullptr, 0);
    ecr.modelCode = 2;
    ecr.savedMode = 0;
    std::string type = "Vesper";
    ActiveModelSelection().Select(type);
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    TableSet tables;
    TextGrid& grid = tables.Grid(TableKind::kGoods);
    SetUpGrid(grid, goods, true, true, 1);
    for (int row = 1; row < grid.RowCount(); ++row) {
        const std::string n = std::to_string(row);
        grid.SetCell(goods.ColumnOfKey("NAZ"), row, "Towar " + n);
        grid.SetCell(goods.ColumnOfKey("PTU"), row, "A");
        grid.SetCell(goods.ColumnOfKey("CEN"), row, std::to_string(row % 100) + ".99");
        grid.SetCell(goods.ColumnOfKey("GRU"), row, "1");
    }
    bool pass = true;
    for (const bool changed : {true, false}) {
        const Pass r = WriteGoods(reg, ecr, tables);
        const double wire = static_cast<double>(r.wireBytes) * 10.0 / kBaud;
        const double ratio = r.seconds / wire;
        std::printf(
            "%s: %d rows, %d record writes, %.3f s, %llu bytes on the wire, wire time %.3f s, "
            "elapsed/wire %.3f%s\n",
            changed ? "all changed" : "none changed", grid.RowCount() - 1, r.writes, r.seconds,
            static_cast<unsigned long long>(r.wireBytes), wire, ratio,
            changed ? " (target <= 1.15)" : " (target: no record write)");
        pass = pass && r.ok &&
               (changed ? ratio <= 1.15 && r.writes == grid.RowCount() - 1 : r.writes == 0);
    }
    return pass ? 0 : 1;
}
