// One record of each register database, with its wire layout on both register types.
// A record is encoded into a write request (after the index and the write letter), or
// into the bytes of a read answer as the register sends them before they are turned into
// hexadecimal digits, and decoded from an answer after its echoed numbers and letter.
//
// Encoding names, in `escField`, the column keys of the first field whose bytes hold ESC
// (0x1B), which no frame can carry, keys joined by "+"; empty when there is none.
//
// A numeric field of -1 (any negative value) is unset: the database commands fill it from
// the register's copy. A record that still has an unset field is never sent (it would go
// out as 0, a value nobody gave); `HasUnsetField` tells which records those are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "comm/ibuffer.h"

namespace kasa {

// The record layouts of the two register types; the session's model code 1 is ZEN, any
// other is served with the VESPER layout.
enum class RecordLayout { kZen, kVesper };
RecordLayout RecordLayoutOfModelCode(int32_t modelCode);

// Which of a field's two codes is used: a write request, or a read answer.
enum class WireForm { kWrite, kAnswer };

inline constexpr int32_t kUnset = -1;
constexpr bool IsUnset(double value) {
    return value < 0;
}
constexpr bool IsUnset(int32_t value) {
    return value < 0;
}
constexpr bool IsUnset(int64_t value) {
    return value < 0;
}

// Letters of the goods VAT rates, 0 = "A" .. 6 = "G"; anything else gives the empty text.
std::string VatLetter(int32_t vat);
// 0..6 for a text starting with A..G (either case), else -1.
int32_t VatOfLetter(std::string_view text);
// Flags in tables: "TAK" / "NIE"; a cell is set when, in capitals, it contains "TAK".
std::string FlagText(int32_t flag);
int32_t FlagOfText(std::string_view cell);

// The packaging balance: the register holds a negative balance -x as 100000000 - x.
inline constexpr double kBalanceWrap = 100000000.0;
// The register's form shown as a cell: above 50000000 it is negative.
std::string PackagingBalanceText(double registerForm);
// A cell turned into the register's form; a cell with a minus sign is 100000000 minus the
// number after it. Unset (-1) when the cell holds no number.
double PackagingBalanceFromText(std::string_view cell);

// Whether two records of one kind would be written as the same bytes; a record that
// cannot be encoded is never the same.
template <class Record>
bool SameOnWire(const Record& mine, const Record& theirs, RecordLayout layout, int32_t number) {
    iBuffer a;
    iBuffer b;
    if (!mine.Encode(a, layout, number) || !theirs.Encode(b, layout, number)) {
        return false;
    }
    return a.View() == b.View();
}

// Database 0, table "Opakowania".
struct PackagingRecord {
    static constexpr int kDatabase = 0;
    static constexpr char kWriteLetter = '@';
    static constexpr char kDeleteLetter = 'Q';

    std::string name;            // NAZ
    double price = kUnset;       // CEN
    double takenIn = kUnset;     // PRZ
    double givenOut = kUnset;    // WYD
    double balance = kUnset;     // SAL, in the register's form (see above)
    int32_t attribute = kUnset;  // read as two hex digits, written as a raw byte

    bool IsEmpty() const { return name.empty(); }
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    void MergeUnsetFrom(const PackagingRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// Database 1, table "Klawisze".
struct KeyRecord {
    static constexpr int kDatabase = 1;
    static constexpr char kWriteLetter = 'A';
    static constexpr char kDeleteLetter = 'R';

    int32_t pluNumber = kUnset;         // PLU; 0 is an empty key
    int32_t quantity = kUnset;          // ILO, 0..15 (bits 0-3 of the flag byte)
    int32_t endOfTransaction = kUnset;  // TRA, 0 or 1 (bit 4)

    bool IsEmpty() const { return pluNumber == 0; }
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    // Fails for a quantity outside 0..15.
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    void MergeUnsetFrom(const KeyRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// Database 2, table "Kasjer".
struct CashierRecord {
    static constexpr int kDatabase = 2;
    static constexpr int32_t kKeepPassword = -2;
    static constexpr char kWriteLetter = 'B';
    static constexpr char kDeleteLetter = 'S';
    // The permission field is held complemented and masked with this.
    static constexpr uint32_t kPermissionMask = 0x8FFFFFFF;

    std::string name;  // NAZ
    // HAS; -1 is "nakt" (no password), a value of its own; kKeepPassword keeps the
    // register's.
    int32_t password = kKeepPassword;
    int32_t cancelledReceipts = kUnset;  // ANU
    int32_t voidedItems = kUnset;        // STI
    double turnover = kUnset;            // OBR
    double depositsTaken = kUnset;       // KAP
    double depositsReturned = kUnset;    // KAZ
    double cancelledAmount = kUnset;     // KWO
    double voidedAmount = kUnset;        // STK (the column titled "Storno")
    double paidIn = kUnset;              // WPL
    double paidOut = kUnset;             // WYP
    std::array<double, 4> paymentForms{kUnset, kUnset, kUnset, kUnset};  // PL1..PL4
    double takings = kUnset;                                             // UTA
    std::array<double, 4> discounts{kUnset, kUnset, kUnset, kUnset};     // RA1..RA4
    std::array<double, 4> surcharges{kUnset, kUnset, kUnset, kUnset};    // DO1..DO4
    int32_t receipts = kUnset;                                           // PAR
    int64_t permissions = kUnset;  // LOG on VESPER, as shown (the wire holds its complement)
    std::string zenPair;           // ZEN field 26: the pair as decoded ("bb:aa"); not shown
    int32_t zenNumber = kUnset;    // ZEN field 26: the number after the pair; not shown
    int32_t attribute = kUnset;

    bool IsEmpty() const { return name.empty(); }
    // Cash in the drawer (the column titled "Kasa"): computed, never sent.
    double CashInDrawer() const;
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    // The password is merged only from kKeepPassword: -1 there is the user's "nakt". The
    // ZEN pair is taken when empty.
    void MergeUnsetFrom(const CashierRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// Database 5: discounts are records 1..4 (table "Rabat"), surcharges 5..8 ("Doplata").
struct DiscountRecord {
    static constexpr int kDatabase = 5;
    static constexpr char kWriteLetter = 'D';
    static constexpr char kDeleteLetter = 'U';

    std::string name;            // NAZ
    double percentage = kUnset;  // WAR; on the wire 1000 -/+ 10 x percentage
    double amount = kUnset;      // KWO
    int32_t attribute = kUnset;  // written as 0

    static bool IsSurcharge(int32_t number) { return number >= 5; }
    // The raw number of a percentage: truncated, and kept within 0..1999.
    static int32_t RawOfPercentage(double percentage, int32_t number);
    static double PercentageOfRaw(int32_t raw, int32_t number);

    bool IsEmpty() const { return name.empty(); }
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    void MergeUnsetFrom(const DiscountRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// Database 4, table "Formy".
struct PaymentFormRecord {
    static constexpr int kDatabase = 4;
    static constexpr char kWriteLetter = 'C';
    static constexpr char kDeleteLetter = 'T';
    static constexpr double kMaxRate = 99.999999;

    std::string name;            // NAZ
    double sales = kUnset;       // SPR
    double rate = kUnset;        // KUR, sent as at most 99.999999
    int32_t attribute = kUnset;  // written as 0

    bool IsEmpty() const { return name.empty(); }
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    void MergeUnsetFrom(const PaymentFormRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// Database 7, table "PLU".
struct PluRecord {
    static constexpr int kDatabase = 7;
    static constexpr char kWriteLetter = 'E';
    static constexpr char kDeleteLetter = 'V';

    std::string name;               // NAZ
    std::string barcode;            // KOD
    double price = kUnset;          // CEN
    int32_t packaging = kUnset;     // OPAK, 0..15 (bits 4-7 of the flag byte)
    int32_t fractions = kUnset;     // ULA, 0 or 1 (bit 3; sent on ZEN only)
    int32_t vat = kUnset;           // PTU, 0 = A .. 6 = G (bits 0-2)
    double quantity = kUnset;       // ILO (ZEN code 6, VESPER code 9)
    double value = kUnset;          // WAR
    double stockQuantity = kUnset;  // MIL (ZEN code 7, VESPER code 9)
    double stockValue = kUnset;     // MWA
    int32_t group = kUnset;         // GRU, 0..63, VESPER only

    bool IsEmpty() const { return name.empty(); }
    bool Decode(iBuffer& answer, RecordLayout layout, int32_t number);
    // Fails for a packaging number outside 0..15, a VAT rate outside 0..6 or, on
    // VESPER, a group outside 0..63: they would spill into the neighbouring bits.
    bool Encode(iBuffer& out, RecordLayout layout, int32_t number, WireForm form = WireForm::kWrite,
                std::string* escField = nullptr) const;
    void MergeUnsetFrom(const PluRecord& registerCopy);
    // A field that goes out on this layout's write and holds no value of its own.
    bool HasUnsetField(RecordLayout layout) const;
};

// The answer to the totals request: read only.
struct TotalsRecord {
    std::array<double, 7> vatTotals{};  // rates A..G
    int32_t receiptNumber = 0;
    int32_t databaseChanges = 0;
    int32_t cancelledReceipts = 0;
    double cancelledAmount = 0;

    bool Decode(iBuffer& answer);
    // The answer's bytes, as the register sends them before the hexadecimal conversion.
    bool EncodeAnswer(iBuffer& out) const;
};

}  // namespace kasa
