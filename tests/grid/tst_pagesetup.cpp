#include "GridTestDb.h"

#include "grid/GridPrinter.h"
#include "grid/PageSetupDialog.h"
#include "grid/PreviewForm.h"
#include "grid/PrinterPreview.h"
#include "grid/RecordGrid.h"
#include "platform/PrinterService.h"
#include "support/FakeDialogService.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The page-setup dialog of the preview: its printer set-up and its margin checks.
// The program's preview printer is made once, here with two printers installed.
class TestPageSetup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        PrinterService::setInstance(&m_printers);
        QVERIFY(PreviewPrinter()->HasPrinter());
    }
    void cleanupTestCase() { PrinterService::setInstance(nullptr); }

    void printerSetupChangesPaperAndDrawsAgain()
    {
        GridTestDb db({ "create table t (code TEXT)",
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 30) "
            "insert into t select 'c' || i from n" });
        auto q = db.query("select * from t");
        TRecordGrid grid;
        grid.setDataSet(q.get());
        grid.addColumn("code", "报刊代号", 80);
        TGridPrinter printer;
        printer.SetGrid(&grid);
        int runs = 0;
        printer.OnBeforePrint = [&] { ++runs; };
        printer.ShowPreview();
        QCOMPARE(runs, 1);
        TPrinterPreview *preview = PreviewPrinter();
        QVERIFY(preview->PrintableHeight() > preview->PrintableWidth());

        FakeDialogService dialogs;
        bool enabled = false;
        dialogs.onModal = [&](QDialog *d) {
            auto *setup = qobject_cast<TPageSetupDialog *>(d);
            if (!setup)
                return int(IdCancel);
            enabled = setup->PrinterSetup->isEnabled();
            setup->PrinterSetup->click();
            return int(IdCancel); // the page setup itself is cancelled
        };
        dialogs.onPrinterSetup = [](DialogService::PrinterSetup *s) {
            s->printer = 1;
            s->paper = QPageSize(QPageSize::A5);
            s->orientation = QPageLayout::Landscape;
            return true;
        };
        auto *box = dynamic_cast<TPreviewBox *>(preview->View());
        QVERIFY(box);
        box->RunPageSetup();

        QVERIFY(enabled);
        QCOMPARE(dialogs.printerSetups.size(), 1);
        QCOMPARE(dialogs.printerSetups.at(0).printers, m_printers.printerNames());
        QCOMPARE(dialogs.printerSetups.at(0).printer, 0);
        QVERIFY(dialogs.printRequests.isEmpty()); // nothing printed
        QCOMPARE(preview->DeviceIndex(), 1);
        QCOMPARE(preview->PaperOrientation(), QPageLayout::Landscape);
        // Laid out again on the new paper: A5 across.
        QCOMPARE(runs, 2);
        QVERIFY(preview->PrintableWidth() > preview->PrintableHeight());
        QVERIFY(qAbs(preview->PaperWidth() * 25.4 / preview->ResolutionX() - 210) < 3);
        QVERIFY(qAbs(preview->PaperHeight() * 25.4 / preview->ResolutionY() - 148) < 3);
    }

    void marginCheckedWhenLeft_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("number") << "12.5" << true;
        QTest::newRow("not a number") << "1x" << false;
        QTest::newRow("empty") << "" << false;
    }

    void marginCheckedWhenLeft()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        FakeDialogService dialogs;
        TPageSetupDialog dialog;
        for (QLineEdit *e :
            { dialog.TopEdit, dialog.BottomEdit, dialog.LeftEdit, dialog.RightEdit })
            e->setText(QStringLiteral("10"));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.LeftEdit->setFocus();
        dialog.LeftEdit->setText(text);
        dialog.RightEdit->setFocus(Qt::TabFocusReason);
        if (accepted) {
            QVERIFY(dialogs.messages.isEmpty());
            QCOMPARE(QApplication::focusWidget(), dialog.RightEdit);
        } else {
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages.at(0).text,
                QStringLiteral("'%1' is not a valid floating point value").arg(text));
            QCOMPARE(QApplication::focusWidget(), dialog.LeftEdit);
        }
    }

private:
    FixedPrinterService m_printers { { QStringLiteral("Office"), QStringLiteral("Back office") } };
};

QTEST_MAIN(TestPageSetup)
#include "tst_pagesetup.moc"
