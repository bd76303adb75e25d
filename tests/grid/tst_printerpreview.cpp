#include "grid/PrinterPreview.h"
#include "platform/PrinterService.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {
// Records what the preview printer tells its view.
class RecordingView : public TPreviewView
{
public:
    void SetSheetCount(int count) override { sheetCount = count; }
    void SetCurrentSheet(int sheet) override { currentSheet = sheet; }
    void PrinterPreviewChanged() override { ++changed; }
    void OpenPreviewer() override { opens.append(sheetCount); }
    void LayoutPage() override { layouts.append(sheetCount); }
    void TakeRunHandlers(
        std::function<void()> pageSetup, std::function<void()>, void *gridPrinter) override
    {
        handedPageSetup = bool(pageSetup);
        handedGridPrinter = gridPrinter;
    }

    int sheetCount = -1;
    int currentSheet = -1;
    int changed = 0;
    QList<int> opens; // sheet count at each "open the previewer"
    QList<int> layouts; // sheet count at each "lay out again"
    bool handedPageSetup = false;
    void *handedGridPrinter = nullptr;
};
}

class TestPrinterPreview : public QObject
{
    Q_OBJECT
private slots:
    void init() { PrinterService::setInstance(&m_noPrinter); }
    void cleanup() { PrinterService::setInstance(nullptr); }

    void a4FallbackWithoutPrinter()
    {
        TPrinterPreview printer;
        QVERIFY(!printer.HasPrinter());
        QCOMPARE(printer.PrintableWidth(), 4676);
        QCOMPARE(printer.PrintableHeight(), 6744);
        QCOMPARE(printer.PaperWidth(), 4936);
        QCOMPARE(printer.PaperHeight(), 7044);
        QCOMPARE(printer.ResolutionX(), 600);
        QCOMPARE(printer.ResolutionY(), 600);
        QCOMPARE(printer.PrintableWidthMM(), 198.0);
        QCOMPARE(printer.PrintableHeightMM(), 285.0);
        QVERIFY(!printer.IsPrinting());
    }

    void jobCountersAndNotifications_data()
    {
        QTest::addColumn<int>("sheets");
        QTest::addColumn<QList<int>>("opens");
        QTest::addColumn<QList<int>>("layouts");
        // One sheet opens the previewer only at the end; longer runs open it as soon
        // as the second sheet begins (one sheet completed) and again at the end.
        QTest::newRow("one sheet") << 1 << QList<int> { 1 } << QList<int> { 1 };
        QTest::newRow("two sheets") << 2 << QList<int> { 1, 2 } << QList<int> { 1 };
        QTest::newRow("four sheets") << 4 << QList<int> { 1, 2, 3, 4 } << QList<int> { 1 };
    }
    void jobCountersAndNotifications()
    {
        QFETCH(int, sheets);
        QFETCH(QList<int>, opens);
        QFETCH(QList<int>, layouts);
        TPrinterPreview printer;
        RecordingView view;
        printer.SetView(&view);
        int token = 0;
        printer.setGridPrinter(&token);
        printer.setPageSetupHandler([] {});

        printer.StartJob();
        QVERIFY(printer.IsPrinting());
        QCOMPARE(printer.CurrentPage(), 1);
        QCOMPARE(view.sheetCount, 1);
        QCOMPARE(view.currentSheet, 1);
        QCOMPARE(view.changed, 1);
        QVERIFY(view.opens.isEmpty());
        QVERIFY(printer.PageCanvas());
        for (int n = 2; n <= sheets; ++n) {
            printer.StartPage();
            QCOMPARE(printer.CurrentPage(), n);
            QCOMPARE(view.sheetCount, n - 1);
            QCOMPARE(printer.RecordedPageCount(), n - 1);
        }
        QVERIFY(!view.handedGridPrinter);
        printer.FinishJob();
        QVERIFY(!printer.IsPrinting());
        QVERIFY(!printer.PageCanvas());
        QCOMPARE(printer.CurrentPage(), -1);
        QCOMPARE(view.sheetCount, sheets);
        QCOMPARE(printer.RecordedPageCount(), sheets);
        QCOMPARE(view.opens, opens);
        QCOMPARE(view.layouts, layouts);
        QCOMPARE(view.changed, sheets + 1);
        // The run's handlers go to the view and are cleared here.
        QCOMPARE(view.handedGridPrinter, static_cast<void *>(&token));
        QVERIFY(view.handedPageSetup);
        QVERIFY(!printer.gridPrinter());
    }

    void newJobDropsOldSheets()
    {
        TPrinterPreview printer;
        printer.StartJob();
        printer.StartPage();
        printer.StartPage();
        printer.FinishJob();
        QCOMPARE(printer.RecordedPageCount(), 3);
        printer.StartJob();
        QCOMPARE(printer.RecordedPageCount(), 0);
        printer.FinishJob();
        QCOMPARE(printer.RecordedPageCount(), 1);
    }

    void pagesOutsideAJobAreIgnored()
    {
        TPrinterPreview printer;
        RecordingView view;
        printer.SetView(&view);
        printer.StartPage();
        printer.FinishJob();
        QCOMPARE(view.changed, 0);
        QCOMPARE(printer.RecordedPageCount(), 0);
        QVERIFY(!printer.PageCanvas());
        QImage image(10, 10, QImage::Format_RGB32);
        QPainter painter(&image);
        printer.DrawRecordedPage(&painter, 1); // nothing recorded: draws nothing, no crash
    }

    void abortJob()
    {
        TPrinterPreview printer;
        printer.StartJob();
        QVERIFY(!printer.IsAborted());
        printer.AbortJob();
        QVERIFY(printer.IsAborted());
        QVERIFY(printer.IsPrinting()); // the run itself ends the job
        printer.FinishJob();
        QVERIFY(printer.IsAborted());
        printer.StartJob();
        QVERIFY(!printer.IsAborted());
        printer.FinishJob();
    }

    void fontsMeasureAtPrinterResolution()
    {
        TPrinterPreview printer;
        printer.StartJob();
        QPainter *canvas = printer.PageCanvas();
        QVERIFY(canvas);
        QCOMPARE(canvas->device()->logicalDpiY(), 600);
        QCOMPARE(canvas->device()->width(), 4676);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(9);
        canvas->setFont(font);
        QCOMPARE(QFontInfo(canvas->font()).pixelSize(), 75);
        QVERIFY(canvas->fontMetrics().height() >= 75);
        QCOMPARE(canvas->font().pointSize(), 9);
        printer.FinishJob();
    }

    // A sheet recorded at 600 dpi plays back at any scale with the drawing at the
    // proportional place, on a 96 dpi target and on a 600 dpi one.
    void playbackScales_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("targetDpi");
        QTest::newRow("tenth, screen") << 0.1 << 96;
        QTest::newRow("quarter, screen") << 0.25 << 96;
        QTest::newRow("recorded size, 600 dpi") << 1.0 << 600;
    }
    void playbackScales()
    {
        QFETCH(double, scale);
        QFETCH(int, targetDpi);
        TPrinterPreview printer;
        printer.StartJob();
        printer.PageCanvas()->fillRect(1000, 2000, 600, 400, Qt::black);
        printer.StartPage();
        printer.PageCanvas()->fillRect(3000, 100, 200, 200, Qt::black);
        printer.FinishJob();

        QImage image(int(4676 * scale) + 1, int(6744 * scale) + 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(targetDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(scale, scale);
            printer.DrawRecordedPage(&painter, 1);
        }
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        const QRect expected(
            qRound(1000 * scale), qRound(2000 * scale), qRound(600 * scale), qRound(400 * scale));
        QCOMPARE(ink, expected);
    }

    void printerStateComesFromTheDevice()
    {
        FixedPrinterService one({ QStringLiteral("Office") });
        PrinterService::setInstance(&one);
        TPrinterPreview printer;
        QVERIFY(printer.HasPrinter());
        QCOMPARE(printer.DeviceList(), QStringList { QStringLiteral("Office") });
        QCOMPARE(printer.DeviceIndex(), 0);
        // The figures are the device's own, with paper = printable + twice the offsets.
        QCOMPARE(printer.PaperWidth(), printer.PrintableWidth() + 2 * printer.OffsetX());
        QCOMPARE(printer.PaperHeight(), printer.PrintableHeight() + 2 * printer.OffsetY());
        QVERIFY(printer.PrintableWidth() > 0);
        QVERIFY(printer.OffsetX() >= 0 && printer.OffsetY() >= 0);
        QVERIFY(printer.PaperWidth() >= printer.PrintableWidth());
        QVERIFY(printer.PaperHeight() >= printer.PrintableHeight());
    }

    void landscapeFallbackTurnsTheSheet()
    {
        TPrinterPreview printer;
        printer.SetPaperOrientation(QPageLayout::Landscape);
        QCOMPARE(printer.PrintableWidth(), 6744);
        QCOMPARE(printer.PrintableHeight(), 4676);
        QCOMPARE(printer.PaperWidth(), 7044);
        QCOMPARE(printer.PaperHeight(), 4936);
    }

private:
    FixedPrinterService m_noPrinter;
};

QTEST_MAIN(TestPrinterPreview)
#include "tst_printerpreview.moc"
