#include "controls/EditN.h"

#include <QKeyEvent>

TEditN::TEditN(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
}

TEditN::~TEditN() = default;

void TEditN::keyPressEvent(QKeyEvent *event)
{
    if (m_editKeyByTab == 13 && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        focusNextChild();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
