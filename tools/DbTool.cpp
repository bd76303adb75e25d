#include "tools/DbTool.h"

#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Schema.h"
#include "app/data/Tables.h"
#include "tools/CatalogueGenerator.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace DbTool {

namespace {

// Owns one prepared statement.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql)
        : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_handle, nullptr)
            != SQLITE_OK)
            throw DatabaseError(
                QStringLiteral("%1: %2").arg(sql, QString::fromUtf8(sqlite3_errmsg(db))));
    }
    ~Statement() { sqlite3_finalize(m_handle); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *handle() const { return m_handle; }

    void bindText(int i, const QString &v)
    {
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(m_handle, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int i) { sqlite3_bind_null(m_handle, i); }
    void bindDouble(int i, double v) { sqlite3_bind_double(m_handle, i, v); }
    void bindInteger(int i, qint64 v) { sqlite3_bind_int64(m_handle, i, v); }

    // Steps a statement that returns no rows, then makes it ready for the next values.
    void run()
    {
        if (sqlite3_step(m_handle) != SQLITE_DONE) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_reset(m_handle);
            throw DatabaseError(message);
        }
        sqlite3_reset(m_handle);
        sqlite3_clear_bindings(m_handle);
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_handle = nullptr;
};

// Everything inside commits together or not at all.
class Transaction
{
public:
    explicit Transaction(Connection &c)
        : m_connection(c)
    {
        c.execute(QStringLiteral("BEGIN"));
    }
    ~Transaction()
    {
        if (!m_done)
            sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void commit()
    {
        m_connection.execute(QStringLiteral("COMMIT"));
        m_done = true;
    }

private:
    Connection &m_connection;
    bool m_done = false;
};

QString quotedName(const QString &name)
{
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString tableOrThrow(const QString &name)
{
    const QString table = Schema::canonicalTable(name);
    if (table.isEmpty())
        throw ToolError(QStringLiteral("unknown table '%1' (tables: %2)")
                            .arg(name, Schema::tableNames().join(QStringLiteral(", "))));
    return table;
}

qint64 countRows(Connection &c, const QString &table)
{
    Statement st(c.handle(), QStringLiteral("select count(*) from ") + quotedName(table));
    if (sqlite3_step(st.handle()) != SQLITE_ROW)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(c.handle())));
    return sqlite3_column_int64(st.handle(), 0);
}

void refuseFilledCatalogue(Connection &c, const QString &path)
{
    for (const QString &t : Schema::tableNames())
        if (Schema::isCatalogue(t) && countRows(c, t) > 0)
            throw ToolError(
                QStringLiteral("%1: the catalogue already has rows (table %2); nothing written")
                    .arg(path, t));
}

QString insertStatement(const QString &table, const QStringList &fields)
{
    QStringList names;
    for (const QString &f : fields)
        names << quotedName(f);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(quotedName(table), names.join(u','),
            QStringList(fields.size(), QStringLiteral("?")).join(u','));
}

// Writes counts[page] generated rows to each page's table whose write[page] is set.
// The generator runs through the rows of the pages before a written one, so that a
// table's rows are the same whether it is filled alone or with the others.
void fillCatalogue(const QString &path, const int (&counts)[Tables::PageCount],
    const bool (&write)[Tables::PageCount])
{
    auto c = open(path);
    QStringList written;
    for (int page = 0; page < Tables::PageCount; ++page)
        if (write[page])
            written << Tables::page(page).table;
    for (const QString &t : written)
        if (countRows(*c, t) > 0)
            throw ToolError(
                QStringLiteral("%1: the catalogue already has rows (table %2); nothing written")
                    .arg(path, t));
    // The index pages of a large fill are touched in random order: keep them in memory
    // instead of spilling them to the file before the commit.
    c->execute(QStringLiteral("PRAGMA cache_size = -524288"));
    c->execute(QStringLiteral("PRAGMA temp_store = MEMORY"));
    Transaction tx(*c);
    // Building the indexes once after the fill is much cheaper than keeping them up
    // to date row by row; the transaction puts them back if anything fails.
    QStringList indexNames, indexStatements;
    {
        QStringList quoted;
        for (const QString &t : written)
            quoted << u'\'' + t + u'\'';
        Statement st(c->handle(),
            QStringLiteral("select name, sql from sqlite_master where type='index' "
                           "and sql is not null and tbl_name in (%1)")
                .arg(quoted.join(u',')));
        while (sqlite3_step(st.handle()) == SQLITE_ROW) {
            indexNames << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), 0)));
            indexStatements << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), 1)));
        }
    }
    for (const QString &name : indexNames)
        c->execute(QStringLiteral("DROP INDEX ") + quotedName(name));
    CatalogueGenerator generator;
    const int lastPage
        = int(std::find(std::rbegin(write), std::rend(write), true).base() - std::begin(write)) - 1;
    for (int page = 0; page <= lastPage; ++page) {
        const QString table = Tables::page(page).table;
        QStringList fields;
        for (const Schema::Column &col : Schema::columns(table))
            fields << col.name;
        Statement st(c->handle(), insertStatement(table, fields));
        using namespace Tables::F;
        const int issn = int(fields.indexOf(QString::fromUtf16(Issn)));
        const int serial = int(fields.indexOf(QString::fromUtf16(SerialNo)));
        for (int n = 0; n < counts[page]; ++n) {
            const CatalogueGenerator::Record r = generator.next(page, n);
            if (!write[page])
                continue;
            int i = 1;
            for (const QString *text : { &r.code, &r.name, &r.place, &r.category, &r.publishDate })
                st.bindText(i++, *text);
            st.bindDouble(i++, r.unitPrice);
            st.bindDouble(i++, r.monthPrice);
            st.bindDouble(i++, r.yearPrice);
            st.bindText(i++, r.remarks);
            st.bindText(i++, r.frequency);
            st.bindText(i++, r.kind);
            if (r.serialNo.isEmpty())
                st.bindNull(serial + 1);
            else
                st.bindText(serial + 1, r.serialNo);
            if (issn >= 0)
                st.bindText(issn + 1, r.issn);
            st.run();
        }
    }
    for (const QString &sql : indexStatements)
        c->execute(sql);
    tx.commit();
}

// ---- CSV

struct CsvRecord
{
    int line = 0; // physical line on which the record starts (1-based)
    QStringList fields;
    QList<bool> quoted;
};

QString encodingOrThrow(const QString &encoding)
{
    const QString name = encoding.trimmed().toUpper();
    if (name != QStringLiteral("UTF-8") && name != QStringLiteral("UTF8")
        && name != QStringLiteral("GBK"))
        throw ToolError(QStringLiteral("unknown encoding '%1' (use UTF-8 or GBK)").arg(encoding));
    return name == QStringLiteral("GBK") ? name : QStringLiteral("UTF-8");
}

// Reads RFC 4180 records from a device a line at a time, so that only the record
// being read is held. In UTF-8 and GBK a line-feed byte is never part of another
// character, so every line decodes on its own.
class CsvReader
{
public:
    CsvReader(QIODevice &device, const QString &encoding)
        : m_device(device)
        , m_encoding(encoding)
        , m_decoder(
              encoding == QStringLiteral("GBK") ? "GBK" : "UTF-8", QStringDecoder::Flag::Stateless)
    {
        if (!m_decoder.isValid())
            throw ToolError(QStringLiteral("encoding '%1' is not available").arg(encoding));
    }

    // The next record that is not a blank line; false at the end of the text.
    bool next(CsvRecord &rec)
    {
        for (;;) {
            m_text.remove(0, m_pos);
            m_pos = 0;
            if (!has(0))
                return false;
            if (readRecord(rec))
                return true;
        }
    }

private:
    // True when the text holds position i, reading further lines as needed.
    bool has(qsizetype i)
    {
        while (i >= m_text.size()) {
            if (m_device.atEnd())
                return false;
            const QByteArray bytes = m_device.readLine();
            if (bytes.isEmpty())
                throw ToolError(
                    QStringLiteral("cannot read the CSV text: %1").arg(m_device.errorString()));
            ++m_physicalLine;
            QString text = m_decoder(bytes);
            if (m_decoder.hasError())
                throw ToolError(QStringLiteral("line %1: the CSV text is not valid %2")
                                    .arg(m_physicalLine)
                                    .arg(m_encoding));
            if (m_physicalLine == 1 && text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1);
            m_text += text;
        }
        return true;
    }

    // Reads one record at m_pos; false when it was a blank line.
    bool readRecord(CsvRecord &rec)
    {
        qsizetype &i = m_pos;
        const QString &text = m_text;
        rec = CsvRecord();
        rec.line = m_line;
        for (;;) {
            QString field;
            bool quoted = false;
            if (has(i) && text[i] == u'"') {
                quoted = true;
                const int startLine = m_line;
                ++i;
                for (;;) {
                    if (!has(i))
                        throw ToolError(
                            QStringLiteral("line %1: a quoted field is not closed").arg(startLine));
                    if (text[i] == u'"') {
                        if (has(i + 1) && text[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == u'\n')
                        ++m_line;
                    field += text[i++];
                }
                if (has(i) && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r')
                    throw ToolError(QStringLiteral("line %1, field %2: text after a closing quote")
                                        .arg(m_line)
                                        .arg(rec.fields.size() + 1));
            } else {
                while (has(i) && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r') {
                    if (text[i] == u'"')
                        throw ToolError(
                            QStringLiteral("line %1, field %2: a quote inside an unquoted field")
                                .arg(m_line)
                                .arg(rec.fields.size() + 1));
                    field += text[i++];
                }
            }
            rec.fields << field;
            rec.quoted << quoted;
            if (has(i) && text[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        if (has(i) && text[i] == u'\r')
            ++i;
        if (has(i) && text[i] == u'\n')
            ++i;
        ++m_line;
        // A blank line carries no record.
        return !(rec.fields.size() == 1 && rec.fields[0].isEmpty() && !rec.quoted[0]);
    }

    QIODevice &m_device;
    QString m_encoding;
    QStringDecoder m_decoder;
    QString m_text; // the lines read and not yet consumed
    qsizetype m_pos = 0;
    int m_line = 1; // line of the parser's position
    int m_physicalLine = 0; // lines read from the device
};

QString csvField(const QString &text, bool forceQuotes)
{
    if (!forceQuotes && !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')
        && !text.contains(u'\r'))
        return text;
    QString s = text;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

} // namespace

QString connectionTextFor(const QString &path)
{
    return QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=%2")
        .arg(path, QString::fromUtf16(Tables::Password));
}

std::unique_ptr<Connection> open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw ToolError(QStringLiteral("%1: no such database file").arg(path));
    auto c = std::make_unique<Connection>();
    c->setConnectionString(connectionTextFor(path));
    c->open();
    return c;
}

void createDatabase(const QString &path)
{
    if (QFileInfo::exists(path))
        throw ToolError(QStringLiteral("%1: the file already exists; nothing written").arg(path));
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    auto failed = [&](const QString &message) {
        sqlite3_close_v2(db);
        QFile::remove(path);
        throw DatabaseError(QStringLiteral("%1: %2").arg(path, message));
    };
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        failed(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
    const QByteArray key = QString::fromUtf16(Tables::Password).toUtf8();
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        failed(QString::fromUtf8(sqlite3_errmsg(db)));
    const QString script = QStringLiteral("BEGIN;") + Schema::createStatements().join(u';')
        + QStringLiteral(";COMMIT;");
    char *message = nullptr;
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        failed(text);
    }
    sqlite3_close_v2(db);
}

int fillDemo(const QString &path)
{
    {
        auto c = open(path);
        refuseFilledCatalogue(*c, path);
    }
    const int counts[Tables::PageCount] = { 200, 60, 60 };
    const bool write[Tables::PageCount] = { true, true, true };
    fillCatalogue(path, counts, write);
    return counts[0] + counts[1] + counts[2];
}

void generate(const QString &path, int rowsPerTable, const QString &tableName)
{
    if (rowsPerTable < 1 || rowsPerTable > 10000000)
        throw ToolError(QStringLiteral("--rows must be a whole number from 1 to 10000000"));
    const int counts[Tables::PageCount] = { rowsPerTable, rowsPerTable, rowsPerTable };
    bool write[Tables::PageCount] = { true, true, true };
    if (!tableName.isEmpty()) {
        const QString table = tableOrThrow(tableName);
        if (!Schema::isCatalogue(table))
            throw ToolError(
                QStringLiteral("'%1' is not a catalogue table (POST, NOPOST, POSTFOREIGN)")
                    .arg(tableName));
        for (int page = 0; page < Tables::PageCount; ++page)
            write[page] = Tables::page(page).table == table;
    }
    {
        auto c = open(path);
        if (tableName.isEmpty())
            refuseFilledCatalogue(*c, path);
    }
    fillCatalogue(path, counts, write);
}

int importCsv(const QString &path, const QString &tableName, QIODevice &csv,
    const QString &encoding, ImportMode mode)
{
    const QString table = tableOrThrow(tableName);
    const QList<Schema::Column> columns = Schema::columns(table);
    CsvReader reader(csv, encodingOrThrow(encoding));
    CsvRecord header;
    if (!reader.next(header))
        throw ToolError(QStringLiteral("the CSV text has no header row"));

    // The header names the columns the rows fill; the others stay null.
    QList<int> columnOf;
    QStringList fields;
    for (const QString &rawName : header.fields) {
        const QString name = rawName.trimmed();
        int found = -1;
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            throw ToolError(QStringLiteral("line %1: '%2' is not a field of %3")
                                .arg(header.line)
                                .arg(name, table));
        if (columnOf.contains(found))
            throw ToolError(
                QStringLiteral("line %1: field '%2' named twice").arg(header.line).arg(name));
        columnOf << found;
        fields << columns[found].name;
    }

    // Rows go in one at a time as they are read; the transaction takes back every
    // row written when a later one fails, so a bad file leaves the table as it was.
    auto c = open(path);
    Transaction tx(*c);
    if (mode == ImportMode::Replace)
        c->execute(QStringLiteral("delete from ") + quotedName(table));
    Statement st(c->handle(), insertStatement(table, fields));
    int imported = 0;
    CsvRecord rec;
    while (reader.next(rec)) {
        if (rec.fields.size() != header.fields.size())
            throw ToolError(QStringLiteral("line %1: %2 fields, the header has %3")
                                .arg(rec.line)
                                .arg(rec.fields.size())
                                .arg(header.fields.size()));
        for (qsizetype f = 0; f < rec.fields.size(); ++f) {
            const Schema::Column &col = columns[columnOf[f]];
            const QString &text = rec.fields[f];
            const int i = int(f) + 1;
            auto refuse = [&](const QString &why) {
                return ToolError(
                    QStringLiteral("line %1, field %2: %3").arg(rec.line).arg(col.name, why));
            };
            if (text.contains(QChar(u'\0')))
                throw refuse(QStringLiteral("a NUL character in the text"));
            if (text.isEmpty() && (!rec.quoted[f] || col.kind != FieldKind::Text)) {
                st.bindNull(i);
                continue;
            }
            bool ok = true;
            switch (col.kind) {
            case FieldKind::Integer:
                st.bindInteger(i, text.trimmed().toLongLong(&ok));
                break;
            case FieldKind::Float: {
                // "inf" and "nan" read as numbers, but no price or amount can be one.
                const double v = text.trimmed().toDouble(&ok);
                if (ok && !std::isfinite(v))
                    throw refuse(QStringLiteral("'%1' is not a finite number").arg(text));
                st.bindDouble(i, v);
                break;
            }
            case FieldKind::Text:
                st.bindText(i, text);
                break;
            }
            if (!ok)
                throw refuse(QStringLiteral("'%1' is not a %2")
                                 .arg(text,
                                     col.kind == FieldKind::Integer ? QStringLiteral("whole number")
                                                                    : QStringLiteral("number")));
        }
        try {
            st.run();
        } catch (const DatabaseError &e) {
            throw DatabaseError(QStringLiteral("line %1: %2").arg(rec.line).arg(e.text()));
        }
        ++imported;
    }
    tx.commit();
    return imported;
}

int importCsv(const QString &path, const QString &table, const QByteArray &csv,
    const QString &encoding, ImportMode mode)
{
    QBuffer buffer;
    buffer.setData(csv);
    buffer.open(QIODevice::ReadOnly);
    return importCsv(path, table, buffer, encoding, mode);
}

int importCsvFile(const QString &path, const QString &table, const QString &csvFile,
    const QString &encoding, ImportMode mode)
{
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly))
        throw ToolError(QStringLiteral("%1: %2").arg(csvFile, file.errorString()));
    return importCsv(path, table, file, encoding, mode);
}

QByteArray exportCsv(const QString &path, const QString &tableName)
{
    const QString table = tableOrThrow(tableName);
    auto c = open(path);
    Statement st(
        c->handle(), QStringLiteral("select * from %1 order by rowid").arg(quotedName(table)));
    const int n = sqlite3_column_count(st.handle());
    QString out;
    QStringList header;
    for (int i = 0; i < n; ++i)
        header << csvField(QString::fromUtf8(sqlite3_column_name(st.handle(), i)), false);
    out += header.join(u',') + QStringLiteral("\r\n");
    int rc;
    while ((rc = sqlite3_step(st.handle())) == SQLITE_ROW) {
        QStringList values;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st.handle(), i)) {
            case SQLITE_NULL:
                values << QString();
                break;
            case SQLITE_INTEGER:
                values << QString::number(sqlite3_column_int64(st.handle(), i));
                break;
            case SQLITE_FLOAT:
                values << QString::number(
                    sqlite3_column_double(st.handle(), i), 'g', QLocale::FloatingPointShortest);
                break;
            default: {
                const QString text = QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), i)),
                    sqlite3_column_bytes(st.handle(), i));
                // An empty text is quoted so that it reads back as text, not null.
                values << csvField(text, text.isEmpty());
            }
            }
        }
        out += values.join(u',') + QStringLiteral("\r\n");
    }
    if (rc != SQLITE_DONE)
        throw DatabaseError(
            QStringLiteral("%1: %2").arg(table, QString::fromUtf8(sqlite3_errmsg(c->handle()))));
    return out.toUtf8();
}

void execute(const QString &path, const QString &sql)
{
    open(path)->execute(sql);
}

} // namespace DbTool
