#include "support/MainFixture.h"

#include "app/data/Connection.h"
#include "tools/DbTool.h"

#include "app/data/Query.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

#include <QTabWidget>
#include <QTableView>
#include <QtTest>

// Subscribing, amending and the customer record.
class tst_Ordering : public QObject
{
    Q_OBJECT
private slots:
    void subscribe_data();
    void subscribe();
    void amountStoredExactly_data();
    void amountStoredExactly();
    void dialogKeepsItsTexts();
    void cancelWritesNothing();
    void sameTwiceGivesTwoLines();
    void emptyCatalogue();
    void amend();
    void failedPostLeavesListUsable();
    void customer_data();
    void customer();
    void customerSecondUseEditsTheRow();
    void customerCancelKeepsTexts();
};

namespace {
// Answers the order dialog: sets the entries that are given and presses "确定".
std::function<int(QDialog *)> confirmOrder(TfOrder *order, const QString &copies = QString(),
                                           const QString &first = QString(),
                                           const QString &last = QString())
{
    return [=](QDialog *d) {
        if (d != order)
            return int(IdCancel);
        if (!copies.isNull())
            order->EditN4->setText(copies);
        if (!first.isNull())
            order->EditN5->setText(first);
        if (!last.isNull())
            order->EditN6->setText(last);
        order->setResult(0);
        order->GlgBtn1->click();
        return order->result() == QDialog::Accepted ? int(IdOk) : int(IdCancel);
    };
}

QStringList orderLines(TestDatabase &db)
{
    return db.rows("select 报刊代号, 报刊名称, 份数, 报刊类型, 订期, 全年价, 金额, 月价 from tOrder order by rowid");
}
}

void tst_Ordering::subscribe_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("first");   // null: as preset
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("presetFirst");
    QTest::addColumn<QString>("line");

    QTest::newRow("march, preset april, 9 months")
        << QDate(2008, 3, 15) << 0 << "2" << QString() << "12" << "4"
        << "1-1|人民日报|2|0|2008.04.01-12.31|480|720|";
    QTest::newRow("october: next year, no preset")
        << QDate(2008, 10, 2) << 0 << "1" << QString() << "12" << "1"
        << "1-1|人民日报|1|0|2009.01.01-12.31|480|480|";
    QTest::newRow("august: preset september")
        << QDate(2008, 8, 20) << 0 << "1" << QString() << "12" << "9"
        << "1-1|人民日报|1|0|2008.09.01-12.31|480|160|";
    QTest::newRow("leap year, february and may")
        << QDate(2024, 1, 5) << 0 << "1" << "2" << "5" << "2"
        << "1-1|人民日报|1|0|2024.02.01-05.31|480|160|";
    QTest::newRow("february ends on 28")
        << QDate(2024, 1, 5) << 0 << "3" << "2" << "2" << "2"
        << "1-1|人民日报|3|0|2024.02.01-02.28|480|120|";
    QTest::newRow("first month 01 after september")
        << QDate(2008, 11, 1) << 0 << "2" << "01" << "12" << "1"
        << "1-1|人民日报|2|0|2009.01.01-12.31|480|960|";
    QTest::newRow("self-distributed full year")
        << QDate(2008, 10, 1) << 1 << "1" << "1" << "12" << "1"
        << "Z-1|自办周刊|1|1|2009.01.01-12.31|60|60|";
    QTest::newRow("foreign page")
        << QDate(2008, 10, 1) << 2 << "1" << "7" << "9" << "1"
        << "W-1|Time|1|2|2009.07.01-09.30|1200|300|";
}

void tst_Ordering::subscribe()
{
    QFETCH(QDate, today);
    QFETCH(int, page);
    QFETCH(QString, copies);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, presetFirst);
    QFETCH(QString, line);

    TestDatabase db;
    db.fillSample();
    db.addOrder(page, "X-9", 1, 10);
    MainFixture f(db, today);
    f.start();
    TfMain &w = *f.main;
    w.PageControl1->setCurrentIndex(page);
    QString shownFirst, shownPrice, shownMonthPrice;
    int shownType = -1;
    auto confirm = confirmOrder(f.order, copies, first, last);
    f.dialogs.onModal = [&](QDialog *d) {
        shownFirst = f.order->EditN5->text();
        shownPrice = f.order->EditN3->text();
        shownMonthPrice = f.order->EditN7->text();
        shownType = f.order->PublicationType;
        return confirm(d);
    };
    w.GlgBtn1->click();

    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(shownFirst, presetFirst);
    QCOMPARE(shownType, page);
    QCOMPARE(shownPrice, line.section('|', 5, 5));
    QVERIFY(!shownMonthPrice.isEmpty());
    const QStringList lines = orderLines(db);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1], line);
    // The new line shows in the page's list and the totals follow; the filter is on.
    QVERIFY(w.qOrder->isFiltered());
    QVERIFY(!w.qOrder->controlsDisabled());
    QCOMPARE(w.qOrder->recordCount(), 2);
    QCOMPARE(w.OrderGrid->footerValueText(0, w.OrderGrid->column(2)),
             QString::number(1 + line.section('|', 2, 2).toInt()));
    QCOMPARE(w.focusWidget(), w.pageKeyword(page));
}

void tst_Ordering::amountStoredExactly_data()
{
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<double>("amount");
    QTest::newRow("01 to 12") << "1" << "01" << "12" << 48.31999999999999;
    QTest::newRow("1 to 12") << "1" << "1" << "12" << 48.32;
    QTest::newRow("01 to 12, three copies") << "3" << "01" << "12" << 144.95999999999998;
    QTest::newRow("1 to 12, three copies") << "3" << "1" << "12" << 144.96;
}

void tst_Ordering::amountStoredExactly()
{
    QFETCH(QString, copies);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(double, amount);
    TestDatabase db;
    db.addCatalogue(0, "P-1", "价格刊", 48.32, 0);
    MainFixture f(db, QDate(2008, 10, 2));
    f.start();
    f.dialogs.onModal = confirmOrder(f.order, copies, first, last);
    f.main->GlgBtn1->click();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    auto connection = DbTool::open(db.path());
    Query q;
    q.setConnection(connection.get());
    q.setSql({QStringLiteral("select 金额 from tOrder")});
    q.open();
    QCOMPARE(q.recordCount(), 1);
    // Exactly, to the last bit.
    QCOMPARE(QString::number(q.field(0).asFloat(), 'g', 17), QString::number(amount, 'g', 17));
}

void tst_Ordering::dialogKeepsItsTexts()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db, QDate(2008, 10, 1));
    f.start();
    TfMain &w = *f.main;
    f.dialogs.onModal = confirmOrder(f.order, "3", "2", "7");
    w.GlgBtn1->click();
    // The next order starts from what the dialog held: copies 3, months 2 to 7.
    QStringList seen;
    f.dialogs.onModal = [&](QDialog *) {
        seen << f.order->EditN4->text() << f.order->EditN5->text() << f.order->EditN6->text();
        return int(IdCancel);
    };
    w.qPost->setRecNo(1);
    w.GlgBtn1->click();
    QCOMPARE(seen, QStringList({"3", "2", "7"}));
    QCOMPARE(f.order->EditN1->text(), QStringLiteral("2-1"));
}

void tst_Ordering::cancelWritesNothing()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480, "2008.04.01-12.31");
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    const QStringList before = orderLines(db);
    f.dialogs.onModal = [](QDialog *) { return int(IdCancel); };
    w.GlgBtn1->click();
    QCOMPARE(w.focusWidget(), w.EditN1);
    w.GlgBtn3->setFocus();
    w.GlgBtn3->click();
    QCOMPARE(w.focusWidget(), w.EditN1);
    QCOMPARE(f.dialogs.modalCount, 2);
    QCOMPARE(orderLines(db), before);
    QCOMPARE(w.qOrder->recordCount(), 1);
}

void tst_Ordering::sameTwiceGivesTwoLines()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db, QDate(2008, 10, 1));
    f.start();
    f.dialogs.onModal = confirmOrder(f.order, "1", "1", "12");
    f.main->GlgBtn1->click();
    f.main->GlgBtn1->click();
    const QStringList lines = orderLines(db);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], lines[1]);
    QCOMPARE(f.main->qOrder->recordCount(), 2);
    QCOMPARE(f.main->OrderGrid->footerValueText(0, f.main->OrderGrid->column(4)),
             QStringLiteral("960"));
}

void tst_Ordering::emptyCatalogue()
{
    TestDatabase db;
    MainFixture f(db);
    f.start();
    f.main->GlgBtn1->click();
    QCOMPARE(f.dialogs.modalCount, 0);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("温馨提示：没有报刊资料。"));
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("提示"));
    QCOMPARE(f.dialogs.messages[0].flags, unsigned(MessageFlags::Ok | MessageFlags::IconWarning));
    QCOMPARE(f.main->focusWidget(), f.main->EditN1);
}

void tst_Ordering::amend()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 2, 720, "2008.04.01-12.31", 480);
    db.addOrder(0, "2-1", 1, 360, "2008.01.01-12.31", 360);
    db.execute("update tOrder set 月价 = 50 where 报刊代号 = '2-1'");
    MainFixture f(db, QDate(2008, 10, 1));   // amending in October moves the year on
    f.start();
    TfMain &w = *f.main;
    QStringList shown;
    auto confirm = confirmOrder(f.order, "3");
    f.dialogs.onModal = [&](QDialog *d) {
        shown << f.order->EditN1->text() << f.order->EditN3->text() << f.order->EditN4->text()
              << f.order->EditN5->text() << f.order->EditN6->text();
        return confirm(d);
    };
    w.GlgBtn3->click();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(shown, QStringList({"1-1", "480", "2", "4", "12"}));
    QStringList lines = orderLines(db);
    QCOMPARE(lines[0], QStringLiteral("1-1|1-1报|3|0|2009.04.01-12.31|480|1080|"));
    QCOMPARE(w.focusWidget(), w.EditN1);
    QCOMPARE(w.OrderGrid->footerValueText(0, w.OrderGrid->column(2)), QStringLiteral("4"));

    // A line with its own monthly price is charged by it for part of the year.
    w.qOrder->setRecNo(1);
    f.dialogs.onModal = confirmOrder(f.order, "2", "3", "5");
    w.GlgBtn3->click();
    lines = orderLines(db);
    QCOMPARE(lines[1], QStringLiteral("2-1|2-1报|2|0|2009.03.01-05.31|360|300|50"));
    QCOMPARE(lines.size(), 2);
}

void tst_Ordering::failedPostLeavesListUsable()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480);
    db.execute("create trigger refuse before insert on tOrder "
               "begin select raise(abort, 'order table is read-only'); end");
    MainFixture f(db, QDate(2008, 10, 1));
    f.start();
    TfMain &w = *f.main;
    f.dialogs.onModal = confirmOrder(f.order, "1", "1", "12");
    w.GlgBtn1->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains("order table is read-only"));
    // The unsaved row is gone, the page filter is on and the list shows what is stored.
    Query *q = w.qOrder;
    QCOMPARE(q->state(), Query::State::Browse);
    QVERIFY(q->isFiltered());
    QVERIFY(!q->controlsDisabled());
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(w.OrderGrid->view()->model()->rowCount(), 1);
    QCOMPARE(w.OrderGrid->footerValueText(0, w.OrderGrid->column(2)), QStringLiteral("1"));
    QCOMPARE(db.count("tOrder"), 1);
    // And the next order goes through once the table takes it again.
    db.execute("drop trigger refuse");
    w.GlgBtn1->click();
    QCOMPARE(db.count("tOrder"), 2);
    QCOMPARE(q->recordCount(), 2);
}

void tst_Ordering::customer_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("all empty: only the name") << QStringList{"", "", ""} << "请输入您的名称。" << "EditN1";
    QTest::newRow("name of blanks") << QStringList{"   ", "路", "1"} << "请输入您的名称。" << "EditN1";
    QTest::newRow("no address") << QStringList{"某公司", " ", "1"} << "请输入您的地址。" << "EditN2";
    QTest::newRow("no telephone") << QStringList{"某公司", "北京路1号", ""} << "请输入您的电话。" << "EditN3";
    QTest::newRow("all there, trimmed") << QStringList{" 某公司 ", "北京路1号\t", " 123"} << "" << "";
}

void tst_Ordering::customer()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TestDatabase db;
    MainFixture f(db);
    f.start();
    TfKh *k = f.customer;
    f.dialogs.onModal = confirmCustomer(k, typed);
    f.main->GlgBtn10->click();
    if (message.isEmpty()) {
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(db.rows("select * from KH"), QStringList{"某公司|北京路1号|123"});
    } else {
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, message);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("温馨提示"));
        QCOMPARE(f.dialogs.messages[0].flags, unsigned(MessageFlags::Ok | MessageFlags::IconError));
        QCOMPARE(k->focusWidget()->objectName(), focus);
        QCOMPARE(db.count("KH"), 0);
    }
}

void tst_Ordering::customerSecondUseEditsTheRow()
{
    TestDatabase db;
    db.execute("insert into KH values ('甲', '乙', '1')");
    db.execute("insert into KH values ('second', 'row', '2')");
    MainFixture f(db);
    f.start();
    TfKh *k = f.customer;
    QStringList shown;
    f.dialogs.onModal = [&](QDialog *) {
        shown << k->EditN1->text() << k->EditN2->text() << k->EditN3->text();
        k->EditN1->setText("新名称");
        k->GlgBtn1->click();
        return k->result() == QDialog::Accepted ? int(IdOk) : int(IdCancel);
    };
    f.main->GlgBtn10->click();
    f.main->GlgBtn10->click();
    QCOMPARE(shown, QStringList({"甲", "乙", "1", "新名称", "乙", "1"}));
    QCOMPARE(db.rows("select * from KH order by rowid"), QStringList({"新名称|乙|1", "second|row|2"}));
}

void tst_Ordering::customerCancelKeepsTexts()
{
    TestDatabase db;
    MainFixture f(db);
    f.start();
    TfKh *k = f.customer;
    f.dialogs.onModal = [&](QDialog *) {
        k->EditN1->setText("未保存");
        k->GlgBtn2->click();
        return k->result() == QDialog::Accepted ? int(IdOk) : int(IdCancel);
    };
    f.main->GlgBtn10->click();
    QCOMPARE(db.count("KH"), 0);
    QString again;
    f.dialogs.onModal = [&](QDialog *) {
        again = k->EditN1->text();
        return int(IdCancel);
    };
    f.main->GlgBtn10->click();
    QCOMPARE(again, QStringLiteral("未保存"));
}

QTEST_MAIN(tst_Ordering)
#include "tst_ordering.moc"
