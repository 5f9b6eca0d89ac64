// A virtual register on its pseudo-terminal and a register session connected to it as an
// identified register of its type, for the tests of the register operations.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"

namespace kasa::testing {

class RegisterOnPty : public ::testing::Test {
  protected:
    void Start(sim::RegisterType type) {
        sim::VirtualRegisterOptions options;
        options.type = type;
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
        ecr.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
        ecr.modelCode = type == sim::RegisterType::Zen ? 1 : 2;
        ecr.answerTimeout = 1000;
        ASSERT_TRUE(ecr.InitTransmission());
        reg->ClearReceived();
    }
    // The payload of the last request with this letter, number and parameters dropped.
    std::string BodyOf(char letter) {
        for (const auto& p : reg->ReceivedPayloads()) {
            const size_t at = p.find_first_not_of("0123456789;");
            if (at != std::string::npos && p[at] == letter) {
                return p.substr(at + 1);
            }
        }
        return "<none>";
    }
    std::unique_ptr<sim::VirtualRegister> reg;
    RegisterSession ecr;
    RecordingUserInterface ui;
};

}  // namespace kasa::testing
