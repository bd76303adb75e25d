// The main window over a large POST table (1,000,000 rows by default; set
// TESSIVAL_BENCH_ROWS for another size, 0 to skip), against the SQLite C API on the
// same file in the same run:
//  - start-up: FormShow until page 0's first screen is painted, against connecting
//    (key included) and stepping the first 100 rows of "select * from POST";
//  - a partial search on 报刊名称: the complete result against a full scan with the
//    same LIKE, and its first screen painted against stepping to the 30th hit;
//  - the longest gap between two turns of the event loop (a 10 ms timer) during
//    start-up, the search and a page switch, against 100 ms;
//  - the heap growth of holding the whole table's result, in bytes per row.
// The file is made once and kept in the working directory (the build directory)
// between runs; making it is not timed.
#include "BenchSupport.h"
#include "app/HpKh.h"
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "app/pMain.h"
#include "app/pOrder.h"
#include "controls/EditN.h"
#include "grid/RecordGrid.h"
#include "tools/DbTool.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <malloc.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Repeats = 3;
const char *const Like = "%报%";

volatile double sink;

sqlite3 *connectRaw(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = QString::fromUtf16(Tables::Password).toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

// Steps a statement up to `limit` rows, reading every column in its own type.
int stepRows(sqlite3 *db, const char *sql, const char *param, int limit)
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

// A catalogue whose POST table has `rows` rows: generated rows doubled in the engine.
void makeFile(const QString &path, int rows)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    DbTool::createDatabase(part);
    const int doublings = rows >= 4096 ? 10 : 0;
    const int base = (rows + (1 << doublings) - 1) >> doublings;
    DbTool::generate(part, base);
    const QString columns = QStringLiteral("报刊代号, 报刊名称, 出版地, 分类, 出版日期, 单价, "
                                           "月价, 全年价, 备注, 刊期, 报刊种类, 国内统一刊号");
    for (int i = 0; i < doublings; ++i)
        DbTool::execute(
            part, QStringLiteral("insert into POST (%1) select %1 from POST").arg(columns));
    DbTool::execute(part, QStringLiteral("delete from POST where rowid > %1").arg(rows));
    QFile::rename(part, path);
}

struct Program
{
    TfMain main;
    TfOrder order { &main };
    TfKh customer { &main };
    Program() { main.setDialogs(&order, &customer); }
};

// Counts paints of a grid's cells.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *viewport) { viewport->installEventFilter(this); }
    bool painted = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Records the longest time between two ticks of a 10 ms timer.
class GapWatch
{
public:
    GapWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        m_longest = std::max(m_longest, m_clock.nsecsElapsed() - m_last);
        return double(m_longest) / 1e9;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0, m_longest = 0;
};

void report(const char *what, double ours, double base, double goal)
{
    std::printf("%-58s ratio %6.2f  goal <= %.1f  (ours %.1f ms, baseline %.1f ms)\n", what,
        ours / base, goal, ours * 1e3, base * 1e3);
    std::fflush(stdout);
}

// Runs the event loop until `done` holds.
template <typename Done> void loopUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool firstScreenShown(TfMain &main, PaintWatch &watch)
{
    Query *q = main.qPost;
    return watch.painted && (q->recordCount() >= 30 || !q->isFetching());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rows = qEnvironmentVariableIsSet("TESSIVAL_BENCH_ROWS")
        ? qEnvironmentVariableIntValue("TESSIVAL_BENCH_ROWS")
        : 1000000;
    if (rows <= 0) {
        std::printf("bench_large: skipped (TESSIVAL_BENCH_ROWS=0)\n");
        return 0;
    }
    const QString dir
        = QDir::current().absoluteFilePath(QStringLiteral("bench-catalogue-%1").arg(rows));
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("ortiwen.gdb"));
    if (!QFile::exists(path)) {
        std::printf(
            "bench_large: making a %d-row POST table in %s (once)...\n", rows, qPrintable(dir));
        std::fflush(stdout);
        makeFile(path, rows);
    }
    std::printf("bench_large: POST has %d rows\n", rows);
    QDir::setCurrent(dir);
    GapWatch gaps;
    double gapStart = 0, gapSearch = 0, gapSwitch = 0;

    // --- start-up to page 0's first screen.
    {
        std::vector<double> ours, base;
        for (int i = 0; i < Repeats; ++i) {
            base.push_back(seconds([&] {
                sqlite3 *db = connectRaw(path);
                stepRows(db, "select * from POST", nullptr, 100);
                sqlite3_close(db);
            }));
            Program p;
            PaintWatch watch(p.main.PostGrid->view()->viewport());
            gaps.start();
            ours.push_back(seconds([&] {
                p.main.show(); // runs FormShow
                loopUntil([&] { return firstScreenShown(p.main, watch); });
            }));
            loopUntil([&] { return !p.main.qPost->isFetching(); });
            gapStart = std::max(gapStart, gaps.stop());
            if (p.main.qPost->recordCount() != rows) {
                std::printf("start-up failed: %d rows\n", p.main.qPost->recordCount());
                return 1;
            }
        }
        report("start-up to page 0's first screen painted", median(ours), median(base), 3);
    }

    // --- partial search on 报刊名称: complete, and first screen.
    {
        Program p;
        p.main.show();
        loopUntil([&] { return !p.main.qPost->isFetching(); });
        p.main.ComboBox1->setCurrentIndex(1);
        p.main.cMh->setChecked(true);
        p.main.EditN1->setText(QStringLiteral("报"));
        sqlite3 *db = connectRaw(path);
        const char *sql = "select * from POST where 报刊名称 like ? escape '\\'";
        std::vector<double> fullOurs, fullBase, firstOurs, firstBase;
        int found = 0;
        for (int i = 0; i < Repeats; ++i) {
            fullBase.push_back(seconds([&] { stepRows(db, sql, Like, rows); }));
            firstBase.push_back(seconds([&] { stepRows(db, sql, Like, 30); }));
            PaintWatch watch(p.main.PostGrid->view()->viewport());
            gaps.start();
            QElapsedTimer clock;
            clock.start();
            p.main.GlgBtn6Click();
            loopUntil([&] { return firstScreenShown(p.main, watch); });
            firstOurs.push_back(double(clock.nsecsElapsed()) / 1e9);
            loopUntil([&] { return !p.main.qPost->isFetching(); });
            fullOurs.push_back(double(clock.nsecsElapsed()) / 1e9);
            gapSearch = std::max(gapSearch, gaps.stop());
            found = p.main.qPost->recordCount();
        }
        sqlite3_close(db);
        char what[128];
        std::snprintf(what, sizeof what, "partial search, complete result (%d rows found)", found);
        report(what, median(fullOurs), median(fullBase), 1.2);
        report("partial search, first screen painted", median(firstOurs), median(firstBase), 3);

        // A page switch while page 0 is still arriving, and back.
        p.main.EditN1->setText(QString());
        p.main.GlgBtn6Click();
        gaps.start();
        p.main.PageControl1->setCurrentIndex(1);
        loopUntil([&] { return !p.main.qPostN->isFetching(); });
        p.main.PageControl1->setCurrentIndex(0);
        loopUntil([&] { return !p.main.qPost->isFetching(); });
        gapSwitch = gaps.stop();
    }
    report("longest event-loop gap, start-up", gapStart, 0.1, 1);
    report("longest event-loop gap, search", gapSearch, 0.1, 1);
    report("longest event-loop gap, page switch and back", gapSwitch, 0.1, 1);

    // --- heap growth of holding the whole table's result.
    {
        Connection connection;
        connection.setConnectionString(Tables::connectionText(dir));
        connection.open();
        Query q;
        q.setConnection(&connection);
        q.setIncremental(true);
        q.setSql({ QStringLiteral("select * from POST") });
        const std::size_t before = mallinfo2().uordblks;
        q.open();
        q.fetchAll();
        const std::size_t after = mallinfo2().uordblks;
        const double perRow = double(after - before) / q.recordCount();
        std::printf("%-58s %6.1f bytes a row  goal <= 32  (%d rows)\n",
            "heap growth of holding the result", perRow, q.recordCount());
    }
    return 0;
}
