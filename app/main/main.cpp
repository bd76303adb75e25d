#include "app/ApplicationIcon.h"
#include "app/HpKh.h"
#include "app/WindowStyle.h"
#include "app/pMain.h"
#include "app/pOrder.h"
#include "controls/HintController.h"
#include "platform/Locale.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ensureUtf8CharacterType();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessival"));
    QApplication::setApplicationVersion(QStringLiteral(TESSIVAL_VERSION));
    installChineseQtTranslation();
    WindowStyle::installFontSubstitutions();
    QApplication::setFont(WindowStyle::songFont());
    QApplication::setWindowIcon(applicationIcon());

    // The hint controller comes before any window and goes after the last one.
    THintController hints;

    TfMain fMain;
    TfOrder fOrder(&fMain);
    TfKh fKh(&fMain);
    fMain.setDialogs(&fOrder, &fKh);

    fMain.showMaximized();
    if (fMain.startupFailed())
        return 1;
    return app.exec();
}
