// The register object as every caller uses it: the protocol object whose first opening
// also reads the register status (the mode to restore at the end) and the totals. When the
// status request gets no answer at all, the start requests end there and no session starts.
#pragma once

#include "comm/ecrclass.h"

namespace kasa {

// The status code of an exchange that got no answer at all.
inline constexpr int32_t kNoAnswer = -1;

class RegisterSession : public ECRClass {
  public:
    RegisterSession() = default;
    ~RegisterSession() override = default;

  protected:
    void StartSession() override;
};

}  // namespace kasa
