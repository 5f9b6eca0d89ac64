// Barcode symbols of printed tables: the data a cell gives each symbology and the bars of
// the symbol, in modules, from the barcode library's vector output.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasa {

enum class Symbology { kEan13, kCode128 };

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

// The 13 digits of an EAN-13 symbol for a code: a code of up to 12 digits is padded with
// leading zeros to 12 and given its check digit; 13 digits must carry the right one.
// nullopt for anything else (letters, a wrong check digit, more digits).
std::optional<std::string> Ean13OfCode(std::string_view code);
// The characters a Code 128 symbol carries for a UTF-8 text: Polish letters as their plain
// Latin letters, any other character outside printable ASCII as "?".
std::string Code128Text(std::string_view utf8);

// The bars of a symbol; nullopt when the library refuses the data.
std::optional<BarcodePattern> EncodeBarcode(Symbology symbology, std::string_view data);

}  // namespace kasa
