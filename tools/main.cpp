// tessival-db: creates the program's database file, fills a demonstration or a
// generated catalogue, and imports and exports tables as CSV.
#include "app/data/DatabaseError.h"
#include "app/data/Schema.h"
#include "tools/DbTool.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

const char commands[]
    = "Usage: tessival-db COMMAND FILE ... [OPTIONS]\n"
      "\n"
      "Commands:\n"
      "  create FILE                  create a new database file with the five empty tables\n"
      "  demo FILE                    fill the catalogue of FILE with demonstration titles;\n"
      "                               creates FILE when it does not exist\n"
      "  generate FILE --rows N       fill each catalogue table of FILE (or only the one given\n"
      "         [--table TABLE]       with --table) with N generated rows, the same each time\n"
      "  import FILE TABLE CSV        add the rows of a CSV file (header row of field names)\n"
      "         [--encoding E]        to TABLE, all or nothing; E is UTF-8 (the default) or GBK;\n"
      "         [--replace]           --replace deletes the table's rows first, in the same step\n"
      "  export FILE TABLE            write TABLE as UTF-8 CSV to standard output\n"
      "\n"
      "Options may stand anywhere; --encoding=gbk and --encoding gbk are the same.\n";

const char afterOptions[]
    = "\n"
      "CSV files: a header row names the columns the rows fill, in any order and any\n"
      "letter case; no column is required, and a column the header leaves out stays empty.\n"
      "An unquoted empty field is empty (null), \"\" is an empty text. Columns per table:\n";

QString helpText(const QCommandLineParser &parser)
{
    QString text = QString::fromUtf8(commands);
    // The option list that the parser formats, without its own usage line.
    QString options = parser.helpText();
    options = options.mid(options.indexOf(QStringLiteral("Options:")));
    text += u'\n' + options.trimmed() + u'\n';
    text += QString::fromUtf8(afterOptions);
    for (const QString &table : Schema::tableNames()) {
        QStringList names;
        for (const Schema::Column &c : Schema::columns(table)) {
            const char *kind = c.kind == FieldKind::Integer ? " (whole number)"
                : c.kind == FieldKind::Float                ? " (number)"
                                                            : "";
            names << c.name + QString::fromLatin1(kind);
        }
        text += QStringLiteral("  %1 %2\n")
                    .arg(table + u':', -12)
                    .arg(names.join(QStringLiteral(", ")));
    }
    text += QStringLiteral("\nThe file is keyed with the program's password.\n");
    return text;
}

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
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this text."));
    const QCommandLineOption version(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Show the version."));
    const QCommandLineOption rows(
        QStringLiteral("rows"), QStringLiteral("generate: rows per table."), QStringLiteral("N"));
    const QCommandLineOption table(QStringLiteral("table"),
        QStringLiteral("generate: fill only this table."), QStringLiteral("TABLE"));
    const QCommandLineOption encoding(QStringLiteral("encoding"),
        QStringLiteral("import: encoding of the CSV file, UTF-8 or GBK."), QStringLiteral("E"),
        QStringLiteral("UTF-8"));
    const QCommandLineOption replace(QStringLiteral("replace"),
        QStringLiteral("import: replace the table's rows instead of adding to them."));
    parser.addOptions({ help, version, rows, table, encoding, replace });

    if (!parser.parse(QStringList { QStringLiteral("tessival-db") } + args))
        return badArguments(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(helpText(parser).toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("tessival-db %s\n", TESSIVAL_VERSION);
        return 0;
    }
    const QStringList pos = parser.positionalArguments();
    if (pos.isEmpty())
        return badArguments(QStringLiteral("no command"));
    const QString command = pos[0];
    if (command == QStringLiteral("help")) {
        std::fputs(helpText(parser).toUtf8().constData(), stdout);
        return 0;
    }
    struct Form
    {
        QString name;
        int arguments; // positional arguments after the command
        QList<const QCommandLineOption *> options;
    };
    const QList<Form> forms = {
        { QStringLiteral("create"), 1, {} },
        { QStringLiteral("demo"), 1, {} },
        { QStringLiteral("generate"), 1, { &rows, &table } },
        { QStringLiteral("import"), 3, { &encoding, &replace } },
        { QStringLiteral("export"), 2, {} },
    };
    const Form *form = nullptr;
    for (const Form &f : forms)
        if (f.name == command)
            form = &f;
    if (!form)
        return badArguments(QStringLiteral("unknown command '%1'").arg(command));
    if (pos.size() - 1 != form->arguments)
        return badArguments(QStringLiteral("'%1' takes %2 argument(s), not %3")
                                .arg(command)
                                .arg(form->arguments)
                                .arg(pos.size() - 1));
    for (const QCommandLineOption *o : { &rows, &table, &encoding, &replace })
        if (parser.isSet(*o) && !form->options.contains(o))
            return badArguments(
                QStringLiteral("'%1' takes no option --%2").arg(command, o->names().constFirst()));

    if (command == QStringLiteral("create")) {
        DbTool::createDatabase(pos[1]);
        return 0;
    }
    if (command == QStringLiteral("demo")) {
        const QString file = pos[1];
        const bool created = !QFileInfo::exists(file);
        if (created)
            DbTool::createDatabase(file);
        try {
            const int n = DbTool::fillDemo(file);
            std::fprintf(stderr, "tessival-db: %d catalogue rows written\n", n);
        } catch (...) {
            if (created)
                QFile::remove(file);
            throw;
        }
        return 0;
    }
    if (command == QStringLiteral("generate")) {
        if (!parser.isSet(rows))
            return badArguments(QStringLiteral("generate needs --rows N"));
        bool ok = false;
        const int n = parser.value(rows).toInt(&ok);
        if (!ok || n < 1)
            return badArguments(QStringLiteral("--rows needs a positive whole number, not '%1'")
                                    .arg(parser.value(rows)));
        DbTool::generate(pos[1], n, parser.value(table));
        return 0;
    }
    if (command == QStringLiteral("import")) {
        const int n = DbTool::importCsvFile(pos[1], pos[2], pos[3], parser.value(encoding),
            parser.isSet(replace) ? DbTool::ImportMode::Replace : DbTool::ImportMode::Append);
        std::fprintf(stderr, "tessival-db: %d rows imported%s\n", n,
            parser.isSet(replace) ? " (the table's earlier rows replaced)" : "");
        return 0;
    }
    const QByteArray csv = DbTool::exportCsv(pos[1], pos[2]);
    std::fwrite(csv.constData(), 1, std::size_t(csv.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("cannot write to standard output"));
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
