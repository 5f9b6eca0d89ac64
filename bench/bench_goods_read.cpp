// Reads the whole "Vesper" goods table from the virtual register row by row, as the
// transfer does, and compares the time with what the bytes need on the wire.
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

Result ReadAllGoods(int baud) {
    using namespace kasa;
    sim::VirtualRegisterOptions options;
    options.type = sim::RegisterType::Vesper;
    options.baudRate = baud;
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
    for (const int baud : {115200, 0}) {
        const Result r = ReadAllGoods(baud);
        if (!r.ok) {
            std::printf("odczyt przerwany po %d rekordach\n", r.records);
            return 1;
        }
        const double perSecond = r.records / r.seconds;
        if (baud > 0) {
            const double wire = static_cast<double>(r.wireBytes) * 10.0 / baud;
            const double ratio = r.seconds / wire;
            std::printf(
                "paced %d baud: %d records in %.3f s, %.0f records/s, %llu bytes on the wire, "
                "wire time %.3f s, elapsed/wire %.3f (target <= 1.15)\n",
                baud, r.records, r.seconds, perSecond, static_cast<unsigned long long>(r.wireBytes),
                wire, ratio);
            pass = pass && ratio <= 1.15;
        } else {
            std::printf(
                "unpaced: %d records in %.3f s, %.0f records/s, %llu bytes (target >= 1000/s)\n",
                r.records, r.seconds, perSecond, static_cast<unsigned long long>(r.wireBytes));
            pass = pass && perSecond >= 1000;
        }
    }
    return pass ? 0 : 1;
}
