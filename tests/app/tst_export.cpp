#include "support/MainFixture.h"

#include "app/data/Query.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "grid/RecordGrid.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

// "输出": the common start, the proposed file name and the file it writes.
class tst_Export : public QObject
{
    Q_OBJECT
private slots:
    void proposedName_data();
    void proposedName();
    void commonStart_data();
    void commonStart();
    void writesTheFile();
    void unwritableFileIsReported();
};

namespace {
const QByteArray Bof = QByteArray::fromHex("090808000000100000000000");
const QByteArray Eof = QByteArray::fromHex("0A000000");

void addCustomer(TestDatabase &db, const QString &name, const QString &address,
                 const QString &phone)
{
    db.execute(QStringLiteral("insert into KH values ('%1', '%2', '%3')").arg(name, address, phone));
}

} // namespace

void tst_Export::proposedName_data()
{
    QTest::addColumn<QStringList>("customer");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("name");
    QTest::newRow("page 0") << QStringList{"某公司", "北京路1号", "123"} << 0
                            << "某公司(地址：北京路1号;电话：123)（邮发报刊）.xls";
    QTest::newRow("page 1") << QStringList{"某公司", "北京路1号", "123"} << 1
                            << "某公司(地址：北京路1号;电话：123)（自办发行报刊）.xls";
    QTest::newRow("blanks kept") << QStringList{" 甲 ", "路 ", " 1"} << 2
                                 << " 甲 (地址：路 ;电话： 1)（涉外报刊）.xls";
    // A slash would make the proposal a path into a folder.
    QTest::newRow("slash") << QStringList{"A/B公司", "1/2号", "010/123"} << 0
                           << "A／B公司(地址：1／2号;电话：010／123)（邮发报刊）.xls";
}

void tst_Export::proposedName()
{
    QFETCH(QStringList, customer);
    QFETCH(int, page);
    QFETCH(QString, name);
    TestDatabase db;
    db.fillSample();
    db.addOrder(page, "1-1", 2, 240);
    addCustomer(db, customer[0], customer[1], customer[2]);
    MainFixture f(db);
    f.start();
    f.main->PageControl1->setCurrentIndex(page);
    f.main->GlgBtn4->click();

    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(f.dialogs.modalCount, 0);
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    const DialogService::SaveRequest &r = f.dialogs.saveRequests[0];
    QCOMPARE(r.fileName, name);
    QCOMPARE(r.defaultSuffix, QStringLiteral("xls"));
    QCOMPARE(r.filter, QStringLiteral("xls (*.xls)"));
    QVERIFY(r.confirmOverwrite);
    // Cancelled: nothing is written.
    QCOMPARE(QDir(db.dir()).entryList({"*.xls"}), QStringList());
}

void tst_Export::commonStart_data()
{
    QTest::addColumn<bool>("lines");
    QTest::addColumn<bool>("customer");
    QTest::addColumn<bool>("confirmCustomer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("customerDialogs");
    QTest::addColumn<QString>("proposal"); // empty: no save dialog
    QTest::newRow("no lines") << false << true << false << "温馨提示：没有订阅资料" << 0 << "";
    QTest::newRow("no lines, no customer")
        << false << false << false << "温馨提示：没有订阅资料" << 0 << "";
    QTest::newRow("customer dialog cancelled") << true << false << false << "" << 1 << "";
    QTest::newRow("customer dialog confirmed")
        << true << false << true << "" << 1 << "新客户(地址：新路;电话：9)（邮发报刊）.xls";
    QTest::newRow("customer stored") << true << true << false << "" << 0
                                     << "老客户(地址：老路;电话：1)（邮发报刊）.xls";
}

void tst_Export::commonStart()
{
    QFETCH(bool, lines);
    QFETCH(bool, customer);
    QFETCH(bool, confirmCustomer);
    QFETCH(QString, message);
    QFETCH(int, customerDialogs);
    QFETCH(QString, proposal);
    TestDatabase db;
    db.fillSample();
    db.addOrder(lines ? 0 : 1, "1-1", 2, 240);
    if (customer)
        addCustomer(db, "老客户", "老路", "1");
    MainFixture f(db);
    f.start();
    if (confirmCustomer)
        f.dialogs.onModal = ::confirmCustomer(f.customer, {"新客户", "新路", "9"});
    f.main->GlgBtn4->click();

    if (message.isEmpty()) {
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    } else {
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, message);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(f.dialogs.messages[0].flags,
                 unsigned(MessageFlags::Ok | MessageFlags::IconWarning));
    }
    QCOMPARE(f.dialogs.modalCount, customerDialogs);
    QCOMPARE(f.dialogs.saveRequests.size(), proposal.isEmpty() ? 0 : 1);
    if (!proposal.isEmpty())
        QCOMPARE(f.dialogs.saveRequests[0].fileName, proposal);
    QCOMPARE(db.count("KH"), customer || confirmCustomer ? 1 : 0);
}

void tst_Export::writesTheFile()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 2, 960);
    db.addOrder(0, "2-1", 1, 12.5);
    db.addOrder(0, "80-1", 3, 360);
    db.addOrder(1, "Z-1", 1, 60);
    addCustomer(db, "某公司", "北京路1号", "123");
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.qOrder->setRecNo(1);
    QTemporaryDir out;
    const QString path = out.filePath("订单.xls");
    f.dialogs.saveAnswer = path;
    w.GlgBtn4->click();

    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Three lines of page 0 under the titles, five columns, then the footer row 4.
    QVERIFY(bytes.startsWith(Bof));
    QVERIFY(bytes.endsWith(Eof));
    QVERIFY(bytes.contains(QByteArray::fromHex("04020C0004000000000004 00BACFBCC6")));
    QVERIFY(bytes.contains(QByteArray::fromHex("7E020A00030002000000 0E000000"))); // 3 copies
    QVERIFY(!bytes.contains(QByteArray("Z-1")));
    QCOMPARE(w.qOrder->recNo(), 1);
    QVERIFY(!w.qOrder->controlsDisabled());
}

void tst_Export::unwritableFileIsReported()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(0, "1-1", 2, 960);
    addCustomer(db, "某公司", "北京路1号", "123");
    MainFixture f(db);
    f.start();
    const QString path = QDir(db.dir()).filePath("no such folder/x.xls");
    f.dialogs.saveAnswer = path;
    f.main->GlgBtn4->click();

    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text,
             QString("Cannot create file \"%1\". No such file or directory").arg(path));
    QCOMPARE(f.dialogs.messages[0].flags, unsigned(MessageFlags::Ok | MessageFlags::IconError));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(tst_Export)
#include "tst_export.moc"
