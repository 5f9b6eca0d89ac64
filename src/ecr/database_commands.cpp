#include "ecr/database_commands.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

#include "base/number_text.h"
#include "base/user_interface.h"
#include "ecr/record_codec.h"
#include "tables/catalogue.h"

namespace kasa {

namespace {

constexpr int32_t kFindUsedTimeoutMs = 200;
constexpr int kCommunicationMode = 3;
constexpr int kSearchMode = 1;
constexpr int kCashierDatabase = 2;

bool SendWriteOrDelete(ECRClass& ecr, iBuffer& request) {
    const bool answered = ecr.Request(request);
    if (ecr.refusal.empty()) {
        ++ecr.writtenRecords;
    }
    return answered && ecr.statusCode == 0;
}

const TableDescriptor* TableOfCode(TableCode code) {
    const RegisterModel* model = ActiveModel();
    if (model == nullptr) {
        model = &VesperModel();
    }
    for (int i = 0; i < kTableKindCount; ++i) {
        if (TableCodeOfKind(static_cast<TableKind>(i)) == code) {
            return model->tables[static_cast<size_t>(i)];
        }
    }
    return nullptr;
}

// Calls `fn` with an empty record of the table's record type; `fallback` for tables that
// are not register databases.
template <class Result, class Fn>
Result WithRecordType(TableCode table, Result fallback, Fn&& fn) {
    switch (table) {
        case TableCode::kPackaging:
            return fn(PackagingRecord{});
        case TableCode::kKeys:
            return fn(KeyRecord{});
        case TableCode::kCashiers:
            return fn(CashierRecord{});
        case TableCode::kPaymentForms:
            return fn(PaymentFormRecord{});
        case TableCode::kDiscounts:
        case TableCode::kSurcharges:
            return fn(DiscountRecord{});
        case TableCode::kGoods:
            return fn(PluRecord{});
        default:
            return fallback;
    }
}

// The table a record of this type and number is shown in.
template <class Record>
TableCode TableCodeOfRecord(int32_t number) {
    if constexpr (std::is_same_v<Record, DiscountRecord>) {
        return DiscountRecord::IsSurcharge(number) ? TableCode::kSurcharges : TableCode::kDiscounts;
    }
    for (const TableCode code : {TableCode::kPackaging, TableCode::kKeys, TableCode::kCashiers,
                                 TableCode::kPaymentForms}) {
        if (DatabaseOfTable(code) == Record::kDatabase) {
            return code;
        }
    }
    return TableCode::kGoods;
}

// Why a record is not sent when a field gives the byte ESC: `keys` are the field's column
// keys joined by "+", named by their column titles where the table shows them.
std::string EscFieldRefusal(const TableDescriptor* table, int32_t number, std::string_view keys) {
    std::string titles;
    size_t start = 0;
    for (;;) {
        const size_t plus = std::min(keys.find('+', start), keys.size());
        const std::string_view key = keys.substr(start, plus - start);
        const int column = table != nullptr ? table->ColumnOfKey(key) : -1;
        titles += titles.empty() ? "" : ", ";
        titles += column >= 0 ? table->fields[static_cast<size_t>(column)].title : key;
        if (plus == keys.size()) {
            break;
        }
        start = plus + 1;
    }
    const bool several = keys.find('+') != std::string_view::npos;
    return "Rekord " + DecimalText(number) + " tabeli " +
           (table != nullptr ? std::string(table->tableName) : std::string("?")) +
           " nie został wysłany do kasy: " + (several ? "pola " : "pole ") + titles +
           (several ? " dają" : " daje") +
           " w zapytaniu bajt 1B (ESC), którego ramka protokołu kasy nie może przenieść. "
           "Zmień wartość " +
           (several ? "jednego z tych pól." : "tego pola.");
}

// Why a record is not sent when the register's copy, which its empty cells stand for,
// could not be read.
std::string UnreadCopyRefusal(const TableDescriptor* table, int32_t number,
                              const std::string& readFailure) {
    std::string text = "Rekord " + DecimalText(number) + " tabeli " +
                       (table != nullptr ? std::string(table->tableName) : std::string("?")) +
                       " nie został wysłany do kasy: puste pola wiersza zachowują wartości z "
                       "kasy, a odczyt rekordu z kasy się nie udał.";
    if (!readFailure.empty()) {
        text += "\n" + readFailure;
    }
    return text;
}

}  // namespace

TableCode TableCodeOfKind(TableKind kind) {
    static constexpr TableCode kCodes[kTableKindCount] = {
        TableCode::kHeader,     TableCode::kVatRates,     TableCode::kPackaging,
        TableCode::kKeys,       TableCode::kCashiers,     TableCode::kDiscounts,
        TableCode::kSurcharges, TableCode::kPaymentForms, TableCode::kGoods};
    return kCodes[static_cast<size_t>(kind)];
}

int DatabaseOfTable(TableCode table) {
    return WithRecordType(table, -1, [](auto record) { return decltype(record)::kDatabase; });
}

RecordLayout LayoutOf(const ECRClass& ecr) {
    return RecordLayoutOfModelCode(ecr.modelCode);
}

template <class Record>
bool ReadBaseRecord(ECRClass& ecr, int32_t number, Record& record) {
    record = Record{};
    if (!ecr.InitTransmission()) {
        return false;
    }
    iBuffer& request = ecr.BeginRequest({number - 1, Record::kDatabase});
    request.AppendByte('H');
    if (!ecr.Exchange(request)) {
        return false;
    }
    iBuffer& answer = ecr.answerBuffer;
    const int64_t index = answer.TakeInteger();
    const int64_t database = answer.TakeInteger();
    // The echoed index and database must be the ones asked for, or the record is another's.
    if (answer.LastSeparator() != 'h' || index != number - 1 || database != Record::kDatabase) {
        return false;
    }
    return record.Decode(answer, LayoutOf(ecr), number);
}

template <class Record>
bool WriteBaseRecord(ECRClass& ecr, int32_t number, const Record& record,
                     const BeforeSend<Record>& beforeSend) {
    if (!ecr.InitTransmission()) {
        return false;
    }
    const RecordLayout layout = LayoutOf(ecr);
    Record merged = record;
    Record registerCopy;
    const bool haveCopy = ReadBaseRecord(ecr, number, registerCopy);
    if (haveCopy) {
        merged.MergeUnsetFrom(registerCopy);
        // Packaging is always written; the register's counters are kept all the same.
        if (Record::kDatabase != PackagingRecord::kDatabase &&
            SameOnWire(merged, registerCopy, layout, number)) {
            return true;
        }
    } else if (ecr.refusal.empty() && ecr.statusCode == -1) {
        // A register that did not answer the read would not hear the write either, and
        // what it holds could not be kept to undo it.
        return false;
    } else if (merged.HasUnsetField(layout)) {
        ecr.Refuse(UnreadCopyRefusal(TableOfCode(TableCodeOfRecord<Record>(number)), number,
                                     ecr.LastErrorText()));
        return false;
    }
    iBuffer& request = ecr.BeginRequest({number - 1});
    request.AppendByte(static_cast<uint8_t>(Record::kWriteLetter));
    std::string escField;
    if (!merged.Encode(request, layout, number, WireForm::kWrite, &escField)) {
        return false;
    }
    if (!escField.empty()) {
        ecr.Refuse(
            EscFieldRefusal(TableOfCode(TableCodeOfRecord<Record>(number)), number, escField));
        return false;
    }
    if (beforeSend) {
        const std::string reason = beforeSend(haveCopy ? &registerCopy : nullptr, merged);
        if (!reason.empty()) {
            ecr.Refuse(reason);
            return false;
        }
    }
    return SendWriteOrDelete(ecr, request);
}

#define KASA_INSTANTIATE_RECORD(Record)                                      \
    template bool ReadBaseRecord<Record>(ECRClass&, int32_t, Record&);       \
    template bool WriteBaseRecord<Record>(ECRClass&, int32_t, const Record&, \
                                          const BeforeSend<Record>&);
KASA_INSTANTIATE_RECORD(PackagingRecord)
KASA_INSTANTIATE_RECORD(KeyRecord)
KASA_INSTANTIATE_RECORD(CashierRecord)
KASA_INSTANTIATE_RECORD(DiscountRecord)
KASA_INSTANTIATE_RECORD(PaymentFormRecord)
KASA_INSTANTIATE_RECORD(PluRecord)
#undef KASA_INSTANTIATE_RECORD

bool DeleteBaseRecord(ECRClass& ecr, int32_t number, TableCode table, bool checkFirst) {
    const int database = DatabaseOfTable(table);
    if (database < 0 || !ecr.InitTransmission()) {
        return false;
    }
    if (checkFirst) {
        // -1 a failed read, 1 an empty record, 0 one in use.
        const int empty = WithRecordType(table, -1, [&](auto record) {
            return ReadBaseRecord(ecr, number, record) ? (record.IsEmpty() ? 1 : 0) : -1;
        });
        if (empty != 0) {
            return empty == 1;
        }
    }
    if (database == kCashierDatabase && number == 1) {
        return true;  // the first cashier must always exist
    }
    iBuffer& request = ecr.BeginRequest({number - 1});
    request.AppendByte(static_cast<uint8_t>(
        WithRecordType(table, '\0', [](auto record) { return decltype(record)::kDeleteLetter; })));
    const bool sent = SendWriteOrDelete(ecr, request);
    if (!checkFirst) {
        RegisterStatus status;
        const int32_t code = ecr.statusCode;
        ReadStatus(ecr, status);
        ecr.statusCode = code;  // the deletion's own verdict stays the one reported
    }
    return sent;
}

bool ReadStatus(ECRClass& ecr, RegisterStatus& status) {
    if (!ecr.ReadAnswer('N', 'n')) {
        return false;
    }
    iBuffer& answer = ecr.answerBuffer;
    RegisterStatus result;
    result.mode = static_cast<int32_t>(ParseHex(DecodeField(answer, kFieldHexByte)).value_or(0));
    result.fiscal = static_cast<int32_t>(ParseHex(DecodeField(answer, kFieldHexByte)).value_or(0));
    result.optionBits =
        static_cast<int32_t>(ParseHex(DecodeField(answer, kFieldHexByte)).value_or(0));
    result.date = DecodeField(answer, kFieldDate);
    result.flags[0] = (result.mode & 1) == 0 ? 1 : 0;
    result.flags[1] = (result.mode & 1) != 0 ? 1 : 0;
    result.flags[2] = result.fiscal != 0 ? 1 : 0;
    result.flags[3] = (result.optionBits & 1) != 0 ? 1 : 0;
    result.flags[4] = (result.optionBits & 2) != 0 ? 1 : 0;
    result.flags[5] = (result.optionBits & 4) != 0 ? 1 : 0;
    status = result;
    return true;
}

bool DeleteDatabase(UserInterface& ui, const std::string& caption, ECRClass& ecr, TableCode table,
                    bool closeAfterwards, bool report, bool checkFirst) {
    if (!ecr.IsIdentified() || ecr.ConfiguredPortName().empty()) {
        return false;
    }
    const TableDescriptor* descriptor = TableOfCode(table);
    if (descriptor == nullptr) {
        return false;
    }
    ui.SetProgress(0, 100);
    ui.SetStatusText("Kasowanie bazy " + std::string(descriptor->tableName));
    ecr.writtenRecords = 0;

    // Discounts and surcharges share one database: deleting discounts takes both ranges.
    std::vector<std::pair<int32_t, int32_t>> ranges = {
        {descriptor->FirstNumber, descriptor->RecordCount}};
    if (table == TableCode::kDiscounts) {
        const TableDescriptor* surcharges = TableOfCode(TableCode::kSurcharges);
        ranges.emplace_back(surcharges->FirstNumber, surcharges->RecordCount);
    }
    int32_t total = 0;
    for (const auto& range : ranges) {
        total += range.second;
    }
    bool ok = true;
    int32_t done = 0;
    for (const auto& [first, count] : ranges) {
        const TableCode code =
            first >= 5 && table == TableCode::kDiscounts ? TableCode::kSurcharges : table;
        for (int32_t number = first; ok && number < first + count; ++number) {
            if (ecr.abortRequested) {
                break;
            }
            ok = DeleteBaseRecord(ecr, number, code, checkFirst);
            ++done;
            ui.SetProgress(100 * done / total, 100);
            ui.ProcessPendingMessages();
        }
    }
    if (closeAfterwards) {
        ecr.CloseTransmission();
    }
    if (report) {
        if (!ok) {
            ui.Message(caption,
                       "Nie można skasować bazę danych.\nUruchom w kasie komunikację, lub ustaw "
                       "w oknie\nKonfiguracja Programu parametry transmisji.");
        } else if (ecr.writtenRecords == 0) {
            ui.Message(caption, "Baza była pusta.\n");
        }
    }
    ui.SetStatusText("");
    ui.SetProgress(0, 0);
    return ok;
}

int FindUsedPlu(ECRClass& ecr, const std::vector<int>* indexes, PluRecord* record,
                UserInterface* progress) {
    const int32_t savedTimeout = ecr.answerTimeout;
    ecr.answerTimeout = kFindUsedTimeoutMs;
    const RegisterModel* model = ActiveModel();
    const int32_t count = model != nullptr ? model->Table(TableKind::kGoods).RecordCount : 2300;
    const int32_t first = model != nullptr ? model->Table(TableKind::kGoods).FirstNumber : 1;
    ecr.SetMode(kSearchMode);

    // The search asks by index, counted from 0 like every other record command, so the
    // first record is looked at and no index past the end is sent.
    std::vector<int> candidates;
    if (indexes != nullptr) {
        candidates = *indexes;
    } else {
        for (int32_t index = first - 1; index < count; ++index) {
            candidates.push_back(index);
        }
    }
    int result = kUsedPluNone;
    int seen = 0;
    for (const int index : candidates) {
        if (progress != nullptr && seen % 10 == 0) {
            progress->SetProgress(100 * seen / std::max(1, count - first + 1), 100);
        }
        ++seen;
        if (index < 0 || index >= count) {
            result = kUsedPluNone;
            break;
        }
        iBuffer& request = ecr.BeginRequest({index});
        request.AppendByte(']');
        if (!ecr.SendFrame(request)) {
            result = kUsedPluNotSent;
            break;
        }
        ecr.statusCode = -1;
        ecr.answerBuffer.Clear();
        if (!ecr.Receive(ecr.receiveBuffer, ecr.answerTimeout, ECRClass::kFrameEnd) ||
            ecr.receiveBuffer.Empty()) {
            result = kUsedPluNoAnswer;
            break;
        }
        ecr.LogAnswer(ecr.receiveBuffer);
        int r = ecr.ReadRecord();
        while (r == kRecordOtherNumber) {
            r = ecr.ReadRecord();
        }
        if (r == kRecordData) {
            if (ecr.ReadRecord() < 0) {
                ecr.Receive(ecr.receiveBuffer, ecr.answerTimeout, ECRClass::kFrameEnd);
                ecr.ReadRecord();
            }
        }
        ecr.receiveBuffer.Clear();
        if (r > 0) {
            ecr.requestNumber = static_cast<uint8_t>(ecr.requestNumber + 1);
        }
        if (r != kRecordData) {
            result = kUsedPluStrangeAnswer;
            break;
        }
        iBuffer& answer = ecr.answerBuffer;
        answer.TakeInteger();
        answer.TakeInteger();
        if (answer.LastSeparator() != '}') {
            result = kUsedPluStrangeAnswer;
            break;
        }
        if (answer.Length() > 10) {
            result = index + 1;
            if (record != nullptr) {
                ReadBaseRecord(ecr, result, *record);
            }
            break;
        }
    }
    ecr.SetMode(kCommunicationMode);
    ecr.answerTimeout = savedTimeout;
    if (progress != nullptr) {
        progress->SetProgress(0, 100);
    }
    return result;
}

std::string UsedPluMessage(int result) {
    switch (result) {
        case kUsedPluNone:
            return "Baza PLU jest pusta";
        case kUsedPluNotSent:
            return "Nie można wysłać zapytania.\nSprawdź, czy port jest otwarty\ni kasa w trybie "
                   "komunikacji.";
        case kUsedPluNoAnswer:
            return "Nie można odebrać odpowiedzi.\nSprawdź, czy port jest otwarty\ni kasa w "
                   "trybie komunikacji.";
        case kUsedPluStrangeAnswer:
            return "Dziwna odpowiedź z kasy.\nBład obsługi portu.\nZamknij i otwórz "
                   "komunikację\nz kasą ponownie.";
        default:
            return "Rekord " + DecimalText(result) + " jest niepusty.";
    }
}

}  // namespace kasa
