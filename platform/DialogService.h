#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QPrinter;
class QWidget;

// Message-box flags in the sense of the design: one button set, one icon, one default.
namespace MessageFlags {
enum : unsigned {
    Ok = 0x0000,
    OkCancel = 0x0001,
    IconError = 0x0010,     // stop sign
    IconQuestion = 0x0020,
    IconWarning = 0x0030,   // exclamation mark
    DefButton2 = 0x0100,
};
}

// Answers of a message box or modal dialog.
enum DialogResult { IdOk = 1, IdCancel = 2 };

// Everything the program asks the user goes through this service, so that tests
// can script the answers and read back what was asked.
class DialogService
{
public:
    virtual ~DialogService();

    virtual int messageBox(QWidget *parent, const QString &text, const QString &title,
                           unsigned flags) = 0;

    struct SaveRequest {
        QString fileName;         // proposed name
        QString defaultSuffix;    // without the dot
        QString filter;           // "xls (*.xls)"
        bool confirmOverwrite = true;
    };
    // Returns the chosen path, or an empty text when cancelled.
    virtual QString getSaveFileName(QWidget *parent, const SaveRequest &request) = 0;

    // Shows a dialog modally and returns its result (IdOk or IdCancel).
    virtual int execModal(QDialog *dialog) = 0;

    // The system print dialog for a document of the pages fromPage..toPage. On OK the
    // printer carries the chosen settings and *chosenFrom/*chosenTo the chosen range.
    virtual bool printDialog(QWidget *parent, QPrinter *printer, int fromPage, int toPage,
                             int *chosenFrom, int *chosenTo) = 0;

    // What the printer set-up dialog shows and changes: the printer, its paper and
    // the orientation. It prints nothing.
    struct PrinterSetup {
        QStringList printers;
        int printer = -1;    // index into printers
        QPageSize paper;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
    };
    // Returns true when the user confirmed; *setup then holds the choice.
    virtual bool printerSetupDialog(QWidget *parent, PrinterSetup *setup) = 0;

    static DialogService *instance();
    // Installs a replacement (tests); nullptr restores the real one. Not owned.
    static void setInstance(DialogService *service);
};

// The real service: Qt message boxes and dialogs.
class QtDialogService : public DialogService
{
public:
    int messageBox(QWidget *parent, const QString &text, const QString &title,
                   unsigned flags) override;
    QString getSaveFileName(QWidget *parent, const SaveRequest &request) override;
    int execModal(QDialog *dialog) override;
    bool printDialog(QWidget *parent, QPrinter *printer, int fromPage, int toPage,
                     int *chosenFrom, int *chosenTo) override;
    bool printerSetupDialog(QWidget *parent, PrinterSetup *setup) override;
};
