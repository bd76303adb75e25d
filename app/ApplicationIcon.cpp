#include "app/ApplicationIcon.h"

// The resource file sits in a static library, so it must be registered by name.
static void initIconResource() { Q_INIT_RESOURCE(icons); }

QIcon applicationIcon()
{
    initIconResource();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tessival-%1.png").arg(size), QSize(size, size));
    return icon;
}
