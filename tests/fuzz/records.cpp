// Record answers of every table on both register types. A record read from any answer,
// sent back as the register would send it and read again, gives the same answer bytes.
#include "ecr/records.h"
#include "fuzz_check.h"

using namespace kasa;

namespace {

// The register's answer bytes for a record, or false when it has none.
template <class Record>
bool AnswerBytes(const Record& record, RecordLayout layout, int32_t number, iBuffer& out) {
    out.Clear();
    if constexpr (std::is_same_v<Record, TotalsRecord>) {
        return record.EncodeAnswer(out);
    } else {
        return record.Encode(out, layout, number, WireForm::kAnswer);
    }
}

template <class Record>
bool DecodeRecord(Record& record, iBuffer& answer, RecordLayout layout, int32_t number) {
    if constexpr (std::is_same_v<Record, TotalsRecord>) {
        return record.Decode(answer);
    } else {
        return record.Decode(answer, layout, number);
    }
}

template <class Record>
void Check(const uint8_t* data, size_t size, RecordLayout layout, int32_t number) {
    iBuffer answer;
    answer.AppendBytes(data, size);
    Record first;
    iBuffer firstBytes;
    if (!DecodeRecord(first, answer, layout, number) ||
        !AnswerBytes(first, layout, number, firstBytes)) {
        return;
    }
    iBuffer hex(firstBytes);
    hex.ToHexText();
    Record second;
    iBuffer secondBytes;
    fuzz::Require(DecodeRecord(second, hex, layout, number), "a sent record does not read back");
    fuzz::Require(AnswerBytes(second, layout, number, secondBytes),
                  "a record read back cannot be sent");
    fuzz::RequireSameText(firstBytes.View(), secondBytes.View(), "a record changed on its way");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int choice = fuzz::TakeChoice(data, size, 14);
    const RecordLayout layout = choice % 2 == 0 ? RecordLayout::kZen : RecordLayout::kVesper;
    // Discounts and surcharges differ by number; the others do not look at it.
    const int32_t number = fuzz::TakeChoice(data, size, 10);
    using CheckOne = void (*)(const uint8_t*, size_t, RecordLayout, int32_t);
    constexpr CheckOne kChecks[] = {
        Check<PackagingRecord>,   Check<KeyRecord>, Check<CashierRecord>, Check<DiscountRecord>,
        Check<PaymentFormRecord>, Check<PluRecord>, Check<TotalsRecord>};
    kChecks[choice / 2](data, size, layout, number);
    return 0;
}
