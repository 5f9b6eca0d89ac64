// The goods tools and the port list from the command line: a tool reads one table file and
// writes another, a refused value writes nothing, and a mistyped vendor id is told.
#include <gtest/gtest.h>

#include "cli/kasa_fixture.h"
#include "tables/catalogue.h"
#include "tables/table_files.h"

namespace kasa {
namespace {

using cli::Outcome;

class PluCommand : public cli::KasaWithoutRegister {
  protected:
    // A goods file whose rows hold the names and prices given.
    std::string SaveGoods(std::string_view name,
                          const std::vector<std::pair<std::string, std::string>>& rows) {
        const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
        TableSet tables;
        TextGrid& grid = tables.Grid(TableKind::kGoods);
        SetUpGrid(grid, goods, true, true, 1);
        for (size_t i = 0; i < rows.size(); ++i) {
            grid.SetCell(goods.ColumnOfKey("NAZ"), static_cast<int>(i) + 1, rows[i].first);
            grid.SetCell(goods.ColumnOfKey("CEN"), static_cast<int>(i) + 1, rows[i].second);
        }
        const std::string path = folder_.Path(name);
        EXPECT_TRUE(SaveTableFile(path, VesperModel(), TableKind::kGoods, tables, 1).ok);
        return path;
    }
    // The names and prices of a goods file, row by row, up to the first empty name.
    std::vector<std::pair<std::string, std::string>> LoadGoods(std::string_view name) {
        const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
        TableSet tables;
        EXPECT_TRUE(
            LoadTableFile(folder_.Path(name), VesperModel(), TableKind::kGoods, tables, 1).ok());
        const TextGrid& grid = tables.Grid(TableKind::kGoods);
        std::vector<std::pair<std::string, std::string>> rows;
        for (int row = 1;
             row < grid.RowCount() && !grid.Cell(goods.ColumnOfKey("NAZ"), row).empty(); ++row) {
            rows.emplace_back(grid.Cell(goods.ColumnOfKey("NAZ"), row),
                              grid.Cell(goods.ColumnOfKey("CEN"), row));
        }
        return rows;
    }
};

TEST_F(PluCommand, AToolReadsOneFileAndWritesAnother) {
    const std::string in =
        SaveGoods("towary.csv", {{"Żurek", "5"}, {"Łosoś", "40"}, {"Ananas", "7,5"}});
    const Outcome sorted = Kasa({"plu", "sortuj", in, folder_.Path("a.csv")});
    EXPECT_EQ(sorted.code, 0) << sorted.err;
    EXPECT_EQ(LoadGoods("a.csv"), (std::vector<std::pair<std::string, std::string>>{
                                      {"Ananas", "7,5"}, {"Łosoś", "40"}, {"Żurek", "5"}}));
    // The input file stays as it was.
    EXPECT_EQ(LoadGoods("towary.csv").front().first, "Żurek");

    EXPECT_EQ(Kasa({"plu", "mnoznik", "2", in, folder_.Path("b.pod")}).code, 0);
    EXPECT_EQ(LoadGoods("b.pod").back().second, "15.00");
}

TEST_F(PluCommand, ARefusedValueOrToolWritesNothing) {
    const std::string in = SaveGoods("towary.csv", {{"Chleb", "4,99"}});
    const Outcome factor = Kasa({"plu", "mnoznik", "abc", in, folder_.Path("x.csv")});
    EXPECT_EQ(factor.code, 1);
    EXPECT_FALSE(factor.err.empty());
    EXPECT_EQ(Kasa({"plu", "skroc", "0", in, folder_.Path("x.csv")}).code, 2);
    EXPECT_EQ(Kasa({"plu", "odwroc", in, folder_.Path("x.csv")}).code, 2);
    EXPECT_EQ(Kasa({"plu", "sortuj", folder_.Path("brak.csv"), folder_.Path("x.csv")}).code, 1);
    EXPECT_FALSE(folder_.Exists("x.csv"));
}

TEST_F(PluCommand, TheMultiplierListsThePricesItLeftAndNamesWhyItRefuses) {
    const std::string in = SaveGoods("towary.csv", {{"Chleb", "12zł"}, {"Mleko", "3"}});
    const Outcome multiplied = Kasa({"plu", "mnoznik", "2", in, folder_.Path("a.csv")});
    EXPECT_EQ(multiplied.code, 0);
    EXPECT_EQ(multiplied.err, "Cena w wierszu 1 nie jest liczbą i nie została zmieniona.\n");
    EXPECT_EQ(LoadGoods("a.csv"), (std::vector<std::pair<std::string, std::string>>{
                                      {"Chleb", "12zł"}, {"Mleko", "6.00"}}));
    const Outcome huge = Kasa({"plu", "mnoznik", "1e400", in, folder_.Path("b.csv")});
    EXPECT_EQ(huge.code, 1);
    EXPECT_EQ(huge.err, "Mnożnik cen jest za duży. Ceny nie zostały zmienione.\n");
    EXPECT_FALSE(folder_.Exists("b.csv"));
}

TEST_F(PluCommand, PortListOfTheMakerNeedsAHexadecimalVendorId) {
    folder_.Write("config.cfg", "[USTAWIENIA]\r\nUsbVendorId=ZZ12\r\n");
    const Outcome outcome = Kasa({"porty", "--producenta"});
    EXPECT_EQ(outcome.code, 2);
    EXPECT_NE(outcome.err.find("UsbVendorId (ZZ12)"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "");
}

TEST_F(PluCommand, PortListEndsWithTheNetworkPortsOfTheSettings) {
    folder_.Write("config.cfg",
                  "[USTAWIENIA]\r\nPortName=tcp://sklep-2:4001\r\n"
                  "NetworkPorts=rfc2217://[::1]:2217;tcp://10.0.0.5:4001\r\n");
    const Outcome outcome = Kasa({"porty"});
    const std::string expected =
        "Porty sieciowe z ustawień:\ntcp://sklep-2:4001\nrfc2217://[::1]:2217\n"
        "tcp://10.0.0.5:4001\n";
    ASSERT_GE(outcome.out.size(), expected.size()) << outcome.out;
    EXPECT_EQ(outcome.out.substr(outcome.out.size() - expected.size()), expected);
    // Without network ports in the settings nothing is added.
    folder_.Write("config.cfg", "[USTAWIENIA]\r\nPortName=/dev/ttyUSB0\r\n");
    EXPECT_EQ(Kasa({"porty"}).out.find("Porty sieciowe"), std::string::npos);
}

}  // namespace
}  // namespace kasa
