// The data layer against the same statements stepped straight through the SQLite C
// API on the same file and key: opening and reading a 100,000-row catalogue table,
// exact and partial search, and appending order rows. Prints each figure as a ratio
// (ours / baseline, medians of several runs) and the memory of the held result.
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "tools/DbTool.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Repeats = 7;

long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

volatile std::size_t sink;

// Steps a statement, reading every column of every row as text.
std::size_t rawRead(sqlite3 *db, const char *sql, const QVariantList &params)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QList<QByteArray> keep;
    for (int i = 0; i < params.size(); ++i) {
        keep << params[i].toString().toUtf8();
        sqlite3_bind_text(st, i + 1, keep.last().constData(), int(keep.last().size()), SQLITE_STATIC);
    }
    std::size_t total = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < n; ++c) {
            sqlite3_column_text(st, c);
            total += std::size_t(sqlite3_column_bytes(st, c));
        }
    sqlite3_finalize(st);
    return total;
}

// Opens a query and reads every field of every row as text, as a grid would.
std::size_t queryRead(Connection *c, const QString &sql, const QVariantList &params)
{
    Query q;
    q.setConnection(c);
    q.setSql({sql});
    q.setParameters(params);
    q.open();
    std::size_t total = 0;
    const int rows = q.recordCount(), fields = q.fieldCount();
    for (int r = 0; r < rows; ++r)
        for (int f = 0; f < fields; ++f)
            total += std::size_t(q.displayTextAt(r, f).size());
    return total;
}

void report(const char *what, const std::vector<double> &ours, const std::vector<double> &base)
{
    const double o = median(ours), b = median(base);
    std::printf("%-44s ratio %.2f  (ours %.2f ms, baseline %.2f ms)\n", what, o / b, o * 1e3, b * 1e3);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ortiwen.gdb"));
    std::printf("bench_data: generating %d rows per catalogue table...\n", Rows);
    std::fflush(stdout);
    const double genTime = seconds([&] {
        DbTool::createDatabase(path);
        DbTool::generate(path, Rows);
    });
    std::printf("  generated in %.1f s\n", genTime);

    Connection connection;
    connection.setConnectionString(Tables::connectionText(dir.path()));
    connection.open();
    sqlite3 *db = connection.handle();

    // Warm the page cache once so that neither side pays for the first read.
    rawRead(db, "select * from POST", {});

    // Memory of holding the whole table. The heap in use (mallinfo2) is the exact
    // figure; RSS may not grow, as the generation above left freed heap behind.
    {
        const long rssBefore = statusKb("VmRSS:"), hwmBefore = statusKb("VmHWM:");
        const struct mallinfo2 heapBefore = mallinfo2();
        Query q;
        q.setConnection(&connection);
        q.setSql({QStringLiteral("select * from POST")});
        q.open();
        const struct mallinfo2 heapAfter = mallinfo2();
        const long rssAfter = statusKb("VmRSS:"), hwmAfter = statusKb("VmHWM:");
        const double heap = double(heapAfter.uordblks + heapAfter.hblkhd) - double(heapBefore.uordblks + heapBefore.hblkhd);
        const QByteArray csv = DbTool::exportCsv(path, QStringLiteral("POST"));
        std::printf("holding %d rows of POST: heap +%.1f MB (%.0f bytes a row; the table as UTF-8 CSV is %.1f MB), "
                    "RSS +%.1f MB, peak (VmHWM) +%.1f MB\n",
                    q.recordCount(), heap / 1048576.0, heap / q.recordCount(), csv.size() / 1048576.0,
                    (rssAfter - rssBefore) / 1024.0, (hwmAfter - hwmBefore) / 1024.0);
    }

    struct Case
    {
        const char *title;
        const char *sql;
        QVariantList params;
        int times;   // statements run per measurement
    };
    const Case cases[] = {
        {"open select * from POST, read every field", "select * from POST", {}, 1},
        {"exact search on 报刊代号 (x1000)", "select * from POST where 报刊代号=?", {QStringLiteral("41-700")}, 1000},
        {"partial search on 报刊名称 like '%科技%'", "select * from POST where 报刊名称 like ?",
         {QStringLiteral("%科技%")}, 1},
    };
    for (const Case &c : cases) {
        std::vector<double> ours, base;
        std::size_t a = 0, b = 0;
        for (int i = 0; i < Repeats; ++i) {
            // Interleaved, each side first in turn, so that a busy machine slows both alike.
            auto baseline = [&] {
                base.push_back(seconds([&] {
                    for (int k = 0; k < c.times; ++k)
                        b += rawRead(db, c.sql, c.params);
                }));
            };
            auto query = [&] {
                ours.push_back(seconds([&] {
                    for (int k = 0; k < c.times; ++k)
                        a += queryRead(&connection, QString::fromUtf8(c.sql), c.params);
                }));
            };
            if (i % 2) {
                query();
                baseline();
            } else {
                baseline();
                query();
            }
        }
        sink = a + b;
        report(c.title, ours, base);
    }

    // Appending order rows: each post is one autocommitted INSERT.
    {
        constexpr int Inserts = 1000;
        std::vector<double> ours, base;
        Query q;
        q.setConnection(&connection);
        q.setSql({QStringLiteral("select * from tOrder")});
        q.open();
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into tOrder (报刊代号,报刊名称,份数,报刊类型,订期,全年价,金额) values (?,?,?,?,?,?,?)",
                           -1, &st, nullptr);
        for (int i = 0; i < 5; ++i) {
            auto baseline = [&] {
                base.push_back(seconds([&] {
                    for (int k = 0; k < Inserts; ++k) {
                        sqlite3_bind_text(st, 1, "1-1", -1, SQLITE_STATIC);
                        sqlite3_bind_text(st, 2, "人民日报", -1, SQLITE_STATIC);
                        sqlite3_bind_int64(st, 3, 2);
                        sqlite3_bind_int64(st, 4, 0);
                        sqlite3_bind_text(st, 5, "2008.04.01-12.31", -1, SQLITE_STATIC);
                        sqlite3_bind_double(st, 6, 540);
                        sqlite3_bind_double(st, 7, 810);
                        sqlite3_step(st);
                        sqlite3_reset(st);
                    }
                }));
            };
            auto query = [&] {
                ours.push_back(seconds([&] {
                    for (int k = 0; k < Inserts; ++k) {
                        q.append();
                        q.fieldByName(QStringLiteral("报刊代号")).setAsString(QStringLiteral("1-1"));
                        q.fieldByName(QStringLiteral("报刊名称")).setAsString(QStringLiteral("人民日报"));
                        q.fieldByName(QStringLiteral("份数")).setAsInteger(2);
                        q.fieldByName(QStringLiteral("报刊类型")).setAsInteger(0);
                        q.fieldByName(QStringLiteral("订期")).setAsString(QStringLiteral("2008.04.01-12.31"));
                        q.fieldByName(QStringLiteral("全年价")).setAsFloat(540);
                        q.fieldByName(QStringLiteral("金额")).setAsFloat(810);
                        q.post();
                    }
                }));
            };
            if (i % 2) {
                query();
                baseline();
            } else {
                baseline();
                query();
            }
        }
        sqlite3_finalize(st);
        report("append and post 1,000 order rows", ours, base);
    }

    return 0;
}
