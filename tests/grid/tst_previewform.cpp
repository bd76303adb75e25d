#include "GridTestDb.h"

#include "grid/GridPrinter.h"
#include "grid/PreviewForm.h"
#include "grid/RecordGrid.h"
#include "platform/PrinterService.h"
#include "support/FakeDialogService.h"

#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

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

// Runs a tool and returns what it printed; empty when it is not installed.
QString toolOutput(const QString &tool, const QStringList &args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return {};
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A small order list of `rows` lines with a page header, drawn into `printer`.
struct OrderRun
{
    GridTestDb db;
    std::unique_ptr<Query> q;
    TRecordGrid grid;
    TGridPrinter printer;

    explicit OrderRun(int rows)
        : db(QStringList { "create table t (code TEXT, copies INTEGER)",
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                           "where i < %1) insert into t select 'c' || i, 1 from n")
                .arg(rows) })
    {
        q = db.query("select * from t");
        grid.setDataSet(q.get());
        TGridColumn *code = grid.addColumn("code", "报刊代号", 80);
        grid.addColumn("copies", "份数", 50)->footer()->setValueType(fvtSum);
        grid.setFooterRowCount(1);
        code->footer()->setValueType(fvtStaticText);
        code->footer()->setValue("合计");
        printer.SetGrid(&grid);
        printer.PageHeader.CenterText = QStringList { QStringLiteral("报刊订阅清单（邮发报刊）") };
    }
};

// A print system with one printer that counts how often it is asked.
class CountingPrinterService : public PrinterService
{
public:
    QStringList printerNames() const override
    {
        ++queries;
        return { QStringLiteral("Office") };
    }
    int defaultIndex() const override
    {
        ++queries;
        return 0;
    }
    mutable int queries = 0;
};

QList<QToolButton *> toolbarButtons(const TPreviewForm &form)
{
    return { form.tbtPrint, form.tbtPdf, form.tbtPrinterSetupDialog, form.tbtScale,
        form.tbtPrevPage, form.tbtNextPage, form.tbStop, form.tbClose };
}

// Drags the handle of the splitter's second pane with the mouse until the first pane
// is `height` pixels tall.
void dragSplitter(QSplitter *splitter, int height)
{
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    const QPoint from = handle->pos() + grip;
    const QPoint to(from.x(), height + grip.y());
    auto send = [&](QEvent::Type type, const QPoint &inSplitter, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(inSplitter - handle->pos()),
            QPointF(splitter->mapToGlobal(inSplitter)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}
}

Q_DECLARE_METATYPE(TToolbarLook)

class TestPreviewForm : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        PrinterService::setInstance(&m_printers);
        m_printers.setNames({});
    }
    void cleanup() { PrinterService::setInstance(nullptr); }

    void oneSheet()
    {
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        QCOMPARE(form.windowTitle(), QStringLiteral("Preview"));
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 1 of 0"));
        printer->SetJobTitle(QStringLiteral("Tabular information"));
        recordSheets(printer, 1);
        QVERIFY(form.isVisible()); // a one-sheet run opens the window at its end
        QCOMPARE(form.stbMain->text(), QStringLiteral("Page 1 of 1"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Preview - Tabular information"));
        QVERIFY(!form.tbtPrevPage->isEnabled());
        QVERIFY(!form.tbtNextPage->isEnabled());
        QVERIFY(!form.tbStop->isEnabled());
        QVERIFY(form.tbClose->isEnabled());
        QVERIFY(!form.tbtPrint->isEnabled()); // no printer installed
        QVERIFY(!form.tbtPrinterSetupDialog->isEnabled());
        QVERIFY(form.ScaleItems.at(9)->isChecked());
    }

    void enableRulesThroughARun()
    {
        m_printers.setNames({ QStringLiteral("Office") });
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
        QVERIFY(form.isVisible()); // the second sheet brings the window up
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
        form.PreviewBox()->GoToSheet(99); // clamped
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

    void clickZoomsAroundThePointAndBack_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("point");
        QTest::newRow("small box") << QSize(800, 600) << QPoint(300, 300);
        // The box of a window maximised on a 1280 x 800 screen: the zoomed page is
        // narrower than the box, so only the vertical scroll bar comes up.
        QTest::newRow("maximised, upper left") << QSize(1280, 720) << QPoint(120, 200);
        QTest::newRow("maximised, lower right") << QSize(1280, 720) << QPoint(400, 600);
    }

    void clickZoomsAroundThePointAndBack()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, point);
        TPreviewBox box;
        box.setFrameShape(QFrame::NoFrame);
        box.resize(size);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        recordSheets(box.Printer(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(box.ZoomMode(), 9);
        const QRect before = box.PageRect();
        QVERIFY(before.contains(before.topLeft() + point));
        QTest::mouseClick(box.PagePanel(), Qt::LeftButton, {}, point);
        QCoreApplication::processEvents(); // the scroll bars come up
        QCOMPARE(box.ZoomMode(), 2);
        QCOMPARE(box.ZoomPercent(), 150);
        // The same spot of the sheet is still under the mouse.
        const QRect after = box.PageRect();
        const QPoint spot = after.topLeft()
            + QPoint(point.x() * after.width() / before.width(),
                point.y() * after.height() / before.height());
        const QPoint mouse = before.topLeft() + point;
        QVERIFY2((spot - mouse).manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1,%2 for %3,%4")
                           .arg(spot.x())
                           .arg(spot.y())
                           .arg(mouse.x())
                           .arg(mouse.y())));
        QTest::mouseClick(box.PagePanel(), Qt::LeftButton, {}, QPoint(10, 10));
        QCoreApplication::processEvents();
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
        box.SetZoomMode(3); // taller than the box: the wheel scrolls instead
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
        m_printers.setNames({ QStringLiteral("Office") });
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
        m_printers.setNames({ QStringLiteral("Office") });
        FakeDialogService dialogs; // cancels the print dialog
        TPreviewForm form;
        recordSheets(form.PreviewBox()->Printer(), 2);
        form.tbtPrint->click();
        QCOMPARE(dialogs.printRequests.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void printSystemAskedOncePerPrinter()
    {
        CountingPrinterService counting;
        PrinterService::setInstance(&counting);
        TPreviewForm form;
        TPrinterPreview *printer = form.PreviewBox()->Printer();
        QVERIFY(printer->HasPrinter());
        const int made = counting.queries;
        auto runAndPaint = [&](int sheets) {
            const int before = counting.queries;
            recordSheets(printer, sheets);
            for (int n = 1; n <= sheets; ++n) {
                form.PreviewBox()->GoToSheet(n);
                form.grab();
            }
            return counting.queries - before;
        };
        const int one = runAndPaint(1);
        const int many = runAndPaint(12);
        QCOMPARE(many, one);
        QCOMPARE(counting.queries, made);
    }

    void pdfOfARun()
    {
        FakeDialogService dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("订单.pdf"));
        dialogs.saveAnswer = path;
        TPreviewForm form;
        form.PdfFileName = QStringLiteral("某公司（邮发报刊）.pdf");
        QVERIFY(!form.tbtPdf->isEnabled()); // nothing recorded yet
        OrderRun run(160);
        run.printer.RenderTo(form.PreviewBox()->Printer());
        const int sheets = form.PreviewBox()->Printer()->RecordedPageCount();
        QVERIFY(sheets >= 3);
        QVERIFY(!form.tbtPrint->isEnabled()); // no printer, yet a file can be had
        QVERIFY(form.tbtPdf->isEnabled());
        QCOMPARE(form.tbtPdf->toolTip(), QStringLiteral("Save as PDF"));
        form.tbtPdf->click();
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));
        QCOMPARE(dialogs.saveRequests.size(), 1);
        QCOMPARE(dialogs.saveRequests.at(0).fileName, form.PdfFileName);
        QCOMPARE(dialogs.saveRequests.at(0).defaultSuffix, QStringLiteral("pdf"));
        QVERIFY(QFile::exists(path));

        const QString info = toolOutput(QStringLiteral("pdfinfo"), { path });
        if (info.isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(sheets))),
            qPrintable(info));
        // A4 without a printer: 210 x 297 mm.
        const QRegularExpressionMatch size
            = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                  .match(info);
        QVERIFY2(size.hasMatch(), qPrintable(info));
        QVERIFY(qAbs(size.captured(1).toDouble() - 210 * 72 / 25.4) < 1.0);
        QVERIFY(qAbs(size.captured(2).toDouble() - 297 * 72 / 25.4) < 1.0);
        const QString text = toolOutput(QStringLiteral("pdftotext"), { path, QStringLiteral("-") });
        QCOMPARE(text.count(QStringLiteral("报刊订阅清单（邮发报刊）")), sheets);
        QVERIFY(text.contains(QStringLiteral("合计")));
        QVERIFY(text.contains(QStringLiteral("c160")));
        const QString fonts = toolOutput(QStringLiteral("pdffonts"), { path });
        QVERIFY2(!fonts.contains(
                     QRegularExpression(QStringLiteral("\\bno\\s+(no|yes)\\s+(no|yes)\\s+\\d+"))),
            qPrintable(fonts)); // every font embedded
    }

    void failedPdfKeepsOlderFile()
    {
        FakeDialogService dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("订单.pdf"));
        const QByteArray older = "%PDF an older file";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(older);
        }
        dialogs.saveAnswer = path;
        TPreviewForm form;
        OrderRun run(40);
        run.printer.RenderTo(form.PreviewBox()->Printer());
        {
            // Writes past 2000 bytes fail, as on a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit old {};
            getrlimit(RLIMIT_FSIZE, &old);
            rlimit small = old;
            small.rlim_cur = 2000;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            form.tbtPdf->click();
            setrlimit(RLIMIT_FSIZE, &old);
        }
        QCOMPARE(dialogs.messages.size(), 1); // the general error report
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), older);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("订单.pdf") });
    }

    void toolbarLookForHeight_data()
    {
        QTest::addColumn<TToolbarLook>("current");
        QTest::addColumn<int>("height");
        QTest::addColumn<TToolbarLook>("expected");
        // Rising from captions only.
        QTest::newRow("captions 24") << tlCaptions << 24 << tlCaptions;
        QTest::newRow("captions 25") << tlCaptions << 25 << tlCaptions;
        QTest::newRow("captions 40") << tlCaptions << 40 << tlCaptions;
        QTest::newRow("captions 41") << tlCaptions << 41 << tlImages;
        QTest::newRow("captions 54") << tlCaptions << 54 << tlImages;
        QTest::newRow("captions 55, a jump") << tlCaptions << 55 << tlImagesAndCaptions;
        // Images only hold from 25 to 54.
        QTest::newRow("images 24") << tlImages << 24 << tlCaptions;
        QTest::newRow("images 25") << tlImages << 25 << tlImages;
        QTest::newRow("images 40") << tlImages << 40 << tlImages;
        QTest::newRow("images 41") << tlImages << 41 << tlImages;
        QTest::newRow("images 42") << tlImages << 42 << tlImages;
        QTest::newRow("images 54") << tlImages << 54 << tlImages;
        QTest::newRow("images 55") << tlImages << 55 << tlImagesAndCaptions;
        // Falling from images with captions.
        QTest::newRow("both 55") << tlImagesAndCaptions << 55 << tlImagesAndCaptions;
        QTest::newRow("both 54") << tlImagesAndCaptions << 54 << tlImagesAndCaptions;
        QTest::newRow("both 42") << tlImagesAndCaptions << 42 << tlImagesAndCaptions;
        QTest::newRow("both 41") << tlImagesAndCaptions << 41 << tlImages;
        QTest::newRow("both 25") << tlImagesAndCaptions << 25 << tlImages;
        QTest::newRow("both 24, a jump") << tlImagesAndCaptions << 24 << tlCaptions;
        // Far outside the thresholds.
        QTest::newRow("captions 0") << tlCaptions << 0 << tlCaptions;
        QTest::newRow("both -5") << tlImagesAndCaptions << -5 << tlCaptions;
        QTest::newRow("images 600") << tlImages << 600 << tlImagesAndCaptions;
    }
    void toolbarLookForHeight()
    {
        QFETCH(TToolbarLook, current);
        QFETCH(int, height);
        QFETCH(TToolbarLook, expected);
        QCOMPARE(ToolbarLookForHeight(current, height), expected);
    }

    void everyToolbarButtonHasItsOwnImage()
    {
        TPreviewForm form;
        const QList<QToolButton *> buttons = toolbarButtons(form);
        QCOMPARE(form.imlMain.size(), buttons.size());
        QList<QImage> seen;
        for (int i = 0; i < buttons.size(); ++i) {
            const QIcon icon = buttons.at(i)->icon();
            const QByteArray nameBytes = buttons.at(i)->objectName().toLatin1();
            const char *name = nameBytes.constData();
            QVERIFY2(!icon.isNull(), name);
            QVERIFY2(icon.availableSizes().contains(QSize(32, 32)), name);
            QCOMPARE(form.imlMain.at(i).size(), QSize(32, 32));
            const QImage image = icon.pixmap(QSize(32, 32)).toImage();
            QCOMPARE(image.size(), QSize(32, 32));
            QCOMPARE(image, form.imlMain.at(i).toImage().convertToFormat(image.format()));
            // A drawing, not an empty square, and not another button's.
            int opaque = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > 150, name);
            QVERIFY2(!seen.contains(image), name);
            seen.append(image);
        }
    }

    void toolbarLookFollowsTheSplitter()
    {
        TPreviewForm form;
        form.setWindowState(Qt::WindowNoState);
        form.resize(1000, 700);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *splitter = form.findChild<QSplitter *>();
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), Qt::Vertical);
        QVERIFY(splitter->widget(0)->isAncestorOf(form.tbrMain));
        QCOMPARE(splitter->widget(1), form.PreviewBox());
        const QList<QToolButton *> buttons = toolbarButtons(form);
        auto checkStyle = [&](Qt::ToolButtonStyle style) {
            for (QToolButton *b : buttons) {
                if (b->toolButtonStyle() != style || !b->isVisible())
                    return false;
                if (style == Qt::ToolButtonIconOnly && b->size() != QSize(39, 38))
                    return false;
            }
            return true;
        };
        // It opens with captions only, at a height that keeps that look.
        QVERIFY(checkStyle(Qt::ToolButtonTextOnly));
        QVERIFY2(form.tbrMain->height() <= 40, qPrintable(QString::number(form.tbrMain->height())));

        const struct
        {
            int height;
            Qt::ToolButtonStyle style;
        } steps[] = {
            { 40, Qt::ToolButtonTextOnly },
            { 41, Qt::ToolButtonIconOnly },
            { 54, Qt::ToolButtonIconOnly },
            { 55, Qt::ToolButtonTextUnderIcon },
            { 42, Qt::ToolButtonTextUnderIcon },
            { 41, Qt::ToolButtonIconOnly },
            { 25, Qt::ToolButtonIconOnly },
            { 24, Qt::ToolButtonTextOnly },
            { 80, Qt::ToolButtonTextUnderIcon },
            { 20, Qt::ToolButtonTextOnly },
            { 60, Qt::ToolButtonTextUnderIcon },
        };
        for (const auto &step : steps) {
            dragSplitter(splitter, step.height);
            const QByteArray where = QByteArray::number(step.height);
            QCOMPARE(form.tbrMain->height(), step.height);
            QVERIFY2(checkStyle(step.style), where.constData());
        }
        // A taller window goes to the preview box.
        form.resize(1000, 800);
        QCoreApplication::processEvents();
        QCOMPARE(form.tbrMain->height(), 60);
        QVERIFY(form.PreviewBox()->geometry().top() > 60);
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
