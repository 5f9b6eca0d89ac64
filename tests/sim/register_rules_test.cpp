// The rules the virtual register enforces, seen through the program's exchange.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/fastcom.h"
#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using namespace std::chrono_literals;

class RegisterRules : public ::testing::TestWithParam<RegisterType>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(GetParam())); }
    bool Zen() const { return GetParam() == RegisterType::Zen; }
    void SetDayTotals(double amount) {
        auto lock = reg->Lock();
        reg->State().totals[2] = amount;
    }
    // A demo record as the program reads it, sent back unchanged and then changed.
    template <class Record, class Change>
    void UnchangedAcceptedChangedRefused(int number, Change change) {
        SCOPED_TRACE(::testing::Message() << "database " << Record::kDatabase);
        Record record;
        ASSERT_TRUE(ReadBack(number, record));
        const auto before = Stored(Record::kDatabase, number);
        EXPECT_EQ(Write(number, record), 0);
        change(record);
        EXPECT_EQ(Write(number, record), 25);
        EXPECT_EQ(ecr.LastErrorText(), "Niezerowe totalizery. Wykonaj raport dobowy");
        EXPECT_EQ(Stored(Record::kDatabase, number), before);
    }
};

TEST_P(RegisterRules, NonZeroTotalsRefuseOnlyWritesThatChangeARecord) {
    SetDayTotals(12.34);
    UnchangedAcceptedChangedRefused<PluRecord>(3, [](PluRecord& r) { r.price += 0.01; });
    UnchangedAcceptedChangedRefused<PackagingRecord>(1, [](PackagingRecord& r) { r.name = "X"; });
    UnchangedAcceptedChangedRefused<KeyRecord>(8, [](KeyRecord& r) { r.endOfTransaction = 0; });
    UnchangedAcceptedChangedRefused<CashierRecord>(2, [](CashierRecord& r) { r.password = 7; });
    UnchangedAcceptedChangedRefused<PaymentFormRecord>(
        2, [](PaymentFormRecord& r) { r.name = "Karta płatnicza"; });
    UnchangedAcceptedChangedRefused<DiscountRecord>(6,
                                                    [](DiscountRecord& r) { r.percentage = 20; });
    // Deleting a record that is not empty changes it too.
    EXPECT_EQ(Delete<PluRecord>(3), 25);
    EXPECT_FALSE(Stored(7, 3)[0].empty());

    SetDayTotals(0);
    PluRecord plu;
    ASSERT_TRUE(ReadBack(3, plu));
    plu.price = 3.39;
    EXPECT_EQ(Write(3, plu), 0);
    EXPECT_EQ(Stored(7, 3)[2], "3.39");
}

TEST_P(RegisterRules, AGoodsNameUsedByAnotherRecordIsRefused) {
    PluRecord plu;
    ASSERT_TRUE(ReadBack(2, plu));  // "Masło ekstra"
    EXPECT_EQ(Write(40, plu), 28);
    EXPECT_EQ(ecr.LastErrorText(), "Nieunikalna nazwa towaru");
    EXPECT_TRUE(Stored(7, 40)[0].empty());
    // The same name on its own record is no conflict, nor is a name that differs in one
    // letter.
    plu.price = 7.99;
    EXPECT_EQ(Write(2, plu), 0);
    plu.name = "Masło ekstrą";
    EXPECT_EQ(Write(40, plu), 0);
    EXPECT_EQ(Stored(7, 40)[0], "Masło ekstrą");
}

TEST_P(RegisterRules, AnIndexOutsideTheDatabase) {
    const std::string goodsEnd = Zen() ? "2636" : "2300";
    const std::string formsEnd = Zen() ? "4" : "8";
    struct Case {
        std::string header;
        int status;
    };
    const std::vector<Case> cases = {
        {";" + goodsEnd + ";7H", 79},
        {";" + goodsEnd + "V", 79},
        {";" + goodsEnd + "]", 79},
        {";15;0H", 22},
        {";20R", 22},
        {";8;2H", 22},
        {";" + formsEnd + "T", 22},
        {";8;5H", 22},
        {";0;3H", 22},  // no database 3
        {";0;6H", 22},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Send(c.header)) << c.header;
        EXPECT_EQ(ecr.statusCode, c.status) << c.header;
        EXPECT_TRUE(ecr.answerBuffer.Empty()) << c.header;
    }
    EXPECT_EQ(ecr.LastErrorText(), "Błąd parametru");

    // A write of a sound record at the first index past the end.
    PluRecord plu;
    ASSERT_TRUE(ReadBack(1, plu));
    plu.name = "Poza zakresem";
    EXPECT_EQ(Write(Zen() ? 2637 : 2301, plu), 79);
    EXPECT_EQ(ecr.LastErrorText(), "Towar spoza zakresu ustalonego w konfiguracji kasy");
    PackagingRecord pack;
    ASSERT_TRUE(ReadBack(1, pack));
    EXPECT_EQ(Write(16, pack), 22);
    // The last records themselves are there.
    EXPECT_TRUE(ReadBack(Zen() ? 2636 : 2300, plu));
    EXPECT_TRUE(ReadBack(15, pack));
}

TEST_P(RegisterRules, AnUnknownCommand) {
    for (const char* header : {"!", ";1G", "a"}) {
        ASSERT_TRUE(Send(header)) << header;
        EXPECT_EQ(ecr.statusCode, 24) << header;
        EXPECT_EQ(ecr.LastErrorText(),
                  "Błąd rozkazu.\nPrzyczyną może być niezainicjowana transmisja w kasie.");
    }
}

TEST_P(RegisterRules, MalformedFields) {
    PluRecord plu;
    ASSERT_TRUE(ReadBack(5, plu));
    plu.name = "Woda mineralna";
    iBuffer body;
    ASSERT_TRUE(plu.Encode(body, layout, 5));
    const std::string whole(body.View());
    const auto before = Stored(7, 5);

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated", whole.substr(0, whole.size() - 3)},
        {"one byte too many", whole + "\x01"},
        {"no body", ""},
        // The price's first byte holds the digits 3 and 10.
        {"not a decimal digit", whole.substr(0, 23) + "\x3A" + whole.substr(24)},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_TRUE(Send(";4E", bytes)) << name;
        EXPECT_EQ(ecr.statusCode, 23) << name;
        EXPECT_EQ(ecr.LastErrorText(), "Błąd danych") << name;
    }
    EXPECT_EQ(Stored(7, 5), before);
    ASSERT_TRUE(Send(";4E", whole));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(Stored(7, 5)[0], "Woda mineralna");

    // Headers the register cannot take apart.
    for (const char* header : {";", ";;7H", ";5"}) {
        ASSERT_TRUE(Send(header)) << header;
        EXPECT_EQ(ecr.statusCode, 23) << header;
    }
}

INSTANTIATE_TEST_SUITE_P(BothTypes, RegisterRules,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

// A hand-made frame straight on the line, past the program's framing.
class RawFrames : public ::testing::Test, public RegisterFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Connect(RegisterType::Vesper));
        ecr.CloseTransmission();
        ASSERT_TRUE(port.Open(reg->PortPath(), 1));
    }
    std::string Exchange(const std::string& frame) {
        iBuffer out;
        out.AppendBytes(frame.data(), frame.size());
        EXPECT_TRUE(port.Write(out));
        iBuffer in;
        EXPECT_TRUE(port.Receive(in, 1000, "\x1b\\"));
        return std::string(in.View());
    }
    int Mode() {
        auto lock = reg->Lock();
        return reg->State().mode;
    }
    FastCom port;
};

TEST_F(RawFrames, ABadChecksumIsRefusedWith21) {
    // "0;8P" has the checksum FF^30^3B^38^50 = 9C.
    const std::string answer21 = "\x1bP0;21F7\x1b\\";  // FF^30^3B^32^31 = F7
    EXPECT_EQ(Exchange("\x1bP0;8P00\x1b\\"), answer21);
    EXPECT_EQ(Exchange("\x1bP0;8P9c\x1b\\"), answer21);  // lower case is no checksum digit
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(Exchange("\x1bP0;8P9C\x1b\\"), "\x1bP0;0C4\x1b\\");  // FF^30^3B^30 = C4
    EXPECT_EQ(Mode(), 8);
}

TEST_F(RawFrames, ANewStartDropsAFrameCutShort) {
    // "0;3P": FF^30^3B^33^50 = 97. The cut frame before it is not answered at all.
    EXPECT_EQ(Exchange("\x1bP0;8P\x1bP0;3P97\x1b\\"), "\x1bP0;0C4\x1b\\");
    EXPECT_EQ(Mode(), 3);
    EXPECT_EQ(reg->ReceivedPayloads(), std::vector<std::string>{"0;3P"});
}

TEST_F(RawFrames, AnOverlongParameterIsMalformed) {
    // "0;99999999999999999999P": the twenty nines cancel out, FF^30^3B^50 = A4.
    EXPECT_EQ(Exchange("\x1bP0;99999999999999999999PA4\x1b\\"), "\x1bP0;23F5\x1b\\");
    EXPECT_EQ(Mode(), 0);
}

}  // namespace
}  // namespace kasa::sim
