#pragma once

// A scratch database of one generated table `t` for the grid benchmarks.

#include "app/data/Connection.h"

#include <QString>

#include <sqlite3.h>

#include <memory>

// Creates `t` with the columns of `columns` ("code TEXT, copies INTEGER, ...") and
// fills it with `rows` rows of `values`, an expression list over the row number i.
inline std::unique_ptr<Connection> makeBenchDatabase(
    const QString &path, const QString &columns, const QString &values, int rows)
{
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_key(db, "bench", 5);
    const QByteArray create = QStringLiteral("create table t (%1)").arg(columns).toUtf8();
    sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr);
    const QByteArray fill = QStringLiteral(
        "insert into t with recursive n(i) as (select 1 union all select i + 1 from n "
        "where i < %1) select %2 from n")
                                .arg(rows)
                                .arg(values)
                                .toUtf8();
    sqlite3_exec(db, fill.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto c = std::make_unique<Connection>();
    c->setConnectionString(
        QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=bench").arg(path));
    c->open();
    return c;
}
