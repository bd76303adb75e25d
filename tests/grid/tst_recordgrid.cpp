#include "GridTestDb.h"
#include "support/FakeDialogService.h"

#include "grid/GridColor.h"
#include "grid/GridFooter.h"
#include "grid/RecordGrid.h"
#include "grid/RecordGridModel.h"
#include "grid/RowIndicator.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

const QString Create
    = QStringLiteral("create table t (code TEXT, copies INTEGER, amount REAL, kind INTEGER)");

QStringList fiveRows()
{
    return { Create, "insert into t values ('A1', 1, 12.5, 0)",
        "insert into t values ('B2', 2, null, 0)", "insert into t values ('C3', 3, 0.125, 1)",
        "insert into t values ('D4', null, 7, 1)", "insert into t values ('E5', 5, 1.23456, 0)" };
}

struct GridFixture
{
    GridTestDb db;
    std::unique_ptr<Query> q;
    TRecordGrid grid;
    TGridColumn *code, *copies, *amount;

    explicit GridFixture(const QStringList &statements = fiveRows())
        : db(statements)
    {
        q = db.query("select * from t");
        grid.setDataSet(q.get());
        code = grid.addColumn("code", "Code", 66);
        copies = grid.addColumn("copies", "Copies", 50);
        amount = grid.addColumn("amount", "Amount", 60);
        amount->setDisplayFormat("0.00");
    }
    QString cell(int row, int col) const { return grid.model()->index(row, col).data().toString(); }
    int viewRow() const { return grid.view()->selectionModel()->currentIndex().row(); }
};

} // namespace

class TestRecordGrid : public QObject
{
    Q_OBJECT
private slots:
    void cellsComeFromTheDataSet_data();
    void cellsComeFromTheDataSet();
    void alternateRowsAndAlignment();
    void currentRowFollowsBothWays();
    void disabledControlsSuspendTheRows();
    void switchingTheDataSet();
    void columnWidthsSurviveAReset();
    void onlyShownRowsAreRead();
    void footerPaintedUnderItsColumn();
    void cellParamsForTheCurrentRecord();
    void positionAndSidewaysScrollKept();
    void destroyedDataSetLeavesAnEmptyGrid();
    void partsGoWhileTheGridIsWhole();
    void columnsForAllFields();
};

void TestRecordGrid::cellsComeFromTheDataSet_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("text") << 0 << 0 << "A1";
    QTest::newRow("integer") << 1 << 1 << "2";
    QTest::newRow("float with 0.00") << 0 << 2 << "12.50";
    QTest::newRow("null float") << 1 << 2 << "";
    QTest::newRow("null integer") << 3 << 1 << "";
    QTest::newRow("rounded to two") << 4 << 2 << "1.23";
    QTest::newRow("half") << 2 << 2 << "0.13";
}

void TestRecordGrid::cellsComeFromTheDataSet()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    GridFixture fx;
    QCOMPARE(fx.grid.model()->rowCount(), 5);
    QCOMPARE(fx.grid.model()->columnCount(), 3);
    QCOMPARE(fx.cell(row, column), text);
    QCOMPARE(fx.grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Amount"));
    // Without a format a column shows the field's own display text.
    fx.amount->setDisplayFormat(QString());
    QCOMPARE(fx.cell(0, 2), fx.q->displayTextAt(0, 2));
}

void TestRecordGrid::alternateRowsAndAlignment()
{
    GridFixture fx;
    const QColor odd = fx.grid.model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>();
    const QColor even = fx.grid.model()->index(2, 0).data(Qt::BackgroundRole).value<QColor>();
    QCOMPARE(odd, QColor(235, 245, 245));
    QCOMPARE(colorFromBgr(16119275), QColor(235, 245, 245));
    QCOMPARE(even, fx.grid.cellColor());
    QVERIFY(even != odd);
    auto align = [&](int col) {
        return Qt::Alignment(fx.grid.model()->index(0, col).data(Qt::TextAlignmentRole).toInt())
            & Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(align(0), Qt::AlignLeft);
    QCOMPARE(align(1), Qt::AlignRight);
    QCOMPARE(align(2), Qt::AlignRight);
    QCOMPARE(fx.grid.model()->index(0, 0).flags() & Qt::ItemIsEditable, Qt::ItemFlags());
}

void TestRecordGrid::currentRowFollowsBothWays()
{
    FakeDialogService dialogs;
    GridFixture fx;
    fx.grid.resize(400, 300);
    fx.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.grid));
    QCOMPARE(fx.viewRow(), 0);

    fx.q->setRecNo(3);
    QCOMPARE(fx.viewRow(), 3);
    QCOMPARE(static_cast<TRowIndicator *>(fx.grid.view()->verticalHeader())->currentRow(), 3);

    // A click on a row moves the data set.
    QTableView *view = fx.grid.view();
    const QRect rowRect = view->visualRect(fx.grid.model()->index(1, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowRect.center());
    QCOMPARE(fx.q->recNo(), 1);
    QCOMPARE(fx.viewRow(), 1);
    // The whole row is selected.
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 3);

    // Deleting and appending move the selection with the data set.
    fx.q->deleteRecord();
    QCOMPARE(fx.grid.model()->rowCount(), 4);
    QCOMPARE(fx.viewRow(), fx.q->recNo());
    fx.q->append();
    fx.q->fieldByName("code").setAsString("F6");
    fx.q->post();
    QCOMPARE(fx.grid.model()->rowCount(), 5);
    QCOMPARE(fx.viewRow(), 4);
    QCOMPARE(fx.cell(4, 0), QStringLiteral("F6"));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestRecordGrid::disabledControlsSuspendTheRows()
{
    GridFixture fx;
    TRecordGridModel *model = fx.grid.model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);

    fx.q->disableControls();
    fx.q->setRecNo(0);
    fx.q->deleteRecord();
    fx.q->deleteRecord();
    fx.q->edit();
    fx.q->fieldByName("code").setAsString("ZZ");
    fx.q->post();
    fx.q->setRecNo(2);
    // Nothing announced, and the rows the view knows of still read safely.
    QCOMPARE(resets.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(fx.cell(4, 0), QString());

    fx.q->enableControls();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(fx.cell(0, 0), QStringLiteral("ZZ"));
    QCOMPARE(fx.viewRow(), 2);
}

void TestRecordGrid::switchingTheDataSet()
{
    GridFixture fx;
    fx.grid.setFooterRowCount(1);
    fx.copies->footer()->setValueType(fvtSum);
    fx.grid.sumList()->setActive(true);
    QCOMPARE(fx.grid.footerValueText(0, fx.copies), QStringLiteral("11"));

    auto other = fx.db.query("select * from t where kind=1");
    other->setRecNo(1);
    fx.grid.setDataSet(other.get());
    QCOMPARE(fx.grid.model()->rowCount(), 2);
    QCOMPARE(fx.cell(0, 0), QStringLiteral("C3"));
    QCOMPARE(fx.grid.footerValueText(0, fx.copies), QStringLiteral("3"));
    QCOMPARE(fx.grid.sumList()->dataSet(), other.get());
    QCOMPARE(fx.viewRow(), other->recNo());

    // The old data set no longer drives the rows, the selection or the totals.
    const int walks = fx.grid.sumList()->walkCount();
    fx.q->setRecNo(0);
    fx.q->deleteRecord();
    fx.q->setFilter("kind=0");
    fx.q->setFiltered(true);
    QCOMPARE(fx.grid.model()->rowCount(), 2);
    QCOMPARE(fx.grid.sumList()->walkCount(), walks);
    QCOMPARE(fx.grid.footerValueText(0, fx.copies), QStringLiteral("3"));

    // And back.
    fx.grid.setDataSet(fx.q.get());
    QCOMPARE(fx.grid.model()->rowCount(), fx.q->recordCount());
    QCOMPARE(fx.grid.footerValueText(0, fx.copies), QStringLiteral("7"));
}

void TestRecordGrid::columnWidthsSurviveAReset()
{
    GridFixture fx;
    fx.copies->setVisible(false);
    QCOMPARE(fx.grid.view()->columnWidth(0), 66);
    QVERIFY(fx.grid.view()->isColumnHidden(1));
    fx.grid.view()->horizontalHeader()->resizeSection(2, 90); // as the user drags it
    QCOMPARE(fx.amount->width(), 90);
    fx.q->close();
    fx.q->open();
    QCOMPARE(fx.grid.view()->columnWidth(0), 66);
    QCOMPARE(fx.grid.view()->columnWidth(2), 90);
    QVERIFY(fx.grid.view()->isColumnHidden(1));
    QCOMPARE(fx.grid.visibleColumns(), (QList<TGridColumn *> { fx.code, fx.amount }));
}

void TestRecordGrid::onlyShownRowsAreRead()
{
    GridTestDb db({ Create,
        "insert into t with recursive n(i) as (select 1 union all select i + 1 from n "
        "where i < 100000) select 'R' || i, i % 10, i * 0.5, i % 3 from n" });
    auto q = db.query("select * from t");
    QCOMPARE(q->recordCount(), 100000);
    TRecordGrid grid;
    grid.setDataSet(q.get());
    grid.addColumn("code", "Code", 80);
    grid.addColumn("amount", "Amount", 80)->setDisplayFormat("0.00");
    grid.resize(300, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCoreApplication::processEvents();
    const int visibleRows = grid.view()->viewport()->height() / grid.view()->rowHeight(0) + 2;

    grid.model()->resetCellReads();
    grid.view()->scrollToBottom();
    grid.view()->viewport()->repaint();
    QVERIFY(grid.model()->cellReads() > 0);
    QVERIFY2(grid.model()->cellReads() <= qint64(visibleRows) * 2 * 3,
        qPrintable(QString::number(grid.model()->cellReads())));

    // Moving the data set to its last record scrolls there and reads little more.
    grid.model()->resetCellReads();
    q->last();
    grid.view()->viewport()->repaint();
    QCOMPARE(grid.view()->selectionModel()->currentIndex().row(), 99999);
    QVERIFY(grid.model()->cellReads() <= qint64(visibleRows) * 2 * 3);
}

void TestRecordGrid::footerPaintedUnderItsColumn()
{
    GridFixture fx;
    const QColor paleYellow = colorFromBgr(12121084);
    QCOMPARE(paleYellow, QColor(252, 243, 184));
    fx.grid.setFooterRowCount(1);
    fx.grid.setFooterColor(paleYellow);
    fx.code->footer()->setValueType(fvtStaticText);
    fx.code->footer()->setValue("Total");
    fx.amount->footer()->setValueType(fvtSum);
    fx.amount->footer()->setColor(Qt::blue); // a footer's own colour wins
    fx.grid.sumList()->setActive(true);
    fx.grid.addColumn("kind", "Kind", 400); // wide enough to scroll sideways
    fx.grid.resize(300, 200);
    fx.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.grid));
    QCoreApplication::processEvents();

    TGridFooter *footer = fx.grid.footerWidget();
    QVERIFY(footer->isVisible());
    const QRect viewRect = fx.grid.view()->geometry();
    QVERIFY(footer->geometry().top() >= viewRect.bottom()); // under the rows

    auto pixelAt = [&](int col, int dx) {
        const QImage image = fx.grid.grab().toImage();
        const QRect cell = footer->cellRect(0, col).translated(footer->pos());
        return QColor(image.pixel(cell.left() + dx, cell.bottom() - 2));
    };
    // Near the right edge of the copies cell, away from any text.
    const QRect copiesCell = footer->cellRect(0, 1);
    QCOMPARE(pixelAt(1, copiesCell.width() - 4), paleYellow);
    QCOMPARE(pixelAt(2, 3), QColor(Qt::blue));
    // The cells line up with the column headers.
    const QHeaderView *header = fx.grid.view()->horizontalHeader();
    QCOMPARE(footer->mapTo(&fx.grid, copiesCell.topLeft()).x(),
        header->mapTo(&fx.grid, QPoint(header->sectionViewportPosition(1), 0)).x()
            + header->viewport()->x());

    // Scrolling sideways takes the footer cells along.
    QScrollBar *bar = fx.grid.view()->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    const int before = footer->cellRect(0, 1).left();
    bar->setValue(40);
    QCOMPARE(footer->cellRect(0, 1).left(), before - 40);

    // No footer rows: no footer.
    fx.grid.setFooterRowCount(0);
    QVERIFY(!footer->isVisible());
}

void TestRecordGrid::cellParamsForTheCurrentRecord()
{
    GridFixture fx;
    QFont bold = fx.grid.font();
    bold.setBold(true);
    fx.amount->setFont(bold);
    fx.amount->setColor(Qt::yellow);
    fx.q->setRecNo(4);
    TCellParams params;
    fx.amount->fillCellParams(params);
    QCOMPARE(params.text, QStringLiteral("1.23"));
    QCOMPARE(params.alignment, Qt::AlignRight);
    QCOMPARE(params.background, QColor(Qt::yellow));
    QVERIFY(params.font.bold());
    QCOMPARE(params.imageIndex, -1);
    QCOMPARE(params.row, -1);
    fx.code->fillCellParams(params);
    QCOMPARE(params.text, QStringLiteral("E5"));
    QCOMPARE(params.alignment, Qt::AlignLeft);
    QCOMPARE(fx.code->displayText(), QStringLiteral("E5"));
    fx.q->close();
    QCOMPARE(fx.code->displayText(), QString());
}

void TestRecordGrid::positionAndSidewaysScrollKept()
{
    GridFixture fx;
    fx.grid.addColumn("kind", "Kind", 500);
    fx.grid.resize(250, 120);
    fx.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.grid));
    QScrollBar *sideways = fx.grid.view()->horizontalScrollBar();
    sideways->setValue(60);
    fx.q->setRecNo(4);
    QCOMPARE(sideways->value(), 60);
    QCOMPARE(fx.viewRow(), 4);

    const TRecordGrid::Position saved = fx.grid.savePosition();
    fx.q->first();
    sideways->setValue(0);
    fx.grid.restorePosition(saved);
    QCOMPARE(fx.q->recNo(), 4);
    QCOMPARE(fx.viewRow(), 4);
    QCOMPARE(sideways->value(), 60);
}

void TestRecordGrid::destroyedDataSetLeavesAnEmptyGrid()
{
    GridFixture fx;
    fx.grid.setFooterRowCount(1);
    fx.copies->footer()->setValueType(fvtSum);
    fx.grid.sumList()->setActive(true);
    fx.grid.resize(300, 200);
    fx.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.grid));
    fx.q.reset();
    QCOMPARE(fx.grid.dataSet(), nullptr);
    QCOMPARE(fx.grid.model()->rowCount(), 0);
    QCOMPARE(fx.grid.footerValueText(0, fx.copies), QStringLiteral("0"));
    QVERIFY(!fx.grid.grab().isNull());
}

// The view, the model, the footer and the scroll bar go in the grid's own destructor,
// while its columns still exist: nothing of theirs can reach a grid that is gone.
void TestRecordGrid::partsGoWhileTheGridIsWhole()
{
    auto fx = std::make_unique<GridFixture>();
    fx->grid.addColumn("kind", "Kind", 500);
    fx->grid.setFooterRowCount(1);
    fx->copies->footer()->setValueType(fvtSum);
    fx->grid.sumList()->setActive(true);
    fx->grid.resize(250, 120);
    fx->grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx->grid));
    QVERIFY(fx->grid.view()->horizontalScrollBar()->maximum() > 0);

    TRecordGrid *grid = &fx->grid;
    QStringList whole; // the parts that went while the grid was still a whole grid
    auto watch = [&](QObject *part, const char *name) {
        connect(part, &QObject::destroyed, [&whole, grid, name] {
            if (qobject_cast<TRecordGrid *>(grid) && grid->columnCount() == 4)
                whole << QString::fromLatin1(name);
        });
    };
    watch(grid->view(), "view");
    watch(grid->model(), "model");
    watch(grid->footerWidget(), "footer");
    fx.reset();
    QCOMPARE(whole, (QStringList{"view", "model", "footer"}));
}

void TestRecordGrid::columnsForAllFields()
{
    GridFixture fx;
    fx.amount->footer()->setValueType(fvtSum);
    fx.grid.sumList()->setActive(true);
    QCOMPARE(fx.grid.sumList()->sumCollection()->count(), 1);
    fx.grid.addColumnsForAllFields();
    QCOMPARE(fx.grid.columnCount(), 4);
    QCOMPARE(fx.grid.model()->columnCount(), 4);
    QCOMPARE(fx.grid.column(3)->title(), QStringLiteral("kind"));
    QCOMPARE(fx.grid.columnByField("KIND"), fx.grid.column(3));
    QCOMPARE(fx.cell(2, 3), QStringLiteral("1"));
    // The old columns' totals went with them.
    QCOMPARE(fx.grid.sumList()->sumCollection()->count(), 0);
}

QTEST_MAIN(TestRecordGrid)
#include "tst_recordgrid.moc"
