#include "ecr/records.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "ecr/record_codec.h"
#include "support/bytes.h"

namespace kasa {
namespace {

using testing::Bytes;
using testing::Repeat;

const std::string kZeroAmount = Repeat(0, 5);

// The hexadecimal text of some bytes, as an answer carries them.
iBuffer AnswerOf(const std::string& bytes) {
    iBuffer answer;
    answer.Append(bytes);
    answer.ToHexText();
    return answer;
}

template <class Record>
std::string Written(const Record& record, RecordLayout layout, int32_t number,
                    WireForm form = WireForm::kWrite) {
    iBuffer out;
    EXPECT_TRUE(record.Encode(out, layout, number, form));
    return std::string(out.View());
}

// ---- packaging ----

TEST(PackagingRecordTest, NegativeBalanceTravelsAsItsComplement) {
    struct Case {
        const char* cell;
        double registerForm;
        const char* shown;
    };
    const Case cases[] = {
        {"-12.50", 99999987.5, "-12.50"},
        {"40", 40, "40.00"},
        {"-0", 0, "0"},
        {"50000000", 50000000, "50000000.00"},
        {"-49999999.99", 50000000.01, "-49999999.99"},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(PackagingBalanceFromText(c.cell), c.registerForm) << c.cell;
        EXPECT_EQ(PackagingBalanceText(c.registerForm), c.shown) << c.cell;
    }
    EXPECT_EQ(PackagingBalanceFromText(""), kUnset);
    EXPECT_EQ(PackagingBalanceFromText("-"), kUnset);
}

// ---- keys ----

TEST(KeyRecordTest, QuantityBeyondFourBitsFails) {
    KeyRecord k;
    k.pluNumber = 1;
    k.quantity = 16;
    iBuffer out("1;0A");
    EXPECT_FALSE(k.Encode(out, RecordLayout::kVesper, 1));
    EXPECT_EQ(std::string(out.View()), "1;0A");
}

// ---- cashiers ----

CashierRecord SampleCashier() {
    CashierRecord c;
    c.name = "Anna";
    c.password = 1234;
    c.cancelledReceipts = 3;
    c.voidedItems = 0;
    c.turnover = 100.5;
    c.depositsTaken = c.depositsReturned = c.cancelledAmount = c.voidedAmount = 0;
    c.paidIn = c.paidOut = c.takings = 0;
    c.paymentForms = {0, 0, 0, 0};
    c.discounts = {0, 0, 0, 0};
    c.surcharges = {0, 0, 0, 0};
    c.receipts = 12;
    c.permissions = 5;
    c.zenPair = "30:12";
    c.zenNumber = 7;
    c.attribute = 0;
    return c;
}

std::string CashierAmounts() {
    return Bytes({0x50, 0x00, 0x01, 0x00, 0x00}) + Repeat(0, 19 * 5);  // OBR 100.50, 19 zeros
}

TEST(CashierRecordTest, PermissionsAsReceived) {
    struct Case {
        std::string wire;
        int64_t shown;
    };
    const Case cases[] = {
        {Bytes({0xFA, 0xFF, 0xFF, 0x8F}), 5},
        {Bytes({0x00, 0x00, 0x00, 0x00}), 0x8FFFFFFF},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 0},
        {Bytes({0xFF, 0xFF, 0xFF, 0x7F}), 0x80000000},  // bits 28-30 are masked off
    };
    for (const Case& c : cases) {
        iBuffer answer = AnswerOf("Anna" + Repeat(0xFF, 7) + Bytes({0x12, 0x34}) +
                                  Repeat(0, 4 + 20 * 5 + 2) + c.wire + Bytes({0x00}));
        CashierRecord back;
        ASSERT_TRUE(back.Decode(answer, RecordLayout::kVesper, 1));
        EXPECT_EQ(back.permissions, c.shown);
    }
}

TEST(CashierRecordTest, ZenLayouts) {
    CashierRecord c = SampleCashier();
    c.password = -1;                                               // "nakt"
    const std::string written = "Anna" + Repeat(0xFF, 7) +         // NAZ written with code 14
                                Bytes({0xFF, 0xFF}) +              // HAS -1, code 27
                                Bytes({0x03, 0x00, 0x00, 0x00}) +  //
                                CashierAmounts() +                 //
                                Bytes({0x12, 0x00}) +              // PAR
                                Bytes({0x12, 0x30}) +              // the pair as it came
                                Bytes({0x07, 0x00}) +              // number, code 28
                                Bytes({0x00});
    EXPECT_EQ(Written(c, RecordLayout::kZen, 2), written);

    const std::string answered = "Anna" + Repeat(0xFF, 3) +         // NAZ read with code 13
                                 Bytes({0xFF, 0xFF}) +              // HAS read with code 28
                                 Bytes({0x03, 0x00, 0x00, 0x00}) +  //
                                 CashierAmounts() +                 //
                                 Bytes({0x12, 0x00}) +              //
                                 Bytes({0x12, 0x30}) +              //
                                 Bytes({0x07, 0x00}) +              // number, code 29
                                 Bytes({0x00});
    EXPECT_EQ(Written(c, RecordLayout::kZen, 2, WireForm::kAnswer), answered);

    iBuffer answer = AnswerOf(answered);
    CashierRecord back;
    ASSERT_TRUE(back.Decode(answer, RecordLayout::kZen, 2));
    EXPECT_EQ(back.name, "Anna");
    EXPECT_EQ(back.password, -1);
    EXPECT_EQ(FormatCount(back.password), "nakt");
    EXPECT_EQ(back.zenPair, "30:12");
    EXPECT_EQ(back.zenNumber, 7);
    EXPECT_EQ(back.permissions, kUnset);
    EXPECT_TRUE(answer.Empty());
    // Written back unchanged, the pair keeps its byte order.
    EXPECT_EQ(Written(back, RecordLayout::kZen, 2), written);
}

TEST(CashierRecordTest, CashInDrawer) {
    CashierRecord c;
    c.paidIn = 100;
    c.paidOut = 30;
    c.takings = 250.5;
    c.depositsTaken = 4;
    c.depositsReturned = 1.5;
    EXPECT_DOUBLE_EQ(c.CashInDrawer(), 323);
}

TEST(CashierRecordTest, MergeKeepsTheUsersNoPassword) {
    CashierRecord fromRegister = SampleCashier();
    CashierRecord mine;
    mine.name = "Anna";
    mine.password = -1;  // the user typed "nakt"
    mine.permissions = 5;
    mine.MergeUnsetFrom(fromRegister);
    EXPECT_EQ(mine.password, -1);
    EXPECT_DOUBLE_EQ(mine.turnover, 100.5);
    EXPECT_EQ(mine.zenPair, "30:12");
    EXPECT_FALSE(SameOnWire(mine, fromRegister, RecordLayout::kVesper, 2));
    mine.password = 1234;
    EXPECT_TRUE(SameOnWire(mine, fromRegister, RecordLayout::kVesper, 2));
}

// ---- discounts and surcharges ----

TEST(DiscountRecordTest, PercentageAroundOneThousand) {
    struct Case {
        int32_t number;
        double percentage;
        std::string raw;  // code 8
    };
    const Case cases[] = {
        {1, 0.7, Bytes({0x93, 0x09})},     // 993
        {5, 0.7, Bytes({0x07, 0x10})},     // 1007
        {5, 150, Bytes({0x99, 0x19})},     // limited to 1999
        {3, 150, Bytes({0x00, 0x00})},     // more than everything: 0, not a surcharge
        {4, kUnset, Bytes({0x00, 0x10})},  // unset: 0 %
    };
    for (const Case& c : cases) {
        DiscountRecord d;
        d.name = "Rabat";
        d.percentage = c.percentage;
        d.amount = 0;
        d.attribute = 9;  // sent as 0
        const std::string expected =
            "Rabat" + Repeat(0xFF, 14) + c.raw + kZeroAmount + Bytes({0x00});
        EXPECT_EQ(Written(d, RecordLayout::kVesper, c.number), expected)
            << c.number << " " << c.percentage;
    }
}

TEST(DiscountRecordTest, ReadBack) {
    struct Case {
        int32_t number;
        std::string raw;
        double percentage;
    };
    const Case cases[] = {
        {1, Bytes({0x00, 0x10}), 0},
        {8, Bytes({0x00, 0x09}), -10},
    };
    for (const Case& c : cases) {
        iBuffer answer = AnswerOf("Rabat" + Repeat(0xFF, 14) + c.raw +
                                  Bytes({0x00, 0x25, 0, 0, 0}) + Bytes({0x00}));
        DiscountRecord d;
        ASSERT_TRUE(d.Decode(answer, RecordLayout::kVesper, c.number));
        EXPECT_EQ(d.name, "Rabat");
        EXPECT_DOUBLE_EQ(d.percentage, c.percentage) << c.number;
        EXPECT_DOUBLE_EQ(d.amount, 25);
    }
}

// ---- goods ----

PluRecord SampleGoods() {
    PluRecord p;
    p.name = "Chleb żytni";
    p.barcode = "5901234123457";
    p.price = 3.49;
    p.packaging = 2;
    p.fractions = 1;
    p.vat = 1;
    p.quantity = 1.5;
    p.value = 5.24;
    p.stockQuantity = 10;
    p.stockValue = 34.9;
    p.group = 5;
    return p;
}

const std::string kGoodsHead = Bytes({'C', 'h', 'l', 'e', 'b', ' ', 0xA7, 'y', 't', 'n', 'i'}) +
                               Repeat(0xFF, 5) + Bytes({0x59, 0x01, 0x23, 0x41, 0x23, 0x45, 0x7F}) +
                               Bytes({0x49, 0x03, 0, 0, 0});

// Whole records against the register's reader are checked in the virtual register's
// round trip; here the forms only the program's side has.
TEST(PluRecordTest, VesperAnswerFormShowsTheFractionsBit) {
    const std::string expected = kGoodsHead + Bytes({0x21}) +       // no fractions bit
                                 Bytes({0x00, 0x15, 0, 0, 0}) +     // ILO 1.5, code 9
                                 Bytes({0x24, 0x05, 0, 0, 0}) +     // WAR 5.24
                                 Bytes({0x00, 0x00, 0x01, 0, 0}) +  // MIL 10, code 9
                                 Bytes({0x90, 0x34, 0, 0, 0}) +     // MWA 34.90
                                 Bytes({0x85});                     // 128 + group 5
    EXPECT_EQ(Written(SampleGoods(), RecordLayout::kVesper, 1), expected);

    std::string answered = expected;
    answered[16 + 7 + 5] = 0x29;  // the register shows the fractions bit it holds
    EXPECT_EQ(Written(SampleGoods(), RecordLayout::kVesper, 1, WireForm::kAnswer), answered);

    // Read back, the fractions bit is the register's.
    iBuffer answer = AnswerOf(answered);
    PluRecord back;
    ASSERT_TRUE(back.Decode(answer, RecordLayout::kVesper, 1));
    EXPECT_EQ(back.fractions, 1);
    EXPECT_EQ(back.name, "Chleb żytni");
    EXPECT_TRUE(answer.Empty());
}

TEST(PluRecordTest, BitsThatWouldSpillFail) {
    struct Case {
        const char* what;
        int32_t packaging, vat, group;
        RecordLayout layout;
        bool ok;
    };
    const Case cases[] = {
        {"packaging 15", 15, 6, 63, RecordLayout::kVesper, true},
        {"packaging 16", 16, 0, 0, RecordLayout::kVesper, false},
        {"VAT H", 0, 7, 0, RecordLayout::kZen, false},
        {"group 64 on VESPER", 0, 0, 64, RecordLayout::kVesper, false},
        {"group ignored on ZEN", 0, 0, 64, RecordLayout::kZen, true},
    };
    for (const Case& c : cases) {
        PluRecord p = SampleGoods();
        p.packaging = c.packaging;
        p.vat = c.vat;
        p.group = c.group;
        iBuffer out;
        EXPECT_EQ(p.Encode(out, c.layout, 1), c.ok) << c.what;
        EXPECT_EQ(out.Empty(), !c.ok) << c.what;
    }
}

TEST(PluRecordTest, UnchangedAfterMergeIsNotSent) {
    const PluRecord fromRegister = SampleGoods();
    PluRecord mine;
    mine.name = "Chleb żytni";
    mine.barcode = "5901234123457";
    mine.price = 3.49;
    mine.packaging = 2;
    mine.vat = 1;
    // ZEN has no stock columns: they stay unset and take the register's values.
    mine.MergeUnsetFrom(fromRegister);
    EXPECT_DOUBLE_EQ(mine.stockQuantity, 10);
    EXPECT_DOUBLE_EQ(mine.stockValue, 34.9);
    EXPECT_EQ(mine.fractions, 1);
    EXPECT_TRUE(SameOnWire(mine, fromRegister, RecordLayout::kZen, 1));

    // A name longer than the field compares as the register would keep it.
    PluRecord longer = mine;
    longer.name = "Chleb żytni razowy duży";
    PluRecord kept = fromRegister;
    kept.name = "Chleb żytni razo";
    EXPECT_TRUE(SameOnWire(longer, kept, RecordLayout::kVesper, 1));

    PluRecord dearer = mine;
    dearer.price = 3.50;
    EXPECT_FALSE(SameOnWire(dearer, fromRegister, RecordLayout::kVesper, 1));
}

// ---- totals ----

TEST(TotalsRecordTest, ReadFromAnswer) {
    std::string hex;
    hex += "0001000000";  // A 1.00
    hex += "5012000000";  // B 12.50
    hex += std::string(50, '0');
    hex += "3412";        // receipt number 1234, code 8
    hex += "563412";      // database changes 123456, code 7
    hex += "0200";        // cancelled receipts 2
    hex += "9909000000";  // cancelled amount 9.99
    iBuffer answer(hex.c_str());
    TotalsRecord t;
    ASSERT_TRUE(t.Decode(answer));
    EXPECT_DOUBLE_EQ(t.vatTotals[0], 1);
    EXPECT_DOUBLE_EQ(t.vatTotals[1], 12.5);
    EXPECT_DOUBLE_EQ(t.vatTotals[6], 0);
    EXPECT_EQ(t.receiptNumber, 1234);
    EXPECT_EQ(t.databaseChanges, 123456);
    EXPECT_EQ(t.cancelledReceipts, 2);
    EXPECT_DOUBLE_EQ(t.cancelledAmount, 9.99);

    iBuffer bytes;
    ASSERT_TRUE(t.EncodeAnswer(bytes));
    bytes.ToHexText();
    EXPECT_EQ(std::string(bytes.View()), hex);
}

TEST(RecordsTest, ShortAnswerFailsTheRecord) {
    iBuffer answer("4575726FFFFF");
    PaymentFormRecord p;
    EXPECT_FALSE(p.Decode(answer, RecordLayout::kVesper, 1));
    iBuffer keys("3412");
    KeyRecord k;
    EXPECT_FALSE(k.Decode(keys, RecordLayout::kVesper, 1));
}

TEST(RecordsTest, CellHelpers) {
    EXPECT_EQ(VatLetter(0), "A");
    EXPECT_EQ(VatLetter(6), "G");
    EXPECT_EQ(VatLetter(7), "");
    EXPECT_EQ(VatOfLetter("g"), 6);
    EXPECT_EQ(VatOfLetter("H"), -1);
    EXPECT_EQ(VatOfLetter(""), -1);
    EXPECT_EQ(FlagText(1), "TAK");
    EXPECT_EQ(FlagText(0), "NIE");
    EXPECT_EQ(FlagOfText("tak"), 1);
    EXPECT_EQ(FlagOfText("NIE"), 0);
    EXPECT_EQ(RecordLayoutOfModelCode(1), RecordLayout::kZen);
    EXPECT_EQ(RecordLayoutOfModelCode(2), RecordLayout::kVesper);
    EXPECT_EQ(RecordLayoutOfModelCode(0), RecordLayout::kVesper);
}

}  // namespace
}  // namespace kasa
