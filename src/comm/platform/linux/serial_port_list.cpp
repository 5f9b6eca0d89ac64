#include "comm/serial_port_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kasa {

namespace {

namespace fs = std::filesystem;

struct TtyKind {
    const char* prefix;
    const char* description;
};

const TtyKind kTtyKinds[] = {
    {"ttyS", "(port szeregowy)"},
    {"ttyUSB", "(przejściówka USB)"},
    {"ttyACM", "(urządzenie USB)"},
};

// The number after the prefix, or -1 when the rest is not all digits.
int TtyNumber(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    int number = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9' || number > 100000) {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::vector<PortEntry> ListSerialPorts(const std::string& devRoot) {
    std::vector<PortEntry> ports;
    std::error_code error;

    const fs::path byId = fs::path(devRoot) / "serial" / "by-id";
    std::vector<PortEntry> stable;
    for (fs::directory_iterator it(byId, error), end; !error && it != end; it.increment(error)) {
        std::error_code targetError;
        const fs::path target = fs::canonical(it->path(), targetError);
        PortEntry entry{it->path().string(), ""};
        if (!targetError) {
            entry.description = "(" + target.string() + ")";
        }
        stable.push_back(std::move(entry));
    }
    std::sort(stable.begin(), stable.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.path < b.path; });
    ports.insert(ports.end(), stable.begin(), stable.end());

    for (const TtyKind& kind : kTtyKinds) {
        std::vector<std::pair<int, std::string>> found;
        error.clear();
        for (fs::directory_iterator it(devRoot, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            const int number = TtyNumber(name, kind.prefix);
            if (number >= 0) {
                found.emplace_back(number, it->path().string());
            }
        }
        std::sort(found.begin(), found.end());
        for (auto& [number, path] : found) {
            ports.push_back({std::move(path), kind.description});
        }
    }
    return ports;
}

}  // namespace kasa
