#include "support/MainFixture.h"

#include "app/data/Query.h"
#include "controls/GlgBtn.h"
#include "grid/GridPrinter.h"
#include "grid/PageSetupDialog.h"
#include "grid/PreviewForm.h"
#include "grid/PrinterPreview.h"
#include "grid/RecordGrid.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

// "打印": the common start, the page header it composes and the sheets it records.
class tst_Print : public QObject
{
    Q_OBJECT
private slots:
    void header_data();
    void header();
    void noLinesNoRun();
    void printerSettings();
};

namespace {
void addCustomer(
    TestDatabase &db, const QString &name, const QString &address, const QString &phone)
{
    db.execute(
        QStringLiteral("insert into KH values ('%1', '%2', '%3')").arg(name, address, phone));
}
} // namespace

void tst_Print::header_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("customer");
    QTest::addColumn<QString>("title");
    QTest::newRow("page 0") << 0 << QStringList { "某公司", "北京路1号", "123" }
                            << "报刊订阅清单（邮发报刊）";
    QTest::newRow("page 2") << 2 << QStringList { "某公司", "北京路1号", "123" }
                            << "报刊订阅清单（涉外报刊）";
    // Stored with blanks outside the program: printed as they are.
    QTest::newRow("blanks kept") << 1 << QStringList { " 甲 ", "路 ", " 1" }
                                 << "报刊订阅清单（自办发行报刊）";
}

void tst_Print::header()
{
    QFETCH(int, page);
    QFETCH(QStringList, customer);
    QFETCH(QString, title);
    TestDatabase db;
    db.fillSample();
    for (int i = 0; i < 3; ++i)
        db.addOrder(page, QStringLiteral("%1-1").arg(i + 1), 2, 240);
    addCustomer(db, customer[0], customer[1], customer[2]);
    MainFixture f(db);
    f.start();
    TfMain &w = *f.main;
    w.PageControl1->setCurrentIndex(page);
    w.OrderPrinter->PageHeader.CenterText = QStringList { "上次的标题" };
    w.qOrder->setRecNo(2);
    w.GlgBtn5->click();

    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(f.dialogs.modalCount, 0);
    const TPageColontitle &h = w.OrderPrinter->PageHeader;
    QCOMPARE(h.CenterText, QStringList { title });
    QCOMPARE(h.LeftText,
        (QStringList { "", "客户名称：" + customer[0], "客户地址：" + customer[1],
            "联系电话：" + customer[2] }));
    QVERIFY(h.RightText.isEmpty());
    QCOMPARE(h.Font.family(), QStringLiteral("Tahoma"));
    QCOMPARE(h.Font.pixelSize(), 11);
    QCOMPARE(w.OrderPrinter->Units(), MM);
    QCOMPARE(w.OrderPrinter->Page.LeftMargin, qint64(20000));

    // The list went into the preview printer, and the grid is back where it was.
    TPrinterPreview *preview = PreviewPrinter();
    QCOMPARE(preview->RecordedPageCount(), 1);
    QVERIFY(!preview->IsPrinting());
    QCOMPARE(preview->JobTitle(), QStringLiteral("Tabular information"));
    QCOMPARE(w.qOrder->recNo(), 2);
    QVERIFY(!w.qOrder->controlsDisabled());
}

void tst_Print::noLinesNoRun()
{
    TestDatabase db;
    db.fillSample();
    db.addOrder(1, "1-1", 2, 240); // not on page 0
    addCustomer(db, "某公司", "北京路1号", "123");
    MainFixture f(db);
    f.start();
    f.main->GlgBtn5->click();

    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("温馨提示：没有订阅资料"));
    QVERIFY(f.main->OrderPrinter->PageHeader.CenterText.isEmpty());
    QVERIFY(f.main->OrderPrinter->PageHeader.LeftText.isEmpty());
}

// The page-setup dialog of the preview edits the printer's settings; a margin that is
// not a number is refused and changes nothing.
void tst_Print::printerSettings()
{
    TestDatabase db;
    db.fillSample();
    MainFixture f(db);
    TGridPrinter *p = f.main->OrderPrinter;
    QStringList shown;
    const auto answer = [&](const QString &top, bool colored, int result) {
        return [&shown, top, colored, result](QDialog *d) {
            auto *s = qobject_cast<TPageSetupDialog *>(d);
            if (!s)
                return int(IdCancel);
            shown << s->TopEdit->text() + "/" + s->LeftEdit->text();
            s->TopEdit->setText(top);
            s->Colored->setChecked(colored);
            s->FitWidth->setChecked(true);
            s->ChangeWidths->setChecked(true);
            s->FontName->setText("SimSun");
            return result;
        };
    };
    f.dialogs.onModal = answer("1.5", true, IdCancel);
    QVERIFY(!p->EditPageSetup());
    QCOMPARE(p->Page.TopMargin, qint64(20000));
    QCOMPARE(p->Options, 0);

    f.dialogs.onModal = answer("abc", true, IdOk);
    QVERIFY(!p->EditPageSetup());
    QCOMPARE(p->Page.TopMargin, qint64(20000));
    QCOMPARE(p->PrintFontName, QString());

    f.dialogs.onModal = answer("1.23456", true, IdOk);
    QVERIFY(p->EditPageSetup());
    QCOMPARE(p->Page.TopMargin, qint64(12346));
    QCOMPARE(p->Page.LeftMargin, qint64(20000));
    QCOMPARE(p->Options, gpColored | gpFitGridToPageWidth | gpFitByColWidths);
    QCOMPARE(p->PrintFontName, QStringLiteral("SimSun"));
    // The dialog shows the margins in general number format.
    QCOMPARE(shown, (QStringList { "2/2", "2/2", "2/2" }));
}

QTEST_MAIN(tst_Print)
#include "tst_print.moc"
