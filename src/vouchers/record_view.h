#pragma once
// The voucher window's record view over 凭证库: the table's records in record
// order, one of them current. The view holds record ids only; the window
// reads the current page afresh after every change, and every change is an
// action of its own that reaches the table at once, so the table is always
// what a scan sees.
//
// The table keeps the vouchers of every year, so opening reads only the
// number of records and the newest one; the order of all the records is read
// once, on the first move that needs it.
//
// Moving past the first or the last record stays on it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vouchers/voucher_page.h"

namespace tw {

class VoucherRecordView {
public:
    // Makes the last record (the newest page) current. Refuses
    // kUnreadableSet when the table cannot be read.
    void load(RecordStore& store, const Session& session);

    long size() const { return size_; }
    // 1-based position of the current record; 0 when there is none.
    long position() const { return size_ == 0 ? 0 : pos_ + 1; }
    // Record id of the current record; 0 when there is none.
    std::int64_t current() const;

    // Moves by n records (−1 back, 1 forward), stopping at either end.
    void move(RecordStore& store, const Session& session, long n);
    void goFirst(RecordStore& store, const Session& session);
    void goLast() { pos_ = size_ == 0 ? 0 : size_ - 1; }
    // Makes the record `id` current; false (and no move) when the view has none.
    bool goTo(RecordStore& store, const Session& session, std::int64_t id);

    // A record appended to the table: it becomes the last and current one.
    void appended(std::int64_t id);
    // The record `id` was removed from the table: the one before it becomes
    // current (the first, when it was the first).
    void removed(RecordStore& store, const Session& session, std::int64_t id);

private:
    void readOrder(RecordStore& store, const Session& session);

    std::vector<std::int64_t> ids_;  // every record id, once the order was read
    bool ordered_ = false;
    long size_ = 0;
    long pos_ = 0;
    std::int64_t last_ = 0;  // the last record's id
};

// Locate mode: the record id of the page whose box texts are the target's —
// its date (as 2013-3-1), its 月编号 text and its 第几 text — the last such
// page in record order, as a backward walk from the last record meets it; or
// nothing when no page matches (the walk ends on the first record then).
std::optional<std::int64_t> locatePage(RecordStore& store, const Session& session, double date,
                                       const std::string& number, const std::string& page);

}  // namespace tw
