// The register object as every caller uses it: the protocol object whose first opening
// also reads the register status (the mode to restore at the end) and the totals.
#pragma once

#include "comm/ecrclass.h"

namespace kasa {

class RegisterSession : public ECRClass {
  public:
    RegisterSession() = default;
    ~RegisterSession() override = default;

  protected:
    void StartSession() override;
};

}  // namespace kasa
