#include "comm/telnet_com_port.h"

namespace kasa::telnet {

namespace {

void AppendCommand(Bytes& out, uint8_t verb, uint8_t option) {
    out.push_back(kIac);
    out.push_back(verb);
    out.push_back(option);
}

Bytes BigEndian(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

Bytes Reply(uint8_t code, const Bytes& value) {
    return ComPortCommand(static_cast<uint8_t>(code + kServerReply), value);
}

}  // namespace

void AppendEscaped(Bytes& out, const uint8_t* data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out.push_back(data[i]);
        if (data[i] == kIac) {
            out.push_back(kIac);
        }
    }
}

size_t DataBytesWithin(const uint8_t* data, size_t count, size_t rawSent) {
    size_t raw = 0;
    size_t whole = 0;
    for (; whole < count; ++whole) {
        raw += data[whole] == kIac ? 2 : 1;
        if (raw > rawSent) {
            break;
        }
    }
    return whole;
}

size_t Reader::Feed(const uint8_t* raw, size_t count, uint8_t* data) {
    size_t out = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = raw[i];
        switch (state_) {
            case State::kData:
                if (b == kIac) {
                    state_ = State::kAfterIac;
                } else {
                    data[out++] = b;
                }
                break;
            case State::kAfterIac:
                if (b == kIac) {
                    data[out++] = kIac;
                    state_ = State::kData;
                } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
                    verb_ = b;
                    state_ = State::kOption;
                } else if (b == kSb) {
                    state_ = State::kSbOption;
                } else {
                    state_ = State::kData;  // a two-byte command such as NOP or GA: nothing to do
                }
                break;
            case State::kOption:
                events_.push_back(Event{verb_, b, {}});
                state_ = State::kData;
                break;
            case State::kSbOption:
                sub_ = Event{kSb, b, {}};
                state_ = State::kSbValue;
                break;
            case State::kSbValue:
                if (b == kIac) {
                    state_ = State::kSbAfterIac;
                } else if (sub_.value.size() < kLongestValue) {
                    sub_.value.push_back(b);
                }
                break;
            case State::kSbAfterIac:
                if (b == kSe) {
                    events_.push_back(std::move(sub_));
                    sub_ = Event{};
                    state_ = State::kData;
                } else {
                    // IAC IAC is a value byte 255; anything else after IAC inside a
                    // subnegotiation is malformed and dropped.
                    if (b == kIac && sub_.value.size() < kLongestValue) {
                        sub_.value.push_back(kIac);
                    }
                    state_ = State::kSbValue;
                }
                break;
        }
    }
    return out;
}

bool Negotiation::Supported(uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

Bytes Negotiation::Opening(bool client) {
    Bytes out;
    const auto say = [&](uint8_t verb, uint8_t option) {
        AppendCommand(out, verb, option);
        (verb == kWill || verb == kWont ? ours_ : theirs_)[option] = verb;
    };
    say(kWill, kBinary);
    say(kDo, kBinary);
    say(kWill, kSuppressGoAhead);
    say(kDo, kSuppressGoAhead);
    say(client ? kWill : kDo, kComPortOption);
    return out;
}

Bytes Negotiation::Answer(const Event& event) {
    Bytes out;
    if (event.verb == kDo && ours_[event.option] == 0) {
        ours_[event.option] = Supported(event.option) ? kWill : kWont;
        AppendCommand(out, ours_[event.option], event.option);
    } else if (event.verb == kWill && theirs_[event.option] == 0) {
        theirs_[event.option] = Supported(event.option) ? kDo : kDont;
        AppendCommand(out, theirs_[event.option], event.option);
    }
    return out;
}

Bytes ComPortCommand(uint8_t code, const Bytes& value) {
    Bytes out = {kIac, kSb, kComPortOption, code};
    AppendEscaped(out, value.data(), value.size());
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

Bytes LineSettingsCommands(const LineSettings& settings) {
    Bytes out;
    const auto add = [&](uint8_t code, const Bytes& value) {
        const Bytes command = ComPortCommand(code, value);
        out.insert(out.end(), command.begin(), command.end());
    };
    add(kSetBaudRate, BigEndian(settings.baudRate));
    add(kSetDataSize, {settings.dataSize});
    add(kSetParity, {settings.parity});
    add(kSetStopSize, {settings.stopSize});
    add(kSetControl, {settings.flowControl});
    add(kSetControl, {settings.dtr});
    add(kSetControl, {settings.rts});
    return out;
}

std::optional<Bytes> AnswerComPortCommand(const Event& event, LineSettings& settings,
                                          std::vector<uint8_t>* purges) {
    if (event.verb != kSb || event.option != kComPortOption || event.value.empty()) {
        return std::nullopt;
    }
    const uint8_t code = event.value[0];
    const Bytes value(event.value.begin() + 1, event.value.end());
    const uint8_t first = value.empty() ? 0 : value[0];
    switch (code) {
        case kSignature:
            return Reply(code, Bytes{'k', 'a', 's', 'a'});
        case kSetBaudRate: {
            if (value.size() != 4) {
                return std::nullopt;
            }
            const uint32_t rate = (uint32_t{value[0]} << 24) | (uint32_t{value[1]} << 16) |
                                  (uint32_t{value[2]} << 8) | uint32_t{value[3]};
            if (rate != 0) {
                settings.baudRate = rate;
            }
            return Reply(code, BigEndian(settings.baudRate));
        }
        case kSetDataSize:
            if (first >= 5 && first <= 8) {
                settings.dataSize = first;
            }
            return Reply(code, {settings.dataSize});
        case kSetParity:
            if (first >= 1 && first <= 5) {
                settings.parity = first;
            }
            return Reply(code, {settings.parity});
        case kSetStopSize:
            if (first >= 1 && first <= 3) {
                settings.stopSize = first;
            }
            return Reply(code, {settings.stopSize});
        case kSetControl:
            if (first >= kControlNoFlow && first <= kControlHardware) {
                settings.flowControl = first;
                return Reply(code, {first});
            }
            if (first == kControlDtrOn || first == kControlDtrOff) {
                settings.dtr = first;
                return Reply(code, {first});
            }
            if (first == kControlRtsOn || first == kControlRtsOff) {
                settings.rts = first;
                return Reply(code, {first});
            }
            // 0 asks for the flow control, 7 for DTR, 10 for RTS; break and the rest are
            // echoed.
            if (first == 0) {
                return Reply(code, {settings.flowControl});
            }
            if (first == 7) {
                return Reply(code, {settings.dtr});
            }
            if (first == 10) {
                return Reply(code, {settings.rts});
            }
            return Reply(code, {first});
        case kSetLineStateMask:
        case kSetModemStateMask:
            return Reply(code, {first});
        case kPurgeData:
            if (purges != nullptr && first >= kPurgeReceive && first <= kPurgeBoth) {
                purges->push_back(first);
            }
            return Reply(code, {first});
        default:
            return std::nullopt;
    }
}

}  // namespace kasa::telnet
