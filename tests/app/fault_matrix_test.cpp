// Every register operation against every fault the virtual register can inject, one test
// per cell: the operation ends, fails when it failed and says so, succeeds only with the
// right data, leaves its files alone, and the next operation after the fault works.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/communication_session.h"
#include "app/fiscal_memory_read.h"
#include "app/header_commands.h"
#include "app/table_transfer.h"
#include "ecr/clock_settings.h"
#include "ecr/database_commands.h"
#include "ecr/register_session.h"
#include "ecr/vat_totals.h"
#include "sim/virtual_register.h"
#include "support/model_grids.h"
#include "support/recording_ui.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"
#include "verify/document_examples.h"
#include "verify/document_request.h"

namespace kasa {
namespace {

using namespace std::chrono_literals;
using sim::Fault;
using sim::FaultKind;
using sim::RegisterType;
using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 150;
constexpr const char* kCaption = "Okno";
// Far beyond every operation's time-outs here, far below the program's own 5 s: a guard
// against a hang, not a measure of speed.
constexpr auto kHangGuard = 2500ms;
constexpr const char* kTransmissionError = "Podczas transmisji wykryto błąd.\n";

// A register and the program's register object on one port, as the user's machine has them.
struct Bench {
    void Plug(RegisterType type) {
        sim::VirtualRegisterOptions options;
        options.type = type;
        options.linkPath = folder.Path("port");
        reg.reset();
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
        testing::WithState(*reg, [](sim::RegisterState& s) { s.totals = {}; });
    }
    void Connect(RegisterType type) {
        Plug(type);
        model = &testing::SelectModelWithGrids(type, tables);
        ecr.SetPortParams(
            folder.Path("port"), 115200,
            [this](const std::string& line, uint32_t) { log += line + "\n"; }, 0);
        ecr.modelCode = type == RegisterType::Zen ? 1 : 2;
        ecr.savedMode = 0;  // a session was started before: no start requests
        ecr.answerTimeout = kTimeoutMs;
        ecr.verifyTimeout = kTimeoutMs;
    }
    TransferResult Transfer(TableKind kind, bool write, TransferRange range) {
        TransferRequest request;
        request.name = TransferName(model->Table(kind), write);
        request.range = range;
        request.closeAfterwards = true;
        request.caption = kCaption;
        return TransferTable(ecr, ui, *model, tables, request, abort, closing);
    }
    std::string Rows(TableKind kind, int first, int last) {
        std::string text;
        const TextGrid& grid = tables.Grid(kind);
        for (int row = first; row <= last; ++row) {
            for (int c = 0; c < grid.ColCount(); ++c) {
                text += grid.Cell(c, row) + "|";
            }
            text += "\n";
        }
        return text;
    }
    // The register's own copy of records `first` to `last` of a database.
    std::string Stored(int database, int first, int last) {
        std::string text;
        testing::WithState(*reg, [&](sim::RegisterState& s) {
            for (int n = first; n <= last; ++n) {
                for (const std::string& field : s.Record(database, n)) {
                    text += field + "|";
                }
            }
        });
        return text;
    }

    testing::ScratchFolder folder;
    std::unique_ptr<sim::VirtualRegister> reg;
    RegisterSession ecr;
    testing::RecordingUserInterface ui;
    const RegisterModel* model = nullptr;
    TableSet tables;
    std::atomic<bool> abort{false};
    std::atomic<bool> closing{false};
    std::vector<std::string> lines;  // of a fiscal memory read
    std::string log;                 // the protocol log, shown when a cell fails
};

// How an operation takes its answers.
enum class Answers {
    kNumbered,    // sequenced exchanges: the number tells a stale answer
    kUnnumbered,  // the document verdict: nothing tells a stale answer from its own
    kUnjudged,    // a raw sequence: only its writing can fail
    kPassedOver,  // fiscal records: one the register refuses is passed over, the rest read
};

struct Operation {
    const char* name;
    RegisterType type;
    // Sets up what the operation works on; runs before the fault is injected.
    std::function<void(Bench&)> prepare;
    // Runs the operation once: true when it reported success.
    std::function<bool(Bench&)> run;
    // What it read, or what the register holds after it wrote.
    std::function<std::string(Bench&)> outcome;
    const char* failure;  // the message a failure shows
    // The message when the register refused with a status code; null: `failure`.
    const char* refused = nullptr;
    Answers answers = Answers::kNumbered;
    // The answer the fault hits: the one that carries the operation's own request, not a
    // read made only to skip a write of unchanged data.
    int answer = 1;
    // The next operation after the fault; empty: the same one again.
    std::function<bool(Bench&)> next = nullptr;
    // A row whose answer was lost, cut or refused for a bad checksum is tried once more.
    bool triesRowTwice = false;
    // The status codes of a damaged or unhandled request (20..31) are a failure of the
    // conversation, told with `failure`, not a refusal.
    bool transitCodesFail = false;
};

// The table grids: payment forms whole, goods by a range and by a selection of rows, each
// changed in one cell before it is written.
TransferRange GoodsRange() {
    return {1, 3};
}
TransferRange SelectedGoods() {
    return SelectedRowsRange(2, 4, GridRowCount(VesperModel().Table(TableKind::kGoods), 1)).rows;
}
Operation TableRead(const char* name, TableKind kind, TransferRange range, int last) {
    return {name,
            RegisterType::Vesper,
            {},
            [=](Bench& b) { return b.Transfer(kind, false, range) == TransferResult::kDone; },
            [=](Bench& b) { return b.Rows(kind, range.Whole() ? 1 : range.start, last); },
            kReadFailedMessage,
            nullptr,
            Answers::kNumbered,
            1,
            nullptr,
            true};
}
Operation TableWrite(const char* name, TableKind kind, TransferRange range, int database,
                     int last) {
    const int first = range.Whole() ? 1 : range.start;
    return {name,
            RegisterType::Vesper,
            [=](Bench& b) {
                ASSERT_EQ(b.Transfer(kind, false, range), TransferResult::kDone);
                b.tables.Grid(kind).SetCell(b.model->Table(kind).ColumnOfKey("NAZ"), first + 1,
                                            "Zmieniona");
            },
            [=](Bench& b) { return b.Transfer(kind, true, range) == TransferResult::kDone; },
            [=](Bench& b) { return b.Stored(database, first, last); },
            kWriteFailedMessage};
}

HeaderLines NewHeader() {
    HeaderLines lines{};
    lines[0].text = "SKLEP POD LIPĄ";
    lines[1].text = "ul. Długa 1";
    return lines;
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"Start",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             SessionSettings settings{b.folder.Path("port"), 115200, "Vesper"};
             SessionDisplay display;
             const bool started = StartKomunikacji(b.ecr, b.ui, kCaption, false, settings, display,
                                                   nullptr) == StartOutcome::Started;
             b.lines = {display.kasa, display.nrFabryczny, display.lastPF};
             b.lines.insert(b.lines.end(), display.vatRates.begin(), display.vatRates.end());
             return started;
         },
         [](Bench& b) {
             std::string text;
             for (const std::string& line : b.lines) {
                 text += line + "\n";
             }
             return text;
         },
         "informacji z kasy",
         kTransmissionError},
        TableRead("TableReadWhole", TableKind::kPaymentForms, {}, 4),
        TableRead("TableReadRange", TableKind::kGoods, GoodsRange(), 3),
        TableRead("TableReadSelection", TableKind::kGoods, SelectedGoods(), 4),
        TableWrite("TableWriteWhole", TableKind::kPaymentForms, {}, 4, 4),
        TableWrite("TableWriteRange", TableKind::kGoods, GoodsRange(), 7, 3),
        TableWrite("TableWriteSelection", TableKind::kGoods, SelectedGoods(), 7, 4),
        {"HeaderRead",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             return ReadHeaderIntoLines(b.ecr, b.ui, kCaption, false, b.tables.header);
         },
         [](Bench& b) { return b.tables.header[0].text + "|" + b.tables.header[1].text; },
         kHeaderReadFailedMessage},
        {"HeaderWrite",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             Settings settings;
             ValidationOutcome validation;
             return ProgramHeader(b.ecr, b.ui, kCaption, *b.model, settings, false, false,
                                  NewHeader(), validation);
         },
         [](Bench& b) {
             std::string text;
             testing::WithState(*b.reg, [&](sim::RegisterState& s) {
                 text = s.header[0].text + "|" + s.header[1].text;
             });
             return text;
         },
         "Nie można zapisać nagłówka.",
         kTransmissionError},
        {"VatRead",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             return ShowVatRates(b.ecr, b.ui, kCaption, true, true, b.tables.vatRates);
         },
         [](Bench& b) {
             std::string text;
             for (const std::string& rate : b.tables.vatRates) {
                 text += rate + "|";
             }
             return text;
         },
         kVatReadFailedMessage},
        {"VatWrite",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             return ProgramVatRates(b.ecr, b.ui, kCaption, false, false,
                                    {"22", "7", "5", "0", "zw", "nakt", "nakt"}, kTimeoutMs);
         },
         [](Bench& b) {
             std::string text;
             testing::WithState(*b.reg, [&](sim::RegisterState& s) {
                 for (const double rate : s.vatRates) {
                     text += std::to_string(rate) + "|";
                 }
             });
             return text;
         },
         "Nie można zapisać stawek VAT.",
         nullptr,
         Answers::kNumbered,
         2},
        {"ClockRead", RegisterType::Vesper,
         [](Bench& b) {
             testing::WithState(*b.reg,
                                [](sim::RegisterState& s) { s.clockOffsetSeconds = 400 * 86400; });
         },
         [](Bench& b) {
             ClockValue value;
             const bool read = ShowClock(b.ecr, b.ui, kCaption, false, value);
             b.lines = {ClockText(value).substr(0, 10)};  // the date: it does not run on
             return read;
         },
         [](Bench& b) { return b.lines.front(); }, kClockFailureMessage},
        {"ClockSet",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             return ProgramClock(b.ecr, b.ui, kCaption, false, false, {2031, 5, 6, 7, 8, 9});
         },
         [](Bench& b) {
             int64_t offset = 0;
             testing::WithState(*b.reg,
                                [&](sim::RegisterState& s) { offset = s.clockOffsetSeconds; });
             return std::to_string(offset / 3600);  // hours apart from the computer's clock
         },
         kClockFailureMessage},
        {"RegisterSettings",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             uint8_t flags[2] = {};
             return SendRegisterSettings(b.ecr, b.ui, kCaption, false, {2, 1, 1, 1, 1}, flags);
         },
         [](Bench& b) {
             int bits = 0;
             testing::WithState(*b.reg, [&](sim::RegisterState& s) { bits = s.optionBits; });
             return std::to_string(bits);
         },
         kClockFailureMessage},
        {"FiscalMemoryRead", RegisterType::Zen,
         [](Bench& b) { b.folder.Write("pamiec.txt", "stare\r\n"); },
         [](Bench& b) {
             b.lines.clear();
             return ReadFiscalMemory(b.ecr, b.ui, {4, 5, b.folder.Path("pamiec.txt"), kCaption},
                                     b.abort, [&](const std::vector<std::string>& lines) {
                                         b.lines.insert(b.lines.end(), lines.begin(), lines.end());
                                     }) == FiscalReadResult::kDone;
         },
         [](Bench& b) {
             std::string text;
             for (const std::string& line : b.lines) {
                 text += line + "\n";
             }
             return text;
         },
         "informacji z kasy", nullptr, Answers::kPassedOver},
        {"DocumentVerification",
         RegisterType::Vesper,
         {},
         [](Bench& b) {
             // The window's "Sprawdź": the verdict and its message.
             const DocumentVerdict verdict = VerifyPrintedDocument(
                 b.ecr,
                 BuildDocumentRequest(ExampleFields(DocumentExamples()[0]), VerifyMode::Special));
             if (verdict.code != 1) {
                 b.ui.Message(kCaption, VerdictMessage(verdict));
             }
             return verdict.code == 1;
         },
         [](Bench&) { return std::string("potwierdzony"); },
         "Nie mozna stwierdzić autentyczności.",
         // A refusal is two numbers as a verdict is, and its second number is not 0.
         "nie wydrukowano",
         Answers::kUnnumbered,
         1,
         nullptr,
         false,
         true},
        {"SequenceSend", RegisterType::Vesper,
         [](Bench& b) { b.folder.Write("zegar.bin", sim::FramePayload("0;5W")); },
         [](Bench& b) {
             iBuffer bytes;
             bytes.Append(b.folder.Read("zegar.bin"));
             return SendSequence(b.ecr, b.ui, kCaption, false, bytes);
         },
         [](Bench& b) {
             const auto received = b.reg->ReceivedPayloads();
             return std::find(received.begin(), received.end(), "0;5W") != received.end()
                        ? "dotarła"
                        : "nie dotarła";
         },
         "Nie udało sie wysłać sekwencji.", nullptr, Answers::kUnjudged, 1,
         // A status read, which spares the second wait of a second sequence.
         [](Bench& b) {
             RegisterStatus status;
             return ReadStatus(b.ecr, status);
         }},
    };
    return operations;
}

enum class Verdict {
    kFails,      // the answer is lost: the operation must fail and say so
    kRecovered,  // the protocol copes: the operation must succeed with the right data
};

struct FaultCase {
    const char* name;
    Fault fault;
    Verdict verdict;
    bool pullsThePlug = false;  // recovery needs the device plugged in again
    bool isStatus = false;
};

// Every status code reaches the operations through one path, the status record, so a few
// stand for all: the register's checksum complaint, a command it refuses and goods outside
// its range.
const std::vector<FaultCase>& Faults() {
    static const std::vector<FaultCase> faults = {
        {"NoAnswer", {FaultKind::NoAnswer}, Verdict::kFails},
        // Arrives while the next operation runs, which must not take it for its own.
        {"LateAnswer", {FaultKind::LateAnswer, kTimeoutMs * 2}, Verdict::kFails},
        {"SplitAnswer", {FaultKind::SplitAnswer, kTimeoutMs / 3}, Verdict::kRecovered},
        {"BadChecksum", {FaultKind::BadChecksum}, Verdict::kFails},
        {"StaleNumber", {FaultKind::StaleNumber}, Verdict::kRecovered},
        {"GarbageBefore", {FaultKind::GarbageBefore}, Verdict::kRecovered},
        {"GarbageAfter", {FaultKind::GarbageAfter}, Verdict::kRecovered},
        {"Status21", {FaultKind::Status, 0, 21}, Verdict::kFails, false, true},
        {"Status24", {FaultKind::Status, 0, 24}, Verdict::kFails, false, true},
        {"Status79", {FaultKind::Status, 0, 79}, Verdict::kFails, false, true},
        {"CloseMidAnswer", {FaultKind::CloseMidAnswer}, Verdict::kFails, true},
        {"Vanish", {FaultKind::Vanish}, Verdict::kFails, true},
    };
    return faults;
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<size_t, size_t>> {
  protected:
    const Operation& Op() const { return Operations()[std::get<0>(GetParam())]; }
    const FaultCase& Case() const { return Faults()[std::get<1>(GetParam())]; }
    std::string Shown() const {
        std::string text;
        for (const auto& m : bench.ui.messages) {
            text += "[" + m.title + "] " + m.text + "\n";
        }
        return text + bench.log;
    }
    Bench bench;
};

TEST_P(FaultMatrix, EndsFailsOrSucceedsRightlyAndRecovers) {
    const Operation& op = Op();
    const FaultCase& c = Case();
    bench.Connect(op.type);
    if (op.prepare) {
        ASSERT_NO_FATAL_FAILURE(op.prepare(bench));
    }
    const std::string filesBefore =
        bench.folder.Read("pamiec.txt") + bench.folder.Read("zegar.bin");
    bench.ui.messages.clear();
    Fault fault = c.fault;
    fault.from = op.answer;
    bench.reg->InjectFault(fault);

    const auto start = Clock::now();
    const bool succeeded = op.run(bench);
    EXPECT_LT(Clock::now() - start, kHangGuard);
    const bool passedOver = c.isStatus && op.answers == Answers::kPassedOver;
    const bool lost = c.verdict == Verdict::kFails || (c.fault.kind == FaultKind::StaleNumber &&
                                                       op.answers == Answers::kUnnumbered);
    // The second try of a row gets the answer the first one lost.
    const bool triedAgain =
        op.triesRowTwice && !c.pullsThePlug &&
        (c.fault.kind == FaultKind::NoAnswer || c.fault.kind == FaultKind::LateAnswer ||
         c.fault.kind == FaultKind::BadChecksum || c.fault.status == 21);
    const bool mustFail = lost && !passedOver && !triedAgain && op.answers != Answers::kUnjudged;
    // A late answer may land in the row's second try or between its tries: either way the
    // outcome must be told truly, which the checks below hold it to.
    const bool eitherWay = op.triesRowTwice && c.fault.kind == FaultKind::LateAnswer;
    if (mustFail) {
        EXPECT_FALSE(succeeded) << "a lost answer passed for success";
    } else if (!eitherWay) {
        EXPECT_TRUE(succeeded) << Shown();
    }
    const std::string afterFault = succeeded ? op.outcome(bench) : "";
    if (!succeeded) {
        ASSERT_FALSE(bench.ui.messages.empty()) << "a failure told nobody";
        EXPECT_EQ(bench.ui.messages.back().title, kCaption);
        const bool inTransit = op.transitCodesFail && c.fault.status >= 20 && c.fault.status <= 31;
        const char* expected =
            c.isStatus && op.refused != nullptr && !inTransit ? op.refused : op.failure;
        EXPECT_NE(bench.ui.messages.back().text.find(expected), std::string::npos) << Shown();
        EXPECT_EQ(bench.folder.Read("pamiec.txt") + bench.folder.Read("zegar.bin"), filesBefore);
    } else {
        EXPECT_TRUE(bench.ui.messages.empty()) << Shown();
    }

    if (c.pullsThePlug) {
        bench.Plug(op.type);  // the cable again: the same port name, a fresh device
    }
    bench.ui.messages.clear();
    bench.ecr.answerTimeout = 1000;  // wide enough for the late answer to land in it
    ASSERT_TRUE((op.next ? op.next : op.run)(bench)) << "no recovery: " << Shown();
    EXPECT_TRUE(bench.ui.messages.empty()) << Shown();
    const std::string recovered = op.outcome(bench);
    if (passedOver) {
        EXPECT_TRUE(afterFault != recovered && recovered.ends_with(afterFault)) << afterFault;
    } else if (succeeded && !c.pullsThePlug) {  // else the device that took it is gone
        EXPECT_EQ(afterFault, recovered);
    }
}

std::string CellName(const ::testing::TestParamInfo<std::tuple<size_t, size_t>>& cell) {
    return std::string(Operations()[std::get<0>(cell.param)].name) + "_" +
           Faults()[std::get<1>(cell.param)].name;
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, FaultMatrix,
                         ::testing::Combine(::testing::Range<size_t>(0, Operations().size()),
                                            ::testing::Range<size_t>(0, Faults().size())),
                         CellName);

}  // namespace
}  // namespace kasa
