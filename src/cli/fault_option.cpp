#include "cli/fault_option.h"

#include <array>
#include <charconv>

namespace kasa::cli {

namespace {

// Past the program's default answer time-out of 5000 ms, so the answer lands in the next
// exchange.
constexpr int kLateDefaultMs = 6000;
constexpr int kSplitDefaultMs = 100;
constexpr int kLongestDelayMs = 600000;

struct FaultName {
    std::string_view name;
    sim::FaultKind kind;
    int defaultDelayMs;  // -1: the kind takes no value
};

constexpr std::array<FaultName, 11> kFaultNames{{
    {"brak-odpowiedzi", sim::FaultKind::NoAnswer, -1},
    {"spozniona", sim::FaultKind::LateAnswer, kLateDefaultMs},
    {"podzielona", sim::FaultKind::SplitAnswer, kSplitDefaultMs},
    {"suma", sim::FaultKind::BadChecksum, -1},
    {"stary-numer", sim::FaultKind::StaleNumber, -1},
    {"smieci-przed", sim::FaultKind::GarbageBefore, -1},
    {"smieci-po", sim::FaultKind::GarbageAfter, -1},
    {"zerwanie", sim::FaultKind::CloseMidAnswer, -1},
    {"znikniecie", sim::FaultKind::Vanish, -1},
    {"status", sim::FaultKind::Status, -1},
    {"ignoruje-zapis", sim::FaultKind::IgnoreWrite, -1},
}};

// A whole decimal number from `lowest` to `highest`.
std::optional<int> Number(std::string_view text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<sim::Fault> ParseFaultOption(std::string_view text, std::string& error) {
    error = "Nieprawidłowa usterka: " + std::string(text) +
            " (np. brak-odpowiedzi:co=100, suma:raz, status=24:po=3).";
    std::string_view kind = text;
    std::string_view repeat;
    if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
        kind = text.substr(0, colon);
        repeat = text.substr(colon + 1);
    }
    std::string_view value;
    bool hasValue = false;
    if (const size_t equals = kind.find('='); equals != std::string_view::npos) {
        value = kind.substr(equals + 1);
        kind = kind.substr(0, equals);
        hasValue = true;
    }
    sim::Fault fault;
    const FaultName* named = nullptr;
    for (const FaultName& n : kFaultNames) {
        if (n.name == kind) {
            named = &n;
        }
    }
    if (named == nullptr) {
        if (!kind.empty()) {
            error = "Nieznana usterka: " + std::string(kind) + ".";
        }
        return std::nullopt;
    }
    fault.kind = named->kind;
    if (named->kind == sim::FaultKind::Status) {
        const std::optional<int> code = hasValue ? Number(value, 0, 255) : std::nullopt;
        if (!code) {
            return std::nullopt;
        }
        fault.status = *code;
    } else if (named->defaultDelayMs >= 0) {
        const std::optional<int> delay =
            hasValue ? Number(value, 0, kLongestDelayMs) : named->defaultDelayMs;
        if (!delay) {
            return std::nullopt;
        }
        fault.delayMs = *delay;
    } else if (hasValue) {
        return std::nullopt;
    }
    if (repeat.empty() && text.find(':') == std::string_view::npos) {
        return fault;
    }
    if (repeat == "raz") {
        return fault;
    }
    const bool every = repeat.starts_with("co=");
    if (!every && !repeat.starts_with("po=")) {
        return std::nullopt;
    }
    const std::optional<int> n = Number(repeat.substr(3), 1, 1000000000);
    if (!n) {
        return std::nullopt;
    }
    fault.from = *n;
    fault.every = every ? *n : 1;
    return fault;
}

}  // namespace kasa::cli
