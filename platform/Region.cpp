#include "platform/Region.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

void TRegion::addSpan(int y, int x0, int x1)
{
    if (x1 <= x0)
        return;
    // Callers add rows top-down and spans left to right; join touching neighbours.
    if (!m_spans.isEmpty()) {
        Span &last = m_spans.last();
        if (last.y == y && last.x1 == x0) {
            last.x1 = x1;
            return;
        }
    }
    m_spans.append({ y, x0, x1 });
}

TRegion TRegion::rect(int left, int top, int right, int bottom)
{
    TRegion r;
    for (int y = top; y < bottom; ++y)
        r.addSpan(y, left, right);
    return r;
}

TRegion TRegion::roundRect(
    int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    // Rounded shapes stop one pixel short at the right and the bottom.
    const int w = right - left - 1;
    const int h = bottom - top - 1;
    TRegion r;
    if (w <= 0 || h <= 0)
        return r;
    const int ew = std::clamp(ellipseWidth, 0, w);
    const int eh = std::clamp(ellipseHeight, 0, h);
    const double a = ew / 2.0;
    const double b = eh / 2.0;
    for (int row = 0; row < h; ++row) {
        // Distance from the nearer of the top and bottom edges, so that the shape is
        // symmetric from top to bottom.
        const int fromEdge = std::min(row, h - 1 - row);
        int inset = 0;
        if (ew >= 2 && eh >= 2 && fromEdge + 0.5 < b) {
            // Pixel centres inside the corner ellipse x^2/a^2 + y^2/b^2 <= 1.
            const double dy = b - (fromEdge + 0.5);
            const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy * dy) / (b * b)));
            inset = std::max(0, static_cast<int>(std::ceil(a - dx - 0.5)));
            // Every row keeps its middle pixel(s), so the extent is always the full box.
            inset = std::min(inset, (w - 1) / 2);
        }
        r.addSpan(top + row, left + inset, left + w - inset);
    }
    return r;
}

TRegion TRegion::ellipse(int left, int top, int right, int bottom)
{
    return roundRect(left, top, right, bottom, right - left - 1, bottom - top - 1);
}

QRect TRegion::boundingRect() const
{
    if (m_spans.isEmpty())
        return {};
    int x0 = m_spans.first().x0;
    int x1 = m_spans.first().x1;
    for (const Span &s : m_spans) {
        x0 = std::min(x0, s.x0);
        x1 = std::max(x1, s.x1);
    }
    return QRect(QPoint(x0, m_spans.first().y), QPoint(x1 - 1, m_spans.last().y));
}

void TRegion::offset(int dx, int dy)
{
    for (Span &s : m_spans) {
        s.y += dy;
        s.x0 += dx;
        s.x1 += dx;
    }
}

bool TRegion::contains(int x, int y) const
{
    auto it = std::lower_bound(
        m_spans.cbegin(), m_spans.cend(), y, [](const Span &s, int row) { return s.y < row; });
    for (; it != m_spans.cend() && it->y == y; ++it) {
        if (x >= it->x0 && x < it->x1)
            return true;
    }
    return false;
}

TRegion TRegion::frame() const
{
    TRegion f;
    for (const Span &s : m_spans) {
        int runStart = 0;
        bool inRun = false;
        for (int x = s.x0; x < s.x1; ++x) {
            const bool edge
                = x == s.x0 || x == s.x1 - 1 || !contains(x, s.y - 1) || !contains(x, s.y + 1);
            if (edge && !inRun) {
                runStart = x;
                inRun = true;
            } else if (!edge && inRun) {
                f.addSpan(s.y, runStart, x);
                inRun = false;
            }
        }
        if (inRun)
            f.addSpan(s.y, runStart, s.x1);
    }
    return f;
}

void TRegion::fill(QPainter &painter, const QColor &color) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Span &s : m_spans)
        painter.fillRect(QRect(s.x0, s.y, s.x1 - s.x0, 1), color);
    painter.restore();
}

void TRegion::paintFrame(QPainter &painter, const QColor &color) const
{
    frame().fill(painter, color);
}
