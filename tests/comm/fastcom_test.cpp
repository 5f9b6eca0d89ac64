#include "comm/fastcom.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "comm/port_name.h"
#include "support/bytes.h"
#include "support/pty_pair.h"

namespace kasa {
namespace {

using namespace std::chrono_literals;
using testing::PeerThread;
using testing::PtyPair;
using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

iBuffer Bytes(const std::string& s) {
    return testing::FromBytes(s);
}

struct PortNameCase {
    const char* name;
    int number;
    const char* device;
    const char* path;
};

TEST(PortName, NumberRuleAndDevicePath) {
    const PortNameCase cases[] = {
        {"COM3", 3, "com3", "/dev/ttyS2"},
        {"com12", 12, "\\\\.\\com12", "/dev/ttyS11"},
        {"Com1", 1, "com1", "/dev/ttyS0"},
        {"LPT1", 0, "com0", ""},
        {"CO", 0, "com0", ""},
        {".7", 0, "com0", ""},  // shorter than three characters
        {"\\x9", 0, "com0", ""},
        {".17", 17, "\\\\.\\com17", "/dev/ttyS16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PortNumberFromName(c.name), c.number);
        EXPECT_EQ(DeviceNameForPort(c.name), c.device);
        EXPECT_EQ(DevicePathForName(c.name), c.path);
    }
    EXPECT_EQ(DevicePathForName("/dev/serial/by-id/usb-Kasa-if00"),
              "/dev/serial/by-id/usb-Kasa-if00");
}

TEST(PortName, CompatibilityRuleCountsSlashes) {
    const char* unixLike[] = {"PATH=/usr/bin:/bin", "HOME=C:\\x", nullptr};
    const char* windowsLike[] = {"PATH=C:\\Windows\\system32", "X=a/b", nullptr};
    const char* empty[] = {nullptr};
    EXPECT_TRUE(FastCom::EnvironmentSuggestsCompatibility(unixLike));
    EXPECT_FALSE(FastCom::EnvironmentSuggestsCompatibility(windowsLike));
    EXPECT_FALSE(FastCom::EnvironmentSuggestsCompatibility(empty));
}

class FastComOnPty : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(pty.Valid()); }
    PtyPair pty;
    FastCom com;
};

TEST_F(FastComOnPty, OpenCloseAndExclusiveUse) {
    EXPECT_FALSE(com.IsOpen());
    EXPECT_FALSE(com.Close());  // closing a closed port fails
    ASSERT_TRUE(com.Open(pty.SlavePath(), 0));
    EXPECT_TRUE(com.IsOpen());
    EXPECT_EQ(com.PortName(), pty.SlavePath());
    EXPECT_EQ(com.ReadTimeoutConstant(), 2);  // 0 is raised to 2
    EXPECT_EQ(com.Timeouts().readTotalConstant, 2);
    EXPECT_EQ(com.Timeouts().writeTotalConstant, 20000);

    // A second open of the same object fails and leaves the first connection working.
    EXPECT_FALSE(com.Open(pty.SlavePath(), 5));
    EXPECT_TRUE(com.IsOpen());
    EXPECT_TRUE(com.Write(Bytes("ping")));
    EXPECT_EQ(pty.Read(4, 2s), "ping");

    // Another program (here another object) cannot share the port.
    FastCom other;
    EXPECT_FALSE(other.Open(pty.SlavePath(), 5));
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.OpenError(), EBUSY);

    EXPECT_TRUE(com.Close());
    EXPECT_FALSE(com.IsOpen());
    EXPECT_FALSE(com.Close());
    // Once released, the port can be taken by the other object.
    EXPECT_TRUE(other.Open(pty.SlavePath(), 1));
}

TEST_F(FastComOnPty, ReadTimeoutConstantKeptFromTwoUp) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 7));
    EXPECT_EQ(com.ReadTimeoutConstant(), 7);
    com.Close();
    ASSERT_TRUE(com.Reopen());  // the stored name and constant
    EXPECT_EQ(com.ReadTimeoutConstant(), 7);
}

TEST_F(FastComOnPty, OperationsFailOnAClosedPort) {
    iBuffer buffer;
    EXPECT_FALSE(com.Write(Bytes("x")));
    EXPECT_FALSE(com.WriteRetry(Bytes("x")));
    EXPECT_FALSE(com.ReadAvailable(buffer, 10));
    EXPECT_FALSE(com.Receive(buffer, 10, nullptr));
    EXPECT_EQ(com.InputCount(), 0u);
    EXPECT_EQ(com.OutputCount(), 0u);
    EXPECT_FALSE(com.Reopen());  // no stored name yet
}

TEST_F(FastComOnPty, OpenFailsForMissingDeviceAndKeepsTheError) {
    EXPECT_FALSE(com.Open("/dev/nie-ma-takiego-portu", 1));
    EXPECT_EQ(com.OpenError(), ENOENT);
    EXPECT_FALSE(com.Open("LPT1", 1));  // com0 has no device
    EXPECT_FALSE(com.IsOpen());
    // A speed the line cannot take is refused, and the device is left untouched.
    com.SetBaudRate(12345);
    EXPECT_FALSE(com.Open(pty.SlavePath(), 1));
    EXPECT_EQ(com.OpenError(), EINVAL);
    FastCom other;
    ASSERT_TRUE(other.Open(pty.SlavePath(), 1));
    other.Close();
    com.SetBaudRate(19200);
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));  // a failed open can be retried
    EXPECT_EQ(com.ControlBlock().baudRate, 19200);
}

TEST_F(FastComOnPty, ReceiveStopsAtTheTerminatorAndLeavesLaterBytes) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    iBuffer buffer;
    {
        PeerThread peer([&] {
            std::this_thread::sleep_for(50ms);
            pty.Write("\x1bP0N81\x1b\\");
            std::this_thread::sleep_for(400ms);
            pty.Write("late");
        });
        ASSERT_TRUE(com.Receive(buffer, 3000, "\x1b\\"));
        EXPECT_EQ(buffer.View(), "\x1bP0N81\x1b\\");  // did not wait for the late bytes
    }
    // Bytes that follow the terminator in the same read stay in the buffer; the read
    // then ends only after the silence time-out.
    pty.Write("AB\x1b\\CD");
    const auto second = Clock::now();
    ASSERT_TRUE(com.Receive(buffer, 200, "\x1b\\"));
    EXPECT_GE(MsSince(second), 150);
    EXPECT_EQ(buffer.View(), "lateAB\x1b\\CD");
}

TEST_F(FastComOnPty, SilentPortReturnsEmptyAfterTheTimeout) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    int pumped = 0;
    com.SetProcessMessages([&] { ++pumped; });
    iBuffer buffer("stale");
    const auto start = Clock::now();
    EXPECT_TRUE(com.Receive(buffer, 300, "\x1b\\"));
    const auto elapsed = MsSince(start);
    EXPECT_TRUE(buffer.Empty());
    EXPECT_GE(elapsed, 280);
    EXPECT_GT(pumped, 5);  // every idle round lets the window work
}

TEST_F(FastComOnPty, TimeoutIsMeasuredFromTheLastByte) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    iBuffer buffer;
    // The bytes together span more than the time-out, each gap well within it.
    PeerThread peer([&] {
        for (const char* byte : {"1", "2", "3", "4", "5"}) {
            pty.Write(byte);
            std::this_thread::sleep_for(250ms);
        }
    });
    ASSERT_TRUE(com.Receive(buffer, 800, nullptr));
    EXPECT_EQ(buffer.View(), "12345");
}

TEST_F(FastComOnPty, LargeAnswerGrowsTheBuffer) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    std::string big(5000, 'x');
    big += "\x1b\\";
    PeerThread peer([&] { pty.Write(big); });
    iBuffer buffer;
    ASSERT_TRUE(com.Receive(buffer, 2000, "\x1b\\"));
    EXPECT_EQ(buffer.View(), big);
    EXPECT_LT(buffer.Length(), buffer.Capacity());
}

TEST_F(FastComOnPty, OpenPurgesWhatWaitedBefore) {
    pty.Write("old bytes");
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    EXPECT_EQ(com.InputCount(), 0u);
    pty.Write("new");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(com.InputCount(), 3u);
    iBuffer buffer;
    ASSERT_TRUE(com.ReadAvailable(buffer, 2));  // at most the maximum
    EXPECT_EQ(buffer.View(), "ne");
    ASSERT_TRUE(com.ReadAvailable(buffer, 0));
    EXPECT_EQ(buffer.View(), "new");
    ASSERT_TRUE(com.ReadAvailable(buffer, 10));  // nothing waiting is still a success
    EXPECT_EQ(buffer.View(), "new");
}

TEST_F(FastComOnPty, WriteRetryAndCompatibilityChunks) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    std::string payload;
    for (int i = 0; i < 200; ++i) {
        payload += static_cast<char>('A' + i % 26);
    }
    EXPECT_TRUE(com.WriteRetry(Bytes(payload)));
    EXPECT_EQ(com.WriteCalls(), 1);
    EXPECT_EQ(com.BytesWritten(), 200u);
    EXPECT_EQ(pty.Read(200, 2s), payload);

    com.SetCompatibilityMode(true);
    EXPECT_TRUE(com.Write(Bytes(payload)));
    EXPECT_EQ(com.WriteCalls(), 4);  // 64 + 64 + 64 + 8
    EXPECT_EQ(com.BytesWritten(), 200u);
    EXPECT_EQ(pty.Read(200, 2s), payload);
}

TEST_F(FastComOnPty, CloseLetsTheLastFrameLeaveFirst) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    std::string frame = "\x1bP_A0\x1b\\";
    std::string tail(3000, 'z');
    ASSERT_TRUE(com.Write(Bytes(tail + frame)));
    EXPECT_TRUE(com.Close());
    EXPECT_EQ(pty.Read(tail.size() + frame.size(), 2s), tail + frame);
}

TEST_F(FastComOnPty, PeerVanishingDuringReceiveFailsAndTheObjectStaysUsable) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    iBuffer buffer;
    {
        PeerThread peer([&] {
            pty.Write("\x1bP12");
            std::this_thread::sleep_for(100ms);
            pty.CloseMaster();
        });
        EXPECT_FALSE(com.Receive(buffer, 5000, "\x1b\\"));
    }
    EXPECT_EQ(buffer.View(), "\x1bP12");
    EXPECT_FALSE(com.Write(Bytes("x")));
    EXPECT_FALSE(com.Close());  // let go of when the device went
    EXPECT_FALSE(com.IsOpen());
}

// A device that prints a line every 100 ms and never ends a frame, until told to stop or
// after `lines` lines.
void ChatterUntil(PtyPair& pty, const std::atomic<bool>& stop, int lines) {
    for (int i = 0; i < lines && !stop; ++i) {
        pty.Write("WAGA 0.000 kg\r\n");
        std::this_thread::sleep_for(100ms);
    }
}

TEST_F(FastComOnPty, LineThatNeverGoesQuietEndsAtTheTotalBound) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    std::atomic<bool> stop{false};
    iBuffer buffer;
    {
        PeerThread peer([&] { ChatterUntil(pty, stop, 20); });
        // Each line comes well within the silence time-out, so only the total bound ends it;
        // the wide margin keeps a busy machine's scheduling from ending it first.
        ReceiveLimits limits;
        limits.totalMs = 500;
        EXPECT_TRUE(com.Receive(buffer, 1000, "\x1b\\", limits));
        stop = true;
    }
    EXPECT_EQ(com.LastReceiveEnd(), ReceiveEnd::kTooLong);
    EXPECT_TRUE(buffer.Empty());  // what came is no answer
    iBuffer late;
    com.Receive(late, 150, nullptr);  // a line sent before the peer saw the stop
    // Without bounds the same line is read until it goes quiet, as before.
    stop = false;
    {
        PeerThread peer([&] { ChatterUntil(pty, stop, 3); });
        EXPECT_TRUE(com.Receive(buffer, 1000, "\x1b\\"));
    }
    EXPECT_EQ(com.LastReceiveEnd(), ReceiveEnd::kSilence);
    EXPECT_EQ(buffer.View(), "WAGA 0.000 kg\r\nWAGA 0.000 kg\r\nWAGA 0.000 kg\r\n");
}

TEST_F(FastComOnPty, AnswerPastTheSizeBoundIsDroppedAndHoldsNoMemory) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    const std::string flood = std::string(20000, 'x') + "\x1b\\";
    iBuffer buffer;
    {
        PeerThread peer([&] { pty.Write(flood); });
        ReceiveLimits limits;
        limits.maxBytes = 1000;
        EXPECT_TRUE(com.Receive(buffer, 500, "\x1b\\", limits));
        EXPECT_EQ(com.LastReceiveEnd(), ReceiveEnd::kTooLarge);
        // What is left of the flood is taken up, so the peer's write can end.
        iBuffer rest;
        com.Receive(rest, 200, "\x1b\\");
    }
    EXPECT_TRUE(buffer.Empty());
    EXPECT_LT(buffer.Capacity(), 20000);  // the flood never sat in the buffer
    // An answer of exactly the bound still passes whole.
    const std::string fits = std::string(998, 'y') + "\x1b\\";
    {
        PeerThread peer([&] { pty.Write(fits); });
        ReceiveLimits limits;
        limits.maxBytes = 1000;
        EXPECT_TRUE(com.Receive(buffer, 500, "\x1b\\", limits));
    }
    EXPECT_EQ(com.LastReceiveEnd(), ReceiveEnd::kTerminator);
    EXPECT_EQ(buffer.View(), fits);
}

TEST_F(FastComOnPty, AbortRaisedFromAnotherThreadEndsTheWait) {
    ASSERT_TRUE(com.Open(pty.SlavePath(), 1));
    std::atomic<bool> stop{false};
    iBuffer buffer;
    {
        PeerThread peer([&] { ChatterUntil(pty, stop, 20); });
        PeerThread user([&] {
            std::this_thread::sleep_for(250ms);
            com.abortRequested = true;
        });
        // The line keeps talking and no bound is set: only the abort can end this wait.
        EXPECT_TRUE(com.Receive(buffer, 1000, "\x1b\\"));
        stop = true;
    }
    EXPECT_EQ(com.LastReceiveEnd(), ReceiveEnd::kAborted);
    EXPECT_TRUE(buffer.Empty());
}

TEST(FastComReconnect, ReopensWhenTheDeviceIsBack) {
    // A stable name that points at whichever device is plugged in, as /dev/serial/by-id does.
    const std::string link = ::testing::TempDir() + "kasa-port-" + std::to_string(::getpid());
    std::filesystem::remove(link);
    FastCom com;
    {
        PtyPair first;
        std::filesystem::create_symlink(first.SlavePath(), link);
        ASSERT_TRUE(com.Open(link, 1));
        first.CloseMaster();
        iBuffer buffer;
        EXPECT_FALSE(com.Receive(buffer, 1000, nullptr));
        EXPECT_FALSE(com.IsOpen());  // let go of when the device went
        EXPECT_FALSE(com.Reopen());  // the device is gone
    }
    PtyPair second;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(second.SlavePath(), link);
    ASSERT_TRUE(com.Reopen());
    EXPECT_TRUE(com.Write(Bytes("ok")));
    EXPECT_EQ(second.Read(2, 2s), "ok");
    com.Close();
    std::filesystem::remove(link);
}

}  // namespace
}  // namespace kasa
