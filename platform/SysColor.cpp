#include "platform/SysColor.h"

#include <QGuiApplication>

namespace SysColor {

QColor toQColor(quint32 value, const QPalette &palette)
{
    if (value == clNone)
        return {};
    if (!isSystemColor(value))
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    switch (value & 0xFF) {
    case 5:
        return palette.color(QPalette::Active, QPalette::Base);
    case 8:
        return palette.color(QPalette::Active, QPalette::Text);
    case 13:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 14:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Active, QPalette::Button);
    case 16:
        return palette.color(QPalette::Active, QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Active, QPalette::Light);
    case 21:
        return palette.color(QPalette::Active, QPalette::Shadow);
    default:
        return palette.color(QPalette::Active, QPalette::Window);
    }
}

QColor toQColor(quint32 value)
{
    return toQColor(value, QGuiApplication::palette());
}

quint32 fromQColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

} // namespace SysColor
