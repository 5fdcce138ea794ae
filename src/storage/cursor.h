#pragma once
// The cursor of an open table (RecordStore::Cursor): the table's rows loaded
// on first use, and a position in them. Used by the record store only.

#include <cstdint>
#include <memory>
#include <vector>

#include "storage/record_store.h"
#include "storage/table_state.h"

namespace tw {

struct RecordStore::Cursor {
    std::shared_ptr<detail::TableState> table;
    std::vector<detail::Row> rows;
    bool loaded = false;
    std::uint64_t version = 0;
    long pos = 0;                // 0-based; -1 before the start, rows.size() past the end
    bool lastAfterLoad = false;  // appended before loading: the new record is current

    // The rows, loaded again when the table was written by other means (the
    // position stays on the same record, the deleted marks stay).
    std::vector<detail::Row>& load();
    // The current record; std::logic_error when there is none.
    detail::Row& row();
    // After the cursor wrote through the table itself, its rows are current.
    void wrote() { version = table->version; }
};

}  // namespace tw
