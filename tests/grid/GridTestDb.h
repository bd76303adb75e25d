#pragma once

// A throw-away encrypted database for the grid tests: one table created with the
// declared types the test asks for, filled by SQL, read through a Query.

#include "app/data/Connection.h"
#include "app/data/Query.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sqlite3.h>

class GridTestDb
{
public:
    explicit GridTestDb(const QStringList &statements)
    {
        QVERIFY2(m_dir.isValid(), "temporary directory");
        const QString path = m_dir.filePath(QStringLiteral("grid.gdb"));
        sqlite3 *db = nullptr;
        const QByteArray file = path.toUtf8();
        const QByteArray key("gridtest");
        QCOMPARE(sqlite3_open_v2(
                     file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
            SQLITE_OK);
        QCOMPARE(sqlite3_key(db, key.constData(), int(key.size())), SQLITE_OK);
        QCOMPARE(
            sqlite3_exec(db, "create table seed(x INTEGER)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        m_connection.setConnectionString(
            QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=gridtest").arg(path));
        m_connection.open();
        // Every post writes at once; a test does not need each write on the disk.
        m_connection.execute(QStringLiteral("PRAGMA synchronous=OFF"));
        for (const QString &s : statements)
            m_connection.execute(s);
        m_ok = true;
    }

    bool ok() const { return m_ok; }
    Connection *connection() { return &m_connection; }

    std::unique_ptr<Query> query(const QString &sql)
    {
        auto q = std::make_unique<Query>();
        q->setConnection(&m_connection);
        q->setSql({ sql });
        q->open();
        return q;
    }

private:
    QTemporaryDir m_dir;
    Connection m_connection;
    bool m_ok = false;
};
