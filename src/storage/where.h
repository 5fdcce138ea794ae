#pragma once
// The conditions of an indexed look-up (RecordStore's Table): every term must
// hold. A term names its fields; the table resolves them to positions once per
// look-up. The same terms are evaluated by SQLite on the rows in the file
// (through the table's indexes) and in memory on the rows an action has
// written but not yet committed, so both agree:
//   - numbers compare as numbers, texts byte for byte;
//   - a text never equals a number.

#include <string>
#include <string_view>
#include <vector>

#include "storage/value.h"

namespace tw {

class Where {
public:
    enum class Op { Equal, NotEqual, AtLeast, Below, AtMost, OneOf, AnyFieldEqual };
    struct Term {
        Op op;
        std::vector<std::string> fields;  // one field; several for AnyFieldEqual
        std::vector<Value> values;        // one value; several for OneOf
    };

    Where& equal(std::string_view field, Value value);
    Where& notEqual(std::string_view field, Value value);
    Where& atLeast(std::string_view field, double value);  // field >= value
    Where& below(std::string_view field, double value);    // field <  value
    Where& atMost(std::string_view field, double value);   // field <= value
    // field >= low and field <= high (both ends included).
    Where& between(std::string_view field, double low, double high);
    Where& oneOf(std::string_view field, std::vector<Value> values);
    // At least one of the fields equals the value (科目1 … 科目4 = X).
    Where& anyFieldEqual(std::vector<std::string> fields, Value value);

    const std::vector<Term>& terms() const { return terms_; }
    bool empty() const { return terms_.empty(); }

private:
    std::vector<Term> terms_;
};

// Compares two field values the way a look-up does (<0, 0, >0); `comparable`
// is false when one is text and the other a number.
int compareValues(const Value& a, const Value& b, bool* comparable);

}  // namespace tw
