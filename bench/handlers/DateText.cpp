#include "DateText.h"

#include <QDate>
#include <QLocale>

DateEncodingError::DateEncodingError()
    : std::runtime_error("Argument incorrect pour l'encodage de date")
{
}

QString dateText(uint16_t year, uint16_t month, uint16_t day, const QString &format)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        throw DateEncodingError();
    return QLocale::system().toString(QDate(year, month, day), format);
}
