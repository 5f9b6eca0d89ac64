#include "ecr/row_transfer.h"

#include <optional>
#include <type_traits>

#include "base/codepage.h"
#include "ecr/record_codec.h"
#include "ecr/records.h"

namespace kasa {

namespace {

const std::string kEmpty;

bool SameFirstThree(std::string_view a, std::string_view b) {
    return a.substr(0, 3) == b.substr(0, 3);
}

}  // namespace

bool TableCodeOf(const TableDescriptor& table, TableCode& code) {
    TableKind kind;
    if (!TableKindOf(table, kind)) {
        return false;
    }
    code = TableCodeOfKind(kind);
    return true;
}

std::vector<std::string_view> ColumnKeys(TableCode code) {
    switch (code) {
        case TableCode::kPackaging:
            return {"NUM", "NAZ", "CEN", "PRZ", "WYD", "SAL"};
        case TableCode::kKeys:
            return {"NUM", "PLU", "ILO", "TRA"};
        case TableCode::kCashiers:
            return {"NUM", "NAZ", "HAS", "OBR", "KAP", "KAZ", "ANU", "KWO", "STI", "STK",
                    "WPL", "WYP", "PL1", "PL2", "PL3", "PL4", "UTA", "RA1", "RA2", "RA3",
                    "RA4", "DO1", "DO2", "DO3", "DO4", "PAR", "LOG", "STK"};
        case TableCode::kDiscounts:
        case TableCode::kSurcharges:
            return {"NUM", "NAZ", "WAR", "KWO"};
        case TableCode::kPaymentForms:
            return {"NUM", "NAZ", "KUR", "SPR"};
        case TableCode::kGoods:
            return {"NUM", "NAZ", "KOD", "CEN", "OPAK", "PTU",
                    "ULA", "ILO", "WAR", "MIL", "MWA",  "GRU"};
        case TableCode::kHeader:
            return {"LN1", "LN2", "LN3", "LN4", "LN5", "LN6", "LN7", "LN8"};
        case TableCode::kVatRates:
            return {"VATA", "VATB", "VATC", "VATD", "VATE", "VATF", "VATG"};
    }
    return {};
}

RowTransfer::RowTransfer(ECRClass& ecr, TextGrid& grid, std::string_view tableName,
                         const RegisterModel& model)
    : ecr_(ecr), grid_(grid) {
    for (const TableDescriptor* table : model.tables) {
        if (!table->tableName.empty() && tableName.find(table->tableName) != std::string::npos) {
            table_ = table;
            break;
        }
    }
    if (table_ == nullptr || !TableCodeOf(*table_, code_)) {
        table_ = nullptr;
        return;
    }
    keys_ = ColumnKeys(code_);
    const int fieldCount = table_->FieldCount();
    int stkSeen = 0;
    for (const std::string_view key : keys_) {
        int column = -1;
        if (code_ == TableCode::kCashiers && key == "STK") {
            // The cashier list names STK twice: the voided amount belongs under "Storno"
            // and the computed cash under "Kasa"; matching both to the first STK column
            // would leave "Storno" empty on one type and show the cash as "Storno" on
            // the other.
            const std::string_view title = stkSeen++ == 0 ? "Storno" : "Kasa";
            for (int c = 0; c < fieldCount; ++c) {
                if (table_->fields[static_cast<size_t>(c)].key == "STK" &&
                    table_->fields[static_cast<size_t>(c)].title == title) {
                    column = c;
                    break;
                }
            }
        } else {
            for (int c = 0; c < fieldCount; ++c) {
                if (SameFirstThree(table_->fields[static_cast<size_t>(c)].key, key)) {
                    column = c;
                    break;
                }
            }
        }
        columns_.push_back(column);
    }
}

int RowTransfer::Column(std::string_view key, int occurrence) const {
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key && occurrence-- == 0) {
            return columns_[i];
        }
    }
    return -1;
}

const std::string& RowTransfer::CellOf(int row, std::string_view key, int occurrence) const {
    const int column = Column(key, occurrence);
    return column >= 0 ? grid_.Cell(column, row) : kEmpty;
}

void RowTransfer::Put(std::vector<std::string>& cells, std::string_view key,
                      const std::string& text, int occurrence) const {
    const int column = Column(key, occurrence);
    if (column >= 0 && static_cast<size_t>(column) < cells.size()) {
        cells[static_cast<size_t>(column)] = text;
    }
}

double RowTransfer::Amount(int row, std::string_view key, int occurrence) const {
    const double unset = emptyRecord_ ? 0.0 : static_cast<double>(kUnset);
    if (Column(key, occurrence) < 0) {
        return unset;
    }
    return ParseDecimal(CellOf(row, key, occurrence)).value_or(unset);
}

int32_t RowTransfer::Count(int row, std::string_view key) const {
    const int32_t unset = emptyRecord_ ? 0 : kUnset;
    if (!Has(key)) {
        return unset;
    }
    const std::optional<int64_t> value = ParseInteger(CellOf(row, key));
    return value ? static_cast<int32_t>(*value) : unset;
}

int32_t RowTransfer::Flag(int row, std::string_view key) const {
    const int32_t unset = emptyRecord_ ? 0 : kUnset;
    return Has(key) && !CellOf(row, key).empty() ? FlagOfText(CellOf(row, key)) : unset;
}

bool RowTransfer::IsEmptyRecordRow(int row) const {
    if (code_ == TableCode::kKeys) {
        return ParseInteger(CellOf(row, "PLU")).value_or(0) == 0;
    }
    return CellOf(row, "NAZ").empty();
}

int32_t RowTransfer::RecordNumber(int row) const {
    const int column = Column("NUM");
    return column >= 0 ? static_cast<int32_t>(ParseInteger(grid_.Cell(column, row)).value_or(0))
                       : 0;
}

template <class Record>
void RowTransfer::ShowRecord(const Record& r, std::vector<std::string>& cells) const {
    const auto amount = [](double v) { return FormatAmount(v, 2); };
    if constexpr (std::is_same_v<Record, PackagingRecord>) {
        Put(cells, "NAZ", r.name);
        Put(cells, "CEN", amount(r.price));
        Put(cells, "PRZ", amount(r.takenIn));
        Put(cells, "WYD", amount(r.givenOut));
        Put(cells, "SAL", PackagingBalanceText(r.balance));
    } else if constexpr (std::is_same_v<Record, KeyRecord>) {
        Put(cells, "PLU", FormatCount(r.pluNumber));
        Put(cells, "ILO", FormatCount(r.quantity));
        Put(cells, "TRA", FlagText(r.endOfTransaction));
    } else if constexpr (std::is_same_v<Record, CashierRecord>) {
        Put(cells, "NAZ", r.name);
        Put(cells, "HAS", FormatCount(r.password));
        Put(cells, "OBR", amount(r.turnover));
        Put(cells, "KAP", amount(r.depositsTaken));
        Put(cells, "KAZ", amount(r.depositsReturned));
        Put(cells, "ANU", FormatCount(r.cancelledReceipts));
        Put(cells, "KWO", amount(r.cancelledAmount));
        Put(cells, "STI", FormatCount(r.voidedItems));
        Put(cells, "STK", amount(r.voidedAmount), 0);
        Put(cells, "WPL", amount(r.paidIn));
        Put(cells, "WYP", amount(r.paidOut));
        for (int i = 0; i < 4; ++i) {
            const std::string n(1, static_cast<char>('1' + i));
            Put(cells, "PL" + n, amount(r.paymentForms[static_cast<size_t>(i)]));
            Put(cells, "RA" + n, amount(r.discounts[static_cast<size_t>(i)]));
            Put(cells, "DO" + n, amount(r.surcharges[static_cast<size_t>(i)]));
        }
        Put(cells, "UTA", amount(r.takings));
        Put(cells, "PAR", FormatCount(r.receipts));
        if (LayoutOf(ecr_) == RecordLayout::kVesper) {
            Put(cells, "LOG",
                FormatLong(static_cast<int32_t>(r.permissions & 0xFFFFFFFF),
                           static_cast<int32_t>(r.permissions >> 32)));
        }
        Put(cells, "STK", amount(r.CashInDrawer()), 1);
    } else if constexpr (std::is_same_v<Record, DiscountRecord>) {
        Put(cells, "NAZ", r.name);
        Put(cells, "WAR", amount(r.percentage));
        Put(cells, "KWO", amount(r.amount));
    } else if constexpr (std::is_same_v<Record, PaymentFormRecord>) {
        Put(cells, "NAZ", r.name);
        Put(cells, "KUR", FormatAmount(r.rate, 6));
        Put(cells, "SPR", amount(r.sales));
    } else {
        Put(cells, "NAZ", r.name);
        Put(cells, "KOD", r.barcode);
        Put(cells, "CEN", amount(r.price));
        Put(cells, "OPAK", FormatCount(r.packaging));
        Put(cells, "PTU", VatLetter(r.vat));
        Put(cells, "ULA", FlagText(r.fractions));
        Put(cells, "ILO", FormatAmount(r.quantity, 3));
        Put(cells, "WAR", amount(r.value));
        Put(cells, "MIL", FormatAmount(r.stockQuantity, 3));
        Put(cells, "MWA", amount(r.stockValue));
        Put(cells, "GRU", FormatCount(r.group));
    }
}

// The row's cells as a read of `record` leaves them: an empty record clears every cell but
// the record number; a used one fills the columns of its fields.
template <class Record>
std::vector<std::string> RowTransfer::CellsOf(const Record& record, int row) const {
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(grid_.ColCount()));
    for (int c = 0; c < grid_.ColCount(); ++c) {
        cells.push_back(c == 0 || !record.IsEmpty() ? grid_.Cell(c, row) : std::string());
    }
    if (!record.IsEmpty()) {
        ShowRecord(record, cells);
    }
    return cells;
}

bool RowTransfer::ReadRowCells(int row, std::vector<std::string>& cells) {
    if (!Valid()) {
        return false;
    }
    const int32_t number = RecordNumber(row);
    const auto readInto = [&](auto record) {
        if (!ReadBaseRecord(ecr_, number, record)) {
            return false;
        }
        cells = CellsOf(record, row);
        return true;
    };
    switch (code_) {
        case TableCode::kPackaging:
            return readInto(PackagingRecord{});
        case TableCode::kKeys:
            return readInto(KeyRecord{});
        case TableCode::kCashiers:
            return readInto(CashierRecord{});
        case TableCode::kDiscounts:
        case TableCode::kSurcharges:
            return readInto(DiscountRecord{});
        case TableCode::kPaymentForms:
            return readInto(PaymentFormRecord{});
        case TableCode::kGoods:
            return readInto(PluRecord{});
        case TableCode::kHeader:
        case TableCode::kVatRates:
            return false;
    }
    return false;
}

bool RowTransfer::TransferRowIn(int row) {
    std::vector<std::string> cells;
    if (!ReadRowCells(row, cells)) {
        return false;
    }
    for (int c = 1; c < grid_.ColCount() && static_cast<size_t>(c) < cells.size(); ++c) {
        grid_.SetCell(c, row, cells[static_cast<size_t>(c)]);
    }
    return true;
}

template <class Record>
bool RowTransfer::Write(int row, int32_t number, const Record& record) {
    emptyRecord_ = false;
    if (observer_ == nullptr) {
        return WriteBaseRecord(ecr_, number, record);
    }
    return WriteBaseRecord<Record>(
        ecr_, number, record, [&](const Record* registerCopy, const Record& sent) {
            const std::vector<std::string> before =
                registerCopy != nullptr ? CellsOf(*registerCopy, row) : std::vector<std::string>{};
            return observer_->BeforeSend(*table_, row, before, CellsOf(sent, row));
        });
}

bool RowTransfer::TransferRowOut(int row) {
    if (!Valid()) {
        return false;
    }
    const int32_t number = RecordNumber(row);
    emptyRecord_ = IsEmptyRecordRow(row);
    switch (code_) {
        case TableCode::kPackaging: {
            PackagingRecord r;
            r.name = CellOf(row, "NAZ");
            r.price = Amount(row, "CEN");
            r.takenIn = Amount(row, "PRZ");
            r.givenOut = Amount(row, "WYD");
            r.balance = Has("SAL") && !CellOf(row, "SAL").empty()
                            ? PackagingBalanceFromText(CellOf(row, "SAL"))
                            : Amount(row, "SAL");
            return Write(row, number, r);
        }
        case TableCode::kKeys: {
            KeyRecord r;
            r.pluNumber = Count(row, "PLU");
            r.quantity = Count(row, "ILO");
            r.endOfTransaction = Flag(row, "TRA");
            return Write(row, number, r);
        }
        case TableCode::kCashiers: {
            CashierRecord r;
            r.name = CellOf(row, "NAZ");
            const std::string password = Utf8ToUpper(CellOf(row, "HAS"));
            if (password.find("NAKT") != std::string::npos) {
                r.password = kUnset;  // no password
            } else if (const std::optional<int64_t> value = ParseInteger(password)) {
                r.password = static_cast<int32_t>(*value);
            } else {
                r.password = emptyRecord_ ? 0 : CashierRecord::kKeepPassword;
            }
            r.turnover = Amount(row, "OBR");
            r.depositsTaken = Amount(row, "KAP");
            r.depositsReturned = Amount(row, "KAZ");
            r.cancelledReceipts = Count(row, "ANU");
            r.cancelledAmount = Amount(row, "KWO");
            r.voidedItems = Count(row, "STI");
            r.voidedAmount = Amount(row, "STK", 0);
            r.paidIn = Amount(row, "WPL");
            r.paidOut = Amount(row, "WYP");
            for (int i = 0; i < 4; ++i) {
                const std::string n(1, static_cast<char>('1' + i));
                r.paymentForms[static_cast<size_t>(i)] = Amount(row, "PL" + n);
                r.discounts[static_cast<size_t>(i)] = Amount(row, "RA" + n);
                r.surcharges[static_cast<size_t>(i)] = Amount(row, "DO" + n);
            }
            r.takings = Amount(row, "UTA");
            r.receipts = Count(row, "PAR");
            if (Has("LOG") && ParseInteger(CellOf(row, "LOG"))) {
                r.permissions = *ParseInteger(CellOf(row, "LOG"));
            } else if (emptyRecord_) {
                r.permissions = 0;
            }
            return Write(row, number, r);
        }
        case TableCode::kDiscounts:
        case TableCode::kSurcharges: {
            DiscountRecord r;
            r.name = CellOf(row, "NAZ");
            r.percentage = Amount(row, "WAR");
            r.amount = Amount(row, "KWO");
            return Write(row, number, r);
        }
        case TableCode::kPaymentForms: {
            PaymentFormRecord r;
            r.name = CellOf(row, "NAZ");
            r.rate = Amount(row, "KUR");
            r.sales = Amount(row, "SPR");
            return Write(row, number, r);
        }
        case TableCode::kGoods: {
            PluRecord r;
            r.name = CellOf(row, "NAZ");
            r.barcode = CellOf(row, "KOD");
            r.price = Amount(row, "CEN");
            r.packaging = Count(row, "OPAK");
            r.vat = Has("PTU") ? VatOfLetter(CellOf(row, "PTU")) : kUnset;
            if (emptyRecord_ && IsUnset(r.vat)) {
                r.vat = 0;
            }
            r.fractions = Flag(row, "ULA");
            r.quantity = Amount(row, "ILO");
            r.value = Amount(row, "WAR");
            r.stockQuantity = Amount(row, "MIL");
            r.stockValue = Amount(row, "MWA");
            r.group = Count(row, "GRU");
            return Write(row, number, r);
        }
        case TableCode::kHeader:
        case TableCode::kVatRates:
            emptyRecord_ = false;
            return false;
    }
    emptyRecord_ = false;
    return false;
}

}  // namespace kasa
