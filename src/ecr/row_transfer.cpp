#include "ecr/row_transfer.h"

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

void RowTransfer::Put(int row, std::string_view key, const std::string& text, int occurrence) {
    const int column = Column(key, occurrence);
    if (column >= 0) {
        grid_.SetCell(column, row, text);
    }
}

double RowTransfer::Amount(int row, std::string_view key) const {
    return Has(key) ? ParseDecimal(CellOf(row, key)).value_or(0) : kUnset;
}

int32_t RowTransfer::Count(int row, std::string_view key) const {
    return Has(key) ? static_cast<int32_t>(ParseInteger(CellOf(row, key)).value_or(0)) : kUnset;
}

int32_t RowTransfer::RecordNumber(int row) const {
    const int column = Column("NUM");
    return column >= 0 ? static_cast<int32_t>(ParseInteger(grid_.Cell(column, row)).value_or(0))
                       : 0;
}

bool RowTransfer::TransferRowIn(int row) {
    if (!Valid()) {
        return false;
    }
    const int32_t number = RecordNumber(row);
    const auto amount = [](double v) { return FormatAmount(v, 2); };
    // Every record is read alike: a failed read fails the row, an empty record clears it,
    // and only a used record is shown.
    const auto readInto = [&](auto record, const auto& show) {
        if (!ReadBaseRecord(ecr_, number, record)) {
            return false;
        }
        if (record.IsEmpty()) {
            for (int c = 1; c < grid_.ColCount(); ++c) {
                grid_.SetCell(c, row, "");
            }
        } else {
            show(record);
        }
        return true;
    };
    switch (code_) {
        case TableCode::kPackaging:
            return readInto(PackagingRecord{}, [&](const PackagingRecord& r) {
                Put(row, "NAZ", r.name);
                Put(row, "CEN", amount(r.price));
                Put(row, "PRZ", amount(r.takenIn));
                Put(row, "WYD", amount(r.givenOut));
                Put(row, "SAL", PackagingBalanceText(r.balance));
            });
        case TableCode::kKeys:
            return readInto(KeyRecord{}, [&](const KeyRecord& r) {
                Put(row, "PLU", FormatCount(r.pluNumber));
                Put(row, "ILO", FormatCount(r.quantity));
                Put(row, "TRA", FlagText(r.endOfTransaction));
            });
        case TableCode::kCashiers:
            return readInto(CashierRecord{}, [&](const CashierRecord& r) {
                Put(row, "NAZ", r.name);
                Put(row, "HAS", FormatCount(r.password));
                Put(row, "OBR", amount(r.turnover));
                Put(row, "KAP", amount(r.depositsTaken));
                Put(row, "KAZ", amount(r.depositsReturned));
                Put(row, "ANU", FormatCount(r.cancelledReceipts));
                Put(row, "KWO", amount(r.cancelledAmount));
                Put(row, "STI", FormatCount(r.voidedItems));
                Put(row, "STK", amount(r.voidedAmount), 0);
                Put(row, "WPL", amount(r.paidIn));
                Put(row, "WYP", amount(r.paidOut));
                for (int i = 0; i < 4; ++i) {
                    const std::string n(1, static_cast<char>('1' + i));
                    Put(row, "PL" + n, amount(r.paymentForms[static_cast<size_t>(i)]));
                    Put(row, "RA" + n, amount(r.discounts[static_cast<size_t>(i)]));
                    Put(row, "DO" + n, amount(r.surcharges[static_cast<size_t>(i)]));
                }
                Put(row, "UTA", amount(r.takings));
                Put(row, "PAR", FormatCount(r.receipts));
                if (LayoutOf(ecr_) == RecordLayout::kVesper) {
                    Put(row, "LOG",
                        FormatLong(static_cast<int32_t>(r.permissions & 0xFFFFFFFF),
                                   static_cast<int32_t>(r.permissions >> 32)));
                }
                Put(row, "STK", amount(r.CashInDrawer()), 1);
            });
        case TableCode::kDiscounts:
        case TableCode::kSurcharges:
            return readInto(DiscountRecord{}, [&](const DiscountRecord& r) {
                Put(row, "NAZ", r.name);
                Put(row, "WAR", amount(r.percentage));
                Put(row, "KWO", amount(r.amount));
            });
        case TableCode::kPaymentForms:
            return readInto(PaymentFormRecord{}, [&](const PaymentFormRecord& r) {
                Put(row, "NAZ", r.name);
                Put(row, "KUR", FormatAmount(r.rate, 6));
                Put(row, "SPR", amount(r.sales));
            });
        case TableCode::kGoods:
            return readInto(PluRecord{}, [&](const PluRecord& r) {
                Put(row, "NAZ", r.name);
                Put(row, "KOD", r.barcode);
                Put(row, "CEN", amount(r.price));
                Put(row, "OPAK", FormatCount(r.packaging));
                Put(row, "PTU", VatLetter(r.vat));
                Put(row, "ULA", FlagText(r.fractions));
                Put(row, "ILO", FormatAmount(r.quantity, 3));
                Put(row, "WAR", amount(r.value));
                Put(row, "MIL", FormatAmount(r.stockQuantity, 3));
                Put(row, "MWA", amount(r.stockValue));
                Put(row, "GRU", FormatCount(r.group));
            });
        case TableCode::kHeader:
        case TableCode::kVatRates:
            return false;
    }
    return false;
}

bool RowTransfer::TransferRowOut(int row) {
    if (!Valid()) {
        return false;
    }
    const int32_t number = RecordNumber(row);
    switch (code_) {
        case TableCode::kPackaging: {
            PackagingRecord r;
            r.name = CellOf(row, "NAZ");
            r.price = Amount(row, "CEN");
            r.takenIn = Amount(row, "PRZ");
            r.givenOut = Amount(row, "WYD");
            r.balance = Has("SAL") ? PackagingBalanceFromText(CellOf(row, "SAL")) : kUnset;
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kKeys: {
            KeyRecord r;
            r.pluNumber = Count(row, "PLU");
            r.quantity = Count(row, "ILO");
            r.endOfTransaction = Has("TRA") ? FlagOfText(CellOf(row, "TRA")) : kUnset;
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kCashiers: {
            CashierRecord r;
            r.name = CellOf(row, "NAZ");
            if (Has("HAS")) {
                const std::string password = Utf8ToUpper(CellOf(row, "HAS"));
                r.password = password.find("NAKT") != std::string::npos
                                 ? kUnset
                                 : static_cast<int32_t>(ParseInteger(password).value_or(0));
            }
            r.turnover = Amount(row, "OBR");
            r.depositsTaken = Amount(row, "KAP");
            r.depositsReturned = Amount(row, "KAZ");
            r.cancelledReceipts = Count(row, "ANU");
            r.cancelledAmount = Amount(row, "KWO");
            r.voidedItems = Count(row, "STI");
            r.voidedAmount =
                Column("STK", 0) >= 0 ? ParseDecimal(CellOf(row, "STK", 0)).value_or(0) : kUnset;
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
            r.permissions = Has("LOG") ? ParseInteger(CellOf(row, "LOG")).value_or(0) : kUnset;
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kDiscounts:
        case TableCode::kSurcharges: {
            DiscountRecord r;
            r.name = CellOf(row, "NAZ");
            r.percentage = Amount(row, "WAR");
            r.amount = Amount(row, "KWO");
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kPaymentForms: {
            PaymentFormRecord r;
            r.name = CellOf(row, "NAZ");
            r.rate = Amount(row, "KUR");
            r.sales = Amount(row, "SPR");
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kGoods: {
            PluRecord r;
            r.name = CellOf(row, "NAZ");
            r.barcode = CellOf(row, "KOD");
            r.price = Amount(row, "CEN");
            r.packaging = Count(row, "OPAK");
            r.vat = Has("PTU") ? VatOfLetter(CellOf(row, "PTU")) : kUnset;
            r.fractions = Has("ULA") ? FlagOfText(CellOf(row, "ULA")) : kUnset;
            r.quantity = Amount(row, "ILO");
            r.value = Amount(row, "WAR");
            r.stockQuantity = Amount(row, "MIL");
            r.stockValue = Amount(row, "MWA");
            r.group = Count(row, "GRU");
            return WriteBaseRecord(ecr_, number, r);
        }
        case TableCode::kHeader:
        case TableCode::kVatRates:
            return false;
    }
    return false;
}

}  // namespace kasa
