#include "grid/RecordGridModel.h"

#include "app/data/Query.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

TRecordGridModel::TRecordGridModel(TRecordGrid *grid)
    : QAbstractTableModel(grid)
    , m_grid(grid)
{
}

void TRecordGridModel::setDataSet(Query *dataSet)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataSet = dataSet;
    if (dataSet) {
        m_connections << connect(dataSet, &Query::rowsReset, this,
            [this] {
                if (!suspended())
                    resetAll();
            }) << connect(dataSet, &Query::rowInserted, this, &TRecordGridModel::rowInserted)
                      << connect(
                             dataSet, &Query::rowsAppended, this, &TRecordGridModel::rowsAppended)
                      << connect(dataSet, &Query::rowRemoved, this, &TRecordGridModel::rowRemoved)
                      << connect(dataSet, &Query::rowChanged, this, &TRecordGridModel::rowChanged)
                      << connect(dataSet, &Query::currentChanged, this,
                             [this](int position) {
                                 if (!suspended())
                                     emit currentRecordChanged(position);
                             })
                      << connect(
                             dataSet, &Query::controlsEnabled, this, &TRecordGridModel::resetAll)
                      << connect(dataSet, &QObject::destroyed, this, [this] {
                             // The rows went with the data set.
                             m_connections.clear();
                             m_dataSet = nullptr;
                             resetAll();
                         });
    }
    resetAll();
}

bool TRecordGridModel::suspended() const
{
    return m_dataSet && m_dataSet->controlsDisabled();
}

void TRecordGridModel::resetAll()
{
    beginResetModel();
    m_rowCount = m_dataSet && m_dataSet->isActive() ? m_dataSet->recordCount() : 0;
    endResetModel();
    emit currentRecordChanged(m_dataSet && m_dataSet->isActive() ? m_dataSet->recNo() : -1);
}

void TRecordGridModel::refreshColumns()
{
    const int cols = columnCount();
    if (cols == 0)
        return;
    emit headerDataChanged(Qt::Horizontal, 0, cols - 1);
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, cols - 1));
}

void TRecordGridModel::syncCountOrReset()
{
    // A notification we could not follow row by row: read everything again.
    const int live = m_dataSet && m_dataSet->isActive() ? m_dataSet->recordCount() : 0;
    if (live != m_rowCount)
        resetAll();
}

void TRecordGridModel::rowInserted(int position)
{
    if (suspended())
        return;
    if (position < 0 || position > m_rowCount) {
        resetAll();
        return;
    }
    beginInsertRows(QModelIndex(), position, position);
    ++m_rowCount;
    endInsertRows();
    syncCountOrReset();
}

void TRecordGridModel::rowsAppended(int first, int last)
{
    if (suspended())
        return;
    if (first != m_rowCount || last < first) {
        resetAll();
        return;
    }
    beginInsertRows(QModelIndex(), first, last);
    m_rowCount = last + 1;
    endInsertRows();
    syncCountOrReset();
}

void TRecordGridModel::rowRemoved(int position)
{
    if (suspended())
        return;
    if (position < 0 || position >= m_rowCount) {
        resetAll();
        return;
    }
    beginRemoveRows(QModelIndex(), position, position);
    --m_rowCount;
    endRemoveRows();
    syncCountOrReset();
}

void TRecordGridModel::rowChanged(int position)
{
    if (suspended() || position < 0 || position >= m_rowCount || columnCount() == 0)
        return;
    emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

int TRecordGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TRecordGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid->columnCount();
}

QVariant TRecordGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_grid->columnCount())
        return QVariant();
    const TGridColumn *col = m_grid->column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        ++m_cellReads;
        // displayTextAt checks the row against the data set as it is now.
        return col->displayTextAt(index.row());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col->alignment() | Qt::AlignVCenter);
    case Qt::FontRole:
        return col->font();
    case Qt::BackgroundRole:
        return index.row() % 2 == 1 ? m_grid->oddRowColor() : col->color();
    default:
        return QVariant();
    }
}

QVariant TRecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid->columnCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_grid->column(section)->title();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return QVariant();
    }
}

Qt::ItemFlags TRecordGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable; // never editable
}
