#include "platform/Text.h"

#include "platform/ErrorReport.h"

#include <cmath>

QString trimControl(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString generalNumberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");   // also for -0.0
    return QString::number(value, 'g', 15);
}

double strToFloat(const QString &text)
{
    const QString t = trimControl(text);
    bool ok = false;
    double v = 0.0;
    // Digits, one optional sign at the front, one decimal point, an optional exponent.
    bool wellFormed = !t.isEmpty();
    for (QChar c : t) {
        if (!(c.isDigit() && c.unicode() < 128) && c != u'-' && c != u'+' && c != u'.'
            && c != u'e' && c != u'E') {
            wellFormed = false;
            break;
        }
    }
    if (wellFormed)
        v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}
