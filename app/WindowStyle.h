#pragma once

#include "controls/GlgBtn.h"

#include <QFont>

class QWidget;
class TEditN;

// The settings that every window of the program gives its boxes and buttons.
namespace WindowStyle {

// "宋体", 12 pixels high: the font of the windows and their grids.
QFont songFont();

// Maps "宋体"/"SimSun" to the installed Ming serif so Chinese renders as designed.
void installFontSubstitutions();

// Flat box, grey when not focused, white with blue text when focused, Enter as Tab.
void applyEditSettings(TEditN *edit);

// A glyph button with the common look, at its place.
TGlgBtn *button(QWidget *parent, const char *name, const QString &caption, TKind kind, int x,
                int y, int w, int h);

} // namespace WindowStyle
