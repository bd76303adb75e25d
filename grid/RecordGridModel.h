#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QMetaObject>
#include <QPointer>

class Query;
class TRecordGrid;

// Presents a record grid's data set to its view: one row per record the data set
// shows, one column per grid column. Cells are read from the data set when the view
// asks for them; the row count is the one last announced, so the view never sees a
// count that changed behind its back while the data set's controls were disabled.
class TRecordGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TRecordGridModel(TRecordGrid *grid);

    void setDataSet(Query *dataSet);
    // Everything read again (data set reopened, filtered, columns replaced).
    void resetAll();
    // Titles and cells of existing columns changed (caption, format, colour...).
    void refreshColumns();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // How many cell texts were read from the data set (lets tests see that only the
    // rows on screen are read).
    qint64 cellReads() const { return m_cellReads; }
    void resetCellReads() { m_cellReads = 0; }

signals:
    // The data set's current record moved (or everything was read again).
    void currentRecordChanged(int position);

private:
    bool suspended() const;
    void rowInserted(int position);
    void rowsAppended(int first, int last);
    void rowRemoved(int position);
    void rowChanged(int position);
    void syncCountOrReset();

    TRecordGrid *m_grid;
    QPointer<Query> m_dataSet;
    QList<QMetaObject::Connection> m_connections;
    int m_rowCount = 0;
    mutable qint64 m_cellReads = 0;
};
