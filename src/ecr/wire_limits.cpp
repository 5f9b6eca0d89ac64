#include "ecr/wire_limits.h"

#include <array>

namespace kasa {

namespace {

// Integer digits: an amount (code 23) keeps 8, a VESPER quantity (code 9) 7, a ZEN sold
// quantity (code 6) 3, a ZEN stock quantity (code 7) 6, four-digit fields (codes 8, 27,
// 28) 4, the exchange rate (code 10) 4. Characters: the fixed texts and the bar code.
// Decimals: an amount keeps 2, a quantity 3 (the ZEN stock quantity none), the exchange
// rate 6, and a discount's percentage 1 (the register holds ten times it, truncated).
constexpr WireColumnLimit kCommonLimits[] = {
    {TableKind::kPackaging, "NAZ", 0, 19},      {TableKind::kPackaging, "CEN", 8, 0, 2},
    {TableKind::kPackaging, "PRZ", 8, 0, 2},    {TableKind::kPackaging, "WYD", 8, 0, 2},
    {TableKind::kPackaging, "SAL", 0, 0, 2},    {TableKind::kKeys, "PLU", 4, 0},
    {TableKind::kCashiers, "NAZ", 0, 11},       {TableKind::kCashiers, "HAS", 4, 0},
    {TableKind::kCashiers, "PAR", 4, 0},        {TableKind::kCashiers, "ANU", 4, 0},
    {TableKind::kCashiers, "STI", 4, 0},        {TableKind::kDiscounts, "NAZ", 0, 19},
    {TableKind::kDiscounts, "WAR", 0, 0, 1},    {TableKind::kDiscounts, "KWO", 8, 0, 2},
    {TableKind::kSurcharges, "NAZ", 0, 19},     {TableKind::kSurcharges, "WAR", 0, 0, 1},
    {TableKind::kSurcharges, "KWO", 8, 0, 2},   {TableKind::kPaymentForms, "NAZ", 0, 19},
    {TableKind::kPaymentForms, "KUR", 4, 0, 6}, {TableKind::kPaymentForms, "SPR", 0, 0, 2},
    {TableKind::kGoods, "NAZ", 0, 16},          {TableKind::kGoods, "KOD", 0, 14},
    {TableKind::kGoods, "CEN", 8, 0, 2},        {TableKind::kGoods, "WAR", 8, 0, 2},
    {TableKind::kGoods, "MWA", 8, 0, 2},
};

template <size_t N>
constexpr std::array<WireColumnLimit, sizeof(kCommonLimits) / sizeof(kCommonLimits[0]) + N>
WithCommon(const WireColumnLimit (&own)[N]) {
    std::array<WireColumnLimit, sizeof(kCommonLimits) / sizeof(kCommonLimits[0]) + N> all{};
    size_t i = 0;
    for (const WireColumnLimit& limit : own) {
        all[i++] = limit;
    }
    for (const WireColumnLimit& limit : kCommonLimits) {
        all[i++] = limit;
    }
    return all;
}

constexpr WireColumnLimit kZenOwn[] = {
    {TableKind::kGoods, "ILO", 3, 0, 3},
    {TableKind::kGoods, "MIL", 6, 0, 0},
};
constexpr WireColumnLimit kVesperOwn[] = {
    {TableKind::kGoods, "ILO", 7, 0, 3},
    {TableKind::kGoods, "MIL", 7, 0, 3},
};

constexpr auto kZenLimits = WithCommon(kZenOwn);
constexpr auto kVesperLimits = WithCommon(kVesperOwn);

}  // namespace

std::span<const WireColumnLimit> WireLimits(RecordLayout layout) {
    if (layout == RecordLayout::kZen) {
        return kZenLimits;
    }
    return kVesperLimits;
}

RecordLayout LayoutOfModel(const RegisterModel& model) {
    return model.name == kModelNameZen ? RecordLayout::kZen : RecordLayout::kVesper;
}

}  // namespace kasa
