#include "app/register_tables.h"

#include "base/user_interface.h"
#include "ecr/header.h"
#include "ecr/record_codec.h"
#include "ecr/row_transfer.h"
#include "ecr/vat_totals.h"

namespace kasa {

std::string VatRateEditText(double rate) {
    const std::string shown = VatRateText(rate);
    if (shown == "nakt") {
        return "nakt";
    }
    if (shown == "zw.") {
        return "zw";
    }
    return FormatAmount(rate, 2);
}

bool ReadTableFromRegister(ECRClass& ecr, const RegisterModel& model, TableKind kind,
                           TableSet& tables, int minPlu, UserInterface* progress,
                           std::string& error) {
    const TableDescriptor& table = model.Table(kind);
    if (kind == TableKind::kHeader) {
        if (!ReadHeader(ecr, tables.header)) {
            error = "Nie można odczytać nagłówka.\n" + ecr.TransmissionErrorText();
            return false;
        }
        return true;
    }
    if (kind == TableKind::kVat) {
        VatRates rates{};
        if (!ReadVatRates(ecr, rates)) {
            error = "Nie można odczytać stawek VAT z kasy.\n" + ecr.TransmissionErrorText();
            return false;
        }
        for (size_t i = 0; i < rates.size(); ++i) {
            tables.vatRates[i] = VatRateEditText(rates[i]);
        }
        return true;
    }
    TextGrid& grid = tables.Grid(kind);
    SetUpGrid(grid, table, true, true, minPlu);
    RowTransfer transfer(ecr, grid, table.tableName, model);
    const int rows = grid.RowCount() - 1;
    if (progress != nullptr) {
        progress->SetStatusText("Odczyt " + std::string(table.tableName));
    }
    for (int row = 1; row <= rows; ++row) {
        if (!transfer.TransferRowIn(row)) {
            error = "Błąd odczytu rekordu " + grid.Cell(0, row) + " tabeli " +
                    std::string(table.tableName) + ".\n" + ecr.TransmissionErrorText();
            return false;
        }
        if (progress != nullptr && (row % 10 == 0 || row == rows)) {
            progress->SetProgress(row, rows);
        }
    }
    return true;
}

}  // namespace kasa
