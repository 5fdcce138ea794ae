#pragma once
// A value as its field stores it: the checks every write of the record store
// makes before anything changes. Used by the record store only.

#include <vector>

#include "storage/record_store.h"

namespace tw::detail {

// `value` as field `f` stores it. Refuses with a TextError a text outside
// GBK, too long for the field or holding a control character; a value of the
// wrong kind is a programming error (std::logic_error).
Value checked(const FieldDef& f, Value value);
// A whole record from a leading subset of values, the rest empty, each checked.
std::vector<Value> fullRecord(const Schema& fields, std::vector<Value> values);

}  // namespace tw::detail
