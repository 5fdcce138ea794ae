#pragma once
// The accounting period as posting and closing see it: the month of the
// current period (only its year and month count) as a look-up condition, and
// the period as the messages write it.

#include <string>

#include "storage/dates.h"
#include "storage/where.h"

namespace tw {

// Rows whose date field lies in the month of `period`.
inline Where monthOf(const std::string& dateField, double period) {
    return Where()
        .atLeast(dateField, firstDayOfMonth(period))
        .below(dateField, firstDayOfNextMonth(period));
}

// Rows whose date field lies in the year of `period`.
inline Where yearOf(const std::string& dateField, double period) {
    const int year = toYmd(period).year;
    return Where()
        .atLeast(dateField, dayNumber(year, 1, 1))
        .below(dateField, dayNumber(year + 1, 1, 1));
}

// "2013年4月"
inline std::string periodText(double period) {
    const Ymd p = toYmd(period);
    return std::to_string(p.year) + "年" + std::to_string(p.month) + "月";
}

}  // namespace tw
