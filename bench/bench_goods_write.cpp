// Writes the whole "Vesper" goods table to the virtual register paced at 115200 baud, as
// the transfer does, once with every record changed and once with none changed, and
// compares the time with what the bytes need on the wire. Then the same write with the
// backup of the overwritten records on, and with the backup and the read-back check, each
// over a table changed again: the backup must cost nothing on top of the wire, and the
// check no more than its own reads on the wire.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/read_back_check.h"
#include "app/table_transfer.h"
#include "app/write_backup.h"
#include "base/user_interface.h"
#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"
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

Pass WriteGoods(kasa::sim::VirtualRegister& reg, kasa::RegisterSession& ecr, kasa::TableSet& tables,
                kasa::RowWriteObserver* observer = nullptr, kasa::ReadBackCheck* check = nullptr) {
    using namespace kasa;
    SilentUserInterface ui;
    std::atomic<bool> abort{false};
    const std::atomic<bool> closing{false};
    TransferRequest request;
    request.name = "PLU_zapis";
    request.interactive = false;
    request.observer = observer;
    reg.ClearReceived();
    reg.ClearWireBytes();
    Pass pass;
    const auto start = std::chrono::steady_clock::now();
    pass.ok = TransferTable(ecr, ui, VesperModel(), tables, request, abort, closing) ==
              TransferResult::kDone;
    if (check != nullptr) {
        pass.ok = pass.ok && check->Verify(ecr).Passed();
    }
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pass.wireBytes = reg.WireBytes();
    pass.writes = kasa::testing::CountRequests(reg, 'E');
    return pass;
}

void FillGoods(kasa::TextGrid& grid, const kasa::TableDescriptor& goods, const std::string& tag) {
    for (int row = 1; row < grid.RowCount(); ++row) {
        const std::string n = std::to_string(row);
        grid.SetCell(goods.ColumnOfKey("NAZ"), row, "Towar " + tag + n);
        grid.SetCell(goods.ColumnOfKey("PTU"), row, "A");
        grid.SetCell(goods.ColumnOfKey("CEN"), row, std::to_string(row % 100) + ".99");
        grid.SetCell(goods.ColumnOfKey("GRU"), row, "1");
    }
}

double WireSeconds(const Pass& pass) {
    return static_cast<double>(pass.wireBytes) * 10.0 / kBaud;
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
    FillGoods(grid, goods, "");
    const int rows = grid.RowCount() - 1;
    bool pass = true;
    double plainRatio = 0;
    for (const bool changed : {true, false}) {
        const Pass r = WriteGoods(reg, ecr, tables);
        const double wire = WireSeconds(r);
        const double ratio = r.seconds / wire;
        if (changed) {
            plainRatio = ratio;
        }
        std::printf(
            "%s: %d rows, %d record writes, %.3f s, %llu bytes on the wire, wire time %.3f s, "
            "elapsed/wire %.3f%s\n",
            changed ? "all changed" : "none changed", rows, r.writes, r.seconds,
            static_cast<unsigned long long>(r.wireBytes), wire, ratio,
            changed ? " (target <= 1.15)" : " (target: no record write)");
        pass = pass && r.ok && (changed ? ratio <= 1.15 && r.writes == rows : r.writes == 0);
    }

    // The backup: every record is kept in the file before it goes out.
    testing::ScratchFolder folder;
    {
        WriteBackup backup(VesperModel(), folder.Path("kopie"), "Vesper", "PLU", 200,
                           std::time(nullptr));
        FillGoods(grid, goods, "b");
        const Pass r = WriteGoods(reg, ecr, tables, &backup);
        const bool finished = backup.Finish().ok && !backup.Path().empty();
        const double ratio = r.seconds / WireSeconds(r);
        std::printf(
            "all changed, backup on: %d record writes, %.3f s, wire time %.3f s, elapsed/wire "
            "%.3f, against the write without backup %.3f (target <= 1.05)\n",
            r.writes, r.seconds, WireSeconds(r), ratio, ratio / plainRatio);
        pass = pass && r.ok && finished && r.writes == rows && ratio <= 1.05 * plainRatio;
    }
    // The backup and the read-back check: the write's wire time and the reads' together.
    {
        WriteBackup backup(VesperModel(), folder.Path("kopie"), "Vesper", "PLU", 200,
                           std::time(nullptr));
        ReadBackCheck check(VesperModel());
        RowWriteObservers both({&backup, &check});
        FillGoods(grid, goods, "c");
        const Pass r = WriteGoods(reg, ecr, tables, &both, &check);
        const double ratio = r.seconds / WireSeconds(r);
        std::printf(
            "all changed, backup and read-back check: %d record writes, %zu records read back, "
            "%.3f s, wire time (write and read back) %.3f s, elapsed/wire %.3f, against the "
            "write without them %.3f (target <= 1.05)\n",
            r.writes, check.Count(), r.seconds, WireSeconds(r), ratio, ratio / plainRatio);
        pass = pass && r.ok && r.writes == rows && check.Count() == static_cast<size_t>(rows) &&
               ratio <= 1.05 * plainRatio;
    }
    return pass ? 0 : 1;
}
