#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class QWidget;

// Errors of our own carry their text as UTF-8 in what().
class TessivalError : public std::runtime_error
{
public:
    explicit TessivalError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// A text that is not a whole number where one is converted.
class ConversionError : public TessivalError
{
public:
    using TessivalError::TessivalError;
};

// A file that cannot be created or written.
class FileError : public TessivalError
{
public:
    using TessivalError::TessivalError;
};

// Whole-number conversion used by the commands: leading/trailing blanks are
// allowed, anything else that is not an optional sign and digits fails with
// "'%s' is not a valid integer value".
int strToInt(const QString &text);

// The general error report: runs a command and shows any error it throws in a
// message box with the error's own text; the program goes on. Returns false when
// the command ended with an error.
bool runGuarded(QWidget *parent, const std::function<void()> &command);
