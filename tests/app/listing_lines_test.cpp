// The listing window's lines: the preview's limit, the copy limits and saving.
#include "app/listing_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

ListingLines Numbered(size_t count) {
    ListingLines lines;
    for (size_t i = 0; i < count; ++i) {
        lines.Add(std::to_string(i));
    }
    return lines;
}

TEST(ListingLinesTest, OnlyThePreviewStartsAfreshBeyondItsLimit) {
    ListingLines kept = Numbered(kListingPreviewLimit + 1);
    EXPECT_FALSE(kept.Add("następny", {"PLU", 1, 2}));
    ASSERT_EQ(kept.Count(), kListingPreviewLimit + 2);
    EXPECT_EQ(kept.Line(kListingPreviewLimit + 1).place, (FaultPlace{"PLU", 1, 2}));

    ListingLines preview;
    preview.SetClearWhenFull(true);
    for (size_t i = 0; i < kListingPreviewLimit; ++i) {
        EXPECT_FALSE(preview.Add(std::to_string(i)));
    }
    EXPECT_FALSE(preview.Add("3001."));  // 3000 lines held: not more than the limit yet
    EXPECT_TRUE(preview.Add("następny"));
    ASSERT_EQ(preview.Count(), 1u);
    EXPECT_EQ(preview.Line(0).text, "następny");
}

TEST(ListingLinesTest, ALinePastTheEndIsEmptyAndNamesNoPlace) {
    ListingLines lines = Numbered(2);
    lines.Add("trzeci", {"PLU", 1, 2});
    EXPECT_EQ(lines.Line(2).text, "trzeci");
    for (const size_t index : {size_t{3}, size_t{1000}, static_cast<size_t>(-1)}) {
        EXPECT_EQ(lines.Line(index).text, "") << index;
        EXPECT_EQ(lines.Line(index).place, FaultPlace{}) << index;
    }
    lines.Clear();
    EXPECT_EQ(lines.Line(0).text, "");
}

TEST(ListingLinesTest, CopyingAllStopsAboveTheLimit) {
    ListingLines lines = Numbered(kListingCopyLimit);
    const ListingCopy copy = CopyAllLines(lines);
    ASSERT_TRUE(copy.ok);
    EXPECT_EQ(copy.text.substr(0, 6), "0\r\n1\r\n");
    EXPECT_EQ(copy.text.substr(copy.text.size() - 7), "\r\n49999");

    lines.Add("jeden za dużo");
    const ListingCopy refused = CopyAllLines(lines);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.refusal, "Za duża ilość danych do kopiowania.");
    EXPECT_TRUE(refused.text.empty());
}

TEST(ListingLinesTest, CopyingASelectionTakesTheSelectedLinesInOrder) {
    const ListingLines lines = Numbered(kListingCopyLimit + 2);
    const ListingCopy copy = CopySelectedLines(lines, {5, 2, 3});
    ASSERT_TRUE(copy.ok);
    EXPECT_EQ(copy.text, "2\r\n3\r\n5");

    EXPECT_EQ(CopySelectedLines(lines, {}).refusal, "Nie wybrano żadnego wiersza\ndo zapisania.");
    EXPECT_TRUE(CopySelectedLines(lines, {0, kListingCopyLimit}).ok);
    EXPECT_TRUE(CopySelectedLines(lines, {1, kListingCopyLimit + 1}).ok);
    EXPECT_EQ(CopySelectedLines(lines, {0, kListingCopyLimit + 1}).refusal,
              "Za duża ilość danych do kopiowania.");
}

TEST(ListingLinesTest, SavingWritesWindows1250LinesEndedByCrLf) {
    testing::ScratchFolder folder;
    ListingLines lines;
    lines.Add("PLU: Żółw w miejscu 3 1");
    lines.Add("");
    folder.Write("Listing.log", "stara treść");
    ASSERT_TRUE(SaveListing(folder.Path("Listing.log"), lines).ok);
    EXPECT_EQ(folder.Read("Listing.log"), "PLU: \xAF\xF3\xB3w w miejscu 3 1\r\n\r\n");

    const std::string missing = folder.Path("brak/Listing.log");
    const WriteResult failed = SaveListing(missing, lines);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.message.find(missing), std::string::npos) << failed.message;
}

}  // namespace
}  // namespace kasa
