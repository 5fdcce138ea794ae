#include "storage/value.h"

#include <cmath>

namespace tw {

const char* fieldTypeName(FieldType type) {
    switch (type) {
        case FieldType::Text: return "text";
        case FieldType::Double: return "double";
        case FieldType::Int32: return "int32";
        case FieldType::Int64: return "int64";
        case FieldType::Byte: return "byte";
        case FieldType::Boolean: return "boolean";
        case FieldType::DateTime: return "datetime";
    }
    return "?";
}

const std::string& Value::text() const {
    static const std::string empty;
    if (auto* s = std::get_if<std::string>(&v_)) return *s;
    return empty;
}

double Value::number() const {
    if (auto* d = std::get_if<double>(&v_)) return *d;
    if (auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*i);
    return 0.0;
}

std::int64_t Value::integer() const {
    if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
    if (auto* d = std::get_if<double>(&v_)) return std::llround(*d);
    return 0;
}

Value emptyValue(FieldType type) {
    switch (type) {
        case FieldType::Text: return Value(std::string());
        case FieldType::Double:
        case FieldType::DateTime: return Value(0.0);
        default: return Value(std::int64_t{0});
    }
}

}  // namespace tw
