#include "comm/ecrclass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/bytes.h"
#include "support/pty_pair.h"

namespace kasa {
namespace {

using namespace std::chrono_literals;
using testing::PeerThread;
using testing::PtyPair;

// Frames a payload the way the register does: the XOR from 0xFF in two upper-case digits.
std::string Frame(const std::string& payload) {
    unsigned x = 0xFF;
    for (const unsigned char c : payload) {
        x ^= c;
    }
    static const char* digits = "0123456789ABCDEF";
    return std::string("\x1bP") + payload + digits[x >> 4] + digits[x & 15] + "\x1b\\";
}

iBuffer Payload(const std::string& s) {
    return testing::FromBytes(s);
}

TEST(FrameBytes, WorkedOutByHand) {
    // 0xFF ^ 0x30 ^ 0x4E = 0x81.
    EXPECT_EQ(Frame("0N"), std::string("\x1b\x50\x30\x4e\x38\x31\x1b\x5c"));
    // 0xFF ^ 0x5F = 0xA0: the end frame has no request number.
    EXPECT_EQ(Frame("_"), std::string("\x1b\x50\x5f\x41\x30\x1b\x5c"));
}

TEST(ErrorTexts, KnownAndUnknownCodes) {
    const std::pair<int, const char*> table[] = {
        {20, "Błędny znak"},  // the other codes are checked with the register that gives them
        {21, "Błąd bajtu kontrolnego"},
        {99, "Nierozpoznany błąd o kodzie 99."},
        {0, "Nierozpoznany błąd o kodzie 0."},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(ECRClass::ErrorText(code), text) << code;
    }
    ECRClass ecr;
    ecr.statusCode = -1;
    EXPECT_EQ(ecr.LastErrorText(),
              "Nie odebrano odpowiedzi.\nZaleca się ponownie zainicjować\ntransmisję.");
    ecr.statusCode = 0;
    EXPECT_EQ(ecr.LastErrorText(), "");
    ecr.statusCode = 28;
    EXPECT_EQ(ecr.LastErrorText(), "Nieunikalna nazwa towaru");
}

TEST(ProtocolLog, LineFormat) {
    ECRClass ecr;
    std::vector<std::string> lines;
    ecr.SetPortParams(
        "COM1", 9600, [&](const std::string& line, uint32_t) { lines.push_back(line); }, 0);
    ecr.LogRequest(Payload("\x1bP0N81\x1b\\"));
    ecr.LogRequest(iBuffer());  // nothing for an empty frame
    ecr.LogAnswer(iBuffer());
    ecr.LogMessage("Pusty rekord.");
    ecr.logTag1 = "0012";
    ecr.logTag2 = "ABC12345678";
    ecr.LogAnswer(Payload("\x1bP0;0C4\x1b\\"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "<COM1><,> Zapytanie: [x1B]P0N81[x1B]\\");
    EXPECT_EQ(lines[1], "<COM1><,> Odpowiedź: Brak");
    EXPECT_EQ(lines[2], "<COM1><,>Pusty rekord.");
    EXPECT_EQ(lines[3], "<COM1><0012,ABC12345678> Odpowiedź: [x1B]P0;0C4[x1B]\\");
}

// A register stand-in that answers each request frame with the next scripted bytes.
class ScriptedRegister {
  public:
    explicit ScriptedRegister(PtyPair& pty) : pty_(pty) {}
    ~ScriptedRegister() { Stop(); }

    // Each entry is the list of writes that answer one request (written 30 ms apart).
    void Start(std::vector<std::vector<std::string>> answers) {
        thread_ = std::thread([this, answers = std::move(answers)] {
            for (const auto& writes : answers) {
                const std::string request = pty_.ReadUntil("\x1b\\", 3s);
                if (request.empty()) {
                    return;
                }
                {
                    std::lock_guard lock(mutex_);
                    requests_.push_back(request);
                }
                for (size_t i = 0; i < writes.size(); ++i) {
                    if (i > 0) {
                        std::this_thread::sleep_for(30ms);
                    }
                    pty_.Write(writes[i]);
                }
            }
        });
    }
    void Stop() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::vector<std::string> Requests() {
        Stop();
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    PtyPair& pty_;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

class ExchangeOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        ecr.SetPortParams(
            pty.SlavePath(), 9600,
            [this](const std::string& line, uint32_t) { log.push_back(line); }, 0);
        ecr.answerTimeout = 400;
        ecr.savedMode = 0;  // these tests are about frames, not the session's start requests
    }
    bool Send(const std::string& payload) {
        iBuffer request = Payload(payload);
        return ecr.Exchange(request);
    }
    bool LogHas(const std::string& text) const {
        for (const auto& line : log) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    PtyPair pty;
    ECRClass ecr;
    std::vector<std::string> log;
    ScriptedRegister reg{pty};
};

TEST_F(ExchangeOnPty, StatusOnlyAnswerAndNumbering) {
    reg.Start({{Frame("0;0")}, {Frame("1;0")}, {Frame("2;25")}});
    EXPECT_TRUE(Send("0N"));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_EQ(ecr.requestNumber, 1);
    EXPECT_TRUE(Send("1N"));
    EXPECT_TRUE(Send("2N"));
    EXPECT_EQ(ecr.statusCode, 25);  // an error status is still a valid answer
    EXPECT_EQ(ecr.requestNumber, 3);
    const auto requests = reg.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], "\x1b\x50\x30\x4e\x38\x31\x1b\x5c");
    EXPECT_EQ(requests[1], Frame("1N"));
}

TEST_F(ExchangeOnPty, StatusOnlyAnswerKeepsNoSeparatorFromTheDataBefore) {
    // "0nDANE" answers the status request with data; "1;24" refuses the next one with none.
    reg.Start({{Frame("0nDANE") + Frame("0;0")}, {Frame("1;24")}});
    EXPECT_TRUE(Send("0N"));
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), 'n');
    EXPECT_TRUE(Send("1N"));
    EXPECT_EQ(ecr.statusCode, 24);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), 0);
}

TEST_F(ExchangeOnPty, NumberWrapsAfter255) {
    ecr.requestNumber = 255;
    reg.Start({{Frame("255;0")}, {Frame("0;0")}});
    EXPECT_TRUE(Send("255N"));
    EXPECT_EQ(ecr.requestNumber, 0);
    iBuffer& request = ecr.BeginRequest({4});
    request.Append("J");
    EXPECT_EQ(request.View(), "0;4J");
    EXPECT_TRUE(ecr.Exchange(request));
    EXPECT_EQ(ecr.requestNumber, 1);
}

TEST_F(ExchangeOnPty, LowerCaseChecksumDigitsFail) {
    // "0;0" has the checksum C4; the same digits in lower case are not accepted.
    reg.Start({{"\x1bP0;0c4\x1b\\"}, {"\x1bP0;0C4\x1b\\"}});
    EXPECT_FALSE(Send("0N"));
    EXPECT_TRUE(LogHas(">Zła suma kontrolna."));
    EXPECT_EQ(ecr.requestNumber, 0);
    EXPECT_TRUE(Send("0N"));  // the same number again, now answered properly
    EXPECT_EQ(ecr.statusCode, 0);
}

TEST_F(ExchangeOnPty, GarbageBeforeTheFrameIsDiscarded) {
    reg.Start({{"\x00\xff junk" + Frame("0;0")}});
    EXPECT_TRUE(Send("0N"));
    EXPECT_EQ(ecr.statusCode, 0);
}

TEST_F(ExchangeOnPty, StaleAnswerAndItsStatusAreSkipped) {
    ecr.requestNumber = 5;
    // An old data record and its status, then this request's data and status.
    reg.Start({{Frame("4;7;11;0hAA") + Frame("4;0") + Frame("5;7;11;0h4142") + Frame("5;0")}});
    EXPECT_TRUE(Send("5;7;11;0H"));
    EXPECT_TRUE(LogHas(">Niezgodność numerów rekordu."));
    EXPECT_EQ(ecr.answerBuffer.View(), "7;11;0h4142");
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), ';');
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.requestNumber, 6);
}

TEST_F(ExchangeOnPty, StaleStatusAloneLeavesTheOwnAnswer) {
    ecr.requestNumber = 5;
    reg.Start({{Frame("4;0") + Frame("5;0")}});
    EXPECT_TRUE(Send("5;3P"));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.requestNumber, 6);
}

TEST_F(ExchangeOnPty, LateAnswerAfterTheDrainShiftsNoLaterExchange) {
    // Request 5 goes unanswered. Its answer comes only once the same number is asked again,
    // just after that exchange dropped what was waiting, so the repeat's own answer reaches
    // the exchange after it, ahead of that exchange's answer.
    ecr.requestNumber = 5;
    reg.Start({{},
               {Frame("5;7;11;0hAA") + Frame("5;0"), Frame("5;7;11;0hAA") + Frame("5;0")},
               {"", Frame("6;7;11;1hBB") + Frame("6;0")}});
    EXPECT_FALSE(Send("5;7;11;0H"));
    EXPECT_TRUE(Send("5;7;11;0H"));
    EXPECT_EQ(ecr.answerBuffer.View(), "7;11;0hAA");
    EXPECT_TRUE(Send("6;7;11;1H"));
    EXPECT_EQ(ecr.answerBuffer.View(), "7;11;1hBB");
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.requestNumber, 7);
}

TEST_F(ExchangeOnPty, DataThenStatusInALaterRead) {
    reg.Start({{Frame("0~ZEN/1/2/3"), Frame("0;0")}});
    ecr.answerTimeout = 1000;
    EXPECT_TRUE(Send("0^"));
    EXPECT_EQ(ecr.answerBuffer.View(), "ZEN/1/2/3");
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), '~');
    EXPECT_EQ(ecr.statusCode, 0);
}

TEST_F(ExchangeOnPty, ShortNumericRecordCountsAsStatus) {
    // After the number and separator: "200" is a status, "256" and "12;3" are data.
    reg.Start(
        {{Frame("0;200")}, {Frame("1;256") + Frame("1;0")}, {Frame("2;12;3") + Frame("2;0")}});
    EXPECT_TRUE(Send("0N"));
    EXPECT_EQ(ecr.statusCode, 200);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_TRUE(Send("1N"));
    EXPECT_EQ(ecr.answerBuffer.View(), "256");
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_TRUE(Send("2N"));
    EXPECT_EQ(ecr.answerBuffer.View(), "12;3");
}

TEST_F(ExchangeOnPty, StatusRecordIsAtMostTenBytes) {
    // After the number and separator: "0000000200" is ten bytes, a status; one more zero
    // makes eleven, data, and its status follows.
    reg.Start({{Frame("0;0000000200")}, {Frame("1;00000000200") + Frame("1;0")}});
    EXPECT_TRUE(Send("0N"));
    EXPECT_EQ(ecr.statusCode, 200);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_TRUE(Send("1N"));
    EXPECT_EQ(ecr.answerBuffer.View(), "00000000200");
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.requestNumber, 2);
}

TEST_F(ExchangeOnPty, VerifyDocumentConfirmsOnZero) {
    reg.Start({{Frame("12;0")}, {Frame("12;3")}, {Frame("12;xyz")}});
    ASSERT_TRUE(ecr.InitTransmission());
    // The answer must be at least ten bytes long; its second number tells the verdict, and
    // an answer without two numbers is no verdict at all.
    EXPECT_EQ(ecr.VerifyDocument("DATA\x1b\\", "PARAGON"), 1);
    EXPECT_EQ(ecr.VerifyDocument("DATA\x1b\\", "PARAGON"), 2);
    EXPECT_EQ(ecr.VerifyDocument("DATA\x1b\\", "PARAGON"), -1);
    const auto requests = reg.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], "\x1bPcPARAGON\r\nDATA\x1b\\");
    EXPECT_EQ(ecr.requestNumber, 0);  // unsequenced
}

TEST_F(ExchangeOnPty, VerifyDocumentTakesNoVerdictThatCameBeforeItsRequest) {
    ASSERT_TRUE(ecr.InitTransmission());
    pty.Write(Frame("12;0"));  // a confirmation that came after its verification gave up
    for (int i = 0; i < 200 && ecr.InputCount() == 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GT(ecr.InputCount(), 0);
    reg.Start({{Frame("12;3")}});
    EXPECT_EQ(ecr.VerifyDocument("DATA\x1b\\", "PARAGON"), 2);
    EXPECT_TRUE(LogHas("Odrzucono spóźnioną odpowiedź"));
}

// A register stand-in that answers the first request with lines that never end a frame,
// every 100 ms, and after `lines` of them with the proper answer; it stops when told.
void ChatterThenAnswer(PtyPair& pty, const std::atomic<bool>& stop, int lines,
                       const std::string& answer) {
    if (pty.ReadUntil("\x1b\\", 3s).empty()) {
        return;
    }
    for (int i = 0; i < lines && !stop; ++i) {
        pty.Write("WAGA 0.000 kg\r\n");
        std::this_thread::sleep_for(100ms);
    }
    if (!stop) {
        pty.Write(answer);
    }
}

TEST_F(ExchangeOnPty, LineThatNeverGoesQuietIsNoAnswerWithinTheBound) {
    // 200 ms of silence allowed: the bound is 2 x 200 ms plus 4096 bytes at 115200 baud
    // (about 356 ms), so the answer after 15 lines (1.5 s) comes too late.
    ecr.SetPortParams(
        pty.SlavePath(), 115200, [this](const std::string& line, uint32_t) { log.push_back(line); },
        0);
    ecr.answerTimeout = 200;
    EXPECT_EQ(ecr.AnswerTimeBoundMs(200), 400 + 4096 * 10 * 1000 / 115200);
    std::atomic<bool> stop{false};
    bool exchanged = true;
    {
        PeerThread peer([&] { ChatterThenAnswer(pty, stop, 15, Frame("0;0")); });
        exchanged = Send("0N");
        stop = true;
    }
    EXPECT_FALSE(exchanged);
    EXPECT_EQ(ecr.statusCode, -1);
    EXPECT_EQ(ecr.requestNumber, 0);
    EXPECT_TRUE(ecr.receiveBuffer.Empty());
    EXPECT_TRUE(LogHas("nie skończyła się w przewidzianym czasie"));
    EXPECT_EQ(ecr.LastErrorText(),
              "Nie odebrano odpowiedzi.\nZaleca się ponownie zainicjować\ntransmisję.");
}

TEST_F(ExchangeOnPty, AnswerLargerThanTheMaximumIsNoAnswer) {
    ecr.SetPortParams(
        pty.SlavePath(), 115200, [this](const std::string& line, uint32_t) { log.push_back(line); },
        0);
    // A data record of 30000 hexadecimal digits and its status: longer than any record.
    reg.Start({{Frame("0;0h" + std::string(30000, 'A')) + Frame("0;0")}});
    EXPECT_FALSE(Send("0;0H"));
    EXPECT_EQ(ecr.statusCode, -1);
    EXPECT_EQ(ecr.requestNumber, 0);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_LT(ecr.receiveBuffer.Capacity(), 30000);  // the record never sat in memory
    EXPECT_TRUE(LogHas("Odpowiedź dłuższa niż 4096 bajtów została odrzucona."));
    // The rest of the flood is taken up, so the stand-in's write can end.
    iBuffer rest;
    static_cast<FastCom&>(ecr).Receive(rest, 300, nullptr);
}

TEST_F(ExchangeOnPty, AbortWhileThePeerKeepsSendingEndsTheExchange) {
    ecr.answerTimeout = 2000;
    std::atomic<bool> stop{false};
    bool exchanged = true;
    {
        // Without the abort the answer after 10 lines (1 s) would be taken.
        PeerThread peer([&] { ChatterThenAnswer(pty, stop, 10, Frame("0;0")); });
        PeerThread user([&] {
            std::this_thread::sleep_for(300ms);
            ecr.abortRequested = true;
        });
        exchanged = Send("0N");
        stop = true;
    }
    EXPECT_FALSE(exchanged);
    EXPECT_EQ(ecr.statusCode, -1);
    EXPECT_EQ(ecr.requestNumber, 0);
    EXPECT_TRUE(LogHas("Oczekiwanie na odpowiedź przerwane na żądanie."));
}

TEST(DocumentVerdict, SecondNumberJudgedByItsDigits) {
    EXPECT_EQ(ECRClass::DocumentVerdictOf("12;000"), 1);
    // 2^64: a denial that an integer would wrap to 0.
    EXPECT_EQ(ECRClass::DocumentVerdictOf("12;18446744073709551616"), 2);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("12;"), -1);
    // 20..31: the request arrived damaged or could not be handled; no verdict, the code.
    int32_t status = 0;
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;21", &status), -1);
    EXPECT_EQ(status, 21);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;020", &status), -1);
    EXPECT_EQ(status, 20);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;31", &status), -1);
    EXPECT_EQ(status, 31);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;32", &status), 2);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;19", &status), 2);
    EXPECT_EQ(ECRClass::DocumentVerdictOf("0;210", &status), 2);
    EXPECT_EQ(status, -1);
}

TEST(ExchangeClosedPort, FailsWithoutAPortName) {
    ECRClass ecr;
    iBuffer request = Payload("0N");
    EXPECT_FALSE(ecr.Exchange(request));
    EXPECT_EQ(ecr.requestNumber, 0);
    EXPECT_TRUE(ecr.CloseTransmission());  // nothing was open
}

}  // namespace
}  // namespace kasa
