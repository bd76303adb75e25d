#pragma once

#include <QDialog>

class QGroupBox;
class TEditN;
class TGlgBtn;

// Checks that an edit's trimmed text is not empty; otherwise shows the message
// titled "温馨提示" with a stop icon and, with focus set, puts the focus on the edit.
bool RequireEditText(TEditN *edit, const QString &message, bool focus);

// The customer dialog: name, address and telephone. Created once and reused.
class TfKh : public QDialog
{
    Q_OBJECT
public:
    explicit TfKh(QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    TEditN *EditN1;   // 客户名称
    TEditN *EditN2;   // 地址
    TEditN *EditN3;   // 电话
    TGlgBtn *GlgBtn1; // 确认
    TGlgBtn *GlgBtn2; // 取消

    void FormShow();
    void GlgBtn1Click();
    void GlgBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;
};
