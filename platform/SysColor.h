#pragma once

#include <QColor>
#include <QPalette>

// Colour values as the windows store them: 0x00BBGGRR (red in the low byte) for an
// explicit colour, 0xFF0000nn for the system colour with index nn, clNone for none.
namespace SysColor {

inline constexpr quint32 clNone = 0x1FFFFFFF;
inline constexpr quint32 clWhite = 0x00FFFFFF;
inline constexpr quint32 clBlack = 0x00000000;
inline constexpr quint32 clSilver = 0x00C0C0C0;
inline constexpr quint32 clBlue = 0x00FF0000;
inline constexpr quint32 clRed = 0x000000FF;
inline constexpr quint32 clAqua = 0x00FFFF00;

inline constexpr quint32 clWindow = 0xFF000005;
inline constexpr quint32 clWindowText = 0xFF000008;
inline constexpr quint32 clBtnFace = 0xFF00000F;
inline constexpr quint32 clBtnShadow = 0xFF000010;
inline constexpr quint32 clBtnHighlight = 0xFF000014;

inline bool isSystemColor(quint32 value)
{
    return (value & 0xFF000000u) == 0xFF000000u;
}

// The RGB behind a colour value; system colours come from the palette (the
// application's when none is given). clNone gives an invalid QColor.
QColor toQColor(quint32 value, const QPalette &palette);
QColor toQColor(quint32 value);

// An explicit colour value for an RGB colour.
quint32 fromQColor(const QColor &color);

} // namespace SysColor
