#include "FakeDialogService.h"

FakeDialogService::FakeDialogService()
{
    DialogService::setInstance(this);
}

FakeDialogService::~FakeDialogService()
{
    DialogService::setInstance(nullptr);
}

int FakeDialogService::messageBox(QWidget *, const QString &text, const QString &title,
                                  unsigned flags)
{
    messages.append({text, title, flags});
    return answers.isEmpty() ? IdOk : answers.takeFirst();
}

QString FakeDialogService::getSaveFileName(QWidget *, const SaveRequest &request)
{
    saveRequests.append(request);
    return saveAnswer;
}

int FakeDialogService::execModal(QDialog *dialog)
{
    ++modalCount;
    return onModal ? onModal(dialog) : IdCancel;
}

bool FakeDialogService::printDialog(QWidget *, QPrinter *printer, int fromPage, int toPage,
                                    int *chosenFrom, int *chosenTo)
{
    printRequests.append({fromPage, toPage});
    if (!printAccept)
        return false;
    if (onPrint)
        onPrint(printer);
    if (chosenFrom)
        *chosenFrom = printFrom > 0 ? printFrom : fromPage;
    if (chosenTo)
        *chosenTo = printTo > 0 ? printTo : toPage;
    return true;
}

bool FakeDialogService::printerSetupDialog(QWidget *, PrinterSetup *setup)
{
    printerSetups.append(*setup);
    return onPrinterSetup ? onPrinterSetup(setup) : false;
}
