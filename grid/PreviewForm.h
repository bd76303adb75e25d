#pragma once

#include "grid/PrinterPreview.h"

#include <QAbstractScrollArea>
#include <QFrame>
#include <QMainWindow>
#include <QPixmap>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class TPreviewBox;

// The white sheet in the preview box; it paints the current sheet and hands the
// mouse to the box.
class TDrawPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TDrawPanel(TPreviewBox *box);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TPreviewBox *m_box;
};

// The scrolling box that shows one recorded sheet at a zoom. It owns the
// recording printer and is its view.
class TPreviewBox : public QAbstractScrollArea, public TPreviewView
{
    Q_OBJECT
public:
    explicit TPreviewBox(QWidget *parent = nullptr);
    ~TPreviewBox() override;

    TPrinterPreview *Printer() const { return m_printer.get(); }

    int ZoomMode() const { return m_zoomMode; }
    void SetZoomMode(int mode); // 0..7: 500% .. 10%, 8: page width, 9: whole page
    int ZoomPercent() const { return m_zoomPercent; }
    int SheetCount() const { return m_sheetCount; }
    int CurrentSheet() const { return m_currentSheet; }
    void GoToSheet(int n);

    // The page panel in viewport coordinates.
    QRect PageRect() const;
    QWidget *PagePanel() const;
    QWidget *ShadowPanel() const;

    bool HasPageSetup() const;
    void RunPageSetup();
    // Sends sheets from..to to the device, one device page each.
    void PrintSheets(QPrinter *device, int from, int to);
    // Writes every recorded sheet, in order, into a PDF file at the paper size it was
    // laid out on. The file appears only when it was written whole; an older file of
    // that name stays as it was otherwise. Throws FileError on failure.
    void SavePdf(const QString &fileName);

    // TPreviewView
    void SetSheetCount(int count) override;
    void SetCurrentSheet(int sheet) override;
    void PrinterPreviewChanged() override;
    void OpenPreviewer() override;
    void LayoutPage() override;
    void TakeRunHandlers(std::function<void()> pageSetup, std::function<void()> setupChanged,
        void *gridPrinter) override;

    std::function<void()> OnPrinterPreviewChanged;
    std::function<void()> OnOpenPreviewer;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class TDrawPanel;
    void paintSheet(QPainter *painter, const QRect &rect) const;
    void pageMousePress(QMouseEvent *event);
    void pageMouseMove(QMouseEvent *event);
    void pageMouseRelease(QMouseEvent *event);
    void clickZoom(const QPoint &pointInPage);
    // Sets the scroll ranges; returns the viewport size with the scroll bars they need.
    QSize updateRanges();
    void placePanels();
    QSize clientSize() const;

    std::unique_ptr<TPrinterPreview> m_printer;
    int m_zoomMode = 9;
    int m_sheetCount = 0;
    int m_currentSheet = 1;
    int m_zoomPercent = 100;
    std::function<void()> m_pageSetup;
    std::function<void()> m_setupChanged;
    void *m_gridPrinter = nullptr;
    QWidget *m_shadow;
    TDrawPanel *m_page;

    // Page size and place in content coordinates, and the scrollable content size
    // (0 where that direction does not scroll).
    int m_pageW = 0;
    int m_pageH = 0;
    int m_pageX = 0;
    int m_pageY = 0;
    int m_contentW = 0;
    int m_contentH = 0;
    QSize m_laidOutFor; // the box size of the last layout

    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_lastGlobal;
    QPoint m_pressInPage;
};

// The looks of the preview toolbar, switched by dragging the splitter under it.
enum TToolbarLook { tlCaptions = 0, tlImages = 1, tlImagesAndCaptions = 2 };

// The look the toolbar takes when the splitter leaves it `height` pixels tall. The
// thresholds differ by direction so that a height near one does not flicker between
// two looks: captions give way to images past 40 and images gain captions past 54;
// captions go at 41 or less and images at 24 or less.
TToolbarLook ToolbarLookForHeight(TToolbarLook current, int height);

// The print preview window: toolbar, the preview box and a status line.
class TPreviewForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TPreviewForm(QWidget *parent = nullptr);
    ~TPreviewForm() override;

    TPreviewBox *PreviewBox() const { return m_box; }

    QToolBar *tbrMain;
    QSplitter *splMain; // between the toolbar and the preview box
    QList<QPixmap> imlMain; // the 32 x 32 toolbar images, one per button in order
    QToolButton *tbtPrint;
    QToolButton *tbtPdf;
    QToolButton *tbtPrinterSetupDialog;
    QToolButton *tbtScale;
    QToolButton *tbtPrevPage;
    QToolButton *tbtNextPage;
    QToolButton *tbStop;
    QToolButton *tbClose;
    QMenu *pmnScale;
    QList<QAction *> ScaleItems; // mni500 .. mniFull, the item's data is its mode
    QLabel *stbMain;

    void tbtPrintClick();
    void tbtPdfClick();
    // The file name the PDF command proposes, without a folder ("order.pdf").
    QString PdfFileName;
    void tbtPrinterSetupDialogClick();
    void tbStopClick();
    void tbCloseClick();
    // The splitter was dragged: the toolbar's look follows its new height.
    void splMainMoved();

    TToolbarLook ToolbarLook() const { return m_toolbarLook; }
    void SetToolbarLook(TToolbarLook look);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void PrinterPreviewChanged();
    void OpenPreviewer();
    void stepClicked(QToolButton *button, int step);
    void applyToolbarLook();

    TPreviewBox *m_box;
    QActionGroup *m_scaleGroup;
    bool m_closeRequested = false;
    QToolButton *m_repeating = nullptr; // the button being auto-repeated
    QList<QToolButton *> m_buttons; // the toolbar's buttons in order
    TToolbarLook m_toolbarLook = tlCaptions;
};

// The program's one recording printer. The first call makes the preview window
// (hidden); both live until the program ends.
TPrinterPreview *PreviewPrinter();
// The file name the preview window's PDF command proposes for the next run.
void SetPreviewPdfFileName(const QString &fileName);
