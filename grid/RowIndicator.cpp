#include "grid/RowIndicator.h"

#include <QPainter>
#include <QPolygon>

namespace {
constexpr int IndicatorWidth = 12;
}

TRowIndicator::TRowIndicator(QWidget *parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(true);
    setHighlightSections(false);
    setFixedWidth(IndicatorWidth);
}

void TRowIndicator::setCurrentRow(int row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    viewport()->update();
}

QSize TRowIndicator::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setWidth(IndicatorWidth);
    return s;
}

void TRowIndicator::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    painter->fillRect(rect, palette().button());
    painter->setPen(palette().mid().color());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (logicalIndex == m_currentRow) {
        // A small solid triangle pointing at the row.
        const int h = qMin(rect.height() - 4, 8);
        const int x = rect.left() + (rect.width() - h / 2) / 2;
        const int y = rect.top() + (rect.height() - h) / 2;
        QPolygon tri;
        tri << QPoint(x, y) << QPoint(x + h / 2, y + h / 2) << QPoint(x, y + h);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().windowText());
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->drawPolygon(tri);
    }
    painter->restore();
}
