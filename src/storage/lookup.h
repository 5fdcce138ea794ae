#pragma once
// A look-up condition (Where) resolved against a table's fields, evaluated
// two ways that must agree: as SQL over the rows in the file, and in memory
// over the rows the open action holds. Used by the record store only.

#include <sqlite3.h>

#include <string>
#include <vector>

#include "storage/record_store.h"

namespace tw::detail {

struct TableState;

struct ResolvedWhere {
    struct Term {
        Where::Op op;
        std::vector<int> fields;  // 0-based positions
        const std::vector<Value>* values;
    };
    std::vector<Term> terms;

    // std::logic_error for a field the table does not have.
    ResolvedWhere(const TableState& t, const Where& where);
    // True when the record (values in field order) satisfies every term.
    bool matches(const std::vector<Value>& row) const;
    // " WHERE …" with `?` for every value, in the order bind() binds them;
    // empty for no terms.
    std::string sql(const Schema& fields) const;
    void bind(sqlite3_stmt* st) const;
};

}  // namespace tw::detail
