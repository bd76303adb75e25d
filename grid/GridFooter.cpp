#include "grid/GridFooter.h"

#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

TGridFooter::TGridFooter(TRecordGrid *grid)
    : QWidget(grid)
    , m_grid(grid)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TGridFooter::sizeHint() const
{
    return QSize(100, m_grid->footerRowCount() * m_grid->footerRowHeight());
}

int TGridFooter::originX() const
{
    const QWidget *viewport = m_grid->view()->viewport();
    return viewport->mapTo(m_grid, QPoint(0, 0)).x() - x();
}

QRect TGridFooter::cellRect(int footerRow, int column) const
{
    const QHeaderView *header = m_grid->view()->horizontalHeader();
    if (column < 0 || column >= header->count() || header->isSectionHidden(column))
        return QRect();
    const int h = m_grid->footerRowHeight();
    return QRect(originX() + header->sectionViewportPosition(column), footerRow * h,
        header->sectionSize(column), h);
}

void TGridFooter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QTableView *view = m_grid->view();
    const QHeaderView *header = view->horizontalHeader();
    const int x0 = originX();
    const QRect rowsArea(x0, 0, view->viewport()->width(), height());
    const QColor lineColor = palette().mid().color();

    p.fillRect(rect(), palette().window());
    // Under the row indicator: the indicator's face.
    p.fillRect(QRect(0, 0, x0, height()), palette().button());

    p.setClipRect(rowsArea);
    for (int r = 0; r < m_grid->footerRowCount(); ++r) {
        for (int v = 0; v < header->count(); ++v) {
            const int logical = header->logicalIndex(v);
            if (logical >= m_grid->columnCount() || header->isSectionHidden(logical))
                continue;
            const QRect cell = cellRect(r, logical);
            if (cell.right() < rowsArea.left() || cell.left() > rowsArea.right())
                continue;
            const TGridColumn *column = m_grid->column(logical);
            const TColumnFooter *footer = column->footerFor(r);
            p.fillRect(cell, footer->color());
            const QRect textRect = cell.adjusted(2, 2, -3, -2);
            p.setFont(footer->font());
            p.setPen(palette().windowText().color());
            QString text = m_grid->footerValueText(r, column);
            if (footer->endEllipsis())
                text = p.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
            const Qt::Alignment horizontal = footer->alignment() & Qt::AlignHorizontal_Mask;
            p.drawText(textRect, int(horizontal | Qt::AlignTop | Qt::TextSingleLine), text);
            p.setPen(lineColor);
            p.drawLine(cell.topRight(), cell.bottomRight());
            p.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
    }
    p.setClipping(false);
    p.setPen(lineColor);
    p.drawLine(0, 0, width(), 0);
}
