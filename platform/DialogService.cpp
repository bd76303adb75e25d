#include "platform/DialogService.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
DialogService *g_override = nullptr;
}

DialogService::~DialogService() = default;

DialogService *DialogService::instance()
{
    static QtDialogService real;
    return g_override ? g_override : &real;
}

void DialogService::setInstance(DialogService *service)
{
    g_override = service;
}

int QtDialogService::messageBox(QWidget *parent, const QString &text, const QString &title,
                                unsigned flags)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (flags & 0x00F0) {
    case MessageFlags::IconError: box.setIcon(QMessageBox::Critical); break;
    case MessageFlags::IconQuestion: box.setIcon(QMessageBox::Question); break;
    case MessageFlags::IconWarning: box.setIcon(QMessageBox::Warning); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if ((flags & 0x000F) == MessageFlags::OkCancel) {
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton((flags & MessageFlags::DefButton2) && cancel ? cancel : ok);
    box.exec();
    return box.clickedButton() == ok ? IdOk : IdCancel;
}

QString QtDialogService::getSaveFileName(QWidget *parent, const SaveRequest &request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

int QtDialogService::execModal(QDialog *dialog)
{
    return dialog->exec() == QDialog::Accepted ? IdOk : IdCancel;
}

bool QtDialogService::printDialog(QWidget *parent, QPrinter *printer, int fromPage, int toPage,
                                  int *chosenFrom, int *chosenTo)
{
    QPrintDialog dialog(printer, parent);
    dialog.setMinMax(fromPage, toPage);
    dialog.setFromTo(fromPage, toPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    int from = fromPage;
    int to = toPage;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        from = printer->fromPage();
        to = printer->toPage();
    }
    if (chosenFrom)
        *chosenFrom = from;
    if (chosenTo)
        *chosenTo = to;
    return true;
}
