#include "GridTestDb.h"

#include "grid/GridPrinter.h"
#include "grid/RecordGrid.h"
#include "grid/VirtualPrinter.h"
#include "platform/Clock.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <deque>
#include <map>

namespace {

// A sheet that keeps the texts drawn on it, each at its baseline position.
struct TextItem
{
    QPointF at;
    double width;
    QString text;
};

class TextEngine : public QPaintEngine
{
public:
    TextEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawPath(const QPainterPath &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawLines(const QLineF *, int) override { }
    void drawRects(const QRectF *, int) override { }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        items.push_back({ painter()->transform().map(p), item.width(), item.text() });
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<TextItem> items;
};

class TextSheet : public QPaintDevice
{
public:
    TextSheet(int w, int h, int dpi)
        : m_w(w)
        , m_h(h)
        , m_dpi(dpi)
    {
    }
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable TextEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return m_w;
        case PdmHeight:
            return m_h;
        case PdmWidthMM:
            return int(m_w * 25.4 / m_dpi);
        case PdmHeightMM:
            return int(m_h * 25.4 / m_dpi);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    int m_w, m_h, m_dpi;
};

// A printer drawing each sheet into a white QImage, or onto a text-keeping sheet, at a
// low resolution. It can stop the run as a given sheet begins, like the preview's
// stop command.
class TestPrinter : public TVirtualPrinter
{
public:
    enum Mode { Pixels, Texts };
    explicit TestPrinter(Mode mode, int printableHeight = 1000)
        : m_mode(mode)
        , m_height(printableHeight)
    {
    }

    static constexpr int Dpi = 144; // 1.5 x the screen's 96
    static constexpr int Width = 1100;
    static constexpr int OffX = 20, OffY = 30;

    bool IsAborted() const override { return m_aborted; }
    QPainter *PageCanvas() override { return m_painter.get(); }
    int PrintableWidth() const override { return Width; }
    int PrintableHeight() const override { return m_height; }
    int PaperWidth() const override { return Width + 2 * OffX; }
    int PaperHeight() const override { return m_height + 2 * OffY; }
    int ResolutionX() const override { return Dpi; }
    int ResolutionY() const override { return Dpi; }
    void SetJobTitle(const QString &title) override { jobTitle = title; }
    void AbortJob() override { m_aborted = true; }
    void StartJob() override
    {
        images.clear();
        texts.clear();
        m_aborted = false;
        begin();
    }
    void StartPage() override
    {
        m_painter.reset();
        begin();
        if (abortAtSheet > 0 && sheetCount() >= abortAtSheet)
            m_aborted = true;
    }
    void FinishJob() override
    {
        m_painter.reset();
        ++finished;
    }

    int sheetCount() const { return int(m_mode == Pixels ? images.size() : texts.size()); }

    // The texts of a sheet, one entry per baseline, top to bottom; pieces that touch
    // are joined, separate ones (other cells, other blocks) get a '|' between them.
    QStringList lines(int sheet) const
    {
        std::map<int, std::map<double, const TextItem *>> byLine;
        for (const TextItem &t : texts.at(size_t(sheet))->engine.items)
            byLine[qRound(t.at.y())][t.at.x()] = &t;
        QStringList out;
        for (const auto &[y, pieces] : byLine) {
            QString line;
            double end = -1e9;
            for (const auto &[x, item] : pieces) {
                if (!line.isEmpty() && qAbs(x - end) > 1)
                    line += QLatin1Char('|');
                line += item->text;
                end = x + item->width;
            }
            out << line;
        }
        return out;
    }
    QStringList allLines() const
    {
        QStringList out;
        for (int s = 0; s < sheetCount(); ++s)
            out << lines(s);
        return out;
    }
    // Baseline of the first text of a sheet that contains `text`, -1 when none.
    double baselineOf(int sheet, const QString &text) const
    {
        for (const TextItem &t : texts.at(size_t(sheet))->engine.items)
            if (t.text.contains(text))
                return t.at.y();
        return -1;
    }

    std::deque<QImage> images;
    std::deque<std::unique_ptr<TextSheet>> texts;
    QString jobTitle;
    int abortAtSheet = 0;
    int finished = 0;

private:
    void begin()
    {
        if (m_mode == Pixels) {
            images.emplace_back(Width, m_height, QImage::Format_RGB32);
            images.back().fill(Qt::white);
            images.back().setDotsPerMeterX(qRound(Dpi / 0.0254));
            images.back().setDotsPerMeterY(qRound(Dpi / 0.0254));
            m_painter = std::make_unique<QPainter>(&images.back());
        } else {
            texts.push_back(std::make_unique<TextSheet>(Width, m_height, Dpi));
            m_painter = std::make_unique<QPainter>(texts.back().get());
        }
    }

    Mode m_mode;
    int m_height;
    bool m_aborted = false;
    std::unique_ptr<QPainter> m_painter;
};

int R(double x)
{
    return int(std::nearbyint(x));
}

// The order list in small: a code column with the fixed footer text, a name, copies
// and an amount with footer sums, screen widths 66, 250, 50 and 60 pixels.
struct OrderList
{
    GridTestDb db;
    std::unique_ptr<Query> q;
    TRecordGrid grid;
    TGridPrinter printer;

    explicit OrderList(const QStringList &rows)
        : db(QStringList { "create table t (code TEXT, name TEXT, copies INTEGER, amount REAL)" }
            + rows)
    {
        q = db.query("select * from t");
        grid.setDataSet(q.get());
        QFont song(QStringLiteral("AR PL UMing CN"));
        song.setPixelSize(12);
        grid.setFont(song);
        grid.setTitleFont(song);
        grid.setFooterFont(song);
        grid.setFooterColor(QColor(252, 243, 184));
        TGridColumn *code = grid.addColumn("code", "报刊代号", 66);
        grid.addColumn("name", "报刊名称", 250);
        TGridColumn *copies = grid.addColumn("copies", "份数", 50);
        TGridColumn *amount = grid.addColumn("amount", "金额", 60);
        amount->setDisplayFormat("0.00");
        grid.setFooterRowCount(1);
        code->footer()->setValueType(fvtStaticText);
        code->footer()->setValue("合计");
        copies->footer()->setValueType(fvtSum);
        amount->footer()->setValueType(fvtSum);
        grid.sumList()->setActive(true);
        printer.SetGrid(&grid);
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPixelSize(11);
        printer.PageHeader.Font = tahoma;
    }
};

QStringList rowsOf(int n, double amount = 12.5)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("insert into t values ('c%1', 'name%1', 1, %2)").arg(i).arg(amount);
    return out;
}

// Centres of the dark runs (lines) along a row or a column of an image.
QList<int> blackRuns(const QImage &img, bool horizontal, int at)
{
    QList<int> out;
    const int n = horizontal ? img.width() : img.height();
    int start = -1;
    for (int i = 0; i <= n; ++i) {
        const bool black = i < n && qGray(horizontal ? img.pixel(i, at) : img.pixel(at, i)) < 100;
        if (black && start < 0)
            start = i;
        if (!black && start >= 0) {
            out << (start + i) / 2;
            start = -1;
        }
    }
    return out;
}

// The frame's left edge for a margin in the printer's horizontal pixels.
int frameLeft(double inches)
{
    return R(TestPrinter::Dpi * inches) - TestPrinter::OffX;
}

} // namespace

class TestGridPrinter : public QObject
{
    Q_OBJECT
private slots:
    void macros_data();
    void macros();
    void sheetsOfALongList_data();
    void sheetsOfALongList();
    void pageOfPagesOnEverySheet();
    void columnsFromScreenWidths_data();
    void columnsFromScreenWidths();
    void footerTotals_data();
    void footerTotals();
    void blackLinesWhiteBackgrounds();
    void abortStopsAtNextSheet_data();
    void abortStopsAtNextSheet();
    void currentRecordRestored();
    void marginUnits();
    void nothingWithoutOpenData();
    void rowTallerThanTheFrame();
    void secondRunWaits();
    void textBeforeAndAfterGrid();
    void fitToPageWidth_data();
    void fitToPageWidth();
    void optimalColumnWidths();
};

void TestGridPrinter::macros_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QDateTime at(QDate(2008, 3, 5), QTime(14, 7, 9));
    const QLocale l = QLocale::system();
    const QString shortDate = l.toString(at.date(), QLocale::ShortFormat);
    QTest::newRow("page of pages") << "第&[Page]页/共&[Pages]页"
                                   << "第2页/共7页";
    QTest::newRow("case-blind") << "&[PAGE] &[pages] &[page]"
                                << "2 7 2";
    QTest::newRow("after &") << "&&[Page] &&[pages]"
                             << "&&[Page] &&[pages]";
    QTest::newRow("customer name") << "某&[Page]公司"
                                   << "某2公司";
    QTest::newRow("dates") << "&[ShortDate]/&[Date]" << shortDate + "/" + shortDate;
    QTest::newRow("long date") << "&[LongDate]" << l.toString(at.date(), QLocale::LongFormat);
    QTest::newRow("time") << "&[Time]" << l.toString(at.time(), QLocale::LongFormat);
    QTest::newRow("unknown and broken") << "&[Pag] &[Page"
                                        << "&[Pag] &[Page";
}

void TestGridPrinter::macros()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TPrintMacroValues v;
    v.page = 2;
    v.pages = 7;
    v.now = QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9));
    QCOMPARE(ReplaceColontitleMacros(text, v), expected);
}

void TestGridPrinter::sheetsOfALongList_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("height");
    QTest::newRow("one sheet") << 3 << 1000;
    QTest::newRow("empty list") << 0 << 1000;
    QTest::newRow("long, tall sheets") << 120 << 1000;
    QTest::newRow("long, short sheets") << 60 << 500;
}

void TestGridPrinter::sheetsOfALongList()
{
    QFETCH(int, rows);
    QFETCH(int, height);
    OrderList f(rowsOf(rows));
    f.printer.PageHeader.CenterText = QStringList { "报刊订阅清单" };
    f.printer.PageHeader.LeftText = QStringList { "", "客户名称：甲" };

    TestPrinter texts(TestPrinter::Texts, height);
    f.printer.RenderTo(&texts);
    TestPrinter pixels(TestPrinter::Pixels, height);
    f.printer.RenderTo(&pixels);
    QCOMPARE(pixels.sheetCount(), texts.sheetCount());
    QCOMPARE(texts.jobTitle, QStringLiteral("Tabular information"));

    // Every record once, in order, and the footer row after the last one.
    QStringList seen;
    for (const QString &line : texts.allLines())
        if (line.startsWith('c'))
            seen << line.section('|', 0, 0);
    QStringList expected;
    for (int i = 0; i < rows; ++i)
        expected << QStringLiteral("c%1").arg(i);
    QCOMPARE(seen, expected);
    const int sheets = texts.sheetCount();
    QCOMPARE(
        texts.lines(sheets - 1).last(), QStringLiteral("合计|%1|%2").arg(rows).arg(rows * 12.5));

    const int bottom = height + TestPrinter::OffY - R(TestPrinter::Dpi * 2 / 2.54);
    const int left = frameLeft(2 / 2.54);
    int titleLine = -1;
    int rowHeight = -1;
    for (int s = 0; s < sheets; ++s) {
        // The page header and the title row on every sheet.
        const QStringList lines = texts.lines(s);
        QVERIFY(lines.contains("报刊订阅清单"));
        QVERIFY(lines.contains("客户名称：甲"));
        QVERIFY(lines.contains("报刊代号|报刊名称|份数|金额"));

        // Horizontal lines down the first column: the title row's top and bottom,
        // then one per row. All rows have one height and end above the margin.
        const QList<int> ys = blackRuns(pixels.images.at(size_t(s)), false, left + 2);
        QVERIFY(ys.size() >= 3);
        if (titleLine < 0)
            titleLine = ys[0];
        QCOMPARE(ys[0], titleLine);
        if (rowHeight < 0)
            rowHeight = ys[2] - ys[1];
        for (int i = 2; i < ys.size(); ++i)
            QCOMPARE(ys[i] - ys[i - 1], rowHeight);
        QVERIFY(ys.last() <= bottom);
        // A sheet ends only when the next row would cross the bottom margin.
        if (s < sheets - 1)
            QVERIFY(ys.last() + rowHeight > bottom);
    }
    QCOMPARE(sheets > 1, rows * rowHeight > height - 2 * R(TestPrinter::Dpi * 2 / 2.54));
}

void TestGridPrinter::pageOfPagesOnEverySheet()
{
    OrderList f(rowsOf(70, 0.1));
    f.printer.PageHeader.LeftText = QStringList { "第&[Page]页" };
    f.printer.PageHeader.RightText = QStringList { "共&[pages]页" };
    TestPrinter texts(TestPrinter::Texts, 600);
    f.printer.RenderTo(&texts);
    const int sheets = texts.sheetCount();
    QVERIFY(sheets >= 3);
    for (int s = 0; s < sheets; ++s)
        QCOMPARE(texts.lines(s).first(), QStringLiteral("第%1页|共%2页").arg(s + 1).arg(sheets));
    // The counting pass leaves the totals alone: counted once, not twice.
    QCOMPARE(texts.lines(sheets - 1).last(), QStringLiteral("合计|70|7"));
}

void TestGridPrinter::columnsFromScreenWidths_data()
{
    QTest::addColumn<QList<int>>("screen");
    QTest::addColumn<QList<int>>("sheetOne"); // device widths of the first sheet's columns
    QTest::addColumn<int>("sheets");
    // (width + 1) x 1.5, rounded halves to even: 67 x 1.5 = 100.5 -> 100.
    QTest::newRow("order list") << QList<int> { 66, 250, 50, 60 } << QList<int> { 100, 376, 76, 92 }
                                << 1;
    // The frame is 1100 - 2 x 113 + 2 x 20 = 914 pixels wide: the third column goes on
    // a sheet of its own, and one wider than the frame is narrowed to it.
    QTest::newRow("too wide") << QList<int> { 300, 250, 700, 0 } << QList<int> { 452, 376 } << 3;
}

void TestGridPrinter::columnsFromScreenWidths()
{
    QFETCH(QList<int>, screen);
    QFETCH(QList<int>, sheetOne);
    QFETCH(int, sheets);
    OrderList f(rowsOf(2));
    for (int i = 0; i < screen.size(); ++i)
        f.grid.column(i)->setWidth(screen[i]);
    TestPrinter pixels(TestPrinter::Pixels);
    f.printer.RenderTo(&pixels);
    QCOMPARE(pixels.sheetCount(), sheets);

    // Vertical lines across the top of the first data row.
    const QImage &img = pixels.images.front();
    const int left = frameLeft(2 / 2.54);
    const QList<int> ys = blackRuns(img, false, left + 2);
    const QList<int> xs = blackRuns(img, true, ys[1] + 1);
    QList<int> expected { left };
    for (int w : sheetOne)
        expected << expected.last() + w;
    QCOMPARE(xs.size(), expected.size());
    for (int i = 0; i < xs.size(); ++i)
        QVERIFY2(qAbs(xs[i] - expected[i]) <= 1, qPrintable(QString::number(i)));
}

void TestGridPrinter::footerTotals_data()
{
    QTest::addColumn<QStringList>("values"); // copies, amount
    QTest::addColumn<QString>("footer");
    QTest::newRow("0.1 x 3") << QStringList { "1, 0.1", "1, 0.1", "1, 0.1" } << "合计|3|0.3";
    QTest::newRow("four decimals")
        << QStringList { "2, 0.125", "3, 0.125", "1, 1.23456" } << "合计|6|1.4846";
    QTest::newRow("nulls left out") << QStringList { "null, 5", "4, null" } << "合计|4|5";
    QTest::newRow("no rows") << QStringList {} << "合计|0|0";
    QTest::newRow("infinities and a text left out")
        << QStringList { "2, 9e999", "1, 1.5", "1, -9e999", "'x', 'abc'" } << "合计|4|1.5";
}

void TestGridPrinter::footerTotals()
{
    QFETCH(QStringList, values);
    QFETCH(QString, footer);
    QStringList rows;
    for (const QString &v : values)
        rows << QStringLiteral("insert into t values ('c', 'n', %1)").arg(v);
    OrderList f(rows);
    // The printer adds up what it prints, whatever the grid's own totals say.
    f.grid.sumList()->setActive(false);
    TestPrinter texts(TestPrinter::Texts);
    f.printer.RenderTo(&texts);
    QCOMPARE(texts.sheetCount(), 1);
    QCOMPARE(texts.lines(0).last(), footer);
}

void TestGridPrinter::blackLinesWhiteBackgrounds()
{
    OrderList f(rowsOf(4));
    f.grid.setOddRowColor(QColor(235, 245, 245));
    TestPrinter pixels(TestPrinter::Pixels);
    f.printer.RenderTo(&pixels);
    const QImage &img = pixels.images.front();
    const int left = frameLeft(2 / 2.54);
    const QList<int> ys = blackRuns(img, false, left + 2);
    QCOMPARE(ys.size(), 2 + 4 + 1); // title top and bottom, 4 rows, the footer row
    // Lines of (144 + 144) / 200 = 1.44 -> 1 pixel, solid black along the whole left edge.
    const QList<int> xs = blackRuns(img, true, ys[1] + 1);
    for (int y = ys[0]; y <= ys.last(); ++y)
        QCOMPARE(img.pixel(xs[0], y), qRgb(0, 0, 0));
    // Inside every row, away from text (right end of the name column, whose text is
    // short), only white: the odd-row and footer colours are screen-only.
    for (int r = 1; r < ys.size() - 1; ++r)
        for (int y = ys[r] + 2; y < ys[r + 1] - 1; ++y)
            QCOMPARE(img.pixel(xs[2] - 4, y), qRgb(255, 255, 255));
}

void TestGridPrinter::abortStopsAtNextSheet_data()
{
    QTest::addColumn<int>("abortAt");
    QTest::addColumn<int>("sheets");
    QTest::newRow("second sheet") << 2 << 2;
    QTest::newRow("third sheet") << 3 << 3;
}

void TestGridPrinter::abortStopsAtNextSheet()
{
    QFETCH(int, abortAt);
    QFETCH(int, sheets);
    OrderList f(rowsOf(80));
    f.q->setRecNo(5);
    TestPrinter texts(TestPrinter::Texts, 500);
    texts.abortAtSheet = abortAt;
    f.printer.RenderTo(&texts);
    // The sheet begun when the stop came stays empty of grid rows, and the job ends.
    QCOMPARE(texts.sheetCount(), sheets);
    QCOMPARE(texts.finished, 1);
    QVERIFY(!texts.lines(sheets - 2).isEmpty());
    QCOMPARE(f.q->recNo(), 5);
    QVERIFY(!f.printer.isPrinting());
}

void TestGridPrinter::currentRecordRestored()
{
    OrderList f(rowsOf(30));
    f.q->setRecNo(17);
    const Query::Bookmark before = f.q->bookmark();
    int beforeCalls = 0, afterCalls = 0;
    bool suspendedDuringRun = false;
    f.printer.OnBeforePrint = [&] { ++beforeCalls; };
    f.printer.OnAfterPrint = [&] {
        ++afterCalls;
        suspendedDuringRun = f.q->controlsDisabled();
    };
    TestPrinter texts(TestPrinter::Texts, 500);
    f.printer.RenderTo(&texts);
    QVERIFY(texts.sheetCount() > 1);
    QVERIFY(suspendedDuringRun);
    QCOMPARE(beforeCalls, 1);
    QCOMPARE(afterCalls, 1);
    QCOMPARE(f.q->bookmark(), before);
    QVERIFY(!f.q->controlsDisabled());
}

void TestGridPrinter::marginUnits()
{
    OrderList f(rowsOf(1));
    TestPrinter cm(TestPrinter::Pixels);
    f.printer.RenderTo(&cm);
    f.printer.SetUnits(Inches);
    QCOMPARE(f.printer.Page.LeftMargin, qint64(7874));
    QCOMPARE(f.printer.Page.TopMargin, qint64(7874));
    TestPrinter inches(TestPrinter::Pixels);
    f.printer.RenderTo(&inches);
    f.printer.Page.LeftMargin = 10000; // one inch
    TestPrinter oneInch(TestPrinter::Pixels);
    f.printer.RenderTo(&oneInch);
    f.printer.SetUnits(MM);
    QCOMPARE(f.printer.Page.LeftMargin, qint64(25400));
    QCOMPARE(f.printer.Page.TopMargin, qint64(20000));

    // 2 cm from the paper's edge, whichever unit holds it, and 1 inch after that.
    const auto firstX = [](const TestPrinter &p) {
        const QImage &img = p.images.front();
        const QList<int> ys = blackRuns(img, false, frameLeft(1) + 2);
        const QList<int> ys2 = blackRuns(img, false, frameLeft(2 / 2.54) + 2);
        const QList<int> &rows = ys.size() >= 2 ? ys : ys2;
        return blackRuns(img, true, rows[1] + 1).value(0, -1);
    };
    QVERIFY(qAbs(firstX(cm) - frameLeft(2 / 2.54)) <= 1);
    QCOMPARE(firstX(inches), firstX(cm));
    QVERIFY(qAbs(firstX(oneInch) - frameLeft(1)) <= 1);
}

void TestGridPrinter::nothingWithoutOpenData()
{
    OrderList f(rowsOf(3));
    f.q->close();
    TestPrinter texts(TestPrinter::Texts);
    f.printer.RenderTo(&texts);
    QCOMPARE(texts.sheetCount(), 0);
    QCOMPARE(texts.finished, 0);
    TGridPrinter noGrid;
    noGrid.RenderTo(&texts);
    QCOMPARE(texts.sheetCount(), 0);
}

// A row that cannot fit below the title row on any sheet gets a sheet of its own
// instead of stopping the run from ending.
void TestGridPrinter::rowTallerThanTheFrame()
{
    OrderList f(rowsOf(3));
    f.printer.PageHeader.LeftText = QStringList { "1", "2", "3", "4", "5", "6", "7" };
    TestPrinter texts(TestPrinter::Texts, 300);
    f.printer.RenderTo(&texts);
    QCOMPARE(texts.sheetCount(), 4);
    QCOMPARE(texts.finished, 1);
    for (int s = 0; s < 3; ++s)
        QVERIFY(texts.lines(s).contains(QStringLiteral("c%1|name%1|1|12.50").arg(s)));
    QVERIFY(texts.lines(3).contains(QStringLiteral("合计|3|37.5")));
}

void TestGridPrinter::secondRunWaits()
{
    OrderList f(rowsOf(3));
    TestPrinter second(TestPrinter::Texts);
    f.printer.OnBeforePrint = [&] { f.printer.RenderTo(&second); };
    TestPrinter first(TestPrinter::Texts);
    f.printer.RenderTo(&first);
    QCOMPARE(first.sheetCount(), 1);
    QCOMPARE(second.sheetCount(), 0);
    QCOMPARE(second.finished, 0);
    f.printer.OnBeforePrint = nullptr;
    f.printer.RenderTo(&second);
    QCOMPARE(second.sheetCount(), 1);
}

void TestGridPrinter::textBeforeAndAfterGrid()
{
    OrderList f(rowsOf(2));
    f.printer.PageHeader.CenterText = QStringList { "标题" };
    f.printer.BeforeGridText = QStringList { "前言" };
    f.printer.AfterGridText = QStringList { "附言" };
    TestPrinter texts(TestPrinter::Texts);
    f.printer.RenderTo(&texts);
    QCOMPARE(texts.sheetCount(), 1);
    QCOMPARE(texts.lines(0),
        (QStringList { "标题", "前言", "报刊代号|报刊名称|份数|金额", "c0|name0|1|12.50",
            "c1|name1|1|12.50", "合计|2|25", "附言" }));
}

void TestGridPrinter::fitToPageWidth_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("sheets");
    QTest::newRow("off") << 0 << 3;
    QTest::newRow("column widths") << int(gpFitGridToPageWidth | gpFitByColWidths) << 1;
    QTest::newRow("scaled") << int(gpFitGridToPageWidth) << 1;
}

void TestGridPrinter::fitToPageWidth()
{
    QFETCH(int, options);
    QFETCH(int, sheets);
    OrderList f(rowsOf(2));
    const QList<int> screen { 300, 250, 700, 20 };
    for (int i = 0; i < screen.size(); ++i)
        f.grid.column(i)->setWidth(screen[i]);
    f.printer.Options = options;
    TestPrinter pixels(TestPrinter::Pixels);
    f.printer.RenderTo(&pixels);
    QCOMPARE(pixels.sheetCount(), sheets);
    // Nothing is drawn right of the right margin, on any sheet.
    const int right = TestPrinter::Width + TestPrinter::OffX - R(TestPrinter::Dpi * 2 / 2.54);
    for (const QImage &img : pixels.images)
        for (int y = 0; y < img.height(); ++y)
            for (int x = right + 2; x < img.width(); ++x)
                QCOMPARE(img.pixel(x, y), qRgb(255, 255, 255));
    // All four columns on the one sheet, side by side.
    if (sheets == 1) {
        TestPrinter texts(TestPrinter::Texts);
        f.printer.RenderTo(&texts);
        const QStringList lines = texts.lines(0);
        QVERIFY(lines.contains(QStringLiteral("报刊代号|报刊名称|份数|金额"))
            || lines.contains(QStringLiteral("报刊代号|报刊名称|份数")));
        QCOMPARE(
            lines.filter(QRegularExpression("^c1\\|name1\\|(1\\|12\\.50|12\\.50\\|1)$")).size(), 1);
    }
}

void TestGridPrinter::optimalColumnWidths()
{
    OrderList f({ "insert into t values ('c1', "
                  "'一份名称很长很长很长很长很长很长很长很长很长的报刊', 1, 2)" });
    const auto widths = [&f] {
        TestPrinter pixels(TestPrinter::Pixels);
        f.printer.RenderTo(&pixels);
        const QImage &img = pixels.images.front();
        const QList<int> ys = blackRuns(img, false, frameLeft(2 / 2.54) + 2);
        const QList<int> xs = blackRuns(img, true, ys[1] + 1);
        QList<int> out;
        for (int i = 1; i < xs.size(); ++i)
            out << xs[i] - xs[i - 1];
        return out;
    };
    QCOMPARE(widths(), (QList<int> { 100, 376, 76, 92 }));
    f.printer.Options = gpOptimalColWidths;
    const QList<int> optimal = widths();
    QCOMPARE(optimal.size(), 4);
    // The code column narrows to its caption, the name column widens to its text.
    QVERIFY(optimal[0] < 100);
    QVERIFY(optimal[1] > 376);
    // The totals are still counted once.
    TestPrinter texts(TestPrinter::Texts);
    f.printer.RenderTo(&texts);
    QCOMPARE(texts.lines(0).last(), QStringLiteral("合计|1|2"));
}

QTEST_MAIN(TestGridPrinter)
#include "tst_gridprinter.moc"
