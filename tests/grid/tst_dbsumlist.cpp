#include "GridTestDb.h"
#include "app/data/DatabaseError.h"

#include "grid/DBSumList.h"
#include "grid/FixedPoint.h"
#include "grid/RecordGrid.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace {

const QString Create
    = QStringLiteral("create table t (code TEXT, copies INTEGER, amount REAL, kind INTEGER)");

QString insertRow(const QString &code, const QString &copies, const QString &amount, int kind)
{
    return QStringLiteral("insert into t values ('%1', %2, %3, %4)")
        .arg(code, copies, amount)
        .arg(kind);
}

// A sum list over t with a sum of copies and of amount.
struct SumFixture
{
    std::unique_ptr<GridTestDb> db;
    std::unique_ptr<Query> q;
    TDBSumListProducer list;

    explicit SumFixture(const QStringList &rows)
    {
        db = std::make_unique<GridTestDb>(QStringList { Create } + rows);
        q = db->query(QStringLiteral("select * from t"));
        list.setDataSet(q.get());
        TDBSumCollection *items = list.sumCollection();
        items->beginUpdate();
        TDBSum *copies = items->add();
        copies->setFieldName(QStringLiteral("copies"));
        TDBSum *amount = items->add();
        amount->setFieldName(QStringLiteral("amount"));
        items->endUpdate();
        list.setActive(true);
    }
    qint64 copies() const { return list.runningTotal(goSum, QStringLiteral("COPIES")); }
    qint64 amount() const { return list.runningTotal(goSum, QStringLiteral("amount")); }
};

// The totals a plain walk over the rows the data set shows gives (values with at
// most four decimals, so the order of additions does not matter).
qint64 plainSum(const Query &q, const QString &field)
{
    const int f = q.fieldIndex(field);
    qint64 total = 0;
    for (int row = 0; row < q.recordCount(); ++row) {
        const QVariant v = q.valueAt(row, f);
        if (v.isValid() && !v.isNull())
            total += std::llround(v.toDouble() * 10000);
    }
    return total;
}

} // namespace

class TestDBSumList : public QObject
{
    Q_OBJECT
private slots:
    void totalsFollowTheFilter();
    void additionsRoundToFourDecimals_data();
    void additionsRoundToFourDecimals();
    void stepUpdatesNeverWalk_data();
    void stepUpdatesNeverWalk();
    void settingActiveTwiceDoesNothing();
    void detachingKeepsEarlierListeners();
    void closeClearsAndDestroyedDataSetIsForgotten();
    void averageAndCount();
    void randomOperationsMatchRecount();
    void footerTexts_data();
    void footerTexts();
    void footersCreateAndRemoveSumItems();
    void failedDeleteKeepsTheRecordCounted();
    void textInANumberColumnIsSkipped();
    void nonFiniteAmountIsSkipped_data();
    void nonFiniteAmountIsSkipped();
};

void TestDBSumList::textInANumberColumnIsSkipped()
{
    SumFixture fx({ insertRow("a", "1", "1.5", 0), insertRow("b", "2", "'abc'", 0) });
    QCOMPARE(fx.amount(), qint64(15000));
    QCOMPARE(fx.copies(), qint64(30000));
    fx.q->setRecNo(1);
    fx.q->edit();
    fx.q->fieldByName(QStringLiteral("copies")).setAsInteger(5);
    fx.q->post();
    QCOMPARE(fx.amount(), qint64(15000));
    QCOMPARE(fx.copies(), qint64(60000));
    fx.q->deleteRecord();
    QCOMPARE(fx.amount(), qint64(15000));
    QCOMPARE(fx.copies(), qint64(10000));
}

void TestDBSumList::nonFiniteAmountIsSkipped_data()
{
    // Another program can store infinities in a REAL column (SQLite turns NaN into null).
    QTest::addColumn<QString>("amount");
    QTest::newRow("infinity") << "9e999";
    QTest::newRow("minus infinity") << "-9e999";
    QTest::newRow("null") << "null";
}

void TestDBSumList::nonFiniteAmountIsSkipped()
{
    QFETCH(QString, amount);
    SumFixture fx({ insertRow("a", "1", "1.5", 0), insertRow("b", "2", amount, 0),
                    insertRow("c", "3", "2.25", 0) });
    QCOMPARE(fx.amount(), qint64(37500));
    QCOMPARE(fx.copies(), qint64(60000));
    // Posting and deleting the row keep the total of the finite values.
    fx.q->setRecNo(1);
    fx.q->edit();
    fx.q->fieldByName(QStringLiteral("copies")).setAsInteger(4);
    fx.q->post();
    QCOMPARE(fx.amount(), qint64(37500));
    QCOMPARE(fx.copies(), qint64(80000));
    fx.q->deleteRecord();
    QCOMPARE(fx.amount(), qint64(37500));
    QCOMPARE(fx.copies(), qint64(40000));
}

void TestDBSumList::failedDeleteKeepsTheRecordCounted()
{
    SumFixture fx({ insertRow("a", "1", "1.5", 0), insertRow("b", "2", "2.25", 0) });
    fx.db->connection()->execute(QStringLiteral(
        "create trigger keep before delete on t begin select raise(abort, 'kept'); end"));
    fx.q->setRecNo(1);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, fx.q->deleteRecord());
    QCOMPARE(fx.q->recordCount(), 2);
    QCOMPARE(fx.copies(), plainSum(*fx.q, QStringLiteral("copies")));
    QCOMPARE(fx.amount(), plainSum(*fx.q, QStringLiteral("amount")));
    QCOMPARE(fx.copies(), qint64(30000));
}

void TestDBSumList::totalsFollowTheFilter()
{
    SumFixture fx({ insertRow("a", "1", "1.5", 0), insertRow("b", "2", "2.25", 1),
        insertRow("c", "3", "3", 0), insertRow("d", "4", "10", 1) });
    QCOMPARE(fx.copies(), qint64(100000));
    QCOMPARE(fx.amount(), qint64(167500));

    const int walks = fx.list.walkCount();
    fx.q->setFilter(QStringLiteral("kind=0"));
    fx.q->setFiltered(true);
    QCOMPARE(fx.copies(), qint64(40000));
    QCOMPARE(fx.amount(), qint64(45000));
    QCOMPARE(fx.q->recNo(), 0);

    fx.q->setFilter(QStringLiteral("kind=1"));
    QCOMPARE(fx.copies(), qint64(60000));
    QCOMPARE(fx.amount(), qint64(122500));
    QCOMPARE(fx.list.recordedFilterText(), QStringLiteral("kind=1"));

    fx.q->setFilter(QStringLiteral("kind=0"));
    QCOMPARE(fx.copies(), qint64(40000));

    fx.q->setFiltered(false);
    QCOMPARE(fx.copies(), qint64(100000));
    QVERIFY(!fx.list.recordedFilterOn());
    // One walk per change of filter, no more.
    QCOMPARE(fx.list.walkCount() - walks, 4);
    // Moving about without a filter change recounts nothing.
    fx.q->setRecNo(2);
    fx.q->last();
    QCOMPARE(fx.list.walkCount() - walks, 4);
}

void TestDBSumList::additionsRoundToFourDecimals_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<qint64>("total");
    QTest::newRow("eighths") << QStringList { "0.125", "0.125" } << qint64(2500);
    QTest::newRow("five decimals") << QStringList { "1.23456" } << qint64(12346);
    QTest::newRow("null skipped") << QStringList { "null", "2.5", "null" } << qint64(25000);
    QTest::newRow("tenths") << QStringList { "0.1", "0.1", "0.1" } << qint64(3000);
    QTest::newRow("empty") << QStringList {} << qint64(0);
}

void TestDBSumList::additionsRoundToFourDecimals()
{
    QFETCH(QStringList, amounts);
    QFETCH(qint64, total);
    QStringList rows;
    for (const QString &a : amounts)
        rows << insertRow("x", "1", a, 0);
    SumFixture fx(rows);
    QCOMPARE(fx.amount(), total);
}

enum Operation {
    EditPost,
    EditToNullPost,
    AppendPost,
    AppendNullPost,
    Delete,
    CancelEdit,
    CancelInsert,
    DeleteWhileEditing
};

void TestDBSumList::stepUpdatesNeverWalk_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<qint64>("copies");
    QTest::addColumn<qint64>("amount");
    // Start: copies 1 + 2 + 3, amounts 1.5 + 2.25 + null; the current row is the second.
    QTest::newRow("edit and post") << int(EditPost) << qint64(90000) << qint64(207500);
    QTest::newRow("edit to null and post") << int(EditToNullPost) << qint64(40000) << qint64(15000);
    QTest::newRow("append and post") << int(AppendPost) << qint64(110000) << qint64(87500);
    QTest::newRow("append null and post") << int(AppendNullPost) << qint64(60000) << qint64(37500);
    QTest::newRow("delete") << int(Delete) << qint64(40000) << qint64(15000);
    QTest::newRow("cancel edit") << int(CancelEdit) << qint64(60000) << qint64(37500);
    QTest::newRow("cancel insert") << int(CancelInsert) << qint64(60000) << qint64(37500);
    QTest::newRow("delete while editing")
        << int(DeleteWhileEditing) << qint64(40000) << qint64(15000);
}

void TestDBSumList::stepUpdatesNeverWalk()
{
    QFETCH(int, operation);
    QFETCH(qint64, copies);
    QFETCH(qint64, amount);
    SumFixture fx({ insertRow("a", "1", "1.5", 0), insertRow("b", "2", "2.25", 0),
        insertRow("c", "3", "null", 0) });
    QCOMPARE(fx.amount(), qint64(37500));
    fx.q->setRecNo(1);
    const int walks = fx.list.walkCount();
    QSignalSpy changed(&fx.list, &TDBSumListProducer::SumListChanged);
    Query &q = *fx.q;
    switch (Operation(operation)) {
    case EditPost:
        q.edit();
        q.fieldByName("copies").setAsInteger(5);
        q.fieldByName("amount").setAsFloat(19.25);
        q.post();
        break;
    case EditToNullPost:
        q.edit();
        q.fieldByName("copies").clear();
        q.fieldByName("amount").clear();
        q.post();
        break;
    case AppendPost:
        q.append();
        q.fieldByName("copies").setAsInteger(5);
        q.fieldByName("amount").setAsFloat(5);
        q.post();
        break;
    case AppendNullPost:
        q.append();
        q.fieldByName("code").setAsString("n");
        q.post();
        break;
    case Delete:
        q.deleteRecord();
        break;
    case CancelEdit:
        q.edit();
        q.fieldByName("copies").setAsInteger(50);
        q.cancel();
        break;
    case CancelInsert:
        q.append();
        q.fieldByName("copies").setAsInteger(50);
        q.cancel();
        break;
    case DeleteWhileEditing:
        q.edit();
        q.fieldByName("amount").setAsFloat(100);
        q.deleteRecord();
        break;
    }
    QCOMPARE(fx.copies(), copies);
    QCOMPARE(fx.amount(), amount);
    QCOMPARE(fx.list.walkCount(), walks);
    QCOMPARE(fx.copies(), plainSum(q, "copies"));
    QCOMPARE(fx.amount(), plainSum(q, "amount"));
    if (operation == CancelEdit || operation == CancelInsert)
        QCOMPARE(changed.count(), 0);
    else
        QVERIFY(changed.count() > 0);
}

void TestDBSumList::settingActiveTwiceDoesNothing()
{
    SumFixture fx({ insertRow("a", "1", "1", 0) });
    QSignalSpy changed(&fx.list, &TDBSumListProducer::SumListChanged);
    QSignalSpy recalc(&fx.list, &TDBSumListProducer::RecalcAll);
    const int walks = fx.list.walkCount();
    fx.q->setRecNo(0);
    fx.list.setActive(true);
    QCOMPARE(fx.list.walkCount(), walks);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(recalc.count(), 0);

    fx.list.setActive(false);
    QCOMPARE(fx.copies(), qint64(0));
    QCOMPARE(changed.count(), 1);
    fx.list.setActive(false);
    QCOMPARE(changed.count(), 1);
    fx.list.setActive(true);
    QCOMPARE(fx.copies(), qint64(10000));
    QCOMPARE(fx.list.walkCount(), walks + 1);
}

void TestDBSumList::detachingKeepsEarlierListeners()
{
    GridTestDb db({ Create, insertRow("a", "1", "1", 0), insertRow("b", "2", "2", 1) });
    auto q = db.query("select * from t");
    int earlierScrolls = 0;
    QList<QString> order;
    QObject::connect(q.get(), &Query::afterOpen, [&] { order << "earlier"; });
    QObject::connect(q.get(), &Query::afterScroll, [&] { ++earlierScrolls; });
    TDBSumListProducer list;
    list.setDataSet(q.get());
    list.sumCollection()->add()->setFieldName("copies");
    list.setActive(true);
    connect(&list, &TDBSumListProducer::RecalcAll, [&] { order << "list"; });

    q->close();
    q->open();
    QCOMPARE(order, (QList<QString> { "earlier", "list" }));
    QCOMPARE(list.runningTotal(goSum, "copies"), qint64(30000));

    list.setActive(false);
    const int walks = list.walkCount();
    const int scrolls = earlierScrolls;
    q->setFilter("kind=1");
    q->setFiltered(true);
    q->close();
    q->open();
    QCOMPARE(list.walkCount(), walks); // ours are gone
    QVERIFY(earlierScrolls > scrolls); // theirs stay
    QCOMPARE(order.last(), QStringLiteral("earlier"));
    QCOMPARE(list.runningTotal(goSum, "copies"), qint64(0));
}

void TestDBSumList::closeClearsAndDestroyedDataSetIsForgotten()
{
    SumFixture fx({ insertRow("a", "4", "1", 0) });
    QCOMPARE(fx.copies(), qint64(40000));
    fx.q->close();
    QCOMPARE(fx.copies(), qint64(0));
    QVERIFY(!fx.list.recounting());
    fx.q->open();
    QCOMPARE(fx.copies(), qint64(40000));
    fx.q.reset();
    QCOMPARE(fx.list.dataSet(), nullptr);
    QCOMPARE(fx.copies(), qint64(0));
    QVERIFY(!fx.list.attached());
}

void TestDBSumList::averageAndCount()
{
    SumFixture fx({ insertRow("a", "1", "1", 0), insertRow("b", "2", "null", 0),
        insertRow("c", "4", "2", 0) });
    TDBSumCollection *items = fx.list.sumCollection();
    TDBSum *avg = items->add();
    avg->setGroupOperation(goAvg);
    avg->setFieldName("amount");
    TDBSum *count = items->add();
    count->setGroupOperation(goCount);
    TDBSum *countAmount = items->add();
    countAmount->setGroupOperation(goCount);
    countAmount->setFieldName("amount");
    QCOMPARE(avg->runningTotal(), qint64(15000)); // nulls are not averaged
    QCOMPARE(count->runningTotal(), qint64(30000));
    QCOMPARE(countAmount->runningTotal(), qint64(20000));

    const int walks = fx.list.walkCount();
    fx.q->setRecNo(1);
    fx.q->edit();
    fx.q->fieldByName("amount").setAsFloat(6);
    fx.q->post();
    QCOMPARE(avg->runningTotal(), qint64(30000));
    QCOMPARE(count->runningTotal(), qint64(30000));
    QCOMPARE(countAmount->runningTotal(), qint64(30000));
    fx.q->deleteRecord();
    QCOMPARE(avg->runningTotal(), qint64(15000));
    QCOMPARE(count->runningTotal(), qint64(20000));
    QCOMPARE(countAmount->runningTotal(), qint64(20000));
    QCOMPARE(fx.list.walkCount(), walks);
}

void TestDBSumList::randomOperationsMatchRecount()
{
    QStringList rows;
    for (int i = 0; i < 20; ++i)
        rows << insertRow(QString::number(i), QString::number(i % 5),
            i % 7 == 0 ? QStringLiteral("null") : QString::number(i * 1.25), i % 3);
    SumFixture fx(rows);
    Query &q = *fx.q;
    QRandomGenerator rng(20261210);
    int stepOps = 0;
    for (int step = 0; step < 400; ++step) {
        const int op = rng.bounded(10);
        const int walksBefore = fx.list.walkCount();
        if (op < 3) {
            q.append();
            q.fieldByName("copies").setAsInteger(rng.bounded(10));
            if (rng.bounded(4) != 0)
                q.fieldByName("amount").setAsFloat(rng.bounded(100000) / 10000.0);
            q.fieldByName("kind").setAsInteger(rng.bounded(3));
            q.post();
            ++stepOps;
        } else if (op < 6 && q.recordCount() > 0) {
            q.setRecNo(rng.bounded(q.recordCount()));
            q.edit();
            if (rng.bounded(5) == 0)
                q.fieldByName("amount").clear();
            else
                q.fieldByName("amount").setAsFloat(rng.bounded(100000) / 10000.0);
            q.fieldByName("copies").setAsInteger(rng.bounded(10));
            if (rng.bounded(4) == 0)
                q.cancel();
            else
                q.post();
            ++stepOps;
        } else if (op < 8 && q.recordCount() > 0) {
            q.setRecNo(rng.bounded(q.recordCount()));
            q.deleteRecord();
            ++stepOps;
        } else if (op == 8) {
            q.setFilter(QStringLiteral("kind=%1").arg(rng.bounded(3)));
            q.setFiltered(true);
        } else {
            q.setFiltered(false);
        }
        if (op < 8)
            QCOMPARE(fx.list.walkCount(), walksBefore);
        QCOMPARE(fx.copies(), plainSum(q, "copies"));
        QCOMPARE(fx.amount(), plainSum(q, "amount"));
    }
    QVERIFY(stepOps > 200);
}

void TestDBSumList::footerTexts_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("copiesText");
    QTest::addColumn<QString>("amountText");
    QTest::addColumn<QString>("firstCell");
    QTest::newRow("12.5") << QStringList { insertRow("a", "3", "10", 0),
        insertRow("b", "4", "2.5", 0) }
                          << "7"
                          << "12.5"
                          << "10.00";
    QTest::newRow("empty set") << QStringList {} << "0"
                               << "0"
                               << "";
    QTest::newRow("four decimals")
        << QStringList { insertRow("a", "1", "0.125", 0), insertRow("b", "1", "0.125", 0) } << "2"
        << "0.25"
        << "0.13";
}

void TestDBSumList::footerTexts()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, copiesText);
    QFETCH(QString, amountText);
    QFETCH(QString, firstCell);
    GridTestDb db(QStringList { Create } + rows);
    auto q = db.query("select * from t");
    TRecordGrid grid;
    grid.setDataSet(q.get());
    TGridColumn *code = grid.addColumn("code", "Code", 66);
    TGridColumn *copies = grid.addColumn("copies", "Copies", 50);
    TGridColumn *amount = grid.addColumn("amount", "Amount", 60);
    amount->setDisplayFormat("0.00");
    grid.setFooterRowCount(1);
    code->footer()->setValueType(fvtStaticText);
    code->footer()->setValue(QStringLiteral("合计"));
    copies->footer()->setValueType(fvtSum);
    amount->footer()->setValueType(fvtSum);
    grid.sumList()->setActive(true);

    QCOMPARE(grid.footerValueText(0, code), QStringLiteral("合计"));
    QCOMPARE(grid.footerValueText(0, copies), copiesText);
    QCOMPARE(grid.footerValueText(0, amount), amountText);
    QCOMPARE(amount->displayTextAt(0), firstCell);

    // A footer format of its own wins over the general format.
    amount->footer()->setDisplayFormat("0.000");
    QCOMPARE(grid.footerValueText(0, amount),
        QString::number(
            FixedPoint::toDouble(grid.sumList()->runningTotal(goSum, "amount")), 'f', 3));
    // No data set, or a closed one: "0".
    q->close();
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("0"));
    grid.setDataSet(nullptr);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("0"));
}

void TestDBSumList::footersCreateAndRemoveSumItems()
{
    GridTestDb db({ Create, insertRow("a", "2", "1.5", 0), insertRow("b", "3", "1", 0) });
    auto q = db.query("select * from t");
    TRecordGrid grid;
    grid.setDataSet(q.get());
    grid.sumList()->setActive(true);
    TGridColumn *copies = grid.addColumn("copies");
    TDBSumCollection *items = grid.sumList()->sumCollection();
    QCOMPARE(items->count(), 0);

    copies->footer()->setValueType(fvtSum);
    QCOMPARE(items->count(), 1);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("5"));
    copies->footer()->setFieldName("amount"); // sums another field
    QCOMPARE(items->count(), 1);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("2.5"));
    copies->footer()->setValueType(fvtAvg);
    QCOMPARE(items->item(0)->groupOperation(), goAvg);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("1.25"));
    copies->footer()->setValueType(fvtCount);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("2"));
    copies->footer()->setValueType(fvtStaticText);
    QCOMPARE(items->count(), 0);

    // A second footer row reads Footers[1]; the first row still reads Footers[0].
    grid.setFooterRowCount(2);
    TColumnFooter *row0 = copies->addFooter();
    TColumnFooter *row1 = copies->addFooter();
    row0->setValueType(fvtSum);
    row1->setValueType(fvtCount);
    QCOMPARE(copies->footerFor(1), row1);
    QCOMPARE(grid.footerValueText(0, copies), QStringLiteral("5"));
    QCOMPARE(grid.footerValueText(1, copies), QStringLiteral("2"));
    QCOMPARE(items->count(), 2);
    copies->clearFooters();
    QCOMPARE(items->count(), 0);
    QCOMPARE(copies->footerFor(1), copies->footer());
}

QTEST_MAIN(TestDBSumList)
#include "tst_dbsumlist.moc"
