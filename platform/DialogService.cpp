#include "platform/DialogService.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPrintDialog>
#include <QPrinterInfo>
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

bool QtDialogService::printerSetupDialog(QWidget *parent, PrinterSetup *setup)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    auto *form = new QFormLayout(&dialog);
    auto *printer = new QComboBox(&dialog);
    printer->addItems(setup->printers);
    printer->setCurrentIndex(setup->printer);
    auto *paper = new QComboBox(&dialog);
    auto *orientation = new QComboBox(&dialog);
    orientation->addItem(QStringLiteral("Portrait"), int(QPageLayout::Portrait));
    orientation->addItem(QStringLiteral("Landscape"), int(QPageLayout::Landscape));
    orientation->setCurrentIndex(setup->orientation == QPageLayout::Landscape ? 1 : 0);
    form->addRow(QStringLiteral("&Printer"), printer);
    form->addRow(QStringLiteral("Paper &size"), paper);
    form->addRow(QStringLiteral("&Orientation"), orientation);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The paper sizes the chosen printer offers.
    const auto fillPapers = [&] {
        const QString chosen = paper->count() ? paper->currentText() : setup->paper.name();
        paper->clear();
        QList<QPageSize> sizes
            = QPrinterInfo::printerInfo(printer->currentText()).supportedPageSizes();
        if (sizes.isEmpty()) {
            for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A3, QPageSize::A5,
                                             QPageSize::B5, QPageSize::Letter, QPageSize::Legal})
                sizes.append(QPageSize(id));
        }
        for (const QPageSize &size : sizes)
            paper->addItem(size.name(), QVariant::fromValue(size));
        const int at = paper->findText(chosen);
        paper->setCurrentIndex(at >= 0 ? at : 0);
    };
    fillPapers();
    QObject::connect(printer, &QComboBox::currentIndexChanged, &dialog, fillPapers);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setup->printer = printer->currentIndex();
    if (paper->currentIndex() >= 0)
        setup->paper = paper->currentData().value<QPageSize>();
    setup->orientation = QPageLayout::Orientation(orientation->currentData().toInt());
    return true;
}
