// Moves one grid row to or from one register record, matching the record's fields to the
// grid's columns by their keys.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/database_commands.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace kasa {

// The table code of a table descriptor.
bool TableCodeOf(const TableDescriptor& table, TableCode& code);
// The column keys of a table, in the record's order.
std::vector<std::string_view> ColumnKeys(TableCode code);

class RowTransfer {
  public:
    // `tableName` is any name that contains the table's name (a control's name will do).
    RowTransfer(ECRClass& ecr, TextGrid& grid, std::string_view tableName,
                const RegisterModel& model);

    bool Valid() const { return table_ != nullptr; }
    TableCode Code() const { return code_; }
    const TableDescriptor* Table() const { return table_; }
    // The grid column of the n-th key of ColumnKeys, or -1 when the table lacks it.
    int ColumnOf(size_t keyIndex) const { return columns_[keyIndex]; }

    bool TransferRowIn(int row);
    bool TransferRowOut(int row);

  private:
    int Column(std::string_view key, int occurrence = 0) const;
    const std::string& CellOf(int row, std::string_view key, int occurrence = 0) const;
    bool Has(std::string_view key) const { return Column(key) >= 0; }
    void Put(int row, std::string_view key, const std::string& text, int occurrence = 0);
    double Amount(int row, std::string_view key) const;
    int32_t Count(int row, std::string_view key) const;
    int32_t RecordNumber(int row) const;

    ECRClass& ecr_;
    TextGrid& grid_;
    const TableDescriptor* table_ = nullptr;
    TableCode code_ = TableCode::kGoods;
    std::vector<std::string_view> keys_;
    std::vector<int> columns_;
};

}  // namespace kasa
