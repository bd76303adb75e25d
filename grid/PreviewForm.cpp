#include "grid/PreviewForm.h"

#include "platform/DialogService.h"
#include "platform/ErrorReport.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryFile>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cerrno>
#include <cstdio>
#include <cstring>

// The toolbar images live in a static library, so their resources must be registered
// by hand; this has to happen outside any namespace.
static void initPreviewResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(preview);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {
constexpr int kZoomPercents[8] = { 500, 200, 150, 100, 75, 50, 25, 10 };
constexpr int kPageWidthMode = 8;
constexpr int kWholePageMode = 9;
constexpr int kZoomInMode = 2; // 150%, where a click on the whole page goes
constexpr int kMargin = 8;
constexpr int kImageSize = 32; // the toolbar images
constexpr int kImageButtonWidth = 39; // a toolbar button showing only its image
constexpr int kImageButtonHeight = 38;
constexpr int kToolbarMinHeight = 20;

// The splitter's upper pane. It lets the splitter give the toolbar any height from
// a small minimum up, whatever its buttons need: a toolbar lower than its buttons is
// how the user gets back to captions only.
class ToolbarPane : public QWidget
{
public:
    explicit ToolbarPane(QWidget *parent)
        : QWidget(parent)
    {
        setMinimumHeight(kToolbarMinHeight);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    void setToolbar(QToolBar *toolbar)
    {
        m_toolbar = toolbar;
        m_toolbar->setGeometry(rect());
    }
    QSize sizeHint() const override
    {
        return m_toolbar ? m_toolbar->sizeHint() : QWidget::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(0, kToolbarMinHeight); }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        if (m_toolbar)
            m_toolbar->setGeometry(rect());
    }

private:
    QToolBar *m_toolbar = nullptr;
};

QCursor magnifierCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QPointF(12, 12), 8, 8);
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QPointF(12, 12), 8, 8);
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.end();
    return QCursor(pixmap, 12, 12);
}
}

// ---------------------------------------------------------------- TDrawPanel

TDrawPanel::TDrawPanel(TPreviewBox *box)
    : QFrame(box->viewport())
    , m_box(box)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setCursor(magnifierCursor());
}

void TDrawPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        m_box->paintSheet(&painter, rect());
    }
    QFrame::paintEvent(event);
}

void TDrawPanel::mousePressEvent(QMouseEvent *event)
{
    m_box->pageMousePress(event);
}

void TDrawPanel::mouseMoveEvent(QMouseEvent *event)
{
    m_box->pageMouseMove(event);
}

void TDrawPanel::mouseReleaseEvent(QMouseEvent *event)
{
    m_box->pageMouseRelease(event);
}

// ---------------------------------------------------------------- TPreviewBox

TPreviewBox::TPreviewBox(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_printer(std::make_unique<TPrinterPreview>())
{
    m_printer->SetView(this);
    setFocusPolicy(Qt::StrongFocus);
    m_shadow = new QWidget(viewport());
    m_shadow->setAutoFillBackground(true);
    QPalette pal = m_shadow->palette();
    pal.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    m_shadow->setPalette(pal);
    m_page = new TDrawPanel(this);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    LayoutPage();
}

TPreviewBox::~TPreviewBox()
{
    m_printer->SetView(nullptr);
}

QWidget *TPreviewBox::PagePanel() const
{
    return m_page;
}

QWidget *TPreviewBox::ShadowPanel() const
{
    return m_shadow;
}

QRect TPreviewBox::PageRect() const
{
    return m_page->geometry();
}

QSize TPreviewBox::clientSize() const
{
    // The box without scroll bars: the layout decides about them itself.
    return maximumViewportSize();
}

void TPreviewBox::SetZoomMode(int mode)
{
    mode = qBound(0, mode, kWholePageMode);
    if (mode != m_zoomMode) {
        m_zoomMode = mode;
        LayoutPage();
    }
    PrinterPreviewChanged();
}

void TPreviewBox::GoToSheet(int n)
{
    n = qBound(1, n, qMax(1, m_sheetCount));
    if (n == m_currentSheet)
        return;
    m_currentSheet = n;
    m_page->update();
    PrinterPreviewChanged();
}

void TPreviewBox::LayoutPage()
{
    const QSize client = clientSize();
    m_laidOutFor = client;
    const qint64 printableW = m_printer->PrintableWidth();
    const double mmW = m_printer->PrintableWidthMM();
    const double mmH = m_printer->PrintableHeightMM();
    const qint64 screenDpi = logicalDpiX();
    const qint64 deviceDpi = qMax(1, m_printer->ResolutionX());
    auto heightFor = [&](int w) { return int(w * mmH / mmW); };
    auto widthFor = [&](int h) { return int(h * mmW / mmH); };

    if (m_zoomMode < kPageWidthMode) {
        const int p = kZoomPercents[m_zoomMode];
        m_pageW = int(p * printableW * screenDpi / deviceDpi / 100);
        m_pageH = heightFor(m_pageW);
        m_contentW = m_pageW + 2 * kMargin;
        m_contentH = m_pageH + 2 * kMargin;
        m_pageX = m_contentW < client.width() ? (client.width() - m_pageW) / 2 : kMargin;
        m_pageY = m_contentH < client.height() ? (client.height() - m_pageH) / 2 : kMargin;
        m_zoomPercent = p;
    } else if (m_zoomMode == kPageWidthMode) {
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        m_pageW = qMax(1, client.width() - scrollBar - 20);
        m_pageH = heightFor(m_pageW);
        m_contentW = 0;
        m_contentH = m_pageH + 2 * kMargin;
        m_pageX = kMargin;
        m_pageY = kMargin;
        m_zoomPercent = int(m_pageW * 100 * deviceDpi / qMax<qint64>(1, printableW * screenDpi));
    } else {
        m_pageH = qMax(1, client.height() - 2 * kMargin);
        m_pageW = widthFor(m_pageH);
        if (m_pageW > client.width() - 2 * kMargin) {
            m_pageW = qMax(1, client.width() - 2 * kMargin);
            m_pageH = heightFor(m_pageW);
        }
        m_contentW = 0;
        m_contentH = 0;
        m_pageX = (client.width() - m_pageW) / 2;
        m_pageY = (client.height() - m_pageH) / 2;
        m_zoomPercent = 100;
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateRanges();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    placePanels();
}

QSize TPreviewBox::updateRanges()
{
    // The viewport once the scroll bars this layout needs are shown, so that a
    // position set right after a layout is not clamped to a stale range.
    const QSize client = clientSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool vertical = m_contentH > client.height();
    bool horizontal = m_contentW > client.width();
    if (vertical && !horizontal)
        horizontal = m_contentW > client.width() - bar;
    if (horizontal && !vertical)
        vertical = m_contentH > client.height() - bar;
    const QSize view(
        client.width() - (vertical ? bar : 0), client.height() - (horizontal ? bar : 0));
    horizontalScrollBar()->setRange(0, qMax(0, m_contentW - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(qMax(1, view.width() / 20));
    verticalScrollBar()->setRange(0, qMax(0, m_contentH - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(qMax(1, view.height() / 20));
    return view;
}

void TPreviewBox::placePanels()
{
    const QPoint at(
        m_pageX - horizontalScrollBar()->value(), m_pageY - verticalScrollBar()->value());
    m_page->setGeometry(QRect(at, QSize(m_pageW, m_pageH)));
    m_shadow->setGeometry(QRect(at + QPoint(4, 4), QSize(m_pageW, m_pageH)));
}

void TPreviewBox::scrollContentsBy(int, int)
{
    placePanels();
}

void TPreviewBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const QSize client = clientSize();
    if (client == m_laidOutFor) {
        // Only the scroll bars came or went: the layout already counted them.
        updateRanges();
        placePanels();
        return;
    }
    const bool fills
        = m_pageW + 2 * kMargin >= client.width() && m_pageH + 2 * kMargin >= client.height();
    if (m_zoomMode >= kPageWidthMode || !fills) {
        LayoutPage();
    } else {
        updateRanges();
        placePanels();
    }
}

void TPreviewBox::paintSheet(QPainter *painter, const QRect &rect) const
{
    if (m_sheetCount <= 0 || rect.isEmpty())
        return;
    const qreal paperW = qMax(1, m_printer->PaperWidth());
    const qreal paperH = qMax(1, m_printer->PaperHeight());
    // The whole paper fills the panel; the recorded origin sits at the physical offsets.
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->translate(m_printer->OffsetX() * rect.width() / paperW,
        m_printer->OffsetY() * rect.height() / paperH);
    painter->scale(rect.width() / paperW, rect.height() / paperH);
    m_printer->DrawRecordedPage(painter, m_currentSheet);
    painter->restore();
}

void TPreviewBox::pageMousePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_dragging = false;
    m_pressGlobal = m_lastGlobal = event->globalPosition().toPoint();
    m_pressInPage = event->position().toPoint();
}

void TPreviewBox::pageMouseMove(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const QPoint global = event->globalPosition().toPoint();
    if (!m_dragging
        && (global - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
        return;
    if (!m_dragging) {
        m_dragging = true;
        m_page->setCursor(Qt::ClosedHandCursor);
    }
    const QPoint delta = global - m_lastGlobal;
    m_lastGlobal = global;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
}

void TPreviewBox::pageMouseRelease(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        m_page->setCursor(magnifierCursor());
        return;
    }
    clickZoom(event->position().toPoint());
}

void TPreviewBox::clickZoom(const QPoint &point)
{
    if (m_zoomMode != kWholePageMode) {
        SetZoomMode(kWholePageMode);
        return;
    }
    const QPoint mouse = PageRect().topLeft() + point;
    const int oldW = qMax(1, m_pageW);
    const int oldH = qMax(1, m_pageH);
    SetZoomMode(kZoomInMode);
    // Keep the clicked point of the sheet under the mouse in both directions: where
    // the page would sit centred, it is placed there instead, with room to scroll
    // when it reaches past the box.
    const QPoint at(
        int(qint64(point.x()) * m_pageW / oldW), int(qint64(point.y()) * m_pageH / oldH));
    struct Axis
    {
        int page, content, scroll;
    };
    const auto place = [](int origin, int size, int view) {
        if (origin >= kMargin)
            return Axis { origin, origin + size + kMargin > view ? origin + size + kMargin : 0, 0 };
        const int scroll = kMargin - origin;
        return Axis { kMargin, qMax(size + 2 * kMargin, scroll + view), scroll };
    };
    Axis x {}, y {};
    QSize view = updateRanges();
    for (int pass = 0; pass < 2; ++pass) {
        x = place(mouse.x() - at.x(), m_pageW, view.width());
        y = place(mouse.y() - at.y(), m_pageH, view.height());
        m_pageX = x.page;
        m_pageY = y.page;
        m_contentW = x.content;
        m_contentH = y.content;
        const QSize next = updateRanges(); // the scroll bars this placement needs
        if (next == view)
            break;
        view = next;
    }
    horizontalScrollBar()->setValue(x.scroll);
    verticalScrollBar()->setValue(y.scroll);
    placePanels();
}

void TPreviewBox::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    if (verticalScrollBar()->maximum() == 0) {
        GoToSheet(m_currentSheet + (delta < 0 ? 1 : -1));
    } else {
        const int notches = delta / 120 != 0 ? delta / 120 : (delta < 0 ? -1 : 1);
        const int step = verticalScrollBar()->singleStep() * QApplication::wheelScrollLines()
            * m_zoomPercent / 100;
        verticalScrollBar()->setValue(verticalScrollBar()->value() - notches * step);
    }
    event->accept();
}

void TPreviewBox::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int pageV = qMax(1, viewport()->height() - v->singleStep());
    const int pageH = qMax(1, viewport()->width() - h->singleStep());
    switch (event->key()) {
    case Qt::Key_PageUp:
        v->setValue(ctrl ? v->minimum() : v->value() - pageV);
        break;
    case Qt::Key_PageDown:
        v->setValue(ctrl ? v->maximum() : v->value() + pageV);
        break;
    case Qt::Key_Up:
        v->setValue(v->value() - (ctrl ? pageV : v->singleStep()));
        break;
    case Qt::Key_Down:
        v->setValue(v->value() + (ctrl ? pageV : v->singleStep()));
        break;
    case Qt::Key_Left:
        h->setValue(h->value() - (ctrl ? pageH : h->singleStep()));
        break;
    case Qt::Key_Right:
        h->setValue(h->value() + (ctrl ? pageH : h->singleStep()));
        break;
    case Qt::Key_Home:
        h->setValue(h->minimum());
        if (ctrl)
            v->setValue(v->minimum());
        break;
    case Qt::Key_End:
        h->setValue(h->maximum());
        if (ctrl)
            v->setValue(v->maximum());
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TPreviewBox::HasPageSetup() const
{
    return (m_pageSetup || m_setupChanged) && m_gridPrinter;
}

void TPreviewBox::RunPageSetup()
{
    if (!HasPageSetup())
        return;
    // The handler draws the list again, which hands new handlers over: call a copy.
    if (m_pageSetup) {
        auto handler = m_pageSetup;
        handler();
    } else {
        auto handler = m_setupChanged;
        handler();
    }
}

void TPreviewBox::PrintSheets(QPrinter *device, int from, int to)
{
    from = qMax(1, from);
    to = qMin(to, m_printer->RecordedPageCount());
    if (!device || from > to)
        return;
    QPainter painter;
    if (!painter.begin(device))
        throw TessivalError(QStringLiteral("Printing failed"));
    for (int n = from; n <= to; ++n) {
        if (n > from && !device->newPage()) {
            painter.end();
            throw TessivalError(QStringLiteral("Printing failed"));
        }
        m_printer->DrawRecordedPage(&painter, n);
    }
    if (!painter.end())
        throw TessivalError(QStringLiteral("Printing failed"));
}

void TPreviewBox::SavePdf(const QString &fileName)
{
    const int count = m_printer->RecordedPageCount();
    if (count <= 0 || m_printer->IsPrinting())
        return;
    const QFileInfo target(fileName);
    const QString path = target.absoluteFilePath();
    const auto failed = [&](const QString &reason) {
        return FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    };
    // The sheets go to a file beside the target, which takes its name only once it is
    // complete.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.XXXXXX.pdf"));
    if (!temp.open())
        throw failed(temp.errorString());
    temp.close();
    // A new file gets the usual rights, a replaced one keeps its own.
    temp.setPermissions(target.exists()
            ? target.permissions()
            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    const int dpi = m_printer->ResolutionX();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(temp.fileName());
    pdf.setResolution(dpi);
    pdf.setFullPage(true);
    pdf.setDocName(m_printer->JobTitle());
    // The paper the sheets were laid out on: the printer's, or A4 without one.
    const QPageLayout::Orientation orientation = m_printer->PaperOrientation();
    const QPageSize paper = m_printer->HasPrinter()
        ? m_printer->PrintDevice()->pageLayout().pageSize()
        : QPageSize(QPageSize::A4);
    pdf.setPageLayout(QPageLayout(paper, orientation, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&pdf))
        throw failed(QStringLiteral("The PDF writer could not start."));
    for (int n = 1; n <= count; ++n) {
        if (n > 1 && !pdf.newPage()) {
            painter.end();
            throw failed(QStringLiteral("The PDF writer could not start a page."));
        }
        // The recorded origin is the printable area's corner on the paper.
        painter.save();
        painter.translate(m_printer->OffsetX(), m_printer->OffsetY());
        m_printer->DrawRecordedPage(&painter, n);
        painter.restore();
    }
    if (!painter.end())
        throw FileError(QStringLiteral("Stream write error"));
    // The writer does not report a failed write (a full disk): a whole file begins
    // with its signature and ends with its end marker.
    QFile written(temp.fileName());
    if (!written.open(QIODevice::ReadOnly) || !written.read(5).startsWith("%PDF")
        || !written.seek(qMax<qint64>(0, written.size() - 16))
        || !written.readAll().contains("%%EOF"))
        throw FileError(QStringLiteral("Stream write error"));
    written.close();
    // rename() swaps the names in one step: no moment without a whole file.
    if (std::rename(
            QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData())
        != 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    temp.setAutoRemove(false);
}

void TPreviewBox::SetSheetCount(int count)
{
    m_sheetCount = qMax(0, count);
    m_page->update();
}

void TPreviewBox::SetCurrentSheet(int sheet)
{
    m_currentSheet = qMax(1, sheet);
    m_page->update();
}

void TPreviewBox::PrinterPreviewChanged()
{
    if (OnPrinterPreviewChanged)
        OnPrinterPreviewChanged();
}

void TPreviewBox::OpenPreviewer()
{
    if (OnOpenPreviewer)
        OnOpenPreviewer();
}

void TPreviewBox::TakeRunHandlers(
    std::function<void()> pageSetup, std::function<void()> setupChanged, void *gridPrinter)
{
    m_pageSetup = std::move(pageSetup);
    m_setupChanged = std::move(setupChanged);
    m_gridPrinter = gridPrinter;
}

// ---------------------------------------------------------------- TPreviewForm

TPreviewForm::TPreviewForm(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Preview"));
    setWindowState(Qt::WindowMaximized);

    initPreviewResources();
    for (const char *name :
        { "print", "pdf", "printer-setup", "scale", "previous", "next", "stop", "close" })
        imlMain.append(QPixmap(QStringLiteral(":/preview/%1.png").arg(QLatin1String(name))));

    // The toolbar sits in a splitter above the preview box; dragging the splitter
    // changes the toolbar's look.
    splMain = new QSplitter(Qt::Vertical, this);
    splMain->setObjectName(QStringLiteral("splMain"));
    splMain->setChildrenCollapsible(false);
    splMain->setOpaqueResize(true);
    auto *pane = new ToolbarPane(splMain);
    tbrMain = new QToolBar(QStringLiteral("tbrMain"), pane);
    tbrMain->setObjectName(QStringLiteral("tbrMain"));
    tbrMain->setMovable(false);
    tbrMain->setFloatable(false);
    tbrMain->setIconSize(QSize(kImageSize, kImageSize));
    pane->setToolbar(tbrMain);
    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QToolButton(tbrMain);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setToolTip(hint);
        b->setIcon(QIcon(imlMain.value(m_buttons.size())));
        b->setIconSize(QSize(kImageSize, kImageSize));
        tbrMain->addWidget(b);
        m_buttons.append(b);
        return b;
    };
    tbtPrint = button("tbtPrint", QStringLiteral("Print"), QStringLiteral("Print"));
    tbtPdf = button("tbtPdf", QStringLiteral("PDF"), QStringLiteral("Save as PDF"));
    tbtPrinterSetupDialog = button(
        "tbtPrinterSetupDialog", QStringLiteral("Printer setup"), QStringLiteral("Printer setup"));
    tbtScale = button("tbtScale", QStringLiteral("Scale"), QStringLiteral("Scale"));
    tbtPrevPage
        = button("tbtPrevPage", QStringLiteral("Previous"), QStringLiteral("Previous page"));
    tbtNextPage = button("tbtNextPage", QStringLiteral("Next"), QStringLiteral("Next page"));
    tbStop = button("tbStop", QStringLiteral("Stop"), QString());
    tbClose = button("tbClose", QStringLiteral("Close"), QStringLiteral("Close preview"));
    applyToolbarLook();

    pmnScale = new QMenu(this);
    pmnScale->setObjectName(QStringLiteral("pmnScale"));
    m_scaleGroup = new QActionGroup(this);
    m_scaleGroup->setExclusive(true);
    const char *names[] = { "mni500", "mni200", "mni150", "mni100", "mni75", "mni50", "mni25",
        "mni10", "mniWidth", "mniFull" };
    const QString captions[] = { "500%", "200%", "150%", "100%", "75%", "50%", "25%", "10%",
        "Page Width", "Whole Page" };
    for (int mode = 0; mode <= kWholePageMode; ++mode) {
        QAction *item = pmnScale->addAction(captions[mode]);
        item->setObjectName(QLatin1String(names[mode]));
        item->setCheckable(true);
        item->setData(mode);
        m_scaleGroup->addAction(item);
        ScaleItems.append(item);
        connect(item, &QAction::triggered, this, [this, mode] { m_box->SetZoomMode(mode); });
    }
    tbtScale->setMenu(pmnScale);
    tbtScale->setPopupMode(QToolButton::InstantPopup);

    for (QToolButton *b : { tbtPrevPage, tbtNextPage }) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
    }

    m_box = new TPreviewBox(splMain);
    m_box->setObjectName(QStringLiteral("PreviewBox"));
    splMain->addWidget(pane);
    splMain->addWidget(m_box);
    // A larger window goes to the preview box; the toolbar keeps its height.
    splMain->setStretchFactor(0, 0);
    splMain->setStretchFactor(1, 1);
    setCentralWidget(splMain);
    connect(splMain, &QSplitter::splitterMoved, this, [this] { splMainMoved(); });
    m_box->OnPrinterPreviewChanged = [this] { PrinterPreviewChanged(); };
    m_box->OnOpenPreviewer = [this] { OpenPreviewer(); };

    stbMain = new QLabel(this);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    statusBar()->addWidget(stbMain, 1);

    connect(tbtPrint, &QToolButton::clicked, this, [this] { tbtPrintClick(); });
    connect(tbtPdf, &QToolButton::clicked, this, [this] { tbtPdfClick(); });
    connect(tbtPrinterSetupDialog, &QToolButton::clicked, this,
        [this] { tbtPrinterSetupDialogClick(); });
    connect(tbtPrevPage, &QToolButton::clicked, this, [this] { stepClicked(tbtPrevPage, -1); });
    connect(tbtNextPage, &QToolButton::clicked, this, [this] { stepClicked(tbtNextPage, 1); });
    connect(tbStop, &QToolButton::clicked, this, [this] { tbStopClick(); });
    connect(tbClose, &QToolButton::clicked, this, [this] { tbCloseClick(); });

    PrinterPreviewChanged();
}

TPreviewForm::~TPreviewForm() = default;

TToolbarLook ToolbarLookForHeight(TToolbarLook current, int height)
{
    if (height <= 24)
        return tlCaptions;
    if (height > 54)
        return tlImagesAndCaptions;
    switch (current) {
    case tlCaptions:
        return height > 40 ? tlImages : tlCaptions;
    case tlImages:
        return tlImages;
    case tlImagesAndCaptions:
        return height <= 41 ? tlImages : tlImagesAndCaptions;
    }
    return current;
}

void TPreviewForm::splMainMoved()
{
    SetToolbarLook(ToolbarLookForHeight(m_toolbarLook, splMain->sizes().value(0)));
}

void TPreviewForm::SetToolbarLook(TToolbarLook look)
{
    if (look == m_toolbarLook)
        return;
    m_toolbarLook = look;
    applyToolbarLook();
}

void TPreviewForm::applyToolbarLook()
{
    const TToolbarLook look = m_toolbarLook;
    const Qt::ToolButtonStyle style = look == tlCaptions ? Qt::ToolButtonTextOnly
        : look == tlImages                               ? Qt::ToolButtonIconOnly
                                                         : Qt::ToolButtonTextUnderIcon;
    tbrMain->setToolButtonStyle(style);
    for (QToolButton *b : std::as_const(m_buttons)) {
        b->setToolButtonStyle(style);
        if (look == tlImages) {
            b->setFixedSize(kImageButtonWidth, kImageButtonHeight);
        } else {
            b->setMinimumSize(0, 0);
            b->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
    }
}

void TPreviewForm::stepClicked(QToolButton *button, int step)
{
    // While held, the button repeats with the button still down; the click of the
    // final release adds no step after a repetition.
    if (button->isDown()) {
        m_repeating = button;
    } else if (m_repeating == button) {
        m_repeating = nullptr;
        return;
    }
    m_box->GoToSheet(m_box->CurrentSheet() + step);
}

void TPreviewForm::PrinterPreviewChanged()
{
    TPrinterPreview *printer = m_box->Printer();
    const bool running = printer->IsPrinting();
    if (!running && m_closeRequested) {
        m_closeRequested = false;
        close();
    }
    tbStop->setEnabled(running);
    tbClose->setEnabled(!running);
    tbtPrint->setEnabled(!running && printer->HasPrinter());
    tbtPdf->setEnabled(!running && printer->RecordedPageCount() > 0);
    tbtPrinterSetupDialog->setEnabled(!running && m_box->HasPageSetup());
    tbtPrevPage->setEnabled(m_box->CurrentSheet() > 1);
    tbtNextPage->setEnabled(m_box->CurrentSheet() < m_box->SheetCount());
    stbMain->setText(
        QString::asprintf("Page %d of %d", m_box->CurrentSheet(), m_box->SheetCount()));
    const int mode = m_box->ZoomMode();
    if (mode >= 0 && mode < ScaleItems.size())
        ScaleItems.at(mode)->setChecked(true);
    const QString title = printer->JobTitle();
    setWindowTitle(
        title.isEmpty() ? QStringLiteral("Preview") : QStringLiteral("Preview - ") + title);
}

void TPreviewForm::OpenPreviewer()
{
    if (isHidden() || isMinimized())
        showMaximized();
    raise();
    activateWindow();
}

void TPreviewForm::tbtPrintClick()
{
    runGuarded(this, [this] {
        TPrinterPreview *printer = m_box->Printer();
        const int count = m_box->SheetCount();
        if (count <= 0 || printer->IsPrinting() || !printer->HasPrinter())
            return;
        int from = 1;
        int to = count;
        if (!DialogService::instance()->printDialog(
                this, printer->PrintDevice(), 1, count, &from, &to))
            return;
        m_box->PrintSheets(printer->PrintDevice(), qBound(1, from, count), qBound(1, to, count));
    });
}

void TPreviewForm::tbtPdfClick()
{
    runGuarded(this, [this] {
        TPrinterPreview *printer = m_box->Printer();
        if (printer->IsPrinting() || printer->RecordedPageCount() <= 0)
            return;
        DialogService::SaveRequest request;
        request.fileName = PdfFileName;
        request.defaultSuffix = QStringLiteral("pdf");
        request.filter = QStringLiteral("pdf (*.pdf)");
        const QString fileName = DialogService::instance()->getSaveFileName(this, request);
        if (fileName.isEmpty())
            return;
        m_box->SavePdf(fileName);
    });
}

void TPreviewForm::tbtPrinterSetupDialogClick()
{
    if (m_box->Printer()->IsPrinting())
        return;
    m_box->RunPageSetup();
}

void TPreviewForm::tbStopClick()
{
    m_box->Printer()->AbortJob();
}

void TPreviewForm::tbCloseClick()
{
    close();
}

void TPreviewForm::closeEvent(QCloseEvent *event)
{
    TPrinterPreview *printer = m_box->Printer();
    if (printer->IsPrinting()) {
        // Stop the run and close once it has ended.
        printer->AbortJob();
        m_closeRequested = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TPreviewForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_box->Printer()->IsPrinting())
            tbStopClick();
        else
            close();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- PreviewPrinter

namespace {
QPointer<TPreviewForm> g_previewForm;
}

TPrinterPreview *PreviewPrinter()
{
    if (!g_previewForm) {
        // Owned by the application: it goes when the event loop ends.
        g_previewForm = new TPreviewForm;
        QObject::connect(
            qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete g_previewForm.data(); });
    }
    return g_previewForm->PreviewBox()->Printer();
}

void SetPreviewPdfFileName(const QString &fileName)
{
    PreviewPrinter();
    g_previewForm->PdfFileName = fileName;
}
