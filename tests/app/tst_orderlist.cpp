#include "support/MainFixture.h"

#include "app/data/Query.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QtTest>

// The order list: page filter, "退订", "清空" and the footer totals.
class tst_OrderList : public QObject
{
    Q_OBJECT
private slots:
    void orderGridSetUp();
    void commandsAnswered_data();
    void commandsAnswered();
    void unsubscribeMovesToFollowingLine();
    void clearLeavesOtherPages();
    void failedSearchStillShowsThePagesLines_data();
    void failedSearchStillShowsThePagesLines();
    void totalsFollowPages();
    void deletionErrorKeepsEarlierDeletions();
};

namespace {
struct Totals {
    QString copies, amount;
};
Totals totals(TfMain &w)
{
    return {w.OrderGrid->footerValueText(0, w.OrderGrid->column(2)),
            w.OrderGrid->footerValueText(0, w.OrderGrid->column(4))};
}

void fill(TestDatabase &db)
{
    db.fillSample();
    db.addOrder(0, "1-1", 2, 960);
    db.addOrder(0, "2-1", 1, 12.5);
    db.addOrder(0, "80-1", 3, 360);
    db.addOrder(1, "Z-1", 1, 60);
    db.addOrder(2, "W-1", 4, 4800);
}
}

void tst_OrderList::orderGridSetUp()
{
    TestDatabase db;
    fill(db);
    MainFixture f(db);
    f.start();
    TRecordGrid *g = f.main->OrderGrid;
    QCOMPARE(g->columnCount(), 5);
    const QStringList fields = {"报刊代号", "报刊名称", "份数", "订期", "金额"};
    const int widths[] = {66, 250, 50, 130, 60};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(g->column(i)->fieldName(), fields[i]);
        QCOMPARE(g->column(i)->width(), widths[i]);
    }
    QCOMPARE(g->column(4)->displayFormat(), QStringLiteral("0.00"));
    QCOMPARE(g->footerRowCount(), 1);
    QCOMPARE(g->footerColor(), QColor(252, 243, 184));
    QVERIFY(g->sumList()->active());
    QCOMPARE(g->footerValueText(0, g->column(0)), QStringLiteral("合计"));
    QCOMPARE(g->footerValueText(0, g->column(1)), QString());
    // The second line's amount shows two decimals in its cell, the total does not.
    QCOMPARE(g->column(4)->displayTextAt(1), QStringLiteral("12.50"));
    QCOMPARE(totals(*f.main).copies, QStringLiteral("6"));
    QCOMPARE(totals(*f.main).amount, QStringLiteral("1332.5"));
}

void tst_OrderList::commandsAnswered_data()
{
    QTest::addColumn<bool>("clear");      // 清空, else 退订
    QTest::addColumn<bool>("emptyPage");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("linesLeftOnPage");

    QTest::newRow("unsubscribe, empty list: nothing asked") << false << true << int(IdOk) << 0 << 0;
    QTest::newRow("unsubscribe, cancel") << false << false << int(IdCancel) << 1 << 3;
    QTest::newRow("unsubscribe, ok") << false << false << int(IdOk) << 1 << 2;
    QTest::newRow("clear, empty list still asks") << true << true << int(IdOk) << 1 << 0;
    QTest::newRow("clear, cancel") << true << false << int(IdCancel) << 1 << 3;
    QTest::newRow("clear, ok") << true << false << int(IdOk) << 1 << 0;
}

void tst_OrderList::commandsAnswered()
{
    QFETCH(bool, clear);
    QFETCH(bool, emptyPage);
    QFETCH(int, answer);
    QFETCH(int, questions);
    QFETCH(int, linesLeftOnPage);

    TestDatabase db;
    db.fillSample();
    if (!emptyPage) {
        db.addOrder(0, "1-1", 2, 960);
        db.addOrder(0, "2-1", 1, 360);
        db.addOrder(0, "80-1", 3, 360);
    }
    db.addOrder(1, "Z-1", 1, 60);
    MainFixture f(db);
    f.start();
    f.dialogs.answers = {answer};
    (clear ? f.main->GlgBtn7 : f.main->GlgBtn2)->click();

    QCOMPARE(f.dialogs.messages.size(), questions);
    if (questions) {
        const auto &m = f.dialogs.messages[0];
        QCOMPARE(m.text, clear ? QStringLiteral("温馨提示：真的要清空订阅资料吗？")
                               : QStringLiteral("温馨提示：真的要删除此报刊吗？"));
        QCOMPARE(m.title, QStringLiteral("请回答"));
        QCOMPARE(m.flags, unsigned(MessageFlags::OkCancel | MessageFlags::IconQuestion
                                   | MessageFlags::DefButton2));
    }
    QCOMPARE(f.main->qOrder->recordCount(), linesLeftOnPage);
    QCOMPARE(db.count("tOrder where 报刊类型=0"), linesLeftOnPage);
    QCOMPARE(db.count("tOrder where 报刊类型=1"), 1);
}

void tst_OrderList::unsubscribeMovesToFollowingLine()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480);
    db.addOrder(0, "1-1", 1, 480);   // the same line twice: only one goes
    db.addOrder(0, "2-1", 1, 360);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    Query *q = w.qOrder;
    q->setRecNo(1);
    w.GlgBtn2->click();
    QCOMPARE(q->recordCount(), 2);
    QCOMPARE(q->recNo(), 1);
    QCOMPARE(q->fieldByName("报刊代号").asString(), QStringLiteral("2-1"));
    QCOMPARE(db.rows("select 报刊代号 from tOrder order by rowid"), QStringList({"1-1", "2-1"}));
    QCOMPARE(w.focusWidget(), w.EditN1);
    // The last line gone, the new last line is current.
    w.GlgBtn2->click();
    QCOMPARE(q->recNo(), 0);
    QCOMPARE(q->fieldByName("报刊代号").asString(), QStringLiteral("1-1"));
    QCOMPARE(totals(w).copies, QStringLiteral("1"));
    w.GlgBtn2->click();
    QCOMPARE(q->recordCount(), 0);
    QCOMPARE(totals(w).copies, QStringLiteral("0"));
    QCOMPARE(totals(w).amount, QStringLiteral("0"));
    // With the list empty, "修改" does nothing at all.
    const int asked = f.dialogs.messages.size();
    w.GlgBtn3->click();
    QCOMPARE(f.dialogs.modalCount, 0);
    QCOMPARE(f.dialogs.messages.size(), asked);
}

void tst_OrderList::clearLeavesOtherPages()
{
    TestDatabase db;
    fill(db);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.PageControl1->setCurrentIndex(1);
    w.GlgBtn7->click();
    QCOMPARE(w.qOrder->recordCount(), 0);
    QCOMPARE(db.count("tOrder"), 4);
    w.PageControl1->setCurrentIndex(0);
    QCOMPARE(w.qOrder->recordCount(), 3);
    QCOMPARE(totals(w).copies, QStringLiteral("6"));
}

void tst_OrderList::failedSearchStillShowsThePagesLines_data()
{
    QTest::addColumn<QString>("sql");     // run on the file before start-up
    QTest::addColumn<QString>("keyword"); // page 1's keyword
    QTest::addColumn<bool>("partial");
    QTest::newRow("table missing") << "drop table NOPOST" << "" << false;
    // Escaped, 30,000 '%' make a pattern longer than the engine accepts.
    QTest::newRow("pattern too complex") << "" << QString(30000, u'%') << true;
}

void tst_OrderList::failedSearchStillShowsThePagesLines()
{
    QFETCH(QString, sql);
    QFETCH(QString, keyword);
    QFETCH(bool, partial);
    TestDatabase db;
    fill(db);
    if (!sql.isEmpty())
        db.execute(sql);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.EditN2->setText(keyword);
    w.cMh1->setChecked(partial);
    const int before = f.dialogs.messages.size();
    w.PageControl1->setCurrentIndex(1);
    QCOMPARE(f.dialogs.messages.size(), before + 1); // the search's error
    QVERIFY(!w.qPostN->isActive());
    // The list and its totals are page 1's, whatever the search did.
    QCOMPARE(w.qOrder->recordCount(), 1);
    QCOMPARE(totals(w).copies, QStringLiteral("1"));
    w.GlgBtn7->click(); // "清空", answered OK
    QCOMPARE(db.rows("select 报刊代号 from tOrder order by rowid"),
             QStringList({"1-1", "2-1", "80-1", "W-1"}));
    w.PageControl1->setCurrentIndex(0);
    QCOMPARE(w.qOrder->recordCount(), 3);
}

void tst_OrderList::totalsFollowPages()
{
    TestDatabase db;
    fill(db);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    struct Expect {
        int page;
        const char *copies, *amount;
    };
    for (const Expect &e : {Expect{1, "1", "60"}, Expect{2, "4", "4800"}, Expect{0, "6", "1332.5"},
                            Expect{2, "4", "4800"}, Expect{1, "1", "60"}}) {
        w.PageControl1->setCurrentIndex(e.page);
        QCOMPARE(totals(w).copies, QString::fromLatin1(e.copies));
        QCOMPARE(totals(w).amount, QString::fromLatin1(e.amount));
        QCOMPARE(w.qOrder->recNo(), 0);
    }
}

void tst_OrderList::deletionErrorKeepsEarlierDeletions()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480);
    db.addOrder(0, "2-1", 99, 360);   // this one the database refuses to delete
    db.addOrder(0, "80-1", 3, 360);
    db.execute("create trigger keep before delete on tOrder when old.份数 = 99 "
               "begin select raise(abort, 'line is locked'); end");
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.GlgBtn7->click();
    QCOMPARE(f.dialogs.messages.size(), 2);   // the question, then the error
    QVERIFY(f.dialogs.messages[1].text.contains("line is locked"));
    QCOMPARE(db.rows("select 报刊代号 from tOrder order by rowid"), QStringList({"2-1", "80-1"}));
    // The list is usable again and shows what is stored.
    QVERIFY(!w.qOrder->controlsDisabled());
    QCOMPARE(w.qOrder->recordCount(), 2);
    QCOMPARE(totals(w).copies, QStringLiteral("102"));
}

QTEST_MAIN(tst_OrderList)
#include "tst_orderlist.moc"
