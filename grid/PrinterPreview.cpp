#include "grid/PrinterPreview.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>

namespace {
// The sheet every query answers without an installed printer: A4 at 600 dpi.
constexpr int kA4Resolution = 600;
constexpr int kA4PrintableWidth = 4676;
constexpr int kA4PrintableHeight = 6744;
constexpr int kA4OffsetX = 130;
constexpr int kA4OffsetY = 150;
constexpr double kA4PrintableWidthMM = 198;
constexpr double kA4PrintableHeightMM = 285;
}

TPreviewView::~TPreviewView() = default;

// One recorded sheet. It reports the printer's resolution and printable area, so
// that fonts chosen on it measure as they will on paper.
class TPrinterPreview::Sheet : public QPicture
{
public:
    Sheet(int dpi, int width, int height, double widthMM, double heightMM)
        : m_dpi(dpi)
        , m_width(width)
        , m_height(height)
        , m_widthMM(widthMM)
        , m_heightMM(heightMM)
    {
    }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return m_width;
        case PdmHeight:
            return m_height;
        case PdmWidthMM:
            return qRound(m_widthMM);
        case PdmHeightMM:
            return qRound(m_heightMM);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        default:
            return QPicture::metric(m);
        }
    }

private:
    int m_dpi;
    int m_width;
    int m_height;
    double m_widthMM;
    double m_heightMM;
};

TPrinterPreview::TPrinterPreview()
{
    takeDevice();
}

TPrinterPreview::~TPrinterPreview()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void TPrinterPreview::takeDevice()
{
    // Every size query reads what is taken here: asking the device each time may
    // wait on the print system, once per sheet and per repaint.
    Metrics m;
    if (HasPrinter()) {
        m.printableWidth = TVirtualPrinter::PrintableWidth();
        m.printableHeight = TVirtualPrinter::PrintableHeight();
        // The base's paper size adds the offsets to this printer's own (cached)
        // printable size, so they are read from the device here.
        const QPrinter *device = Device();
        const QRect paint = device->pageLayout().paintRectPixels(device->resolution());
        m.offsetX = paint.left();
        m.offsetY = paint.top();
        m.resolutionX = TVirtualPrinter::ResolutionX();
        m.resolutionY = TVirtualPrinter::ResolutionY();
        m.printableWidthMM = m.printableWidth * 25.4 / qMax(1, m.resolutionX);
        m.printableHeightMM = m.printableHeight * 25.4 / qMax(1, m.resolutionY);
    } else {
        const bool landscape = PaperOrientation() == QPageLayout::Landscape;
        m.printableWidth = landscape ? kA4PrintableHeight : kA4PrintableWidth;
        m.printableHeight = landscape ? kA4PrintableWidth : kA4PrintableHeight;
        m.offsetX = landscape ? kA4OffsetY : kA4OffsetX;
        m.offsetY = landscape ? kA4OffsetX : kA4OffsetY;
        m.resolutionX = m.resolutionY = kA4Resolution;
        m.printableWidthMM = landscape ? kA4PrintableHeightMM : kA4PrintableWidthMM;
        m.printableHeightMM = landscape ? kA4PrintableWidthMM : kA4PrintableHeightMM;
    }
    m_metrics = m;
}

void TPrinterPreview::DeviceChanged()
{
    takeDevice();
    if (m_view && !m_printing)
        m_view->LayoutPage();
}

bool TPrinterPreview::IsAborted() const
{
    return m_aborted;
}

QPainter *TPrinterPreview::PageCanvas()
{
    return m_painter && m_painter->isActive() ? m_painter.get() : nullptr;
}

int TPrinterPreview::PrintableHeight() const
{
    return m_metrics.printableHeight;
}

int TPrinterPreview::PrintableWidth() const
{
    return m_metrics.printableWidth;
}

int TPrinterPreview::OffsetX() const
{
    return m_metrics.offsetX;
}

int TPrinterPreview::OffsetY() const
{
    return m_metrics.offsetY;
}

int TPrinterPreview::PaperWidth() const
{
    return PrintableWidth() + 2 * OffsetX();
}

int TPrinterPreview::PaperHeight() const
{
    return PrintableHeight() + 2 * OffsetY();
}

int TPrinterPreview::ResolutionX() const
{
    return m_metrics.resolutionX;
}

int TPrinterPreview::ResolutionY() const
{
    return m_metrics.resolutionY;
}

double TPrinterPreview::PrintableWidthMM() const
{
    return m_metrics.printableWidthMM;
}

double TPrinterPreview::PrintableHeightMM() const
{
    return m_metrics.printableHeightMM;
}

int TPrinterPreview::CurrentPage() const
{
    return m_currentPage;
}

bool TPrinterPreview::IsPrinting() const
{
    return m_printing;
}

QPrinter *TPrinterPreview::PrintDevice() const
{
    return Device();
}

void TPrinterPreview::SetView(TPreviewView *view)
{
    m_view = view;
}

TPreviewView *TPrinterPreview::View() const
{
    return m_view;
}

void TPrinterPreview::setPageSetupHandler(std::function<void()> handler)
{
    m_pageSetup = std::move(handler);
}

void TPrinterPreview::setSetupChangedHandler(std::function<void()> handler)
{
    m_setupChanged = std::move(handler);
}

void TPrinterPreview::setGridPrinter(void *gridPrinter)
{
    m_gridPrinter = gridPrinter;
}

void *TPrinterPreview::gridPrinter() const
{
    return m_gridPrinter;
}

void TPrinterPreview::AbortJob()
{
    // The run looks at the flag at the start of every sheet and ends there.
    m_aborted = true;
}

void TPrinterPreview::beginSheet()
{
    // Fonts measure at the lower of the two resolutions, as on the printer.
    const int dpi = qMin(ResolutionX(), ResolutionY());
    m_pages.push_back(std::make_unique<Sheet>(
        dpi, PrintableWidth(), PrintableHeight(), PrintableWidthMM(), PrintableHeightMM()));
}

void TPrinterPreview::StartJob()
{
    if (!m_painter)
        m_painter = std::make_unique<QPainter>();
    if (m_painter->isActive())
        m_painter->end();
    m_pages.clear();
    beginSheet();
    m_painter->begin(m_pages.back().get());
    m_currentPage = 1;
    m_aborted = false;
    m_printing = true;
    if (m_view) {
        m_view->SetSheetCount(1);
        m_view->SetCurrentSheet(1);
        m_view->PrinterPreviewChanged();
    }
}

void TPrinterPreview::StartPage()
{
    if (!m_printing)
        return; // no job open: nothing to end and nowhere to draw
    beginSheet();
    m_painter->end(); // completes the previous sheet
    if (m_pages.size() == 2 && m_view)
        m_view->LayoutPage();
    m_painter->begin(m_pages.back().get());
    ++m_currentPage;
    if (m_view) {
        m_view->SetSheetCount(int(m_pages.size()) - 1);
        m_view->OpenPreviewer();
        m_view->PrinterPreviewChanged();
    }
}

void TPrinterPreview::FinishJob()
{
    if (!m_printing)
        return;
    m_painter->end();
    m_currentPage = -1;
    m_printing = false;
    auto pageSetup = std::exchange(m_pageSetup, {});
    auto setupChanged = std::exchange(m_setupChanged, {});
    void *grid = std::exchange(m_gridPrinter, nullptr);
    if (!m_view)
        return;
    m_view->SetSheetCount(int(m_pages.size()));
    if (m_pages.size() == 1)
        m_view->LayoutPage();
    m_view->TakeRunHandlers(std::move(pageSetup), std::move(setupChanged), grid);
    m_view->OpenPreviewer();
    m_view->PrinterPreviewChanged();
}

int TPrinterPreview::RecordedPageCount() const
{
    const int n = int(m_pages.size());
    return m_printing ? n - 1 : n;
}

void TPrinterPreview::DrawRecordedPage(QPainter *canvas, int n) const
{
    if (!canvas || n < 1 || n > RecordedPageCount())
        return;
    // Playback multiplies by the target's dpi over the picture default dpi; undo
    // that so the sheet lands at its recorded size in the target's pixels.
    static const int pictureDpi = QPicture().logicalDpiX();
    const QPaintDevice *target = canvas->device();
    const qreal sx = target ? qreal(pictureDpi) / target->logicalDpiX() : 1.0;
    const qreal sy = target ? qreal(pictureDpi) / target->logicalDpiY() : 1.0;
    canvas->save();
    canvas->scale(sx, sy);
    canvas->drawPicture(0, 0, *m_pages.at(size_t(n - 1)));
    canvas->restore();
}
