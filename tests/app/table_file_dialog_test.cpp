#include "app/table_file_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "tables/xlsx_workbook.h"

namespace kasa {
namespace {

using Filters = std::vector<std::string>;

TEST(TableFileDialogTest, OfferStartsAtTheLastFileOfTheLastKind) {
    Settings settings;
    // Nothing used yet: .pod first, no start file; grid tables offer every kind, workbooks
    // where the build has them.
    TableFileOffer offer = OfferTableFile(settings, true);
    Filters every{kPodFileFilter, kCsvFileFilter, kTxtFileFilter};
    if (WorkbooksSupported()) {
        every.emplace_back("Skoroszyt Excel (*.xlsx)");
    }
    EXPECT_EQ(offer.filters, every);
    EXPECT_EQ(offer.selectedFilter, kPodFileFilter);
    EXPECT_EQ(offer.startPath, "");
    EXPECT_EQ(OfferTableFile(settings, false).filters, Filters{kPodFileFilter});

    settings.PodFile = "/d/a.pod";
    settings.CsvFile = "/d/b.csv";
    settings.TxtFile = "/d/c.txt";
    for (const char* extLast : {"CSV", " .csv ", "csv"}) {
        settings.ExtLast = extLast;
        offer = OfferTableFile(settings, true);
        EXPECT_EQ(offer.selectedFilter, kCsvFileFilter) << extLast;
        EXPECT_EQ(offer.startPath, "/d/b.csv") << extLast;
        // Tables that take .pod only start at the last .pod whatever was used last.
        EXPECT_EQ(OfferTableFile(settings, false).startPath, "/d/a.pod") << extLast;
    }
    settings.ExtLast = "XLS";
    EXPECT_EQ(OfferTableFile(settings, true).startPath, "/d/a.pod");

    settings.XlsxFile = "/d/e.xlsx";
    settings.ExtLast = "XLSX";
    offer = OfferTableFile(settings, true);
    if (WorkbooksSupported()) {
        EXPECT_EQ(offer.selectedFilter, kXlsxFileFilter);
        EXPECT_EQ(offer.startPath, "/d/e.xlsx");
    } else {
        // A kind the build cannot read is not where the dialog starts.
        EXPECT_EQ(offer.selectedFilter, kPodFileFilter);
        EXPECT_EQ(offer.startPath, "/d/a.pod");
    }
}

TEST(TableFileDialogTest, ChosenNameGetsTheFiltersExtensionAndIsRemembered) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    Settings settings;
    const TableFileOffer all = OfferTableFile(settings, true);
    const TableFileOffer podOnly = OfferTableFile(settings, false);
    struct Case {
        const TableFileOffer* offer;
        std::string typed;
        const char* filter;
        bool opening;
        std::string path;  // what is used, empty for a cancelled dialog
        std::string extLast;
    };
    folder.Write("towary", "Numer;Nazwa\r\n3;Bułka\r\n");
    std::vector<Case> cases = {
        {&all, "/d/a", kCsvFileFilter, false, "/d/a.csv", "CSV"},
        {&all, "/d/b.TXT", kTxtFileFilter, false, "/d/b.TXT", "TXT"},
        // The extension of another offered kind chooses that kind, whatever the filter.
        {&all, "/d/x.txt", kCsvFileFilter, false, "/d/x.txt", "TXT"},
        {&all, "/d/x.pod", kTxtFileFilter, false, "/d/x.pod", "POD"},
        {&all, "/d/x.txt", kCsvFileFilter, true, "/d/x.txt", "TXT"},
        // Something that only looks like an extension is not one.
        {&all, "/d/x.txt2", kCsvFileFilter, false, "/d/x.txt2.csv", "CSV"},
        // Another extension than the filter's is kept in the name and gets the filter's.
        {&podOnly, "/d/k.csv", kPodFileFilter, false, "/d/k.csv.pod", "POD"},
        // A filter that was not offered counts as the offered one.
        {&podOnly, "/d/k", kCsvFileFilter, false, "/d/k.pod", "POD"},
        // An existing file is opened under its own name; a missing one gets the extension.
        {&all, folder.Path("towary"), kCsvFileFilter, true, folder.Path("towary"), "CSV"},
        {&all, folder.Path("inne"), kCsvFileFilter, true, folder.Path("inne.csv"), "CSV"},
        {&all, folder.Path("towary"), kCsvFileFilter, false, folder.Path("towary.csv"), "CSV"},
    };
    if (WorkbooksSupported()) {
        cases.push_back({&all, "/d/e", kXlsxFileFilter, false, "/d/e.xlsx", "XLSX"});
        // A workbook's extension typed under the CSV filter chooses a workbook.
        cases.push_back({&all, "/d/f.Xlsx", kCsvFileFilter, false, "/d/f.Xlsx", "XLSX"});
    }
    for (const Case& c : cases) {
        settings = Settings{};
        const std::string path = ChooseTableFile(settings, *c.offer, c.typed, c.filter, c.opening);
        EXPECT_EQ(path, c.path) << c.typed;
        EXPECT_EQ(settings.ExtLast, c.extLast) << c.typed;
        const std::string& last = c.extLast == "POD"    ? settings.PodFile
                                  : c.extLast == "CSV"  ? settings.CsvFile
                                  : c.extLast == "XLSX" ? settings.XlsxFile
                                                        : settings.TxtFile;
        EXPECT_EQ(last, c.path) << c.typed;
    }
    // A cancelled dialog changes nothing.
    settings = Settings{};
    settings.ExtLast = "TXT";
    EXPECT_EQ(ChooseTableFile(settings, all, "", kCsvFileFilter, true), "");
    EXPECT_EQ(settings.ExtLast, "TXT");
    EXPECT_EQ(settings.CsvFile, "");
}

TEST(TableFileDialogTest, OverwriteQuestionNamesTheFileWritten) {
    EXPECT_EQ(OverwriteQuestion("/d/towary.csv"),
              "Plik /d/towary.csv już istnieje.\nCzy zastąpić go?");
}

}  // namespace
}  // namespace kasa
