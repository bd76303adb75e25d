#pragma once

#include "platform/DialogService.h"

#include <QList>
#include <QString>
#include <functional>

// A dialog service for tests: records every question and answers from a script.
// Installs itself on construction and restores the real service on destruction.
class FakeDialogService : public DialogService
{
public:
    struct Message {
        QString text;
        QString title;
        unsigned flags;
    };

    FakeDialogService();
    ~FakeDialogService() override;

    int messageBox(QWidget *parent, const QString &text, const QString &title,
                   unsigned flags) override;
    QString getSaveFileName(QWidget *parent, const SaveRequest &request) override;
    int execModal(QDialog *dialog) override;
    bool printDialog(QWidget *parent, QPrinter *printer, int fromPage, int toPage,
                     int *chosenFrom, int *chosenTo) override;
    bool printerSetupDialog(QWidget *parent, PrinterSetup *setup) override;

    QList<Message> messages;            // every message box shown, in order
    QList<int> answers;                 // answers to the next message boxes; IdOk when empty
    QList<SaveRequest> saveRequests;    // every save dialog shown
    QString saveAnswer;                 // path the save dialog returns ("" = cancelled)
    // Runs in place of a modal dialog: it may fill the dialog and press its buttons.
    // Its return value is the dialog's result. Without one, the dialog is cancelled.
    std::function<int(QDialog *)> onModal;
    int modalCount = 0;

    struct PrintRequest {
        int fromPage;
        int toPage;
    };
    QList<PrintRequest> printRequests;    // every print dialog shown
    // Answer of the print dialog: accepted with this range ({0, 0} = the whole range
    // offered), or cancelled. onPrint, when set, may adjust the printer (e.g. its
    // output file) before printing starts.
    bool printAccept = false;
    int printFrom = 0;
    int printTo = 0;
    std::function<void(QPrinter *)> onPrint;

    // Every printer set-up dialog shown, with what it was offered; onPrinterSetup,
    // when set, makes the choice and answers, else the dialog is cancelled.
    QList<PrinterSetup> printerSetups;
    std::function<bool(PrinterSetup *)> onPrinterSetup;
};
