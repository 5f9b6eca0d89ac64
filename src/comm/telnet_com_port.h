// Telnet with the COM-PORT-OPTION, as a serial device server speaks it: the byte codes, the
// escaping of data bytes, a reader that splits what arrives into data and commands, the
// answers to option requests and the line-setting commands. Pure functions on bytes, so
// both the network port and the virtual register's listening side share them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kasa::telnet {

using Bytes = std::vector<uint8_t>;

inline constexpr uint8_t kIac = 255;
inline constexpr uint8_t kSe = 240;
inline constexpr uint8_t kSb = 250;
inline constexpr uint8_t kWill = 251;
inline constexpr uint8_t kWont = 252;
inline constexpr uint8_t kDo = 253;
inline constexpr uint8_t kDont = 254;

inline constexpr uint8_t kBinary = 0;
inline constexpr uint8_t kSuppressGoAhead = 3;
inline constexpr uint8_t kComPortOption = 44;

// COM-PORT-OPTION command codes, as the client sends them; the server answers each with
// the code plus kServerReply.
inline constexpr uint8_t kSignature = 0;
inline constexpr uint8_t kSetBaudRate = 1;
inline constexpr uint8_t kSetDataSize = 2;
inline constexpr uint8_t kSetParity = 3;
inline constexpr uint8_t kSetStopSize = 4;
inline constexpr uint8_t kSetControl = 5;
inline constexpr uint8_t kSetLineStateMask = 10;
inline constexpr uint8_t kSetModemStateMask = 11;
inline constexpr uint8_t kPurgeData = 12;
inline constexpr uint8_t kServerReply = 100;

inline constexpr uint8_t kParityNone = 1;
inline constexpr uint8_t kParityOdd = 2;
inline constexpr uint8_t kParityEven = 3;
inline constexpr uint8_t kControlNoFlow = 1;
inline constexpr uint8_t kControlXonXoff = 2;
inline constexpr uint8_t kControlHardware = 3;
inline constexpr uint8_t kControlDtrOn = 8;
inline constexpr uint8_t kControlDtrOff = 9;
inline constexpr uint8_t kControlRtsOn = 11;
inline constexpr uint8_t kControlRtsOff = 12;
inline constexpr uint8_t kPurgeReceive = 1;
inline constexpr uint8_t kPurgeTransmit = 2;
inline constexpr uint8_t kPurgeBoth = 3;

// Appends data bytes as they travel inside Telnet: each 255 twice.
void AppendEscaped(Bytes& out, const uint8_t* data, size_t count);
// How many of `count` data bytes are wholly inside the first `rawSent` escaped bytes.
size_t DataBytesWithin(const uint8_t* data, size_t count, size_t rawSent);

// What arrives besides data: an option request or answer (WILL, WONT, DO, DONT with its
// option), or a subnegotiation with its value unescaped (IAC SB option value IAC SE).
struct Event {
    uint8_t verb = 0;  // kWill, kWont, kDo, kDont or kSb
    uint8_t option = 0;
    Bytes value;
    bool operator==(const Event&) const = default;
};

// Splits the bytes received into data and events; a command cut between two reads is
// completed by the next one.
class Reader {
  public:
    // Writes the data bytes among `count` raw bytes to `data` (room for `count` is enough)
    // and returns how many there were; the events wait in Events().
    size_t Feed(const uint8_t* raw, size_t count, uint8_t* data);
    std::vector<Event>& Events() { return events_; }

  private:
    enum class State { kData, kAfterIac, kOption, kSbOption, kSbValue, kSbAfterIac };
    // A subnegotiation longer than any the option defines is cut, so a broken peer cannot
    // grow the reader without end.
    static constexpr size_t kLongestValue = 256;
    State state_ = State::kData;
    uint8_t verb_ = 0;
    Event sub_;
    std::vector<Event> events_;
};

// The option requests of one side and its answers to the other side's. Binary transfer,
// suppress-go-ahead and the COM-PORT-OPTION are taken both ways, every other option is
// refused; each option is answered once and an answer is never answered, so two sides
// cannot loop.
class Negotiation {
  public:
    static bool Supported(uint8_t option);
    // What a side says first: WILL and DO binary, WILL and DO suppress-go-ahead, then WILL
    // COM-PORT-OPTION from the client or DO COM-PORT-OPTION from the server.
    Bytes Opening(bool client);
    // The reply to a received WILL, WONT, DO or DONT; empty when none is due.
    Bytes Answer(const Event& event);

  private:
    // What this side has said about its own use of each option (kWill or kWont) and about
    // the other side's (kDo or kDont); 0 while nothing was said.
    std::array<uint8_t, 256> ours_{};
    std::array<uint8_t, 256> theirs_{};
};

// IAC SB 44 code value IAC SE, the value escaped.
Bytes ComPortCommand(uint8_t code, const Bytes& value);

// A serial line's settings in the option's own codes.
struct LineSettings {
    uint32_t baudRate = 0;
    uint8_t dataSize = 0;
    uint8_t parity = 0;
    uint8_t stopSize = 0;
    uint8_t flowControl = 0;  // kControlNoFlow, kControlXonXoff or kControlHardware
    uint8_t dtr = 0;          // kControlDtrOn or kControlDtrOff
    uint8_t rts = 0;          // kControlRtsOn or kControlRtsOff
    bool operator==(const LineSettings&) const = default;
};

// The commands that set a line, in the order servers expect: baud rate, data size,
// parity, stop size, flow control, DTR, RTS.
Bytes LineSettingsCommands(const LineSettings& settings);

// The server's side: applies one COM-PORT-OPTION command of the client to `settings` and
// gives the acknowledgement carrying the value in force (a value of 0 only asks). Nothing
// for a subnegotiation of another option or a code no client sends. A purge request is
// counted in `purges`.
std::optional<Bytes> AnswerComPortCommand(const Event& event, LineSettings& settings,
                                          std::vector<uint8_t>* purges = nullptr);

}  // namespace kasa::telnet
