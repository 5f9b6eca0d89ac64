// Reads the whole "Vesper" goods table from the virtual register row by row, as the
// transfer does, and compares the time with what the bytes need on the wire: over its
// pseudo-terminal, and over the loopback as a register behind a serial device server.
#include <chrono>
#include <cstdio>

#include "comm/ecrclass.h"
#include "ecr/register_session.h"
#include "ecr/row_transfer.h"
#include "sim/virtual_register.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace {

struct Result {
    double seconds = 0;
    uint64_t wireBytes = 0;
    int records = 0;
    bool ok = true;
};

using Listening = kasa::sim::VirtualRegisterOptions::Listening;

Result ReadAllGoods(int baud, Listening listening) {
    using namespace kasa;
    sim::VirtualRegisterOptions options;
    options.type = sim::RegisterType::Vesper;
    options.baudRate = baud;
    options.listening = listening;
    sim::VirtualRegister reg(options);
    Result result;
    if (!reg.Start()) {
        result.ok = false;
        return result;
    }
    RegisterSession ecr;
    ecr.SetPortParams(reg.PortPath(), baud > 0 ? baud : 115200, nullptr, 0);
    ecr.modelCode = 2;
    std::string type = "Vesper";
    ActiveModelSelection().Select(type);
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    TextGrid grid;
    SetUpGrid(grid, goods, true, true, 1);
    RowTransfer transfer(ecr, grid, "PLU", VesperModel());
    ecr.InitTransmission();
    reg.ClearWireBytes();
    const auto start = std::chrono::steady_clock::now();
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (!transfer.TransferRowIn(row)) {
            result.ok = false;
            break;
        }
        ++result.records;
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.wireBytes = reg.WireBytes();
    ecr.CloseTransmission();
    return result;
}

}  // namespace

int main() {
    bool pass = true;
    struct Run {
        int baud;
        Listening listening;
        const char* line;
        double target;
    };
    const Run runs[] = {
        {115200, Listening::kTerminal, "pseudo-terminal", 1.15},
        {0, Listening::kTerminal, "pseudo-terminal", 0},
        {115200, Listening::kTcp, "tcp:// loopback", 1.05},
        {115200, Listening::kRfc2217, "rfc2217:// loopback", 1.05},
    };
    for (const Run& run : runs) {
        const Result r = ReadAllGoods(run.baud, run.listening);
        if (!r.ok) {
            std::printf("%s: odczyt przerwany po %d rekordach\n", run.line, r.records);
            return 1;
        }
        const double perSecond = r.records / r.seconds;
        if (run.baud > 0) {
            const double wire = static_cast<double>(r.wireBytes) * 10.0 / run.baud;
            const double ratio = r.seconds / wire;
            std::printf(
                "%s, paced %d baud: %d records in %.3f s, %.0f records/s, %llu bytes on the "
                "wire, wire time %.3f s, elapsed/wire %.3f (target <= %.2f)\n",
                run.line, run.baud, r.records, r.seconds, perSecond,
                static_cast<unsigned long long>(r.wireBytes), wire, ratio, run.target);
            pass = pass && ratio <= run.target;
        } else {
            std::printf(
                "%s, unpaced: %d records in %.3f s, %.0f records/s, %llu bytes (target >= "
                "1000/s)\n",
                run.line, r.records, r.seconds, perSecond,
                static_cast<unsigned long long>(r.wireBytes));
            pass = pass && perSecond >= 1000;
        }
    }
    return pass ? 0 : 1;
}
