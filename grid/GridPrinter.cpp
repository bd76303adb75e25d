#include "grid/GridPrinter.h"

#include "app/data/Query.h"
#include "grid/CellParams.h"
#include "grid/ColumnFooter.h"
#include "grid/FixedPoint.h"
#include "grid/FooterTotalText.h"
#include "grid/GridColumn.h"
#include "grid/PageSetupDialog.h"
#include "grid/PreviewForm.h"
#include "grid/PrinterPreview.h"
#include "grid/RecordGrid.h"
#include "grid/VirtualPrinter.h"
#include "platform/Clock.h"
#include "platform/DialogService.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTransform>
#include <cmath>
#include <vector>

namespace {

// Whole device pixels; halves go to the even neighbour.
int R(double x)
{
    return int(std::nearbyint(x));
}

// value x numerator / denominator on the fixed-point grid, halves to even.
qint64 scaleFixed(qint64 value, qint64 numerator, qint64 denominator)
{
    return qint64(std::nearbyint(double(value) * double(numerator) / double(denominator)));
}

QString replaceMacro(const QString &text, const QString &macro, const QString &value)
{
    QString out = text;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = out.indexOf(macro, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        if (at > 0 && out.at(at - 1) == QLatin1Char('&')) {
            from = at + macro.size();
            continue;
        }
        out.replace(at, macro.size(), value);
        from = at + value.size();
    }
    return out;
}

// An hourglass while a run reads every record before drawing.
class OverrideCursor
{
public:
    OverrideCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~OverrideCursor() { QGuiApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor &) = delete;
    OverrideCursor &operator=(const OverrideCursor &) = delete;
};

const QString PagesMacro = QStringLiteral("&[Pages]");

bool mentionsPages(const TPageColontitle &c)
{
    for (const QStringList *list : { &c.LeftText, &c.CenterText, &c.RightText })
        for (const QString &line : *list)
            if (line.contains(PagesMacro, Qt::CaseInsensitive))
                return true;
    return false;
}

// Where a run is in the grid: a record, a footer row, or past both.
struct PrintPosition
{
    enum Kind { Record, Footer, End } kind = End;
    int index = 0;
};

struct SlabRow
{
    PrintPosition position;
    int height;
};

// What one cell shows.
struct CellContent
{
    QString text;
    QFont font;
    QColor background;
    Qt::Alignment alignment;
    bool endEllipsis = false;
};

} // namespace

QString ReplaceColontitleMacros(const QString &text, const TPrintMacroValues &values)
{
    const QLocale locale = QLocale::system();
    const QDate date = values.now.date();
    const QString shortDate = locale.toString(date, QLocale::ShortFormat);
    QString out = replaceMacro(text, QStringLiteral("&[Page]"), QString::number(values.page));
    out = replaceMacro(out, QStringLiteral("&[ShortDate]"), shortDate);
    out = replaceMacro(out, QStringLiteral("&[Date]"), shortDate);
    out = replaceMacro(
        out, QStringLiteral("&[LongDate]"), locale.toString(date, QLocale::LongFormat));
    out = replaceMacro(
        out, QStringLiteral("&[Time]"), locale.toString(values.now.time(), QLocale::LongFormat));
    out = replaceMacro(out, PagesMacro, QString::number(values.pages));
    return out;
}

// One run: the layout values and the walk. The destructor ends the run in every case:
// the after-print notification, the grid back on its record with its display
// updates resumed, the job finished.
class TGridPrinter::Run
{
public:
    Run(TGridPrinter &owner, TVirtualPrinter *printer);
    ~Run();
    Run(const Run &) = delete;
    Run &operator=(const Run &) = delete;

    void execute();

private:
    QFont printFont(QFont font) const;
    void setupCanvas();
    void pageGeometry();
    void columnWidths();
    void optimalWidths();
    int textWidth(const QFont &font, const QString &text) const;
    int colontitle(const TPageColontitle &c, const QRect &rect, bool header, bool measure);
    int textHeight(const QFont &font, const QString &text, int width, bool wrap) const;
    void measureHeights();
    void body();
    void plainText(const QStringList &lines);
    void startPosition();
    void advance();
    void moveTo(const PrintPosition &p);
    CellContent content(const PrintPosition &p, int column);
    int rowHeight(const PrintPosition &p);
    void accumulate();
    bool collectSlab(std::vector<SlabRow> &slab);
    void printSlab(const std::vector<SlabRow> &slab);
    void drawTitle(int firstColumn, int lastColumn, int y);
    void drawCell(const QRect &cell, const CellContent &c);
    void newSheet();
    void drawColontitles();
    void letEventsThrough();

    TGridPrinter &m_owner;
    TVirtualPrinter *m_printer;
    QPointer<TRecordGrid> m_grid;
    QPointer<Query> m_data;
    QPainter *m_canvas = nullptr;
    TRecordGrid::Position m_saved;
    bool m_started = false;
    bool m_suspended = false;

    TPrintMacroValues m_macros;
    QList<TGridColumn *> m_columns;
    std::vector<int> m_widths;
    std::vector<int> m_groupEnds; // last column of each sheet-wide group
    std::vector<qint64> m_footerValues;
    double m_sx = 1, m_sy = 1;
    int m_scrY = 96;
    int m_dpiX = 600, m_dpiY = 600;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    int m_top0 = 0, m_bottom0 = 0, m_headerHeight = 0, m_footerHeight = 0;
    int m_padX = 0, m_padY = 0, m_halfPadY = 0, m_pen = 1;
    double m_fit = 1; // logical units per device pixel when the grid is scaled to fit
    int m_defaultRowHeight = 0, m_titleRowHeight = 0, m_titleBlockHeight = 0;
    bool m_wrap = false;
    PrintPosition m_position;
    int m_used = 0;
    bool m_counting = false;
    bool m_firstSheet = true;
    bool m_stopped = false;
    int m_sheets = 1;
    QList<QLine> m_lines;
};

TGridPrinter::Run::Run(TGridPrinter &owner, TVirtualPrinter *printer)
    : m_owner(owner)
    , m_printer(printer)
    , m_grid(owner.m_grid)
    , m_data(owner.m_grid ? owner.m_grid->dataSet() : nullptr)
{
}

TGridPrinter::Run::~Run()
{
    if (!m_started)
        return;
    // Reached also while an error of the run is on its way to the caller; that error
    // is the one to report, so the clean-up swallows its own.
    try {
        if (m_owner.OnAfterPrint)
            m_owner.OnAfterPrint();
    } catch (...) {
    }
    try {
        if (m_grid)
            m_grid->restorePosition(m_saved);
    } catch (...) {
    }
    try {
        if (m_suspended && m_data)
            m_data->enableControls();
        // Resuming rebuilds the rows, which puts the scroll bars back at the start.
        if (m_grid)
            m_grid->restorePosition(m_saved);
    } catch (...) {
    }
    try {
        m_printer->FinishJob();
    } catch (...) {
    }
}

QFont TGridPrinter::Run::printFont(QFont font) const
{
    // A font sized in screen pixels keeps its point size on the printer: -12 pixels at
    // 96 dpi is 9 points.
    if (font.pixelSize() > 0)
        font.setPointSize(qMax(1, R(font.pixelSize() * 72.0 / m_scrY)));
    if (!m_owner.PrintFontName.isEmpty())
        font.setFamilies({ m_owner.PrintFontName });
    return font;
}

void TGridPrinter::Run::setupCanvas()
{
    if (!m_canvas)
        return;
    m_canvas->setPen(QPen(Qt::black, m_pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_canvas->setBrush(Qt::NoBrush);
    m_canvas->setBackgroundMode(Qt::TransparentMode);
    m_canvas->setFont(printFont(m_grid->font()));
    if (m_fit != 1.0) {
        // The whole sheet shrinks, text included; a device with unequal resolutions
        // keeps the proportions.
        const double kx = 1.0 / m_fit;
        const double ky = kx * double(m_dpiY) / double(m_dpiX);
        m_canvas->setWorldTransform(QTransform::fromScale(kx, ky));
    } else {
        m_canvas->resetTransform();
    }
}

void TGridPrinter::Run::pageGeometry()
{
    m_dpiX = qMax(1, m_printer->ResolutionX());
    m_dpiY = qMax(1, m_printer->ResolutionY());
    const int scrX = qMax(1, m_grid->logicalDpiX());
    m_scrY = qMax(1, m_grid->logicalDpiY());
    m_sx = double(qMax(scrX, m_dpiX)) / double(qMin(scrX, m_dpiX));
    m_sy = double(qMax(m_scrY, m_dpiY)) / double(qMin(m_scrY, m_dpiY));
    const int offX = (m_printer->PaperWidth() - m_printer->PrintableWidth()) / 2;
    const int offY = (m_printer->PaperHeight() - m_printer->PrintableHeight()) / 2;
    const double u = m_owner.m_units == MM ? 2.54 : 1.0;
    const TPageParams &p = m_owner.Page;
    m_left = R(m_dpiX * FixedPoint::toDouble(p.LeftMargin) / u) - offX;
    m_top = R(m_dpiY * FixedPoint::toDouble(p.TopMargin) / u) - offY;
    m_right
        = m_printer->PrintableWidth() + offX - R(m_dpiX * FixedPoint::toDouble(p.RightMargin) / u);
    m_bottom = m_printer->PrintableHeight() + offY
        - R(m_dpiY * FixedPoint::toDouble(p.BottomMargin) / u);
    // The order grid draws flat cells.
    m_padX = R(2 * m_sx);
    m_padY = R(m_sy);
    m_halfPadY = R(m_sy / 2);
    m_pen = qMax(1, R((m_dpiX + m_dpiY) / 200.0));
}

void TGridPrinter::Run::columnWidths()
{
    m_widths.clear();
    for (TGridColumn *c : m_columns)
        m_widths.push_back(R((c->width() + 1) * m_sx));

    if (m_owner.Options & gpOptimalColWidths)
        optimalWidths();

    const int frame = m_right - m_left;
    const TGridPrintOptions o = m_owner.Options;
    if (o & gpFitGridToPageWidth) {
        qint64 sum = 0;
        for (int w : m_widths)
            sum += w;
        if (o & gpFitByColWidths) {
            const int room = frame - m_pen;
            if (sum > room && sum > 0) {
                qint64 newSum = 0;
                for (int &w : m_widths) {
                    w = int(qint64(w) * room / sum);
                    newSum += w;
                }
                if (newSum > room && !m_widths.empty())
                    m_widths.back() -= int(newSum - room);
            }
        } else if (m_pen + sum > frame && frame > 0) {
            m_fit = double(m_pen + sum) / double(frame);
            m_left = R(m_left * m_fit);
            m_right = R(m_right * m_fit);
            m_top = R(m_top * m_fit);
            m_bottom = R(m_bottom * m_fit);
        }
    }

    // Sheet-wide groups of columns; a column wider than the frame is narrowed to it.
    m_groupEnds.clear();
    int x = m_left + m_pen;
    for (size_t i = 0; i < m_widths.size(); ++i) {
        const int cw = qMin(m_widths[i], m_right - m_left);
        m_widths[i] = cw;
        x += cw;
        if (x > m_right && i > 0) {
            m_groupEnds.push_back(int(i) - 1);
            x = m_left + m_pen + cw;
        }
    }
    m_groupEnds.push_back(int(m_widths.size()) - 1);
}

int TGridPrinter::Run::textWidth(const QFont &font, const QString &text) const
{
    const QFontMetrics fm(font, m_canvas->device());
    int w = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        w = qMax(w, fm.horizontalAdvance(line));
    return w;
}

void TGridPrinter::Run::optimalWidths()
{
    // Every column as wide as its caption and its widest cell, footers included; the
    // footer totals are worked out on the way and started afresh afterwards.
    const OverrideCursor hourglass;
    const QFont title = printFont(m_grid->titleFont());
    const int pad = 2 * m_padX;
    for (int c = 0; c < int(m_columns.size()); ++c)
        m_widths[size_t(c)] = qMax(10, textWidth(title, m_columns[c]->title()) + pad);
    const auto widen = [&](const PrintPosition &p) {
        for (int c = 0; c < int(m_columns.size()); ++c) {
            const CellContent cell = content(p, c);
            m_widths[size_t(c)] = qMax(m_widths[size_t(c)], textWidth(cell.font, cell.text) + pad);
        }
    };
    for (int r = 0; r < m_data->recordCount(); ++r) {
        m_data->setRecNo(r);
        widen({ PrintPosition::Record, r });
        accumulate();
    }
    for (int r = 0; r < m_grid->footerRowCount(); ++r)
        widen({ PrintPosition::Footer, r });
    std::fill(m_footerValues.begin(), m_footerValues.end(), 0);
    m_data->first();
}

int TGridPrinter::Run::textHeight(
    const QFont &font, const QString &text, int width, bool wrap) const
{
    const QFontMetrics fm(font, m_canvas->device());
    const int flags = Qt::TextExpandTabs | (wrap ? Qt::TextWordWrap : 0);
    return fm.boundingRect(QRect(0, 0, qMax(1, width), 0), flags, text).height();
}

int TGridPrinter::Run::colontitle(
    const TPageColontitle &c, const QRect &rect, bool header, bool measure)
{
    const QFont font = printFont(c.Font);
    const QFontMetrics fm(font, m_canvas->device());
    m_canvas->setFont(font);
    int h = 0;
    const std::pair<const QStringList *, Qt::Alignment> parts[] = {
        { &c.LeftText, Qt::AlignLeft },
        { &c.CenterText, Qt::AlignHCenter },
        { &c.RightText, Qt::AlignRight },
    };
    for (const auto &[lines, align] : parts) {
        if (lines->isEmpty())
            continue;
        const QString text = ReplaceColontitleMacros(lines->join(QLatin1Char('\n')), m_macros);
        h = qMax(h, textHeight(font, text, rect.width(), false) + fm.leading());
        if (!measure) {
            const Qt::Alignment v = header ? Qt::AlignTop : Qt::AlignBottom;
            m_canvas->drawText(rect, int(align | v) | Qt::TextExpandTabs | Qt::TextDontClip, text);
        }
    }
    const int gap = R(m_dpiY / 20.0);
    if (h > 0)
        h += gap;
    int rules = 0;
    if (c.LineType != pcltNon) {
        rules = gap + (c.LineType == pcltDoubleLine ? R(m_dpiY / 30.0) : 0);
        if (!measure) {
            // Rules sit between the text and the grid.
            const int dir = header ? -1 : 1;
            const int edge = header ? rect.bottom() + 1 : rect.top();
            const int y1 = edge + dir * gap;
            m_canvas->drawLine(rect.left(), y1, rect.right(), y1);
            if (c.LineType == pcltDoubleLine) {
                const int y2 = y1 + dir * R(m_dpiY / 30.0);
                m_canvas->drawLine(rect.left(), y2, rect.right(), y2);
            }
        }
    }
    m_canvas->setFont(printFont(m_grid->font()));
    return h + rules;
}

void TGridPrinter::Run::measureHeights()
{
    const QFont font = printFont(m_grid->font());
    const QFontMetrics fm(font, m_canvas->device());
    m_defaultRowHeight = fm.height() + 2 * m_padY;
    m_wrap = (m_owner.Options & gpRowAutoStretch) != 0;

    // Captions have one level each: every one spans the whole title row.
    const QFont title = printFont(m_grid->titleFont());
    int tallest = 0;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        QString caption = m_columns[i]->title();
        if (caption.isEmpty())
            caption = QStringLiteral(" ");
        tallest
            = qMax(tallest, textHeight(title, caption, m_widths[size_t(i)] - R(4 * m_sx), true));
    }
    m_titleRowHeight = tallest + R(10 * m_sy);

    m_titleBlockHeight = 0;
    if (!m_owner.Title.isEmpty()) {
        int full = 0;
        for (int w : m_widths)
            full += w;
        m_titleBlockHeight
            = textHeight(title, m_owner.Title.join(QLatin1Char('\n')), full - 2 * m_padX, true)
            + 2 * R(10 * m_sy / 2);
    }
}

void TGridPrinter::Run::startPosition()
{
    if (m_data->recordCount() > 0)
        m_position = { PrintPosition::Record, 0 };
    else if (m_grid->footerRowCount() > 0)
        m_position = { PrintPosition::Footer, 0 };
    else
        m_position = { PrintPosition::End, 0 };
}

void TGridPrinter::Run::advance()
{
    PrintPosition &p = m_position;
    if (p.kind == PrintPosition::Record) {
        if (p.index + 1 < m_data->recordCount())
            ++p.index;
        else if (m_grid->footerRowCount() > 0)
            p = { PrintPosition::Footer, 0 };
        else
            p = { PrintPosition::End, 0 };
    } else if (p.kind == PrintPosition::Footer) {
        if (p.index + 1 < m_grid->footerRowCount())
            ++p.index;
        else
            p = { PrintPosition::End, 0 };
    }
}

void TGridPrinter::Run::moveTo(const PrintPosition &p)
{
    if (p.kind == PrintPosition::Record && m_data->recNo() != p.index)
        m_data->setRecNo(p.index);
}

CellContent TGridPrinter::Run::content(const PrintPosition &p, int c)
{
    TGridColumn *column = m_columns.at(c);
    const bool colored = (m_owner.Options & gpColored) != 0;
    CellContent out;
    if (p.kind == PrintPosition::Record) {
        TCellParams params;
        column->fillCellParams(params);
        out.text = params.text;
        out.font = printFont(params.font);
        out.alignment = params.alignment;
        out.background = colored ? params.background : QColor(Qt::white);
        return out;
    }
    const TColumnFooter *footer = column->footerFor(p.index);
    if (footer->valueType() == fvtSum || footer->valueType() == fvtCount) {
        const int field = m_data->fieldIndex(footer->effectiveFieldName());
        if (field < 0) {
            out.text = footer->valueType() == fvtCount ? QStringLiteral("0") : QString();
        } else {
            const size_t i = size_t(c) + size_t(p.index) * size_t(m_columns.size());
            out.text = FooterTotalText(footer, m_data->fieldKind(field), m_footerValues[i]);
        }
    } else {
        out.text = m_grid->footerValueText(p.index, column);
    }
    out.font = printFont(footer->font());
    out.alignment = footer->alignment();
    out.background = colored ? footer->color() : QColor(Qt::white);
    out.endEllipsis = footer->endEllipsis();
    return out;
}

int TGridPrinter::Run::rowHeight(const PrintPosition &p)
{
    moveTo(p);
    int h = m_defaultRowHeight;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const CellContent cell = content(p, c);
        const int width = m_widths[size_t(c)] - 2 * m_padX;
        h = qMax(h, textHeight(cell.font, cell.text, width, m_wrap) + 2 * m_padY);
    }
    return h;
}

void TGridPrinter::Run::accumulate()
{
    AccumulateFooterTotals(m_data, m_columns, m_grid->footerRowCount(), m_footerValues);
}

bool TGridPrinter::Run::collectSlab(std::vector<SlabRow> &slab)
{
    slab.clear();
    int y = m_top + m_titleBlockHeight + m_titleRowHeight + m_used;
    while (m_position.kind != PrintPosition::End) {
        const int h = rowHeight(m_position);
        if (y + h > m_bottom) {
            if (!slab.empty())
                break;
            if (m_used > 0)
                return false; // fits only on a fresh sheet
            // Taller than a whole sheet: it gets a sheet of its own, cut at the bottom.
        }
        if (m_position.kind == PrintPosition::Record)
            accumulate();
        slab.push_back({ m_position, h });
        y += h;
        advance();
    }
    return true;
}

void TGridPrinter::Run::drawCell(const QRect &cell, const CellContent &c)
{
    if (c.background.isValid() && c.background != QColor(Qt::white))
        m_canvas->fillRect(cell, c.background);
    const QRect textRect = cell.adjusted(m_padX, m_padY, -m_padX, -m_padY);
    m_canvas->setFont(c.font);
    QString text = c.text;
    if (c.endEllipsis && !m_wrap)
        text = QFontMetrics(c.font, m_canvas->device())
                   .elidedText(text, Qt::ElideRight, textRect.width());
    const int flags = int(c.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop
        | Qt::TextExpandTabs | (m_wrap ? Qt::TextWordWrap : 0);
    m_canvas->drawText(textRect, flags, text);
}

void TGridPrinter::Run::drawTitle(int first, int last, int y)
{
    const int left = m_left;
    int right = left;
    for (int c = first; c <= last; ++c)
        right += m_widths[size_t(c)];
    const bool colored = (m_owner.Options & gpColored) != 0;
    const QColor fixed = m_grid->palette().color(QPalette::Button);
    const QFont title = printFont(m_grid->titleFont());

    if (m_titleBlockHeight > 0) {
        // The block spans all printed columns; each sheet shows the part above its own.
        int before = 0;
        for (int c = 0; c < first; ++c)
            before += m_widths[size_t(c)];
        int full = 0;
        for (int w : m_widths)
            full += w;
        const QRect block(left, y, right - left, m_titleBlockHeight);
        if (!m_counting) {
            if (colored)
                m_canvas->fillRect(block, fixed);
            m_canvas->save();
            m_canvas->setClipRect(block);
            m_canvas->setFont(title);
            const int vInset = R(10 * m_sy / 2);
            m_canvas->drawText(QRect(left - before + m_padX, y + vInset, full - 2 * m_padX,
                                   m_titleBlockHeight - 2 * vInset),
                Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                m_owner.Title.join(QLatin1Char('\n')));
            m_canvas->restore();
        }
        m_lines << QLine(left, y + m_titleBlockHeight, left, y) << QLine(left, y, right, y)
                << QLine(right, y, right, y + m_titleBlockHeight);
        y += m_titleBlockHeight;
    }

    const int bottom = y + m_titleRowHeight;
    int x = left;
    for (int c = first; c <= last; ++c) {
        const int cw = m_widths[size_t(c)];
        const QRect cell(x, y, cw, m_titleRowHeight);
        if (!m_counting) {
            if (colored)
                m_canvas->fillRect(cell, fixed);
            m_canvas->setFont(title);
            m_canvas->drawText(cell.adjusted(m_padX, m_halfPadY, -m_padX, -m_halfPadY),
                Qt::AlignCenter | Qt::TextWordWrap, m_columns.at(c)->title());
        }
        m_lines << QLine(x, y, x, bottom) << QLine(x, bottom, x + cw, bottom);
        x += cw;
    }
    m_lines << QLine(left, y, x, y) << QLine(x, y, x, bottom);
}

void TGridPrinter::Run::letEventsThrough()
{
    QCoreApplication::processEvents();
    // The window may have closed the grid or its data while events ran.
    if (!m_grid || !m_data || !m_data->isActive())
        m_stopped = true;
}

void TGridPrinter::Run::printSlab(const std::vector<SlabRow> &slab)
{
    size_t first = 0;
    for (const int last : m_groupEnds) {
        if (m_printer->IsAborted() || m_stopped) {
            m_stopped = true;
            return;
        }
        if (!m_firstSheet)
            newSheet();
        m_firstSheet = false;
        m_lines.clear();

        const int y0 = m_top + m_used;
        drawTitle(int(first), last, y0);
        int y = y0 + m_titleBlockHeight + m_titleRowHeight;
        for (const SlabRow &row : slab) {
            moveTo(row.position);
            int x = m_left;
            for (int c = int(first); c <= last; ++c) {
                const int cw = m_widths[size_t(c)];
                if (!m_counting) {
                    drawCell(QRect(x, y, cw, row.height), content(row.position, c));
                    letEventsThrough();
                    if (m_stopped)
                        return;
                }
                if (c == int(first))
                    m_lines << QLine(x, y, x, y + row.height);
                m_lines << QLine(x, y + row.height, x + cw, y + row.height)
                        << QLine(x + cw, y, x + cw, y + row.height);
                x += cw;
            }
            y += row.height;
        }
        if (!m_counting) {
            m_canvas->setPen(QPen(Qt::black, m_pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            m_canvas->drawLines(m_lines);
        }
        first = size_t(last) + 1;
    }
}

void TGridPrinter::Run::drawColontitles()
{
    if (m_headerHeight > 0)
        colontitle(m_owner.PageHeader, QRect(m_left, m_top0, m_right - m_left, m_headerHeight),
            true, false);
    if (m_footerHeight > 0)
        colontitle(m_owner.PageFooter,
            QRect(m_left, m_bottom0 - m_footerHeight, m_right - m_left, m_footerHeight), false,
            false);
}

void TGridPrinter::Run::newSheet()
{
    ++m_macros.page;
    if (m_counting) {
        ++m_sheets;
        setupCanvas();
        return;
    }
    m_printer->StartPage();
    m_canvas = m_printer->PageCanvas();
    setupCanvas();
    drawColontitles();
}

void TGridPrinter::Run::plainText(const QStringList &lines)
{
    // Line by line from the top of the frame + used, on further sheets as needed.
    const QFont font = printFont(m_grid->font());
    for (const QString &line : lines) {
        const int h
            = textHeight(font, line.isEmpty() ? QStringLiteral(" ") : line, m_right - m_left, true);
        if (m_used > 0 && m_top + m_used + h > m_bottom) {
            newSheet();
            m_used = 0;
        }
        if (!m_counting) {
            m_canvas->setFont(font);
            m_canvas->drawText(QRect(m_left, m_top + m_used, m_right - m_left, h),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
        }
        m_firstSheet = false;
        m_used += h;
    }
}

void TGridPrinter::Run::body()
{
    m_used = 0;
    if (!m_owner.BeforeGridText.isEmpty()) {
        plainText(m_owner.BeforeGridText);
        m_firstSheet = true; // the grid starts on the sheet the text ended on
        if (m_used >= m_bottom - (m_top + m_titleBlockHeight + m_titleRowHeight)) {
            newSheet();
            m_used = 0;
        }
    }
    startPosition();
    std::vector<SlabRow> slab;
    while (!m_stopped) {
        if (!collectSlab(slab)) {
            newSheet();
            m_firstSheet = true;
            m_used = 0;
            continue;
        }
        printSlab(slab);
        if (m_stopped)
            return;
        int used = 0;
        for (const SlabRow &row : slab)
            used += row.height;
        m_used = m_used + m_titleBlockHeight + m_titleRowHeight + used + m_pen;
        if (m_position.kind == PrintPosition::End)
            break;
        m_used = 0;
    }
    if (!m_owner.AfterGridText.isEmpty() && !m_stopped)
        plainText(m_owner.AfterGridText);
}

void TGridPrinter::Run::execute()
{
    if (!m_grid || !m_data || !m_data->isActive())
        return;
    m_macros.now = Clock::instance()->now();
    m_macros.page = 1;
    m_macros.pages = 1;
    m_columns = m_grid->visibleColumns();
    m_footerValues.assign(size_t(m_grid->footerRowCount()) * size_t(m_columns.size()), 0);

    m_printer->StartJob();
    m_started = true;
    m_canvas = m_printer->PageCanvas();
    m_saved = m_grid->savePosition();
    if (m_owner.OnBeforePrint)
        m_owner.OnBeforePrint();
    m_data->disableControls();
    m_suspended = true;
    m_data->first();
    m_printer->SetJobTitle(QStringLiteral("Tabular information"));
    if (!m_canvas)
        return;

    pageGeometry();
    columnWidths();
    setupCanvas();

    m_top0 = m_top;
    m_bottom0 = m_bottom;
    const QRect whole(m_left, m_top, m_right - m_left, 0);
    m_headerHeight
        = m_owner.PageHeader.isEmpty() ? 0 : colontitle(m_owner.PageHeader, whole, true, true);
    m_top += m_headerHeight;
    m_footerHeight
        = m_owner.PageFooter.isEmpty() ? 0 : colontitle(m_owner.PageFooter, whole, false, true);
    m_bottom -= m_footerHeight;
    measureHeights();

    if (mentionsPages(m_owner.PageHeader) || mentionsPages(m_owner.PageFooter)) {
        const OverrideCursor hourglass;
        m_counting = true;
        m_sheets = 1;
        body();
        m_counting = false;
        m_macros.pages = m_sheets;
        m_macros.page = 1;
        m_firstSheet = true;
        m_stopped = false;
        m_used = 0;
        m_data->first();
        std::fill(m_footerValues.begin(), m_footerValues.end(), 0);
        setupCanvas();
    }
    drawColontitles();
    body();
}

TGridPrinter::TGridPrinter(QObject *parent)
    : QObject(parent)
{
}

TGridPrinter::~TGridPrinter() = default;

void TGridPrinter::SetUnits(TMeasureUnits units)
{
    if (units == m_units)
        return;
    const qint64 num = units == Inches ? 3937 : 25400;
    for (qint64 *m : { &Page.TopMargin, &Page.BottomMargin, &Page.LeftMargin, &Page.RightMargin })
        *m = scaleFixed(*m, num, 10000);
    m_units = units;
}

bool TGridPrinter::canRun() const
{
    return !m_running && m_grid && m_grid->dataSet() && m_grid->dataSet()->isActive();
}

void TGridPrinter::RenderTo(TVirtualPrinter *printer)
{
    // A run lets window messages through; a second one waits for the first to end.
    if (!printer || !canRun())
        return;
    m_running = true;
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset { m_running };
    Run run(*this, printer);
    run.execute();
}

void TGridPrinter::ShowPreview()
{
    if (!canRun())
        return;
    TPrinterPreview *preview = PreviewPrinter();
    // The preview window outlives the main window's printer: its page-setup command
    // must not reach a printer that has gone.
    QPointer<TGridPrinter> self(this);
    std::function<void()> pageSetup = OnPrinterSetupDialog;
    if (!pageSetup) {
        pageSetup = [self] {
            if (self && self->EditPageSetup())
                self->ShowPreview();
        };
    }
    preview->setPageSetupHandler(std::move(pageSetup));
    preview->setGridPrinter(this);
    RenderTo(preview);
}

bool TGridPrinter::EditPageSetup()
{
    if (!m_setupDialog) {
        m_setupDialog = std::make_unique<TPageSetupDialog>();
        m_setupDialog->OnPrinterSetup = [this, d = m_setupDialog.get()] {
            TPrinterPreview *preview = PreviewPrinter();
            DialogService::PrinterSetup setup;
            setup.printers = preview->DeviceList();
            setup.printer = preview->DeviceIndex();
            setup.paper = preview->PrintDevice()->pageLayout().pageSize();
            setup.orientation = preview->PaperOrientation();
            if (!DialogService::instance()->printerSetupDialog(d, &setup))
                return;
            preview->SelectDevice(setup.printer);
            if (setup.paper.isValid())
                preview->SetPaperSize(setup.paper);
            preview->SetPaperOrientation(setup.orientation);
            m_printerChanged = true;
        };
    }
    TPageSetupDialog *d = m_setupDialog.get();
    d->PrinterSetup->setEnabled(PreviewPrinter()->HasPrinter());
    m_printerChanged = false;
    const std::pair<QLineEdit *, qint64 *> margins[] = {
        { d->TopEdit, &Page.TopMargin },
        { d->BottomEdit, &Page.BottomMargin },
        { d->LeftEdit, &Page.LeftMargin },
        { d->RightEdit, &Page.RightMargin },
    };
    for (const auto &[edit, margin] : margins)
        edit->setText(FixedPoint::formatGeneral(*margin));
    d->FitWidth->setChecked(Options & gpFitGridToPageWidth);
    d->FontName->setText(PrintFontName);
    d->StretchLines->setChecked(Options & gpRowAutoStretch);
    d->Colored->setChecked(Options & gpColored);
    (Options & gpFitByColWidths ? d->ChangeWidths : d->ScaleGrid)->setChecked(true);
    d->OptimalWidths->setChecked(Options & gpOptimalColWidths);
    // Another printer or paper needs the list drawn again, even when the
    // page setup itself is cancelled.
    if (DialogService::instance()->execModal(d) != IdOk)
        return m_printerChanged;

    // Nothing changes unless every margin is a number.
    qint64 values[4];
    for (int i = 0; i < 4; ++i) {
        double v = 0;
        if (!TPageSetupDialog::marginValue(margins[i].first, &v))
            return m_printerChanged;
        values[i] = FixedPoint::fromDouble(v);
    }
    for (int i = 0; i < 4; ++i)
        *margins[i].second = values[i];
    PrintFontName = d->FontName->text().trimmed();
    TGridPrintOptions o = 0;
    if (d->FitWidth->isChecked())
        o |= gpFitGridToPageWidth;
    if (d->Colored->isChecked())
        o |= gpColored;
    if (d->StretchLines->isChecked())
        o |= gpRowAutoStretch;
    if (d->ChangeWidths->isChecked())
        o |= gpFitByColWidths;
    if (d->OptimalWidths->isChecked())
        o |= gpOptimalColWidths;
    Options = o;
    return true;
}
