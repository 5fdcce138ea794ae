// A look-up condition as SQL for the file's rows and as a test in memory for
// the action's rows.
#include "storage/lookup.h"

#include "storage/sqlite_connection.h"
#include "storage/table_state.h"

namespace tw::detail {

namespace {

// Empty text or the number 0: what a field without a value reads as.
bool isEmptyOfKind(const Value& v) { return v.isText() ? v.text().empty() : v.number() == 0; }

}  // namespace

ResolvedWhere::ResolvedWhere(const TableState& t, const Where& where) {
    for (const auto& term : where.terms()) {
        Term r{term.op, {}, &term.values};
        for (const auto& f : term.fields) r.fields.push_back(t.fieldIndex(f));
        terms.push_back(std::move(r));
    }
}

bool ResolvedWhere::matches(const std::vector<Value>& row) const {
    for (const Term& t : terms) {
        const auto& vs = *t.values;
        bool ok = false, comparable = false;
        switch (t.op) {
            case Where::Op::Equal:
                ok = compareValues(row[t.fields[0]], vs[0], &comparable) == 0 && comparable;
                break;
            case Where::Op::NotEqual:
                ok = !(compareValues(row[t.fields[0]], vs[0], &comparable) == 0 && comparable);
                break;
            case Where::Op::AtLeast:
                ok = compareValues(row[t.fields[0]], vs[0], &comparable) >= 0 && comparable;
                break;
            case Where::Op::Below:
                ok = compareValues(row[t.fields[0]], vs[0], &comparable) < 0 && comparable;
                break;
            case Where::Op::AtMost:
                ok = compareValues(row[t.fields[0]], vs[0], &comparable) <= 0 && comparable;
                break;
            case Where::Op::OneOf:
                for (const Value& v : vs)
                    if (compareValues(row[t.fields[0]], v, &comparable) == 0 && comparable)
                        ok = true;
                break;
            case Where::Op::AnyFieldEqual:
                for (int f : t.fields)
                    if (compareValues(row[f], vs[0], &comparable) == 0 && comparable) ok = true;
                break;
        }
        if (!ok) return false;
    }
    return true;
}

std::string ResolvedWhere::sql(const Schema& fields) const {
    std::string s;
    for (const Term& t : terms) {
        s += s.empty() ? " WHERE " : " AND ";
        const std::string f = quoteName(fields[t.fields[0]].name);
        switch (t.op) {
            case Where::Op::Equal:
                // A field without a value reads as its type's empty value:
                // equal to empty text or 0 in the file as in memory.
                s += isEmptyOfKind((*t.values)[0]) ? "(" + f + "=? OR " + f + " IS NULL)" : f + "=?";
                break;
            case Where::Op::NotEqual: s += f + "<>?"; break;
            case Where::Op::AtLeast: s += f + ">=?"; break;
            case Where::Op::Below: s += f + "<?"; break;
            case Where::Op::AtMost: s += f + "<=?"; break;
            case Where::Op::OneOf:
                s += t.values->empty() ? "0" : f + " IN (" + placeholders(t.values->size()) + ")";
                break;
            case Where::Op::AnyFieldEqual: {
                std::string any;
                for (int i : t.fields)
                    any += (any.empty() ? "(" : " OR ") + quoteName(fields[i].name) + "=?";
                s += any + ")";
                break;
            }
        }
    }
    return s;
}

void ResolvedWhere::bind(sqlite3_stmt* st) const {
    int n = 0;
    for (const Term& t : terms) {
        if (t.op == Where::Op::AnyFieldEqual)
            for (size_t i = 0; i < t.fields.size(); ++i) bindValue(st, ++n, (*t.values)[0]);
        else
            for (const Value& v : *t.values) bindValue(st, ++n, v);
    }
}

}  // namespace tw::detail
