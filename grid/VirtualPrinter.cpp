#include "grid/VirtualPrinter.h"

#include "platform/PrinterService.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

struct TVirtualPrinter::Private
{
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    int page = -1;
    int deviceIndex = -1;
    QStringList devices; // the installed printers, as found when last asked
};

TVirtualPrinter::TVirtualPrinter()
    : d(std::make_unique<Private>())
{
    d->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The print system is asked once here: each question may wait on a print server,
    // and the answers hold until the user picks another printer.
    const PrinterService *service = PrinterService::instance();
    d->devices = service->printerNames();
    const int index = d->devices.isEmpty() ? -1 : service->defaultIndex();
    if (index >= 0 && index < d->devices.size()) {
        d->printer->setPrinterName(d->devices.at(index));
        d->deviceIndex = index;
    } else {
        d->devices.clear();
        // No printer: a PDF device on A4 stands in, so that every query has an answer.
        d->printer->setOutputFormat(QPrinter::PdfFormat);
        d->printer->setResolution(600);
        d->printer->setPageSize(QPageSize(QPageSize::A4));
    }
}

TVirtualPrinter::~TVirtualPrinter()
{
    if (d->painter.isActive())
        d->painter.end();
}

QPrinter *TVirtualPrinter::Device() const
{
    return d->printer.get();
}

bool TVirtualPrinter::IsAborted() const
{
    return d->printer->printerState() == QPrinter::Aborted;
}

QPainter *TVirtualPrinter::PageCanvas()
{
    return d->painter.isActive() ? &d->painter : nullptr;
}

QStringList TVirtualPrinter::FontList() const
{
    return QFontDatabase::families();
}

int TVirtualPrinter::CopyCount() const
{
    return d->printer->copyCount();
}

QPageLayout::Orientation TVirtualPrinter::PaperOrientation() const
{
    return d->printer->pageLayout().orientation();
}

int TVirtualPrinter::PrintableHeight() const
{
    return d->printer->height();
}

int TVirtualPrinter::PrintableWidth() const
{
    return d->printer->width();
}

int TVirtualPrinter::CurrentPage() const
{
    return d->page;
}

bool TVirtualPrinter::IsPrinting() const
{
    return d->painter.isActive();
}

QString TVirtualPrinter::JobTitle() const
{
    return d->printer->docName();
}

int TVirtualPrinter::PaperWidth() const
{
    const QRect paint = d->printer->pageLayout().paintRectPixels(d->printer->resolution());
    return PrintableWidth() + 2 * paint.left();
}

int TVirtualPrinter::PaperHeight() const
{
    const QRect paint = d->printer->pageLayout().paintRectPixels(d->printer->resolution());
    return PrintableHeight() + 2 * paint.top();
}

int TVirtualPrinter::DeviceIndex() const
{
    return d->deviceIndex;
}

QStringList TVirtualPrinter::DeviceList() const
{
    return d->devices;
}

bool TVirtualPrinter::HasPrinter() const
{
    return d->deviceIndex >= 0;
}

void TVirtualPrinter::DeviceChanged() { }

int TVirtualPrinter::ResolutionX() const
{
    return d->printer->logicalDpiX();
}

int TVirtualPrinter::ResolutionY() const
{
    return d->printer->logicalDpiY();
}

void TVirtualPrinter::SelectDevice(int index)
{
    const QStringList names = DeviceList();
    if (index < 0 || index >= names.size() || IsPrinting())
        return;
    d->printer->setPrinterName(names.at(index));
    d->deviceIndex = index;
    DeviceChanged();
}

void TVirtualPrinter::SetCopyCount(int count)
{
    d->printer->setCopyCount(qMax(1, count));
}

void TVirtualPrinter::SetPaperOrientation(QPageLayout::Orientation orientation)
{
    d->printer->setPageOrientation(orientation);
    DeviceChanged();
}

void TVirtualPrinter::SetPaperSize(const QPageSize &size)
{
    if (IsPrinting())
        return;
    d->printer->setPageSize(size);
    DeviceChanged();
}

void TVirtualPrinter::SetJobTitle(const QString &title)
{
    d->printer->setDocName(title);
}

void TVirtualPrinter::AbortJob()
{
    if (d->painter.isActive())
        d->printer->abort();
}

void TVirtualPrinter::StartJob()
{
    if (d->painter.isActive())
        d->painter.end();
    d->page = d->painter.begin(d->printer.get()) ? 1 : -1;
}

void TVirtualPrinter::FinishJob()
{
    if (d->painter.isActive())
        d->painter.end();
    d->page = -1;
}

void TVirtualPrinter::StartPage()
{
    if (!d->painter.isActive())
        return;
    if (d->printer->newPage())
        ++d->page;
}
