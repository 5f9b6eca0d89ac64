#include "ecr/fiscal_memory.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

using Record = std::array<uint8_t, kFiscalRecordSize>;

Record Dated(uint8_t type) {
    Record r{};
    r[0] = type;
    r[1] = 0x26;
    r[2] = 0x20;
    r[3] = 0x12;
    r[4] = 0x07;
    return r;
}

std::vector<std::string> Decode(const Record& r, int number, const std::string& file = {}) {
    std::vector<std::string> lines;
    FiscalOutput output = OpenFiscalOutput(lines, file);
    DecodeFiscalRecord(output, r.data(), number);
    return lines;
}

TEST(FiscalDecode, DailyReportWithUnregisteredRateF) {
    Record r = Dated(1);
    const uint8_t rateA[] = {0x67, 0x45, 0x23, 0x01, 0x00};
    std::copy(std::begin(rateA), std::end(rateA), r.begin() + 5);
    std::fill(r.begin() + 30, r.begin() + 35, 0xFF);
    r[35] = 0x50;
    r[36] = 0x01;
    r[40] = 0x42;
    r[41] = 0x01;
    r[42] = 0x03;
    r[46] = 0x99;
    r[47] = 0x99;
    const std::vector<std::string> expected = {"(12) Raport Dobowy.",
                                               "2026.12.07",
                                               "Sprzedaż w stawce A 12345.67",
                                               "Sprzedaż w stawce B 0.00",
                                               "Sprzedaż w stawce C 0.00",
                                               "Sprzedaż w stawce D 0.00",
                                               "Sprzedaż w stawce E 0.00",
                                               "Sprzedaż w stawce F nie rejestrowana",
                                               "Kwota zwolniona 1.50",
                                               "Ilość paragonów 142",
                                               "Licznik 1 3",
                                               "Licznik 2 0",
                                               "Licznik 3 9999",
                                               " "};
    EXPECT_EQ(Decode(r, 12), expected);
}

TEST(FiscalDecode, VatChangeAndRamReset) {
    Record vat = Dated(2);
    const uint8_t rates[] = {0x00, 0x23, 0x00, 0x08, 0x50, 0x07, 0x00, 0x00};
    std::copy(std::begin(rates), std::end(rates), vat.begin() + 5);
    std::fill(vat.begin() + 13, vat.begin() + 17, 0xFF);
    const std::vector<std::string> vatLines = {"(9) Zmiana stawki VAT.",
                                               "2026.12.07",
                                               "Stawka dla PTUA 23%",
                                               "Stawka dla PTUB 8%",
                                               "Stawka dla PTUC 7%",
                                               "Stawka dla PTUD 0%",
                                               "Stawka PTUE nieaktywna",
                                               "Stawka PTUF nieaktywna",
                                               " "};
    EXPECT_EQ(Decode(vat, 9), vatLines);
    Record ram = Dated(3);
    ram[5] = 0x09;
    ram[6] = 0x05;
    EXPECT_EQ(Decode(ram, 100),
              (std::vector<std::string>{"(100) Zerowanie RAM.", "2026.12.07 09:05", " "}));
}

TEST(FiscalDecode, AreasByRecordNumber) {
    Record area{};
    const std::string unique = "ABC12345678", nip = "525-000-00-00";
    std::copy(unique.begin(), unique.end(), area.begin());
    std::copy(nip.begin(), nip.end(), area.begin() + 32);
    EXPECT_EQ(Decode(area, 4),
              (std::vector<std::string>{"(4) Obszar Fiskalizacji.", "Numer unikatowy: ABC12345678",
                                        "Numer NIP: 525-000-00-00", " "}));
    Record counting{};
    for (int i = 0; i < kFiscalRecordSize; ++i) {
        counting[static_cast<size_t>(i)] = static_cast<uint8_t>(i == 0 ? 0 : 0xA0 + i);
    }
    const std::vector<std::string> unknown = Decode(counting, 900);
    ASSERT_EQ(unknown.size(), 6u);
    EXPECT_EQ(unknown[0], "(900) Nierozpoznany rekord.");
    EXPECT_EQ(unknown[1], "00 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF ");
    EXPECT_EQ(unknown[4], "D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE DF ");
    EXPECT_EQ(Decode(counting, 3)[0], "(3) Obszar kontrolny pamięci.");
    EXPECT_EQ(Decode(counting, 7)[0], "(7) Obszar zapisów zmian VAT");
    EXPECT_EQ(Decode(counting, 8)[0], "(8) Nierozpoznany rekord.");
}

TEST(FiscalDecode, FileGetsWindows1250LinesAppendedAndAFailureIsKept) {
    testing::ScratchFolder folder;
    Record ram = Dated(3);
    Decode(ram, 1, folder.Path("logi/pamiec.txt"));
    Decode(ram, 2, folder.Path("logi/pamiec.txt"));
    EXPECT_EQ(folder.Read("logi/pamiec.txt"),
              "(1) Zerowanie RAM.\r\n2026.12.07 00:00\r\n \r\n"
              "(2) Zerowanie RAM.\r\n2026.12.07 00:00\r\n \r\n");
    Record counting{};
    std::vector<std::string> lines;
    FiscalOutput output = OpenFiscalOutput(lines, folder.Path("logi/pamiec.txt"));
    DecodeFiscalRecord(output, counting.data(), 3);
    EXPECT_EQ(folder.Read("logi/pamiec.txt").substr(82, 31),
              "(3) Obszar kontrolny pami\xEA"
              "ci.\r\n");

    // A folder named with Polish letters is made and written by its wide name on Windows.
    Decode(ram, 4, folder.Path("Paweł/pamięć.txt"));
    EXPECT_EQ(folder.Read("Paweł/pamięć.txt"), "(4) Zerowanie RAM.\r\n2026.12.07 00:00\r\n \r\n");

    folder.Write("plik", "x");
    FiscalOutput blocked = OpenFiscalOutput(lines, folder.Path("plik/pamiec.txt"));
    lines.clear();
    DecodeFiscalRecord(blocked, ram.data(), 5);
    EXPECT_TRUE(blocked.appendFailed);
    EXPECT_EQ(lines.size(), 3u);
}

TEST(FiscalRangeText, RefusesOutsideAndSwapsReversed) {
    const FiscalRange swapped = FiscalRangeFromText("10", "5");
    EXPECT_EQ(swapped.message, "");
    EXPECT_EQ(swapped.first, 5);
    EXPECT_EQ(swapped.last, 10);
    EXPECT_EQ(FiscalRangeFromText("2048", "5").message, kFiscalFirstRangeMessage);
    EXPECT_EQ(FiscalRangeFromText("-1", "5").message, kFiscalFirstRangeMessage);
    EXPECT_EQ(FiscalRangeFromText("0", "2048").message, kFiscalLastRangeMessage);
    EXPECT_EQ(FiscalRangeFromText("0", "").message, kFiscalLastRangeMessage);
    EXPECT_EQ(FiscalRangeFromText("0", "2047").last, 2047);
}

}  // namespace
}  // namespace kasa
