#include "tables/catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace kasa {
namespace {

struct TableCase {
    const RegisterModel* model;
    TableKind kind;
    int32_t recordCount;
    int32_t firstNumber;
    int32_t recordSize;
    const char* section;
    const char* prefix;
    const char* tableName;
    int fieldCount;
};

TEST(CatalogueTest, EveryTableOfBothModels) {
    const RegisterModel* zen = &ZenModel();
    const RegisterModel* ves = &VesperModel();
    const TableCase cases[] = {
        {zen, TableKind::kHeader, 8, 1, 40, "NAGLOWEK", "Linja", "Naglowek", 0},
        {ves, TableKind::kHeader, 8, 1, 40, "NAGLOWEK", "Linia", "Naglowek", 0},
        {zen, TableKind::kVat, 7, 1, 40, "PTU", "Ptu", "StawkiVAT", 0},
        {ves, TableKind::kVat, 7, 1, 40, "PTU", "Ptu", "StawkiVAT", 0},
        {zen, TableKind::kPackaging, 15, 1, 40, "OPAKOWANIA", "Opak", "Opakowania", 3},
        {ves, TableKind::kPackaging, 15, 1, 40, "OPAKOWANIA", "Opak", "Opakowania", 6},
        {zen, TableKind::kKeys, 20, 1, 3, "KLAWISZE", "Klawisz", "Klawisze", 4},
        {ves, TableKind::kKeys, 20, 1, 3, "KLAWISZE", "Klawisz", "Klawisze", 4},
        {zen, TableKind::kCashiers, 8, 1, 120, "KASJERZY", "Kasjer", "Kasjer", 14},
        {ves, TableKind::kCashiers, 8, 1, 120, "KASJERZY", "Kasjer", "Kasjer", 28},
        {zen, TableKind::kDiscounts, 4, 1, 27, "RABATY", "Rabat", "Rabat", 3},
        {ves, TableKind::kDiscounts, 4, 1, 27, "RABATY", "Rabat", "Rabat", 4},
        {zen, TableKind::kSurcharges, 4, 5, 27, "DOPLATY", "Doplata", "Doplata", 3},
        {ves, TableKind::kSurcharges, 4, 5, 27, "DOPLATY", "Doplata", "Doplata", 4},
        {zen, TableKind::kPaymentForms, 4, 1, 25, "FORMY", "Forma", "Formy", 2},
        {ves, TableKind::kPaymentForms, 8, 1, 25, "FORMY", "Forma", "Formy", 4},
        {zen, TableKind::kGoods, 2636, 1, 46, "TOWARY", "Plu", "PLU", 7},
        {ves, TableKind::kGoods, 2300, 1, 46, "TOWARY", "Plu", "PLU", 11},
    };
    for (const TableCase& c : cases) {
        const TableDescriptor& t = c.model->Table(c.kind);
        SCOPED_TRACE(std::string(c.model->name) + " " + c.tableName);
        EXPECT_EQ(t.RecordCount, c.recordCount);
        EXPECT_EQ(t.FirstNumber, c.firstNumber);
        EXPECT_EQ(t.RecordSize, c.recordSize);
        EXPECT_EQ(t.sectionName, c.section);
        EXPECT_EQ(t.keyPrefix, c.prefix);
        EXPECT_EQ(t.separator, ';');
        EXPECT_EQ(t.tableName, c.tableName);
        EXPECT_EQ(t.FieldCount(), c.fieldCount);
        EXPECT_EQ(FindTable(*c.model, c.tableName), &t);
        if (c.fieldCount > 0) {
            EXPECT_EQ(t.fields[0].key, "NUM");
            EXPECT_EQ(t.fields[0].title, "Numer");
            EXPECT_EQ(t.fields[0].editName, "eNumer");
            EXPECT_EQ(t.fields[0].format, kFormatRecordNumber);
        }
    }
}

TEST(CatalogueTest, ModelsInOrder) {
    ASSERT_EQ(AllModels().size(), 2u);
    EXPECT_EQ(AllModels()[0]->name, "Zen");
    EXPECT_EQ(AllModels()[1]->name, "Vesper");
}

TEST(CatalogueTest, VesperCashiers) {
    const TableDescriptor& t = VesperModel().Table(TableKind::kCashiers);
    ASSERT_EQ(t.FieldCount(), 28);
    int withoutEdit = 0;
    for (int c = 0; c < t.FieldCount(); ++c) {
        if (t.fields[static_cast<size_t>(c)].editName.empty()) {
            ++withoutEdit;
        }
    }
    EXPECT_EQ(withoutEdit, 24);
    // STK twice: a lookup by key finds "Kasa", the first.
    EXPECT_EQ(t.ColumnOfKey("STK"), 6);
    EXPECT_EQ(t.fields[6].title, "Kasa");
    EXPECT_EQ(t.fields[15].key, "STK");
    EXPECT_EQ(t.fields[15].title, "Storno");
    EXPECT_EQ(t.fields[2].format, kFormatPassword);
    EXPECT_EQ(t.fields[3].key, "LOG");
    EXPECT_EQ(t.fields[3].format, 416);
    EXPECT_EQ(t.fields[27].title, "Dopłata 4");
}

TEST(CatalogueTest, ColumnsThatDifferBetweenModels) {
    struct Case {
        const RegisterModel* model;
        TableKind kind;
        const char* key;
        const char* title;
        const char* editName;
        FieldFormat format;
    };
    const Case cases[] = {
        {&ZenModel(), TableKind::kKeys, "PLU", "PLU", "eNumerPLU", 15},
        {&VesperModel(), TableKind::kKeys, "PLU", "PLU", "eNumerPLU", 320},
        {&ZenModel(), TableKind::kCashiers, "NAZ", "Nazwa kasjera", "eNazwa", 6},
        {&VesperModel(), TableKind::kCashiers, "NAZ", "Nazwa kasjera", "eNazwa", 10},
        {&ZenModel(), TableKind::kGoods, "NAZ", "Nazwa", "eNazwa", 15},
        {&VesperModel(), TableKind::kGoods, "NAZ", "Nazwa", "eNazwa", 16},
        {&ZenModel(), TableKind::kGoods, "ILO", "Ilość", "eilosc", 307},
        {&VesperModel(), TableKind::kGoods, "ILO", "Ilość", "eilosc", 371},
        {&VesperModel(), TableKind::kPaymentForms, "KUR", "Kurs", "eKurs", 424},
        {&VesperModel(), TableKind::kPaymentForms, "SPR", "Sprzedaż", "", 424},
    };
    for (const Case& c : cases) {
        const TableDescriptor& t = c.model->Table(c.kind);
        const int col = t.ColumnOfKey(c.key);
        ASSERT_GE(col, 0) << c.key;
        const FieldDescriptor& f = t.fields[static_cast<size_t>(col)];
        EXPECT_EQ(f.title, c.title) << c.key;
        EXPECT_EQ(f.editName, c.editName) << c.key;
        EXPECT_EQ(f.format, c.format) << c.key;
    }
    EXPECT_EQ(ZenModel().Table(TableKind::kGoods).ColumnOfKey("GRU"), -1);
    EXPECT_EQ(ZenModel().Table(TableKind::kCashiers).ColumnOfKey("LOG"), -1);
}

TEST(CatalogueTest, FindTableByExactName) {
    EXPECT_EQ(FindTable(VesperModel(), "PLU"), &VesperModel().Table(TableKind::kGoods));
    EXPECT_EQ(FindTable(VesperModel(), "Doplata"), &VesperModel().Table(TableKind::kSurcharges));
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
}

TEST(ModelSelectionTest, EmptyNameAtStartUp) {
    ModelSelection selection;
    std::string stored;
    EXPECT_TRUE(selection.Select(stored));
    EXPECT_EQ(selection.Active(), &VesperModel());
    EXPECT_EQ(stored, "Vesper");
    EXPECT_EQ(MatchModel(""), nullptr);
}

TEST(CatalogueTest, Hints) {
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kGoods)),
              "Wpisz nazwę towaru. Nazwa może mieć: 16 znaków.");
    EXPECT_EQ(NameHintText(ZenModel().Table(TableKind::kCashiers)),
              "Wpisz nazwę kasjera. Nazwa może mieć: 6 znaków.");
    EXPECT_EQ(NameHintText(ZenModel().Table(TableKind::kPackaging)),
              "Wpisz nazwę opakowania. Opakowanie może mieć: 18 znaków.");
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kSurcharges)),
              "Wpisz nazwę dopłaty. Nazwa może mieć: 18 znaków.");
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kPaymentForms)),
              "Wpisz nazwę form płatności. Nazwa może mieć: 18 znaków.");
    EXPECT_EQ(NameHintText(VesperModel().Table(TableKind::kKeys)), "");
    EXPECT_EQ(HeaderTotalHintText(ZenModel().Table(TableKind::kHeader)),
              "Suma znaków użytych do zaprogramowania nagłówka.\nMaksymalna wartość wynosi 160");
    EXPECT_EQ(HeaderTotalHintText(VesperModel().Table(TableKind::kHeader)),
              "Suma znaków użytych do zaprogramowania nagłówka.\nMaksymalna wartość wynosi 240");
}

}  // namespace
}  // namespace kasa
