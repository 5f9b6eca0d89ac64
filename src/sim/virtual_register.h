// The virtual register: stands in the register's place on the master side of a
// pseudo-terminal, or behind a listening socket as a serial device server would, so the
// program, the tests and the benchmarks have a register to talk to.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comm/telnet_com_port.h"
#include "sim/register_state.h"

namespace kasa::sim {

struct VirtualRegisterOptions {
    RegisterType type = RegisterType::Vesper;
    bool demoData = true;
    // Bytes go no faster than this many bits per second (10 bits a byte); 0 is unpaced.
    int baudRate = 0;
    // When set, a symbolic link of this name points at the port.
    std::string linkPath;
    // Where the register waits for the program: a pseudo-terminal, or a listening socket
    // that carries the line's bytes as they are (tcp://) or inside Telnet with the
    // COM-PORT-OPTION (rfc2217://). One connection is served at a time; another one is
    // closed at once, as a busy serial device server does.
    enum class Listening { kTerminal, kTcp, kRfc2217 };
    Listening listening = Listening::kTerminal;
    std::string listenHost = "127.0.0.1";
    int listenPort = 0;  // 0: a free port the system picks
    // A status code forced on one record: {command letter, record number, status code}.
    struct ForcedStatus {
        char command = 0;
        int number = 0;
        int code = 0;
    };
    std::vector<ForcedStatus> forcedStatuses;
};

enum class FaultKind {
    NoAnswer,        // the request is swallowed
    LateAnswer,      // the answer comes after `delayMs`
    SplitAnswer,     // the answer comes in two writes `delayMs` apart, split after its
                     // data record (a status-only answer in the middle of its frame)
    BadChecksum,     // the answer's checksum is wrong
    StaleNumber,     // an old answer with the previous request number comes first
    GarbageBefore,   // noise bytes precede the answer
    CloseMidAnswer,  // half the answer, then the line goes dead
    GarbageAfter,    // noise bytes follow the answer
    Vanish,          // the device is gone before it answers, its port with it (a pulled cable)
    Status,          // the answer is the status code `status` alone; the request is not done
    IgnoreWrite,     // a write (of a record, the header or the VAT rates) is confirmed with
                     // status 0 and not done; only writes count for `every` and `from`
};

struct Fault {
    FaultKind kind = FaultKind::NoAnswer;
    int delayMs = 0;
    int status = 0;
    // Which answers it hits, counted from the one after it is injected: with `every` 0,
    // answer `from` alone (the next one when 0); else every `every`-th answer from answer
    // `from` on.
    int every = 0;
    int from = 0;
};

class VirtualRegister {
  public:
    explicit VirtualRegister(VirtualRegisterOptions options = {});
    ~VirtualRegister();
    VirtualRegister(const VirtualRegister&) = delete;
    VirtualRegister& operator=(const VirtualRegister&) = delete;

    // Opens the pseudo-terminal, or the listening socket, and starts answering; false when
    // neither can be had.
    bool Start();
    void Stop();
    bool Running() const { return running_; }
    // The path the program opens as its port (the link when one was asked for), or the
    // network port name such as "tcp://127.0.0.1:4001".
    std::string PortPath() const;
    // The pseudo-terminal itself, whether or not a link points at it.
    const std::string& TerminalPath() const { return slavePath_; }

    // The next answered request suffers this fault (faults queue up in order); a repeating
    // fault stays and hits the answers it counts, when no single fault is waiting.
    void InjectFault(Fault fault);
    // The next data record sent carries `data` instead of its own, and `letter` instead of
    // its answer letter when one is given.
    void ReplaceNextData(std::string data, char letter = 0);
    // Every request with this command letter is answered with this status code alone
    // ('c': the document verification, answered with the code as its second number).
    void SetStatusFor(char command, int code);
    void ClearStatusFor(char command);
    // Every request with this command letter for record `number` (1-based, the request's
    // first parameter plus one) is answered with this status code alone.
    void SetStatusForRecord(char command, int number, int code);

    // Request payloads received (without frame and checksum), oldest first; the latest
    // hundred thousand are kept.
    std::vector<std::string> ReceivedPayloads() const;
    void ClearReceived();
    // Bytes that crossed the line in both directions since the start or the last clear.
    uint64_t WireBytes() const { return wireBytes_; }
    void ClearWireBytes() { wireBytes_ = 0; }

    // The line settings the last Telnet client set through the COM-PORT-OPTION, and the
    // purges it asked for, oldest first.
    telnet::LineSettings LineSettings() const;
    std::vector<uint8_t> PurgeRequests() const;
    // Connections taken up as the served one since the start (refused ones not counted).
    int Connections() const { return connections_; }

    // The register's memory; lock it while reading or changing it from another thread.
    RegisterState& State() { return *state_; }
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(mutex_); }

  private:
    void Serve();
    // Takes received line bytes and answers the frames they complete; false when the line
    // went away while answering.
    bool TakeBytes(std::string& pending, std::chrono::steady_clock::time_point& firstByte,
                   const char* chunk, size_t count);
    bool StartListening();
    void ServeNetwork();
    void AcceptClient();
    void DropClient();
    // Hands bytes to the line: the terminal, or the connection (escaped over Telnet);
    // the count taken, -1 on a failure.
    long WriteLine(const char* bytes, size_t count);
    bool SendAll(const uint8_t* bytes, size_t count);
    void HandleFrame(const std::string& frameBytes,
                     std::chrono::steady_clock::time_point firstByte);
    void SendAnswer(const std::string& bytes, const Fault* fault, int number);
    void WritePaced(const std::string& bytes);
    void AnswerDocument(const std::string& request);
    // The fault due for the answer to a request with this command letter.
    std::optional<Fault> TakeFault(char command);
    void RemoveLink();

    VirtualRegisterOptions options_;
    std::unique_ptr<RegisterState> state_;
    mutable std::mutex mutex_;
    struct PendingFault {
        Fault fault;
        int64_t answers = 0;  // answers counted since a repeating fault was injected
    };
    std::deque<PendingFault> faults_;
    std::optional<std::pair<std::string, char>> nextData_;
    std::map<char, int> statusFor_;
    std::map<std::pair<char, int64_t>, int> statusForRecord_;
    std::deque<std::string> received_;
    std::atomic<uint64_t> wireBytes_{0};

    int master_ = -1;  // the terminal's master side, or the connection served
    int slaveKeeper_ = -1;
    int listener_ = -1;
    std::string listenName_;
    telnet::Reader telnetReader_;
    telnet::Negotiation negotiation_;
    telnet::LineSettings lineSettings_;  // guarded by mutex_
    std::vector<uint8_t> purges_;        // guarded by mutex_
    std::atomic<int> connections_{0};
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
};

// Frames a payload: ESC P, the payload, the XOR from 0xFF as two upper-case digits, ESC \.
std::string FramePayload(const std::string& payload);

}  // namespace kasa::sim
