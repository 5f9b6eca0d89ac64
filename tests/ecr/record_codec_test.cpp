#include "ecr/record_codec.h"
#include "support/bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

namespace kasa {
namespace {

using testing::Bytes;
using testing::Repeat;

std::string Encoded(FieldCode code, std::string_view text, int* result = nullptr) {
    iBuffer request;
    const int r = EncodeField(request, code, text);
    if (result != nullptr) {
        *result = r;
    }
    return std::string(request.View());
}

struct EncodeCase {
    const char* what;
    FieldCode code;
    const char* text;
    std::string bytes;
    int result;
};

TEST(RecordCodecEncode, FieldsGiveTheirBytesAndWidths) {
    const EncodeCase cases[] = {
        {"third decimal falls off", kFieldAmount, "12.345", Bytes({0x34, 0x12, 0, 0, 0}), 10},
        {"ninth integer digit dropped", kFieldAmount, "123456789",
         Bytes({0x00, 0x89, 0x67, 0x45, 0x23}), 10},
        {"decimal comma", kFieldAmount, "3,49", Bytes({0x49, 0x03, 0, 0, 0}), 10},
        {"code 4 whole", kFieldHundredths4, "23", Bytes({0x00, 0x23}), 4},
        {"code 4 half", kFieldHundredths4, "0.5", Bytes({0x50, 0x00}), 4},
        {"code 2", kFieldTwoDigits, "5", Bytes({0x05}), 2},
        {"code 3", kFieldTenths4, "12.5", Bytes({0x25, 0x01}), 4},
        {"code 5", kFieldThousandths4, "1.5", Bytes({0x00, 0x15}), 4},
        {"code 6", kFieldQuantity6, "12.5", Bytes({0x00, 0x25, 0x01}), 6},
        {"code 7", kFieldCount6, "1234", Bytes({0x34, 0x12, 0x00}), 6},
        {"code 8", kFieldCount4, "850", Bytes({0x50, 0x08}), 4},
        {"code 9", kFieldQuantity10, "1.5", Bytes({0x00, 0x15, 0, 0, 0}), 10},
        {"code 10", kFieldRate10, "4.25", Bytes({0x00, 0x00, 0x25, 0x04, 0x00}), 10},
        {"code 11 pure fraction", kFieldFraction10, "0.5", Bytes({0, 0, 0, 0, 0x50}), 10},
        {"code 29", kFieldDigits4, "7", Bytes({0x07, 0x00}), 4},
        {"code 27 big end first", kFieldSignedBe, "1234", Bytes({0x12, 0x34}), 4},
        {"code 28 little end first", kFieldSignedLe, "1234", Bytes({0x34, 0x12}), 4},
        {"code 27 minus one", kFieldSignedBe, "-1", Bytes({0xFF, 0xFF}), 2},
        {"code 28 minus one", kFieldSignedLe, "-1", Bytes({0xFF, 0xFF}), 0},
        {"13-digit barcode", kFieldBarcode, "5901234123457",
         Bytes({0x59, 0x01, 0x23, 0x41, 0x23, 0x45, 0x7F}), 14},
        {"empty barcode", kFieldBarcode, "", Repeat(0xFF, 7), 14},
        {"one-character barcode", kFieldBarcode, "7", Repeat(0xFF, 7), 14},
        {"fixed text padded", kFieldText6, "AB", "AB" + Repeat(0xFF, 4), 6},
        {"fixed text cut", kFieldText6, "ABCDEFGH", "ABCDEF", 6},
        {"Polish letters in Mazovia", kFieldText16, "Żółw",
         Bytes({0xA1, 0xA2, 0x92, 'w'}) + Repeat(0xFF, 12), 16},
        {"carriage-return form with text", kFieldLineCr20, "Ala", "Ala" + Repeat(' ', 17), 20},
        {"line-feed form", kFieldLineLf, "Ala", "Ala\n", 4},
        {"code 25 as hex digits", kFieldHexByte, "171", "AB", 0},
        {"code 26 raw", kFieldRawByte, "171", Bytes({0xAB}), 0},
        {"code 30 least first", kFieldLong32, "305419896", Bytes({0x78, 0x56, 0x34, 0x12}), 4},
        {"code 31 first number first", kFieldNumberPair, "12:30", Bytes({0x12, 0x30}), 0},
        {"code 24 appends nothing", kFieldUnused, "12", "", 0},
    };
    for (const EncodeCase& c : cases) {
        int result = 0;
        EXPECT_EQ(Encoded(c.code, c.text, &result), c.bytes) << c.what;
        EXPECT_EQ(result, c.result) << c.what;
    }
}

TEST(RecordCodecEncode, CarriageReturnFormOfAnEmptyText) {
    struct Case {
        std::string before;
        std::string field;
    };
    const Case cases[] = {
        {"0;1X" + Bytes({0x41}), Bytes({13}) + Repeat(0xFF, 19)},  // after a field
        {"0;1X" + Bytes({13}), Repeat(0xFF, 20)},                  // after a carriage return
        {"0;1X" + Bytes({0xFF}), Repeat(0xFF, 20)},                // after a padded field
    };
    for (const Case& c : cases) {
        iBuffer request;
        request.Append(c.before);
        EXPECT_EQ(EncodeField(request, kFieldLineCr20, ""), 20);
        EXPECT_EQ(std::string(request.View()), c.before + c.field);
    }
    iBuffer request;
    request.Append("X");
    EncodeField(request, kFieldLineCr43, "");
    EXPECT_EQ(std::string(request.View()), "X" + Bytes({13}) + Repeat(0xFF, 42));
}

TEST(RecordCodecEncode, NameNeverSpillsIntoTheNextField) {
    iBuffer request;
    EncodeField(request, kFieldText16, "Bardzo długa nazwa towaru");
    EncodeField(request, kFieldAmount, "1");
    ASSERT_EQ(request.Length(), 16 + 5);
    EXPECT_EQ(std::string(request.View().substr(16)), Bytes({0x00, 0x01, 0, 0, 0}));
}

TEST(RecordCodecEncode, TypedEntryPointsFormatFirst) {
    iBuffer request;
    EXPECT_EQ(EncodeField(request, kFieldAmount, 12.345), 10);
    EXPECT_EQ(EncodeField(request, kFieldSignedBe, int32_t{-1}), 2);
    EXPECT_EQ(EncodeField(request, kFieldLong32, int64_t{305419896}), 4);
    EXPECT_EQ(EncodeField(request, kFieldRawByte, uint8_t{171}), 0);
    EXPECT_EQ(std::string(request.View()),
              Bytes({0x34, 0x12, 0, 0, 0, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xAB}));

    // Windows-1250 text behaves as the same text in UTF-8.
    iBuffer eight;
    EXPECT_EQ(EncodeField8Bit(eight, kFieldText16, "\xAF\xF3\xB3w"), 16);
    EXPECT_EQ(std::string(eight.View()), Encoded(kFieldText16, "Żółw"));
}

TEST(RecordCodecEncode, FailuresAppendNothing) {
    const auto fails = [](FieldCode code, auto value) {
        iBuffer request;
        request.Append("7;1E");
        const int result = EncodeField(request, code, value);
        return result < 0 && request.View() == "7;1E";
    };
    EXPECT_TRUE(fails(static_cast<FieldCode>(0), "1"));
    EXPECT_TRUE(fails(kFieldDate, "1"));
    EXPECT_TRUE(fails(static_cast<FieldCode>(33), "1"));
    EXPECT_TRUE(fails(kFieldAmount, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(fails(kFieldAmount, std::numeric_limits<double>::infinity()));
    // Too large for the 16-bit negative form.
    EXPECT_TRUE(fails(kFieldSignedLe, "-40000"));
}

// Answers carry every byte as two upper-case hexadecimal digits.
struct DecodeCase {
    const char* what;
    FieldCode code;
    const char* answer;
    const char* text;
};

TEST(RecordCodecDecode, FieldsGiveTheirTexts) {
    const DecodeCase cases[] = {
        {"code 4 whole", kFieldHundredths4, "0023", "23"},
        {"code 4 half", kFieldHundredths4, "5000", "0.5"},
        {"code 23 amount", kFieldAmount, "3412000000", "12.34"},
        {"code 23 zero keeps the zero before the point", kFieldAmount, "0000000000", "0.00"},
        {"code 2 as it stands", kFieldTwoDigits, "05", "05"},
        {"code 3 keeps leading zeros", kFieldTenths4, "2501", "012.5"},
        {"code 3 whole", kFieldTenths4, "0001", "010"},
        {"code 5", kFieldThousandths4, "0015", "1.5"},
        {"code 6", kFieldQuantity6, "002501", "12.5"},
        {"code 7", kFieldCount6, "341200", "1234"},
        {"code 8", kFieldCount4, "5008", "850"},
        {"code 9 keeps trailing zeros", kFieldQuantity10, "0015000000", "1.500"},
        {"code 10", kFieldRate10, "0000250400", "4.250000"},
        {"code 11", kFieldFraction10, "0000000050", "5000000000"},
        {"code 28", kFieldSignedLe, "3412", "1234"},
        {"code 28 minus seventeen", kFieldSignedLe, "EFFF", "-017"},
        {"code 29 keeps leading zeros", kFieldDigits4, "0700", "0007"},
        {"code 27 wire order", kFieldSignedBe, "1234", "1234"},
        {"code 27 minus one", kFieldSignedBe, "FFFF", "  -1"},
        {"code 27 other negatives as digits", kFieldSignedBe, "FEFF", "FEFF"},
        {"code 1 up to the first F", kFieldBarcode, "5901234123457F", "5901234123457"},
        {"code 1 fourteen digits", kFieldBarcode, "12345678901234", "12345678901234"},
        {"code 25", kFieldHexByte, "AB", "AB"},
        {"code 26", kFieldRawByte, "0C", "0C"},
        {"code 30 most significant first", kFieldLong32, "78563412", "12345678"},
        {"code 31 second byte first", kFieldNumberPair, "1230", "30:12"},
        {"code 32 date", kFieldDate, "24200517", "2024.05.17"},
        {"fixed text ends at 255", kFieldText6, "4142FFFFFFFF", "AB"},
        {"fixed text ends below 14", kFieldText6, "41420D434445", "AB"},
        {"fixed text in Mazovia", kFieldText6, "A1A29277FFFF", "Żółw"},
        {"code 20 up to a carriage return", kFieldLineCr20, "416C610D", "Ala"},
        {"code 20 answer ends first", kFieldLineCr20, "416C61", "Ala"},
        {"code 21 up to a line feed", kFieldLineLf, "416C610A", "Ala"},
        {"code 22 up to a carriage return", kFieldLineCr43, "8D0D", "ć"},
        {"code 24 nothing", kFieldUnused, "1234", ""},
    };
    for (const DecodeCase& c : cases) {
        iBuffer answer(c.answer);
        EXPECT_EQ(DecodeField(answer, c.code), c.text) << c.what;
    }
}

TEST(RecordCodecDecode, FieldsAreTakenOffTheFront) {
    // A fixed text takes all its digits; a terminated text takes its terminator.
    iBuffer answer("4142FFFFFFFF3412000000416C610D0023");
    EXPECT_EQ(DecodeField(answer, kFieldText6), "AB");
    EXPECT_EQ(DecodeField(answer, kFieldAmount), "12.34");
    EXPECT_EQ(DecodeField(answer, kFieldLineCr20), "Ala");
    EXPECT_EQ(std::string(answer.View()), "0023");
    // Unknown codes take nothing.
    EXPECT_EQ(DecodeField(answer, static_cast<FieldCode>(0)), "");
    EXPECT_EQ(DecodeField(answer, static_cast<FieldCode>(33)), "");
    EXPECT_EQ(DecodeField(answer, kFieldUnused), "");
    EXPECT_EQ(std::string(answer.View()), "0023");
    bool complete = true;
    EXPECT_EQ(DecodeField(answer, kFieldHundredths4, &complete), "23");
    EXPECT_TRUE(complete);
    EXPECT_TRUE(answer.Empty());
    // An answer that ends inside a field gives what it has and says so.
    iBuffer shortAnswer("3412");
    EXPECT_EQ(DecodeField(shortAnswer, kFieldAmount, &complete), "12.34");
    EXPECT_FALSE(complete);
    EXPECT_TRUE(shortAnswer.Empty());
    // A damaged digit reads as 0 and takes its place.
    iBuffer damaged(
        "\x83"
        "10\x0D"
        "12");
    EXPECT_EQ(DecodeField(damaged, kFieldCount4), "1");
    EXPECT_EQ(std::string(damaged.View()), "12");
}

TEST(RecordCodecFormat, CellTexts) {
    EXPECT_EQ(FormatAmount(12.5, 2), "12.50");
    EXPECT_EQ(FormatAmount(1.5, 3), "1.500");
    EXPECT_EQ(FormatAmount(4.25, 6), "4.250000");
    EXPECT_EQ(FormatAmount(-3.25, 2), "-3.25");
    EXPECT_EQ(FormatAmount(1e-15, 2), "0");
    EXPECT_EQ(FormatAmount(-1e-15, 2), "0");
    EXPECT_EQ(FormatCount(-1), "nakt");
    EXPECT_EQ(FormatCount(42), "42");
    EXPECT_EQ(FormatCount(-2), "-2");
    EXPECT_EQ(FormatLong(-1, -1), "nakt");
    EXPECT_EQ(FormatLong(5, 1), "4294967301");
    EXPECT_EQ(FormatLong(-1, 0), "4294967295");
}

TEST(RecordCodecFormat, Parsing) {
    EXPECT_EQ(ParseDecimal("3,49"), 3.49);
    EXPECT_EQ(ParseDecimal(" -12.5x"), -12.5);
    EXPECT_EQ(ParseDecimal("00000012.34"), 12.34);
    EXPECT_FALSE(ParseDecimal("nakt").has_value());
    EXPECT_FALSE(ParseDecimal("").has_value());
    EXPECT_EQ(ParseInteger("  -1"), -1);
    EXPECT_EQ(ParseInteger("0012"), 12);
    EXPECT_EQ(ParseInteger("12.9"), 12);
    EXPECT_FALSE(ParseInteger("FEFF").has_value());
    EXPECT_EQ(ParseHex("AB"), 0xAB);
    EXPECT_EQ(ParseHex("8FFFFFFA"), 0x8FFFFFFA);
}

}  // namespace
}  // namespace kasa
