#include "support/MainFixture.h"
#include "support/OddFolders.h"

#include "app/DetailPanel.h"
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "grid/RecordGrid.h"
#include "grid/RecordGridModel.h"
#include "tools/DbTool.h"
#include "app/data/DataSource.h"
#include <QTableView>

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QtTest>

// Start-up, the catalogue pages and their search.
class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startUpListsPageZero();
    void startUpUsesWorkingDirectory();
    void startUpFailure_data();
    void startUpFailure();
    void startUpFromAnyDirectory_data();
    void startUpFromAnyDirectory();
    void missingOrderTableIsReportedAndWindowStays();
    void layout();
    void search_data();
    void search();
    void rejectedSearchLeavesPageEmpty();
    void issnOnlyOnPagesOneAndTwo();
    void pagesRememberTheirSearch();
    void detailPanelFollowsCurrentRow();
    void catalogueStillArriving();
    void keyboardRoadFromKeywordToOrder();
    void buttonsTakeTheFocusOnlyFromTheLeftButton();
};

static QStringList codes(Query *q)
{
    QStringList out;
    const int field = q->fieldIndex(QStringLiteral("报刊代号"));
    for (int i = 0; i < q->recordCount(); ++i)
        out << q->valueAt(i, field).toString();
    return out;
}

void tst_MainWindow::startUpListsPageZero()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480);
    db.addOrder(1, "Z-1", 1, 60);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    QVERIFY(!w.startupFailed());
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(w.windowTitle(), QStringLiteral("Tessival"));
    QCOMPARE(w.PageControl1->currentIndex(), 0);
    QCOMPARE(w.qPost->recordCount(), 5);
    QCOMPARE(w.PostGrid->model()->rowCount(), 5);
    QCOMPARE(w.qOrder->recordCount(), 1);   // only the page-0 line
    QCOMPARE(w.qOrder->filter(), QStringLiteral("报刊类型=0"));
    QVERIFY(w.qOrder->isFiltered());
    QVERIFY(w.qKh->isActive());
    QCOMPARE(w.focusWidget(), w.GlgBtn1);
    QCOMPARE(w.Panel1->valueText("报刊名称"), QStringLiteral("人民日报"));
}

void tst_MainWindow::startUpUsesWorkingDirectory()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);   // works from the database's directory, not the program's
    QCOMPARE(StartupDir, db.dir());
    QVERIFY(QDir(QCoreApplication::applicationDirPath()) != QDir(db.dir()));
    f.start();
    QVERIFY(!f.main->startupFailed());
    QVERIFY(f.main->adoDb->isConnected());
    QVERIFY(f.main->adoDb->connectionString().contains(db.dir() + QStringLiteral("\\ortiwen.gdb")));
}

void tst_MainWindow::startUpFailure_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("wrong password") << "password";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("zero length") << "empty";
}

void tst_MainWindow::startUpFailure()
{
    QFETCH(QString, kind);
    TestDatabase db;
    QFile::remove(db.path());
    if (kind == "password") {
        Connection c;
        // A file keyed with another password.
        QVERIFY(QFile(db.path()).open(QIODevice::WriteOnly));
        QFile::remove(db.path());
        QProcess p;
        p.start("sqlcipher", {"-cmd", "PRAGMA key='other';", db.path(), "create table x(a);"});
        QVERIFY(p.waitForFinished());
        QVERIFY(QFile::exists(db.path()));
    } else if (kind == "garbage") {
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    } else if (kind == "empty") {
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QByteArray before = QFile::exists(db.path()) ? [&] {
        QFile file(db.path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }() : QByteArray();

    MainFixture f(db);
    f.start();
    QVERIFY(f.main->startupFailed());
    QVERIFY(!f.main->isVisible());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("温馨提示：不能打开数据库文件。"));
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("出错提示"));
    QCOMPARE(f.dialogs.messages[0].flags, unsigned(MessageFlags::Ok | MessageFlags::IconWarning));
    if (kind == "missing") {
        QVERIFY(!QFile::exists(db.path()));   // never created
    } else {
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);     // nothing written
    }
}

void tst_MainWindow::startUpFromAnyDirectory_data()
{
    addOddFolderRows();
}

void tst_MainWindow::startUpFromAnyDirectory()
{
    QFETCH(QString, folder);
    TestDatabase db(folder);
    db.fillSample();
    db.addOrder(0, "1-1", 2, 960);
    MainFixture f(db);
    f.start();
    QVERIFY(!f.main->startupFailed());
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(Connection::dataSourceOf(f.main->adoDb->connectionString()), db.path());
    QCOMPARE(f.main->qPost->recordCount(), 5);
    QCOMPARE(f.main->qOrder->recordCount(), 1);
}

void tst_MainWindow::missingOrderTableIsReportedAndWindowStays()
{
    TestDatabase db;
    db.fillSample();
    db.execute("drop table tOrder");
    MainFixture f(db);
    f.start();
    QVERIFY(!f.main->startupFailed());
    QVERIFY(f.main->isVisible());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].text.contains("tOrder"), qPrintable(f.dialogs.messages[0].text));
    QVERIFY(!f.main->qOrder->isActive());
}

void tst_MainWindow::layout()
{
    TestDatabase db;
    MainFixture f(db);
    TfMain &w = *f.main;
    QCOMPARE(w.PageControl1->count(), 3);
    QCOMPARE(w.PageControl1->tabText(0), QStringLiteral("邮政发行报刊"));
    QCOMPARE(w.PageControl1->tabText(1), QStringLiteral("自办发行报刊"));
    QCOMPARE(w.PageControl1->tabText(2), QStringLiteral("港、澳、台及外国进口报刊"));
    QCOMPARE(w.ComboBox1->geometry(), QRect(72, 8, 153, 20));
    QCOMPARE(w.EditN2->geometry(), QRect(350, 9, 201, 18));
    QCOMPARE(w.cMh2->geometry(), QRect(590, 11, 73, 17));
    QCOMPARE(w.GlgBtn9->geometry(), QRect(680, 9, 83, 22));
    QCOMPARE(w.cMh->text(), QStringLiteral("模糊查询"));
    QVERIFY(!w.cMh->isChecked());
    QCOMPARE(w.GlgBtn6->Kind(), lgFind);
    QCOMPARE(w.Panel3->height(), 270);
    QCOMPARE(w.Panel1->width(), 376);
    struct B {
        TGlgBtn *button;
        QString caption;
        TKind kind;
        QRect geometry;
    };
    const B buttons[] = {
        {w.GlgBtn1, "订阅", lgLower, QRect(79, 4, 85, 22)},
        {w.GlgBtn2, "退订", lgUp, QRect(176, 4, 85, 22)},
        {w.GlgBtn3, "修改", lgWrite, QRect(279, 4, 85, 22)},
        {w.GlgBtn7, "清空", lgNo, QRect(8, 14, 73, 22)},
        {w.GlgBtn10, "修改客户资料", lgWrite, QRect(87, 14, 100, 22)},
        {w.GlgBtn5, "打印", lgPrint, QRect(193, 14, 82, 22)},
        {w.GlgBtn4, "输出", lgExcel, QRect(281, 14, 85, 22)},
    };
    for (const B &b : buttons) {
        QCOMPARE(b.button->text(), b.caption);
        QCOMPARE(b.button->Kind(), b.kind);
        QCOMPARE(b.button->geometry(), b.geometry);
    }
    // Tab order of a search bar: keyword, search button, check box, field list.
    QCOMPARE(w.EditN1->nextInFocusChain(), static_cast<QWidget *>(w.GlgBtn6));
    QCOMPARE(w.GlgBtn6->nextInFocusChain(), static_cast<QWidget *>(w.cMh));
    QCOMPARE(w.cMh->nextInFocusChain(), static_cast<QWidget *>(w.ComboBox1));
}

void tst_MainWindow::search_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("partial");
    QTest::addColumn<QStringList>("found");

    const QStringList all0 = {"1-1", "2-1", "80-1", "80-2", "ab-3"};
    QTest::newRow("empty keyword lists all") << 0 << "报刊名称" << "" << true << all0;
    QTest::newRow("blanks only list all") << 0 << "报刊代号" << "   " << false << all0;
    QTest::newRow("exact code") << 0 << "报刊代号" << "2-1" << false << QStringList{"2-1"};
    QTest::newRow("exact with blanks around") << 0 << "报刊代号" << "  2-1 " << false << QStringList{"2-1"};
    QTest::newRow("exact is not partial") << 0 << "报刊名称" << "日报" << false << QStringList{};
    QTest::newRow("partial name") << 0 << "报刊名称" << "日报" << true << QStringList{"1-1", "2-1"};
    QTest::newRow("exact ignores ASCII case") << 0 << "报刊名称" << "CHINESE DAILY" << false << QStringList{"ab-3"};
    QTest::newRow("partial ignores ASCII case") << 0 << "报刊名称" << "DAIL" << true << QStringList{"ab-3"};
    QTest::newRow("quote finds the row holding it") << 0 << "报刊名称" << "Reader's" << true << QStringList{"80-1"};
    QTest::newRow("double quote exact finds nothing") << 0 << "报刊名称" << "a\"b" << false << QStringList{};
    QTest::newRow("percent matches itself") << 0 << "报刊名称" << "100%" << true << QStringList{"80-2"};
    QTest::newRow("percent alone") << 0 << "报刊名称" << "%" << true << QStringList{"80-2"};
    QTest::newRow("underscore matches itself") << 0 << "报刊名称" << "_" << true << QStringList{};
    QTest::newRow("injection stays a keyword") << 0 << "报刊代号" << "1' or '1'='1" << false << QStringList{};
    QTest::newRow("place") << 0 << "出版地" << "北京" << false << QStringList{"1-1", "2-1", "ab-3"};
    QTest::newRow("nothing found") << 0 << "报刊代号" << "999" << false << QStringList{};
    QTest::newRow("issn on page 1") << 1 << "ISSN" << "1000-0002" << false << QStringList{"Z-2"};
    QTest::newRow("partial on page 2") << 2 << "报刊名称" << "tim" << true << QStringList{"W-1"};
}

void tst_MainWindow::search()
{
    QFETCH(int, page);
    QFETCH(QString, field);
    QFETCH(QString, keyword);
    QFETCH(bool, partial);
    QFETCH(QStringList, found);

    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.PageControl1->setCurrentIndex(page);
    QComboBox *combo[] = {w.ComboBox1, w.ComboBox2, w.ComboBox3};
    QCheckBox *check[] = {w.cMh, w.cMh1, w.cMh2};
    TGlgBtn *searchButton[] = {w.GlgBtn6, w.GlgBtn8, w.GlgBtn9};
    combo[page]->setCurrentText(field);
    QCOMPARE(combo[page]->currentText(), field);
    w.pageKeyword(page)->setText(keyword);
    check[page]->setChecked(partial);
    w.pageKeyword(page)->setFocus();
    searchButton[page]->click();

    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    Query *q = w.pageQuery(page);
    QVERIFY(q->isActive());
    QCOMPARE(codes(q), found);
    QCOMPARE(w.focusWidget(), w.GlgBtn1);
    // The detail panel shows the first row found, or nothing.
    const QString shown = w.Panel1->valueText("报刊代号");
    QCOMPARE(shown, found.value(0));
}

void tst_MainWindow::rejectedSearchLeavesPageEmpty()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    // A catalogue table the search cannot read any more: the error is reported,
    // the page stays empty and the focus stays where it was.
    db.execute("alter table POST rename to POST_OLD");
    w.EditN1->setFocus();
    w.GlgBtn6->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains("POST"));
    QVERIFY(!w.qPost->isActive());
    QCOMPARE(w.PostGrid->model()->rowCount(), 0);
    QCOMPARE(w.Panel1->valueText("报刊代号"), QString());
    QCOMPARE(w.focusWidget(), w.GlgBtn6);   // the pressed button keeps it
    // "订阅" then reports that there is no publication.
    w.GlgBtn1->click();
    QCOMPARE(f.dialogs.messages.size(), 2);
    QCOMPARE(f.dialogs.messages[1].text, QStringLiteral("温馨提示：没有报刊资料。"));
}

void tst_MainWindow::issnOnlyOnPagesOneAndTwo()
{
    TestDatabase db;
    MainFixture f(db);
    TfMain &w = *f.main;
    auto items = [](QComboBox *c) {
        QStringList l;
        for (int i = 0; i < c->count(); ++i)
            l << c->itemText(i);
        return l;
    };
    QVERIFY(!items(w.ComboBox1).contains("ISSN"));
    QCOMPARE(items(w.ComboBox1).size(), 7);
    QCOMPARE(items(w.ComboBox2).indexOf("ISSN"), 6);
    QCOMPARE(items(w.ComboBox3).indexOf("ISSN"), 6);
    QCOMPARE(items(w.ComboBox2), items(w.ComboBox3));
    QCOMPARE(w.ComboBox2->currentIndex(), 0);
}

void tst_MainWindow::pagesRememberTheirSearch()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 1, 480);
    db.addOrder(1, "Z-1", 2, 120);
    db.addOrder(1, "Z-2", 1, 36);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.EditN1->setText("日报");
    w.cMh->setChecked(true);
    w.ComboBox1->setCurrentIndex(1);
    w.GlgBtn6->click();
    QCOMPARE(w.qPost->recordCount(), 2);

    w.PageControl1->setCurrentIndex(1);
    QCOMPARE(w.dPost->dataSet(), w.qPostN);
    QCOMPARE(w.qPostN->recordCount(), 2);
    QCOMPARE(w.qOrder->recordCount(), 2);
    QCOMPARE(w.Panel1->valueText("报刊代号"), QStringLiteral("Z-1"));

    // Back on page 0 the page-0 search runs again with what the page remembers.
    db.addCatalogue(0, "3-1", "解放日报", 300, 25);
    w.PageControl1->setCurrentIndex(0);
    QCOMPARE(w.dPost->dataSet(), w.qPost);
    QCOMPARE(codes(w.qPost), QStringList({"1-1", "2-1", "3-1"}));
    QCOMPARE(w.EditN1->text(), QStringLiteral("日报"));
    QCOMPARE(w.qOrder->recordCount(), 1);
    QCOMPARE(w.qOrder->filter(), QStringLiteral("报刊类型=0"));
    QCOMPARE(w.Panel1->valueText("报刊代号"), QStringLiteral("1-1"));
}

void tst_MainWindow::detailPanelFollowsCurrentRow()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.qPost->setRecNo(1);
    QCOMPARE(w.Panel1->valueText("报刊名称"), QStringLiteral("北京日报"));
    QCOMPARE(w.Panel1->valueText("全年价"), QStringLiteral("360"));
    QCOMPARE(w.Panel1->valueText("月价"), QStringLiteral("30"));
    QCOMPARE(w.Panel1->valueText("国内统一刊号"), QStringLiteral("CN11-0001"));
    QCOMPARE(w.Panel1->remarksText(), QStringLiteral("北京日报的简介。"));
    // Selecting a row in the grid moves the data set, and so the panel.
    QTableView *view = w.PostGrid->view();
    view->selectRow(3);
    QCOMPARE(w.qPost->recNo(), 3);
    QCOMPARE(w.Panel1->valueText("报刊代号"), QStringLiteral("80-2"));
}

// Over a catalogue longer than a screen the window works on the rows that have
// arrived while the rest is still being read; a page switch or a new search drops a
// result that is still arriving.
void tst_MainWindow::catalogueStillArriving()
{
    // No events are processed until the checks of the arriving result are done.
    constexpr int Rows = 3000;
    TestDatabase db;
    DbTool::generate(db.path(), Rows);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    Query *q = w.qPost;
    QVERIFY(q->isFetching());
    const int arrived = q->recordCount();
    QVERIFY(arrived > 0 && arrived < Rows);
    QCOMPARE(w.PostGrid->model()->rowCount(), arrived);

    // The keyboard reaches the last row that has arrived; the panel and the order
    // dialog take that row.
    QTableView *view = w.PostGrid->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(q->isFetching());
    QCOMPARE(q->recNo(), arrived - 1);
    const QString code = q->valueAt(arrived - 1, q->fieldIndex(QStringLiteral("报刊代号"))).toString();
    QCOMPARE(w.Panel1->valueText("报刊代号"), code);
    QString ordered;
    f.dialogs.onModal = [&](QDialog *) {
        ordered = f.order->EditN1->text();
        return int(IdCancel);
    };
    w.GlgBtn1->click();
    QCOMPARE(ordered, code);

    // The rest arrives; the current row stays, and the grid follows to the last row.
    QTRY_VERIFY_WITH_TIMEOUT(!q->isFetching(), 20000);
    QCOMPARE(q->recordCount(), Rows);
    QCOMPARE(w.PostGrid->model()->rowCount(), Rows);
    QCOMPARE(q->recNo(), arrived - 1);
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(q->recNo(), Rows - 1);

    // A page switch drops page 0's result at once, even while it is arriving.
    w.GlgBtn6->click();
    QVERIFY(q->isFetching());
    w.PageControl1->setCurrentIndex(1);
    QVERIFY(!q->isFetching());
    QVERIFY(!q->isActive());
    Query *n = w.qPostN;
    QCOMPARE(w.dPost->dataSet(), n);
    QVERIFY(n->isFetching());

    // A new search while page 1 is arriving: the old result goes, the new one is
    // exactly the engine's, in its order.
    w.ComboBox2->setCurrentIndex(1);
    w.cMh1->setChecked(true);
    w.EditN2->setText(QStringLiteral("报"));
    w.GlgBtn8->click();
    QTRY_VERIFY_WITH_TIMEOUT(!n->isFetching(), 20000);
    const QStringList expected = db.rows(
        QStringLiteral("select 报刊代号 from NOPOST where 报刊名称 like '%报%' order by rowid"));
    QVERIFY(expected.size() > 50);
    QCOMPARE(codes(n), expected);
    QCOMPARE(w.PostGrid->model()->rowCount(), expected.size());
}

void tst_MainWindow::keyboardRoadFromKeywordToOrder()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.EditN1->setFocus();
    QTest::keyClicks(w.EditN1, "2-1");
    QTest::keyClick(w.EditN1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.GlgBtn6);
    QTest::keyClick(w.GlgBtn6, Qt::Key_Return);
    QCOMPARE(codes(w.qPost), QStringList{"2-1"});
    QCOMPARE(QApplication::focusWidget(), w.GlgBtn1);
    QString ordered;
    f.dialogs.onModal = [&](QDialog *d) {
        ordered = f.order->EditN1->text();
        return d == f.order ? int(IdCancel) : int(IdCancel);
    };
    QTest::keyClick(w.GlgBtn1, Qt::Key_Return);
    QCOMPARE(f.dialogs.modalCount, 1);
    QCOMPARE(ordered, QStringLiteral("2-1"));
    QCOMPARE(QApplication::focusWidget(), w.EditN1);
}

// On every button of the main window: a right press leaves the focus where it was, a
// left press takes it only with ShowFocused. The presses end off the button, so no
// command runs.
void tst_MainWindow::buttonsTakeTheFocusOnlyFromTheLeftButton()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    f.start();
    QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
    QWidget *w = f.main.get(); // its buttons and the dialogs' come from the same settings
    TEditN *box = nullptr;
    for (TEditN *e : w->findChildren<TEditN *>()) {
        if (e->isVisible() && e->isEnabled() && e->focusPolicy() & Qt::TabFocus) {
            box = e;
            break;
        }
    }
    QVERIFY(box);
    int tried = 0;
    for (TGlgBtn *b : w->findChildren<TGlgBtn *>()) {
        if (!b->isVisible() || !b->isEnabled())
            continue;
        ++tried;
        const QPoint inside(b->width() / 2, b->height() / 2);
        const QPoint outside(-20, -20);
        box->setFocus();
        QVERIFY(box->hasFocus());
        QTest::mousePress(b, Qt::RightButton, {}, inside);
        QTest::mouseRelease(b, Qt::RightButton, {}, inside);
        QVERIFY2(box->hasFocus(), qPrintable(b->text()));
        b->setShowFocused(false);
        QTest::mousePress(b, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(b, Qt::LeftButton, {}, outside);
        QVERIFY2(box->hasFocus(), qPrintable(b->text()));
        b->setShowFocused(true);
        QTest::mousePress(b, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(b, Qt::LeftButton, {}, outside);
        QVERIFY2(b->hasFocus(), qPrintable(b->text()));
    }
    QVERIFY(tried >= 8);
    // The export button "输出": a right press keeps the keyword box.
    TEditN *keyword = f.main->pageKeyword(0);
    keyword->setFocus();
    QTest::mouseClick(f.main->GlgBtn4, Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(keyword->hasFocus());
    QVERIFY(f.dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
