#include "app/pOrder.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "platform/Clock.h"
#include "support/FakeDialogService.h"

#include <QtTest>

class tst_OrderDialog : public QObject
{
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void conversionFailureGoesToErrorReport_data();
    void conversionFailureGoesToErrorReport();
    void cancelCloses();
    void enterWalksEntriesToConfirm();
    void layout();
};

void tst_OrderDialog::checks_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("message");   // empty: accepted
    QTest::addColumn<QString>("focus");

    const QDate march(2008, 3, 15), august(2008, 8, 1), october(2008, 10, 2);
    const QString late = QStringLiteral("输入的起订日期已截止订阅。");
    const QString copies = QStringLiteral("请输入订阅份数。");
    const QString wrong = QStringLiteral("输入订阅日期有误。");
    const QString fullYear = QStringLiteral("温馨提示：自办发行报刊只能订全年。");

    QTest::newRow("march, month 3 is past the deadline") << march << 0 << "1" << "3" << "12" << late << "EditN5";
    QTest::newRow("march, month 4 passes") << march << 0 << "1" << "4" << "12" << "" << "";
    QTest::newRow("august, month 8 is late") << august << 0 << "1" << "8" << "12" << late << "EditN5";
    QTest::newRow("august, month 9 passes") << august << 0 << "1" << "9" << "12" << "" << "";
    QTest::newRow("october, month 1 passes") << october << 0 << "1" << "1" << "12" << "" << "";
    QTest::newRow("copies 0") << october << 0 << "0" << "1" << "12" << copies << "EditN4";
    QTest::newRow("copies blank") << october << 0 << "  " << "1" << "12" << copies << "EditN4";
    QTest::newRow("deadline before copies") << march << 0 << "0" << "2" << "12" << late << "EditN5";
    QTest::newRow("first month 13") << october << 0 << "1" << "13" << "12" << wrong << "EditN5";
    QTest::newRow("first month empty after september") << october << 0 << "1" << "" << "12" << wrong << "EditN5";
    QTest::newRow("last month 0") << october << 0 << "1" << "1" << "0" << wrong << "EditN6";
    QTest::newRow("last month empty") << october << 0 << "1" << "1" << "" << wrong << "EditN6";
    QTest::newRow("5 to 4") << october << 0 << "1" << "5" << "4" << wrong << "EditN6";
    QTest::newRow("first month 01") << march << 0 << "1" << "04" << "12" << "" << "";
    QTest::newRow("self-distributed full year") << october << 1 << "1" << "1" << "12" << "" << "";
    QTest::newRow("self-distributed 1 to 6") << october << 1 << "1" << "1" << "6" << fullYear << "EditN6";
    QTest::newRow("self-distributed 2 to 12") << october << 1 << "1" << "2" << "12" << fullYear << "EditN5";
    QTest::newRow("post 2 to 6") << october << 0 << "1" << "2" << "6" << "" << "";
    QTest::newRow("foreign 2 to 6") << october << 2 << "1" << "2" << "6" << "" << "";
    QTest::newRow("leading zero 01 in october") << october << 0 << "1" << "01" << "12" << "" << "";
}

void tst_OrderDialog::checks()
{
    QFETCH(QDate, today);
    QFETCH(int, type);
    QFETCH(QString, copies);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    FixedClock clock(QDateTime(today, QTime(10, 0)));
    Clock::setInstance(&clock);
    FakeDialogService dialogs;
    TfOrder dialog;
    dialog.show();
    dialog.PublicationType = type;
    dialog.EditN4->setText(copies);
    dialog.EditN5->setText(first);
    dialog.EditN6->setText(last);
    const QStringList before = {dialog.EditN4->text(), dialog.EditN5->text(), dialog.EditN6->text()};
    dialog.setResult(0);
    dialog.GlgBtn1->click();
    Clock::setInstance(nullptr);

    if (message.isEmpty()) {
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    } else {
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, message);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(dialogs.messages[0].flags, unsigned(MessageFlags::Ok | MessageFlags::IconWarning));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        QVERIFY(dialog.focusWidget());
        QCOMPARE(dialog.focusWidget()->objectName(), focus);
        // Nothing the user typed was changed by the refusal.
        const QStringList after = {dialog.EditN4->text(), dialog.EditN5->text(), dialog.EditN6->text()};
        QCOMPARE(after, before);
    }
}

void tst_OrderDialog::conversionFailureGoesToErrorReport_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("bad");
    QTest::newRow("empty first month before september") << QDate(2008, 3, 1) << "1" << "" << "";
    QTest::newRow("lone minus as copies") << QDate(2008, 10, 1) << "-" << "1" << "-";
}

void tst_OrderDialog::conversionFailureGoesToErrorReport()
{
    QFETCH(QDate, today);
    QFETCH(QString, copies);
    QFETCH(QString, first);
    QFETCH(QString, bad);
    FixedClock clock(QDateTime(today, QTime(10, 0)));
    Clock::setInstance(&clock);
    FakeDialogService dialogs;
    TfOrder dialog;
    dialog.show();
    dialog.EditN4->setText(copies);
    dialog.EditN5->setText(first);
    dialog.EditN6->setText("12");
    dialog.setResult(0);
    dialog.GlgBtn1->click();
    Clock::setInstance(nullptr);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("'%1' is not a valid integer value").arg(bad));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
}

void tst_OrderDialog::cancelCloses()
{
    FakeDialogService dialogs;
    TfOrder dialog;
    dialog.show();
    dialog.GlgBtn2->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialogs.messages.isEmpty());
}

void tst_OrderDialog::enterWalksEntriesToConfirm()
{
    FixedClock clock(QDateTime(QDate(2008, 10, 2), QTime(10, 0)));
    Clock::setInstance(&clock);
    FakeDialogService dialogs;
    TfOrder dialog;
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.EditN4->setFocus();
    QCOMPARE(QApplication::focusWidget(), dialog.EditN4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), dialog.EditN5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), dialog.EditN6);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), dialog.GlgBtn1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Clock::setInstance(nullptr);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_OrderDialog::layout()
{
    TfOrder dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("订阅信息"));
    QCOMPARE(dialog.size(), QSize(444, 256));
    QCOMPARE(dialog.EditN4->geometry(), QRect(72, 142, 49, 18));
    QCOMPARE(dialog.EditN6->geometry(), QRect(306, 142, 49, 18));
    QCOMPARE(dialog.GlgBtn1->geometry(), QRect(232, 216, 75, 22));
    QCOMPARE(dialog.GlgBtn2->geometry(), QRect(350, 216, 75, 22));
    QVERIFY(dialog.EditN1->isReadOnly() && dialog.EditN2->isReadOnly() && dialog.EditN3->isReadOnly());
    QVERIFY(!(dialog.EditN1->focusPolicy() & Qt::TabFocus));
    QCOMPARE(dialog.EditN4->EditType(), etInteger);
    QCOMPARE(dialog.EditN4->text(), QStringLiteral("1"));
    QCOMPARE(dialog.EditN5->text(), QStringLiteral("1"));
    QCOMPARE(dialog.EditN6->text(), QStringLiteral("12"));
    QVERIFY(dialog.EditN7->isHidden());
}

QTEST_MAIN(tst_OrderDialog)
#include "tst_orderdialog.moc"
