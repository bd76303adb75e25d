// Laying out an order list of 10,000 lines into the preview, with a print queue
// installed against the same with none, measured in one run: the figure is the
// ratio of the two CPU times. Each case runs in a child process of its own, since
// the print system's client is set up once per process; the queue comes from a
// private cupsd (own socket and folders) that this bench starts and stops.

#include "BenchDatabase.h"
#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "grid/ColumnFooter.h"
#include "grid/GridColumn.h"
#include "grid/GridPrinter.h"
#include "grid/PreviewForm.h"
#include "grid/PrinterPreview.h"
#include "grid/RecordGrid.h"
#include "platform/PrinterService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

constexpr int Lines = 10000;

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The print system, counting how often it is asked.
class CountingPrinterService : public SystemPrinterService
{
public:
    QStringList printerNames() const override
    {
        ++queries;
        return SystemPrinterService::printerNames();
    }
    int defaultIndex() const override
    {
        ++queries;
        return SystemPrinterService::defaultIndex();
    }
    mutable int queries = 0;
};

std::unique_ptr<Connection> makeDatabase(const QString &path)
{
    return makeBenchDatabase(path,
        QStringLiteral("code TEXT, name TEXT, copies INTEGER, amount REAL"),
        QStringLiteral("'R' || i, '人民日报' || i, i % 10 + 1, i * 0.37"), Lines);
}

// One case: lays the list out into the preview and prints "cpu-seconds queries
// sheets has-printer".
int layoutChild()
{
    CountingPrinterService service;
    PrinterService::setInstance(&service);
    QTemporaryDir dir;
    auto c = makeDatabase(dir.filePath(QStringLiteral("b.db")));
    Query q;
    q.setConnection(c.get());
    q.setSql({ QStringLiteral("select * from t") });
    q.open();
    TRecordGrid grid;
    grid.setDataSet(&q);
    TGridColumn *code = grid.addColumn(QStringLiteral("code"), QStringLiteral("报刊代号"), 80);
    grid.addColumn(QStringLiteral("name"), QStringLiteral("报刊名称"), 160);
    grid.addColumn(QStringLiteral("copies"), QStringLiteral("份数"), 50)
        ->footer()
        ->setValueType(fvtSum);
    grid.addColumn(QStringLiteral("amount"), QStringLiteral("金额"), 60)
        ->footer()
        ->setValueType(fvtSum);
    grid.setFooterRowCount(1);
    code->footer()->setValueType(fvtStaticText);
    code->footer()->setValue(QStringLiteral("合计"));
    TGridPrinter printer;
    printer.SetGrid(&grid);

    PreviewPrinter(); // made once per program, with its device
    const double start = cpuSeconds();
    printer.ShowPreview();
    QCoreApplication::processEvents();
    const double used = cpuSeconds() - start;
    std::printf("%.3f %d %d %d\n", used, service.queries, PreviewPrinter()->RecordedPageCount(),
        PreviewPrinter()->HasPrinter() ? 1 : 0);
    return 0;
}

struct Result
{
    double cpu = 0;
    int queries = 0, sheets = 0;
    bool printer = false;
    bool ok = false;
};

Result runChild(const QString &cupsServer)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), cupsServer);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--layout") });
    Result r;
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return r;
    const QStringList f = QString::fromLatin1(p.readAllStandardOutput()).split(' ');
    if (f.size() < 4)
        return r;
    r.cpu = f.at(0).toDouble();
    r.queries = f.at(1).toInt();
    r.sheets = f.at(2).toInt();
    r.printer = f.at(3).trimmed() == QLatin1String("1");
    r.ok = true;
    return r;
}

// A cupsd of our own with one cups-pdf queue, stopped when this goes.
class PrivateCups
{
public:
    PrivateCups()
    {
        const QString cupsd = QStandardPaths::findExecutable(
            QStringLiteral("cupsd"), { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") });
        const QString lpadmin = QStandardPaths::findExecutable(
            QStringLiteral("lpadmin"), { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") });
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFile::exists(ppd) || !m_dir.isValid())
            return;
        const QString root = m_dir.path();
        for (const char *sub : { "spool", "tmp", "cache", "state", "log" })
            QDir(root).mkpath(QString::fromLatin1(sub));
        m_socket = root + QStringLiteral("/cups.sock");
        write(QStringLiteral("cupsd.conf"),
            QStringLiteral("Listen %1\nLogLevel warn\n<Location />\n  Order allow,deny\n"
                           "  Allow all\n</Location>\n<Location /admin>\n  Order allow,deny\n"
                           "  Allow all\n</Location>\n")
                .arg(m_socket));
        write(QStringLiteral("cups-files.conf"),
            QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\n"
                           "CacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\n"
                           "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                           "Sandboxing Relaxed\n")
                .arg(root));
        m_cupsd.start(cupsd,
            { QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
                QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf") });
        if (!m_cupsd.waitForStarted())
            return;
        for (int i = 0; i < 50 && !QFile::exists(m_socket); ++i)
            QThread::msleep(100);
        const int rc = QProcess::execute(lpadmin,
            { QStringLiteral("-h"), m_socket, QStringLiteral("-p"), QStringLiteral("PDF"),
                QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd,
                QStringLiteral("-E") });
        m_ready = rc == 0;
    }
    ~PrivateCups()
    {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(5000))
                m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    bool ready() const { return m_ready; }
    QString socket() const { return m_socket; }

private:
    void write(const QString &name, const QString &text)
    {
        QFile f(m_dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    bool m_ready = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--layout") == 0)
        return layoutChild();

    QTemporaryDir none;
    const Result without = runChild(none.filePath(QStringLiteral("no-cupsd.sock")));
    PrivateCups cups;
    if (!cups.ready()) {
        std::printf("print layout: skipped the queue figure (no cupsd or cups-pdf here)\n");
        if (without.ok)
            std::printf("  %d lines, no queue: %.3f s CPU, %d sheets, %d print-system queries\n",
                Lines, without.cpu, without.sheets, without.queries);
        return 0;
    }
    const Result with = runChild(cups.socket());
    if (!without.ok || !with.ok || without.printer || !with.printer) {
        std::printf("print layout: a case failed (no queue ok %d printer %d, queue ok %d "
                    "printer %d)\n",
            without.ok, without.printer, with.ok, with.printer);
        return 1;
    }
    std::printf("print layout of %d lines into the preview (CPU time):\n", Lines);
    std::printf("  no queue:   %.3f s, %d sheets, %d print-system queries\n", without.cpu,
        without.sheets, without.queries);
    std::printf("  one queue:  %.3f s, %d sheets, %d print-system queries\n", with.cpu, with.sheets,
        with.queries);
    std::printf("  ratio queue / none: %.2f (goal <= 1.2)\n", with.cpu / qMax(1e-9, without.cpu));
    return 0;
}
