#include "app/OrderRules.h"
#include "platform/ErrorReport.h"

#include <QtTest>

class tst_OrderRules : public QObject
{
    Q_OBJECT
private slots:
    void periodText_data();
    void periodText();
    void subscriptionYear_data();
    void subscriptionYear();
    void monthsReadBack_data();
    void monthsReadBack();
    void amount_data();
    void amount();
    void amountOfBadMonthText();
};

void tst_OrderRules::periodText_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("text");
    QTest::newRow("april to december") << 2008 << 4 << 12 << "2008.04.01-12.31";
    QTest::newRow("may ends on 31") << 2024 << 1 << 5 << "2024.01.01-05.31";
    QTest::newRow("february 28 in a leap year") << 2024 << 2 << 2 << "2024.02.01-02.28";
    QTest::newRow("february 28 otherwise") << 2023 << 1 << 2 << "2023.01.01-02.28";
    QTest::newRow("thirty days") << 2009 << 10 << 11 << "2009.10.01-11.30";
}

void tst_OrderRules::periodText()
{
    QFETCH(int, year);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, text);
    const QString made = OrderRules::periodText(year, first, last);
    QCOMPARE(made, text);
    QCOMPARE(made.size(), 16);
}

void tst_OrderRules::subscriptionYear_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("year");
    QTest::newRow("january") << QDate(2008, 1, 1) << 2008;
    QTest::newRow("last of august") << QDate(2008, 8, 31) << 2008;
    QTest::newRow("first of september") << QDate(2008, 9, 1) << 2009;
    QTest::newRow("december") << QDate(2008, 12, 31) << 2009;
}

void tst_OrderRules::subscriptionYear()
{
    QFETCH(QDate, today);
    QFETCH(int, year);
    QCOMPARE(OrderRules::subscriptionYear(today), year);
}

void tst_OrderRules::monthsReadBack_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("leading zero dropped") << "2008.04.01-12.31" << "4" << "12";
    QTest::newRow("both single") << "2008.01.01-09.30" << "1" << "9";
    QTest::newRow("both double") << "2008.10.01-11.30" << "10" << "11";
    QTest::newRow("too short") << "2008" << "" << "";
}

void tst_OrderRules::monthsReadBack()
{
    QFETCH(QString, period);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QCOMPARE(OrderRules::firstMonthOf(period), first);
    QCOMPARE(OrderRules::lastMonthOf(period), last);
}

void tst_OrderRules::amount_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("copies");
    QTest::addColumn<double>("yearPrice");
    QTest::addColumn<double>("monthPrice");
    QTest::addColumn<double>("expected");
    QTest::newRow("full year") << "1" << "12" << 2 << 120.0 << 0.0 << 240.0;
    QTest::newRow("april on, no month price") << "4" << "12" << 2 << 120.0 << 0.0 << 180.0;
    QTest::newRow("month price wins for part of year") << "4" << "12" << 2 << 120.0 << 11.0 << 198.0;
    QTest::newRow("full year ignores month price") << "1" << "12" << 1 << 120.0 << 11.0 << 120.0;
    QTest::newRow("01 is not the full-year text") << "01" << "12" << 2 << 120.0 << 11.0 << 264.0;
    QTest::newRow("blanks around the full-year texts") << " 1" << "12 " << 3 << 100.0 << 9.0 << 300.0;
    // Prices whose results show the order of the operations: the full-year price is
    // divided by 12 first, then times the copies, then times the months; the monthly
    // price times the copies, then times the months.
    QTest::newRow("01 to 12 divides first") << "01" << "12" << 1 << 48.32 << 0.0 << 48.31999999999999;
    QTest::newRow("1 to 12 is the full-year price") << "1" << "12" << 1 << 48.32 << 0.0 << 48.32;
    QTest::newRow("copies before months") << "01" << "12" << 3 << 48.32 << 0.0 << 144.95999999999998;
    QTest::newRow("copies times months not grouped") << "4" << "12" << 3 << 10.1 << 0.0 << 22.724999999999998;
    QTest::newRow("full year, copies") << "1" << "12" << 3 << 48.32 << 0.0 << 144.96;
    QTest::newRow("month price, copies first") << "6" << "12" << 3 << 48.32 << 3.3 << 69.29999999999998;
    QTest::newRow("month price, months last") << "4" << "12" << 7 << 48.32 << 3.3 << 207.89999999999998;
}

void tst_OrderRules::amount()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(int, copies);
    QFETCH(double, yearPrice);
    QFETCH(double, monthPrice);
    QFETCH(double, expected);
    // Exactly: a fuzzy compare would let another order of the operations pass.
    const double actual = OrderRules::amount(first, last, copies, yearPrice, monthPrice);
    QCOMPARE(QString::number(actual, 'g', 17), QString::number(expected, 'g', 17));
}

void tst_OrderRules::amountOfBadMonthText()
{
    QVERIFY_THROWS_EXCEPTION(ConversionError, OrderRules::amount("x", "12", 1, 120.0, 0.0));
}

QTEST_APPLESS_MAIN(tst_OrderRules)
#include "tst_orderrules.moc"
