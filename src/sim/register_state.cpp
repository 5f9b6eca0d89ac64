#include "sim/register_state.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

#include "base/codepage.h"
#include "base/number_text.h"
#include "comm/ibuffer.h"
#include "ecr/record_codec.h"
#include "sim/demo_data.h"
#include "sim/wire_reader.h"

namespace kasa::sim {

namespace {

constexpr int kStatusOk = 0;
constexpr int kStatusParameter = 22;
constexpr int kStatusData = 23;
constexpr int kStatusCommand = 24;
constexpr int kStatusTotals = 25;
constexpr int kStatusFiscal = 26;
constexpr int kStatusNameUsed = 28;
constexpr int kStatusOutOfRange = 79;
constexpr int kGoodsDatabase = 7;

std::vector<WireField> Layout(int database, RegisterType type) {
    const bool zen = type == RegisterType::Zen;
    switch (database) {
        case 0:
            return {{17, 17}, {23, 23}, {23, 23}, {23, 23}, {23, 23}, {25, 26}};
        case 1:
            return {{28, 28}, {25, 26}};
        case 2: {
            std::vector<WireField> fields = {
                {zen ? 13 : 14, 14}, {zen ? 28 : 27, 27}, {28, 28}, {28, 28}};
            for (int i = 0; i < 20; ++i) {
                fields.push_back({23, 23});  // OBR .. DO4
            }
            fields.push_back({28, 28});  // receipts
            if (zen) {
                fields.push_back({31, 31});
                fields.push_back({29, 28});
            } else {
                fields.push_back({30, 30});
            }
            fields.push_back({25, 26});
            return fields;
        }
        case 4:
            return {{17, 17}, {23, 23}, {10, 10}, {25, 26}};
        case 5:
            return {{17, 17}, {8, 8}, {23, 23}, {25, 26}};
        case 7:
            return {{15, 15},
                    {1, 1},
                    {23, 23},
                    {25, 26},
                    {zen ? 6 : 9, zen ? 6 : 9},
                    {23, 23},
                    {zen ? 7 : 9, zen ? 7 : 9},
                    {23, 23},
                    {25, 26}};
        default:
            return {};
    }
}

int Count(int database, RegisterType type) {
    switch (database) {
        case 0:
            return 15;
        case 1:
            return 20;
        case 2:
            return 8;
        case 4:
            return type == RegisterType::Zen ? 4 : 8;
        case 5:
            return 8;
        case 7:
            return type == RegisterType::Zen ? 2636 : 2300;
        default:
            return 0;
    }
}

// The default value of a field of an empty record.
std::string EmptyValue(int code) {
    switch (code) {
        case 1:
        case 12:
        case 13:
        case 14:
        case 15:
        case 16:
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 22:
            return "";
        case 31:
            return "0 0";
        default:
            return "0";
    }
}

std::string HexOf(const iBuffer& bytes) {
    iBuffer copy(bytes);
    copy.ToHexText();
    return std::string(copy.View());
}

uint8_t Bcd(int value) {
    return static_cast<uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

int DatabaseOfWrite(char letter) {
    switch (letter) {
        case '@':
            return 0;
        case 'A':
            return 1;
        case 'B':
            return 2;
        case 'C':
            return 4;
        case 'D':
            return 5;
        case 'E':
            return 7;
        default:
            return -1;
    }
}

int DatabaseOfDelete(char letter) {
    switch (letter) {
        case 'Q':
            return 0;
        case 'R':
            return 1;
        case 'S':
            return 2;
        case 'T':
            return 4;
        case 'U':
            return 5;
        case 'V':
            return 7;
        default:
            return -1;
    }
}

Reply StatusOnly(int code) {
    Reply r;
    r.status = code;
    return r;
}

Reply Data(std::string data) {
    Reply r;
    r.data = std::move(data);
    return r;
}

std::vector<std::string> EmptyRecord(const std::vector<WireField>& layout) {
    std::vector<std::string> empty;
    for (const auto& field : layout) {
        empty.push_back(EmptyValue(field.readCode));
    }
    return empty;
}

// The register's refusal of a request that does not have `count` parameters, the first an
// index inside the database; nothing when it has them.
std::optional<Reply> RefuseIndex(int database, const SimDatabase& db, const ParsedRequest& request,
                                 size_t count = 1) {
    if (request.params.size() != count) {
        return StatusOnly(kStatusParameter);
    }
    const int64_t index = request.params[0];
    if (index >= 0 && index < static_cast<int64_t>(db.records.size())) {
        return std::nullopt;
    }
    return StatusOnly(database == kGoodsDatabase ? kStatusOutOfRange : kStatusParameter);
}

// The register's own clock: the computer's, shifted by the offset it was set to.
std::tm RegisterTime(int64_t offsetSeconds) {
    const std::time_t now = std::time(nullptr) + offsetSeconds;
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

}  // namespace

RegisterState::RegisterState(RegisterType registerType, bool demoData) : type(registerType) {
    identification = type == RegisterType::Zen ? "ZEN-FV/2/20261106/1.07" : "VESPER/3/0214/2.15";
    for (const int number : {0, 1, 2, 4, 5, 7}) {
        SimDatabase db;
        db.number = number;
        db.layout = Layout(number, type);
        db.records.assign(static_cast<size_t>(Count(number, type)), EmptyRecord(db.layout));
        databases[number] = std::move(db);
    }
    if (type == RegisterType::Zen) {
        fiscalMemory = demoData ? DemoFiscalMemory(vatRates, std::time(nullptr))
                                : std::vector<FiscalMemoryRecord>(2048, EmptyFiscalRecord());
    }
    if (demoData) {
        LoadDemoData(*this);
        header[0] = {"SKLEP SPOŻYWCZY", true, false};
        header[1] = {"  u Kowalskich", false, false};
        header[2] = {"ul. Lipowa 5", false, false};
        header[3] = {"00-950 Warszawa", false, true};
    }
}

int RegisterState::RecordCount(int database) const {
    const auto it = databases.find(database);
    return it == databases.end() ? 0 : static_cast<int>(it->second.records.size());
}

bool RegisterState::TotalsAreZero() const {
    for (const double t : totals) {
        if (t != 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::string>& RegisterState::Record(int database, int number) {
    return databases.at(database).records.at(static_cast<size_t>(number - 1));
}

Reply RegisterState::Handle(const ParsedRequest& request) {
    const char c = request.command;
    if (const int db = DatabaseOfWrite(c); db >= 0) {
        return WriteRecord(db, request);
    }
    if (const int db = DatabaseOfDelete(c); db >= 0) {
        return DeleteRecord(db, request);
    }
    using Handler = Reply (RegisterState::*)(const ParsedRequest&);
    static constexpr std::pair<char, Handler> kHandlers[] = {
        {'H', &RegisterState::ReadRecord}, {'N', &RegisterState::Status},
        {'P', &RegisterState::SetMode},    {'^', &RegisterState::Identify},
        {']', &RegisterState::FindUsed},   {'J', &RegisterState::FiscalMemory},
        {'I', &RegisterState::Totals},     {'O', &RegisterState::ReadVat},
        {'Z', &RegisterState::WriteVat},   {'L', &RegisterState::ReadClock},
        {'Y', &RegisterState::SetClock},   {'W', &RegisterState::Settings},
        {'K', &RegisterState::ReadHeader}, {'X', &RegisterState::WriteHeader},
    };
    for (const auto& [letter, handler] : kHandlers) {
        if (letter == c) {
            return (this->*handler)(request);
        }
    }
    return StatusOnly(kStatusCommand);
}

Reply RegisterState::SetMode(const ParsedRequest& request) {
    if (request.params.size() != 1) {
        return StatusOnly(kStatusParameter);
    }
    mode = static_cast<int>(request.params[0]);
    return StatusOnly(kStatusOk);
}

Reply RegisterState::Status(const ParsedRequest& /*request*/) {
    iBuffer bytes;
    bytes.AppendByte(static_cast<uint8_t>(mode));
    bytes.AppendByte(static_cast<uint8_t>(fiscal));
    bytes.AppendByte(static_cast<uint8_t>(optionBits));
    const std::tm tm = RegisterTime(clockOffsetSeconds);
    const int year = tm.tm_year + 1900;
    bytes.AppendByte(Bcd(year % 100));
    bytes.AppendByte(Bcd(year / 100));
    bytes.AppendByte(Bcd(tm.tm_mon + 1));
    bytes.AppendByte(Bcd(tm.tm_mday));
    return Data(HexOf(bytes));
}

Reply RegisterState::Identify(const ParsedRequest& /*request*/) {
    return Data(identification);
}

std::string RegisterState::EncodeRecord(const SimDatabase& db,
                                        const std::vector<std::string>& values) const {
    iBuffer bytes;
    for (size_t i = 0; i < db.layout.size(); ++i) {
        int code = db.layout[i].readCode;
        // Answers carry every byte as two digits, so a flag byte is encoded raw here.
        if (code == 25) {
            code = 26;
        } else if (code == 29) {
            code = 8;
        }
        EncodeField(bytes, static_cast<FieldCode>(code), values[i]);
    }
    return HexOf(bytes);
}

Reply RegisterState::ReadRecord(const ParsedRequest& request) {
    if (request.params.size() != 2) {
        return StatusOnly(kStatusParameter);
    }
    const auto it = databases.find(static_cast<int>(request.params[1]));
    if (it == databases.end()) {
        return StatusOnly(kStatusParameter);
    }
    if (const auto refused = RefuseIndex(it->first, it->second, request, 2)) {
        return *refused;
    }
    const auto index = static_cast<size_t>(request.params[0]);
    return Data(EncodeRecord(it->second, it->second.records[index]));
}

Reply RegisterState::WriteRecord(int database, const ParsedRequest& request) {
    SimDatabase& db = databases.at(database);
    if (const auto refused = RefuseIndex(database, db, request)) {
        return *refused;
    }
    const auto index = static_cast<size_t>(request.params[0]);
    WireReader reader(request.body);
    std::vector<std::string> values;
    for (const auto& field : db.layout) {
        const auto value = reader.Field(field.writeCode);
        if (!value) {
            return StatusOnly(kStatusData);
        }
        values.push_back(*value);
    }
    if (!reader.AtEnd()) {
        return StatusOnly(kStatusData);
    }
    auto& stored = db.records[index];
    if (values == stored) {
        return StatusOnly(kStatusOk);
    }
    if (!TotalsAreZero()) {
        return StatusOnly(kStatusTotals);
    }
    if (database == kGoodsDatabase && !values[0].empty()) {
        for (size_t i = 0; i < db.records.size(); ++i) {
            if (i != index && db.records[i][0] == values[0]) {
                return StatusOnly(kStatusNameUsed);
            }
        }
    }
    stored = std::move(values);
    ++databaseChanges;
    return StatusOnly(kStatusOk);
}

Reply RegisterState::DeleteRecord(int database, const ParsedRequest& request) {
    SimDatabase& db = databases.at(database);
    if (const auto refused = RefuseIndex(database, db, request)) {
        return *refused;
    }
    const auto index = static_cast<size_t>(request.params[0]);
    auto& stored = db.records[index];
    std::vector<std::string> empty = EmptyRecord(db.layout);
    if (stored != empty && !TotalsAreZero()) {
        return StatusOnly(kStatusTotals);
    }
    stored = std::move(empty);
    ++databaseChanges;
    return StatusOnly(kStatusOk);
}

Reply RegisterState::FindUsed(const ParsedRequest& request) {
    const SimDatabase& db = databases.at(kGoodsDatabase);
    if (const auto refused = RefuseIndex(kGoodsDatabase, db, request)) {
        return *refused;
    }
    const auto index = static_cast<size_t>(request.params[0]);
    const auto& record = db.records[index];
    Reply reply;
    // The index and the database number both come back before the letter.
    reply.echoExtra = ";" + std::to_string(kGoodsDatabase);
    reply.data = record[0].empty() ? std::string() : EncodeRecord(db, record);
    return reply;
}

Reply RegisterState::FiscalMemory(const ParsedRequest& request) {
    if (request.params.size() != 1) {
        return StatusOnly(kStatusParameter);
    }
    const int64_t number = request.params[0];
    if (number != 4) {
        if (number < 0 || number >= static_cast<int64_t>(fiscalMemory.size())) {
            return StatusOnly(kStatusParameter);
        }
        const FiscalMemoryRecord& record = fiscalMemory[static_cast<size_t>(number)];
        iBuffer bytes;
        bytes.AppendBytes(record.data(), record.size());
        return Data(HexOf(bytes));
    }
    iBuffer bytes;
    std::string unique = uniqueNumber.empty() ? std::string(11, '\xff') : uniqueNumber;
    unique.resize(11, ' ');
    bytes.Append(unique);
    while (bytes.Length() < 32) {
        bytes.AppendByte(0);
    }
    std::string tax = taxNumber.empty() ? std::string(13, '\xff') : taxNumber;
    tax.resize(13, ' ');
    bytes.Append(tax);
    while (bytes.Length() < 64) {
        bytes.AppendByte(0);
    }
    return Data(HexOf(bytes));
}

Reply RegisterState::Totals(const ParsedRequest& /*request*/) {
    iBuffer bytes;
    for (const double t : totals) {
        EncodeField(bytes, kFieldAmount, t);
    }
    EncodeField(bytes, kFieldCount4, static_cast<int32_t>(receiptNumber));
    EncodeField(bytes, kFieldCount6, static_cast<int32_t>(databaseChanges));
    EncodeField(bytes, kFieldCount4, static_cast<int32_t>(cancelledReceipts));
    EncodeField(bytes, kFieldAmount, cancelledAmount);
    return Data(HexOf(bytes));
}

Reply RegisterState::ReadVat(const ParsedRequest& /*request*/) {
    iBuffer bytes;
    for (const double rate : vatRates) {
        if (rate == -1 || rate == -2) {
            bytes.AppendByte(rate == -1 ? 0xFF : 0xFE);
            bytes.AppendByte(0xFF);
        } else {
            EncodeField(bytes, kFieldCount4, static_cast<int32_t>(std::lround(rate * 100)));
        }
    }
    return Data(HexOf(bytes));
}

Reply RegisterState::WriteVat(const ParsedRequest& request) {
    if (fiscal != 0 && type == RegisterType::Zen) {
        return StatusOnly(kStatusFiscal);
    }
    WireReader reader(request.body);
    std::array<double, 7> rates{};
    for (double& rate : rates) {
        const auto value = reader.Field(4);
        if (!value) {
            return StatusOnly(kStatusData);
        }
        rate = ParseDouble(*value).value_or(0);
    }
    if (!reader.AtEnd()) {
        return StatusOnly(kStatusData);
    }
    if (rates != vatRates && !TotalsAreZero()) {
        return StatusOnly(kStatusTotals);
    }
    vatRates = rates;
    return StatusOnly(kStatusOk);
}

Reply RegisterState::ReadClock(const ParsedRequest& /*request*/) {
    const std::tm tm = RegisterTime(clockOffsetSeconds);
    const int year = tm.tm_year + 1900;
    iBuffer bytes;
    for (const int value : {tm.tm_sec, tm.tm_min, tm.tm_hour, tm.tm_mday, tm.tm_mon + 1}) {
        bytes.AppendByte(Bcd(value));
    }
    bytes.AppendByte(Bcd(year % 100));
    bytes.AppendByte(Bcd(year / 100));
    return Data(HexOf(bytes));
}

Reply RegisterState::SetClock(const ParsedRequest& request) {
    if (fiscal != 0 && type == RegisterType::Zen) {
        return StatusOnly(kStatusFiscal);
    }
    WireReader reader(request.body);
    int parts[6] = {};
    const int codes[6] = {2, 2, 2, 2, 2, 8};
    for (int i = 0; i < 6; ++i) {
        const auto value = reader.Field(codes[i]);
        if (!value) {
            return StatusOnly(kStatusData);
        }
        parts[i] = static_cast<int>(ParseDouble(*value).value_or(0));
    }
    std::tm tm{};
    tm.tm_sec = parts[0];
    tm.tm_min = parts[1];
    tm.tm_hour = parts[2];
    tm.tm_mday = parts[3];
    tm.tm_mon = parts[4] - 1;
    tm.tm_year = parts[5] - 1900;
    tm.tm_isdst = -1;
    if (parts[4] < 1 || parts[4] > 12 || parts[3] < 1 || parts[3] > 31 || parts[2] > 23 ||
        parts[1] > 59 || parts[0] > 59) {
        return StatusOnly(kStatusData);
    }
    clockOffsetSeconds = static_cast<int64_t>(std::mktime(&tm)) - std::time(nullptr);
    return StatusOnly(kStatusOk);
}

Reply RegisterState::ReadHeader(const ParsedRequest& /*request*/) {
    iBuffer bytes;
    if (type == RegisterType::Zen) {
        for (const auto& line : header) {
            EncodeField(bytes, kFieldText20, line.text);
        }
    } else {
        for (size_t i = 0; i < 6; ++i) {
            if (header[i].heavy) {
                bytes.AppendByte(14);
            }
            if (header[i].doubleHeight) {
                bytes.AppendByte(25);
            }
            EncodeField(bytes, kFieldLineLf, header[i].text);
        }
    }
    return Data(HexOf(bytes));
}

// ZEN: eight 20-byte carriage-return lines and the byte 13. VESPER: lines ended by a line
// feed, each after its control bytes (14 heavy, 25 double height), then the byte 26; the
// lines not sent are emptied. Parameters or a malformed body change nothing.
Reply RegisterState::WriteHeader(const ParsedRequest& request) {
    if (!request.params.empty()) {
        return StatusOnly(kStatusParameter);
    }
    if (fiscal != 0 && type == RegisterType::Zen) {
        return StatusOnly(kStatusFiscal);
    }
    std::array<SimHeaderLine, 8> sent{};
    WireReader reader(request.body);
    if (type == RegisterType::Zen) {
        for (SimHeaderLine& line : sent) {
            const auto text = reader.Field(20);
            if (!text) {
                return StatusOnly(kStatusData);
            }
            line.text = *text;
        }
        if (request.body.size() != 8 * 20 + 1 || request.body.back() != '\r') {
            return StatusOnly(kStatusData);
        }
    } else {
        std::string_view rest = request.body;
        size_t count = 0;
        while (!rest.empty() && rest.front() != 26) {
            if (count == 6) {
                return StatusOnly(kStatusData);
            }
            SimHeaderLine& line = sent[count++];
            while (!rest.empty() && (rest.front() == 14 || rest.front() == 25)) {
                (rest.front() == 14 ? line.heavy : line.doubleHeight) = true;
                rest.remove_prefix(1);
            }
            WireReader lineReader(rest);
            const auto text = lineReader.Field(21);
            if (!text) {
                return StatusOnly(kStatusData);
            }
            line.text = *text;
            rest.remove_prefix(rest.size() - lineReader.Remaining());
        }
        if (rest.size() != 1) {
            return StatusOnly(kStatusData);
        }
    }
    header = sent;
    return StatusOnly(kStatusOk);
}

Reply RegisterState::Settings(const ParsedRequest& request) {
    if (request.params.size() != 1) {
        return StatusOnly(kStatusParameter);
    }
    optionBits = static_cast<int>(request.params[0]) & 7;
    return StatusOnly(kStatusOk);
}

}  // namespace kasa::sim
