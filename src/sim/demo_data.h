// The demo data of the virtual register: a small shop, so that a new user sees a
// register with real-looking tables at once.
#pragma once

namespace kasa::sim {

class RegisterState;

void LoadDemoData(RegisterState& state);

// The check digit that completes the first twelve digits of an EAN-13 code.
int Ean13CheckDigit(const char* twelveDigits);

}  // namespace kasa::sim
