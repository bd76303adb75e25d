#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;

// An abstract printer: what the grid printer draws through. The base class forwards
// to the system's current printer; the preview printer records every sheet so that
// the preview window can show and print it later.
//
// Geometry is in device pixels; PageCanvas() paints on the sheet being drawn and
// measures fonts at the device's resolution.
class TVirtualPrinter
{
public:
    TVirtualPrinter();
    virtual ~TVirtualPrinter();
    TVirtualPrinter(const TVirtualPrinter &) = delete;
    TVirtualPrinter &operator=(const TVirtualPrinter &) = delete;

    virtual bool IsAborted() const;
    virtual QPainter *PageCanvas(); // valid between StartJob and FinishJob
    virtual QStringList FontList() const;
    virtual int CopyCount() const;
    virtual QPageLayout::Orientation PaperOrientation() const;
    virtual int PrintableHeight() const;
    virtual int PrintableWidth() const;
    virtual int CurrentPage() const;
    virtual bool IsPrinting() const;
    virtual QString JobTitle() const;
    virtual int PaperWidth() const; // PrintableWidth + 2 x horizontal offset
    virtual int PaperHeight() const; // PrintableHeight + 2 x vertical offset
    virtual int DeviceIndex() const;
    virtual QStringList DeviceList() const; // as found when the printer was made
    // Whether a printer is installed: the one place that decides it. Without one the
    // answers are those of a stand-in A4 sheet.
    bool HasPrinter() const;
    virtual int ResolutionX() const;
    virtual int ResolutionY() const;
    virtual void SelectDevice(int index);
    virtual void SetCopyCount(int count);
    virtual void SetPaperOrientation(QPageLayout::Orientation orientation);
    void SetPaperSize(const QPageSize &size);
    virtual void SetJobTitle(const QString &title);
    virtual void AbortJob();
    virtual void StartJob();
    virtual void FinishJob();
    virtual void StartPage();
    // To be called after the device's printer, paper or orientation was changed
    // from outside (a printer set-up dialog on Device()): cached answers are taken
    // again.
    virtual void DeviceChanged();

protected:
    // The system printer object behind the forwarding operations.
    QPrinter *Device() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
