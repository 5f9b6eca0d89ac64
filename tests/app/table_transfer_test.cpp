#include "app/table_transfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../sim/register_fixture.h"
#include "app/table_file_dialog.h"
#include "app/validation_commands.h"
#include "support/model_grids.h"
#include "support/recording_ui.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using sim::RegisterType;
using testing::RecordingUserInterface;
using testing::WithState;

class Transfer : public ::testing::TestWithParam<RegisterType> {
  protected:
    void SetUp() override { Connect(GetParam()); }
    void Connect(RegisterType type) {
        ASSERT_TRUE(f.Connect(type));
        f.ecr.modelCode = type == RegisterType::Zen ? 1 : 2;
        model = &testing::SelectModelWithGrids(type, tables, minPlu);
    }
    TransferResult Run(TableKind kind, bool write, TransferRange range = {}, bool clear = false) {
        TransferRequest request;
        request.name = TransferName(model->Table(kind), write);
        request.range = range;
        request.clearRange = clear;
        reported.clear();
        return TransferTable(f.ecr, ui, *model, tables, request, abort, closing,
                             [&](TableKind table, int row, const std::vector<std::string>& cells) {
                                 EXPECT_EQ(table, kind);
                                 EXPECT_EQ(cells, RowOf(kind, row));
                                 reported.push_back(row);
                                 if (row == abortAtRow) {
                                     abort = true;
                                 }
                             });
    }
    std::vector<std::string> RowOf(TableKind kind, int row) {
        std::vector<std::string> cells;
        for (int c = 0; c < tables.Grid(kind).ColCount(); ++c) {
            cells.push_back(tables.Grid(kind).Cell(c, row));
        }
        return cells;
    }
    void Set(TableKind kind, std::string_view key, int row, const std::string& text) {
        tables.Grid(kind).SetCell(model->Table(kind).ColumnOfKey(key), row, text);
    }
    std::string Get(TableKind kind, std::string_view key, int row) {
        return tables.Grid(kind).Cell(model->Table(kind).ColumnOfKey(key), row);
    }
    int Requests(char letter) const { return testing::CountRequests(*f.reg, letter); }

    sim::RegisterFixture f;
    const RegisterModel* model = nullptr;
    int minPlu = 1;
    TableSet tables;
    RecordingUserInterface ui;
    std::atomic<bool> abort{false};
    std::atomic<bool> closing{false};
    std::vector<int> reported;
    int abortAtRow = -1;
};

// Each grid table is read, one record changed in the grid and written back: only that
// record goes out (packaging, which is never compared, all filled rows), and a fresh read
// shows the change.
TEST_P(Transfer, EveryTableIsReadAndWrittenBack) {
    struct Case {
        TableKind kind;
        char writeLetter;
        int filledRows;  // of the demo data: packaging is written whole
    };
    const Case cases[] = {
        {TableKind::kPackaging, '@', 3},  {TableKind::kKeys, 'A', 1},
        {TableKind::kCashiers, 'B', 1},   {TableKind::kDiscounts, 'D', 1},
        {TableKind::kSurcharges, 'D', 1}, {TableKind::kPaymentForms, 'C', 1},
        {TableKind::kGoods, 'E', 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(model->Table(c.kind).tableName));
        const TransferRange range =
            c.kind == TableKind::kGoods ? TransferRange{1, 20} : TransferRange{};
        ASSERT_EQ(Run(c.kind, false, range), TransferResult::kDone);
        const std::string key = c.kind == TableKind::kKeys ? "PLU" : "NAZ";
        ASSERT_FALSE(Get(c.kind, key, 2).empty());
        const std::string changed = c.kind == TableKind::kKeys ? "7" : "Nowa";
        Set(c.kind, key, 2, changed);
        f.reg->ClearReceived();
        ASSERT_EQ(Run(c.kind, true, range), TransferResult::kDone);
        EXPECT_EQ(Requests(c.writeLetter), c.filledRows);
        EXPECT_TRUE(reported.empty());  // a write changes no cell
        SetUpGrid(tables.Grid(c.kind), model->Table(c.kind), true, true, minPlu);
        ASSERT_EQ(Run(c.kind, false, range), TransferResult::kDone);
        EXPECT_EQ(Get(c.kind, key, 2), changed);
    }
    // The header is read into the lines; its write is the header page's own command.
    ASSERT_EQ(Run(TableKind::kHeader, false), TransferResult::kDone);
    EXPECT_EQ(tables.header[0].text, "SKLEP SPOŻYWCZY");
    f.reg->ClearReceived();
    EXPECT_EQ(Run(TableKind::kHeader, true), TransferResult::kDone);
    EXPECT_EQ(Requests('I'), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(BothTypes, Transfer,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

class VesperTransfer : public Transfer {
  protected:
    void SetUp() override { Connect(RegisterType::Vesper); }
};

TEST_F(VesperTransfer, WholeTableIsOnlyZeroZeroAndRangesPastTheGridAreRefused) {
    ASSERT_EQ(Run(TableKind::kKeys, false), TransferResult::kDone);
    EXPECT_EQ(Requests('H'), 20);
    std::vector<int> all;
    for (int row = 1; row <= 20; ++row) {
        all.push_back(row);
    }
    EXPECT_EQ(reported, all);
    f.reg->ClearReceived();
    for (const TransferRange range :
         {TransferRange{5, 21}, TransferRange{0, 5}, TransferRange{6, 5}}) {
        EXPECT_EQ(Run(TableKind::kKeys, false, range), TransferResult::kFailed);
    }
    EXPECT_TRUE(f.reg->ReceivedPayloads().empty());
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, kRangeOutsideMessage);
}

TEST_F(VesperTransfer, TypedAndSelectedRangesFollowTheGoodsNumbersShown) {
    const TableDescriptor& goods = model->Table(TableKind::kGoods);
    struct Case {
        const char* text;
        TransferRange rows;
        const char* message;
    };
    const Case cases[] = {
        {"0 0", {0, 0}, ""},
        {" 1000  2300 ", {1, 1301}, ""},
        {"1005 1005", {6, 6}, ""},
        {"999 1200", {}, kRangeOutsideMessage},
        {"2300 2301", {}, kRangeOutsideMessage},
        {"20 10", {}, kRangeOrderMessage},
        {"1200", {}, kRangeEmptyMessage},
        {"", {}, kRangeEmptyMessage},
        {"10 x", {}, kRangeEmptyMessage},
    };
    for (const Case& c : cases) {
        const RangeChoice choice = GoodsRangeFromText(c.text, goods, 1000);
        EXPECT_EQ(choice.message, c.message) << c.text;
        EXPECT_EQ(choice.rows, c.rows) << c.text;
    }
    const int rows = GridRowCount(goods, 1000);  // 1301 goods and the titles
    EXPECT_EQ(SelectedRowsRange(3, 7, rows).rows, (TransferRange{3, 7}));
    EXPECT_EQ(SelectedRowsRange(0, 7, rows).message, kRangeEmptyMessage);
    EXPECT_EQ(SelectedRowsRange(8, 7, rows).message, kRangeOrderMessage);
    EXPECT_EQ(SelectedRowsRange(1, 1301, rows).message, "");
    EXPECT_EQ(SelectedRowsRange(1, 1302, rows).message, kRangeOutsideMessage);
}

TEST_F(VesperTransfer, ClearingGoods10To20EmptiesOnlyThoseRecords) {
    ASSERT_EQ(Run(TableKind::kGoods, false, {1, 25}), TransferResult::kDone);
    ASSERT_EQ(Run(TableKind::kGoods, true, {10, 20}, true), TransferResult::kDone);
    std::vector<int> cleared;
    for (int row = 10; row <= 20; ++row) {
        cleared.push_back(row);
        EXPECT_EQ(RowOf(TableKind::kGoods, row)[0], std::to_string(row));
        EXPECT_EQ(Get(TableKind::kGoods, "CEN", row), "");
    }
    EXPECT_EQ(reported, cleared);
    SetUpGrid(tables.Grid(TableKind::kGoods), model->Table(TableKind::kGoods), true, true, 1);
    ASSERT_EQ(Run(TableKind::kGoods, false, {1, 25}), TransferResult::kDone);
    EXPECT_EQ(Get(TableKind::kGoods, "NAZ", 9), "Pączek z różą");
    EXPECT_EQ(Get(TableKind::kGoods, "NAZ", 1), "Chleb żytni");
    for (int row = 10; row <= 25; ++row) {
        EXPECT_EQ(Get(TableKind::kGoods, "NAZ", row), "") << row;
    }
}

TEST_F(VesperTransfer, EmptyNamesSendNothingAndShowNothing) {
    EXPECT_EQ(Run(TableKind::kPackaging, true), TransferResult::kDone);
    EXPECT_EQ(Requests('@'), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(VesperTransfer, AbortStopsAfterTheCurrentRowAndClosesTheLine) {
    abortAtRow = 3;
    EXPECT_EQ(Run(TableKind::kKeys, false), TransferResult::kAborted);
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Requests('H'), 3);
    EXPECT_FALSE(f.ecr.IsOpen());
    EXPECT_TRUE(ui.messages.empty());
}

// The user's abort during a row that then fails ends the job there: no question about the
// row, no failure report, and no second try.
TEST_F(VesperTransfer, AbortDuringAFailingRowAsksNothing) {
    f.ecr.answerTimeout = 300;
    f.reg->InjectFault({sim::FaultKind::NoAnswer, 0, 0, 1, 2});  // silent from key 2 on
    // The abort comes while the register is silent about key 2.
    std::thread user([this] {
        for (int i = 0; i < 200 && Requests('H') < 2; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        abort = true;
    });
    const TransferResult result = Run(TableKind::kKeys, false);
    user.join();
    EXPECT_EQ(result, TransferResult::kAborted);
    EXPECT_EQ(reported, (std::vector<int>{1}));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(VesperTransfer, FailedRowAsksAndYesGoesOnWhileNoStops) {
    ASSERT_EQ(Run(TableKind::kGoods, false, {1, 5}), TransferResult::kDone);
    for (int row = 2; row <= 4; ++row) {
        Set(TableKind::kGoods, "NAZ", row, "Towar " + std::to_string(row));
    }
    f.reg->SetStatusForRecord('E', 3, 23);
    ui.answers = {Answer::No};
    EXPECT_EQ(Run(TableKind::kGoods, true, {1, 5}), TransferResult::kFailed);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].title, kProgramCaption);
    EXPECT_EQ(ui.questions[0].text,
              "Podczas transmisji wykryto błąd w wierszu 3.\nBład w transmisji.\nBłąd danych"
              "\nZaleca się przed wysłaniem danych do kasy \nsprawdzić dane naciskając klawisz "
              "<Sprawdź>\n\nChcesz kontunyować?");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kWriteFailedMessage);
    EXPECT_EQ(f.Stored(7, 2)[0], "Towar 2");
    EXPECT_EQ(f.Stored(7, 4)[0], "Jabłka kg");
    // The row question goes on writing over the register: its default is the refusal.
    EXPECT_TRUE(QuestionErasesData(ui.questions[0].text));

    ui.answers = {Answer::Yes};
    EXPECT_EQ(Run(TableKind::kGoods, true, {1, 5}), TransferResult::kPassedOver);
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(f.Stored(7, 4)[0], "Towar 4");
}

TEST_F(VesperTransfer, ReadErrorDialogNamesTheRegistersReason) {
    f.reg->SetStatusForRecord('H', 2, 79);
    EXPECT_EQ(Run(TableKind::kKeys, false, {1, 3}), TransferResult::kFailed);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text,
              "Podczas transmisji wykryto błąd w wierszu 2.\nBład w transmisji. Przyczyną może "
              "być brak papieru.\nTowar spoza zakresu ustalonego w konfiguracji kasy\n"
              "\nChcesz kontunyować?");
    EXPECT_EQ(reported, (std::vector<int>{1}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kReadFailedMessage);
}

// Each grid decides for its own rows: a discount without a surcharge in the same row is
// written, and so are the surcharge rows.
TEST_F(VesperTransfer, DiscountsAndSurchargesAreWrittenByTheirOwnGrids) {
    Set(TableKind::kDiscounts, "NAZ", 3, "Rabat 3");
    Set(TableKind::kDiscounts, "WAR", 3, "10");
    Set(TableKind::kSurcharges, "NAZ", 4, "Dopłata 4");
    Set(TableKind::kSurcharges, "WAR", 4, "20");
    EXPECT_EQ(Run(TableKind::kDiscounts, true), TransferResult::kDone);
    EXPECT_EQ(Run(TableKind::kSurcharges, true), TransferResult::kDone);
    EXPECT_EQ(f.Stored(5, 3), (std::vector<std::string>{"Rabat 3", "900", "0.00", "0"}));
    EXPECT_EQ(f.Stored(5, 8), (std::vector<std::string>{"Dopłata 4", "1200", "0.00", "0"}));
}

TEST_F(VesperTransfer, NegativePackagingBalanceIsSentWrappedAndTheCellKept) {
    ASSERT_EQ(Run(TableKind::kPackaging, false), TransferResult::kDone);
    EXPECT_EQ(Get(TableKind::kPackaging, "SAL", 3), "-2.80");
    Set(TableKind::kPackaging, "SAL", 1, "-1.50");
    ASSERT_EQ(Run(TableKind::kPackaging, true), TransferResult::kDone);
    EXPECT_EQ(f.Stored(0, 1)[4], "99999998.50");
    EXPECT_EQ(Get(TableKind::kPackaging, "SAL", 1), "-1.50");
}

TEST_F(VesperTransfer, NonZeroTotalsAskFirstAndNoSendsNothing) {
    ASSERT_EQ(Run(TableKind::kGoods, false, {1, 3}), TransferResult::kDone);
    Set(TableKind::kGoods, "NAZ", 2, "Inna nazwa");
    WithState(*f.reg, [](sim::RegisterState& s) { s.totals[0] = 12.5; });
    f.reg->ClearReceived();
    ui.answers = {Answer::No};
    EXPECT_EQ(Run(TableKind::kGoods, true, {1, 3}), TransferResult::kDeclined);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text, kTotalsQuestion);
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(Requests('H'), 0);
    EXPECT_TRUE(ui.messages.empty());

    // Going on, the changed record is refused by the register and the dialog names why.
    ui.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(Run(TableKind::kGoods, true, {1, 3}), TransferResult::kFailed);
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_NE(ui.questions[2].text.find("Niezerowe totalizery. Wykonaj raport dobowy"),
              std::string::npos);
    EXPECT_EQ(Requests('E'), 1);  // the unchanged rows were not sent
}

TEST_F(VesperTransfer, UnreadableTotalsFailOnceWithoutRowDialogs) {
    Set(TableKind::kKeys, "PLU", 1, "3");
    Set(TableKind::kKeys, "PLU", 2, "4");
    f.reg->SetStatusFor('I', 24);
    EXPECT_EQ(Run(TableKind::kKeys, true), TransferResult::kFailed);
    EXPECT_TRUE(ui.questions.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kWriteFailedMessage);
    EXPECT_EQ(Requests('A'), 0);
}

// Every record of every register database, as the register holds it.
std::vector<std::vector<std::string>> RegisterSnapshot(sim::RegisterFixture& f) {
    std::vector<std::vector<std::string>> records;
    WithState(*f.reg, [&](sim::RegisterState& state) {
        for (const int database : {0, 1, 2, 4, 5, 7}) {
            for (int n = 1; n <= state.RecordCount(database); ++n) {
                records.push_back(state.Record(database, n));
            }
        }
    });
    return records;
}

// A backup of every table taken with "Zachowaj wszystko" and written back with "Ładuj
// wszystko" changes nothing in the register: the counters, deposits and permissions the
// file has no edit column for come back from the register, not as zeros, and the
// cashiers' "nakt" passwords pass validation.
TEST_P(Transfer, RestoringABackupOfEveryTableChangesNothing) {
    constexpr TableKind kGridTables[] = {TableKind::kPackaging,  TableKind::kKeys,
                                         TableKind::kCashiers,   TableKind::kDiscounts,
                                         TableKind::kSurcharges, TableKind::kPaymentForms,
                                         TableKind::kGoods};
    // A cashier without a password, as a read shows it.
    WithState(*f.reg, [](sim::RegisterState& state) { state.Record(2, 2)[1] = "-1"; });
    for (const TableKind kind : kGridTables) {
        ASSERT_EQ(Run(kind, false), TransferResult::kDone) << static_cast<int>(kind);
    }
    ASSERT_EQ(Get(TableKind::kCashiers, "HAS", 2), "nakt");
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string path = folder.Path("kopia.pod");
    ASSERT_TRUE(SaveAllToPodFile(path, *model, tables, minPlu, ui, "t").ok);
    TableSet loaded;
    ASSERT_TRUE(LoadAllFromPodFile(path, *model, loaded, minPlu, ui, "t").ok());
    tables = loaded;
    Settings settings;
    for (const TableKind kind : kGridTables) {
        if (kind == TableKind::kSurcharges) {
            continue;  // validated with the discounts
        }
        const ValidationOutcome outcome =
            RunValidation(WriteCommandOf(kind), *model, tables, minPlu, settings);
        EXPECT_TRUE(outcome.Passed())
            << (outcome.lines.empty() ? std::string() : outcome.lines[0].text);
    }
    const auto before = RegisterSnapshot(f);
    f.reg->ClearReceived();
    for (const TableKind kind : kGridTables) {
        EXPECT_EQ(Run(kind, true), TransferResult::kDone) << static_cast<int>(kind);
    }
    EXPECT_EQ(RegisterSnapshot(f), before);
    // Packaging is always written; nothing else differed, so nothing else went out.
    for (const char letter : {'A', 'B', 'C', 'D', 'E'}) {
        EXPECT_EQ(Requests(letter), 0) << letter;
    }
    EXPECT_TRUE(ui.questions.empty());
}

// A cashier row whose counters and permissions are empty changes only what it gives: the
// empty cells keep the register's values, the manager keeps every right.
TEST_P(Transfer, EmptyCellsKeepTheRegistersValues) {
    ASSERT_EQ(Run(TableKind::kCashiers, false, {1, 1}), TransferResult::kDone);
    const std::vector<std::string> stored = f.Stored(2, 1);
    TextGrid& grid = tables.Grid(TableKind::kCashiers);
    for (int c = 1; c < grid.ColCount(); ++c) {
        grid.SetCell(c, 1, "");
    }
    Set(TableKind::kCashiers, "NAZ", 1, "Szef");
    ASSERT_EQ(Run(TableKind::kCashiers, true, {1, 1}), TransferResult::kDone);
    std::vector<std::string> expected = stored;
    expected[0] = "Szef";
    EXPECT_EQ(f.Stored(2, 1), expected);

    // The same for the packaging deposits and balance, which are always written.
    ASSERT_EQ(Run(TableKind::kPackaging, false, {3, 3}), TransferResult::kDone);
    const std::vector<std::string> packaging = f.Stored(0, 3);
    for (const std::string_view key : {"CEN", "PRZ", "WYD", "SAL"}) {
        Set(TableKind::kPackaging, key, 3, "");
    }
    ASSERT_EQ(Run(TableKind::kPackaging, true, {3, 3}), TransferResult::kDone);
    EXPECT_EQ(f.Stored(0, 3), packaging);
}

// When the register's copy cannot be read, a record with empty cells is not sent with
// zeros in their place: the row fails and says why.
TEST_P(Transfer, AnUnreadableCopyIsNotWrittenWithInventedFields) {
    ASSERT_EQ(Run(TableKind::kPackaging, false), TransferResult::kDone);
    const std::vector<std::string> stored = f.Stored(0, 3);
    Set(TableKind::kPackaging, "NAZ", 3, "Butelka 1l");
    Set(TableKind::kPackaging, "SAL", 3, "");
    f.reg->SetStatusForRecord('H', 3, 23);
    ui.answers = {Answer::No};
    f.reg->ClearReceived();
    EXPECT_EQ(Run(TableKind::kPackaging, true, {3, 3}), TransferResult::kFailed);
    EXPECT_EQ(f.Stored(0, 3), stored);
    EXPECT_EQ(Requests('@'), 0);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].text.find("Podczas transmisji wykryto błąd w wierszu 3."),
              std::string::npos);
    EXPECT_NE(ui.questions[0].text.find("Rekord 3 tabeli Opakowania nie został wysłany do kasy"),
              std::string::npos);
    EXPECT_NE(ui.questions[0].text.find("Błąd danych"), std::string::npos);

    // A key gives every field of its record: it goes out as the user wrote it even when
    // the register's copy cannot be read.
    ASSERT_EQ(Run(TableKind::kKeys, false, {2, 2}), TransferResult::kDone);
    Set(TableKind::kKeys, "PLU", 2, "9");
    f.reg->SetStatusForRecord('H', 2, 23);
    ui.answers.clear();
    EXPECT_EQ(Run(TableKind::kKeys, true, {2, 2}), TransferResult::kDone);
    EXPECT_EQ(f.Stored(1, 2)[0], "9");
}

// One answer lost on the line costs a second try of the row, not a question; the register
// that took the write before its answer was lost is not written twice.
TEST_P(Transfer, OneLostAnswerIsTriedAgainWithoutAsking) {
    f.ecr.answerTimeout = 150;
    ASSERT_EQ(Run(TableKind::kKeys, false, {1, 2}), TransferResult::kDone);
    Set(TableKind::kKeys, "PLU", 1, "7");
    // The totals (two answers), the read of key 1, then the write's answer has a bad
    // checksum.
    f.reg->InjectFault({sim::FaultKind::BadChecksum, 0, 0, 0, 3});
    f.reg->ClearReceived();
    EXPECT_EQ(Run(TableKind::kKeys, true, {1, 1}), TransferResult::kDone);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(f.Stored(1, 1)[0], "7");
    EXPECT_EQ(Requests('A'), 1);
}

// A register that stops answering ends the write after three silent rows in a row, with
// the failed-write message naming the last; it asks only about the first two.
TEST_P(Transfer, ARegisterThatFallsSilentEndsTheJob) {
    f.ecr.answerTimeout = 100;
    ASSERT_EQ(Run(TableKind::kKeys, false), TransferResult::kDone);
    for (int row = 1; row <= 8; ++row) {
        Set(TableKind::kKeys, "PLU", row, std::to_string(10 + row));
    }
    // The totals (two answers), then a read and a write for each of the first three keys;
    // silence after.
    f.reg->InjectFault({sim::FaultKind::NoAnswer, 0, 0, 1, 8});
    ui.answers = {Answer::Yes, Answer::Yes};
    std::vector<std::string> failed;
    TransferRequest request;
    request.name = TransferName(model->Table(TableKind::kKeys), true);
    request.failedRows = &failed;
    EXPECT_EQ(TransferTable(f.ecr, ui, *model, tables, request, abort, closing),
              TransferResult::kFailed);
    EXPECT_EQ(f.Stored(1, 3)[0], "13");
    EXPECT_EQ(f.Stored(1, 4)[0], "4");
    EXPECT_EQ(failed, (std::vector<std::string>{"4", "5", "6"}));
    EXPECT_EQ(ui.questions.size(), 2u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Podczas transmisji wykryto błąd w wierszu 6.\nBład w transmisji.\n" +
                  std::string(sim::kNoAnswerText) +
                  "\nZaleca się przed wysłaniem danych do kasy \nsprawdzić dane naciskając "
                  "klawisz <Sprawdź>\n\n" +
                  kWriteFailedMessage);
}

// A row whose record came but whose status record did not (lost, or late on a slow line):
// the register has not confirmed it, so it is tried again and, when the second try gets no
// confirmation either, the row asks like a refused one.
TEST_F(VesperTransfer, RecordWithoutItsStatusAsksForTheRow) {
    f.ecr.answerTimeout = 400;
    // The second read's status comes long after the exchange stopped waiting for it, and
    // the register is still busy with it while the row's second try waits.
    f.reg->InjectFault({sim::FaultKind::SplitAnswer, 1400, 0, 0, 2});
    ui.answers = {Answer::No};
    EXPECT_EQ(Run(TableKind::kKeys, false, {1, 2}), TransferResult::kFailed);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_TRUE(ui.questions[0].text.starts_with("Podczas transmisji wykryto błąd w wierszu 2.\n"))
        << ui.questions[0].text;
    EXPECT_TRUE(ui.questions[0].text.ends_with(
        "Nie odebrano odpowiedzi.\nZaleca się ponownie zainicjować\ntransmisję.\n\nChcesz "
        "kontunyować?"))
        << ui.questions[0].text;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kReadFailedMessage);
}

TEST(TransferConstants, AbortCaptionsAreRecognised) {
    for (const char* caption : {"Przerwij zapis", "Przerwij zapis.", "Przerwij odczyt",
                                "Przerwij odczyt.", "Przerwij kasowanie"}) {
        EXPECT_TRUE(IsAbortCaption(caption)) << caption;
    }
    for (const char* caption : {"Przerwij kasowanie.", "Przerwij", "Zapisz", "Przerwij zapis.."}) {
        EXPECT_FALSE(IsAbortCaption(caption)) << caption;
    }
}

TEST(TransferConstants, QuestionsThatEraseDataAreKnown) {
    EXPECT_TRUE(QuestionErasesData(kCashierWriteQuestion));
    EXPECT_TRUE(QuestionErasesData(std::string(kRestoreQuestionLead) +
                                   "2026-12-08_03-16-34_VESPER_PLU.pod?\nTabele: PLU."));
    EXPECT_TRUE(QuestionErasesData(
        "Kontynuacja spowoduje skasowanie w kasie bazy Kasjerzy\nChcesz kontynuować?"));
    EXPECT_TRUE(
        QuestionErasesData("Próbujesz skasować 120 pól danych.\nSchowek zawiera bufor na "
                           "5 danych.\nNie będzie możliwości cofnięcia czynności.\nCzy "
                           "mam kontunuować?"));
    EXPECT_TRUE(
        QuestionErasesData("W konfiguracji jest typ kasy Zen.\nDalsza kontynuacja "
                           "spowoduje wykasowanie wszystkich danych\noraz sformatowanie"));
    EXPECT_TRUE(QuestionErasesData(OverwriteQuestion("/d/towary.csv")));
    // Questions that only go on, save or ask about a newer version keep "Tak".
    EXPECT_FALSE(QuestionErasesData(kTotalsQuestion));
    EXPECT_FALSE(QuestionErasesData("Zapisać do pliku\n/tmp/a.seq"));
    EXPECT_FALSE(QuestionErasesData("Chcesz kontunyować? Tak"));
    EXPECT_FALSE(QuestionErasesData(""));
}

}  // namespace
}  // namespace kasa
