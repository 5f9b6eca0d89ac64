// A long run of the goods write and read against the virtual register with faults on the
// line: every round writes a random goods table, reads it back and checks that the
// register holds exactly what a fault-free register holds after the same write and that
// the grid read back equals the grid written. A failure reported by the transfer is
// fine (it is retried); a transfer that reports success with wrong data is a mismatch.
//
//   soak_goods [--minutes N] [--seed S]     N may be fractional; 10 minutes by default
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/table_transfer.h"
#include "base/user_interface.h"
#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace {

using kasa::sim::FaultKind;

// The faults drawn from; a new kind of fault is one more line here.
struct FaultChoice {
    const char* name;
    kasa::sim::Fault fault;
    bool killsLine;  // the register has to be started again afterwards
};
constexpr int kAnswerTimeoutMs = 1000;
const FaultChoice kFaults[] = {
    {"no answer", {FaultKind::NoAnswer, 0}, false},
    {"late answer", {FaultKind::LateAnswer, kAnswerTimeoutMs + 200}, false},
    {"split answer", {FaultKind::SplitAnswer, 60}, false},
    {"bad checksum", {FaultKind::BadChecksum, 0}, false},
    {"stale number", {FaultKind::StaleNumber, 0}, false},
    {"garbage before", {FaultKind::GarbageBefore, 0}, false},
    {"line closed mid-answer", {FaultKind::CloseMidAnswer, 0}, true},
};
constexpr int kFaultKinds = static_cast<int>(std::size(kFaults));
// Chance that a transfer meets a fault (after a row drawn at random); a retry meets one
// with the same chance, so a transfer always gets through in the end.
constexpr double kFaultChance = 0.6;
constexpr int kAttemptsPerTransfer = 30;

struct Memory {
    long hwmKb = 0;
    long rssKb = 0;
};

Memory ReadMemory() {
    Memory m;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> m.hwmKb;
        } else if (key == "VmRSS:") {
            status >> m.rssKb;
        }
    }
    return m;
}

// Injects at most one fault into a transfer, after a row drawn at random and always with a
// request still to come.
class FaultingUserInterface : public kasa::SilentUserInterface {
  public:
    FaultingUserInterface(std::mt19937& rng, int rows) : rng_(rng), rows_(rows) {}

    void Begin(kasa::sim::VirtualRegister* reg) {
        reg_ = reg;
        calls_ = 0;
        lineKilled = false;
        // The first call comes before the first row, the last after the last row.
        faultAt_ = std::bernoulli_distribution(kFaultChance)(rng_)
                       ? std::uniform_int_distribution<int>(1, rows_ - 1)(rng_)
                       : -1;
    }
    void SetProgress(int, int maximum) override {
        if (maximum == 0 || reg_ == nullptr || ++calls_ != faultAt_) {
            return;
        }
        const FaultChoice& choice =
            kFaults[std::uniform_int_distribution<int>(0, kFaultKinds - 1)(rng_)];
        reg_->InjectFault(choice.fault);
        ++injected[static_cast<size_t>(&choice - kFaults)];
        lineKilled = lineKilled || choice.killsLine;
    }
    std::vector<long> injected = std::vector<long>(kFaultKinds, 0);
    bool lineKilled = false;

  private:
    std::mt19937& rng_;
    int rows_;
    kasa::sim::VirtualRegister* reg_ = nullptr;
    int calls_ = 0;
    int faultAt_ = -1;
};

// Keeps the last question, which tells why the fault-free register refused a row.
class QuestionKeeper : public kasa::SilentUserInterface {
  public:
    kasa::Answer Ask(const std::string&, const std::string& text, kasa::Buttons) override {
        lastQuestion = text;
        return kasa::Answer::No;
    }
    std::string lastQuestion;
};

std::unique_ptr<kasa::sim::VirtualRegister> StartRegister() {
    kasa::sim::VirtualRegisterOptions options;
    options.type = kasa::sim::RegisterType::Vesper;
    options.demoData = false;
    auto reg = std::make_unique<kasa::sim::VirtualRegister>(options);
    if (!reg->Start()) {
        return nullptr;
    }
    return reg;
}

void Connect(kasa::RegisterSession& ecr, const kasa::sim::VirtualRegister& reg) {
    ecr.CloseTransmission();
    ecr.SetPortParams(reg.PortPath(), 115200, nullptr, 0);
    ecr.modelCode = 2;
    ecr.savedMode = 0;
    ecr.answerTimeout = kAnswerTimeoutMs;
}

// The register refuses a name another record holds, so a name ends in its row number.
std::string RandomName(std::mt19937& rng, int row) {
    static const std::vector<std::string> letters = {"A", "b", "C", "d", "E", "k", "M", "z", "0",
                                                     "7", " ", "-", "ą", "ę", "ł", "ń", "ó", "ś",
                                                     "ź", "ż", "Ą", "Ę", "Ł", "Ś", "Ż", "Ó"};
    const int length = std::uniform_int_distribution<int>(1, 12)(rng);
    std::string name;
    for (int i = 0; i < length; ++i) {
        name += letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(rng)];
    }
    const std::string number = std::to_string(row);
    return name + std::string(4 - number.size(), '0') + number;
}

std::string RandomDecimal(std::mt19937& rng, int64_t maxUnits, int decimals) {
    const int64_t units = std::uniform_int_distribution<int64_t>(0, maxUnits)(rng);
    if (units == 0) {
        return "0";  // how the grid shows a zero amount or quantity read from the register
    }
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    std::string fraction = std::to_string(units % scale);
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    return std::to_string(units / scale) + "." + fraction;
}

void FillRandomGoods(kasa::TextGrid& grid, const kasa::TableDescriptor& goods, std::mt19937& rng) {
    const auto column = [&](const char* key) { return goods.ColumnOfKey(key); };
    for (int row = 1; row < grid.RowCount(); ++row) {
        std::string barcode;
        const int digits = std::uniform_int_distribution<int>(0, 1)(rng) * 13;
        for (int i = 0; i < digits; ++i) {
            barcode += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng));
        }
        grid.SetCell(column("NAZ"), row, RandomName(rng, row));
        grid.SetCell(column("KOD"), row, barcode);
        grid.SetCell(
            column("PTU"), row,
            std::string(1, static_cast<char>('A' + std::uniform_int_distribution<int>(0, 6)(rng))));
        grid.SetCell(column("GRU"), row, std::to_string(std::uniform_int_distribution(1, 63)(rng)));
        grid.SetCell(column("OPAK"), row, std::to_string(std::uniform_int_distribution(0, 9)(rng)));
        grid.SetCell(column("CEN"), row, RandomDecimal(rng, 9999999, 2));
        grid.SetCell(column("ILO"), row, RandomDecimal(rng, 9999999, 3));
        grid.SetCell(column("WAR"), row, RandomDecimal(rng, 9999999, 2));
        grid.SetCell(column("MIL"), row, RandomDecimal(rng, 9999999, 3));
        grid.SetCell(column("MWA"), row, RandomDecimal(rng, 9999999, 2));
    }
}

kasa::TransferResult Transfer(kasa::RegisterSession& ecr, kasa::UserInterface& ui,
                              kasa::TableSet& tables, bool write) {
    std::atomic<bool> abort{false};
    const std::atomic<bool> closing{false};
    kasa::TransferRequest request;
    request.name = write ? "PLU_zapis" : "PLU_odczyt";
    request.interactive = false;
    return kasa::TransferTable(ecr, ui, kasa::VesperModel(), tables, request, abort, closing);
}

std::vector<std::vector<std::string>> GoodsOf(kasa::sim::VirtualRegister& reg) {
    auto lock = reg.Lock();
    return reg.State().databases.at(7).records;
}

// The first differing cell of two grids of the same shape, or an empty text.
std::string FirstDifference(const kasa::TextGrid& a, const kasa::TextGrid& b) {
    for (int row = 1; row < a.RowCount(); ++row) {
        for (int col = 0; col < a.ColCount(); ++col) {
            if (a.Cell(col, row) != b.Cell(col, row)) {
                return "row " + std::to_string(row) + " column " + std::to_string(col) + ": '" +
                       a.Cell(col, row) + "' != '" + b.Cell(col, row) + "'";
            }
        }
    }
    return a.RowCount() == b.RowCount() ? "" : "row counts differ";
}

struct Totals {
    long rounds = 0;
    long failures = 0;
    long mismatches = 0;
    long restarts = 0;
    long givenUp = 0;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace kasa;
    double minutes = 10;
    unsigned seed = 20261207;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--minutes") {
            minutes = std::atof(argv[i + 1]);
        } else if (option == "--seed") {
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: soak_goods [--minutes N] [--seed S]\n");
            return 2;
        }
    }
    if (!(minutes > 0)) {
        std::fprintf(stderr, "--minutes must be a positive number\n");
        return 2;
    }
    std::string type = "Vesper";
    ActiveModelSelection().Select(type);
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);

    auto reg = StartRegister();
    auto reference = StartRegister();
    if (!reg || !reference) {
        std::printf("no pseudo-terminal\n");
        return 1;
    }
    RegisterSession ecr;
    RegisterSession referenceEcr;
    Connect(ecr, *reg);
    Connect(referenceEcr, *reference);

    std::mt19937 rng(seed);
    TableSet written;
    SetUpGrid(written.Grid(TableKind::kGoods), goods, true, true, 1);
    const int rows = written.Grid(TableKind::kGoods).RowCount() - 1;
    FaultingUserInterface ui(rng, rows);
    QuestionKeeper quiet;
    Totals totals;

    const Memory start = ReadMemory();
    std::printf("seed %u, %.2f min, %d goods rows; start: VmHWM %ld kB, VmRSS %ld kB\n", seed,
                minutes, rows, start.hwmKb, start.rssKb);
    std::fflush(stdout);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<int64_t>(minutes * 60000));
    // Runs one transfer until it reports success, starting the register again (its memory
    // kept) whenever a fault killed the line; false when it never succeeded.
    const auto untilDone = [&](TableSet& tables, bool write) {
        for (int attempt = 0; attempt < kAttemptsPerTransfer; ++attempt) {
            ui.Begin(reg.get());
            const TransferResult result = Transfer(ecr, ui, tables, write);
            if (ui.lineKilled) {
                auto next = StartRegister();
                if (!next) {
                    return false;
                }
                {
                    auto lock = reg->Lock();
                    auto nextLock = next->Lock();
                    next->State() = reg->State();
                }
                reg = std::move(next);
                Connect(ecr, *reg);
                ++totals.restarts;
            }
            if (result == TransferResult::kDone) {
                return true;
            }
            ++totals.failures;
        }
        return false;
    };

    while (std::chrono::steady_clock::now() < deadline) {
        TextGrid& grid = written.Grid(TableKind::kGoods);
        FillRandomGoods(grid, goods, rng);
        if (const TransferResult r = Transfer(referenceEcr, quiet, written, true);
            r != TransferResult::kDone) {
            std::printf("round %ld: the fault-free register refused the table (%d: %s)\n",
                        totals.rounds + 1, static_cast<int>(r),
                        referenceEcr.LastErrorText().c_str());
            return 1;
        }
        TableSet read;
        SetUpGrid(read.Grid(TableKind::kGoods), goods, true, true, 1);
        if (!untilDone(written, true) || !untilDone(read, false)) {
            ++totals.givenUp;
            std::printf("round %ld: no success in %d attempts\n", totals.rounds + 1,
                        kAttemptsPerTransfer);
        } else {
            const bool sameRegister = GoodsOf(*reg) == GoodsOf(*reference);
            const std::string gridDifference = FirstDifference(grid, read.Grid(TableKind::kGoods));
            if (!sameRegister || !gridDifference.empty()) {
                ++totals.mismatches;
                std::printf("round %ld: mismatch (%s%s)\n", totals.rounds + 1,
                            sameRegister ? "" : "register memory differs; ",
                            gridDifference.c_str());
            }
        }
        ++totals.rounds;
        // The registers' request logs are not the program's memory.
        reg->ClearReceived();
        reference->ClearReceived();
        if (totals.rounds % 20 == 0) {
            const Memory now = ReadMemory();
            std::printf("... %ld rounds, VmHWM %ld kB, VmRSS %ld kB\n", totals.rounds, now.hwmKb,
                        now.rssKb);
            std::fflush(stdout);
        }
    }

    const Memory end = ReadMemory();
    long injected = 0;
    for (int i = 0; i < kFaultKinds; ++i) {
        injected += ui.injected[static_cast<size_t>(i)];
    }
    std::printf("rounds: %ld\nfaults injected: %ld\n", totals.rounds, injected);
    for (int i = 0; i < kFaultKinds; ++i) {
        std::printf("  %-24s %ld\n", kFaults[i].name, ui.injected[static_cast<size_t>(i)]);
    }
    std::printf(
        "failures reported: %ld\nregister restarts: %ld\nrounds given up: %ld\nmismatches: %ld\n"
        "memory at start: VmHWM %ld kB, VmRSS %ld kB\nmemory at end:   VmHWM %ld kB, VmRSS %ld "
        "kB\n",
        totals.failures, totals.restarts, totals.givenUp, totals.mismatches, start.hwmKb,
        start.rssKb, end.hwmKb, end.rssKb);
    return totals.mismatches == 0 && totals.givenUp == 0 ? 0 : 1;
}
