#include "tables/header_rules.h"

#include <array>

#include "base/codepage.h"
#include "base/number_text.h"
#include "tables/header_line_centring.h"

namespace kasa {

namespace {

constexpr std::array<const char*, 6> kOrdinals = {"pierwszej", "drugiej", "trzeciej",
                                                  "czwartej",  "piątej",  "szóstej"};

}  // namespace

int HeaderLineWidth(const RegisterModel& model, const HeaderLine& line) {
    return HeaderCentringWidth(model, line);
}

bool HeaderLineTooLong(const RegisterModel& model, const HeaderLine& line) {
    return static_cast<int64_t>(Utf8Length(line.text)) > HeaderLineWidth(model, line);
}

int HeaderLineCountOf(const RegisterModel& model) {
    int count = 0;
    for (const FieldDescriptor& field : model.Table(TableKind::kHeader).fields) {
        if (field.key.empty()) {
            break;
        }
        ++count;
    }
    return count < kHeaderLineCount ? count : kHeaderLineCount;
}

int HeaderCharacterTotal(const RegisterModel& model, const HeaderLines& lines) {
    int64_t total = 0;
    for (int i = 0; i < HeaderLineCountOf(model); ++i) {
        total += static_cast<int64_t>(Utf8Length(lines[static_cast<size_t>(i)].text));
    }
    return static_cast<int>(total);
}

std::string HeaderFormatHint(int number, int width) {
    if (number < 1 || number > static_cast<int>(kOrdinals.size())) {
        return {};
    }
    return std::string("Wprowadzanie ") + kOrdinals[static_cast<size_t>(number - 1)] +
           " linii nagłówka.\nNagłówek może mieć " + DecimalText(width) + " znaków.";
}

std::string HeaderTextAfterClick(const RegisterModel& model, const HeaderLine& line,
                                 HeaderBox clicked) {
    if (model.name == kModelNameVesper && clicked != HeaderBox::kCentre) {
        return line.text;
    }
    return CentredHeaderText(model, line);
}

}  // namespace kasa
