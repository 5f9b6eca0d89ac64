#include "ecr/fiscal_memory.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/codepage.h"
#include "base/file_path.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr const char* kRateLetters = "ABCDEF";

// A BCD number, least significant byte first.
int64_t Bcd(const uint8_t* bytes, int count) {
    int64_t value = 0;
    int64_t scale = 1;
    for (int k = 0; k < count; ++k) {
        value += (10 * (bytes[k] >> 4) + (bytes[k] & 0x0F)) * scale;
        scale *= 100;
    }
    return value;
}

bool Registered(const uint8_t* bytes, int count) {
    for (int k = 0; k < count; ++k) {
        if (bytes[k] == 0xFF) {
            return false;
        }
    }
    return true;
}

std::string HexByte(uint8_t b) {
    return HexText(b, 2);
}

// Year (high byte first), month and day as their BCD digits.
std::string DateText(const uint8_t* data) {
    return HexByte(data[2]) + HexByte(data[1]) + "." + HexByte(data[3]) + "." + HexByte(data[4]);
}

std::string Amount(const uint8_t* bytes) {
    return FormatDouble("%0.2f", static_cast<double>(Bcd(bytes, 5)) * 0.01);
}

// A text field of the fiscalisation area, up to its first NUL.
std::string AreaText(const uint8_t* data, int from, int length) {
    std::string raw(reinterpret_cast<const char*>(data) + from, static_cast<size_t>(length));
    raw.resize(std::strlen(raw.c_str()));
    return MazoviaToUtf8(raw);
}

void AppendToFile(FiscalOutput& output) {
    const std::filesystem::path path = PathFromUtf8(output.fileName);
    const auto attempt = [&] {
        // A record that does not fit whole is taken back out, so the file never ends in
        // half a record (a full disk would otherwise leave one).
        std::error_code error;
        const bool existed = std::filesystem::is_regular_file(path, error);
        // A device such as /dev/full is no file of ours to remove after a failed write.
        const bool present = std::filesystem::exists(path, error);
        const std::uintmax_t oldSize = existed ? std::filesystem::file_size(path, error) : 0;
        if (existed && error) {
            return false;
        }
        std::ofstream file(path, std::ios::binary | std::ios::app);
        if (!file) {
            return false;
        }
        file.write(output.buffer.data(), static_cast<std::streamsize>(output.buffer.size()));
        file.flush();
        if (file) {
            return true;
        }
        file.close();
        std::error_code ignored;
        if (existed) {
            std::filesystem::resize_file(path, oldSize, ignored);
        } else if (!present) {
            std::filesystem::remove(path, ignored);
        }
        return false;
    };
    if (attempt()) {
        return;
    }
    std::error_code ignored;
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ignored);
    }
    if (!attempt()) {
        output.appendFailed = true;
    }
}

bool ParseRange(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value < kFiscalRecordCount;
}

}  // namespace

FiscalOutput OpenFiscalOutput(std::vector<std::string>& lines, const std::string& fileName) {
    FiscalOutput output;
    output.lines = &lines;
    output.fileName = fileName.substr(0, 260);
    return output;
}

bool ReadFiscalRecord(ECRClass& ecr, int32_t number, FiscalRecord& record) {
    iBuffer& request = ecr.BeginRequest({number});
    request.AppendByte('J');
    if (!ecr.Exchange(request)) {
        return false;
    }
    ecr.answerBuffer.TakeInteger();
    if (ecr.answerBuffer.LastSeparator() != 'j') {
        return false;
    }
    iBuffer bytes(ecr.answerBuffer);
    // A short answer would leave the record's tail undefined, so it fails like a bad digit.
    if (bytes.Length() < 2 * kFiscalRecordSize) {
        return false;
    }
    bytes.Remove(2 * kFiscalRecordSize, bytes.Length() - 2 * kFiscalRecordSize);
    if (!bytes.FromHexText()) {
        return false;
    }
    record.number = number;
    std::memcpy(record.data.data(), bytes.Data(), kFiscalRecordSize);
    return true;
}

void DecodeFiscalRecord(FiscalOutput& output, const uint8_t* data, int32_t number) {
    output.buffer.clear();
    const auto line = [&](const std::string& text) {
        output.lines->push_back(text);
        output.buffer += Utf8ToWindows1250(text);
        output.buffer += "\r\n";
    };
    const std::string title = "(" + std::to_string(number) + ") ";
    switch (data[0]) {
        case 1:
            line(title + "Raport Dobowy.");
            line(DateText(data));
            for (int i = 0; i < 6; ++i) {
                const uint8_t* total = data + 5 + 5 * i;
                line(std::string("Sprzedaż w stawce ") + kRateLetters[i] +
                     (Registered(total, 5) ? " " + Amount(total) : " nie rejestrowana"));
            }
            line("Kwota zwolniona " + Amount(data + 35));
            line("Ilość paragonów " + std::to_string(Bcd(data + 40, 2)));
            for (int i = 0; i < 3; ++i) {
                line("Licznik " + std::to_string(i + 1) + " " +
                     std::to_string(Bcd(data + 42 + 2 * i, 2)));
            }
            break;
        case 2:
            line(title + "Zmiana stawki VAT.");
            line(DateText(data));
            for (int i = 0; i < 6; ++i) {
                const uint8_t* rate = data + 5 + 2 * i;
                line(rate[0] == 0xFF && rate[1] == 0xFF
                         ? std::string("Stawka PTU") + kRateLetters[i] + " nieaktywna"
                         : std::string("Stawka dla PTU") + kRateLetters[i] + " " +
                               std::to_string(Bcd(rate, 2) / 100) + "%");
            }
            break;
        case 3:
            line(title + "Zerowanie RAM.");
            line(DateText(data) + " " + HexByte(data[5]) + ":" + HexByte(data[6]));
            break;
        default:
            if (number == 4) {
                line(title + "Obszar Fiskalizacji.");
                line("Numer unikatowy: " + AreaText(data, 0, 11));
                line("Numer NIP: " + AreaText(data, 32, 13));
                break;
            }
            line(title + (number < 4                   ? "Obszar kontrolny pamięci."
                          : number >= 5 && number <= 7 ? "Obszar zapisów zmian VAT"
                                                       : "Nierozpoznany rekord."));
            for (int row = 0; row < 4; ++row) {
                std::string hex;
                for (int i = 0; i < 16; ++i) {
                    hex += HexByte(data[16 * row + i]) + " ";
                }
                line(hex);
            }
            break;
    }
    line(" ");
    if (!output.fileName.empty() && !output.buffer.empty()) {
        AppendToFile(output);
    }
}

FiscalRange FiscalRangeFromText(const std::string& firstText, const std::string& lastText) {
    FiscalRange range;
    if (!ParseRange(firstText, range.first)) {
        range.message = kFiscalFirstRangeMessage;
    } else if (!ParseRange(lastText, range.last)) {
        range.message = kFiscalLastRangeMessage;
    } else if (range.last < range.first) {
        std::swap(range.first, range.last);
    }
    return range;
}

}  // namespace kasa
