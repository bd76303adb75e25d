// Record grid and sum list figures, each as a ratio against a baseline measured in
// the same run:
//  - a full recount of the footer totals over N records against a plain loop that
//    reads the same values straight from the data set;
//  - scrolling a grid of N records to its end and painting, against the same with
//    100 records (a grid that reads only the rows shown costs the same);
//  - posting one edited record (a step update of the totals) against one recount.

#include "BenchDatabase.h"
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "grid/DBSumList.h"
#include "grid/FixedPoint.h"
#include "grid/RecordGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

std::unique_ptr<Connection> makeDatabase(const QString &path, int rows)
{
    auto c = makeBenchDatabase(path, QStringLiteral("code TEXT, copies INTEGER, amount REAL"),
        QStringLiteral("'R' || i, i % 10, i * 0.37"), rows);
    c->execute(QStringLiteral("PRAGMA synchronous=OFF"));
    return c;
}

template <typename F> double bestMs(int repeats, F &&f)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = qMin(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

double scrollAndPaintMs(Connection *c)
{
    Query q;
    q.setConnection(c);
    q.setSql({ QStringLiteral("select * from t") });
    q.open();
    TRecordGrid grid;
    grid.setDataSet(&q);
    grid.addColumn(QStringLiteral("code"), QStringLiteral("Code"), 80);
    grid.addColumn(QStringLiteral("copies"), QStringLiteral("Copies"), 50);
    grid.addColumn(QStringLiteral("amount"), QStringLiteral("Amount"), 60)
        ->setDisplayFormat(QStringLiteral("0.00"));
    grid.resize(400, 400);
    grid.show();
    QCoreApplication::processEvents();
    return bestMs(5, [&] {
        grid.view()->scrollToTop();
        grid.view()->viewport()->repaint();
        grid.view()->scrollToBottom();
        grid.view()->viewport()->repaint();
    });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const int n = 100000;
    auto big = makeDatabase(dir.filePath(QStringLiteral("big.gdb")), n);
    auto small = makeDatabase(dir.filePath(QStringLiteral("small.gdb")), 100);

    Query q;
    q.setConnection(big.get());
    q.setSql({ QStringLiteral("select * from t") });
    q.open();
    const int amount = q.fieldIndex(QStringLiteral("amount"));
    qint64 sink = 0;
    const double plainMs = bestMs(3, [&] {
        qint64 total = 0;
        for (int row = 0; row < q.recordCount(); ++row)
            total = FixedPoint::add(total, q.valueAt(row, amount).toDouble());
        sink += total;
    });

    TDBSumListProducer list;
    list.setDataSet(&q);
    list.sumCollection()->add()->setFieldName(QStringLiteral("amount"));
    list.setActive(true);
    const double recountMs = bestMs(3, [&] { list.fullRecount(); });
    // Both ways must agree, or the figures compare different work.
    if (list.runningTotal(goSum, QStringLiteral("amount")) * 3 != sink) {
        std::printf("bench_grid: recount and plain loop disagree\n");
        return 1;
    }

    q.setRecNo(n / 2);
    const double postMs = bestMs(5, [&] {
        q.edit();
        q.fieldByName(QStringLiteral("amount")).setAsFloat(1.5);
        q.post();
    });

    scrollAndPaintMs(small.get()); // warms up fonts and styles for both
    const double smallScroll = scrollAndPaintMs(small.get());
    const double bigScroll = scrollAndPaintMs(big.get());

    std::printf("bench_grid: %d records\n", n);
    std::printf("  full recount / plain value loop         : %.2f  (%.1f ms / %.1f ms)\n",
        recountMs / plainMs, recountMs, plainMs);
    std::printf("  scroll+paint %d rows / 100 rows     : %.2f  (%.2f ms / %.2f ms)\n", n,
        bigScroll / smallScroll, bigScroll, smallScroll);
    std::printf("  post with step update / full recount    : %.4f  (%.3f ms / %.1f ms)\n",
        postMs / recountMs, postMs, recountMs);
    return 0;
}
