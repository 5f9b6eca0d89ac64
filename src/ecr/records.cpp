#include "ecr/records.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "base/codepage.h"
#include "ecr/record_codec.h"

namespace kasa {

namespace {

constexpr int32_t kModelCodeZen = 1;

// Collects the fields of one record; the record reaches the output only when every field
// could be encoded, so a failure leaves the request as it was. Fields that can hold any
// byte carry the keys of the columns they come from, so a byte the frame cannot carry
// (ESC) can be traced back to what the user typed.
class FieldWriter {
  public:
    void Text(FieldCode code, std::string_view text, std::string_view keys) {
        Check(keys, [&] { return EncodeField(bytes_, code, text); });
    }
    // An unset amount goes out as 0 (the packed digits have no sign to carry -1).
    void Amount(FieldCode code, double value) {
        Check({}, [&] { return EncodeField(bytes_, code, IsUnset(value) ? 0.0 : value); });
    }
    void Count(FieldCode code, int32_t value) {
        Check({}, [&] { return EncodeField(bytes_, code, value < 0 ? int32_t{0} : value); });
    }
    // Sent as it stands, negative values included.
    void Signed(FieldCode code, int32_t value, std::string_view keys) {
        Check(keys, [&] { return EncodeField(bytes_, code, value); });
    }
    void Long(FieldCode code, int64_t value, std::string_view keys) {
        Check(keys, [&] { return EncodeField(bytes_, code, value); });
    }
    // A byte that answers carry as two hexadecimal digits and requests as one raw byte.
    void Byte(int32_t value, std::string_view keys) {
        Check(keys, [&] {
            return EncodeField(bytes_, kFieldRawByte, static_cast<uint8_t>(value < 0 ? 0 : value));
        });
    }
    void Fail() { ok_ = false; }

    bool Finish(iBuffer& out, std::string* escField) const {
        if (ok_) {
            out.AppendBuffer(bytes_);
        }
        if (escField != nullptr) {
            *escField = escKeys_;
        }
        return ok_;
    }

  private:
    template <class Encode>
    void Check(std::string_view keys, Encode&& encode) {
        const int32_t before = bytes_.Length();
        if (encode() < 0) {
            ok_ = false;
            return;
        }
        if (escKeys_.empty() && std::memchr(bytes_.Data() + before, kEsc,
                                            static_cast<size_t>(bytes_.Length() - before))) {
            escKeys_ = keys.empty() ? std::string("?") : std::string(keys);
        }
    }
    static constexpr uint8_t kEsc = 0x1B;
    iBuffer bytes_;
    bool ok_ = true;
    std::string escKeys_;
};

// Takes the fields of one record off the front of an answer.
class FieldReader {
  public:
    explicit FieldReader(iBuffer& answer) : answer_(answer) {}

    std::string Text(FieldCode code) { return DecodeField(answer_, code, &complete_); }
    double Amount(FieldCode code) { return ParseDecimal(Text(code)).value_or(0); }
    int32_t Count(FieldCode code) {
        const int64_t value = ParseInteger(Text(code)).value_or(0);
        return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    }
    uint32_t Hex32(FieldCode code) {
        return static_cast<uint32_t>(ParseHex(Text(code)).value_or(0));
    }
    int32_t Byte() { return static_cast<int32_t>(Hex32(kFieldHexByte) & 0xFF); }
    bool complete() const { return complete_; }

  private:
    iBuffer& answer_;
    bool complete_ = true;
};

template <class T>
void TakeIfUnset(T& mine, const T& theirs) {
    if (IsUnset(mine)) {
        mine = theirs;
    }
}

bool AnyUnset(std::initializer_list<double> values) {
    return std::any_of(values.begin(), values.end(), [](double v) { return IsUnset(v); });
}

// The ZEN pair goes back in the byte order it came in: decoded second byte first, it is
// encoded first number first.
std::string PairAsSent(std::string_view decoded) {
    const size_t colon = decoded.find(':');
    if (colon == std::string_view::npos) {
        return std::string(decoded);
    }
    return std::string(decoded.substr(colon + 1)) + ":" + std::string(decoded.substr(0, colon));
}

}  // namespace

RecordLayout RecordLayoutOfModelCode(int32_t modelCode) {
    return modelCode == kModelCodeZen ? RecordLayout::kZen : RecordLayout::kVesper;
}

std::string VatLetter(int32_t vat) {
    if (vat < 0 || vat > 6) {
        return {};
    }
    return std::string(1, static_cast<char>('A' + vat));
}

int32_t VatOfLetter(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return -1;
    }
    const char c = text.front();
    if (c >= 'A' && c <= 'G') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'g') {
        return c - 'a';
    }
    return -1;
}

std::string FlagText(int32_t flag) {
    return flag > 0 ? "TAK" : "NIE";
}

int32_t FlagOfText(std::string_view cell) {
    return Utf8ToUpper(cell).find("TAK") != std::string::npos ? 1 : 0;
}

std::string PackagingBalanceText(double registerForm) {
    if (registerForm > kBalanceWrap / 2) {
        return "-" + FormatAmount(kBalanceWrap - registerForm, 2);
    }
    return FormatAmount(registerForm, 2);
}

double PackagingBalanceFromText(std::string_view cell) {
    const size_t minus = cell.find('-');
    if (minus == std::string_view::npos) {
        return ParseDecimal(cell).value_or(kUnset);
    }
    const std::optional<double> magnitude = ParseDecimal(cell.substr(minus + 1));
    if (!magnitude) {
        return kUnset;
    }
    return *magnitude == 0 ? 0 : kBalanceWrap - *magnitude;
}

// ---- packaging ----

bool PackagingRecord::Decode(iBuffer& answer, RecordLayout, int32_t) {
    *this = {};
    FieldReader in(answer);
    name = in.Text(kFieldText19);
    price = in.Amount(kFieldAmount);
    takenIn = in.Amount(kFieldAmount);
    givenOut = in.Amount(kFieldAmount);
    balance = in.Amount(kFieldAmount);
    attribute = in.Byte();
    return in.complete();
}

bool PackagingRecord::Encode(iBuffer& out, RecordLayout, int32_t, WireForm,
                             std::string* escField) const {
    FieldWriter w;
    w.Text(kFieldText19, name, "NAZ");
    w.Amount(kFieldAmount, price);
    w.Amount(kFieldAmount, takenIn);
    w.Amount(kFieldAmount, givenOut);
    w.Amount(kFieldAmount, balance);
    w.Byte(attribute, "atrybut");
    return w.Finish(out, escField);
}

void PackagingRecord::MergeUnsetFrom(const PackagingRecord& r) {
    TakeIfUnset(price, r.price);
    TakeIfUnset(takenIn, r.takenIn);
    TakeIfUnset(givenOut, r.givenOut);
    TakeIfUnset(balance, r.balance);
    TakeIfUnset(attribute, r.attribute);
}

bool PackagingRecord::HasUnsetField(RecordLayout) const {
    return AnyUnset({price, takenIn, givenOut, balance}) || IsUnset(attribute);
}

// ---- keys ----

bool KeyRecord::Decode(iBuffer& answer, RecordLayout, int32_t) {
    *this = {};
    FieldReader in(answer);
    pluNumber = in.Count(kFieldSignedLe);
    const int32_t flags = in.Byte();
    quantity = flags & 0x0F;
    endOfTransaction = (flags >> 4) & 1;
    return in.complete();
}

bool KeyRecord::Encode(iBuffer& out, RecordLayout, int32_t, WireForm, std::string* escField) const {
    FieldWriter w;
    const int32_t q = IsUnset(quantity) ? 0 : quantity;
    if (q > 15) {
        w.Fail();
    }
    w.Count(kFieldSignedLe, pluNumber);
    w.Byte((q & 0x0F) | (endOfTransaction > 0 ? 0x10 : 0), "ILO+TRA");
    return w.Finish(out, escField);
}

void KeyRecord::MergeUnsetFrom(const KeyRecord& r) {
    TakeIfUnset(pluNumber, r.pluNumber);
    TakeIfUnset(quantity, r.quantity);
    TakeIfUnset(endOfTransaction, r.endOfTransaction);
}

bool KeyRecord::HasUnsetField(RecordLayout) const {
    return IsUnset(pluNumber) || IsUnset(quantity) || IsUnset(endOfTransaction);
}

// ---- cashiers ----

double CashierRecord::CashInDrawer() const {
    const auto v = [](double x) { return IsUnset(x) ? 0.0 : x; };
    return v(paidIn) - v(paidOut) + v(takings) + v(depositsTaken) - v(depositsReturned);
}

bool CashierRecord::Decode(iBuffer& answer, RecordLayout layout, int32_t) {
    *this = {};
    const bool zen = layout == RecordLayout::kZen;
    FieldReader in(answer);
    name = in.Text(zen ? kFieldText7 : kFieldText11);
    password = in.Count(zen ? kFieldSignedLe : kFieldSignedBe);
    cancelledReceipts = in.Count(kFieldSignedLe);
    voidedItems = in.Count(kFieldSignedLe);
    turnover = in.Amount(kFieldAmount);
    depositsTaken = in.Amount(kFieldAmount);
    depositsReturned = in.Amount(kFieldAmount);
    cancelledAmount = in.Amount(kFieldAmount);
    voidedAmount = in.Amount(kFieldAmount);
    paidIn = in.Amount(kFieldAmount);
    paidOut = in.Amount(kFieldAmount);
    for (double& v : paymentForms) {
        v = in.Amount(kFieldAmount);
    }
    takings = in.Amount(kFieldAmount);
    for (double& v : discounts) {
        v = in.Amount(kFieldAmount);
    }
    for (double& v : surcharges) {
        v = in.Amount(kFieldAmount);
    }
    receipts = in.Count(kFieldSignedLe);
    if (zen) {
        zenPair = in.Text(kFieldNumberPair);
        zenNumber = in.Count(kFieldDigits4);
    } else {
        permissions = (~in.Hex32(kFieldLong32)) & kPermissionMask;
    }
    attribute = in.Byte();
    return in.complete();
}

bool CashierRecord::Encode(iBuffer& out, RecordLayout layout, int32_t, WireForm form,
                           std::string* escField) const {
    const bool zen = layout == RecordLayout::kZen;
    const bool answer = form == WireForm::kAnswer;
    FieldWriter w;
    w.Text(zen && answer ? kFieldText7 : kFieldText11, name, "NAZ");
    w.Signed(zen && answer ? kFieldSignedLe : kFieldSignedBe, password, "HAS");
    w.Count(kFieldSignedLe, cancelledReceipts);
    w.Count(kFieldSignedLe, voidedItems);
    for (const double v : {turnover, depositsTaken, depositsReturned, cancelledAmount, voidedAmount,
                           paidIn, paidOut}) {
        w.Amount(kFieldAmount, v);
    }
    for (const double v : paymentForms) {
        w.Amount(kFieldAmount, v);
    }
    w.Amount(kFieldAmount, takings);
    for (const double v : discounts) {
        w.Amount(kFieldAmount, v);
    }
    for (const double v : surcharges) {
        w.Amount(kFieldAmount, v);
    }
    w.Count(kFieldSignedLe, receipts);
    if (zen) {
        w.Text(kFieldNumberPair, PairAsSent(zenPair), "para liczb");
        w.Count(answer ? kFieldDigits4 : kFieldSignedLe, zenNumber);
    } else {
        const auto shown = static_cast<uint32_t>(IsUnset(permissions) ? 0 : permissions);
        w.Long(kFieldLong32, static_cast<int64_t>((~shown) & kPermissionMask), "LOG");
    }
    w.Byte(attribute, "atrybut");
    return w.Finish(out, escField);
}

void CashierRecord::MergeUnsetFrom(const CashierRecord& r) {
    if (password == kKeepPassword) {
        password = r.password;
    }
    TakeIfUnset(cancelledReceipts, r.cancelledReceipts);
    TakeIfUnset(voidedItems, r.voidedItems);
    TakeIfUnset(turnover, r.turnover);
    TakeIfUnset(depositsTaken, r.depositsTaken);
    TakeIfUnset(depositsReturned, r.depositsReturned);
    TakeIfUnset(cancelledAmount, r.cancelledAmount);
    TakeIfUnset(voidedAmount, r.voidedAmount);
    TakeIfUnset(paidIn, r.paidIn);
    TakeIfUnset(paidOut, r.paidOut);
    for (size_t i = 0; i < 4; ++i) {
        TakeIfUnset(paymentForms[i], r.paymentForms[i]);
        TakeIfUnset(discounts[i], r.discounts[i]);
        TakeIfUnset(surcharges[i], r.surcharges[i]);
    }
    TakeIfUnset(takings, r.takings);
    TakeIfUnset(receipts, r.receipts);
    TakeIfUnset(permissions, r.permissions);
    if (zenPair.empty()) {
        zenPair = r.zenPair;
    }
    TakeIfUnset(zenNumber, r.zenNumber);
    TakeIfUnset(attribute, r.attribute);
}

bool CashierRecord::HasUnsetField(RecordLayout layout) const {
    if (password == kKeepPassword || IsUnset(cancelledReceipts) || IsUnset(voidedItems) ||
        IsUnset(receipts) || IsUnset(attribute) ||
        AnyUnset({turnover, depositsTaken, depositsReturned, cancelledAmount, voidedAmount, paidIn,
                  paidOut, takings})) {
        return true;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (AnyUnset({paymentForms[i], discounts[i], surcharges[i]})) {
            return true;
        }
    }
    if (layout == RecordLayout::kZen) {
        return zenPair.empty() || IsUnset(zenNumber);
    }
    return IsUnset(permissions);
}

// ---- discounts and surcharges ----

int32_t DiscountRecord::RawOfPercentage(double percentage, int32_t number) {
    if (IsUnset(percentage) || !std::isfinite(percentage)) {
        percentage = 0;
    }
    const double raw = IsSurcharge(number) ? 1000 + 10 * percentage : 1000 - 10 * percentage;
    // The small allowance keeps 10 x 0.7 from truncating to 6.
    const double truncated = std::trunc(raw + 1e-7);
    return static_cast<int32_t>(std::clamp(truncated, 0.0, 1999.0));
}

double DiscountRecord::PercentageOfRaw(int32_t raw, int32_t number) {
    return IsSurcharge(number) ? (raw - 1000) / 10.0 : (1000 - raw) / 10.0;
}

bool DiscountRecord::Decode(iBuffer& answer, RecordLayout, int32_t number) {
    *this = {};
    FieldReader in(answer);
    name = in.Text(kFieldText19);
    percentage = PercentageOfRaw(in.Count(kFieldCount4), number);
    amount = in.Amount(kFieldAmount);
    attribute = in.Byte();
    return in.complete();
}

bool DiscountRecord::Encode(iBuffer& out, RecordLayout, int32_t number, WireForm form,
                            std::string* escField) const {
    FieldWriter w;
    w.Text(kFieldText19, name, "NAZ");
    w.Count(kFieldCount4, RawOfPercentage(percentage, number));
    w.Amount(kFieldAmount, amount);
    w.Byte(form == WireForm::kAnswer ? attribute : 0, "atrybut");
    return w.Finish(out, escField);
}

void DiscountRecord::MergeUnsetFrom(const DiscountRecord& r) {
    TakeIfUnset(percentage, r.percentage);
    TakeIfUnset(amount, r.amount);
    TakeIfUnset(attribute, r.attribute);
}

// The attribute is always written as 0, so it is not needed from the register.
bool DiscountRecord::HasUnsetField(RecordLayout) const {
    return AnyUnset({percentage, amount});
}

// ---- payment forms ----

bool PaymentFormRecord::Decode(iBuffer& answer, RecordLayout, int32_t) {
    *this = {};
    FieldReader in(answer);
    name = in.Text(kFieldText19);
    sales = in.Amount(kFieldAmount);
    rate = in.Amount(kFieldRate10);
    attribute = in.Byte();
    return in.complete();
}

bool PaymentFormRecord::Encode(iBuffer& out, RecordLayout, int32_t, WireForm form,
                               std::string* escField) const {
    FieldWriter w;
    w.Text(kFieldText19, name, "NAZ");
    w.Amount(kFieldAmount, sales);
    w.Amount(kFieldRate10, std::min(rate, kMaxRate));
    w.Byte(form == WireForm::kAnswer ? attribute : 0, "atrybut");
    return w.Finish(out, escField);
}

void PaymentFormRecord::MergeUnsetFrom(const PaymentFormRecord& r) {
    TakeIfUnset(sales, r.sales);
    TakeIfUnset(rate, r.rate);
    TakeIfUnset(attribute, r.attribute);
}

// The attribute is always written as 0, so it is not needed from the register.
bool PaymentFormRecord::HasUnsetField(RecordLayout) const {
    return AnyUnset({sales, rate});
}

// ---- goods ----

bool PluRecord::Decode(iBuffer& answer, RecordLayout layout, int32_t) {
    *this = {};
    const bool zen = layout == RecordLayout::kZen;
    FieldReader in(answer);
    name = in.Text(kFieldText16);
    barcode = in.Text(kFieldBarcode);
    price = in.Amount(kFieldAmount);
    const int32_t flags = in.Byte();
    packaging = (flags >> 4) & 0x0F;
    fractions = (flags >> 3) & 1;
    vat = flags & 0x07;
    quantity = in.Amount(zen ? kFieldQuantity6 : kFieldQuantity10);
    value = in.Amount(kFieldAmount);
    stockQuantity = in.Amount(zen ? kFieldCount6 : kFieldQuantity10);
    stockValue = in.Amount(kFieldAmount);
    group = in.Byte() & 0x3F;
    return in.complete();
}

bool PluRecord::Encode(iBuffer& out, RecordLayout layout, int32_t, WireForm form,
                       std::string* escField) const {
    const bool zen = layout == RecordLayout::kZen;
    FieldWriter w;
    const int32_t pack = IsUnset(packaging) ? 0 : packaging;
    const int32_t rate = IsUnset(vat) ? 0 : vat;
    const int32_t grp = IsUnset(group) ? 0 : group;
    if (pack > 15 || rate > 6 || (!zen && grp > 63)) {
        w.Fail();
    }
    // VESPER takes the fractions bit from its own settings; answers show it as held.
    const bool sendFractions = zen || form == WireForm::kAnswer;
    const int32_t flags =
        ((pack & 0x0F) << 4) | (sendFractions && fractions > 0 ? 0x08 : 0) | (rate & 0x07);
    w.Text(kFieldText16, name, "NAZ");
    w.Text(kFieldBarcode, barcode, "KOD");
    w.Amount(kFieldAmount, price);
    w.Byte(flags, "OPAK+ułamki+PTU");
    w.Amount(zen ? kFieldQuantity6 : kFieldQuantity10, quantity);
    w.Amount(kFieldAmount, value);
    w.Amount(zen ? kFieldCount6 : kFieldQuantity10, stockQuantity);
    w.Amount(kFieldAmount, stockValue);
    w.Byte(zen ? 0 : 0x80 | (grp & 0x3F), "GRU");
    return w.Finish(out, escField);
}

void PluRecord::MergeUnsetFrom(const PluRecord& r) {
    TakeIfUnset(price, r.price);
    TakeIfUnset(packaging, r.packaging);
    TakeIfUnset(fractions, r.fractions);
    TakeIfUnset(vat, r.vat);
    TakeIfUnset(quantity, r.quantity);
    TakeIfUnset(value, r.value);
    TakeIfUnset(stockQuantity, r.stockQuantity);
    TakeIfUnset(stockValue, r.stockValue);
    TakeIfUnset(group, r.group);
}

// VESPER takes the fractions flag from its own settings and ZEN has no group: neither is
// needed where it is not sent.
bool PluRecord::HasUnsetField(RecordLayout layout) const {
    if (AnyUnset({price, quantity, value, stockQuantity, stockValue}) || IsUnset(packaging) ||
        IsUnset(vat)) {
        return true;
    }
    return layout == RecordLayout::kZen ? IsUnset(fractions) : IsUnset(group);
}

// ---- totals ----

bool TotalsRecord::Decode(iBuffer& answer) {
    *this = {};
    FieldReader in(answer);
    for (double& v : vatTotals) {
        v = in.Amount(kFieldAmount);
    }
    receiptNumber = in.Count(kFieldCount4);
    databaseChanges = in.Count(kFieldCount6);
    cancelledReceipts = in.Count(kFieldCount4);
    cancelledAmount = in.Amount(kFieldAmount);
    return in.complete();
}

bool TotalsRecord::EncodeAnswer(iBuffer& out) const {
    FieldWriter w;
    for (const double v : vatTotals) {
        w.Amount(kFieldAmount, v);
    }
    w.Count(kFieldCount4, receiptNumber);
    w.Count(kFieldCount6, databaseChanges);
    w.Count(kFieldCount4, cancelledReceipts);
    w.Amount(kFieldAmount, cancelledAmount);
    return w.Finish(out, nullptr);
}

}  // namespace kasa
