// Register commands that read, write and delete one record of a register database, the
// deletion of a whole database, the register status and the used-goods search.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/records.h"
#include "tables/catalogue.h"

namespace kasa {

class UserInterface;

// Tables as the transfer commands name them.
enum class TableCode : int {
    kPackaging = 1,
    kKeys = 2,
    kCashiers = 3,
    kPaymentForms = 5,
    kDiscounts = 6,
    kGoods = 8,
    kHeader = 9,
    kSurcharges = 10,
    kVatRates = 11,
};

// The table code of each table kind of the catalogue.
TableCode TableCodeOfKind(TableKind kind);
// The register database a table lives in; -1 for the header and VAT rates.
int DatabaseOfTable(TableCode table);

struct RegisterStatus {
    int32_t mode = -1;
    int32_t fiscal = 0;
    int32_t optionBits = 0;
    std::string date;
    // 0: mode bit 0 clear, 1: mode bit 0, 2: fiscal, 3..5: option bits 0..2.
    std::array<uint8_t, 6> flags{};
};

// The layout of the records of the connected register.
RecordLayout LayoutOf(const ECRClass& ecr);

// Reads record `number` (1-based) into `record`; an empty record is a successful read.
template <class Record>
bool ReadBaseRecord(ECRClass& ecr, int32_t number, Record& record);
// Told of a record a write is about to send, after it was merged with the register's copy:
// that copy (null when it could not be read) and the record as it goes out. A non-empty
// result is why it must not be sent; the write then fails with that reason.
template <class Record>
using BeforeSend = std::function<std::string(const Record* registerCopy, const Record& sent)>;

// Writes a record, skipping it when the register already holds the same (packaging is
// always written). Unset numeric fields keep the register's values, read first; when that
// read gets no answer nothing is sent, and when it fails otherwise a record with unset
// fields is refused rather than sent with values nobody gave.
template <class Record>
bool WriteBaseRecord(ECRClass& ecr, int32_t number, const Record& record,
                     const BeforeSend<Record>& beforeSend = {});
// Deletes one record. Cashier 1 is never deleted. With `checkFirst` an empty record is
// left alone and counts as deleted.
bool DeleteBaseRecord(ECRClass& ecr, int32_t number, TableCode table, bool checkFirst);

bool ReadStatus(ECRClass& ecr, RegisterStatus& status);

// Deletes every record of a table, with progress and the "Info" text through `ui`.
// `caption` is the main window's caption for the messages.
bool DeleteDatabase(UserInterface& ui, const std::string& caption, ECRClass& ecr, TableCode table,
                    bool closeAfterwards, bool report, bool checkFirst);

// Results of FindUsedPlu besides a record number.
enum UsedPluResult : int {
    kUsedPluNone = -1,
    kUsedPluNotSent = -2,
    kUsedPluNoAnswer = -3,
    kUsedPluStrangeAnswer = -4,
};

// Looks for the first goods record in use; returns its number or a negative result.
// `indexes` limits the search to those record indexes; `record`, when given, is read.
int FindUsedPlu(ECRClass& ecr, const std::vector<int>* indexes, PluRecord* record,
                UserInterface* progress);
// The text the goods check shows for a FindUsedPlu result, and its caption.
std::string UsedPluMessage(int result);
inline constexpr const char* kUsedPluCaption = "Spawdzenie bazy PLU";

}  // namespace kasa
