#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>

class Connection;
class QIODevice;

// The work of the catalogue tool, as functions that tests and benchmarks call too.
// Database failures throw DatabaseError; bad arguments and bad input files throw
// ToolError. Nothing is written when a command fails.
namespace DbTool {

class ToolError : public std::runtime_error
{
public:
    explicit ToolError(const QString &text)
        : std::runtime_error(text.toStdString())
    {
    }
    QString text() const { return QString::fromUtf8(what()); }
};

// A connection text for a database file at this path, keyed with the program's password.
QString connectionTextFor(const QString &path);
// An open connection to an existing database file.
std::unique_ptr<Connection> open(const QString &path);

// Creates a new database file with the five empty tables; refuses an existing file.
void createDatabase(const QString &path);

// Fills the three catalogue tables with a demonstration catalogue (200 post-office,
// 60 self-distributed and 60 imported publications; the first is 人民日报).
// Refuses a file whose catalogue already has rows. Returns the rows written.
int fillDemo(const QString &path);

// Fills each catalogue table (or only the one named) with this many generated rows,
// in one transaction; a table gets the same rows alone as with the others. Refuses a
// file whose catalogue (or that table) already has rows.
void generate(const QString &path, int rowsPerTable, const QString &table = QString());

enum class ImportMode { Append, Replace };

// Adds the rows of a CSV text (header row of field names, RFC 4180 quoting; an
// unquoted empty field is null) to a table, all or nothing; Replace first deletes the
// table's rows in the same transaction. encoding: "UTF-8" or "GBK". The text is read
// a record at a time. Refuses prices that are not finite numbers and texts holding a
// NUL character. Returns the rows imported.
int importCsv(const QString &path, const QString &table, QIODevice &csv,
    const QString &encoding = QStringLiteral("UTF-8"), ImportMode mode = ImportMode::Append);
int importCsv(const QString &path, const QString &table, const QByteArray &csv,
    const QString &encoding = QStringLiteral("UTF-8"), ImportMode mode = ImportMode::Append);
int importCsvFile(const QString &path, const QString &table, const QString &csvFile,
    const QString &encoding = QStringLiteral("UTF-8"), ImportMode mode = ImportMode::Append);

// The whole table as UTF-8 CSV, in the form importCsv reads.
QByteArray exportCsv(const QString &path, const QString &table);

// Runs one statement that returns no rows (tests use it to prepare a file).
void execute(const QString &path, const QString &sql);

} // namespace DbTool
