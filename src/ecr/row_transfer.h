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

// Told of every record a row write is about to change, before it is sent.
class RowWriteObserver {
  public:
    virtual ~RowWriteObserver() = default;
    // `before` holds the row's cells as a read of the register's record would show them
    // (empty when that record could not be read), `after` the same for the record as it
    // goes out, its empty cells filled from the register. Column 0 is the record number.
    // A non-empty result is why the record must not be sent; the row then fails.
    virtual std::string BeforeSend(const TableDescriptor& table, int row,
                                   const std::vector<std::string>& before,
                                   const std::vector<std::string>& after) = 0;
};

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
    // Empty numeric cells keep the register's values; a row without a name (a key without
    // a goods number) is an empty record and goes out with zeros.
    bool TransferRowOut(int row);
    // Reads the row's record into `cells` (the row's cells as a read would leave them)
    // without touching the grid.
    bool ReadRowCells(int row, std::vector<std::string>& cells);
    void SetWriteObserver(RowWriteObserver* observer) { observer_ = observer; }

  private:
    template <class Record>
    void ShowRecord(const Record& record, std::vector<std::string>& cells) const;
    template <class Record>
    std::vector<std::string> CellsOf(const Record& record, int row) const;
    template <class Record>
    bool Write(int row, int32_t number, const Record& record);
    int Column(std::string_view key, int occurrence = 0) const;
    const std::string& CellOf(int row, std::string_view key, int occurrence = 0) const;
    bool Has(std::string_view key) const { return Column(key) >= 0; }
    void Put(std::vector<std::string>& cells, std::string_view key, const std::string& text,
             int occurrence = 0) const;
    // A number cell; an empty or unreadable one, or a column the table lacks, is unset
    // (zero in an empty record).
    double Amount(int row, std::string_view key, int occurrence = 0) const;
    int32_t Count(int row, std::string_view key) const;
    int32_t Flag(int row, std::string_view key) const;
    bool IsEmptyRecordRow(int row) const;
    int32_t RecordNumber(int row) const;

    ECRClass& ecr_;
    TextGrid& grid_;
    const TableDescriptor* table_ = nullptr;
    TableCode code_ = TableCode::kGoods;
    std::vector<std::string_view> keys_;
    std::vector<int> columns_;
    RowWriteObserver* observer_ = nullptr;
    // Set while an empty record is built: its unset fields are zeros.
    bool emptyRecord_ = false;
};

}  // namespace kasa
