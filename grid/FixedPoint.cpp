#include "grid/FixedPoint.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

qint64 roundSaturated(long double exact)
{
    // std::nearbyint rounds in the current mode, which is to-nearest-even unless
    // somebody changed it; make sure of it for the duration.
    const int oldMode = std::fegetround();
    if (oldMode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const long double r = std::nearbyintl(exact);
    if (oldMode != FE_TONEAREST)
        std::fesetround(oldMode);
    constexpr long double maxV = static_cast<long double>(std::numeric_limits<qint64>::max());
    constexpr long double minV = static_cast<long double>(std::numeric_limits<qint64>::min());
    if (r >= maxV)
        return std::numeric_limits<qint64>::max();
    if (r <= minV)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(r);
}

} // namespace

namespace FixedPoint {

qint64 add(qint64 total, double value)
{
    if (std::isnan(value))
        return total;
    // Extended precision keeps total + value x 10000 exact enough that only the final
    // rounding decides, as with a fixed-point register.
    return roundSaturated(
        static_cast<long double>(total) + static_cast<long double>(value) * Scale);
}

qint64 subtract(qint64 total, double value)
{
    if (std::isnan(value))
        return total;
    return roundSaturated(
        static_cast<long double>(total) - static_cast<long double>(value) * Scale);
}

qint64 divide(qint64 fixed, qint64 divisor)
{
    if (divisor == 0)
        return 0;
    return roundSaturated(static_cast<long double>(fixed) / static_cast<long double>(divisor));
}

qint64 toInteger(qint64 fixed)
{
    return divide(fixed, Scale);
}

QString formatInteger(qint64 fixed)
{
    return QString::number(toInteger(fixed));
}

QString formatGeneral(qint64 fixed, int precision)
{
    if (fixed == 0)
        return QStringLiteral("0");
    precision = qBound(1, precision, 18);
    // Work on the exact decimal digits of the stored number (value x 10000).
    const bool negative = fixed < 0;
    const quint64 magnitude = negative ? 0 - quint64(fixed) : quint64(fixed);
    const QString digits = QString::number(magnitude);
    int firstSig = 0;
    while (firstSig < digits.size() && digits.at(firstSig) == u'0')
        ++firstSig;
    int exp = digits.size() - 4 - firstSig - 1; // decimal exponent of the value
    QString sig = digits.mid(firstSig);
    if (sig.size() > precision) {
        // Round to `precision` digits, halves away from zero as decimal formatting does.
        const bool up = sig.at(precision) >= u'5';
        sig.truncate(precision);
        if (up) {
            int i = sig.size() - 1;
            while (i >= 0 && sig.at(i) == u'9') {
                sig[i] = u'0';
                --i;
            }
            if (i < 0) {
                sig.prepend(u'1');
                sig.chop(1);
                ++exp;
            } else {
                sig[i] = QChar(sig.at(i).unicode() + 1);
            }
        }
    }
    while (sig.size() > 1 && sig.endsWith(u'0'))
        sig.chop(1);

    QString text;
    if (exp >= precision) {
        text = sig.left(1);
        if (sig.size() > 1)
            text += u'.' + sig.mid(1);
        text += u'E' + QString::number(exp);
    } else if (exp >= 0) {
        QString intPart = sig.left(exp + 1);
        if (intPart.size() < exp + 1)
            intPart += QString(exp + 1 - intPart.size(), u'0');
        const QString fracPart = sig.mid(exp + 1);
        text = fracPart.isEmpty() ? intPart : intPart + u'.' + fracPart;
    } else {
        text = QStringLiteral("0.") + QString(-exp - 1, u'0') + sig;
    }
    return negative ? u'-' + text : text;
}

} // namespace FixedPoint
