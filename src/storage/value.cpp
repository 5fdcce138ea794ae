#include "storage/value.h"

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

const std::string& Value::emptyText() {
    static const std::string empty;
    return empty;
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
