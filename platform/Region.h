#pragma once

#include <QColor>
#include <QList>
#include <QRect>

class QPainter;

// A region of whole pixels kept as horizontal spans per row, with the extent rules of
// the button drawing: a rectangular region on (l, t, r, b) covers columns l..r-1 and
// rows t..b-1; a rounded or elliptic one on the same bounds covers one column and one
// row less (l..r-2, t..b-2), so that a rounded region on (0, 0, W, H) and a
// rectangular one on (0, 0, W-1, H-1) have the same extent.
class TRegion
{
public:
    struct Span
    {
        int y;
        int x0; // first column
        int x1; // one past the last column
        bool operator==(const Span &) const = default;
    };

    TRegion() = default;

    static TRegion rect(int left, int top, int right, int bottom);
    // Rectangle with elliptic corners of the given ellipse width and height; sizes
    // larger than the region are cut to it, sizes below 2 give square corners.
    static TRegion roundRect(
        int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    static TRegion ellipse(int left, int top, int right, int bottom);

    bool isEmpty() const { return m_spans.isEmpty(); }
    QRect boundingRect() const;
    const QList<Span> &spans() const { return m_spans; }

    void offset(int dx, int dy);
    bool contains(int x, int y) const;
    bool contains(const QPoint &p) const { return contains(p.x(), p.y()); }

    // The pixels of the region that have a 4-neighbour outside it: a border one pixel
    // wide and one pixel high just inside the region's edge.
    TRegion frame() const;

    // Paint with a solid colour, shapes without antialiasing.
    void fill(QPainter &painter, const QColor &color) const;
    void paintFrame(QPainter &painter, const QColor &color) const;

private:
    // Spans sorted by row, then by column; spans of one row never touch or overlap.
    QList<Span> m_spans;
    void addSpan(int y, int x0, int x1);
};
