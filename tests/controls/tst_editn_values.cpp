// Value tracking on every change of the text and the checks and formatting the
// typed edit box applies when it loses the focus.
#include "controls/EditN.h"
#include "platform/Clock.h"
#include "support/FakeDialogService.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(TEditTypes)
Q_DECLARE_METATYPE(TEditAlign)

namespace {

const QString kRange = "Range Max. : -2147483647 <-> 2147483647";
const QString kConvert
    = "Range Max. :\n - Integer : -2147483647 <-> 2147483647\n - Float   : 5.0e-324 <-> 1.7e+308";
const QDate kDayZero(1899, 12, 30);

// A shown, active window: the box under test and a second box to take the focus.
struct Form
{
    QWidget window;
    TEditN *box;
    QLineEdit *other;
    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        box = new TEditN(&window);
        other = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        other->setFocus();
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
    void enterAndLeave()
    {
        box->setFocus();
        other->setFocus();
    }
};

} // namespace

class TestEditNValues : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setInstance(&m_clock); }
    void cleanupTestCase() { Clock::setInstance(nullptr); }
    void init() { m_dialogs.messages.clear(); }

    void change_data();
    void change();
    void minusAloneAndEmptiedText();
    void exitFormat_data();
    void exitFormat();
    void exitAssignsOneStepAtATime();
    void exitFormatWithinLengthLimit_data();
    void exitFormatWithinLengthLimit();
    void dateCheck_data();
    void dateCheck();
    void timeCheck_data();
    void timeCheck();

private:
    QStringList shown() const
    {
        QStringList texts;
        for (const auto &m : m_dialogs.messages)
            texts << m.text;
        return texts;
    }

    FixedClock m_clock { QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30)) };
    FakeDialogService m_dialogs;
};

void TestEditNValues::change_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("valueInteger");
    QTest::addColumn<double>("valueFloat");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("int max") << etInteger << "en_GB" << false << "2147483647"
                             << "2147483647" << 2147483647 << 2147483647.0 << QStringList();
    QTest::newRow("int min") << etInteger << "en_GB" << false << "-2147483647"
                             << "-2147483647" << -2147483647 << -2147483647.0 << QStringList();
    QTest::newRow("int above") << etInteger << "en_GB" << false << "2147483648"
                               << "2147483648" << 0 << 0.0 << QStringList { kRange };
    QTest::newRow("int below") << etInteger << "en_GB" << false << "-2147483648"
                               << "-2147483648" << 0 << 0.0 << QStringList { kRange };
    QTest::newRow("int trailing minus") << etInteger << "en_GB" << false << "12-"
                                        << "12-" << -12 << -12.0 << QStringList();
    QTest::newRow("int pasted letters") << etInteger << "en_GB" << true << "a1b2"
                                        << "12" << 12 << 12.0 << QStringList();
    QTest::newRow("int pasted plus") << etInteger << "en_GB" << true << "+5"
                                     << "5" << 5 << 5.0 << QStringList();
    QTest::newRow("int two minus signs") << etInteger << "en_GB" << false << "1-2-3"
                                         << "1-2-3" << 0 << 0.0 << QStringList { kConvert };
    QTest::newRow("float foreign separator") << etFloat << "en_GB" << true << "2,5"
                                             << "2,5" << 0 << 0.0 << QStringList { kConvert };
    QTest::newRow("float negative") << etFloat << "en_GB" << false << "-2.75"
                                    << "-2.75" << -2 << -2.75 << QStringList();
    QTest::newRow("float comma locale") << etFloat << "de_DE" << false << "2,5"
                                        << "2,5" << 2 << 2.5 << QStringList();
    // The clean-up assignment runs the handling once more inside the first run:
    // the message comes from both.
    QTest::newRow("float nested runs") << etFloat << "en_GB" << false << "x1.2.3"
                                       << "1.2.3" << 0 << 0.0 << QStringList { kConvert, kConvert };
    QTest::newRow("float beyond 64 bits")
        << etFloat << "en_GB" << false << "99999999999999999999"
        << "99999999999999999999" << 1661992960 << 1e20 << QStringList();
}

void TestEditNValues::change()
{
    QFETCH(TEditTypes, type);
    QFETCH(QString, locale);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(int, valueInteger);
    QFETCH(double, valueFloat);
    QFETCH(QStringList, messages);
    Form f;
    QVERIFY(f.ready());
    f.box->setLocale(QLocale(locale));
    f.box->setEditType(type);
    QSignalSpy changes(f.box, &TEditN::OnChange);
    if (paste) {
        f.box->setFocus();
        QApplication::clipboard()->setText(input);
        // Shift+Insert: Ctrl+V types a character the number filter rejects
        QTest::keyClick(f.box, Qt::Key_Insert, Qt::ShiftModifier);
    } else {
        f.box->setText(input);
    }
    QCOMPARE(f.box->text(), text);
    QCOMPARE(f.box->ValueInteger(), valueInteger);
    QCOMPARE(f.box->ValueFloat(), valueFloat);
    QCOMPARE(shown(), messages);
    QVERIFY(changes.count() >= 1);
}

void TestEditNValues::minusAloneAndEmptiedText()
{
    Form f;
    QVERIFY(f.ready());
    f.box->setEditType(etInteger);
    f.box->setText("7");
    QSignalSpy changes(f.box, &TEditN::OnChange);
    f.box->setText("-");
    QCOMPARE(changes.count(), 0);
    QCOMPARE(f.box->ValueInteger(), 0);
    QCOMPARE(f.box->ValueFloat(), 0.0);

    f.box->setText("8");
    changes.clear();
    f.box->setText("");
    QCOMPARE(changes.count(), 1);
    QCOMPARE(f.box->ValueInteger(), 8);
    QCOMPARE(f.box->ValueFloat(), 8.0);
    QVERIFY(shown().isEmpty());
}

void TestEditNValues::exitFormat_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<TEditAlign>("align");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("precision");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, TEditTypes type, TEditAlign align, int length, int precision,
                   const QString &input, const QString &expected, bool upper = false,
                   const QString &locale = "en_GB") {
        QTest::newRow(name) << type << align << length << precision << upper << locale << input
                            << expected;
    };
    row("float 3", etFloat, etAlignNone, 0, 2, "3", "3.00");
    row("float cut, no rounding", etFloat, etAlignNone, 0, 2, "3.14159", "3.14");
    row("float 2.5", etFloat, etAlignNone, 0, 2, "2.5", "2.50");
    row("float empty", etFloat, etAlignNone, 0, 2, "", "0.00");
    row("float comma locale", etFloat, etAlignNone, 0, 2, "3", "3,00", false, "de_DE");
    row("float zeros after minus", etFloat, etAlignValue, 8, 2, "-1.5", "-0001.50");
    row("float minus to front", etFloat, etAlignNone, 0, 0, "1.5-", "-1.5");
    row("int zeros", etInteger, etAlignValue, 5, 0, "42", "00042");
    row("int zeros and minus", etInteger, etAlignValue, 5, 0, "-42", "-0042");
    row("int minus to front", etInteger, etAlignNone, 0, 0, "12-", "-12");
    row("int minus inside", etInteger, etAlignNone, 0, 0, "1-2", "-12");
    row("right", etString, etAlignRight, 6, 0, "abc", "   abc");
    row("right counts CJK bytes", etString, etAlignRight, 6, 0, "中文", "  中文");
    row("right, already long", etString, etAlignRight, 6, 0, "abcdefg", "abcdefg");
    row("left", etString, etAlignLeft, 6, 0, "  ab", "ab    ");
    row("left, spaces only", etString, etAlignLeft, 6, 0, "   ", "      ");
    row("centre even", etString, etAlignCenter, 10, 0, "abcd", "   abcd    ");
    row("centre odd", etString, etAlignCenter, 10, 0, "abc", "    abc    ");
    row("centre one short", etString, etAlignCenter, 2, 0, "a", "a  ");
    row("value alignment pads no text", etString, etAlignValue, 6, 0, "ab", "ab");
    row("capital", etString, etAlignNone, 0, 0, "berlin", "Berlin", true);
    row("capital single", etString, etAlignNone, 0, 0, "x", "X", true);
}

void TestEditNValues::exitFormat()
{
    QFETCH(TEditTypes, type);
    QFETCH(TEditAlign, align);
    QFETCH(int, length);
    QFETCH(int, precision);
    QFETCH(bool, upper);
    QFETCH(QString, locale);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.box->setLocale(QLocale(locale));
    f.box->setEditType(type);
    f.box->setEditAlign(align);
    f.box->setEditLengthAlign(length);
    f.box->setEditPrecision(precision);
    f.box->setFirstCharUpper(upper);
    f.box->setText(input);
    QSignalSpy exits(f.box, &TEditN::OnExit);
    f.enterAndLeave();
    QCOMPARE(f.box->text(), expected);
    QCOMPARE(exits.count(), 1);
    QVERIFY(shown().isEmpty());
}

void TestEditNValues::exitAssignsOneStepAtATime()
{
    Form f;
    QVERIFY(f.ready());
    f.box->setEditType(etFloat);
    f.box->setEditPrecision(2);
    f.box->setEditAlign(etAlignValue);
    f.box->setEditLengthAlign(8);
    f.box->setText("1.5-");
    QSignalSpy changes(f.box, &TEditN::OnChange);
    f.enterAndLeave();
    // minus to the front, one zero, then three zeros after the minus
    QCOMPARE(f.box->text(), QString("-0001.50"));
    QCOMPARE(changes.count(), 5);
    QCOMPARE(f.box->ValueFloat(), -1.5);
    QCOMPARE(f.box->ValueInteger(), -1);
}

void TestEditNValues::exitFormatWithinLengthLimit_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<TEditAlign>("align");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("maxLength"); // 0: the limit the box sets itself
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("value");
    // A float box limits itself to 16 on entry, an integer box to 11 with a minus.
    QTest::newRow("float padded past its limit") << etFloat << etAlignValue << 20 << 0 << 0 << "1.5"
                                                 << "00000000000001.5" << 1.5;
    QTest::newRow("integer padded past its limit")
        << etInteger << etAlignValue << 14 << 0 << 0 << "-5"
        << "-0000000005" << -5.0;
    QTest::newRow("decimals that do not fit") << etFloat << etAlignNone << 0 << 2 << 4 << "123"
                                              << "123" << 123.0;
    QTest::newRow("missing decimals that do not fit")
        << etFloat << etAlignNone << 0 << 3 << 5 << "12.5"
        << "12.5" << 12.5;
    QTest::newRow("decimals that just fit") << etFloat << etAlignNone << 0 << 3 << 5 << "1.5"
                                            << "1.500" << 1.5;
    QTest::newRow("padded decimals") << etFloat << etAlignValue << 10 << 2 << 6 << "-1.5"
                                     << "-01.50" << -1.5;
    QTest::newRow("text padded to its limit") << etString << etAlignRight << 6 << 0 << 4 << "ab"
                                              << "  ab" << 0.0;
}

// Formatting on exit never grows the text past the length limit, so that the
// limit can never cut it into another value: the text and the values agree.
void TestEditNValues::exitFormatWithinLengthLimit()
{
    QFETCH(TEditTypes, type);
    QFETCH(TEditAlign, align);
    QFETCH(int, length);
    QFETCH(int, precision);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(double, value);
    Form f;
    QVERIFY(f.ready());
    f.box->setLocale(QLocale("en_GB"));
    f.box->setEditType(type);
    f.box->setEditAlign(align);
    f.box->setEditLengthAlign(length);
    f.box->setEditPrecision(precision);
    if (maxLength > 0)
        f.box->setMaxLength(maxLength);
    f.box->setFocus();
    QTest::keyClicks(f.box, typed);
    QCOMPARE(f.box->text(), typed);
    f.other->setFocus();
    QCOMPARE(f.box->text(), expected);
    QVERIFY(f.box->text().size() <= f.box->maxLength());
    if (type != etString) {
        QCOMPARE(f.box->ValueFloat(), value);
        QCOMPARE(f.box->ValueInteger(), qint32(value));
    }
    QVERIFY(shown().isEmpty());
}

void TestEditNValues::dateCheck_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("valid");
    // Today is 15/03/2024.
    QTest::newRow("empty is today") << QChar('/') << ""
                                    << "15/03/2024" << true;
    QTest::newRow("one digit") << QChar('/') << "5"
                               << "05/03/2024" << true;
    QTest::newRow("three digits") << QChar('/') << "153"
                                  << "15/03/2024" << true;
    QTest::newRow("six digits") << QChar('/') << "150324"
                                << "15/03/2024" << true;
    QTest::newRow("seven digits") << QChar('/') << "1503024"
                                  << "15/03/2024" << true;
    QTest::newRow("eight digits") << QChar('/') << "01122025"
                                  << "01/12/2025" << true;
    QTest::newRow("ten digits") << QChar('/') << "2902202499"
                                << "29/02/2024" << true;
    QTest::newRow("already complete") << QChar('/') << "15/03/2024"
                                      << "15/03/2024" << true;
    QTest::newRow("other separator") << QChar('.') << "5"
                                     << "05.03.2024" << true;
    QTest::newRow("no 31 February") << QChar('/') << "3102"
                                    << "3102" << false;
    QTest::newRow("no 29 February 2023") << QChar('/') << "29022023"
                                         << "29022023" << false;
    QTest::newRow("month 13") << QChar('/') << "0113"
                              << "0113" << false;
    QTest::newRow("eleven digits") << QChar('/') << "12345678901"
                                   << "12345678901" << false;
}

void TestEditNValues::dateCheck()
{
    QFETCH(QChar, separator);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(bool, valid);
    Form f;
    QVERIFY(f.ready());
    f.box->setEditType(etDate);
    f.box->setDateSepChar(separator);
    f.box->setText(input);
    f.enterAndLeave();
    QCOMPARE(f.box->text(), expected);
    const QDate date = valid
        ? QDate::fromString(QString(expected).replace(separator, '/'), "dd/MM/yyyy")
        : m_clock.today();
    QVERIFY(date.isValid());
    QCOMPARE(f.box->ValueDate(), double(kDayZero.daysTo(date)));
    QCOMPARE(f.box->ValueFloat(), f.box->ValueDate());
    QCOMPARE(f.box->ValueInteger(), int(kDayZero.daysTo(date)));
    QCOMPARE(shown(), valid ? QStringList() : QStringList { "Date incorrect" });
}

void TestEditNValues::timeCheck_data()
{
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("valid");
    // The clock stands at 10:20:30.
    QTest::newRow("s: one digit") << true << "9"
                                  << "09:00:00" << true;
    QTest::newRow("s: three digits") << true << "153"
                                     << "15:03:00" << true;
    QTest::newRow("s: five digits") << true << "15304"
                                    << "15:30:04" << true;
    QTest::newRow("s: eight digits") << true << "12345678"
                                     << "12:34:56" << true;
    QTest::newRow("s: empty is now") << true << ""
                                     << "10:20:30" << true;
    QTest::newRow("s: hour 93") << true << "930"
                                << "10:20:30" << false;
    QTest::newRow("s: hour 24") << true << "2400"
                                << "10:20:30" << false;
    QTest::newRow("s: nine digits") << true << "123456789"
                                    << "10:20:30" << false;
    QTest::newRow("hm: four digits") << false << "1530"
                                     << "15:30" << true;
    QTest::newRow("hm: five digits") << false << "15304"
                                     << "15:30" << true;
    QTest::newRow("hm: one digit") << false << "6"
                                   << "06:00" << true;
    QTest::newRow("hm: empty is now") << false << ""
                                      << "10:20" << true;
    QTest::newRow("hm: minute 60") << false << "1060"
                                   << "10:20" << false;
    QTest::newRow("hm: six digits") << false << "123456"
                                    << "10:20" << false;
}

void TestEditNValues::timeCheck()
{
    QFETCH(bool, seconds);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(bool, valid);
    Form f;
    QVERIFY(f.ready());
    f.box->setEditType(etTime);
    f.box->setTimeSepChar(':');
    f.box->setTimeSeconds(seconds);
    f.box->setValueInteger(77);
    f.box->setText(input);
    f.enterAndLeave();
    QCOMPARE(f.box->text(), expected);
    const QTime time
        = valid ? QTime::fromString(expected, seconds ? "HH:mm:ss" : "HH:mm") : QTime(10, 20, 30);
    QVERIFY(time.isValid());
    QCOMPARE(f.box->ValueTime(), QTime(0, 0).secsTo(time) / 86400.0);
    QCOMPARE(f.box->ValueFloat(), f.box->ValueTime());
    QCOMPARE(f.box->ValueInteger(), 77);
    QCOMPARE(shown(), valid ? QStringList() : QStringList { "Time incorrect" });
}

QTEST_MAIN(TestEditNValues)
#include "tst_editn_values.moc"
