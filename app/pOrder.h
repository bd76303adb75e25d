#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QFrame;
class TEditN;
class TGlgBtn;

// The order dialog: one publication with its full-year price, and the copies and
// months to subscribe. Checks the entries on "确定"; it never touches the database.
// Created once and reused: its texts stay as they were between uses.
class TfOrder : public QDialog
{
    Q_OBJECT
public:
    explicit TfOrder(QWidget *parent = nullptr);

    // Page index of the publication shown; only 1 (self-distributed) changes the checks.
    int PublicationType = 0;

    QGroupBox *GroupBox1;
    TEditN *EditN1;   // code, read-only
    TEditN *EditN2;   // name, read-only
    TEditN *EditN3;   // full-year price, read-only
    TEditN *EditN4;   // copies
    TEditN *EditN5;   // first month
    TEditN *EditN6;   // last month
    TEditN *EditN7;   // monthly price, hidden
    QFrame *Bevel1;
    TGlgBtn *GlgBtn1; // 确定
    TGlgBtn *GlgBtn2; // 取消

    // The checks of "确定": closes with OK when all pass. Conversion failures throw
    // ConversionError (shown by the general error report).
    void GlgBtn1Click();
    void GlgBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool refuse(const QString &message, QWidget *focusTarget);
};
