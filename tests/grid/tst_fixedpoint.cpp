#include "grid/FixedPoint.h"
#include "grid/NumberFormat.h"

#include <QTest>
#include <limits>

class TestFixedPoint : public QObject
{
    Q_OBJECT
private slots:
    void addRoundsHalfToEven_data();
    void addRoundsHalfToEven();
    void saturatesAndIgnoresNaN();
    void formatGeneral_data();
    void formatGeneral();
    void formatInteger();
    void numberMask_data();
    void numberMask();
};

void TestFixedPoint::addRoundsHalfToEven_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("0.125+0.125") << QList<double> { 0.125, 0.125 } << qint64(2500);
    QTest::newRow("1.23456") << QList<double> { 1.23456 } << qint64(12346);
    // Exact ties: 1/32 x 10000 = 312.5 rounds to 312, 3/32 -> 937.5 -> 938.
    QTest::newRow("half to even down") << QList<double> { 0.03125 } << qint64(312);
    QTest::newRow("half to even up") << QList<double> { 0.09375 } << qint64(938);
    QTest::newRow("three tenths") << QList<double> { 0.1, 0.1, 0.1 } << qint64(3000);
    QTest::newRow("negative") << QList<double> { -1.23456, 0.5 } << qint64(-7346);
    // Rounding is of the running total, so the parity of the total decides ties.
    QTest::newRow("tie after whole") << QList<double> { 0.0001, 0.03125 } << qint64(314);
}

void TestFixedPoint::addRoundsHalfToEven()
{
    QFETCH(QList<double>, values);
    QFETCH(qint64, expected);
    qint64 total = 0;
    for (double v : values)
        total = FixedPoint::add(total, v);
    QCOMPARE(total, expected);
}

void TestFixedPoint::saturatesAndIgnoresNaN()
{
    QCOMPARE(FixedPoint::add(5, std::numeric_limits<double>::quiet_NaN()), qint64(5));
    QCOMPARE(FixedPoint::add(0, 1e300), std::numeric_limits<qint64>::max());
    QCOMPARE(FixedPoint::add(0, -std::numeric_limits<double>::infinity()),
        std::numeric_limits<qint64>::min());
    QCOMPARE(FixedPoint::divide(25000, 2), qint64(12500));
    QCOMPARE(FixedPoint::divide(5, 2), qint64(2)); // 2.5 -> 2
    QCOMPARE(FixedPoint::divide(7, 2), qint64(4)); // 3.5 -> 4
    QCOMPARE(FixedPoint::divide(7, 0), qint64(0));
}

void TestFixedPoint::formatGeneral_data()
{
    QTest::addColumn<qint64>("fixed");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << 15 << "0";
    QTest::newRow("12.5") << qint64(125000) << 15 << "12.5";
    QTest::newRow("whole") << qint64(1230000) << 15 << "123";
    QTest::newRow("four decimals") << qint64(12345678) << 15 << "1234.5678";
    QTest::newRow("small") << qint64(1) << 15 << "0.0001";
    QTest::newRow("negative") << qint64(-2500) << 15 << "-0.25";
    QTest::newRow("rounded to precision") << qint64(12345678) << 6 << "1234.57";
    QTest::newRow("carry") << qint64(99999999) << 4 << "1E4";
    QTest::newRow("exponent form") << qint64(1500000000000000000) << 10 << "1.5E14";
    QTest::newRow("16 digits") << qint64(10000000000000000) << 15 << "1000000000000";
}

void TestFixedPoint::formatGeneral()
{
    QFETCH(qint64, fixed);
    QFETCH(int, precision);
    QFETCH(QString, text);
    QCOMPARE(FixedPoint::formatGeneral(fixed, precision), text);
}

void TestFixedPoint::formatInteger()
{
    QCOMPARE(FixedPoint::formatInteger(70000), QStringLiteral("7"));
    QCOMPARE(FixedPoint::formatInteger(0), QStringLiteral("0"));
    QCOMPARE(FixedPoint::formatInteger(-30000), QStringLiteral("-3"));
}

void TestFixedPoint::numberMask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("two decimals") << "0.00" << 12.5 << "12.50";
    QTest::newRow("rounds") << "0.00" << 1.005001 << "1.01";
    QTest::newRow("negative") << "0.00" << -3.0 << "-3.00";
    QTest::newRow("negative rounds to zero") << "0.00" << -0.001 << "0.00";
    QTest::newRow("optional digits") << "0.##" << 2.5 << "2.5";
    QTest::newRow("thousands") << "#,##0.00" << 1234567.891 << "1,234,567.89";
    QTest::newRow("literal") << "0 '份'" << 3.0 << "3 份";
    QTest::newRow("sections") << "0.0;(0.0);zero" << -2.0 << "(2.0)";
    QTest::newRow("zero section") << "0.0;(0.0);'zero'" << 0.0 << "zero";
    QTest::newRow("no integer digit") << "#.00" << 0.5 << ".50";
}

void TestFixedPoint::numberMask()
{
    QFETCH(QString, mask);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatNumberMask(mask, value), text);
}

QTEST_APPLESS_MAIN(TestFixedPoint)
#include "tst_fixedpoint.moc"
