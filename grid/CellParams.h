#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>

// What it takes to draw or write one cell: filled from a column for the current
// record, then open to the cell hooks before the cell is drawn, printed or exported.
struct TCellParams
{
    int row = -1;
    int col = -1;
    int state = 0; // draw state; 0 outside painting
    QFont font;
    QColor background;
    Qt::Alignment alignment = Qt::AlignLeft;
    int imageIndex = -1; // -1: no image
    QString text;
    Qt::CheckState checkboxState = Qt::Unchecked;
};
