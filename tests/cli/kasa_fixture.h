// A virtual register and the command line run against it, as a user runs kasa.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "sim/virtual_register.h"
#include "support/scratch_folder.h"

namespace kasa::cli {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

// kasa run without a register, over a settings file of the test's own, as a "Vesper".
inline Outcome KasaOffline(std::vector<std::string> args, const std::string& configPath) {
    args.insert(args.begin(), {"--config", configPath, "--typ", "vesper"});
    std::istringstream in;
    std::ostringstream out, err;
    const int code = kasa::cli::Run(args, in, out, err);
    return {code, out.str(), err.str()};
}

class KasaCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::VirtualRegisterOptions options;
        options.type = sim::RegisterType::Vesper;
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
    }
    // Writes leave their backups in the test's own folder, never in the user's.
    Outcome Kasa(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"--port", reg->PortPath(), "--baud", "115200"});
        std::istringstream in(input);
        std::ostringstream out, err;
        const int code = kasa::cli::Run(args, in, out, err, false, false, BackupFolder());
        return {code, out.str(), err.str()};
    }
    std::string BackupFolder() const { return backups.Path("kopie") + "/"; }
    std::unique_ptr<sim::VirtualRegister> reg;
    kasa::testing::ScratchFolder backups;
};

// The command line without a register, over a config file of its own in a scratch folder,
// as a "Vesper" user runs it.
class KasaWithoutRegister : public ::testing::Test {
  protected:
    Outcome Kasa(std::vector<std::string> args) {
        return KasaOffline(std::move(args), folder_.Path("config.cfg"));
    }
    kasa::testing::ScratchFolder folder_;
};

}  // namespace kasa::cli
