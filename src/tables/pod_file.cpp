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

}  // namespace

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
                               TableSet& tables, int minPlu) {
    const TableDescriptor& table = model.Table(kind);
    switch (kind) {
        case TableKind::kHeader:
            return LoadHeader(file, table, tables.header);
        case TableKind::kVat:
            return LoadVatRates(file, table, tables.vatRates);
        default:
            return LoadGridTable(file, table, tables.Grid(kind), minPlu);
    }
}

namespace {

constexpr int kProgressSteps = 8;

}  // namespace

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
    PodLoadResult first;
    int done = 0;
    for (TableKind kind : kPodAllOrder) {
        PodLoadResult result = LoadTableFromPod(file, model, kind, tables, minPlu);
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
