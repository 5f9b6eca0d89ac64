// Barcode symbols of printed tables: the data a cell gives each symbology and the bars of
// the symbol, in modules, from the barcode library's vector output.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasa {

enum class Symbology { kEan13, kCode128, kEan8 };

struct Bar {
    double left = 0;   // modules from the symbol's left edge
    double width = 0;  // modules
};
struct BarcodePattern {
    std::vector<Bar> bars;
    int modules = 0;  // the symbol's width without quiet zones
};

// Modules of quiet zone a scanner needs on each side of a symbol.
int QuietZoneModules(Symbology symbology);

// The check digit of an EAN-8 code's first seven digits; '0' when shorter.
char Ean8CheckDigit(std::string_view code);

// The EAN symbol a code prints as: 13 digits with the right check digit as EAN-13, 8
// digits with the right one as EAN-8. nullopt for anything else: padding or completing a
// code would print a symbol that scans as another number.
struct EanSymbol {
    Symbology symbology = Symbology::kEan13;
    std::string digits;
};
std::optional<EanSymbol> EanSymbolOf(std::string_view code);
// The characters a Code 128 symbol carries for a UTF-8 text: Polish letters as their plain
// Latin letters, any other character outside printable ASCII as "?".
std::string Code128Text(std::string_view utf8);

// The bars of a symbol; nullopt when the library refuses the data.
std::optional<BarcodePattern> EncodeBarcode(Symbology symbology, std::string_view data);

}  // namespace kasa
