#pragma once

#include <QFrame>
#include <QHash>
#include <QList>
#include <QRect>
#include <QPointer>

class DataSource;
class QLabel;
class QPlainTextEdit;
class Query;

// The fields of the current catalogue row: a table of thin framed cells with
// labels and read-only values, and the remarks below. Follows its data source.
class DetailPanel : public QFrame
{
    Q_OBJECT
public:
    DetailPanel(DataSource *source, QWidget *parent = nullptr);

    // The value shown for a field ("" when there is no current row).
    QString valueText(const QString &field) const;
    QString remarksText() const;

public slots:
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void bind(Query *dataSet);
    QLabel *cell(const QString &text, int x, int y, int w, int h, bool value);

    DataSource *m_source;
    QPointer<Query> m_bound;
    QHash<QString, QLabel *> m_values;
    QList<QRect> m_cells;
    QPlainTextEdit *m_remarks;
};
