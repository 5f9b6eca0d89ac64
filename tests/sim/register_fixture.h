// A virtual register on its pseudo-terminal with the program's register object connected
// to it, shared by the tests that talk to the register over the real line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/records.h"
#include "ecr/register_session.h"
#include "sim/virtual_register.h"

namespace kasa::sim {

class RegisterFixture {
  public:
    // Starts a register of the given type and opens the program's port on it: its
    // pseudo-terminal, or its listening socket on the loopback.
    ::testing::AssertionResult Connect(RegisterType type, bool demoData = true, int baudRate = 0,
                                       VirtualRegisterOptions::Listening listening =
                                           VirtualRegisterOptions::Listening::kTerminal) {
        VirtualRegisterOptions options;
        options.type = type;
        options.demoData = demoData;
        options.baudRate = baudRate;
        options.listening = listening;
        reg = std::make_unique<VirtualRegister>(options);
        layout = LayoutOf(type);
        if (!reg->Start()) {
            return ::testing::AssertionFailure() << "no pseudo-terminal";
        }
        ecr.SetPortParams(
            reg->PortPath(), 115200,
            [this](const std::string& line, uint32_t) {
                std::lock_guard lock(logMutex_);
                log_.push_back(line);
            },
            0);
        ecr.answerTimeout = 1000;
        // These tests speak frame by frame: the session's start requests are left out, as
        // if a session had been started before.
        ecr.savedMode = 0;
        if (!ecr.InitTransmission()) {
            return ::testing::AssertionFailure() << "cannot open " << reg->PortPath();
        }
        return ::testing::AssertionSuccess();
    }

    // Sends the request number, the given header text and a binary body.
    bool Send(const std::string& header, const std::string& body = {}) {
        iBuffer& request = ecr.BeginRequest();
        request.Append(header);
        request.AppendBytes(body.data(), body.size());
        return ecr.Exchange(request);
    }

    bool LogHas(const std::string& text) {
        std::lock_guard lock(logMutex_);
        for (const auto& line : log_) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    // Reads record `number` of the record's database; fails unless a record came back.
    template <class Record>
    ::testing::AssertionResult ReadBack(int number, Record& out) {
        iBuffer& request = ecr.BeginRequest({number - 1, Record::kDatabase});
        request.AppendByte('H');
        if (!ecr.Exchange(request)) {
            return ::testing::AssertionFailure() << "no answer";
        }
        const int64_t index = ecr.answerBuffer.TakeInteger();
        const int64_t database = ecr.answerBuffer.TakeInteger();
        if (index != number - 1 || database != Record::kDatabase ||
            ecr.answerBuffer.LastSeparator() != 'h') {
            return ::testing::AssertionFailure() << "status " << ecr.statusCode;
        }
        if (!out.Decode(ecr.answerBuffer, layout, number)) {
            return ::testing::AssertionFailure() << "short record";
        }
        return ::testing::AssertionSuccess();
    }

    // Writes a record in its write form; the register's status, or -100 when nothing
    // came back.
    template <class Record>
    int Write(int number, const Record& record) {
        iBuffer& request = ecr.BeginRequest({number - 1});
        request.AppendByte(static_cast<uint8_t>(Record::kWriteLetter));
        if (!record.Encode(request, layout, number, WireForm::kWrite)) {
            return -200;
        }
        return ecr.Exchange(request) ? ecr.statusCode : -100;
    }

    template <class Record>
    int Delete(int number) {
        iBuffer& request = ecr.BeginRequest({number - 1});
        request.AppendByte(static_cast<uint8_t>(Record::kDeleteLetter));
        return ecr.Exchange(request) ? ecr.statusCode : -100;
    }

    // The register's own copy of a record, as field texts.
    std::vector<std::string> Stored(int database, int number) {
        auto lock = reg->Lock();
        return reg->State().Record(database, number);
    }

    static RecordLayout LayoutOf(RegisterType type) {
        return type == RegisterType::Zen ? RecordLayout::kZen : RecordLayout::kVesper;
    }

  private:
    std::mutex logMutex_;
    std::vector<std::string> log_;

  public:
    // Declared in this order so that the port closes before the register and the log go.
    std::unique_ptr<VirtualRegister> reg;
    RegisterSession ecr;
    RecordLayout layout = RecordLayout::kVesper;
};

inline const char* kNoAnswerText =
    "Nie odebrano odpowiedzi.\nZaleca się ponownie zainicjować\ntransmisję.";

}  // namespace kasa::sim
