// tessival-db: creates the program's database file, fills a demonstration or a
// generated catalogue, and imports and exports tables as CSV.
#include "app/data/DatabaseError.h"
#include "tools/DbTool.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char usage[] =
    "Usage: tessival-db COMMAND ...\n"
    "\n"
    "  create FILE                          create a new database file with the five empty tables\n"
    "  demo FILE                            fill the catalogue of FILE with demonstration titles\n"
    "  generate FILE --rows N               fill each catalogue table of FILE with N generated rows\n"
    "  import FILE TABLE CSV [--encoding E] append the rows of a CSV file (header row of field\n"
    "                                       names) to TABLE, all or nothing; E is UTF-8 or GBK\n"
    "  export FILE TABLE                    write TABLE as UTF-8 CSV to standard output\n"
    "  --help                               show this text\n"
    "\n"
    "Tables: POST, NOPOST, POSTFOREIGN, tOrder, KH. The file is keyed with the program's password.\n";

int fail(const QString &message, int code = 1)
{
    std::fprintf(stderr, "tessival-db: %s\n", message.simplified().toUtf8().constData());
    return code;
}

int badArguments(const QString &message)
{
    return fail(message + QStringLiteral(" (see tessival-db --help)"), 2);
}

int run(const QStringList &args)
{
    if (args.isEmpty())
        return badArguments(QStringLiteral("no command"));
    const QString command = args[0];
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (command == QStringLiteral("create") && args.size() == 2) {
        DbTool::createDatabase(args[1]);
        return 0;
    }
    if (command == QStringLiteral("demo") && args.size() == 2) {
        const int rows = DbTool::fillDemo(args[1]);
        std::fprintf(stderr, "tessival-db: %d catalogue rows written\n", rows);
        return 0;
    }
    if (command == QStringLiteral("generate") && args.size() == 4 && args[2] == QStringLiteral("--rows")) {
        bool ok = false;
        const int rows = args[3].toInt(&ok);
        if (!ok || rows < 1)
            return badArguments(QStringLiteral("--rows needs a positive whole number, not '%1'").arg(args[3]));
        DbTool::generate(args[1], rows);
        return 0;
    }
    if (command == QStringLiteral("import") && (args.size() == 4 || args.size() == 6)) {
        QString encoding = QStringLiteral("UTF-8");
        if (args.size() == 6) {
            if (args[4] != QStringLiteral("--encoding"))
                return badArguments(QStringLiteral("unknown option '%1'").arg(args[4]));
            encoding = args[5];
        }
        const int rows = DbTool::importCsvFile(args[1], args[2], args[3], encoding);
        std::fprintf(stderr, "tessival-db: %d rows imported\n", rows);
        return 0;
    }
    if (command == QStringLiteral("export") && args.size() == 3) {
        const QByteArray csv = DbTool::exportCsv(args[1], args[2]);
        std::fwrite(csv.constData(), 1, std::size_t(csv.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("cannot write to standard output"));
    }
    static const QStringList known = {QStringLiteral("create"), QStringLiteral("demo"), QStringLiteral("generate"),
                                      QStringLiteral("import"), QStringLiteral("export")};
    if (known.contains(command))
        return badArguments(QStringLiteral("wrong arguments for '%1'").arg(command));
    return badArguments(QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return run(args);
    } catch (const DatabaseError &e) {
        return fail(e.text());
    } catch (const DbTool::ToolError &e) {
        return fail(e.text());
    } catch (const std::exception &e) {
        return fail(QString::fromUtf8(e.what()));
    }
}
