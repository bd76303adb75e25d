#include "grid/PreviewForm.h"
#include "platform/PrinterService.h"
#include "support/FakeDialogService.h"

#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
void recordSheets(TPrinterPreview *printer, int sheets)
{
    printer->StartJob();
    for (int n = 1; n <= sheets; ++n) {
        if (n > 1)
            printer->StartPage();
        printer->PageCanvas()->drawText(200, 200, QString::number(n));
    }
    printer->FinishJob();
}
}

class TestPreviewForm : public QObject
{
    Q_OBJECT
private slots:
    void init() { PrinterService::setInstance(&m_printers); m_printers.setNames({}); }
    void cleanup() { PrinterService::setInstance(nullptr); }

    void oneSheet()
    {
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        QCOMPARE(form.windowTitle(), QStringLiteral("Preview"));
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 1 of 0"));
        printer->SetJobTitle(QStringLiteral("Tabular information"));
        recordSheets(printer, 1);
        QVERIFY(form.isVisible());    // a one-sheet run opens the window at its end
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 1 of 1"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Preview - Tabular information"));
        QVERIFY(!form.tbtPrevPage->isEnabled());
        QVERIFY(!form.tbtNextPage->isEnabled());
        QVERIFY(!form.tbStop->isEnabled());
        QVERIFY(form.tbClose->isEnabled());
        QVERIFY(!form.tbtPrint->isEnabled());    // no printer installed
        QVERIFY(!form.tbtPrinterSetupDialog->isEnabled());
        QVERIFY(form.ScaleItems.at(9)->isChecked());
    }

    void enableRulesThroughARun()
    {
        m_printers.setNames({QStringLiteral("Office")});
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        int setupCalls = 0;
        int grid = 0;
        printer->setPageSetupHandler([&] { ++setupCalls; });
        printer->setGridPrinter(&grid);
        printer->StartJob();
        QVERIFY(!form.isVisible());
        QVERIFY(form.tbStop->isEnabled());
        QVERIFY(!form.tbClose->isEnabled());
        QVERIFY(!form.tbtPrint->isEnabled());
        printer->StartPage();
        QVERIFY(form.isVisible());    // the second sheet brings the window up
        printer->StartPage();
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 1 of 2"));
        QVERIFY(form.tbtNextPage->isEnabled());
        QVERIFY(!form.tbtPrinterSetupDialog->isEnabled());
        printer->FinishJob();
        QVERIFY(!form.tbStop->isEnabled());
        QVERIFY(form.tbClose->isEnabled());
        QVERIFY(form.tbtPrint->isEnabled());
        QVERIFY(form.tbtPrinterSetupDialog->isEnabled());

        form.tbtNextPage->click();
        form.tbtNextPage->click();
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 3 of 3"));
        QVERIFY(form.tbtPrevPage->isEnabled());
        QVERIFY(!form.tbtNextPage->isEnabled());
        form.PreviewBox()->GoToSheet(99);    // clamped
        QCOMPARE(form.PreviewBox()->CurrentSheet(), 3);

        form.tbtPrinterSetupDialog->click();
        QCOMPARE(setupCalls, 1);
    }

    void zoomLayout_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRect>("page");
        QTest::addColumn<int>("percent");
        // A4 fallback on an 800 x 600 box at 96 dpi: 100% is 4676 x 96 / 600 = 748 wide.
        QTest::newRow("100%") << 3 << QRect(26, 8, 748, 1076) << 100;
        QTest::newRow("10%") << 7 << QRect(363, 247, 74, 106) << 10;
        QTest::newRow("500%") << 0 << QRect(8, 8, 3740, 5383) << 500;
        QTest::newRow("whole page") << 9 << QRect(197, 8, 405, 584) << 100;
    }
    void zoomLayout()
    {
        QFETCH(int, mode);
        QFETCH(QRect, page);
        QFETCH(int, percent);
        TPreviewBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(800, 600);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.SetZoomMode(mode);
        QCOMPARE(box.PageRect(), page);
        QCOMPARE(box.ZoomPercent(), percent);
        QCOMPARE(box.ShadowPanel()->geometry(), page.translated(4, 4));
    }

    void pageWidthLayout()
    {
        TPreviewBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(800, 600);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.SetZoomMode(8);
        const int bar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
        const int w = 800 - bar - 20;
        QCOMPARE(box.PageRect(), QRect(8, 8, w, w * 285 / 198));
        QCOMPARE(box.ZoomPercent(), w * 100 * 600 / (4676 * 96));
        QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
        QVERIFY(box.verticalScrollBar()->maximum() > 0);
    }

    void clickZoomsAroundThePointAndBack()
    {
        TPreviewBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(800, 600);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        recordSheets(box.Printer(), 1);
        QCOMPARE(box.ZoomMode(), 9);
        const QRect before = box.PageRect();
        const QPoint point(300, 300);    // in the page, far enough from the edges to scroll to
        QTest::mouseClick(box.PagePanel(), Qt::LeftButton, {}, point);
        QCOMPARE(box.ZoomMode(), 2);
        QCOMPARE(box.ZoomPercent(), 150);
        // The same spot of the sheet is still under the mouse.
        const QRect after = box.PageRect();
        const QPoint spot = after.topLeft()
                            + QPoint(point.x() * after.width() / before.width(),
                                     point.y() * after.height() / before.height());
        const QPoint mouse = before.topLeft() + point;
        QVERIFY2((spot - mouse).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(spot.x()).arg(spot.y())));
        QTest::mouseClick(box.PagePanel(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(box.ZoomMode(), 9);
        QCOMPARE(box.PageRect(), before);
    }

    void wheelTurnsSheetsWhenThePageFits()
    {
        TPreviewBox box;
        box.resize(800, 600);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        recordSheets(box.Printer(), 3);
        QWheelEvent down(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -120), Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(box.viewport(), &down);
        QCOMPARE(box.CurrentSheet(), 2);
        box.SetZoomMode(3);    // taller than the box: the wheel scrolls instead
        QApplication::sendEvent(box.viewport(), &down);
        QCOMPARE(box.CurrentSheet(), 2);
        QVERIFY(box.verticalScrollBar()->value() > 0);
    }

    void closeDuringARunClosesAfterIt()
    {
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        printer->StartJob();
        printer->StartPage();
        QVERIFY(form.isVisible());
        form.close();
        QVERIFY(form.isVisible());
        QVERIFY(printer->IsAborted());
        printer->FinishJob();
        QVERIFY(!form.isVisible());
    }

    void escapeStopsARunThenCloses()
    {
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        printer->StartJob();
        printer->StartPage();
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(printer->IsAborted());
        QVERIFY(form.isVisible());
        printer->FinishJob();
        QVERIFY(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void printRangeSendsOnlyThoseSheets()
    {
        m_printers.setNames({QStringLiteral("Office")});
        FakeDialogService dialogs;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        dialogs.printAccept = true;
        dialogs.printFrom = 2;
        dialogs.printTo = 3;
        dialogs.onPrint = [&](QPrinter *printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
        };
        TPreviewForm form;
        recordSheets(form.PreviewBox()->Printer(), 5);
        QVERIFY(form.tbtPrint->isEnabled());
        form.tbtPrint->click();
        QCOMPARE(dialogs.printRequests.size(), 1);
        QCOMPARE(dialogs.printRequests.at(0).fromPage, 1);
        QCOMPARE(dialogs.printRequests.at(0).toPage, 5);
        QVERIFY(dialogs.messages.isEmpty());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromLatin1(file.readAll());
        QCOMPARE(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 2);
    }

    void printCancelledSendsNothing()
    {
        m_printers.setNames({QStringLiteral("Office")});
        FakeDialogService dialogs;    // cancels the print dialog
        TPreviewForm form;
        recordSheets(form.PreviewBox()->Printer(), 2);
        form.tbtPrint->click();
        QCOMPARE(dialogs.printRequests.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void previewPrinterIsOneHiddenWindow()
    {
        TPrinterPreview *printer = PreviewPrinter();
        QVERIFY(printer);
        QCOMPARE(PreviewPrinter(), printer);
        QVERIFY(printer->View());
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TPreviewForm *>(w))
                QVERIFY(!w->isVisible());
    }

private:
    FixedPrinterService m_printers;
};

QTEST_MAIN(TestPreviewForm)
#include "tst_previewform.moc"
