#pragma once

#include <QHeaderView>

// The narrow column at the left of a record grid's rows: no numbers, only a marker
// triangle on the current row.
class TRowIndicator : public QHeaderView
{
    Q_OBJECT
public:
    explicit TRowIndicator(QWidget *parent = nullptr);

    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    int m_currentRow = -1;
};
