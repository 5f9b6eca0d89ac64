// One record under a grid moved to and from the virtual register over a pseudo-terminal:
// the row is emptied only once the register has confirmed the deletion.
#include "app/record_commands.h"

#include <gtest/gtest.h>

#include "../sim/register_fixture.h"
#include "support/recording_ui.h"

namespace kasa {
namespace {

using sim::RegisterType;

class RecordCommands : public ::testing::Test, public sim::RegisterFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Connect(RegisterType::Vesper, false));
        SetUpGrid(goods, Goods(), true, true, 1);
        SetUpGrid(cashiers, model.Table(TableKind::kCashiers), true, true, 1);
    }
    const TableDescriptor& Goods() const { return model.Table(TableKind::kGoods); }
    // Goods record 5: name, bar code, VAT letter, group, packaging, price.
    void FillGoodsRow() {
        const char* cells[] = {"Chleb", "5901234123457", "A", "3", "0", "3.49"};
        for (int c = 1; c <= 6; ++c) {
            goods.SetCell(c, 5, cells[c - 1]);
        }
    }

    const RegisterModel& model = VesperModel();
    testing::RecordingUserInterface ui;
    TextGrid goods;
    TextGrid cashiers;
};

TEST_F(RecordCommands, WrittenReadBackAndDeleted) {
    FillGoodsRow();
    ASSERT_TRUE(
        WriteRecordRow(ecr, ui, "Program serwisowy kas", model, TableKind::kGoods, goods, 5));
    EXPECT_EQ(Stored(7, 5).at(0), "Chleb");

    goods.ClearRow(5);
    ASSERT_TRUE(
        ReadRecordRow(ecr, ui, "Program serwisowy kas", model, TableKind::kGoods, goods, 5));
    EXPECT_EQ(goods.Cell(1, 5), "Chleb");
    EXPECT_EQ(goods.Cell(6, 5), "3.49");

    ASSERT_TRUE(DeleteRecordRow(ecr, ui, "Program serwisowy kas", TableKind::kGoods, goods, 5));
    EXPECT_EQ(goods.Cell(1, 5), "");
    EXPECT_EQ(goods.Cell(0, 5), "5");
    EXPECT_EQ(Stored(7, 5).at(0), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RecordCommands, ARefusedDeletionKeepsTheRow) {
    FillGoodsRow();
    reg->SetStatusFor('V', 3);
    EXPECT_FALSE(DeleteRecordRow(ecr, ui, "Program serwisowy kas", TableKind::kGoods, goods, 5));
    EXPECT_EQ(goods.Cell(1, 5), "Chleb");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Program serwisowy kas");
    EXPECT_EQ(ui.messages[0].text,
              "Podczas transmisji wykryto błąd w wierszu 5.\nBład w transmisji.\n" +
                  ECRClass::ErrorText(3) +
                  "\nZaleca się przed wysłaniem danych do kasy \nsprawdzić dane naciskając "
                  "klawisz <Sprawdź>\n");

    // A register that does not answer at all keeps the row too.
    reg->ClearStatusFor('V');
    reg->InjectFault({sim::FaultKind::NoAnswer, 0});
    ecr.answerTimeout = 200;
    EXPECT_FALSE(DeleteRecordRow(ecr, ui, "Program serwisowy kas", TableKind::kGoods, goods, 5));
    EXPECT_EQ(goods.Cell(1, 5), "Chleb");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.rfind("Podczas transmisji wykryto błąd w wierszu 5.\nBład w "
                                        "transmisji.\n",
                                        0),
              0u);
}

TEST_F(RecordCommands, CashierOneIsNeverDeleted) {
    cashiers.SetCell(1, 1, "Szef");
    reg->ClearReceived();
    EXPECT_FALSE(
        DeleteRecordRow(ecr, ui, "Program serwisowy kas", TableKind::kCashiers, cashiers, 1));
    EXPECT_EQ(cashiers.Cell(1, 1), "Szef");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Kasjer 1 nie jest usuwany z kasy.\nWiersz pozostaje w tabeli.");
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
}

}  // namespace
}  // namespace kasa
