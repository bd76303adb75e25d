#include "app/WindowStyle.h"

#include "controls/EditN.h"

#include <QFontDatabase>

namespace WindowStyle {

QFont songFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    return f;
}

void installFontSubstitutions()
{
    const QStringList ming = { QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC") };
    QFont::insertSubstitutions(QStringLiteral("宋体"), ming);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), ming);
}

void applyEditSettings(TEditN *edit)
{
    edit->setFrame(true);
}

TGlgBtn *button(QWidget *parent, const char *name, const QString &caption, TKind kind, int x, int y,
    int w, int h)
{
    auto *b = new TGlgBtn(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setKind(kind);
    b->setGeometry(x, y, w, h);
    // The button keeps its own focus policy: Tab reaches it, and only a left
    // or middle press (with ShowFocused) gives it the focus, never a right one.
    return b;
}

} // namespace WindowStyle
