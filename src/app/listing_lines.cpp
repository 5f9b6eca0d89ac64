#include "app/listing_lines.h"

#include <algorithm>
#include <utility>

#include "base/codepage.h"

namespace kasa {

bool IsVerificationMode(int mode) {
    return mode != kListingPlainMode && mode != kListingPreviewMode && mode != kListingSequenceMode;
}

std::string ListingHeading(int mode) {
    switch (mode) {
        case 1:
            return "WERYFIKACJA BAZY [PLU] PRZED ZAPISEM DO KASY";
        case 2:
            return "WERYFIKACJA ZAKRESU [PLU] PRZED ZAPISEM DO KASY";
        case 3:
            return "WERYFIKACJA POPRAWNOŚCI REKORDU PRZED ZAPISEM DO KASY";
        case 4:
            return "WERYFIKACJA BAZY [OPAKOWANIA] ZAPISEM DO KASY";
        case 6:
            return "WERYFIKACJA BAZY [KASJERZY]PRZED ZAPISEM DO KASY";
        case 8:
            return "WERYFIKACJA BAZY [KLAWISZE] PRZED ZAPISEM DO KASY";
        case 10:
            return "WERYFIKACJA BAZY [RABATY] PRZED ZAPISEM DO KASY";
        case 11:
            return "WERYFIKACJA BAZY PRZED ZAPISEM DO KASY";
        case 13:
            return "WERYFIKACJA NAGŁÓWKA PRZED ZAPISEM DO KASY";
        case 14:
            return "WERYFIKACJA STAWEK VAT PRZED ZAPISEM DO KASY";
        case 15:
            return "WERYFIKACJA SUMY EAN13";
        case kListingPreviewMode:
            return "PODGLĄD TRANSMISJI";
        case kListingSequenceMode:
            return "EDYTOR SEKWENCJI";
        default:
            return {};
    }
}

const ListingLine& ListingLines::Line(size_t index) const {
    static const ListingLine kNoLine;
    return index < lines_.size() ? lines_[index] : kNoLine;
}

bool ListingLines::Add(std::string text, FaultPlace place) {
    const bool clear = clearWhenFull_ && lines_.size() > kListingPreviewLimit;
    if (clear) {
        lines_.clear();
    }
    lines_.push_back({std::move(text), std::move(place)});
    return clear;
}

namespace {

ListingCopy Refused(std::string_view message) {
    ListingCopy copy;
    copy.refusal = message;
    return copy;
}

ListingCopy Joined(const ListingLines& lines, const std::vector<size_t>& indexes) {
    ListingCopy copy;
    copy.ok = true;
    bool first = true;
    for (const size_t index : indexes) {
        if (!first) {
            copy.text += "\r\n";
        }
        first = false;
        copy.text += lines.Line(index).text;
    }
    return copy;
}

}  // namespace

ListingCopy CopyAllLines(const ListingLines& lines) {
    if (lines.Count() > kListingCopyLimit) {
        return Refused(kCopyTooMuchMessage);
    }
    std::vector<size_t> all(lines.Count());
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    return Joined(lines, all);
}

ListingCopy CopySelectedLines(const ListingLines& lines, std::vector<size_t> selected) {
    std::erase_if(selected, [&](size_t index) { return index >= lines.Count(); });
    if (selected.empty()) {
        return Refused(kNothingSelectedMessage);
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    if (selected.back() - selected.front() > kListingCopyLimit) {
        return Refused(kCopyTooMuchMessage);
    }
    return Joined(lines, selected);
}

std::string ListingFileBytes(const ListingLines& lines) {
    std::string text;
    for (const ListingLine& line : lines.Lines()) {
        text += line.text;
        text += "\r\n";
    }
    return Utf8ToWindows1250(text);
}

WriteResult SaveListing(const std::string& path, const ListingLines& lines) {
    return WriteFileAtomically(path, ListingFileBytes(lines));
}

}  // namespace kasa
