#include "tools/DbTool.h"

#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Schema.h"
#include "app/data/Tables.h"
#include "tools/CatalogueGenerator.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <sqlite3.h>

namespace DbTool {

namespace {

// Owns one prepared statement.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_handle, nullptr) != SQLITE_OK)
            throw DatabaseError(QStringLiteral("%1: %2").arg(sql, QString::fromUtf8(sqlite3_errmsg(db))));
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
    explicit Transaction(Connection &c) : m_connection(c) { c.execute(QStringLiteral("BEGIN")); }
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
            throw ToolError(QStringLiteral("%1: the catalogue already has rows (table %2); nothing written")
                                .arg(path, t));
}

QString insertStatement(const QString &table, const QStringList &fields)
{
    QStringList names;
    for (const QString &f : fields)
        names << quotedName(f);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(quotedName(table), names.join(u','), QStringList(fields.size(), QStringLiteral("?")).join(u','));
}

void fillCatalogue(const QString &path, const int (&counts)[Tables::PageCount])
{
    auto c = open(path);
    refuseFilledCatalogue(*c, path);
    // The index pages of a large fill are touched in random order: keep them in memory
    // instead of spilling them to the file before the commit.
    c->execute(QStringLiteral("PRAGMA cache_size = -524288"));
    c->execute(QStringLiteral("PRAGMA temp_store = MEMORY"));
    Transaction tx(*c);
    // Building the indexes once after the fill is much cheaper than keeping them up
    // to date row by row; the transaction puts them back if anything fails.
    QStringList indexNames, indexStatements;
    {
        Statement st(c->handle(), QStringLiteral("select name, sql from sqlite_master where type='index' "
                                                 "and sql is not null and tbl_name in ('POST','NOPOST','POSTFOREIGN')"));
        while (sqlite3_step(st.handle()) == SQLITE_ROW) {
            indexNames << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), 0)));
            indexStatements << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), 1)));
        }
    }
    for (const QString &name : indexNames)
        c->execute(QStringLiteral("DROP INDEX ") + quotedName(name));
    CatalogueGenerator generator;
    for (int page = 0; page < Tables::PageCount; ++page) {
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
            int i = 1;
            for (const QString *text : {&r.code, &r.name, &r.place, &r.category, &r.publishDate})
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
    int line = 0;                // physical line on which the record starts (1-based)
    QStringList fields;
    QList<bool> quoted;
};

QList<CsvRecord> parseCsv(const QString &text)
{
    QList<CsvRecord> records;
    qsizetype i = 0;
    int line = 1;
    const qsizetype n = text.size();
    if (n > 0 && text[0] == QChar(0xFEFF))
        i = 1;
    while (i < n) {
        CsvRecord rec;
        rec.line = line;
        for (;;) {
            QString field;
            bool quoted = false;
            if (i < n && text[i] == u'"') {
                quoted = true;
                const int startLine = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw ToolError(QStringLiteral("line %1: a quoted field is not closed").arg(startLine));
                    if (text[i] == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == u'\n')
                        ++line;
                    field += text[i++];
                }
                if (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r')
                    throw ToolError(QStringLiteral("line %1, field %2: text after a closing quote")
                                        .arg(line)
                                        .arg(rec.fields.size() + 1));
            } else {
                while (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r') {
                    if (text[i] == u'"')
                        throw ToolError(QStringLiteral("line %1, field %2: a quote inside an unquoted field")
                                            .arg(line)
                                            .arg(rec.fields.size() + 1));
                    field += text[i++];
                }
            }
            rec.fields << field;
            rec.quoted << quoted;
            if (i < n && text[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        ++line;
        // A blank line carries no record.
        if (!(rec.fields.size() == 1 && rec.fields[0].isEmpty() && !rec.quoted[0]))
            records << rec;
    }
    return records;
}

QString csvField(const QString &text, bool forceQuotes)
{
    if (!forceQuotes && !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')
        && !text.contains(u'\r'))
        return text;
    QString s = text;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString decode(const QByteArray &bytes, const QString &encoding)
{
    const QString name = encoding.trimmed().toUpper();
    if (name != QStringLiteral("UTF-8") && name != QStringLiteral("UTF8") && name != QStringLiteral("GBK"))
        throw ToolError(QStringLiteral("unknown encoding '%1' (use UTF-8 or GBK)").arg(encoding));
    QStringDecoder decoder(name == QStringLiteral("GBK") ? "GBK" : "UTF-8");
    if (!decoder.isValid())
        throw ToolError(QStringLiteral("encoding '%1' is not available").arg(encoding));
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw ToolError(QStringLiteral("the CSV text is not valid %1").arg(name));
    return text;
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
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
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
    const int counts[Tables::PageCount] = {200, 60, 60};
    fillCatalogue(path, counts);
    return counts[0] + counts[1] + counts[2];
}

void generate(const QString &path, int rowsPerTable)
{
    if (rowsPerTable < 1 || rowsPerTable > 10000000)
        throw ToolError(QStringLiteral("--rows must be a whole number from 1 to 10000000"));
    const int counts[Tables::PageCount] = {rowsPerTable, rowsPerTable, rowsPerTable};
    fillCatalogue(path, counts);
}

int importCsv(const QString &path, const QString &tableName, const QByteArray &csv, const QString &encoding)
{
    const QString table = tableOrThrow(tableName);
    const QList<Schema::Column> columns = Schema::columns(table);
    const QList<CsvRecord> records = parseCsv(decode(csv, encoding));
    if (records.isEmpty())
        throw ToolError(QStringLiteral("the CSV text has no header row"));

    // The header names the columns the rows fill; the others stay null.
    const CsvRecord &header = records.first();
    QList<int> columnOf;
    QStringList fields;
    for (const QString &rawName : header.fields) {
        const QString name = rawName.trimmed();
        int found = -1;
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            throw ToolError(QStringLiteral("line %1: '%2' is not a field of %3").arg(header.line).arg(name, table));
        if (columnOf.contains(found))
            throw ToolError(QStringLiteral("line %1: field '%2' named twice").arg(header.line).arg(name));
        columnOf << found;
        fields << columns[found].name;
    }

    // Check every value first, so that a bad file writes nothing.
    QList<QVariantList> rows;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &rec = records[r];
        if (rec.fields.size() != header.fields.size())
            throw ToolError(QStringLiteral("line %1: %2 fields, the header has %3")
                                .arg(rec.line)
                                .arg(rec.fields.size())
                                .arg(header.fields.size()));
        QVariantList values;
        for (qsizetype f = 0; f < rec.fields.size(); ++f) {
            const Schema::Column &col = columns[columnOf[f]];
            const QString &text = rec.fields[f];
            if (text.isEmpty() && (!rec.quoted[f] || col.kind != FieldKind::Text)) {
                values << QVariant();
                continue;
            }
            bool ok = true;
            switch (col.kind) {
            case FieldKind::Integer:
                values << QVariant(text.trimmed().toLongLong(&ok));
                break;
            case FieldKind::Float:
                values << QVariant(text.trimmed().toDouble(&ok));
                break;
            case FieldKind::Text:
                values << QVariant(text);
                break;
            }
            if (!ok)
                throw ToolError(QStringLiteral("line %1, field %2: '%3' is not a %4")
                                    .arg(rec.line)
                                    .arg(col.name, text,
                                         col.kind == FieldKind::Integer ? QStringLiteral("whole number")
                                                                        : QStringLiteral("number")));
        }
        rows << values;
    }

    auto c = open(path);
    Transaction tx(*c);
    Statement st(c->handle(), insertStatement(table, fields));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QVariantList &values = rows[r];
        for (qsizetype f = 0; f < values.size(); ++f) {
            const QVariant &v = values[f];
            const int i = int(f) + 1;
            if (!v.isValid())
                st.bindNull(i);
            else if (v.typeId() == QMetaType::LongLong)
                st.bindInteger(i, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                st.bindDouble(i, v.toDouble());
            else
                st.bindText(i, v.toString());
        }
        try {
            st.run();
        } catch (const DatabaseError &e) {
            throw DatabaseError(QStringLiteral("line %1: %2").arg(records[r + 1].line).arg(e.text()));
        }
    }
    tx.commit();
    return int(rows.size());
}

int importCsvFile(const QString &path, const QString &table, const QString &csvFile, const QString &encoding)
{
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly))
        throw ToolError(QStringLiteral("%1: %2").arg(csvFile, file.errorString()));
    return importCsv(path, table, file.readAll(), encoding);
}

QByteArray exportCsv(const QString &path, const QString &tableName)
{
    const QString table = tableOrThrow(tableName);
    auto c = open(path);
    Statement st(c->handle(), QStringLiteral("select * from %1 order by rowid").arg(quotedName(table)));
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
                values << QString::number(sqlite3_column_double(st.handle(), i), 'g',
                                          QLocale::FloatingPointShortest);
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
        throw DatabaseError(QStringLiteral("%1: %2").arg(table, QString::fromUtf8(sqlite3_errmsg(c->handle()))));
    return out.toUtf8();
}

void execute(const QString &path, const QString &sql)
{
    open(path)->execute(sql);
}

} // namespace DbTool
