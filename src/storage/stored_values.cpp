// The checks a value passes before the store writes it into its field.
#include "storage/stored_values.h"

#include <stdexcept>
#include <string>

#include "storage/gbk.h"

namespace tw::detail {

Value checked(const FieldDef& f, Value value) {
    switch (f.type) {
        case FieldType::Text: {
            if (!value.isText()) throw std::logic_error("a number written to text field " + f.name);
            if (hasControlChar(value.text()))
                throw TextError("control character in " + f.name,
                                f.name + " 不能含有换行、制表符等控制字符！");
            const auto len = gbkLength(value.text());
            if (!len)
                throw TextError("text outside GBK in " + f.name,
                                "“" + value.text() + "”中含有无法保存的字符，请修改后重试！");
            if (f.maxLength > 0 && static_cast<int>(*len) > f.maxLength)
                throw TextError("text too long for " + f.name,
                                "“" + value.text() + "”太长：" + f.name + "最多只能保存" +
                                    std::to_string(f.maxLength) + "个字节（一个汉字占两个字节）！");
            return value;
        }
        case FieldType::Double:
        case FieldType::DateTime:
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            return Value(value.number());
        case FieldType::Byte: {
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            const auto v = value.integer();
            if (v < 0 || v > 255) throw std::logic_error("byte out of range in " + f.name);
            return Value(v);
        }
        case FieldType::Boolean:
            if (value.isText()) throw std::logic_error("text written to boolean field " + f.name);
            return Value(static_cast<std::int64_t>(value.number() != 0 ? 1 : 0));
        default:
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            return Value(value.integer());
    }
}

std::vector<Value> fullRecord(const Schema& fields, std::vector<Value> values) {
    if (values.size() > fields.size()) throw std::logic_error("more values than fields");
    const size_t given = values.size();
    for (size_t i = 0; i < given; ++i) values[i] = checked(fields[i], std::move(values[i]));
    values.reserve(fields.size());
    for (size_t i = given; i < fields.size(); ++i) values.push_back(emptyValue(fields[i].type));
    return values;
}

}  // namespace tw::detail
