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
