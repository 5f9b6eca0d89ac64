// What each table column's field holds on the wire, per record layout: a value longer
// than that would be cut or wrapped by the record codec, so validation refuses it.
#pragma once

#include <span>

#include "ecr/records.h"
#include "tables/catalogue.h"
#include "tables/table_validation.h"

namespace kasa {

std::span<const WireColumnLimit> WireLimits(RecordLayout layout);
// The layout the register of `model` uses.
RecordLayout LayoutOfModel(const RegisterModel& model);

}  // namespace kasa
