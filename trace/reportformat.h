#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace lentaro {

// Sizes in the reports: whole numbers with the locale's thousands separator ("4,294,967,296").
QString groupedNumber(std::uint64_t value);

// A date and time in the reports: the locale's short date, then the time ("12/9/24 21:54:12");
// empty for an invalid date.
QString generalDateText(const QDateTime& moment);

} // namespace lentaro
