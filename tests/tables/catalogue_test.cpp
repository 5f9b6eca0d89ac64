#include "tables/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kasa {
namespace {

bool FormatInRange(FieldFormat f) {
    return IsTextFormat(f) || (f >= kFormatPassword && f <= kFormatFlag) ||
           (IsNumberFormat(f) && f < 512 && NumberIntegerDigits(f) >= 1);
}

// What every table of both models must satisfy for the grids, files and codec to work.
TEST(CatalogueTest, EveryTableIsConsistent) {
    ASSERT_EQ(AllModels().size(), 2u);
    EXPECT_EQ(AllModels()[0], &ZenModel());
    EXPECT_EQ(AllModels()[1], &VesperModel());
    std::set<std::string_view> sections;
    for (const RegisterModel* model : AllModels()) {
        for (int k = 0; k < kTableKindCount; ++k) {
            const TableDescriptor& t = model->Table(static_cast<TableKind>(k));
            SCOPED_TRACE(std::string(model->name) + " " + std::string(t.tableName));
            EXPECT_EQ(FindTable(*model, t.tableName), &t);
            TableKind kind{};
            ASSERT_TRUE(TableKindOf(t, kind));
            EXPECT_EQ(static_cast<int>(kind), k);
            EXPECT_EQ(t.separator, ';');
            EXPECT_GT(t.RecordCount, 0);
            EXPECT_FALSE(t.keyPrefix.empty());
            sections.insert(t.sectionName);
            std::set<std::string_view> keys;
            std::set<std::string_view> editNames;
            bool editedFieldsEnded = false;
            for (size_t c = 0; c < t.fields.size(); ++c) {
                const FieldDescriptor& f = t.fields[c];
                EXPECT_FALSE(f.key.empty());
                EXPECT_LE(f.key.size(), 4u) << f.key;
                // Vesper's cashiers keep "STK" twice ("Kasa" and "Storno"); a lookup finds
                // the first.
                EXPECT_TRUE(keys.insert(f.key).second || f.key == "STK") << f.key;
                // Only the number column has format 0; the rest are in the known ranges.
                EXPECT_EQ(f.format == kFormatRecordNumber, t.FieldCount() > 0 && c == 0) << f.key;
                EXPECT_TRUE(f.format == kFormatRecordNumber || FormatInRange(f.format)) << f.key;
                if (f.editName.empty()) {
                    editedFieldsEnded = true;
                } else {
                    EXPECT_FALSE(editedFieldsEnded) << f.key << " edited after a grid-only field";
                    EXPECT_TRUE(editNames.insert(f.editName).second) << f.editName;
                }
            }
            // A grid table's column 0 is the record number; header and VAT have no grid.
            const bool grid = kind != TableKind::kHeader && kind != TableKind::kVat;
            EXPECT_EQ(t.FieldCount() > 0, grid);
            EXPECT_LE(t.FieldCount(), kMaxFields);
            if (grid) {
                EXPECT_EQ(static_cast<size_t>(t.FieldCount()), t.fields.size());
                EXPECT_EQ(t.fields[0].key, "NUM");
                EXPECT_EQ(t.fields[0].title, "Numer");
                EXPECT_EQ(t.fields[0].editName, "eNumer");
            }
        }
    }
    EXPECT_EQ(sections.size(), static_cast<size_t>(kTableKindCount));
}

TEST(CatalogueTest, KeyAndNameLookups) {
    // Vesper's cashiers keep "STK" twice; a lookup finds "Kasa", the first.
    EXPECT_EQ(VesperModel().Table(TableKind::kCashiers).ColumnOfKey("STK"), 6);
    EXPECT_EQ(ZenModel().Table(TableKind::kGoods).ColumnOfKey("GRU"), -1);
    EXPECT_EQ(FindTable(VesperModel(), "Plu"), nullptr);
    EXPECT_EQ(FindTable(VesperModel(), ""), nullptr);
}

TEST(ModelSelectionTest, Rules) {
    struct Step {
        const char* stored;
        const char* active;
        const char* storedAfter;
        bool changed;
    };
    // One selection per row sequence, as at start-up and then on setting changes.
    const Step steps[] = {
        {"Nieznana", "Vesper", "Vesper", true},  // start-up, no match
        {"zen", "Zen", "zen", true},             // case ignored
        {"Kasa X", "Zen", "Kasa X", false},      // no match keeps the active model
        {"", "Vesper", "Vesper", true},          // empty selects "Vesper"
        {"VES", "Vesper", "VES", false},         // part of the name
        {"e", "Zen", "e", true},                 // the first model in order wins
    };
    ModelSelection selection;
    EXPECT_EQ(selection.Active(), nullptr);
    for (const Step& s : steps) {
        std::string stored = s.stored;
        EXPECT_EQ(selection.Select(stored), s.changed) << s.stored;
        ASSERT_NE(selection.Active(), nullptr);
        EXPECT_EQ(selection.Active()->name, s.active) << s.stored;
        EXPECT_EQ(stored, s.storedAfter) << s.stored;
    }
    EXPECT_EQ(selection.FindTable("PLU")->RecordCount, 2636);
    EXPECT_EQ(MatchModel(""), nullptr);
}

TEST(CatalogueTest, HintsStateTheNameLength) {
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kGoods)),
              "Wpisz nazwę towaru. Nazwa może mieć: 16 znaków.");
    EXPECT_EQ(NameHintText(ZenModel().Table(TableKind::kPackaging)),
              "Wpisz nazwę opakowania. Opakowanie może mieć: 18 znaków.");
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kKeys)), "");
    EXPECT_EQ(HeaderTotalHintText(ZenModel().Table(TableKind::kHeader)),
              "Suma znaków użytych do zaprogramowania nagłówka.\nMaksymalna wartość wynosi 160");
    EXPECT_EQ(HeaderTotalHintText(VesperModel().Table(TableKind::kHeader)),
              "Suma znaków użytych do zaprogramowania nagłówka.\nMaksymalna wartość wynosi 240");
}

}  // namespace
}  // namespace kasa
