#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toCp936(const QString &text)
{
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

QString fromCp936(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK");
    QString text = decoder.decode(bytes);
    return text;
}

int cp936Length(const QString &text)
{
    // Plain ASCII is one byte a character; no need to run the converter.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? int(text.size()) : int(toCp936(text).size());
}
