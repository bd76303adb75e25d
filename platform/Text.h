#pragma once

#include <QString>

// Removes leading and trailing blanks and control characters (every code up to
// and including the space), the trimming the commands apply to typed texts.
QString trimControl(const QString &text);

// General decimal form with at most 15 significant digits, trailing zeros dropped,
// no digit grouping: 120 -> "120", 10.5 -> "10.5".
QString generalNumberText(double value);

// Text to floating-point number with '.' as the decimal separator; blanks around it
// are allowed. Throws ConversionError "'%s' is not a valid floating point value".
double strToFloat(const QString &text);
