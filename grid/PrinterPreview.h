#pragma once

#include "grid/VirtualPrinter.h"

#include <functional>
#include <memory>
#include <vector>

class QPicture;
class QPrinter;

// What the preview printer tells the window that shows its sheets.
class TPreviewView
{
public:
    virtual ~TPreviewView();
    // Plain setters: the printer calls PrinterPreviewChanged() when it is done.
    virtual void SetSheetCount(int count) = 0;
    virtual void SetCurrentSheet(int sheet) = 0;
    virtual void PrinterPreviewChanged() = 0;
    virtual void OpenPreviewer() = 0;
    virtual void LayoutPage() = 0;
    // At the end of a run the view takes over what the page-setup command needs.
    virtual void TakeRunHandlers(
        std::function<void()> pageSetup, std::function<void()> setupChanged, void *gridPrinter)
        = 0;
};

// A printer that records every sheet instead of printing it, so that the preview
// window can show the sheets at any size and print them later. Without an installed
// printer it answers with an A4 sheet at 600 dpi.
class TPrinterPreview : public TVirtualPrinter
{
public:
    TPrinterPreview();
    ~TPrinterPreview() override;

    bool IsAborted() const override;
    QPainter *PageCanvas() override;
    int PrintableHeight() const override;
    int PrintableWidth() const override;
    int CurrentPage() const override;
    bool IsPrinting() const override;
    int PaperWidth() const override;
    int PaperHeight() const override;
    int ResolutionX() const override;
    int ResolutionY() const override;
    void AbortJob() override;
    void StartJob() override;
    void FinishJob() override;
    void StartPage() override;
    // Takes the device's sizes again (another printer, paper or orientation) and
    // has the view lay the page out again.
    void DeviceChanged() override;

    // Sheet n (from 1) at (0, 0) at its recorded size in the painter's device pixels;
    // the caller scales. Sheets still being drawn and numbers out of range draw nothing.
    void DrawRecordedPage(QPainter *canvas, int n) const;
    int RecordedPageCount() const; // completed sheets

    int OffsetX() const; // physical offsets of the printable area
    int OffsetY() const;
    double PrintableWidthMM() const;
    double PrintableHeightMM() const;
    QPrinter *PrintDevice() const; // prints the recorded sheets

    void SetView(TPreviewView *view);
    TPreviewView *View() const;

    // Called by the preview's page-setup command; set before a run by whoever draws it.
    void setPageSetupHandler(std::function<void()> handler);
    void setSetupChangedHandler(std::function<void()> handler);
    // Whoever draws the current run; only handed on to the view.
    void setGridPrinter(void *gridPrinter);
    void *gridPrinter() const;

private:
    class Sheet;
    bool m_aborted = false;
    std::vector<std::unique_ptr<Sheet>> m_pages;
    std::function<void()> m_setupChanged;
    std::function<void()> m_pageSetup;
    int m_currentPage = -1;
    TPreviewView *m_view = nullptr;
    void *m_gridPrinter = nullptr;
    bool m_printing = false;
    std::unique_ptr<QPainter> m_painter; // the recording surface of the sheet being drawn

    // The device's answers, taken when the printer is made and after each change.
    struct Metrics
    {
        int printableWidth = 0, printableHeight = 0;
        int offsetX = 0, offsetY = 0;
        int resolutionX = 0, resolutionY = 0;
        double printableWidthMM = 0, printableHeightMM = 0;
    };
    Metrics m_metrics;

    void takeDevice();
    void beginSheet();
};
