#pragma once

// The baselines the window benchmarks measure against: the same statements stepped
// straight through the SQLite C API on the same file.

#include "app/data/Tables.h"

#include <QString>

#include <sqlite3.h>

#include <climits>
#include <cstddef>

namespace SqliteBaseline {

inline volatile double sink;

// Connecting as the program does: open, key, read the schema once.
inline sqlite3 *connect(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = QString::fromUtf16(Tables::Password).toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

// Steps a statement up to `limit` rows and reads every column in its own type
// (numbers as numbers, texts as text): the least a reader of the rows must do.
// Returns the number of rows stepped.
inline int stepRows(sqlite3 *db, const char *sql, const char *param = nullptr, int limit = INT_MAX)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (param)
        sqlite3_bind_text(st, 1, param, -1, SQLITE_STATIC);
    const int n = sqlite3_column_count(st);
    std::size_t total = 0;
    int rows = 0;
    while (rows < limit && sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                total += std::size_t(sqlite3_column_int64(st, c));
                break;
            case SQLITE_FLOAT:
                total += std::size_t(sqlite3_column_double(st, c));
                break;
            case SQLITE_NULL:
                break;
            default:
                sqlite3_column_text(st, c);
                total += std::size_t(sqlite3_column_bytes(st, c));
            }
        }
    }
    sqlite3_finalize(st);
    sink = double(total);
    return rows;
}

} // namespace SqliteBaseline
