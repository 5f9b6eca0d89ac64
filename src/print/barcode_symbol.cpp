#include "print/barcode_symbol.h"

#include <zint.h>

#include <algorithm>
#include <memory>

#include "tables/table_validation.h"

namespace kasa {

namespace {

struct PolishLetter {
    std::string_view utf8;
    char latin;
};
constexpr PolishLetter kPolishLetters[] = {
    {"ą", 'a'}, {"ć", 'c'}, {"ę", 'e'}, {"ł", 'l'}, {"ń", 'n'}, {"ó", 'o'},
    {"ś", 's'}, {"ź", 'z'}, {"ż", 'z'}, {"Ą", 'A'}, {"Ć", 'C'}, {"Ę", 'E'},
    {"Ł", 'L'}, {"Ń", 'N'}, {"Ó", 'O'}, {"Ś", 'S'}, {"Ź", 'Z'}, {"Ż", 'Z'},
};

// Length of the UTF-8 sequence led by `lead`; 1 for a stray byte.
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

}  // namespace

int QuietZoneModules(Symbology symbology) {
    switch (symbology) {
        case Symbology::kEan13:
            return 11;
        case Symbology::kEan8:
            return 7;
        case Symbology::kCode128:
            break;
    }
    return 10;
}

char Ean8CheckDigit(std::string_view code) {
    if (code.size() < 7) {
        return '0';
    }
    // The weights run 3, 1, 3, ... from the left of the seven digits.
    int sum = 0;
    for (size_t i = 0; i < 7; ++i) {
        const int digit = code[i] - '0';
        sum += i % 2 == 0 ? 3 * digit : digit;
    }
    const int r = sum % 10;
    return static_cast<char>(r == 0 ? '0' : '0' + (10 - r));
}

std::optional<EanSymbol> EanSymbolOf(std::string_view code) {
    if (code.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    if (code.size() == 13 && Ean13CheckDigit(code) == code[12]) {
        return EanSymbol{Symbology::kEan13, std::string(code)};
    }
    if (code.size() == 8 && Ean8CheckDigit(code) == code[7]) {
        return EanSymbol{Symbology::kEan8, std::string(code)};
    }
    return std::nullopt;
}

std::string Code128Text(std::string_view utf8) {
    std::string result;
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const size_t length = std::min(SequenceLength(byte), utf8.size() - i);
        if (length == 1) {
            result += byte >= 32 && byte < 127 ? static_cast<char>(byte) : '?';
        } else {
            const std::string_view letter = utf8.substr(i, length);
            const auto* found =
                std::find_if(std::begin(kPolishLetters), std::end(kPolishLetters),
                             [&](const PolishLetter& p) { return p.utf8 == letter; });
            result += found != std::end(kPolishLetters) ? found->latin : '?';
        }
        i += length;
    }
    return result;
}

std::optional<BarcodePattern> EncodeBarcode(Symbology symbology, std::string_view data) {
    if (data.empty()) {
        return std::nullopt;
    }
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        return std::nullopt;
    }
    std::string input(data);
    if (symbology == Symbology::kCode128) {
        symbol->symbology = BARCODE_CODE128;
    } else {
        // Only the code itself, whole and right, becomes a symbol; the library computes
        // the check digit from the digits before it.
        const std::optional<EanSymbol> ean = EanSymbolOf(data);
        if (!ean || ean->symbology != symbology) {
            return std::nullopt;
        }
        input = ean->digits.substr(0, ean->digits.size() - 1);
        symbol->symbology = BARCODE_EANX;
    }
    symbol->show_hrt = 0;
    symbol->guard_descent = 0;
    symbol->output_options = BARCODE_NO_QUIET_ZONES;
    symbol->input_mode = DATA_MODE;
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    if (ZBarcode_Encode(symbol.get(), bytes, static_cast<int>(input.size())) >= ZINT_ERROR ||
        ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || symbol->vector == nullptr ||
        symbol->width <= 0) {
        return std::nullopt;
    }
    BarcodePattern pattern;
    pattern.modules = symbol->width;
    const double unit = static_cast<double>(symbol->vector->width) / symbol->width;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r != nullptr; r = r->next) {
        pattern.bars.push_back({r->x / unit, r->width / unit});
    }
    std::sort(pattern.bars.begin(), pattern.bars.end(),
              [](const Bar& a, const Bar& b) { return a.left < b.left; });
    return pattern;
}

}  // namespace kasa
