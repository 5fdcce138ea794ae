#include "storage/where.h"

namespace tw {

namespace {
Where::Term term(Where::Op op, std::string_view field, std::vector<Value> values) {
    return {op, {std::string(field)}, std::move(values)};
}
}  // namespace

Where& Where::equal(std::string_view field, Value value) {
    terms_.push_back(term(Op::Equal, field, {std::move(value)}));
    return *this;
}

Where& Where::notEqual(std::string_view field, Value value) {
    terms_.push_back(term(Op::NotEqual, field, {std::move(value)}));
    return *this;
}

Where& Where::atLeast(std::string_view field, double value) {
    terms_.push_back(term(Op::AtLeast, field, {Value(value)}));
    return *this;
}

Where& Where::below(std::string_view field, double value) {
    terms_.push_back(term(Op::Below, field, {Value(value)}));
    return *this;
}

Where& Where::atMost(std::string_view field, double value) {
    terms_.push_back(term(Op::AtMost, field, {Value(value)}));
    return *this;
}

Where& Where::between(std::string_view field, double low, double high) {
    return atLeast(field, low).atMost(field, high);
}

Where& Where::oneOf(std::string_view field, std::vector<Value> values) {
    terms_.push_back(term(Op::OneOf, field, std::move(values)));
    return *this;
}

Where& Where::anyFieldEqual(std::vector<std::string> fields, Value value) {
    terms_.push_back({Op::AnyFieldEqual, std::move(fields), {std::move(value)}});
    return *this;
}

int compareValues(const Value& a, const Value& b, bool* comparable) {
    *comparable = a.isText() == b.isText();
    if (!*comparable) return 0;
    if (a.isText()) return a.text().compare(b.text()) < 0 ? -1 : (a.text() == b.text() ? 0 : 1);
    const double x = a.number(), y = b.number();
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace tw
