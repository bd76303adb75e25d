#pragma once

#include <QColor>
#include <QtGlobal>

// Colours given as 0x00BBGGRR values (red in the low byte), as the windows state them.
inline QColor colorFromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline quint32 bgrFromColor(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// Every second row of a record grid.
constexpr quint32 DefaultOddRowColor = 16119275; // RGB 235, 245, 245
