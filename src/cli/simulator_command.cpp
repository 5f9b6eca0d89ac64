#include "cli/simulator_command.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

#include "base/codepage.h"
#include "cli/command_line.h"
#include "cli/fault_option.h"
#include "sim/virtual_register.h"

namespace kasa::cli {

namespace {

std::string SymulatorUsage() {
    return "Użycie: kasa symulator [--typ zen|vesper] [--link ŚCIEŻKA] [--baud N] [--puste]\n"
           "       [--tcp [ADRES:]PORT | --rfc2217 [ADRES:]PORT]\n"
           "       [--blad LITERA:NUMER:KOD] [--usterka RODZAJ[:co=N|:po=N|:raz]]\n"
           "  --typ zen|vesper  typ kasy (domyślnie vesper)\n"
           "  --link ŚCIEŻKA    dowiązanie symboliczne do portu, usuwane przy zakończeniu\n"
           "  --tcp [ADRES:]PORT  czeka na program na porcie TCP zamiast pseudoterminala, jak\n"
           "                    serwer portu szeregowego (surowe TCP); ADRES domyślnie\n"
           "                    127.0.0.1, adres IPv6 w nawiasach [ ]; PORT 0: wolny port\n"
           "  --rfc2217 [ADRES:]PORT  to samo przez Telnet z ustawieniami linii RFC 2217\n"
           "  --baud N          wysyła nie szybciej niż N bitów na sekundę (10 bitów na bajt)\n"
           "  --puste           pusta kasa zamiast przykładowego sklepu\n"
           "  --blad LITERA:NUMER:KOD  odpowiada kodem KOD na polecenie LITERA dla rekordu NUMER\n"
           "                    (np. E:12:23 odrzuca zapis towaru 12); można podać kilka razy\n" +
           std::string(kFaultOptionHelp);
}

constexpr int kHighestBaud = 10000000;
constexpr auto kStopPoll = std::chrono::milliseconds(50);

// "E:12:23": the command letter, the record number and the status code to answer with.
bool ParseForcedStatus(const std::string& value, sim::VirtualRegisterOptions& options) {
    const size_t second = value.find(':', 2);
    if (value.size() < 5 || value[1] != ':' || second == std::string::npos) {
        return false;
    }
    sim::VirtualRegisterOptions::ForcedStatus forced;
    forced.command = value[0];
    const char* numberEnd = value.data() + second;
    const auto number = std::from_chars(value.data() + 2, numberEnd, forced.number);
    const auto code = std::from_chars(numberEnd + 1, value.data() + value.size(), forced.code);
    if (number.ec != std::errc() || number.ptr != numberEnd || code.ec != std::errc() ||
        code.ptr != value.data() + value.size() || forced.number < 1 || forced.code < 0 ||
        forced.code > 255) {
        return false;
    }
    options.forcedStatuses.push_back(forced);
    return true;
}

// "[ADRES:]PORT" of --tcp and --rfc2217: the loopback when no address is given, an IPv6
// address in brackets, port 0 for one the system picks.
bool ParseListenAddress(const std::string& value, sim::VirtualRegisterOptions& options) {
    std::string host = "127.0.0.1";
    std::string port = value;
    const size_t colon = value.rfind(':');
    if (colon != std::string::npos) {
        host = value.substr(0, colon);
        port = value.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        } else if (host.find(':') != std::string::npos) {
            return false;  // an IPv6 address needs its brackets
        }
        if (host.empty()) {
            host = "127.0.0.1";
        }
    }
    int number = -1;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || number < 0 ||
        number > 65535) {
        return false;
    }
    options.listenHost = host;
    options.listenPort = number;
    return true;
}

// The options, and the faults to inject; on a wrong fault `error` says why.
std::optional<sim::VirtualRegisterOptions> ParseArguments(const std::vector<std::string>& args,
                                                          std::vector<sim::Fault>& faults,
                                                          std::string& message) {
    sim::VirtualRegisterOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--puste") {
            options.demoData = false;
            continue;
        }
        if (word != "--typ" && word != "--link" && word != "--baud" && word != "--blad" &&
            word != "--usterka" && word != "--tcp" && word != "--rfc2217") {
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (word == "--typ") {
            const std::string type = Utf8ToUpper(value);
            if (type == "ZEN") {
                options.type = sim::RegisterType::Zen;
            } else if (type == "VESPER") {
                options.type = sim::RegisterType::Vesper;
            } else {
                return std::nullopt;
            }
        } else if (word == "--usterka") {
            const std::optional<sim::Fault> fault = ParseFaultOption(value, message);
            if (!fault) {
                return std::nullopt;
            }
            faults.push_back(*fault);
        } else if (word == "--blad") {
            if (!ParseForcedStatus(value, options)) {
                return std::nullopt;
            }
        } else if (word == "--tcp" || word == "--rfc2217") {
            using Listening = sim::VirtualRegisterOptions::Listening;
            if (options.listening != Listening::kTerminal || !ParseListenAddress(value, options)) {
                return std::nullopt;
            }
            options.listening = word == "--tcp" ? Listening::kTcp : Listening::kRfc2217;
        } else if (word == "--link") {
            if (value.empty() || value.starts_with("-")) {
                return std::nullopt;
            }
            options.linkPath = value;
        } else {
            int baud = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), baud);
            if (error != std::errc() || end != value.data() + value.size() || baud < 1 ||
                baud > kHighestBaud) {
                return std::nullopt;
            }
            options.baudRate = baud;
        }
    }
    // A link names a device file; a network port has none.
    if (!options.linkPath.empty() &&
        options.listening != sim::VirtualRegisterOptions::Listening::kTerminal) {
        return std::nullopt;
    }
    return options;
}

// Set from the signal handler; a lock-free atomic is safe to store there.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnInterrupt(int) {
    g_interrupted.store(true);
}

}  // namespace

int RunSymulatorUntil(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::atomic<bool>& stop) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << SymulatorUsage();
        return kExitSuccess;
    }
    std::vector<sim::Fault> faults;
    std::string wrongFault;
    const std::optional<sim::VirtualRegisterOptions> options =
        ParseArguments(args, faults, wrongFault);
    if (!options) {
        err << (wrongFault.empty() ? "" : wrongFault + "\n\n") << SymulatorUsage();
        return kExitUsage;
    }
    if (!options->linkPath.empty()) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(options->linkPath, error);
        if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
            err << "Plik " << options->linkPath
                << " już istnieje i nie jest dowiązaniem; wybierz inną ścieżkę.\n";
            return kExitFailure;
        }
    }
    sim::VirtualRegister reg(*options);
    for (const sim::Fault& fault : faults) {
        reg.InjectFault(fault);
    }
    if (!reg.Start()) {
        err << "Nie można uruchomić wirtualnej kasy";
        if (!options->linkPath.empty()) {
            err << " ani utworzyć dowiązania " << options->linkPath;
        }
        if (options->listening != sim::VirtualRegisterOptions::Listening::kTerminal) {
            err << " na porcie " << options->listenHost << ":" << options->listenPort
                << " (zajęty albo adres nie należy do tego komputera)";
        }
        err << ".\n";
        return kExitFailure;
    }
    const bool zen = options->type == sim::RegisterType::Zen;
    out << "Wirtualna kasa " << (zen ? "Zen" : "Vesper") << " działa.\n";
    out << "Port do ustawienia w programie: " << reg.PortPath() << "\n";
    if (!options->linkPath.empty()) {
        out << "Dowiązanie " << options->linkPath << " wskazuje na " << reg.TerminalPath() << ".\n";
    }
    out << "Dane: " << (options->demoData ? "przykładowy sklep" : "pusta kasa") << ".\n";
    if (options->baudRate > 0) {
        out << "Tempo: " << options->baudRate << " bitów na sekundę.\n";
    } else {
        out << "Tempo: bez ograniczeń.\n";
    }
    if (!faults.empty()) {
        out << "Usterki: " << faults.size() << ".\n";
    }
    out << "Zakończenie: Ctrl+C.\n" << std::flush;

    while (!stop.load()) {
        std::this_thread::sleep_for(kStopPoll);
    }
    reg.Stop();
    out << "Wirtualna kasa zatrzymana.\n" << std::flush;
    return kExitSuccess;
}

int RunSymulator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    g_interrupted.store(false);
    const auto previousInt = std::signal(SIGINT, OnInterrupt);
    const auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    const int result = RunSymulatorUntil(args, out, err, g_interrupted);
    std::signal(SIGINT, previousInt == SIG_ERR ? SIG_DFL : previousInt);
    std::signal(SIGTERM, previousTerm == SIG_ERR ? SIG_DFL : previousTerm);
    return result;
}

}  // namespace kasa::cli
