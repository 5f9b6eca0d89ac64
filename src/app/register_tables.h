// Whole tables moved from the register into memory, as the command line's reads use them.
#pragma once

#include <string>

#include "comm/ecrclass.h"
#include "tables/pod_file.h"

namespace kasa {

class UserInterface;

// Reads one table of `model` from the register: a grid table row by row, the header lines
// or the VAT rates. On failure `error` holds the Polish reason.
bool ReadTableFromRegister(ECRClass& ecr, const RegisterModel& model, TableKind kind,
                           TableSet& tables, int minPlu, UserInterface* progress,
                           std::string& error);

// The VAT rate as the rate edits hold it: "nakt", "zw" or the number.
std::string VatRateEditText(double rate);

}  // namespace kasa
