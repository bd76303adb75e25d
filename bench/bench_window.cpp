// The main window over a 100,000-row catalogue and 100,000 order lines, against the
// same statements stepped straight through the SQLite C API in the same run:
//  - start-up: from the start of FormShow (connect, open the order and customer
//    queries, list page 0) until page 0 is listed and painted;
//  - a partial search on 报刊名称 through the window's own search command, with the
//    grid's refresh;
//  - a page switch of the order list: the filter change and the full recount of
//    the totals, against summing the page's rows through the C API.
// Prints each figure as a ratio (ours / baseline, medians of several runs).
#include "BenchSupport.h"
#include "SqliteBaseline.h"
#include "app/HpKh.h"
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "app/pMain.h"
#include "app/pOrder.h"
#include "controls/EditN.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"
#include "tools/DbTool.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Repeats = 5;

void report(
    const char *what, const std::vector<double> &ours, const std::vector<double> &base, double goal)
{
    const double o = median(ours), b = median(base);
    std::printf("%-52s ratio %.2f  goal <= %.1f  (ours %.1f ms, baseline %.1f ms)\n", what, o / b,
        goal, o * 1e3, b * 1e3);
    std::fflush(stdout);
}

using SqliteBaseline::connect;
using SqliteBaseline::stepRows;

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Until a catalogue result has arrived whole: the figures time the complete list.
void settleAll(Query *q)
{
    settle();
    while (q->isFetching())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Program
{
    TfMain main;
    TfOrder order { &main };
    TfKh customer { &main };
    Program() { main.setDialogs(&order, &customer); }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("ortiwen.gdb"));
    std::printf("bench_window: generating %d rows per catalogue table...\n", Rows);
    std::fflush(stdout);
    DbTool::createDatabase(path);
    DbTool::generate(path, Rows);
    QDir::setCurrent(dir.path());

    // --- start-up: FormShow until page 0 is listed; no order lines yet.
    {
        std::vector<double> ours, base;
        for (int i = 0; i < Repeats; ++i) {
            base.push_back(seconds([&] {
                sqlite3 *db = connect(path);
                stepRows(db, "select * from tOrder");
                stepRows(db, "select * from KH");
                stepRows(db, "select rowid, * from POST");
                sqlite3_close(db);
            }));
            Program p;
            ours.push_back(seconds([&] {
                p.main.show(); // runs FormShow
                settleAll(p.main.qPost);
            }));
            if (p.main.startupFailed() || p.main.qPost->recordCount() != Rows) {
                std::printf("start-up failed\n");
                return 1;
            }
        }
        report("start-up to page 0 listed (connect included)", ours, base, 1.5);
    }

    // --- partial search on 报刊名称 through the window's search command.
    {
        Program p;
        p.main.show();
        settle();
        p.main.ComboBox1->setCurrentIndex(1);
        p.main.cMh->setChecked(true);
        p.main.EditN1->setText(QStringLiteral("报"));
        sqlite3 *db = connect(path);
        std::vector<double> ours, base;
        int found = 0;
        for (int i = 0; i < Repeats; ++i) {
            base.push_back(seconds([&] {
                stepRows(db, "select rowid, * from POST where 报刊名称 like ? escape '\\'", "%报%");
            }));
            ours.push_back(seconds([&] {
                p.main.GlgBtn6Click();
                settleAll(p.main.qPost);
            }));
            found = p.main.qPost->recordCount();
        }
        sqlite3_close(db);
        char what[128];
        std::snprintf(what, sizeof what, "partial search on 报刊名称 (%d rows found)", found);
        report(what, ours, base, 1.5);
    }

    // --- page switch of the order list over 100,000 lines on three pages.
    DbTool::execute(path,
        QStringLiteral(
            "insert into tOrder (报刊代号, 报刊名称, 份数, 报刊类型, 订期, 全年价, 金额) "
            "select 报刊代号, 报刊名称, 1 + rowid % 5, rowid % 3, '2027.01.01-12.31', 全年价, "
            "全年价 * (1 + rowid % 5) from POST"));
    {
        Program p;
        p.main.show();
        settle();
        Query *q = p.main.qOrder;
        sqlite3 *db = connect(path);
        std::vector<double> ours, base;
        QString copies;
        for (int i = 0; i < Repeats * 2; ++i) {
            const int page = 1 + i % 2;
            base.push_back(seconds([&] {
                sqlite3_stmt *st = nullptr;
                sqlite3_prepare_v2(
                    db, "select 份数, 金额 from tOrder where 报刊类型 = ?", -1, &st, nullptr);
                sqlite3_bind_int(st, 1, page);
                double a = 0, b = 0;
                while (sqlite3_step(st) == SQLITE_ROW) {
                    a += sqlite3_column_double(st, 0);
                    b += sqlite3_column_double(st, 1);
                }
                sqlite3_finalize(st);
                SqliteBaseline::sink = a + b;
            }));
            ours.push_back(seconds([&] {
                q->setFilter(QString::fromUtf16(Tables::F::Type) + u'=' + QString::number(page));
                q->setFiltered(true);
                settle();
            }));
            copies = p.main.OrderGrid->footerValueText(0, p.main.OrderGrid->column(2));
        }
        sqlite3_close(db);
        char what[128];
        std::snprintf(what, sizeof what, "order page switch with recount (%d lines, copies %s)",
            q->recordCount(), qPrintable(copies));
        report(what, ours, base, 2);
    }
    return 0;
}
