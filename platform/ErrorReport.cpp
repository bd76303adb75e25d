#include "platform/ErrorReport.h"

#include "platform/DialogService.h"

#include <QApplication>
#include <limits>

int strToInt(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    // Only an optional sign and decimal digits; no thousands separators or hex.
    bool wellFormed = !t.isEmpty();
    for (int i = 0; i < t.size() && wellFormed; ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128)
            continue;
        if ((c == u'-' || c == u'+') && i == 0 && t.size() > 1)
            continue;
        wellFormed = false;
    }
    if (wellFormed)
        v = t.toLongLong(&ok);
    if (!ok || v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return int(v);
}

bool runGuarded(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        DialogService::instance()->messageBox(parent, QString::fromUtf8(e.what()),
                                              QApplication::applicationName(),
                                              MessageFlags::Ok | MessageFlags::IconError);
    }
    return false;
}
