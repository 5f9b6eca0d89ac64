// The static catalogue of the register types: for each type the nine tables it keeps,
// their record counts, numbering, file sections and columns. Everything that differs
// between register types is read from here rather than written into code.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kasa {

// Column format: 0 the record-number column; 1..63 text of at most that many characters;
// 256 and above a number (bits 4..7 integer digits, bits 0..3 declared decimals); negative
// values are the special kinds below.
using FieldFormat = int32_t;

inline constexpr FieldFormat kFormatRecordNumber = 0;
inline constexpr FieldFormat kFormatFlag = -1;      // "TAK" or "NIE"
inline constexpr FieldFormat kFormatVat = -2;       // VAT letter A..G, or a VAT rate
inline constexpr FieldFormat kFormatTime = -3;      // hh:mm
inline constexpr FieldFormat kFormatPassword = -4;  // digits or "nakt"

constexpr bool IsTextFormat(FieldFormat f) {
    return f >= 1 && f <= 63;
}
constexpr bool IsNumberFormat(FieldFormat f) {
    return f >= 256;
}
constexpr int NumberIntegerDigits(FieldFormat f) {
    return (f >> 4) & 0x0F;
}
constexpr int NumberDecimals(FieldFormat f) {
    return f & 0x0F;
}

struct FieldDescriptor {
    std::string_view key;       // at most four characters; the transfer side matches three
    std::string_view title;     // empty: not a grid column
    std::string_view editName;  // empty: shown in the grid only
    FieldFormat format = 0;
};

inline constexpr int kMaxFields = 30;

struct TableDescriptor {
    int32_t RecordCount = 0;
    int32_t FirstNumber = 1;
    int32_t RecordSize = 0;
    std::string_view sectionName;  // section of the table in a .pod file
    std::string_view keyPrefix;    // a record's .pod key is the prefix and its number
    char separator = ';';
    std::string_view tableName;  // prefixes the table's controls; the lookup key
    std::span<const FieldDescriptor> fields;

    // Leading fields that have a title, at most 30: the grid's column count.
    int FieldCount() const;
    // The column of the first field whose key is `key`, or -1.
    int ColumnOfKey(std::string_view key) const;
};

// The tables of a model, in catalogue order.
enum class TableKind : int {
    kHeader = 0,
    kVat,
    kPackaging,
    kKeys,
    kCashiers,
    kDiscounts,
    kSurcharges,
    kPaymentForms,
    kGoods,
};
inline constexpr int kTableKindCount = 9;

struct RegisterModel {
    std::string_view name;
    std::array<const TableDescriptor*, kTableKindCount> tables;

    const TableDescriptor& Table(TableKind kind) const {
        return *tables[static_cast<size_t>(kind)];
    }
};

inline constexpr std::string_view kModelNameZen = "Zen";
inline constexpr std::string_view kModelNameVesper = "Vesper";
inline constexpr std::string_view kGoodsTableName = "PLU";

const RegisterModel& ZenModel();
const RegisterModel& VesperModel();
// Both models in catalogue order: "Zen", then "Vesper".
std::span<const RegisterModel* const> AllModels();

// The first table of `model` whose table name equals `tableName`, or null.
const TableDescriptor* FindTable(const RegisterModel& model, std::string_view tableName);
// The kind of a table of any model, recognised by its table name.
bool TableKindOf(const TableDescriptor& table, TableKind& kind);
bool IsGoodsTable(const TableDescriptor& table);

// The first model, in catalogue order, whose upper-cased name contains the upper-cased
// `storedName`; null when none does or the name is empty.
const RegisterModel* MatchModel(std::string_view storedName);

// The model chosen from the register type setting. Reading it is safe from any thread.
class ModelSelection {
  public:
    // Applies the setting: a match becomes active; without one the active model stays,
    // or, when none is active yet or the name is empty, "Vesper" becomes active and the
    // setting is rewritten to "Vesper". Returns true when the active model changed.
    bool Select(std::string& storedName);
    const RegisterModel* Active() const { return active_.load(std::memory_order_acquire); }
    // A table of the active model by its table name, or null.
    const TableDescriptor* FindTable(std::string_view tableName) const;

  private:
    std::atomic<const RegisterModel*> active_{nullptr};
};

// The program's one selection.
ModelSelection& ActiveModelSelection();
const RegisterModel* ActiveModel();

// minPLU as the program uses it: clamped to 1..1000.
int ClampMinPlu(int minPlu);

// Hint of a table's name edit control, stating the name's length from the catalogue;
// empty for tables without a name column.
std::string NameHintText(const TableDescriptor& table);
// Hint of the header's character counter: the sum of the header line lengths.
std::string HeaderTotalHintText(const TableDescriptor& header);

}  // namespace kasa
