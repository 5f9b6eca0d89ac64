#include "ecr/row_transfer.h"
#include "ecr/register_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ecr/database_commands.h"
#include "sim/demo_data.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
#include "support/register_state.h"
#include "tables/text_grid.h"

namespace kasa {
namespace {

using sim::RegisterType;
using sim::VirtualRegister;
using sim::VirtualRegisterOptions;

struct Setup {
    RegisterType type;
    const RegisterModel* model;
    int modelCode;
};

class RegisterFixture {
  public:
    explicit RegisterFixture(RegisterType type, bool demo = true) {
        VirtualRegisterOptions options;
        options.type = type;
        options.demoData = demo;
        reg = std::make_unique<VirtualRegister>(options);
        if (!reg->Start()) {
            return;
        }
        ecr.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
        ecr.answerTimeout = 1000;
        ecr.modelCode = type == RegisterType::Zen ? 1 : 2;
        model = type == RegisterType::Zen ? &ZenModel() : &VesperModel();
        std::string name(model->name);
        ActiveModelSelection().Select(name);
    }
    // Requests whose command letter is `letter` (after the number and parameters).
    int CountRequests(char letter) const {
        int count = 0;
        for (const auto& payload : reg->ReceivedPayloads()) {
            const size_t at = payload.find_first_not_of("0123456789;");
            count += at != std::string::npos && payload[at] == letter ? 1 : 0;
        }
        return count;
    }
    TextGrid GridOf(TableKind kind, int minPlu = 1) const {
        TextGrid grid;
        SetUpGrid(grid, model->Table(kind), true, true, minPlu);
        return grid;
    }

    std::unique_ptr<VirtualRegister> reg;
    RegisterSession ecr;
    const RegisterModel* model = nullptr;
};

int RowOfColumn(const TextGrid& grid, const std::string& title) {
    for (int c = 0; c < grid.ColCount(); ++c) {
        if (grid.Cell(c, 0) == title) {
            return c;
        }
    }
    return -1;
}

class TransferBothTypes : public ::testing::TestWithParam<RegisterType> {};

// Every grid table: read the register into the grid, write it back unchanged (nothing but
// reads go out), then change one cell and see exactly one write.
TEST_P(TransferBothTypes, EveryTableReadsAndWritesBackOnlyChanges) {
    RegisterFixture f(GetParam());
    ASSERT_NE(f.model, nullptr);
    const TableKind kinds[] = {TableKind::kPackaging,  TableKind::kKeys,
                               TableKind::kCashiers,   TableKind::kDiscounts,
                               TableKind::kSurcharges, TableKind::kPaymentForms,
                               TableKind::kGoods};
    for (const TableKind kind : kinds) {
        const TableDescriptor& table = f.model->Table(kind);
        SCOPED_TRACE(std::string(table.tableName));
        TextGrid grid = f.GridOf(kind);
        RowTransfer transfer(f.ecr, grid, std::string(table.tableName) + "_odczyt_kasa", *f.model);
        ASSERT_TRUE(transfer.Valid());
        const int rows = std::min(grid.RowCount() - 1, 20);
        for (int row = 1; row <= rows; ++row) {
            ASSERT_TRUE(transfer.TransferRowIn(row)) << "row " << row;
        }
        ASSERT_FALSE(grid.IsEmptyRecord(1));
        f.reg->ClearReceived();
        for (int row = 1; row <= rows; ++row) {
            if (!grid.IsEmptyRecord(row)) {
                ASSERT_TRUE(transfer.TransferRowOut(row)) << "row " << row;
            }
        }
        const char write = kind == TableKind::kPackaging      ? '@'
                           : kind == TableKind::kKeys         ? 'A'
                           : kind == TableKind::kCashiers     ? 'B'
                           : kind == TableKind::kPaymentForms ? 'C'
                           : kind == TableKind::kGoods        ? 'E'
                                                              : 'D';
        // Packaging is always written; everything else unchanged is skipped.
        int nonEmpty = 0;
        for (int row = 1; row <= rows; ++row) {
            nonEmpty += grid.IsEmptyRecord(row) ? 0 : 1;
        }
        EXPECT_EQ(f.CountRequests(write), kind == TableKind::kPackaging ? nonEmpty : 0);

        // One changed name gives exactly one write, and the register holds the new name.
        const std::string newName = kind == TableKind::kKeys ? "9" : "Ząb ę";
        grid.SetCell(1, 1, newName);
        f.reg->ClearReceived();
        ASSERT_TRUE(transfer.TransferRowOut(1));
        EXPECT_EQ(f.CountRequests(write), 1);
        TextGrid check = f.GridOf(kind);
        RowTransfer reader(f.ecr, check, table.tableName, *f.model);
        ASSERT_TRUE(reader.TransferRowIn(1));
        EXPECT_EQ(check.Cell(1, 1), newName);
    }
}

TEST_P(TransferBothTypes, GoodsRowShowsDemoValues) {
    RegisterFixture f(GetParam());
    TextGrid grid = f.GridOf(TableKind::kGoods);
    RowTransfer transfer(f.ecr, grid, "PLU_odczyt_kasa", *f.model);
    ASSERT_TRUE(transfer.TransferRowIn(1));
    EXPECT_EQ(grid.Cell(RowOfColumn(grid, "Nazwa"), 1), "Chleb żytni");
    EXPECT_EQ(grid.Cell(RowOfColumn(grid, "PTU"), 1), "C");
    EXPECT_EQ(grid.Cell(RowOfColumn(grid, "Cena"), 1), "4.99");
    const std::string barcode = grid.Cell(RowOfColumn(grid, "Kod kreskowy"), 1);
    ASSERT_EQ(barcode.size(), 13u);
    EXPECT_EQ(barcode.back() - '0', sim::Ean13CheckDigit(barcode.c_str()));
    EXPECT_EQ(grid.Cell(0, 1), "1");
}

TEST_P(TransferBothTypes, DeletingCashiersKeepsTheFirst) {
    RegisterFixture f(GetParam());
    testing::RecordingUserInterface ui;
    ASSERT_TRUE(
        DeleteDatabase(ui, "Program serwisowy kas", f.ecr, TableCode::kCashiers, true, true, true));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.statusTexts.front(), "Kasowanie bazy Kasjer");
    EXPECT_EQ(ui.statusTexts.back(), "");
    testing::WithState(*f.reg, [](auto& s) {
        EXPECT_FALSE(s.Record(2, 1)[0].empty());
        EXPECT_TRUE(s.Record(2, 2)[0].empty());
        EXPECT_TRUE(s.Record(2, 4)[0].empty());
    });
    // A second deletion finds nothing to delete.
    ASSERT_TRUE(
        DeleteDatabase(ui, "Program serwisowy kas", f.ecr, TableCode::kCashiers, true, true, true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Program serwisowy kas");
    EXPECT_EQ(ui.messages[0].text, "Baza była pusta.\n");
}

TEST_P(TransferBothTypes, DeletingDiscountsTakesSurchargesToo) {
    RegisterFixture f(GetParam());
    testing::RecordingUserInterface ui;
    ASSERT_TRUE(DeleteDatabase(ui, "T", f.ecr, TableCode::kDiscounts, true, true, false));
    auto lock = f.reg->Lock();
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(f.reg->State().Record(5, n)[0].empty()) << n;
    }
}

TEST_P(TransferBothTypes, FindUsedPluOnEmptyAndFilledDatabases) {
    RegisterFixture filled(GetParam());
    PluRecord found;
    EXPECT_EQ(FindUsedPlu(filled.ecr, nullptr, &found, nullptr), 1);
    EXPECT_EQ(found.name, "Chleb żytni");
    // The mode is switched back after the search.
    testing::WithState(*filled.reg, [](auto& s) { EXPECT_EQ(s.mode, 3); });
    const std::vector<int> later = {20, 21, 22};
    EXPECT_EQ(FindUsedPlu(filled.ecr, &later, nullptr, nullptr), kUsedPluNone);

    RegisterFixture empty(GetParam(), false);
    testing::RecordingUserInterface ui;
    EXPECT_EQ(FindUsedPlu(empty.ecr, nullptr, nullptr, &ui), kUsedPluNone);
    EXPECT_EQ(UsedPluMessage(kUsedPluNone), "Baza PLU jest pusta");
    EXPECT_EQ(UsedPluMessage(12), "Rekord 12 jest niepusty.");
    EXPECT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back().first, 0);
}

INSTANTIATE_TEST_SUITE_P(Registers, TransferBothTypes,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

TEST(TransferRules, ColumnsTheGridLacksKeepTheRegistersValues) {
    // "Zen" goods have no value and stock columns; the register's values must survive.
    RegisterFixture f(RegisterType::Zen);
    testing::WithState(*f.reg, [](auto& s) {
        s.Record(7, 1)[5] = "123.45";
        s.Record(7, 1)[7] = "67.80";
    });
    TextGrid grid = f.GridOf(TableKind::kGoods);
    RowTransfer transfer(f.ecr, grid, "PLU", *f.model);
    ASSERT_TRUE(transfer.TransferRowIn(1));
    grid.SetCell(1, 1, "Chleb razowy");
    ASSERT_TRUE(transfer.TransferRowOut(1));
    auto lock = f.reg->Lock();
    const auto& record = f.reg->State().Record(7, 1);
    EXPECT_EQ(record[0], "Chleb razowy");
    EXPECT_EQ(record[5], "123.45");
    EXPECT_EQ(record[7], "67.80");
}

TEST(TransferRules, CashierColumnsStornoAndKasaAreNotMixedUp) {
    RegisterFixture f(RegisterType::Vesper);
    // The voided amount (STK).
    testing::WithState(*f.reg, [](auto& s) { s.Record(2, 2)[8] = "12.50"; });
    TextGrid grid = f.GridOf(TableKind::kCashiers);
    RowTransfer transfer(f.ecr, grid, "Kasjer", *f.model);
    ASSERT_TRUE(transfer.TransferRowIn(2));
    EXPECT_EQ(grid.Cell(RowOfColumn(grid, "Storno"), 2), "12.50");
    // Cash = paid in - paid out + takings + deposits taken - deposits returned; the demo
    // cashier has 300.00 paid in and nothing else.
    EXPECT_EQ(grid.Cell(RowOfColumn(grid, "Kasa"), 2), "300.00");
    grid.SetCell(RowOfColumn(grid, "Kasa"), 2, "999.00");  // computed, never sent
    f.reg->ClearReceived();
    ASSERT_TRUE(transfer.TransferRowOut(2));
    EXPECT_EQ(f.CountRequests('B'), 0);
}

TEST(TransferRules, DuplicateGoodsNameIsRefused) {
    RegisterFixture f(RegisterType::Vesper);
    TextGrid grid = f.GridOf(TableKind::kGoods);
    RowTransfer transfer(f.ecr, grid, "PLU", *f.model);
    ASSERT_TRUE(transfer.TransferRowIn(2));
    grid.SetCell(1, 2, "Chleb żytni");  // the name of record 1
    EXPECT_FALSE(transfer.TransferRowOut(2));
    EXPECT_EQ(f.ecr.statusCode, 28);
}

TEST(TransferRules, ARecordGivingTheByteEscIsNotSentAndSaysWhichField) {
    // Packaging 1, fractions and VAT D make the ZEN goods flag byte 0x1B.
    RegisterFixture f(RegisterType::Zen, false);
    PluRecord plu;
    plu.name = "Test";
    plu.barcode = "";
    plu.price = 1;
    plu.packaging = 1;
    plu.fractions = 1;
    plu.vat = 3;
    plu.quantity = plu.value = plu.stockQuantity = plu.stockValue = 0;
    // A key with quantity 11 that ends the transaction has the flag byte 0x1B as well.
    KeyRecord key;
    key.pluNumber = 7;
    key.quantity = 11;
    key.endOfTransaction = 1;
    f.reg->ClearReceived();
    f.ecr.writtenRecords = 0;
    EXPECT_FALSE(WriteBaseRecord(f.ecr, 5, plu));
    EXPECT_EQ(f.ecr.LastErrorText(),
              "Rekord 5 tabeli PLU nie został wysłany do kasy: pola Op., ułamki, PTU dają w "
              "zapytaniu bajt 1B (ESC), którego ramka protokołu kasy nie może przenieść. Zmień "
              "wartość jednego z tych pól.");
    EXPECT_FALSE(WriteBaseRecord(f.ecr, 3, key));
    EXPECT_EQ(f.ecr.TransmissionErrorText(),
              "Rekord 3 tabeli Klawisze nie został wysłany do kasy: pola Ilość, Transakcja dają "
              "w zapytaniu bajt 1B (ESC), którego ramka protokołu kasy nie może przenieść. Zmień "
              "wartość jednego z tych pól.");
    EXPECT_EQ(f.CountRequests('E'), 0);
    EXPECT_EQ(f.CountRequests('A'), 0);
    EXPECT_EQ(f.ecr.writtenRecords, 0);
    // The next request is sent and answered as usual.
    key.quantity = 2;
    EXPECT_TRUE(WriteBaseRecord(f.ecr, 3, key));
    EXPECT_EQ(f.ecr.writtenRecords, 1);
    EXPECT_EQ(f.ecr.LastErrorText(), "");
}

TEST(TransferRules, ReadStatusGivesTheSixFlags) {
    RegisterFixture f(RegisterType::Vesper);
    testing::WithState(*f.reg, [](auto& s) {
        s.mode = 3;
        s.fiscal = 1;
        s.optionBits = 5;
    });
    RegisterStatus status;
    ASSERT_TRUE(ReadStatus(f.ecr, status));
    EXPECT_EQ(status.mode, 3);
    EXPECT_EQ((std::array<uint8_t, 6>{0, 1, 1, 1, 0, 1}), status.flags);
    EXPECT_EQ(status.date.size(), 10u);  // year.month.day
}

}  // namespace
}  // namespace kasa
