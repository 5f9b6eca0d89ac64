// Every database written with the program's records, read back, and deleted, on both
// register types. The register's own copy is checked as well: it comes from the
// register's reader, not from the program's decoder, so a fault shared by the program's
// encoder and decoder still shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/register_fixture.h"
#include "support/register_state.h"

namespace kasa::sim {
namespace {

class DatabaseRoundTrip : public ::testing::TestWithParam<RegisterType>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(GetParam())); }
    bool Zen() const { return GetParam() == RegisterType::Zen; }

    // Reads the record back through the program's decoder: it must go out as it was written.
    template <class Record>
    void ExpectReadsBack(int number, const Record& written) {
        Record back;
        ASSERT_TRUE(ReadBack(number, back));
        EXPECT_TRUE(SameOnWire(back, written, layout, number)) << number;
    }

    // Deletes, then checks the register's copy is the empty record and reads as empty.
    template <class Record>
    void DeleteEmpties(int number, const std::vector<std::string>& empty) {
        EXPECT_EQ(Delete<Record>(number), 0);
        EXPECT_EQ(Stored(Record::kDatabase, number), empty);
        Record back;
        ASSERT_TRUE(ReadBack(number, back));
        EXPECT_TRUE(back.IsEmpty());
    }
};

TEST_P(DatabaseRoundTrip, Goods) {
    PluRecord plu;
    plu.name = "Gęślą jaźń żółw";
    plu.barcode = "5901234123457";
    plu.price = 12.5;
    plu.packaging = 3;
    plu.fractions = 1;
    plu.vat = 4;
    plu.quantity = 7.125;
    plu.value = 89.06;
    plu.stockQuantity = 250;
    plu.stockValue = 1000.01;
    plu.group = 17;
    ASSERT_EQ(Write(100, plu), 0);
    // Flag byte: packaging 3 in bits 4-7, VAT E = 4, fractions (bit 3) on ZEN only:
    // 0x3C = 60 on ZEN, 0x34 = 52 on VESPER. Group byte: 0 on ZEN, 0x80 + 17 = 145.
    const std::vector<std::string> expected =
        Zen()
            ? std::vector<std::string>{"Gęślą jaźń żółw", "5901234123457", "12.50",   "60", "7.125",
                                       "89.06",           "250",           "1000.01", "0"}
            : std::vector<std::string>{"Gęślą jaźń żółw", "5901234123457", "12.50",   "52", "7.125",
                                       "89.06",           "250.000",       "1000.01", "145"};
    EXPECT_EQ(Stored(7, 100), expected);

    ExpectReadsBack(100, plu);

    DeleteEmpties<PluRecord>(100, {"", "", "0", "0", "0", "0", "0", "0", "0"});
}

TEST_P(DatabaseRoundTrip, PackagingWithANegativeBalance) {
    PackagingRecord pack;
    pack.name = "Kaucja Żywiec 0,5l";
    pack.price = 0.5;
    pack.takenIn = 10;
    pack.givenOut = 12.8;
    pack.balance = PackagingBalanceFromText("-2.80");
    pack.attribute = 0;
    ASSERT_EQ(Write(4, pack), 0);
    const std::vector<std::string> expected = {"Kaucja Żywiec 0,5l", "0.50", "10.00", "12.80",
                                               "99999997.20",        "0"};
    EXPECT_EQ(Stored(0, 4), expected);

    ExpectReadsBack(4, pack);

    DeleteEmpties<PackagingRecord>(4, {"", "0", "0", "0", "0", "0"});
}

TEST_P(DatabaseRoundTrip, Keys) {
    KeyRecord key;
    key.pluNumber = 1234;
    key.quantity = 5;
    key.endOfTransaction = 1;
    ASSERT_EQ(Write(12, key), 0);
    EXPECT_EQ(Stored(1, 12), (std::vector<std::string>{"1234", "21"}));  // 0x10 | 5

    ExpectReadsBack(12, key);

    DeleteEmpties<KeyRecord>(12, {"0", "0"});
}

TEST_P(DatabaseRoundTrip, Cashiers) {
    CashierRecord cashier;
    cashier.name = "Jóźwik";
    cashier.password = 2468;
    cashier.cancelledReceipts = 3;
    cashier.voidedItems = 4;
    // Twenty amounts in wire order, each telling its place: 1.01, 2.02 .. 20.20.
    std::vector<double*> amounts = {&cashier.turnover,         &cashier.depositsTaken,
                                    &cashier.depositsReturned, &cashier.cancelledAmount,
                                    &cashier.voidedAmount,     &cashier.paidIn,
                                    &cashier.paidOut};
    for (double& v : cashier.paymentForms) {
        amounts.push_back(&v);
    }
    amounts.push_back(&cashier.takings);
    for (double& v : cashier.discounts) {
        amounts.push_back(&v);
    }
    for (double& v : cashier.surcharges) {
        amounts.push_back(&v);
    }
    ASSERT_EQ(amounts.size(), 20u);
    for (size_t i = 0; i < amounts.size(); ++i) {
        *amounts[i] = static_cast<double>(i + 1) * 1.01;
    }
    cashier.receipts = 42;
    cashier.permissions = 0xFFFF;
    cashier.zenPair = "12:34";
    cashier.zenNumber = 7;
    cashier.attribute = 0;
    ASSERT_EQ(Write(5, cashier), 0);

    std::vector<std::string> expected = {"Jóźwik", "2468", "3", "4"};
    for (int i = 1; i <= 20; ++i) {  // "1.01" .. "20.20"
        expected.push_back(std::to_string(i) + (i < 10 ? ".0" : ".") + std::to_string(i));
    }
    expected.push_back("42");
    if (Zen()) {
        // The pair goes out first number first: the decoded "12:34" was bytes 34, 12.
        expected.push_back("34 12");
        expected.push_back("7");
    } else {
        // ~0x0000FFFF & 0x8FFFFFFF = 0x8FFF0000, as a signed 32-bit number.
        expected.push_back("-1879113728");
    }
    expected.push_back("0");
    EXPECT_EQ(Stored(2, 5), expected);

    ExpectReadsBack(5, cashier);

    // A cashier without a password: -1 travels as the bytes 255, 255.
    CashierRecord back = cashier;
    back.password = -1;
    ASSERT_EQ(Write(5, back), 0);
    EXPECT_EQ(Stored(2, 5)[1], "-1");
    ASSERT_TRUE(ReadBack(5, back));
    EXPECT_EQ(back.password, -1);

    std::vector<std::string> empty(Zen() ? 28 : 27, "0");
    empty[0] = "";
    if (Zen()) {
        empty[25] = "0 0";  // the pair
    }
    DeleteEmpties<CashierRecord>(5, empty);
}

TEST_P(DatabaseRoundTrip, PaymentForms) {
    PaymentFormRecord form;
    form.name = "Bon żółty";
    form.sales = 123.45;
    form.rate = 4.3215;
    form.attribute = 9;  // the program always sends 0
    ASSERT_EQ(Write(3, form), 0);
    EXPECT_EQ(Stored(4, 3), (std::vector<std::string>{"Bon żółty", "123.45", "4.321500", "0"}));

    ExpectReadsBack(3, form);

    // Too high a rate is sent as the highest the field holds.
    form.rate = 150;
    ASSERT_EQ(Write(3, form), 0);
    EXPECT_EQ(Stored(4, 3)[2], "99.999999");

    DeleteEmpties<PaymentFormRecord>(3, {"", "0", "0", "0"});
}

TEST_P(DatabaseRoundTrip, DiscountsAndSurcharges) {
    DiscountRecord discount;
    discount.name = "Rabat świąteczny";
    discount.percentage = 15;
    discount.amount = 0;
    ASSERT_EQ(Write(3, discount), 0);
    DiscountRecord surcharge;
    surcharge.name = "Dopłata ćma";
    surcharge.percentage = 15;
    surcharge.amount = 2.5;
    ASSERT_EQ(Write(7, surcharge), 0);
    // 1000 - 10 x 15 and 1000 + 10 x 15.
    EXPECT_EQ(Stored(5, 3), (std::vector<std::string>{"Rabat świąteczny", "850", "0.00", "0"}));
    EXPECT_EQ(Stored(5, 7), (std::vector<std::string>{"Dopłata ćma", "1150", "2.50", "0"}));

    ExpectReadsBack(3, discount);
    ExpectReadsBack(7, surcharge);

    DeleteEmpties<DiscountRecord>(3, {"", "0", "0", "0"});
    DeleteEmpties<DiscountRecord>(7, {"", "0", "0", "0"});
}

TEST_P(DatabaseRoundTrip, DemoDataReadsBackAsTheProgramWouldWriteIt) {
    // Every demo record, read and written back unchanged, is accepted as no change even
    // with non-zero day totals: the demo holds only what the program itself can send.
    testing::WithState(*reg, [](auto& s) { s.totals[0] = 1; });
    const auto check = [this](auto record, int database, int count) {
        for (int number = 1; number <= count; ++number) {
            ASSERT_TRUE(ReadBack(number, record)) << database << "/" << number;
            if (!record.IsEmpty()) {
                EXPECT_EQ(Write(number, record), 0) << database << "/" << number;
            }
        }
    };
    check(PluRecord{}, 7, 15);
    check(PackagingRecord{}, 0, 15);
    check(KeyRecord{}, 1, 20);
    check(CashierRecord{}, 2, 8);
    check(PaymentFormRecord{}, 4, Zen() ? 4 : 8);
    check(DiscountRecord{}, 5, 8);
}

INSTANTIATE_TEST_SUITE_P(BothTypes, DatabaseRoundTrip,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

}  // namespace
}  // namespace kasa::sim
