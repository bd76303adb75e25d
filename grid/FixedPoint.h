#pragma once

#include <QString>
#include <QtGlobal>

// Totals kept as a signed 64-bit number holding the value times 10000. Every addition
// is rounded to the nearest whole number, halves to even, so that sums of amounts are
// exact to four decimals (0.125 + 0.125 is 0.25, 1.23456 contributes 1.2346). The
// footer totals, the spreadsheet writer and the grid printer each keep their own.
namespace FixedPoint {

constexpr qint64 Scale = 10000;

// round(total + value x 10000); a result beyond the 64-bit range saturates and a
// value that is not a number leaves the total as it was.
qint64 add(qint64 total, double value);
// round(total - value x 10000), with the same rules.
qint64 subtract(qint64 total, double value);
// round(value x 10000).
inline qint64 fromDouble(double value)
{
    return add(0, value);
}
// The integer quotient rounded to nearest, halves to even (averages).
qint64 divide(qint64 fixed, qint64 divisor);

inline double toDouble(qint64 fixed)
{
    return double(fixed) / double(Scale);
}
// The whole number nearest to the value, halves to even.
qint64 toInteger(qint64 fixed);

// Shortest decimal form with at most `precision` significant digits and no trailing
// zeros ("12.5", "0", "1234.5678"); an exponent form ("1.5E20") only for very large values.
QString formatGeneral(qint64 fixed, int precision = 15);
// Plain decimal integer of the rounded value.
QString formatInteger(qint64 fixed);

} // namespace FixedPoint
