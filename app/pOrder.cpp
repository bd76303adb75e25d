#include "app/pOrder.h"

#include "app/WindowStyle.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "platform/Clock.h"
#include "platform/DialogService.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

TfOrder::TfOrder(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fOrder"));
    setWindowTitle(QStringLiteral("订阅信息"));
    setFixedSize(444, 256);
    setFont(WindowStyle::songFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = new QGroupBox(QStringLiteral("报刊资料"), this);
    GroupBox1->setGeometry(8, 16, 417, 177);

    auto label = [this](const QString &text, int x, int y) {
        auto *l = new QLabel(text, GroupBox1);
        l->move(x, y);
        return l;
    };
    auto edit = [this](const char *name, int x, int y, int w, TEditTypes type) {
        auto *e = new TEditN(GroupBox1);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(x, y, w, 18);
        e->setEditType(type);
        WindowStyle::applyEditSettings(e);
        return e;
    };

    label(QStringLiteral("报刊代号："), 12, 27);
    EditN1 = edit("EditN1", 72, 24, 121, etString);
    label(QStringLiteral("报刊名称："), 12, 59);
    EditN2 = edit("EditN2", 72, 56, 329, etString);
    label(QStringLiteral("全年价："), 24, 91);
    EditN3 = edit("EditN3", 72, 88, 121, etString);
    for (TEditN *e : {EditN1, EditN2, EditN3}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);   // not in the tab order
    }

    Bevel1 = new QFrame(GroupBox1);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 111, 401, 2);

    label(QStringLiteral("订阅份数："), 12, 145);
    EditN4 = edit("EditN4", 72, 142, 49, etInteger);
    EditN4->setText(QStringLiteral("1"));
    label(QStringLiteral("订阅日期："), 150, 145);
    EditN5 = edit("EditN5", 210, 142, 49, etInteger);
    EditN5->setText(QStringLiteral("1"));
    label(QStringLiteral("月 -"), 264, 145);
    EditN6 = edit("EditN6", 306, 142, 49, etInteger);
    EditN6->setText(QStringLiteral("12"));
    label(QStringLiteral("月 "), 360, 145);

    EditN7 = edit("EditN7", 234, 18, 121, etString);
    EditN7->setReadOnly(true);
    EditN7->setEnabled(false);
    EditN7->setVisible(false);

    GlgBtn1 = WindowStyle::button(this, "GlgBtn1", QStringLiteral("确定"), lgOk, 232, 216, 75, 22);
    GlgBtn2 = WindowStyle::button(this, "GlgBtn2", QStringLiteral("取消"), lgCancel, 350, 216, 75, 22);
    connect(GlgBtn1, &TGlgBtn::clicked, this, [this] { runGuarded(this, [this] { GlgBtn1Click(); }); });
    connect(GlgBtn2, &TGlgBtn::clicked, this, [this] { runGuarded(this, [this] { GlgBtn2Click(); }); });

    setTabOrder(EditN4, EditN5);
    setTabOrder(EditN5, EditN6);
    setTabOrder(EditN6, GlgBtn1);
    setTabOrder(GlgBtn1, GlgBtn2);
}

void TfOrder::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EditN4->setFocus();
}

bool TfOrder::refuse(const QString &message, QWidget *focusTarget)
{
    DialogService::instance()->messageBox(this, message, QStringLiteral("提示"),
                                          MessageFlags::Ok | MessageFlags::IconWarning);
    focusTarget->setFocus();
    return false;
}

void TfOrder::GlgBtn1Click()
{
    const QDate today = Clock::instance()->today();
    const QString dateWrong = QStringLiteral("输入订阅日期有误。");

    // The deadline converts the first month before any emptiness test.
    if (today.month() <= 8 && strToInt(EditN5->text()) < today.month() + 1) {
        refuse(QStringLiteral("输入的起订日期已截止订阅。"), EditN5);
        return;
    }
    const QString copies = EditN4->text().trimmed();
    if (copies.isEmpty() || strToInt(copies) < 1) {
        refuse(QStringLiteral("请输入订阅份数。"), EditN4);
        return;
    }
    const QString firstText = EditN5->text().trimmed();
    if (firstText.isEmpty()) {
        refuse(dateWrong, EditN5);
        return;
    }
    const int first = strToInt(firstText);
    if (first < 1 || first > 12) {
        refuse(dateWrong, EditN5);
        return;
    }
    const QString lastText = EditN6->text().trimmed();
    if (lastText.isEmpty()) {
        refuse(dateWrong, EditN6);
        return;
    }
    const int last = strToInt(lastText);
    if (last < 1 || last > 12 || last - first < 0) {
        refuse(dateWrong, EditN6);
        return;
    }
    if (PublicationType == 1 && !(first == 1 && last == 12)) {
        refuse(QStringLiteral("温馨提示：自办发行报刊只能订全年。"), first == 1 ? EditN6 : EditN5);
        return;
    }
    accept();
}

void TfOrder::GlgBtn2Click()
{
    reject();
}
