#pragma once

#include "grid/CellParams.h"
#include "grid/ColumnFooter.h"
#include "grid/DBSumList.h"
#include "grid/GridColumn.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QList>
#include <QPointer>
#include <memory>
#include <vector>

class Query;
class QScrollBar;
class QTableView;
class TGridFooter;
class TRecordGridModel;
class TRowIndicator;

// A read-only grid over a data set: one row per record the data set shows, columns
// bound to its fields, whole-row selection that follows the data set's current
// record (and moves it when the user picks a row), every second row tinted, and
// footer rows under the rows with totals kept by the grid's own sum list.
//
// Rows are read from the data set when they are painted, never copied.
class TRecordGrid : public QFrame
{
    Q_OBJECT
public:
    explicit TRecordGrid(QWidget *parent = nullptr);
    ~TRecordGrid() override;

    // The data set shown; not owned. Switching it rebinds the rows and the sum list.
    Query *dataSet() const { return m_dataSet; }
    void setDataSet(Query *dataSet);

    // Columns, in display order.
    TGridColumn *addColumn(
        const QString &fieldName, const QString &title = QString(), int width = 64);
    // Replaces the columns by one per field of the (open) data set.
    void addColumnsForAllFields();
    void clearColumns();
    int columnCount() const { return int(m_columns.size()); }
    TGridColumn *column(int index) const { return m_columns.at(size_t(index)).get(); }
    TGridColumn *columnByField(const QString &fieldName) const; // first one; case-blind
    QList<TGridColumn *> visibleColumns() const;

    // Footer rows under the data rows; 0 for none.
    int footerRowCount() const { return m_footerRowCount; }
    void setFooterRowCount(int rows);
    QColor footerColor() const { return m_footerColor; } // default: the window colour
    void setFooterColor(const QColor &c);
    QFont footerFont() const { return m_footerFont; }
    void setFooterFont(const QFont &f);
    // Text of footer row `footerRow` under `column`, computed from the stored totals.
    QString footerValueText(int footerRow, const TGridColumn *column) const;

    // The background of every second row (default RGB 235, 245, 245).
    QColor oddRowColor() const { return m_oddRowColor; }
    void setOddRowColor(const QColor &c);
    QColor cellColor() const { return m_cellColor; } // default cell background
    void setCellColor(const QColor &c);
    bool showTitles() const { return m_showTitles; }
    void setShowTitles(bool on);

    QFont titleFont() const;
    void setTitleFont(const QFont &f);

    TGridSumList *sumList() const { return m_sumList.get(); }

    // The current record and scroll position, for walks (export, printing) that move
    // the data set and must leave the grid as they found it.
    struct Position
    {
        qint64 bookmark = 0;
        int scrollX = 0;
        int scrollY = 0;
    };
    Position savePosition() const;
    void restorePosition(const Position &position);

    QTableView *view() const { return m_view; }
    TRecordGridModel *model() const { return m_model; }
    TGridFooter *footerWidget() const { return m_footer; }
    int footerRowHeight() const;

signals:
    void OnSumListRecalcAll();
    void OnSumListAfterRecalcAll();

protected:
    void changeEvent(QEvent *event) override;

private:
    friend class TGridColumn;
    friend class TColumnFooter;
    void columnChanged(TGridColumn *column, bool layout);
    void footerChanged(TColumnFooter *footer, bool totalsAffected);
    void syncSumItem(TColumnFooter *footer);
    void dropSumItem(TColumnFooter *footer);
    void applyColumnGeometry();
    void selectCurrentRecord(int position);
    void viewRowChanged(int row);
    void updateFooterGeometry();

    QPointer<Query> m_dataSet;
    std::vector<std::unique_ptr<TGridColumn>> m_columns;
    std::unique_ptr<TGridSumList> m_sumList;
    QTableView *m_view = nullptr; // children of this frame
    TRecordGridModel *m_model = nullptr;
    TRowIndicator *m_indicator = nullptr;
    TGridFooter *m_footer = nullptr;
    QScrollBar *m_hbar = nullptr;
    int m_footerRowCount = 0;
    QColor m_footerColor;
    QFont m_footerFont;
    QColor m_oddRowColor;
    QColor m_cellColor;
    bool m_showTitles = true;
    bool m_syncing = false;
    bool m_applyingGeometry = false;
    bool m_destroying = false;
};
