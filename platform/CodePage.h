#pragma once

#include <QByteArray>
#include <QString>

// Text in the simplified-Chinese ANSI code page (936, GBK). Rules that count
// bytes count them here: a CJK character takes two bytes, ASCII one. A character
// that GBK cannot hold becomes '?', one byte.
QByteArray toCp936(const QString &text);
QString fromCp936(const QByteArray &bytes);
int cp936Length(const QString &text);
