#include "app/HpKh.h"

#include "app/WindowStyle.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "platform/DialogService.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QGroupBox>
#include <QLabel>

bool RequireEditText(TEditN *edit, const QString &message, bool focus)
{
    if (!trimControl(edit->text()).isEmpty())
        return true;
    DialogService::instance()->messageBox(edit->window(), message, QStringLiteral("温馨提示"),
                                          MessageFlags::Ok | MessageFlags::IconError);
    if (focus)
        edit->setFocus();
    return false;
}

TfKh::TfKh(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fKh"));
    setWindowTitle(QStringLiteral("客户资料"));
    setFixedSize(449, 175);
    setFont(WindowStyle::songFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = new QGroupBox(QStringLiteral("请输入您的联系资料"), this);
    GroupBox1->setGeometry(8, 8, 425, 105);

    auto row = [this](const char *name, const QString &caption, int top) {
        auto *l = new QLabel(caption, GroupBox1);
        l->setGeometry(4, top + 3, 66, 14);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *e = new TEditN(GroupBox1);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(72, top, 337, 18);
        e->setEditType(etString);
        WindowStyle::applyEditSettings(e);
        return e;
    };
    EditN1 = row("EditN1", QStringLiteral("客户名称："), 24);
    EditN2 = row("EditN2", QStringLiteral("地址："), 48);
    EditN3 = row("EditN3", QStringLiteral("联系电话："), 72);

    GlgBtn1 = WindowStyle::button(this, "GlgBtn1", QStringLiteral("确认"), lgOk, 256, 136, 75, 22);
    GlgBtn2 = WindowStyle::button(this, "GlgBtn2", QStringLiteral("取消"), lgCancel, 352, 136, 75, 22);
    connect(GlgBtn1, &TGlgBtn::clicked, this, [this] { runGuarded(this, [this] { GlgBtn1Click(); }); });
    connect(GlgBtn2, &TGlgBtn::clicked, this, [this] { runGuarded(this, [this] { GlgBtn2Click(); }); });

    setTabOrder(EditN1, EditN2);
    setTabOrder(EditN2, EditN3);
    setTabOrder(EditN3, GlgBtn1);
    setTabOrder(GlgBtn1, GlgBtn2);
}

void TfKh::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfKh::FormShow()
{
    EditN1->setFocus();
}

void TfKh::GlgBtn1Click()
{
    if (!RequireEditText(EditN1, QStringLiteral("请输入您的名称。"), true))
        return;
    if (!RequireEditText(EditN2, QStringLiteral("请输入您的地址。"), true))
        return;
    if (!RequireEditText(EditN3, QStringLiteral("请输入您的电话。"), true))
        return;
    accept();
}

void TfKh::GlgBtn2Click()
{
    reject();
}
