#include "platform/Locale.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <clocale>
#include <cstdlib>
#include <langinfo.h>

class tst_Locale : public QObject
{
    Q_OBJECT
private slots:
    void characterType_data();
    void characterType();
    void qtTextsInChinese();

private:
    static void setOrUnset(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            unsetenv(name);
        else
            setenv(name, value.constData(), 1);
    }
};

void tst_Locale::characterType_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<QByteArray>("numeric");

    QTest::newRow("no locale at all") << QByteArray() << QByteArray() << true << QByteArray("C");
    QTest::newRow("LC_ALL=C") << QByteArray("C.UTF-8") << QByteArray("C") << true
                              << QByteArray("C");
    QTest::newRow("LANG=POSIX") << QByteArray("POSIX") << QByteArray() << true
                                << QByteArray("C");
    QTest::newRow("already UTF-8") << QByteArray("C.UTF-8") << QByteArray() << false
                                   << QByteArray("C.UTF-8");
}

void tst_Locale::characterType()
{
    QFETCH(QByteArray, lang);
    QFETCH(QByteArray, lcAll);
    QFETCH(bool, switched);
    QFETCH(QByteArray, numeric);

    const QByteArray savedLang = qgetenv("LANG");
    const QByteArray savedAll = qgetenv("LC_ALL");
    unsetenv("LC_CTYPE");
    unsetenv("LC_NUMERIC");
    setOrUnset("LANG", lang);
    setOrUnset("LC_ALL", lcAll);

    QCOMPARE(ensureUtf8CharacterType(), switched);
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("UTF-8"));
    // Only the character type changes; numbers and dates keep the environment's rules.
    QCOMPARE(QByteArray(std::setlocale(LC_NUMERIC, nullptr)), numeric);
    // A second call finds the character type in order.
    QCOMPARE(ensureUtf8CharacterType(), false);

    unsetenv("LC_CTYPE");
    setOrUnset("LANG", savedLang.isEmpty() ? QByteArray() : savedLang);
    setOrUnset("LC_ALL", savedAll.isEmpty() ? QByteArray() : savedAll);
    std::setlocale(LC_ALL, "");
}

void tst_Locale::qtTextsInChinese()
{
    QVERIFY2(installChineseQtTranslation(), "qtbase_zh_CN.qm is not installed");

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList buttons;
    for (const QPushButton *b : dialog.findChildren<QPushButton *>())
        buttons << b->text();
    QVERIFY2(buttons.contains(QStringLiteral("保存(&S)")), qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains(QStringLiteral("取消")), qPrintable(buttons.join('|')));
    QVERIFY(!buttons.contains(QStringLiteral("&Save")));

    QLineEdit edit(QStringLiteral("报刊"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (const QAction *a : menu->actions())
        items << a->text();
    QVERIFY2(items.join('|').contains(QStringLiteral("全选")), qPrintable(items.join('|')));
}

QTEST_MAIN(tst_Locale)
#include "tst_locale.moc"
