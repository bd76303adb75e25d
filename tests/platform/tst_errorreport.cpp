#include "platform/ErrorReport.h"
#include "support/FakeDialogService.h"

#include <QtTest>

class tst_ErrorReport : public QObject
{
    Q_OBJECT
private slots:
    void strToInt_data();
    void strToInt();
    void guardShowsErrorText();
};

void tst_ErrorReport::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "12" << true << 12;
    QTest::newRow("leading zero") << "01" << true << 1;
    QTest::newRow("blanks") << " 7 " << true << 7;
    QTest::newRow("negative") << "-3" << true << -3;
    QTest::newRow("lone minus") << "-" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "a2b" << false << 0;
    QTest::newRow("overflow") << "2147483648" << false << 0;
}

void tst_ErrorReport::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok) {
        QCOMPARE(::strToInt(text), value);
    } else {
        try {
            ::strToInt(text);
            QFAIL("no error");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

void tst_ErrorReport::guardShowsErrorText()
{
    FakeDialogService dialogs;
    bool after = false;
    QVERIFY(!runGuarded(nullptr, [&] {
        throw FileError(QStringLiteral("无法写入"));
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("无法写入"));
    QVERIFY(runGuarded(nullptr, [] {}));
    QCOMPARE(dialogs.messages.size(), 1);
}

QTEST_MAIN(tst_ErrorReport)
#include "tst_errorreport.moc"
