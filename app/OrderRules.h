#pragma once

#include <QDate>
#include <QString>

// The subscription rules shared by subscribing and amending an order line.
namespace OrderRules {

// From September on, orders are for the next year.
int subscriptionYear(const QDate &today);

// Last day of a month from a fixed table: February always has 28 days here.
int lastDayOfMonth(int month);

// "YYYY.MM.01-MM.DD": year, first month, the first day, last month and its last day.
QString periodText(int year, int firstMonth, int lastMonth);

// The first and last month read back from a stored period text, without a leading
// zero ("04" gives "4", "12" stays "12").
QString firstMonthOf(const QString &period);
QString lastMonthOf(const QString &period);

// The amount of a line. The full-year rule compares the month texts as typed, the
// other two rules count the months from their values.
double amount(const QString &firstMonthText, const QString &lastMonthText, qint64 copies,
              double yearPrice, double monthPrice);

} // namespace OrderRules
