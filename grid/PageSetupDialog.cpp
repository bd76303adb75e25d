#include "grid/PageSetupDialog.h"

#include "platform/DialogService.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TPageSetupDialog::TPageSetupDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Printer setup"));
    auto *layout = new QVBoxLayout(this);

    auto *margins = new QGroupBox(QStringLiteral(" &Margins "), this);
    auto *grid = new QGridLayout(margins);
    const auto edit = [&](const QString &caption, int row, int col) {
        auto *e = new QLineEdit(margins);
        auto *label = new QLabel(caption, margins);
        label->setBuddy(e);
        grid->addWidget(label, row, col * 2);
        grid->addWidget(e, row, col * 2 + 1);
        return e;
    };
    TopEdit = edit(QStringLiteral("&Top"), 0, 0);
    BottomEdit = edit(QStringLiteral("&Bottom"), 1, 0);
    LeftEdit = edit(QStringLiteral("&Left"), 0, 1);
    RightEdit = edit(QStringLiteral("&Right"), 1, 1);
    layout->addWidget(margins);

    FitWidth = new QCheckBox(QStringLiteral("&Fits the width on one page"), this);
    layout->addWidget(FitWidth);
    auto *fitBox = new QGroupBox(this);
    auto *fitLayout = new QVBoxLayout(fitBox);
    ScaleGrid = new QRadioButton(QStringLiteral("Scale whole &grid"), fitBox);
    ChangeWidths = new QRadioButton(QStringLiteral("C&hange column widths"), fitBox);
    fitLayout->addWidget(ScaleGrid);
    fitLayout->addWidget(ChangeWidths);
    m_fitKind = new QButtonGroup(this);
    m_fitKind->addButton(ScaleGrid, 0);
    m_fitKind->addButton(ChangeWidths, 1);
    ScaleGrid->setChecked(true);
    layout->addWidget(fitBox);
    fitBox->setEnabled(false);
    connect(FitWidth, &QCheckBox::toggled, fitBox, &QWidget::setEnabled);

    OptimalWidths = new QCheckBox(QStringLiteral("Optimal column &widths"), this);
    StretchLines = new QCheckBox(QStringLiteral("&Stretch long lines"), this);
    Colored = new QCheckBox(QStringLiteral("&Colored"), this);
    layout->addWidget(OptimalWidths);
    layout->addWidget(StretchLines);
    layout->addWidget(Colored);

    auto *fontRow = new QHBoxLayout;
    FontName = new QLineEdit(this);
    FontButton = new QPushButton(QStringLiteral("..."), this);
    fontRow->addWidget(FontName, 1);
    fontRow->addWidget(FontButton);
    layout->addLayout(fontRow);
    connect(FontButton, &QPushButton::clicked, this, &TPageSetupDialog::chooseFont);

    auto *buttons = new QHBoxLayout;
    PrinterSetup = new QPushButton(QStringLiteral("&Printer setup"), this);
    PrinterSetup->setEnabled(false); // whoever shows the dialog knows the printers
    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    OkButton->setDefault(true);
    buttons->addWidget(PrinterSetup);
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    connect(PrinterSetup, &QPushButton::clicked, this, [this] {
        if (OnPrinterSetup)
            OnPrinterSetup();
    });
    for (QLineEdit *e : { TopEdit, BottomEdit, LeftEdit, RightEdit })
        e->installEventFilter(this);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool TPageSetupDialog::marginValue(const QLineEdit *edit, double *value)
{
    const QString text = edit->text().trimmed();
    bool ok = false;
    double v = QLocale::system().toDouble(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    if (ok && value)
        *value = v;
    return ok;
}

bool TPageSetupDialog::checkMargin(QLineEdit *edit)
{
    if (marginValue(edit, nullptr))
        return true;
    m_checking = true;
    DialogService::instance()->messageBox(this,
        QStringLiteral("'%1' is not a valid floating point value").arg(edit->text()), windowTitle(),
        MessageFlags::Ok | MessageFlags::IconError);
    // Going back leaves whichever field had the focus meanwhile: not a check of it.
    edit->setFocus();
    m_checking = false;
    return false;
}

bool TPageSetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A margin is checked as soon as it is left; its own message box, another
    // window and the Cancel button do not count as leaving it.
    if (event->type() == QEvent::FocusOut && !m_checking && isVisible()) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && QApplication::focusWidget() != CancelButton)
            checkMargin(edit);
    }
    return QDialog::eventFilter(watched, event);
}

void TPageSetupDialog::accept()
{
    for (QLineEdit *e : { TopEdit, BottomEdit, LeftEdit, RightEdit }) {
        if (!checkMargin(e))
            return; // stays open
    }
    QDialog::accept();
}

void TPageSetupDialog::chooseFont()
{
    QFontDialog dialog(QFont(FontName->text()), this);
    if (DialogService::instance()->execModal(&dialog) == IdOk)
        FontName->setText(dialog.selectedFont().family());
}
