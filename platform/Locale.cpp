#include "platform/Locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>

namespace {

bool characterTypeIsUtf8()
{
    const char *codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

} // namespace

bool ensureUtf8CharacterType()
{
    std::setlocale(LC_ALL, "");
    if (characterTypeIsUtf8())
        return false;
    // LC_ALL overrides every category; hand its value down to LANG so that the other
    // categories keep it, and let LC_CTYPE alone change.
    if (const char *all = std::getenv("LC_ALL"); all && *all) {
        setenv("LANG", all, 1);
        unsetenv("LC_ALL");
    }
    setenv("LC_CTYPE", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "");
    return true;
}

bool installChineseQtTranslation()
{
    // One translator for the whole run; the application object outlives every window.
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    auto *candidate = new QTranslator(QCoreApplication::instance());
    if (!candidate->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete candidate;
        return false;
    }
    QCoreApplication::installTranslator(candidate);
    translator = candidate;
    return true;
}
