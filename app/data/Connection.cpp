#include "app/data/Connection.h"

#include "app/data/DatabaseError.h"

#include <QStringList>

#include <sqlite3.h>

namespace {

// The value of one "key=value" piece of a connection text; keys compare case-blind,
// as the provider's do. A value runs up to the next ';'.
QString pieceOf(const QString &text, QStringView key)
{
    for (const QString &piece : text.split(u';')) {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq < 0)
            continue;
        if (QStringView(piece).left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return piece.mid(eq + 1);
    }
    return {};
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
    QString path = pieceOf(connectionString, u"Data Source");
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
    return pieceOf(connectionString, u"Jet OLEDB:Database Password");
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
