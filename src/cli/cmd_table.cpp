// tallowick-cli table PATH --password P: a table file's fields and records.
#include <memory>

#include "cli/command.h"
#include "shell/session.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "storage/scoped_table.h"

namespace tw::cli {

namespace {

struct TableOptions {
    std::string path;
    std::string password;
};

std::string shown(const Value& v, FieldType type) {
    switch (type) {
        case FieldType::Text:
            return v.text();
        case FieldType::Double:
            return plainDecimal(v.number());
        case FieldType::DateTime:
            return v.number() == 0 ? "" : formatDate(v.number());
        default:
            return std::to_string(v.integer());
    }
}

void dumpTable(Context& c, const TableOptions& o) {
    RecordStore& store = *c.store;
    ScopedTable table(store);
    if (!table.open(o.path, o.password)) {
        switch (store.lastOpenFailure()) {
            case RecordStore::OpenFailure::Missing:
                c.refuse("数据表文件不存在：" + o.path, 2);
                break;
            case RecordStore::OpenFailure::WrongPassword:
                c.refuse("数据表密码不正确：" + o.path, 2);
                break;
            case RecordStore::OpenFailure::NewerFormat:
                c.refuse(newerFormatMessage(o.path), 2);
                break;
            default:
                c.refuse("不是数据表文件，或者文件已损坏：" + o.path, 2);
        }
        return;
    }
    const int n = store.fieldCount();
    c.out << "字段\n";
    for (int i = 1; i <= n; ++i)
        c.out << store.fieldName(i) << "\t" << fieldTypeName(store.fieldType(i)) << "\n";
    c.out << "记录\t" << store.recordCount() << "\n";
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
        for (int i = 1; i <= n; ++i)
            c.out << (i > 1 ? "\t" : "") << shown(store.readField(i), store.fieldType(i));
        c.out << "\n";
    }
}

}  // namespace

void addTableCommand(Commands& commands) {
    auto opts = std::make_shared<TableOptions>();
    commands.add(
        "table", "显示一个数据表文件的字段和记录",
        [opts](Options& sub) {
            sub.add("path", opts->path, "数据表文件").required();
            sub.add("--password", opts->password, "数据表密码");
        },
        [opts](Context& c) { dumpTable(c, *opts); });
}

}  // namespace tw::cli
