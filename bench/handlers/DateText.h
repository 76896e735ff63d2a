// Calendar dates from a device's year, month and day.
#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

// Raised for a year, month and day that form no calendar date.
class DateEncodingError : public std::runtime_error
{
public:
    DateEncodingError();
};

// The date written in format (a QDate format string, such as the user's
// short date format). Years 1 to 9999 only; throws DateEncodingError for a
// triple that is not a real date (day 0, day past the month's end, month 0
// or above 12).
QString dateText(uint16_t year, uint16_t month, uint16_t day, const QString &format);
