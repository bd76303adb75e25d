#pragma once

#include <QDateTime>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class TPageSetupDialog;
class TRecordGrid;
class TVirtualPrinter;

// Print options of a grid printer; all are off unless set.
enum TGridPrintOption {
    gpFitGridToPageWidth = 0x01,
    gpColored = 0x02,
    gpRowAutoStretch = 0x04,
    gpFitByColWidths = 0x08,
    gpOptimalColWidths = 0x10,
};
using TGridPrintOptions = int;

// Unit of the page margins: MM counts in centimetres (a margin of 2 is 2 cm), Inches
// in inches.
enum TMeasureUnits { MM = 0, Inches = 1 };

// Page margins, fixed point (value x 10000), 2 units on every side by default.
struct TPageParams
{
    qint64 TopMargin = 20000;
    qint64 BottomMargin = 20000;
    qint64 LeftMargin = 20000;
    qint64 RightMargin = 20000;
};

enum TPageColontitleLineType { pcltNon = 0, pcltSingleLine = 1, pcltDoubleLine = 2 };

// A block of text at the top (header) or bottom (footer) of every sheet: three
// line lists aligned left, centred and right, with page and date macros.
struct TPageColontitle
{
    QStringList LeftText;
    QStringList CenterText;
    QStringList RightText;
    QFont Font;
    TPageColontitleLineType LineType = pcltNon;

    bool isEmpty() const
    {
        return LeftText.isEmpty() && CenterText.isEmpty() && RightText.isEmpty();
    }
};

// Values that stand for the colontitle macros in one run.
struct TPrintMacroValues
{
    int page = 1;
    int pages = 1;
    QDateTime now;
};

// Replaces "&[Page]", "&[ShortDate]", "&[Date]", "&[LongDate]", "&[Time]" and
// "&[Pages]", in that order and regardless of case; an occurrence right after '&'
// stays as it is.
QString ReplaceColontitleMacros(const QString &text, const TPrintMacroValues &values);

// Lays a record grid out on sheets (page header and footer blocks, a title row, one
// row per record, the footer rows with totals of its own, grid lines) and draws them
// into a virtual printer. The grid's current record is back in place after a run,
// whether it ended, failed or was stopped.
class TGridPrinter : public QObject
{
    Q_OBJECT
public:
    explicit TGridPrinter(QObject *parent = nullptr);
    ~TGridPrinter() override;

    // The grid to print; forgotten when the grid is destroyed.
    TRecordGrid *Grid() const { return m_grid; }
    void SetGrid(TRecordGrid *grid) { m_grid = grid; }

    TGridPrintOptions Options = 0;
    TPageParams Page;
    TPageColontitle PageHeader;
    TPageColontitle PageFooter;
    // When set, replaces the face name of every font a run selects.
    QString PrintFontName;
    // A block above the title row on every sheet.
    QStringList Title;
    // Plain text lines printed before the first row and after the last one.
    QStringList BeforeGridText;
    QStringList AfterGridText;
    std::function<void()> OnBeforePrint;
    std::function<void()> OnAfterPrint;
    // Replaces the built-in page-setup handler of the preview window.
    std::function<void()> OnPrinterSetupDialog;

    TMeasureUnits Units() const { return m_units; }
    // A change converts the four margins into the new unit.
    void SetUnits(TMeasureUnits units);

    // One run into the given printer. Does nothing without a grid or an open data set,
    // and while a run is already in progress.
    void RenderTo(TVirtualPrinter *printer);
    // A run into the program's preview printer, which shows the sheets; its page-setup
    // command edits this printer's settings and runs again.
    void ShowPreview();
    // The page-setup dialog on the margins, the print font and the options; true when
    // the list must be drawn again: the settings were confirmed, or another printer,
    // paper or orientation was chosen through its printer set-up.
    bool EditPageSetup();

    bool isPrinting() const { return m_running; }

private:
    class Run;
    bool canRun() const;
    QPointer<TRecordGrid> m_grid;
    TMeasureUnits m_units = MM;
    bool m_running = false;
    bool m_printerChanged = false; // during EditPageSetup
    std::unique_ptr<TPageSetupDialog> m_setupDialog; // made once and kept
};
