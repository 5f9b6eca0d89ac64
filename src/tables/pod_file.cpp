#include "tables/pod_file.h"

#include <algorithm>
#include <utility>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"

namespace kasa {

namespace {

// Takes the text up to the next separator off the front of `rest`; without a separator
// the whole rest is taken and nothing remains.
std::string_view TakeField(std::string_view& rest, char separator) {
    const size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        const std::string_view field = rest;
        rest = {};
        return field;
    }
    const std::string_view field = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return field;
}

// A value that holds no record: empty, without a separator, or starting with one.
bool HoldsNoRecord(std::string_view value, char separator) {
    return value.empty() || value.front() == separator ||
           value.find(separator) == std::string_view::npos;
}

bool HasEditControl(const TableDescriptor& table, int index) {
    return index >= 0 && static_cast<size_t>(index) < table.fields.size() &&
           !table.fields[static_cast<size_t>(index)].editName.empty();
}

PodLoadResult Failure(int32_t status, std::string message) {
    return PodLoadResult{status, std::move(message)};
}

// The grid rows whose keys hold a record number and only empty cells.
std::set<int> GivenEmptyRows(const KeyValueFile& file, const TableDescriptor& table, int minPlu) {
    std::set<int> rows;
    const int first = FirstShownNumber(table, minPlu);
    for (int i = 0; i < table.RecordCount; ++i) {
        const std::string* stored = file.Find(table.sectionName, PodKey(table, first + i));
        if (stored == nullptr) {
            continue;
        }
        const size_t separator = stored->find(table.separator);
        if (separator != std::string::npos && separator > 0 &&
            stored->find_first_not_of(table.separator, separator) == std::string::npos) {
            rows.insert(i + 1);
        }
    }
    return rows;
}

// How a stored value stands as the loaders see it.
struct LineShape {
    bool record = false;  // the loader takes it as a record rather than skipping it
    int64_t fields = 0;   // one more than its separators
};

// A grid table's value. The loader skips an empty value, one that starts with the
// separator and one without any; a bare record number, though, is a record cut short
// right after its number.
LineShape GridLineShape(const std::string* stored, char separator) {
    if (stored == nullptr || stored->empty() || stored->front() == separator) {
        return {};
    }
    const int64_t separators = std::count(stored->begin(), stored->end(), separator);
    if (separators == 0 && RecordNumberOf(*stored) == 0) {
        return {};
    }
    return {true, separators + 1};
}

// A header line's or VAT rate's value: only an empty value and one that starts with the
// separator are skipped.
LineShape EditLineShape(const std::string* stored, char separator) {
    if (stored == nullptr || stored->empty() || stored->front() == separator) {
        return {};
    }
    return {true, std::count(stored->begin(), stored->end(), separator) + int64_t{1}};
}

// A header value holds the number, three flags and the text, which may itself hold
// separators; a VAT value the letter, the rate and the state, the rate as typed.
constexpr int64_t kHeaderValueFields = 5;
constexpr int64_t kVatValueFields = 3;

// The keys the loaders read: a grid table's records from the first shown one on, as many
// as the table has; the header lines; the VAT rates the window shows.
struct KeyRange {
    int64_t first = 1;
    int count = 0;
};

KeyRange GridKeys(const TableDescriptor& table, int minPlu) {
    return {FirstShownNumber(table, minPlu), table.RecordCount};
}

KeyRange HeaderKeys(const TableDescriptor& header) {
    return {header.FirstNumber, header.RecordCount};
}

KeyRange VatKeys(const TableDescriptor& vat) {
    return {vat.FirstNumber, std::min(vat.RecordCount, kVatRateCount)};
}

// The first record line under the keys whose fields are not `fields` (with `atLeast`, fewer
// than `fields`) fails; a line cut short is told apart from one with fields to spare.
template <class ShapeOf>
PodLoadResult CheckRecordLines(const KeyValueFile& file, const TableDescriptor& table,
                               KeyRange keys, int64_t fields, bool atLeast,
                               const ShapeOf& shapeOf) {
    for (int i = 0; i < keys.count; ++i) {
        const std::string key = PodKey(table, keys.first + i);
        const LineShape shape = shapeOf(file.Find(table.sectionName, key), table.separator);
        if (!shape.record) {
            continue;
        }
        if (shape.fields < fields) {
            return Failure(kLoadIncompleteLine, IncompleteLineMessage(key));
        }
        if (!atLeast && shape.fields > fields) {
            return Failure(kLoadIncompleteLine, OverlongLineMessage(key));
        }
    }
    return {};
}

PodLoadResult CheckGridLines(const KeyValueFile& file, const TableDescriptor& table, int minPlu) {
    return CheckRecordLines(file, table, GridKeys(table, minPlu), table.FieldCount(), false,
                            GridLineShape);
}

// True when some record line under the keys has `fields` fields; any record line when
// `fields` is 0. With `wholeOnly`, a last line without a line end is passed over: cut short,
// it may have the fields of the other register type's table by chance.
template <class ShapeOf>
bool HoldsLineOf(const KeyValueFile& file, const TableDescriptor& table, KeyRange keys,
                 int64_t fields, bool wholeOnly, const ShapeOf& shapeOf) {
    const std::string* unterminated = wholeOnly ? file.UnterminatedValue() : nullptr;
    for (int i = 0; i < keys.count; ++i) {
        const std::string* stored = file.Find(table.sectionName, PodKey(table, keys.first + i));
        const LineShape shape = shapeOf(stored, table.separator);
        if (shape.record && (fields == 0 || shape.fields == fields) && stored != unterminated) {
            return true;
        }
    }
    return false;
}

const RegisterModel* OtherModel(const RegisterModel& model) {
    for (const RegisterModel* other : AllModels()) {
        if (other != &model && other->name != model.name) {
            return other;
        }
    }
    return nullptr;
}

// A table in the file is the other register type's when none of its record lines has the
// chosen type's fields and some has the other type's; the header lines tell the two types
// by their keys. A table alike in both types cannot tell.
bool IsOtherTypesTable(const KeyValueFile& file, const RegisterModel& model,
                       const RegisterModel& other, TableKind kind, int minPlu) {
    const TableDescriptor& mine = model.Table(kind);
    const TableDescriptor& theirs = other.Table(kind);
    switch (kind) {
        case TableKind::kVat:
            return false;
        case TableKind::kHeader:
            return mine.keyPrefix != theirs.keyPrefix &&
                   !HoldsLineOf(file, mine, HeaderKeys(mine), 0, false, EditLineShape) &&
                   HoldsLineOf(file, theirs, HeaderKeys(theirs), 0, false, EditLineShape);
        default:
            return mine.FieldCount() != theirs.FieldCount() &&
                   !HoldsLineOf(file, mine, GridKeys(mine, minPlu), mine.FieldCount(), false,
                                GridLineShape) &&
                   HoldsLineOf(file, theirs, GridKeys(theirs, minPlu), theirs.FieldCount(), true,
                               GridLineShape);
    }
}

PodLoadResult CheckOtherType(const KeyValueFile& file, const RegisterModel& model, TableKind kind,
                             int minPlu, std::string_view fileName) {
    const RegisterModel* other = OtherModel(model);
    if (other != nullptr && IsOtherTypesTable(file, model, *other, kind, minPlu)) {
        return Failure(kLoadOtherRegisterType,
                       OtherRegisterTypeMessage(fileName.empty() ? file.FileName() : fileName,
                                                other->name, model.name));
    }
    return {};
}

}  // namespace

PodLoadResult CheckPodTable(const KeyValueFile& file, const RegisterModel& model, TableKind kind,
                            int minPlu, std::string_view fileName) {
    PodLoadResult result = CheckOtherType(file, model, kind, minPlu, fileName);
    if (!result.ok()) {
        return result;
    }
    const TableDescriptor& table = model.Table(kind);
    switch (kind) {
        case TableKind::kHeader:
            return CheckRecordLines(file, table, HeaderKeys(table), kHeaderValueFields, true,
                                    EditLineShape);
        case TableKind::kVat:
            return CheckRecordLines(file, table, VatKeys(table), kVatValueFields, true,
                                    EditLineShape);
        default:
            return CheckGridLines(file, table, minPlu);
    }
}

void SaveTableToPod(KeyValueFile& file, const RegisterModel& model, TableKind kind,
                    const TableSet& tables, int minPlu) {
    const TableDescriptor& table = model.Table(kind);
    switch (kind) {
        case TableKind::kHeader:
            SaveHeader(file, table, tables.header);
            break;
        case TableKind::kVat:
            SaveVatRates(file, table, tables.vatRates);
            break;
        default:
            SaveGridTable(file, table, tables.Grid(kind), minPlu);
            break;
    }
}

PodLoadResult LoadTableFromPod(const KeyValueFile& file, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu, std::string_view fileName) {
    // The loaders check their own lines; which register type wrote the table only the
    // model can tell.
    PodLoadResult otherType = CheckOtherType(file, model, kind, minPlu, fileName);
    if (!otherType.ok()) {
        return otherType;
    }
    const TableDescriptor& table = model.Table(kind);
    switch (kind) {
        case TableKind::kHeader:
            return LoadHeader(file, table, tables.header);
        case TableKind::kVat:
            return LoadVatRates(file, table, tables.vatRates);
        default: {
            PodLoadResult result = LoadGridTable(file, table, tables.Grid(kind), minPlu);
            tables.givenEmpty[static_cast<size_t>(kind)] = GivenEmptyRows(file, table, minPlu);
            return result;
        }
    }
}

namespace {

constexpr int kProgressSteps = 8;

}  // namespace

bool TableSet::HoldsRecordsToWrite(TableKind kind) const {
    if (!givenEmpty[static_cast<size_t>(kind)].empty()) {
        return true;
    }
    const TextGrid& grid = Grid(kind);
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (!grid.IsEmptyRecord(row)) {
            return true;
        }
    }
    return false;
}

bool TableSet::HoldsVatRates() const {
    return std::any_of(vatRates.begin(), vatRates.end(),
                       [](const std::string& rate) { return !rate.empty(); });
}

bool TableSet::HoldsHeader() const {
    return std::any_of(header.begin(), header.end(),
                       [](const HeaderLine& line) { return !line.text.empty(); });
}

std::string PodKey(const TableDescriptor& table, int64_t number) {
    return std::string(table.keyPrefix) + DecimalText(number);
}

std::string PodGridRowValue(const TableDescriptor& table, const TextGrid& grid, int row) {
    std::string value;
    const int fields = table.FieldCount();
    for (int c = 0; c < fields; ++c) {
        if (c > 0) {
            value += table.separator;
        }
        value += grid.Cell(c, row);
    }
    return value;
}

std::string PodHeaderValue(const TableDescriptor& header, int number, const HeaderLine& line) {
    const char sep = header.separator;
    std::string value = DecimalText(number);
    value += sep;
    value += line.centre ? '1' : '0';
    value += sep;
    value += line.doubleHeight ? '1' : '0';
    value += sep;
    value += line.bold ? '1' : '0';
    value += sep;
    value += line.text;
    // The reader drops one separator at the very end of a value; a text that ends in one
    // gets a second, so that the text comes back whole.
    if (!line.text.empty() && line.text.back() == sep) {
        value += sep;
    }
    return value;
}

std::string PodVatValue(const TableDescriptor& vat, int number, std::string_view rateText) {
    const char sep = vat.separator;
    std::string value(1, static_cast<char>('A' + number - 1));
    value += sep;
    const std::string upper = Utf8ToUpper(rateText);
    if (upper.find("NAKT") != std::string::npos || upper.find("NIEAK") != std::string::npos) {
        value += sep;
        value += "NIEAKTYWNA";
    } else if (upper.find("ZW") != std::string::npos) {
        value += sep;
        value += "ZWOLNIONA";
    } else {
        value += rateText;
        value += sep;
        value += "AKTYWNA";
    }
    return value;
}

void SaveGridTable(KeyValueFile& file, const TableDescriptor& table, const TextGrid& grid,
                   int minPlu) {
    const std::string_view section = table.sectionName;
    const int first = FirstShownNumber(table, minPlu);
    // Records below the first one shown are not in the grid; the first shown is written
    // again below when it holds a record.
    for (int n = 1; first > 1 && n <= first; ++n) {
        file.DeleteKey(section, PodKey(table, n));
    }
    // One row past the last is looked at too; it reads as empty.
    for (int r = 1; r <= grid.RowCount(); ++r) {
        const int number = r + first - 1;
        if (grid.IsEmptyRecord(r)) {
            file.DeleteKey(section, PodKey(table, number));
            continue;
        }
        const std::string& numberCell = grid.Cell(0, r);
        const std::string key =
            numberCell.empty() ? PodKey(table, number) : std::string(table.keyPrefix) + numberCell;
        file.WriteString(section, key, PodGridRowValue(table, grid, r));
    }
}

// The header lines and VAT rates are kept one key per edit the window shows.
template <class ValueOf>
void SaveEditValues(KeyValueFile& file, const TableDescriptor& table, int count,
                    const ValueOf& valueOf) {
    for (int i = 0; i < table.RecordCount && i < count; ++i) {
        if (HasEditControl(table, i)) {
            const int number = table.FirstNumber + i;
            file.WriteString(table.sectionName, PodKey(table, number), valueOf(i, number));
        }
    }
}

void SaveHeader(KeyValueFile& file, const TableDescriptor& header, const HeaderLines& lines) {
    SaveEditValues(file, header, kHeaderLineCount, [&](int i, int number) {
        return PodHeaderValue(header, number, lines[static_cast<size_t>(i)]);
    });
}

void SaveVatRates(KeyValueFile& file, const TableDescriptor& vat, const VatRateTexts& rates) {
    SaveEditValues(file, vat, kVatRateCount, [&](int i, int) {
        return PodVatValue(vat, i + 1, rates[static_cast<size_t>(i)]);
    });
}

PodLoadResult LoadGridTable(const KeyValueFile& file, const TableDescriptor& table, TextGrid& grid,
                            int minPlu) {
    PodLoadResult checked = CheckGridLines(file, table, minPlu);
    if (!checked.ok()) {
        return checked;
    }
    SetUpGrid(grid, table, false, true, minPlu);
    grid.ClearValues();
    const char sep = table.separator;
    const int first = FirstShownNumber(table, minPlu);
    const int fields = table.FieldCount();
    PodLoadResult result;
    for (int i = 0; i < table.RecordCount; ++i) {
        const std::string* stored = file.Find(table.sectionName, PodKey(table, first + i));
        if (stored == nullptr || HoldsNoRecord(*stored, sep)) {
            continue;
        }
        std::string_view rest = *stored;
        const int64_t number = RecordNumberOf(TakeField(rest, sep));
        if (number == 0) {
            result =
                Failure(kLoadPodBadStructure, PodBadStructureMessage(table.keyPrefix, first + i));
            break;
        }
        const int64_t row = number - first + 1;
        if (row < 1 || row >= grid.RowCount()) {
            result = Failure(kLoadPodRowOutOfRange, PodRowOutOfRangeMessage(number));
            break;
        }
        // Register counters have no edit control: they are not read and take no value.
        for (int c = 1; c < fields; ++c) {
            if (HasEditControl(table, c)) {
                grid.SetCell(c, static_cast<int>(row), std::string(TakeField(rest, sep)));
            }
        }
    }
    SetUpGrid(grid, table, false, true, minPlu);
    return result;
}

PodLoadResult LoadHeader(const KeyValueFile& file, const TableDescriptor& header,
                         HeaderLines& lines) {
    PodLoadResult checked =
        CheckRecordLines(file, header, HeaderKeys(header), kHeaderValueFields, true, EditLineShape);
    if (!checked.ok()) {
        return checked;
    }
    const char sep = header.separator;
    const int64_t first = header.FirstNumber;
    const int64_t last = header.FirstNumber + header.RecordCount - 1;
    for (int64_t n = first; n <= last; ++n) {
        const std::string* stored = file.Find(header.sectionName, PodKey(header, n));
        if (stored == nullptr || stored->empty() || stored->front() == sep) {
            continue;
        }
        std::string_view rest = *stored;
        const int64_t number = RecordNumberOf(TakeField(rest, sep));
        if (number == 0) {
            return Failure(kLoadPodBadStructure, PodBadStructureMessage(header.keyPrefix, n));
        }
        if (number < first || number > last) {
            return Failure(kLoadPodRowOutOfRange, PodRowOutOfRangeMessage(number));
        }
        if (!rest.empty() && rest.back() == sep) {
            rest.remove_suffix(1);
        }
        HeaderLine line;
        line.centre = ParseLenientInteger(TakeField(rest, sep)) > 0;
        line.doubleHeight = ParseLenientInteger(TakeField(rest, sep)) > 0;
        line.bold = ParseLenientInteger(TakeField(rest, sep)) > 0;
        line.text = std::string(rest);
        const int64_t index = number - first;
        if (index < kHeaderLineCount) {
            lines[static_cast<size_t>(index)] = std::move(line);
        }
    }
    return {};
}

PodLoadResult LoadVatRates(const KeyValueFile& file, const TableDescriptor& vat,
                           VatRateTexts& rates) {
    PodLoadResult checked =
        CheckRecordLines(file, vat, VatKeys(vat), kVatValueFields, true, EditLineShape);
    if (!checked.ok()) {
        return checked;
    }
    const char sep = vat.separator;
    for (int i = 0; i < vat.RecordCount && i < kVatRateCount; ++i) {
        const std::string* stored = file.Find(vat.sectionName, PodKey(vat, vat.FirstNumber + i));
        if (stored == nullptr || stored->empty() || stored->front() == sep) {
            continue;
        }
        std::string_view rest = *stored;
        TakeField(rest, sep);  // the rate's letter
        const std::string_view rate = TakeField(rest, sep);
        const std::string state = Utf8ToUpper(TakeField(rest, sep));
        std::string& target = rates[static_cast<size_t>(i)];
        if (state == "NIEAKTYWNA") {
            target = "nakt";
        } else if (state == "ZWOLNIONA") {
            target = "zw";
        } else {
            target = std::string(rate);
        }
    }
    return {};
}

WriteResult SaveTableToPodFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               const TableSet& tables, int minPlu) {
    KeyValueFile file(LiteralFileName{}, path);
    SaveTableToPod(file, model, kind, tables, minPlu);
    return file.Write();
}

WriteResult SaveAllToPodFile(const std::string& path, const RegisterModel& model,
                             const TableSet& tables, int minPlu, UserInterface& ui,
                             const std::string& title) {
    KeyValueFile file(LiteralFileName{}, path);
    int done = 0;
    for (TableKind kind : kPodAllOrder) {
        SaveTableToPod(file, model, kind, tables, minPlu);
        if (++done <= kProgressSteps) {
            ui.SetProgress(done, kProgressSteps);
        }
    }
    WriteResult result = file.Write();
    if (!result.ok) {
        ui.Message(title, result.message);
    }
    return result;
}

PodLoadResult LoadAllFromPodFile(const std::string& path, const RegisterModel& model,
                                 TableSet& tables, int minPlu, UserInterface& ui,
                                 const std::string& title) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        text.clear();  // missing or unreadable: nothing to load
    }
    const int32_t status = DecodeTableFileText(text);
    KeyValueFile file;
    file.ParseText(text);
    text = std::string();
    const bool holdsTable = std::any_of(kPodAllOrder.begin(), kPodAllOrder.end(), [&](TableKind k) {
        return file.SectionExists(model.Table(k).sectionName);
    });
    if (status != kLoadOk || !holdsTable) {
        // Nothing in the file is a table: the window keeps what it holds.
        PodLoadResult refused{status != kLoadOk ? status : kLoadNoTableSection, {}};
        refused.message = status == kLoadNotText ? NotTextFileMessage(path)
                          : status == kLoadOk    ? "Plik " + path + " nie zawiera żadnej tabeli."
                                                 : LoadStatusMessage(status, 0, 0);
        ui.Message(title, refused.message);
        return refused;
    }
    // Every table is checked before any is loaded: a file of the other register type, or
    // one cut short, changes nothing. The other type explains a wrong line best, so it is
    // looked for in every table first.
    PodLoadResult refused;
    for (TableKind kind : kPodAllOrder) {
        PodLoadResult checked = CheckOtherType(file, model, kind, minPlu, path);
        if (!checked.ok()) {
            refused = std::move(checked);
            break;
        }
    }
    for (size_t i = 0; refused.ok() && i < kPodAllOrder.size(); ++i) {
        refused = CheckPodTable(file, model, kPodAllOrder[i], minPlu, path);
    }
    if (!refused.ok()) {
        ui.Message(title, refused.message);
        return refused;
    }
    PodLoadResult first;
    int done = 0;
    for (TableKind kind : kPodAllOrder) {
        PodLoadResult result = LoadTableFromPod(file, model, kind, tables, minPlu, path);
        if (!result.ok()) {
            ui.Message(title, result.message);
            if (first.ok()) {
                first = std::move(result);
            }
        }
        if (++done <= kProgressSteps) {
            ui.SetProgress(done, kProgressSteps);
        }
    }
    return first;
}

}  // namespace kasa
