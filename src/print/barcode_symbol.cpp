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
    return symbology == Symbology::kEan13 ? 11 : 10;
}

std::optional<std::string> Ean13OfCode(std::string_view code) {
    if (code.empty() || code.size() > 13 ||
        code.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    if (code.size() == 13) {
        if (Ean13CheckDigit(code) != code[12]) {
            return std::nullopt;
        }
        return std::string(code);
    }
    std::string padded(12 - code.size(), '0');
    padded += code;
    return padded + Ean13CheckDigit(padded);
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
    if (symbology == Symbology::kEan13) {
        // The library computes the check digit itself from the first twelve.
        const std::optional<std::string> digits = Ean13OfCode(data);
        if (!digits) {
            return std::nullopt;
        }
        input = digits->substr(0, 12);
        symbol->symbology = BARCODE_EANX;
    } else {
        symbol->symbology = BARCODE_CODE128;
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
