#pragma once

#include <QString>
#include <stdexcept>

// Any failure of the data layer: the engine's own message plus what was being done.
// The text travels as UTF-8 in what(), so the general error report can show it.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};
