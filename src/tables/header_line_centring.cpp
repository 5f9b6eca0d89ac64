#include "tables/header_line_centring.h"

#include "base/codepage.h"

namespace kasa {

namespace {

// Longer texts are left alone by the centring of the types other than "Vesper".
constexpr size_t kLongestCentredText = 100;

std::string_view WithoutLeadingSpaces(std::string_view text) {
    const size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view WithoutTrailingSpaces(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string SpacesInFront(std::string_view text, int width) {
    const int length = static_cast<int>(Utf8Length(text));
    const int spaces = (width - length) / 2;
    return std::string(spaces > 0 ? static_cast<size_t>(spaces) : 0, ' ') + std::string(text);
}

bool IsVesper(const RegisterModel& model) {
    return model.name == kModelNameVesper;
}

}  // namespace

int HeaderCentringWidth(const RegisterModel& model, const HeaderLine& line) {
    const TableDescriptor& header = model.Table(TableKind::kHeader);
    if (IsVesper(model)) {
        return line.bold ? header.RecordSize / 2 : header.RecordSize;
    }
    return header.fields.empty() ? 0 : header.fields.front().format;
}

std::string CentredHeaderText(const RegisterModel& model, const HeaderLine& line) {
    const int width = HeaderCentringWidth(model, line);
    if (IsVesper(model)) {
        const std::string_view text = WithoutLeadingSpaces(line.text);
        if (!line.centre || text.empty()) {
            return std::string(text);
        }
        return SpacesInFront(text, width);
    }
    if (Utf8Length(line.text) > kLongestCentredText) {
        return line.text;
    }
    const std::string_view text = WithoutTrailingSpaces(WithoutLeadingSpaces(line.text));
    if (!line.centre || text.empty()) {
        return std::string(text);
    }
    return SpacesInFront(text, width);
}

HeaderLine HeaderLineOfControls(std::string text, std::optional<bool> centre,
                                std::optional<bool> doubleHeight, std::optional<bool> heavy) {
    HeaderLine line;
    line.text = std::move(text);
    if (centre && doubleHeight && heavy) {
        line.centre = *centre;
        line.doubleHeight = *doubleHeight;
        line.bold = *heavy;
    }
    return line;
}

}  // namespace kasa
