// Reading a range of the fiscal memory record by record, as the window's worker and the
// command line run it, with progress, the abort flag and the messages the user is shown.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "comm/ecrclass.h"
#include "ecr/fiscal_memory.h"

namespace kasa {

class UserInterface;

enum class FiscalReadResult {
    kDone,     // every record was asked for; those that failed were passed over
    kAborted,  // the abort flag stopped it between two records
    kFailed,   // no register, or it stopped answering
};

struct FiscalReadRequest {
    int first = 0;
    int last = 0;
    std::string fileName;  // appended to when not empty
    std::string caption;
};

// What one read did: the records asked for, those read and decoded, and whether the
// output file took every line.
struct FiscalReadTally {
    int asked = 0;
    int read = 0;
    bool appendFailed = false;
};

// Called with the lines of each decoded record, on the reading thread.
using FiscalLinesReport = std::function<void(const std::vector<std::string>& lines)>;

// A register that is silent for one record would be silent for the rest, each after its
// full time-out, so the first record without any answer ends the read with the
// transmission error; an abort that cut a record's answer short is an abort, not that
// error. The communication is closed at the end. `tally`, when given, is filled in.
FiscalReadResult ReadFiscalMemory(ECRClass& ecr, UserInterface& ui,
                                  const FiscalReadRequest& request, std::atomic<bool>& abort,
                                  const FiscalLinesReport& onLines,
                                  FiscalReadTally* tally = nullptr);

// The one message after a read whose lines could not all be appended to the file.
std::string FiscalAppendFailedMessage(const std::string& fileName);

}  // namespace kasa
