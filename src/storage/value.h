#pragma once
// A field value as the record store holds it: text, a number or an integer.
// Dates are day numbers (doubles); booleans and bytes are integers.

#include <cmath>
#include <cstdint>
#include <string>
#include <variant>

namespace tw {

enum class FieldType { Text, Double, Int32, Int64, Byte, Boolean, DateTime };

const char* fieldTypeName(FieldType type);

class Value {
public:
    Value() : v_(std::string()) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(double d) : v_(d) {}
    Value(int i) : v_(static_cast<std::int64_t>(i)) {}
    Value(std::int64_t i) : v_(i) {}
    Value(bool b) : v_(static_cast<std::int64_t>(b ? 1 : 0)) {}

    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isDouble() const { return std::holds_alternative<double>(v_); }

    // Text of a text value; empty for numbers.
    const std::string& text() const {
        if (auto* s = std::get_if<std::string>(&v_)) return *s;
        return emptyText();
    }
    // A number of either kind as a double; 0 for text.
    double number() const {
        if (auto* d = std::get_if<double>(&v_)) return *d;
        if (auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*i);
        return 0.0;
    }
    // A number of either kind as an integer (doubles rounded); 0 for text.
    std::int64_t integer() const {
        if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
        if (auto* d = std::get_if<double>(&v_)) return std::llround(*d);
        return 0;
    }
    bool boolean() const { return integer() != 0; }

    friend bool operator==(const Value&, const Value&) = default;

private:
    static const std::string& emptyText();
    std::variant<std::string, double, std::int64_t> v_;
};

// The empty value of a field type: empty text, 0, false, zero date.
Value emptyValue(FieldType type);

}  // namespace tw
