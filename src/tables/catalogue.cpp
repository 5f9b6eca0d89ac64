#include "tables/catalogue.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr FieldDescriptor kNumber{"NUM", "Numer", "eNumer", kFormatRecordNumber};

// Header lines.
constexpr FieldDescriptor kZenHeaderFields[] = {
    {"LN1", "", "Line1", 20}, {"LN2", "", "Line2", 20}, {"LN3", "", "Line3", 20},
    {"LN4", "", "Line4", 20}, {"LN5", "", "Line5", 20}, {"LN6", "", "Line6", 20},
    {"LN7", "", "Line7", 20}, {"LN8", "", "Line8", 20},
};
constexpr FieldDescriptor kVesperHeaderFields[] = {
    {"1", "", "Line1", 40}, {"2", "", "Line2", 40}, {"3", "", "Line3", 40},
    {"4", "", "Line4", 40}, {"5", "", "Line5", 40}, {"6", "", "Line6", 40},
};

// VAT rates, the same in both models.
constexpr FieldDescriptor kVatFields[] = {
    {"VATA", "", "E_VatA", kFormatVat}, {"VATB", "", "E_VatB", kFormatVat},
    {"VATC", "", "E_VatC", kFormatVat}, {"VATD", "", "E_VatD", kFormatVat},
    {"VATE", "", "E_VatE", kFormatVat}, {"VATF", "", "E_VatF", kFormatVat},
    {"VATG", "", "E_VatG", kFormatVat},
};

// Packaging.
constexpr FieldDescriptor kZenPackagingFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
    {"CEN", "Cena", "eCena", 386},
};
constexpr FieldDescriptor kVesperPackagingFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
    {"CEN", "Cena", "eCena", 386},
    {"PRZ", "Przyjęcia", "", 386},
    {"WYD", "Wydania", "", 386},
    {"SAL", "Saldo", "", 386},
};

// Keys.
constexpr FieldDescriptor kZenKeyFields[] = {
    kNumber,
    {"PLU", "PLU", "eNumerPLU", 15},
    {"ILO", "Ilość", "eilosc", 386},
    {"TRA", "Transakcja", "ckoniec", kFormatFlag},
};
constexpr FieldDescriptor kVesperKeyFields[] = {
    kNumber,
    {"PLU", "PLU", "eNumerPLU", 320},
    {"ILO", "Ilość", "eilosc", 386},
    {"TRA", "Transakcja", "ckoniec", kFormatFlag},
};

// Cashiers.
constexpr FieldDescriptor kZenCashierFields[] = {
    kNumber,
    {"NAZ", "Nazwa kasjera", "eNazwa", 6},
    {"HAS", "Hasło", "ehaslo", 320},
    {"PAR", "Parag", "", 320},
    {"OBR", "Obrót", "", 386},
    {"WPL", "Wpłaty", "", 386},
    {"WYP", "Wypłaty", "", 386},
    {"UTA", "Utarg", "", 386},
    {"KAP", "Kaucje p.", "", 386},
    {"KAZ", "Kaucje zw", "", 386},
    {"ANU", "Anul.", "", 320},
    {"KWO", "Kwota", "", 386},
    {"STI", "Storno Il", "", 320},
    {"STK", "Storno", "", 386},
};
constexpr FieldDescriptor kVesperCashierFields[] = {
    kNumber,
    {"NAZ", "Nazwa kasjera", "eNazwa", 10},
    {"HAS", "Hasło", "ehaslo", kFormatPassword},
    {"LOG", "Uprawnienia", "euprawnienia", 416},
    {"PAR", "Parag", "", 320},
    {"OBR", "Obrót", "", 386},
    {"STK", "Kasa", "", 386},
    {"WPL", "Wpłaty", "", 386},
    {"WYP", "Wypłaty", "", 386},
    {"UTA", "Utarg", "", 386},
    {"KAP", "Kaucje p.", "", 386},
    {"KAZ", "Kaucje zw", "", 386},
    {"ANU", "Anul.", "", 320},
    {"KWO", "Kwota", "", 386},
    {"STI", "Storno Il", "", 320},
    {"STK", "Storno", "", 386},
    {"PL1", "F. Płatn1", "", 386},
    {"PL2", "F. Płatn2", "", 386},
    {"PL3", "F. Płatn3", "", 386},
    {"PL4", "F. Płatn4", "", 386},
    {"RA1", "Rabat 1", "", 386},
    {"RA2", "Rabat 2", "", 386},
    {"RA3", "Rabat 3", "", 386},
    {"RA4", "Rabat 4", "", 386},
    {"DO1", "Dopłata 1", "", 386},
    {"DO2", "Dopłata 2", "", 386},
    {"DO3", "Dopłata 3", "", 386},
    {"DO4", "Dopłata 4", "", 386},
};

// Discounts and surcharges share their columns.
constexpr FieldDescriptor kZenDiscountFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
    {"WAR", "Wartość %", "ecena", 386},
};
constexpr FieldDescriptor kVesperDiscountFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
    {"WAR", "Wartość %", "ecena", 386},
    {"KWO", "Kwota", "ekwota", 386},
};

// Payment forms.
constexpr FieldDescriptor kZenPaymentFormFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
};
constexpr FieldDescriptor kVesperPaymentFormFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 18},
    {"KUR", "Kurs", "eKurs", 424},
    {"SPR", "Sprzedaż", "", 424},
};

// Goods.
constexpr FieldDescriptor kZenGoodsFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 15},
    {"KOD", "Kod kreskowy", "ekod", 464},
    {"PTU", "PTU", "bvat", kFormatVat},
    {"OPAK", "Op.", "eopak", 288},
    {"CEN", "Cena", "ecena", 386},
    {"ILO", "Ilość", "eilosc", 307},
};
constexpr FieldDescriptor kVesperGoodsFields[] = {
    kNumber,
    {"NAZ", "Nazwa", "eNazwa", 16},
    {"KOD", "Kod kreskowy", "ekod", 464},
    {"PTU", "PTU", "bvat", kFormatVat},
    {"GRU", "Grupa", "egrupa", 288},
    {"OPAK", "Op.", "eopak", 288},
    {"CEN", "Cena", "ecena", 386},
    {"ILO", "Ilość", "eilosc", 371},
    {"WAR", "Wartość", "ewar", 386},
    {"MIL", "M Ilość", "emil", 371},
    {"MWA", "M wartość", "emwa", 386},
};

constexpr TableDescriptor MakeTable(int32_t count, int32_t first, int32_t size,
                                    std::string_view section, std::string_view prefix,
                                    std::string_view name,
                                    std::span<const FieldDescriptor> fields) {
    TableDescriptor t;
    t.RecordCount = count;
    t.FirstNumber = first;
    t.RecordSize = size;
    t.sectionName = section;
    t.keyPrefix = prefix;
    t.separator = ';';
    t.tableName = name;
    t.fields = fields;
    return t;
}

constexpr TableDescriptor kZenHeader =
    MakeTable(8, 1, 40, "NAGLOWEK", "Linja", "Naglowek", kZenHeaderFields);
constexpr TableDescriptor kVesperHeader =
    MakeTable(8, 1, 40, "NAGLOWEK", "Linia", "Naglowek", kVesperHeaderFields);
constexpr TableDescriptor kVat = MakeTable(7, 1, 40, "PTU", "Ptu", "StawkiVAT", kVatFields);
constexpr TableDescriptor kZenPackaging =
    MakeTable(15, 1, 40, "OPAKOWANIA", "Opak", "Opakowania", kZenPackagingFields);
constexpr TableDescriptor kVesperPackaging =
    MakeTable(15, 1, 40, "OPAKOWANIA", "Opak", "Opakowania", kVesperPackagingFields);
constexpr TableDescriptor kZenKeys =
    MakeTable(20, 1, 3, "KLAWISZE", "Klawisz", "Klawisze", kZenKeyFields);
constexpr TableDescriptor kVesperKeys =
    MakeTable(20, 1, 3, "KLAWISZE", "Klawisz", "Klawisze", kVesperKeyFields);
constexpr TableDescriptor kZenCashiers =
    MakeTable(8, 1, 120, "KASJERZY", "Kasjer", "Kasjer", kZenCashierFields);
constexpr TableDescriptor kVesperCashiers =
    MakeTable(8, 1, 120, "KASJERZY", "Kasjer", "Kasjer", kVesperCashierFields);
constexpr TableDescriptor kZenDiscounts =
    MakeTable(4, 1, 27, "RABATY", "Rabat", "Rabat", kZenDiscountFields);
constexpr TableDescriptor kVesperDiscounts =
    MakeTable(4, 1, 27, "RABATY", "Rabat", "Rabat", kVesperDiscountFields);
constexpr TableDescriptor kZenSurcharges =
    MakeTable(4, 5, 27, "DOPLATY", "Doplata", "Doplata", kZenDiscountFields);
constexpr TableDescriptor kVesperSurcharges =
    MakeTable(4, 5, 27, "DOPLATY", "Doplata", "Doplata", kVesperDiscountFields);
constexpr TableDescriptor kZenPaymentForms =
    MakeTable(4, 1, 25, "FORMY", "Forma", "Formy", kZenPaymentFormFields);
constexpr TableDescriptor kVesperPaymentForms =
    MakeTable(8, 1, 25, "FORMY", "Forma", "Formy", kVesperPaymentFormFields);
constexpr TableDescriptor kZenGoods =
    MakeTable(2636, 1, 46, "TOWARY", "Plu", kGoodsTableName, kZenGoodsFields);
constexpr TableDescriptor kVesperGoods =
    MakeTable(2300, 1, 46, "TOWARY", "Plu", kGoodsTableName, kVesperGoodsFields);

constexpr RegisterModel kZen{
    kModelNameZen,
    {&kZenHeader, &kVat, &kZenPackaging, &kZenKeys, &kZenCashiers, &kZenDiscounts, &kZenSurcharges,
     &kZenPaymentForms, &kZenGoods},
};
constexpr RegisterModel kVesper{
    kModelNameVesper,
    {&kVesperHeader, &kVat, &kVesperPackaging, &kVesperKeys, &kVesperCashiers, &kVesperDiscounts,
     &kVesperSurcharges, &kVesperPaymentForms, &kVesperGoods},
};

constexpr const RegisterModel* kModels[] = {&kZen, &kVesper};

}  // namespace

int TableDescriptor::FieldCount() const {
    int count = 0;
    for (const FieldDescriptor& f : fields) {
        if (count >= kMaxFields || f.key.empty() || f.title.empty()) {
            break;
        }
        ++count;
    }
    return count;
}

int TableDescriptor::ColumnOfKey(std::string_view key) const {
    const int count = FieldCount();
    for (int c = 0; c < count; ++c) {
        if (fields[static_cast<size_t>(c)].key == key) {
            return c;
        }
    }
    return -1;
}

const RegisterModel& ZenModel() {
    return kZen;
}
const RegisterModel& VesperModel() {
    return kVesper;
}
std::span<const RegisterModel* const> AllModels() {
    return kModels;
}

const TableDescriptor* FindTable(const RegisterModel& model, std::string_view tableName) {
    for (const TableDescriptor* table : model.tables) {
        if (table->tableName == tableName) {
            return table;
        }
    }
    return nullptr;
}

bool TableKindOf(const TableDescriptor& table, TableKind& kind) {
    for (const RegisterModel* model : kModels) {
        for (size_t i = 0; i < model->tables.size(); ++i) {
            if (model->tables[i]->tableName == table.tableName) {
                kind = static_cast<TableKind>(i);
                return true;
            }
        }
    }
    return false;
}

bool IsGoodsTable(const TableDescriptor& table) {
    return table.tableName == kGoodsTableName;
}

const RegisterModel* MatchModel(std::string_view storedName) {
    if (storedName.empty()) {
        return nullptr;
    }
    const std::string wanted = Utf8ToUpper(storedName);
    for (const RegisterModel* model : kModels) {
        if (Utf8ToUpper(model->name).find(wanted) != std::string::npos) {
            return model;
        }
    }
    return nullptr;
}

bool ModelSelection::Select(std::string& storedName) {
    const RegisterModel* before = Active();
    const RegisterModel* chosen = MatchModel(storedName);
    if (chosen == nullptr) {
        if (before != nullptr && !storedName.empty()) {
            return false;
        }
        chosen = &kVesper;
        storedName = std::string(kModelNameVesper);
    }
    active_.store(chosen, std::memory_order_release);
    return chosen != before;
}

const TableDescriptor* ModelSelection::FindTable(std::string_view tableName) const {
    const RegisterModel* model = Active();
    return model != nullptr ? kasa::FindTable(*model, tableName) : nullptr;
}

ModelSelection& ActiveModelSelection() {
    static ModelSelection selection;
    return selection;
}

const RegisterModel* ActiveModel() {
    return ActiveModelSelection().Active();
}

int ClampMinPlu(int minPlu) {
    return std::clamp(minPlu, 1, 1000);
}

std::string NameHintText(const TableDescriptor& table) {
    TableKind kind{};
    if (!TableKindOf(table, kind)) {
        return {};
    }
    std::string_view lead;
    switch (kind) {
        case TableKind::kPackaging:
            lead = "Wpisz nazwę opakowania. Opakowanie może mieć: ";
            break;
        case TableKind::kGoods:
            lead = "Wpisz nazwę towaru. Nazwa może mieć: ";
            break;
        case TableKind::kCashiers:
            lead = "Wpisz nazwę kasjera. Nazwa może mieć: ";
            break;
        case TableKind::kDiscounts:
            lead = "Wpisz nazwę rabatu. Nazwa może mieć: ";
            break;
        case TableKind::kSurcharges:
            lead = "Wpisz nazwę dopłaty. Nazwa może mieć: ";
            break;
        case TableKind::kPaymentForms:
            lead = "Wpisz nazwę form płatności. Nazwa może mieć: ";
            break;
        default:
            return {};
    }
    const int column = table.ColumnOfKey("NAZ");
    if (column < 0) {
        return {};
    }
    const FieldFormat length = table.fields[static_cast<size_t>(column)].format;
    return std::string(lead) + DecimalText(length) + " znaków.";
}

std::string HeaderTotalHintText(const TableDescriptor& header) {
    int64_t sum = 0;
    for (const FieldDescriptor& f : header.fields) {
        if (f.key.empty()) {
            break;
        }
        if (IsTextFormat(f.format)) {
            sum += f.format;
        }
    }
    return "Suma znaków użytych do zaprogramowania nagłówka.\nMaksymalna wartość wynosi " +
           DecimalText(sum);
}

}  // namespace kasa
