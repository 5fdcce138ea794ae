#pragma once
// The accounting period as posting and closing see it: the month of the
// current period (only its year and month count) as a look-up condition.
// The period's text is its month's (YearMonth::text).

#include <string>

#include "storage/dates.h"
#include "storage/where.h"

namespace tw {

// Rows whose date field lies in month `m`.
inline Where monthOf(const std::string& dateField, YearMonth m) {
    return Where().atLeast(dateField, m.firstDay()).below(dateField, m.next().firstDay());
}

// Rows whose date field lies in the month of `period`.
inline Where monthOf(const std::string& dateField, double period) {
    return monthOf(dateField, YearMonth::of(period));
}

// Rows whose date field lies in the year of `period`.
inline Where yearOf(const std::string& dateField, double period) {
    const int year = toYmd(period).year;
    return Where()
        .atLeast(dateField, dayNumber(year, 1, 1))
        .below(dateField, dayNumber(year + 1, 1, 1));
}

}  // namespace tw
