#pragma once

#include <QString>

// Formats a number with a display-format mask such as "0.00", "#,##0.00" or
// "0.0 'copies'": '0' is a digit that is always shown, '#' a digit shown when
// significant, '.' the decimal point, ',' in the integer part groups thousands,
// text in single or double quotes and other characters are copied. Up to three
// sections separated by ';' format positive, negative and zero values; the negative
// section is written without a minus sign. Rounds halves away from zero on the
// decimal digits. An empty mask gives the general format.
QString formatNumberMask(const QString &mask, double value);
