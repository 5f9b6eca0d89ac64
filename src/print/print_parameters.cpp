#include "print/print_parameters.h"

#include <algorithm>

#include "base/number_text.h"

namespace kasa {

const std::array<PrintParameterRow, kPrintParameterCount>& PrintParameterRows() {
    static const std::array<PrintParameterRow, kPrintParameterCount> rows = {{
        {"KodKreskowy", "Wysokość kodu kreskowego w mm", 0.2, 1.0, 0.2},
        {"Lewy", "Wielkość lewego marginesu drukowanej tabeli w mm", 0.5, 1.0, 0.5},
        {"Dolny", "Wielkość dolnego marginesu drukowanej tabeli w mm", 0.3, 1.0, 0.3},
        {"Prawy", "Wielkość prawego marginesu drukowania w mm", 0.3, 1.0, 0.3},
        // The smallest gaps (0.1 mm) run one column's text into the next and rows into
        // each other on paper: fresh settings start with gaps that read well.
        {"Wiersza", "Wielkość odstępu pomiędzy wierszami tabeli w mm", 0.005, 0.5, 0.08},
        {"Kolumny", "Wielkość odstępu pomiędzy kolumnami  w mm", 0.005, 0.5, 0.12},
    }};
    return rows;
}

PrintParameters DefaultPrintParameters() {
    PrintParameters p;
    for (size_t i = 0; i < p.inches.size(); ++i) {
        p.inches[i] = PrintParameterRows()[i].defaultInches;
    }
    return p;
}

double ClampPrintInches(PrintParameter p, double inches) {
    const PrintParameterRow& row = PrintParameterRows()[static_cast<size_t>(p)];
    if (!(inches >= row.minInches)) {  // NaN too
        return row.minInches;
    }
    return std::min(inches, row.maxInches);
}

PrintParameters ClampedPrintParameters(const PrintParameters& given) {
    PrintParameters result;
    for (int i = 0; i < kPrintParameterCount; ++i) {
        const auto p = static_cast<PrintParameter>(i);
        result.inches[static_cast<size_t>(i)] = ClampPrintInches(p, given.Inches(p));
    }
    return result;
}

std::string MillimetreText(double inches) {
    return FormatDouble("%.1f", inches * 25.4);
}

std::optional<double> InchesOfMillimetreText(PrintParameter p, std::string_view text) {
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    // Only a whole number is taken: "12abc" is still being typed wrong, not 12 mm.
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(number.begin(), number.end(), '.') > 1 || number == ".") {
        return std::nullopt;
    }
    const std::optional<double> mm = ParseDouble(number);
    if (!mm) {
        return std::nullopt;
    }
    return ClampPrintInches(p, *mm / 25.4);
}

}  // namespace kasa
