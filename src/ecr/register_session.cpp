#include "ecr/register_session.h"

#include "ecr/database_commands.h"
#include "ecr/vat_totals.h"

namespace kasa {

void RegisterSession::StartSession() {
    // The saved mode becomes the register's current mode; the outcomes of these reads do
    // not decide whether the session starts.
    RegisterStatus status;
    if (ReadStatus(*this, status)) {
        savedMode = status.mode;
    } else if (statusCode == kNoAnswer) {
        // A register that does not answer its first request will not answer the next ones
        // either; with no session started, neither the next opening nor the end waits on it.
        savedMode = -1;
        return;
    }
    ECRClass::StartSession();
    TotalsRecord totals;
    if (ReadTotals(*this, totals)) {
        sessionTotals = totals.vatTotals;
        totalsZero = true;
        for (const double t : sessionTotals) {
            totalsZero = totalsZero && t < 1e-7;
        }
    }
}

}  // namespace kasa
