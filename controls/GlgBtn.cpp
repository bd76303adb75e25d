#include "controls/GlgBtn.h"

#include <QKeyEvent>
#include <QPainter>

TGlgBtn::TGlgBtn(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    resize(75, 22);
}

TGlgBtn::~TGlgBtn() = default;

void TGlgBtn::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(hasFocus() ? Qt::red : Qt::gray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, text());
}

void TGlgBtn::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
