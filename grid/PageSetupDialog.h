#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The grid printer's page-setup dialog: margins, fitting to the page width, optimal
// widths, stretched lines, colours and the print font. The margins are texts here;
// the dialog accepts only when all four hold numbers.
class TPageSetupDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TPageSetupDialog(QWidget *parent = nullptr);

    QLineEdit *TopEdit, *BottomEdit, *LeftEdit, *RightEdit;
    QCheckBox *FitWidth;
    QRadioButton *ScaleGrid, *ChangeWidths;
    QCheckBox *OptimalWidths, *StretchLines, *Colored;
    QLineEdit *FontName;
    QPushButton *FontButton, *PrinterSetup, *OkButton, *CancelButton;

    // Runs the printer set-up (printer, paper, orientation); whoever shows the dialog
    // enables the button when printers are installed.
    std::function<void()> OnPrinterSetup;

    // The number in a margin edit; false when the text is not one.
    static bool marginValue(const QLineEdit *edit, double *value);

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the number-conversion error and keeps the focus in the edit when its
    // text is not a number.
    bool checkMargin(QLineEdit *edit);
    bool m_checking = false;
    void chooseFont();
    QButtonGroup *m_fitKind;
};
