#include "app/data/Connection.h"

#include "app/data/DatabaseError.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>

#include <sqlite3.h>

namespace {

// The pieces of a connection text. The data source is a directory path and may hold
// any character, ';' and '=' too, so it is not split like the other pieces: the
// pieces before it are split at ';', and the pieces after it are taken from the end
// of the text, each key at most once; whatever lies between is the path.
struct Pieces
{
    QString dataSource;
    QString password;
};

constexpr QStringView DataSourceKey = u"Data Source";
constexpr QStringView PasswordKey = u"Jet OLEDB:Database Password";
// The keys that follow the data source in the text the program builds.
constexpr QStringView TrailingKeys[] = { u"Persist Security Info", PasswordKey };

bool isKey(QStringView piece, QStringView key, qsizetype *valueAt)
{
    const qsizetype eq = piece.indexOf(u'=');
    if (eq < 0 || piece.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    *valueAt = eq + 1;
    return true;
}

Pieces piecesOf(const QString &text)
{
    Pieces out;
    // The data source's value starts after the first piece keyed "Data Source".
    qsizetype start = -1;
    for (qsizetype at = 0; at <= text.size();) {
        qsizetype end = text.indexOf(u';', at);
        if (end < 0)
            end = text.size();
        qsizetype valueAt = 0;
        if (isKey(QStringView(text).mid(at, end - at), DataSourceKey, &valueAt)) {
            start = at + valueAt;
            break;
        }
        at = end + 1;
    }
    // Peel the known pieces off the end while there are any.
    qsizetype end = text.size();
    bool taken[std::size(TrailingKeys)] = {};
    for (bool peeled = true; peeled;) {
        peeled = false;
        const qsizetype semi = end > 0 ? text.lastIndexOf(u';', end - 1) : -1;
        if (semi < 0 || semi < start)
            break;
        const QStringView piece = QStringView(text).mid(semi + 1, end - semi - 1);
        for (std::size_t k = 0; k < std::size(TrailingKeys) && !peeled; ++k) {
            qsizetype valueAt = 0;
            if (taken[k] || !isKey(piece, TrailingKeys[k], &valueAt))
                continue;
            // A value with a path separator is part of the path: the program's text
            // always ends the path with "\ortiwen.gdb".
            const QStringView value = piece.mid(valueAt);
            if (value.contains(u'/') || value.contains(u'\\'))
                continue;
            taken[k] = peeled = true;
            if (TrailingKeys[k] == PasswordKey)
                out.password = value.toString();
            end = semi;
        }
    }
    if (start >= 0)
        out.dataSource = text.mid(start, std::max<qsizetype>(0, end - start));
    return out;
}

QString engineMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::setConnectionString(const QString &text)
{
    m_connectionString = text;
}

QString Connection::dataSourceOf(const QString &connectionString)
{
    QString path = piecesOf(connectionString).dataSource;
    // The text is built as StartupDir + "\ortiwen.gdb": the separator before the file
    // name is the other system's. Only that one is turned, since a backslash is an
    // ordinary character in a directory name here.
    const qsizetype sep = path.lastIndexOf(u'\\');
    if (sep >= 0 && path.indexOf(u'/', sep) < 0)
        path[sep] = u'/';
    return path;
}

QString Connection::passwordOf(const QString &connectionString)
{
    return piecesOf(connectionString).password;
}

void Connection::open()
{
    close();
    const QString path = dataSourceOf(m_connectionString);
    const QString password = passwordOf(m_connectionString);
    auto fail = [&](const QString &doing, const QString &message) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw DatabaseError(QStringLiteral("%1（%2）：%3").arg(doing, path, message));
    };
    if (path.isEmpty())
        throw DatabaseError(QStringLiteral("打开数据库失败：连接串中没有 Data Source"));

    // The engine takes a file of zero length for an empty database and would turn it
    // into one at the first write; it holds no tables, so it is no database file.
    const QFileInfo info(path);
    if (info.isFile() && info.size() == 0)
        throw DatabaseError(
            QStringLiteral("打开数据库失败（%1）：file is not a database (zero length)").arg(path));

    const QByteArray file = path.toUtf8();
    // Read-write only: a missing file is an error, never a new empty database.
    int rc = sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("打开数据库失败"), engineMessage(m_db));
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);

    const QByteArray key = password.toUtf8();
    if (!key.isEmpty()) {
        rc = sqlite3_key(m_db, key.constData(), int(key.size()));
        if (rc != SQLITE_OK)
            fail(QStringLiteral("设置数据库密码失败"), engineMessage(m_db));
    }
    // A wrong key or a foreign file only shows at the first read.
    rc = sqlite3_exec(m_db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("打开数据库失败"), engineMessage(m_db));
}

void Connection::close()
{
    if (!m_db)
        return;
    // close_v2 waits for statements still held by queries instead of failing.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void Connection::execute(const QString &sql)
{
    if (!m_db)
        throw DatabaseError(QStringLiteral("执行语句失败：数据库未连接"));
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : engineMessage(m_db);
        sqlite3_free(message);
        throw DatabaseError(QStringLiteral("执行语句失败（%1）：%2").arg(sql.simplified(), text));
    }
}
