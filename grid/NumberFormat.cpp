#include "grid/NumberFormat.h"

#include <QStringList>
#include <cmath>

namespace {

// Splits at ';' outside quotes.
QStringList sections(const QString &mask)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

struct Layout
{
    QString prefix, suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool thousands = false;
    bool hasDigits = false;
};

Layout parse(const QString &section)
{
    Layout l;
    bool inNumber = false, afterNumber = false, afterPoint = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (inNumber || afterNumber ? l.suffix : l.prefix) += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            if (inNumber) {
                inNumber = false;
                afterNumber = true;
            }
            continue;
        }
        const bool placeholder = c == u'0' || c == u'#';
        const bool numberPart = placeholder || ((c == u'.' || c == u',') && !afterNumber);
        if (numberPart && !afterNumber) {
            inNumber = true;
            l.hasDigits = l.hasDigits || placeholder;
            if (c == u'.') {
                afterPoint = true;
            } else if (c == u',') {
                if (!afterPoint)
                    l.thousands = true;
            } else if (afterPoint) {
                ++l.maxDec;
                if (c == u'0')
                    l.minDec = l.maxDec;
            } else if (c == u'0') {
                ++l.minInt;
            }
            continue;
        }
        if (inNumber) {
            inNumber = false;
            afterNumber = true;
        }
        (afterNumber ? l.suffix : l.prefix) += c;
    }
    return l;
}

QString roundedDigits(double magnitude, int decimals)
{
    // QString::number gives the correctly rounded decimal of the binary value.
    return QString::number(magnitude, 'f', decimals);
}

} // namespace

QString formatNumberMask(const QString &mask, double value)
{
    if (mask.isEmpty() || std::isnan(value) || std::isinf(value))
        return QString::number(value, 'g', 15);
    const QStringList parts = sections(mask);
    QString section = parts.at(0);
    bool writeSign = value < 0;
    if (value < 0 && parts.size() > 1 && !parts.at(1).isEmpty()) {
        section = parts.at(1);
        writeSign = false;
    }
    const Layout first = parse(section);
    QString number = roundedDigits(std::fabs(value), first.maxDec);
    if (number.toDouble() == 0 && parts.size() > 2 && !parts.at(2).isEmpty()) {
        section = parts.at(2);
        writeSign = false;
    }
    const Layout l = parse(section);
    if (!l.hasDigits)
        return l.prefix + l.suffix;
    number = roundedDigits(std::fabs(value), l.maxDec);
    QString intPart = number.section(u'.', 0, 0);
    QString fracPart = number.section(u'.', 1);
    while (fracPart.size() > l.minDec && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (intPart == QLatin1String("0") && l.minInt == 0)
        intPart.clear();
    while (intPart.size() < l.minInt)
        intPart.prepend(u'0');
    if (l.thousands) {
        for (int i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, u',');
    }
    QString body = intPart;
    if (!fracPart.isEmpty())
        body += u'.' + fracPart;
    if (body.isEmpty())
        body = QStringLiteral("0");
    bool allZero = true;
    for (const QChar c : body)
        if (c.isDigit() && c != u'0')
            allZero = false;
    if (writeSign && !allZero)
        body.prepend(u'-');
    return l.prefix + body + l.suffix;
}
