#include "app/OrderRules.h"

#include "platform/ErrorReport.h"
#include "platform/Text.h"

namespace OrderRules {

int subscriptionYear(const QDate &today)
{
    return today.month() <= 8 ? today.year() : today.year() + 1;
}

int lastDayOfMonth(int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? days[month - 1] : 0;
}

namespace {
QString twoDigits(int month)
{
    return month < 10 ? QStringLiteral("0") + QString::number(month) : QString::number(month);
}

// A month of two characters whose first is "0" is read as its second alone.
QString monthAt(const QString &period, int position)
{
    const QString first = period.mid(position, 1);
    if (first != QStringLiteral("0"))
        return period.mid(position, 2);
    return period.mid(position + 1, 1);
}
}

QString periodText(int year, int firstMonth, int lastMonth)
{
    return QString::number(year) + u'.' + twoDigits(firstMonth) + QStringLiteral(".01-")
        + twoDigits(lastMonth) + u'.' + twoDigits(lastDayOfMonth(lastMonth));
}

QString firstMonthOf(const QString &period)
{
    return monthAt(period, 5);
}

QString lastMonthOf(const QString &period)
{
    return monthAt(period, 11);
}

double amount(const QString &firstMonthText, const QString &lastMonthText, qint64 copies,
              double yearPrice, double monthPrice)
{
    if (firstMonthText.trimmed() == QStringLiteral("1")
        && lastMonthText.trimmed() == QStringLiteral("12"))
        return yearPrice * double(copies);
    const int months = strToInt(lastMonthText) - strToInt(firstMonthText) + 1;
    if (monthPrice > 0)
        return (monthPrice * double(copies)) * months;
    return (yearPrice / 12 * double(copies)) * months;
}

} // namespace OrderRules
