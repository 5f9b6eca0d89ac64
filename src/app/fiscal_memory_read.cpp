#include "app/fiscal_memory_read.h"

#include "base/user_interface.h"

namespace kasa {

namespace {
constexpr int kProgressMaximum = 100;
}

std::string FiscalAppendFailedMessage(const std::string& fileName) {
    return "Nie można dopisać odczytu pamięci fiskalnej do pliku\n" + fileName + ".";
}

FiscalReadResult ReadFiscalMemory(ECRClass& ecr, UserInterface& ui,
                                  const FiscalReadRequest& request, std::atomic<bool>& abort,
                                  const FiscalLinesReport& onLines, FiscalReadTally* tally) {
    FiscalReadTally counted;
    counted.asked = request.last - request.first + 1;
    std::vector<std::string> lines;
    FiscalOutput output = OpenFiscalOutput(lines, request.fileName);
    bool ok = ecr.IsIdentified() && ecr.InitTransmission();
    for (int number = request.first; ok && number <= request.last && !abort; ++number) {
        FiscalRecord record;
        if (ReadFiscalRecord(ecr, number, record) && !abort) {
            ++counted.read;
            lines.clear();
            DecodeFiscalRecord(output, record.data.data(), number);
            if (onLines) {
                onLines(lines);
            }
        } else if (!abort && ecr.statusCode == -1 && ecr.refusal.empty()) {
            ok = false;
        }
        if (request.last > request.first) {
            ui.SetProgress(
                kProgressMaximum * (number - request.first) / (request.last - request.first),
                kProgressMaximum);
        }
    }
    ecr.CloseTransmission();
    counted.appendFailed = output.appendFailed;
    if (tally != nullptr) {
        *tally = counted;
    }
    ui.SetProgress(0, 0);
    if (!ok) {
        ui.Message(request.caption, ecr.TransmissionErrorText());
    }
    if (output.appendFailed) {
        ui.Message(request.caption, FiscalAppendFailedMessage(output.fileName));
    }
    if (!ok) {
        return FiscalReadResult::kFailed;
    }
    return abort ? FiscalReadResult::kAborted : FiscalReadResult::kDone;
}

}  // namespace kasa
