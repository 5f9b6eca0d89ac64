#include "app/read_back_check.h"

#include <algorithm>
#include <string_view>

#include "app/register_tables.h"
#include "ecr/header.h"
#include "tables/text_grid.h"

namespace kasa {

void RowWriteObservers::Add(RowWriteObserver* observer) {
    if (observer != nullptr) {
        observers_.push_back(observer);
    }
}

std::string RowWriteObservers::BeforeSend(const TableDescriptor& table, int row,
                                          const std::vector<std::string>& before,
                                          const std::vector<std::string>& after) {
    for (RowWriteObserver* observer : observers_) {
        std::string refusal = observer->BeforeSend(table, row, before, after);
        if (!refusal.empty()) {
            return refusal;
        }
    }
    return {};
}

std::string ReadBackCheck::BeforeSend(const TableDescriptor& table, int,
                                      const std::vector<std::string>& before,
                                      const std::vector<std::string>& after) {
    (void)before;
    if (after.empty()) {
        return {};
    }
    // A row tried once more goes out again: what counts is what was sent last.
    const auto key = std::make_pair(&table, after[0]);
    const auto found = index_.find(key);
    if (found != index_.end()) {
        records_[found->second].cells = after;
    } else {
        index_.emplace(key, records_.size());
        records_.push_back({&table, after});
    }
    return {};
}

void ReadBackCheck::VerifyVatRates(ECRClass& ecr, ReadBackOutcome& outcome) const {
    const TableDescriptor& vat = model_.Table(TableKind::kVat);
    VatRates read{};
    if (!ReadVatRates(ecr, read)) {
        outcome.unread.push_back(std::string(vat.tableName));
        return;
    }
    ++outcome.checked;
    for (size_t i = 0; i < read.size(); ++i) {
        // As the rate edits show them: two decimals, "nakt" or "zw".
        const std::string wrote = VatRateEditText((*vatRates_)[i]);
        const std::string found = VatRateEditText(read[i]);
        if (wrote != found) {
            const std::string letter(1, static_cast<char>('A' + i));
            outcome.differences.push_back(
                {std::string(vat.tableName), letter, "Stawka " + letter, wrote, found});
        }
    }
}

void ReadBackCheck::VerifyHeader(ECRClass& ecr, ReadBackOutcome& outcome) const {
    const TableDescriptor& table = model_.Table(TableKind::kHeader);
    HeaderLines read{};
    if (!ReadHeader(ecr, read)) {
        outcome.unread.push_back(std::string(table.tableName));
        return;
    }
    ++outcome.checked;
    const auto yesNo = [](bool flag) { return std::string(flag ? "tak" : "nie"); };
    // The lines the type has: one field each in its header table.
    const int count = std::min(table.FieldCount(), kHeaderLineCount);
    for (int i = 0; i < count; ++i) {
        const HeaderLine& wrote = (*header_)[static_cast<size_t>(i)];
        const HeaderLine& found = read[static_cast<size_t>(i)];
        const std::string number = std::to_string(table.FirstNumber + i);
        const auto differ = [&](const char* column, const std::string& a, const std::string& b) {
            if (a != b) {
                outcome.differences.push_back({std::string(table.tableName), number, column, a, b});
            }
        };
        differ("Tekst", "\"" + wrote.text + "\"", "\"" + found.text + "\"");
        differ("Podwójna wysokość", yesNo(wrote.doubleHeight), yesNo(found.doubleHeight));
        differ("Pogrubienie", yesNo(wrote.bold), yesNo(found.bold));
    }
}

ReadBackOutcome ReadBackCheck::Verify(ECRClass& ecr) const {
    ReadBackOutcome outcome;
    if (vatRates_) {
        VerifyVatRates(ecr, outcome);
    }
    if (header_) {
        VerifyHeader(ecr, outcome);
    }
    for (const Sent& sent : records_) {
        const TableDescriptor& table = *sent.table;
        const int columns = static_cast<int>(sent.cells.size());
        // The read fills the fields it knows; every other cell stays as it went out.
        TextGrid grid(columns, 2);
        for (int c = 0; c < columns; ++c) {
            grid.SetCell(c, 1, sent.cells[static_cast<size_t>(c)]);
        }
        RowTransfer transfer(ecr, grid, table.tableName, model_);
        std::vector<std::string> read;
        if (!transfer.Valid() || !transfer.ReadRowCells(1, read) ||
            read.size() != sent.cells.size()) {
            outcome.unread.push_back(std::string(table.tableName) + " " + sent.cells[0]);
            continue;
        }
        ++outcome.checked;
        const std::vector<std::string_view> keys = ColumnKeys(transfer.Code());
        for (size_t k = 0; k < keys.size(); ++k) {
            const int column = transfer.ColumnOf(k);
            // The record number is how the record was found; a key named a second time
            // (the cashier's cash in the drawer) is computed from the others, not sent.
            const bool repeated = std::find(keys.begin(), keys.begin() + static_cast<long>(k),
                                            keys[k]) != keys.begin() + static_cast<long>(k);
            if (column <= 0 || column >= columns || repeated) {
                continue;
            }
            const std::string& wrote = sent.cells[static_cast<size_t>(column)];
            const std::string& found = read[static_cast<size_t>(column)];
            if (wrote != found) {
                outcome.differences.push_back(
                    {std::string(table.tableName), sent.cells[0],
                     std::string(table.fields[static_cast<size_t>(column)].title), wrote, found});
            }
        }
    }
    return outcome;
}

std::vector<std::string> ReadBackReport(const ReadBackOutcome& outcome) {
    std::vector<std::string> lines;
    for (const ReadBackDifference& d : outcome.differences) {
        lines.push_back("Odczyt kontrolny: " + d.table + " wiersz " + d.number + ", kolumna " +
                        d.column + ": wysłano " + d.sent + ", odczytano " + d.read + ".");
    }
    for (const std::string& record : outcome.unread) {
        lines.push_back("Odczyt kontrolny: nie udało się odczytać z kasy rekordu " + record + ".");
    }
    if (outcome.Passed()) {
        lines.push_back("Odczyt kontrolny: zgodne wszystkie zapisane rekordy (" +
                        std::to_string(outcome.checked) + ").");
    } else {
        std::string verdict = "Odczyt kontrolny: kasa nie zawiera tego, co do niej wysłano";
        if (!outcome.differences.empty()) {
            verdict += " (różnic: " + std::to_string(outcome.differences.size()) + ")";
        }
        lines.push_back(verdict + ".");
    }
    return lines;
}

}  // namespace kasa
