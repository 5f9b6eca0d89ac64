// The fixed print parameters: kept in inches, entered in millimetres, each within its
// range, in the order of the settings file's section.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kasa {

enum class PrintParameter : int {
    kBarcodeHeight = 0,  // KodKreskowy
    kLeftMargin,         // Lewy
    kBottomMargin,       // Dolny
    kRightMargin,        // Prawy
    kRowSpacing,         // Wiersza
    kColumnSpacing,      // Kolumny
};
inline constexpr int kPrintParameterCount = 6;

struct PrintParameterRow {
    std::string_view key;    // key of the settings file
    std::string_view label;  // the window's label
    double minInches;
    double maxInches;
    double defaultInches;  // taken when the settings file has no value
};
const std::array<PrintParameterRow, kPrintParameterCount>& PrintParameterRows();

// The six values in inches, indexed by PrintParameter.
struct PrintParameters {
    std::array<double, kPrintParameterCount> inches{};

    double Inches(PrintParameter p) const { return inches[static_cast<size_t>(p)]; }
    double Millimetres(PrintParameter p) const { return Inches(p) * 25.4; }
};

// The values of fresh settings.
PrintParameters DefaultPrintParameters();

// Below the range gives the lower bound, the upper bound or above gives the upper bound.
double ClampPrintInches(PrintParameter p, double inches);
// Every value within its range (values read from a file may be anything, 0 when missing).
PrintParameters ClampedPrintParameters(const PrintParameters& given);

// The edit's text: millimetres with one decimal and a point.
std::string MillimetreText(double inches);
// What the user typed, with a comma or a point, as inches within the range; nullopt for a
// text that is not a number, so the value kept stays.
std::optional<double> InchesOfMillimetreText(PrintParameter p, std::string_view text);

}  // namespace kasa
