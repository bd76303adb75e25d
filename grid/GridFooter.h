#pragma once

#include <QWidget>

class TRecordGrid;

// The footer rows of a record grid, drawn under the data rows with each cell under
// its column (following horizontal scrolling, resizing and hidden columns).
class TGridFooter : public QWidget
{
    Q_OBJECT
public:
    explicit TGridFooter(TRecordGrid *grid);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The rectangle of footer row `footerRow` under column `column` (widget coordinates,
    // unclipped); empty when the column is hidden.
    QRect cellRect(int footerRow, int column) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int originX() const; // x of the rows' viewport, in this widget

    TRecordGrid *m_grid;
};
