#include "cli/simulator_command.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/atomic_file.h"
#include "cli/command_line.h"
#include "comm/ecrclass.h"
#include "ecr/records.h"
#include "ecr/register_session.h"
#include "support/scratch_folder.h"

namespace kasa::cli {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SymulatorCommand : public ::testing::Test {
  protected:
    void TearDown() override {
        stop_ = true;
        if (runner_.joinable()) {
            runner_.join();
        }
    }

    // Runs the command on its own thread until Stop; true once the link is there.
    bool Launch(std::vector<std::string> args) {
        args.push_back("--link");
        args.push_back(link_);
        runner_ =
            std::thread([this, args] { result_ = RunSymulatorUntil(args, out_, err_, stop_); });
        return WaitForLink();
    }
    bool WaitForLink() const {
        const auto deadline = Clock::now() + 5s;
        while (Clock::now() < deadline) {
            if (std::filesystem::is_symlink(std::filesystem::symlink_status(link_))) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    int Stop() {
        stop_ = true;
        runner_.join();
        return result_;
    }
    // The goods record an answer to ";0;7H" holds.
    static PluRecord GoodsOf(const std::string& answerText, RecordLayout layout) {
        iBuffer answer;
        answer.Append(answerText);
        answer.TakeInteger();
        answer.TakeInteger();
        PluRecord plu;
        EXPECT_TRUE(plu.Decode(answer, layout, 1));
        return plu;
    }
    // One exchange through the link, as the program would make it.
    std::string Ask(const std::string& header, int* status = nullptr) {
        RegisterSession ecr;
        ecr.SetPortParams(link_, 9600, nullptr, 0);
        ecr.answerTimeout = 2000;
        iBuffer& request = ecr.BeginRequest();
        request.Append(header);
        EXPECT_TRUE(ecr.Exchange(request)) << header;
        if (status != nullptr) {
            *status = ecr.statusCode;
        }
        return std::string(ecr.answerBuffer.View());
    }
    bool LinkExists() const {
        return std::filesystem::exists(std::filesystem::symlink_status(link_));
    }

    testing::ScratchFolder folder_;
    std::string link_ = folder_.Path("kasa");
    std::atomic<bool> stop_{false};
    std::thread runner_;
    int result_ = -1;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(SymulatorCommand, WrongArgumentsGiveTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--typ"},
        {"--typ", "abc"},
        {"--baud", "0"},
        {"--baud", "-5"},
        {"--baud", "96O0"},
        {"--baud", "99999999"},
        {"--baud"},
        {"--link"},
        {"--link", ""},
        {"--link", "--puste"},
        {"--cicho"},
        {"zen"},
        {"--puste", "x"},
        {"--typ", "zen", "vesper"},
        {"--blad", "E:0:23"},
        {"--blad", "E12:23"},
        {"--blad", "E:1:256"},
        {"--tcp"},
        {"--tcp", "127.0.0.1:70000"},
        {"--tcp", "::1:4001"},  // an IPv6 address needs its brackets
        {"--rfc2217", "localhost:x"},
        {"--tcp", "0", "--rfc2217", "0"},
        {"--tcp", "0", "--link", "/tmp/kasa-link"},  // a network port has no device file
    };
    for (const auto& args : cases) {
        std::ostringstream out;
        std::ostringstream err;
        const std::atomic<bool> stop{true};
        EXPECT_EQ(RunSymulatorUntil(args, out, err, stop), kExitUsage) << args[0];
        EXPECT_EQ(err.str().rfind("Użycie: kasa symulator [--typ zen|vesper] [--link ŚCIEŻKA] "
                                  "[--baud N] [--puste]\n",
                                  0),
                  0u);
        EXPECT_EQ(out.str(), "");
    }
    // Through the command line as well, which lists the command in its usage.
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Run({"symulator", "--typ", "kasa"}, in, out, err), kExitUsage);
    EXPECT_NE(err.str().find("Użycie: kasa symulator"), std::string::npos);
    EXPECT_NE(UsageText().find("  symulator [--typ zen|vesper] [--link ŚCIEŻKA] [--baud N] "
                               "[--puste]\n"),
              std::string::npos);
    EXPECT_FALSE(LinkExists());
}

TEST_F(SymulatorCommand, HelpGoesToTheOutput) {
    const std::atomic<bool> stop{false};  // never set: help must not start the register
    EXPECT_EQ(RunSymulatorUntil({"--help"}, out_, err_, stop), kExitSuccess);
    EXPECT_EQ(out_.str().rfind("Użycie: kasa symulator", 0), 0u);
    EXPECT_EQ(err_.str(), "");
}

TEST_F(SymulatorCommand, ADemoVesperByDefaultUntilStopped) {
    ASSERT_TRUE(Launch({}));
    EXPECT_EQ(Ask("^"), "VESPER/3/0214/2.15");
    EXPECT_EQ(GoodsOf(Ask(";0;7H"), RecordLayout::kVesper).name, "Chleb żytni");

    EXPECT_EQ(Stop(), kExitSuccess);
    EXPECT_FALSE(LinkExists());
    const std::string text = out_.str();
    const std::string terminal = "Dowiązanie " + link_ + " wskazuje na /dev/pts/";
    EXPECT_EQ(text.rfind("Wirtualna kasa Vesper działa.\n"
                         "Port do ustawienia w programie: " +
                             link_ + "\n" + terminal,
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\nDane: przykładowy sklep.\nTempo: bez ograniczeń.\nZakończenie: "
                        "Ctrl+C.\nWirtualna kasa zatrzymana.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(err_.str(), "");
}

TEST_F(SymulatorCommand, AnEmptyPacedZen) {
    ASSERT_TRUE(Launch({"--typ", "ZEN", "--puste", "--baud", "9600", "--blad", "H:2:79"}));
    EXPECT_EQ(Ask("^").rfind("ZEN", 0), 0u);
    const auto start = Clock::now();
    int status = -1;
    // A ZEN goods record is 46 bytes: "0;0;7h" and 92 digits framed are 104 bytes, and
    // the status 9 more; 113 bytes take 118 ms at 9600 baud.
    const std::string goods = Ask(";0;7H", &status);
    EXPECT_GE(Clock::now() - start, 117ms);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(GoodsOf(goods, RecordLayout::kZen).IsEmpty());
    Ask(";1;7H", &status);  // the record the simulator was told to refuse
    EXPECT_EQ(status, 79);

    EXPECT_EQ(Stop(), kExitSuccess);
    const std::string text = out_.str();
    EXPECT_NE(text.find("Wirtualna kasa Zen działa.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nDane: pusta kasa.\nTempo: 9600 bitów na sekundę.\n"), std::string::npos)
        << text;
}

TEST_F(SymulatorCommand, InjectsTheFaultsItIsGivenInTheirTurn) {
    ASSERT_TRUE(Launch({"--usterka", "status=22:co=2", "--usterka", "status=24:raz"}));
    RegisterSession ecr;
    ecr.SetPortParams(link_, 9600, nullptr, 0);
    ecr.savedMode = 0;  // no start requests: every answer below is counted
    std::vector<int> statuses;
    for (int i = 0; i < 4; ++i) {
        iBuffer& request = ecr.BeginRequest();
        request.Append("N");
        EXPECT_TRUE(ecr.Exchange(request));
        statuses.push_back(ecr.statusCode);
    }
    EXPECT_EQ(statuses, (std::vector<int>{24, 22, 0, 22}));
    ecr.CloseTransmission();
    EXPECT_EQ(Stop(), kExitSuccess);
    EXPECT_NE(out_.str().find("\nUsterki: 2.\n"), std::string::npos) << out_.str();
}

TEST_F(SymulatorCommand, WithoutALinkThePseudoTerminalIsThePort) {
    const std::atomic<bool> stop{true};
    EXPECT_EQ(RunSymulatorUntil({}, out_, err_, stop), kExitSuccess);
    EXPECT_NE(out_.str().find("Port do ustawienia w programie: /dev/pts/"), std::string::npos)
        << out_.str();
    EXPECT_EQ(out_.str().find("Dowiązanie"), std::string::npos);
}

// A loopback port nothing listens on at the moment.
int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST_F(SymulatorCommand, ServesTheProgramOnALoopbackSocketInsteadOfATerminal) {
    for (const std::string scheme : {"tcp", "rfc2217"}) {
        SCOPED_TRACE(scheme);
        const std::string port = std::to_string(FreeLoopbackPort());
        std::ostringstream out;
        std::ostringstream err;
        std::atomic<bool> stop{false};
        int result = -1;
        std::thread runner([&] {
            result = RunSymulatorUntil({"--" + scheme, port}, out, err, stop);
        });
        RegisterSession ecr;
        ecr.SetPortParams(scheme + "://127.0.0.1:" + port, 9600, nullptr, 0);
        ecr.answerTimeout = 2000;
        ecr.savedMode = 0;
        // The register may not listen yet when the first attempt is made.
        bool opened = false;
        for (const auto deadline = Clock::now() + 2s; !opened && Clock::now() < deadline;) {
            opened = ecr.InitTransmission();
            if (!opened) {
                std::this_thread::sleep_for(10ms);
            }
        }
        EXPECT_TRUE(opened);
        EXPECT_TRUE(opened && ecr.Identify());
        EXPECT_EQ(ecr.ModelName(), "VESPER");
        ecr.CloseTransmission();
        stop = true;
        runner.join();
        EXPECT_EQ(result, kExitSuccess) << err.str();
        EXPECT_NE(out.str().find("Port do ustawienia w programie: " + scheme +
                                 "://127.0.0.1:" + port + "\n"),
                  std::string::npos)
            << out.str();
        EXPECT_EQ(out.str().find("Dowiązanie"), std::string::npos);
    }
}

TEST_F(SymulatorCommand, AFileInTheLinksPlaceIsKept) {
    ASSERT_TRUE(WriteFileAtomically(link_, "dane").ok);
    const std::atomic<bool> stop{true};
    EXPECT_EQ(RunSymulatorUntil({"--link", link_}, out_, err_, stop), kExitFailure);
    EXPECT_EQ(err_.str(),
              "Plik " + link_ + " już istnieje i nie jest dowiązaniem; wybierz inną ścieżkę.\n");
    std::string content;
    ASSERT_TRUE(ReadWholeFile(link_, content));
    EXPECT_EQ(content, "dane");
}

class SymulatorSignal : public SymulatorCommand, public ::testing::WithParamInterface<int> {};

TEST_P(SymulatorSignal, StopsTheCommandAndIsHandedBack) {
    const int signal = GetParam();
    const auto before = std::signal(signal, SIG_DFL);
    std::signal(signal, before);
    runner_ = std::thread([this] {
        result_ = RunSymulator({"--typ", "zen", "--link", link_}, out_, err_);
    });
    ASSERT_TRUE(WaitForLink());
    std::raise(signal);
    runner_.join();
    EXPECT_EQ(result_, kExitSuccess);
    EXPECT_FALSE(LinkExists());
    EXPECT_NE(out_.str().find("Wirtualna kasa zatrzymana.\n"), std::string::npos);
    EXPECT_EQ(std::signal(signal, before), before);
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, SymulatorSignal, ::testing::Values(SIGINT, SIGTERM));

}  // namespace
}  // namespace kasa::cli
