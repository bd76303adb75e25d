#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Query.h"
#include "tools/DbTool.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

int rowCount(const QString &path, const QString &table)
{
    auto c = DbTool::open(path);
    Query q;
    q.setConnection(c.get());
    q.setSql({ QStringLiteral("select * from ") + table });
    q.open();
    return q.recordCount();
}

// A CSV text of a header and `rows` lines, made as it is read, that counts the bytes
// handed out.
class GeneratedCsv : public QIODevice
{
public:
    GeneratedCsv(QByteArray header, int rows, QByteArray (*line)(int))
        : m_pending(header)
        , m_rows(rows)
        , m_line(line)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool atEnd() const override
    {
        return m_pending.isEmpty() && m_next >= m_rows && QIODevice::atEnd();
    }
    qint64 bytesHandedOut() const { return m_handedOut; }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        while (m_pending.size() < max && m_next < m_rows)
            m_pending += m_line(m_next++);
        const qint64 n = qMin<qint64>(max, m_pending.size());
        std::memcpy(data, m_pending.constData(), size_t(n));
        m_pending.remove(0, n);
        m_handedOut += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_pending;
    int m_rows, m_next = 0;
    QByteArray (*m_line)(int);
    qint64 m_handedOut = 0;
};

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

} // namespace

class TestDbTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString newDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("db%1.gdb").arg(++m_files));
        DbTool::createDatabase(path);
        return path;
    }

private slots:
    void demoExportImportRoundTrip()
    {
        const QString demo = newDatabase();
        QCOMPARE(DbTool::fillDemo(demo), 320);
        QCOMPARE(rowCount(demo, QStringLiteral("POST")), 200);
        QCOMPARE(rowCount(demo, QStringLiteral("NOPOST")), 60);
        QCOMPARE(rowCount(demo, QStringLiteral("POSTFOREIGN")), 60);

        {
            auto c = DbTool::open(demo);
            Query q;
            q.setConnection(c.get());
            q.setSql({ QStringLiteral("select * from POST") });
            q.open();
            QCOMPARE(
                q.fieldByName(QStringLiteral("报刊名称")).asString(), QStringLiteral("人民日报"));
            QCOMPARE(q.fieldByName(QStringLiteral("报刊代号")).asString(), QStringLiteral("1-1"));
            QCOMPARE(q.fieldByName(QStringLiteral("国内统一刊号")).asString(),
                QStringLiteral("CN11-0065"));
            QCOMPARE(q.fieldKind(q.fieldIndex(QStringLiteral("全年价"))), FieldKind::Float);
            // Prices agree: the month price is the full-year price over twelve.
            for (q.first(); !q.eof(); q.next()) {
                const double year = q.fieldByName(QStringLiteral("全年价")).asFloat();
                const double month = q.fieldByName(QStringLiteral("月价")).asFloat();
                QVERIFY(year > 0);
                QVERIFY2(std::abs(month - year / 12) < 0.006,
                    qPrintable(q.fieldByName(QStringLiteral("报刊名称")).asString()));
            }
            // Exact search ignores ASCII case; codes are unique.
            q.setSql({ QStringLiteral("select * from POST where 报刊代号=?") });
            q.setParameters({ QStringLiteral("1-1") });
            q.open();
            QCOMPARE(q.recordCount(), 1);
            q.setSql({ QStringLiteral("select * from NOPOST where 报刊代号=?") });
            q.setParameters({ QStringLiteral("zb1001") });
            q.open();
            QCOMPARE(q.recordCount(), 1);
        }

        // Every table survives export and import unchanged, nulls and empty texts included.
        DbTool::execute(demo,
            QStringLiteral(
                "insert into tOrder values ('1-1','人民日报',2,0,'2008.04.01-12.31',120,180,NULL);"
                "insert into KH values ('张三, \"老张\"','北京\n朝阳区','');"));
        const QString copy = newDatabase();
        for (const QString &table : { QStringLiteral("POST"), QStringLiteral("NOPOST"),
                 QStringLiteral("POSTFOREIGN"), QStringLiteral("tOrder"), QStringLiteral("KH") }) {
            const QByteArray csv = DbTool::exportCsv(demo, table);
            DbTool::importCsv(copy, table, csv);
            QCOMPARE(DbTool::exportCsv(copy, table), csv);
        }
        {
            auto c = DbTool::open(copy);
            Query q;
            q.setConnection(c.get());
            q.setSql({ QStringLiteral("select * from KH") });
            q.open();
            QCOMPARE(q.field(0).asString(), QStringLiteral("张三, \"老张\""));
            QCOMPARE(q.field(1).asString(), QStringLiteral("北京\n朝阳区"));
            QVERIFY(!q.field(2).isNull()); // an empty text stays a text
            q.setSql({ QStringLiteral("select * from tOrder") });
            q.open();
            QVERIFY(q.fieldByName(QStringLiteral("月价")).isNull());
            QCOMPARE(q.fieldByName(QStringLiteral("份数")).value().typeId(), QMetaType::LongLong);
        }
    }

    void gbkImport()
    {
        const QString path = newDatabase();
        QStringEncoder gbk("GBK");
        const QByteArray csv = gbk(QStringLiteral("客户名称,电话\r\n王五,8888\r\n"));
        QCOMPARE(DbTool::importCsv(path, QStringLiteral("KH"), csv, QStringLiteral("GBK")), 1);
        QVERIFY(DbTool::exportCsv(path, QStringLiteral("KH"))
                    .contains(QStringLiteral("王五,,8888").toUtf8()));
    }

    void badImportWritesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("message");
        const QByteArray header = "报刊代号,份数,金额\n";
        QTest::newRow("unknown field") << "tOrder" << QByteArray("报刊代号,单价\nx,1\n") << "UTF-8"
                                       << "'单价'";
        QTest::newRow("field twice") << "tOrder" << QByteArray("份数,份数\n1,2\n") << "UTF-8"
                                     << "twice";
        QTest::newRow("not a whole number") << "tOrder" << header + "a,1,2\nb,1.5,2\n"
                                            << "UTF-8"
                                            << "line 3, field 份数";
        QTest::newRow("not a number") << "tOrder" << header + "a,1,abc\n"
                                      << "UTF-8"
                                      << "line 2, field 金额";
        QTest::newRow("too few fields") << "tOrder" << header + "a,1,2\nb,1\n"
                                        << "UTF-8"
                                        << "line 3";
        QTest::newRow("unclosed quote") << "tOrder" << header + "a,1,2\n\"b,1,2\n"
                                        << "UTF-8"
                                        << "line 3";
        QTest::newRow("quote inside") << "tOrder" << header + "a\"b,1,2\n"
                                      << "UTF-8"
                                      << "line 2, field 1";
        QTest::newRow("not UTF-8") << "tOrder" << header + "\xC4\xE3\xBA\xC3,1,2\n"
                                   << "UTF-8"
                                   << "UTF-8";
        QTest::newRow("unknown encoding") << "tOrder" << header << "Latin-9"
                                          << "encoding";
        QTest::newRow("unknown table") << "ORDERS" << header << "UTF-8"
                                       << "unknown table";
        QTest::newRow("empty") << "KH" << QByteArray() << "UTF-8"
                               << "header";
        QTest::newRow("inf") << "tOrder" << header + "a,1,2\nb,1,inf\n"
                             << "UTF-8"
                             << "line 3, field 金额";
        QTest::newRow("-inf") << "tOrder" << header + "a,1,-inf\n"
                              << "UTF-8"
                              << "line 2, field 金额";
        QTest::newRow("nan") << "tOrder" << header + "a,1,nan\n"
                             << "UTF-8"
                             << "line 2, field 金额";
        QTest::newRow("Infinity") << "tOrder" << header + "a,1, +Infinity\n"
                                  << "UTF-8"
                                  << "line 2, field 金额";
        QTest::newRow("NaN quoted") << "tOrder" << header + "a,1,\"NaN\"\n"
                                    << "UTF-8"
                                    << "line 2, field 金额";
        QTest::newRow("too large") << "tOrder" << header + "a,1,1e999\n"
                                   << "UTF-8"
                                   << "line 2, field 金额";
        QTest::newRow("NUL in a text")
            << "tOrder" << header + QByteArray("a,1,2\nb\0c,1,2\n", 14) << "UTF-8"
            << "line 3, field 报刊代号";
        QTest::newRow("NUL in a quoted text")
            << "KH" << QByteArray("客户名称\n\"x\0\"\n", 18) << "UTF-8"
            << "line 2, field 客户名称";
        QTest::newRow("not UTF-8 after a good row")
            << "KH" << QByteArray("电话\n1\n\xC4\xE3\n") << "UTF-8"
            << "line 3";
        QTest::newRow("not GBK") << "KH" << QByteArray("\xB5\xE7\xBB\xB0\n1\n\x81\n") << "GBK"
                                 << "GBK";
        QTest::newRow("engine refuses late row")
            << "NOPOST" << QByteArray("报刊代号\nA\nB\n") << "UTF-8"
            << "line 3";
    }
    void badImportWritesNothing()
    {
        QFETCH(QString, table);
        QFETCH(QByteArray, csv);
        QFETCH(QString, encoding);
        QFETCH(QString, message);
        const QString path = newDatabase();
        DbTool::execute(path, QStringLiteral("insert into tOrder (报刊代号) values ('kept')"));
        // For the last row: a rule that lets the first row in and refuses the second,
        // so the failure happens in the middle of the transaction.
        DbTool::execute(path,
            QStringLiteral("create trigger refuse before insert on NOPOST when new.报刊代号='B' "
                           "begin select raise(abort, 'refused'); end"));
        const QByteArray before = fileHash(path);
        try {
            DbTool::importCsv(path, table, csv, encoding);
            QFAIL("import succeeded");
        } catch (const std::runtime_error &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(message), e.what());
        }
        QCOMPARE(fileHash(path), before);
        QCOMPARE(rowCount(path, QStringLiteral("tOrder")), 1);
        QCOMPARE(rowCount(path, QStringLiteral("NOPOST")), 0);
    }

    // Rows go in as they are read: a row refused near the start of a long text stops
    // the reading there, and the rows written before it are taken back.
    void importReadsAsItGoes()
    {
        const QString path = newDatabase();
        DbTool::execute(path,
            QStringLiteral("create trigger refuse before insert on NOPOST when new.报刊代号='B' "
                           "begin select raise(abort, 'refused'); end"));
        GeneratedCsv csv("报刊代号\n", 100000,
            [](int n) { return n == 2 ? QByteArray("B\n") : "A" + QByteArray::number(n) + '\n'; });
        try {
            DbTool::importCsv(path, QStringLiteral("NOPOST"), csv);
            QFAIL("import succeeded");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("line 4")), qPrintable(e.text()));
        }
        QVERIFY2(csv.bytesHandedOut() < 100000, qPrintable(QString::number(csv.bytesHandedOut())));
        QCOMPARE(rowCount(path, QStringLiteral("NOPOST")), 0);

        // The same text without the refused row goes in whole.
        GeneratedCsv good(
            "报刊代号\n", 100000, [](int n) { return "A" + QByteArray::number(n) + '\n'; });
        QCOMPARE(DbTool::importCsv(path, QStringLiteral("NOPOST"), good), 100000);
        QCOMPARE(rowCount(path, QStringLiteral("NOPOST")), 100000);
    }

    // A file longer than the reader's buffer, with two-byte characters and quoted
    // fields holding line breaks and quotes, reads back exactly, in either encoding.
    void importLongFile_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-8") << "UTF-8";
        QTest::newRow("GBK") << "GBK";
    }
    void importLongFile()
    {
        QFETCH(QString, encoding);
        QString text = QStringLiteral("客户名称,地址,电话\r\n");
        for (int n = 0; n < 3000; ++n)
            text += QStringLiteral("王五%1,\"北京\n朝阳区, \"\"%1\"\"\",%2\r\n")
                        .arg(n)
                        .arg(n % 3 ? QString::number(n) : QString());
        QStringEncoder encoder(encoding == QLatin1String("GBK") ? "GBK" : "UTF-8");
        const QByteArray bytes = encoder(text);
        QVERIFY(bytes.size() > 100000);
        const QString path = newDatabase();
        const QString file = writeFile(m_dir.filePath(QStringLiteral("long.csv")), bytes);
        QCOMPARE(DbTool::importCsvFile(path, QStringLiteral("KH"), file, encoding), 3000);
        QCOMPARE(DbTool::exportCsv(path, QStringLiteral("KH")), text.toUtf8());
    }

    // Append adds to the table's rows, Replace puts the file's rows in their place;
    // a bad file leaves them as they were either way.
    void importAppendOrReplace_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray good = "客户名称\n新\n";
        const QByteArray bad = "客户名称,电话\n新,1\n坏\n";
        QTest::newRow("append") << int(DbTool::ImportMode::Append) << good
                                << QByteArray("客户名称,地址,电话\r\n旧,,\r\n新,,\r\n");
        QTest::newRow("replace") << int(DbTool::ImportMode::Replace) << good
                                 << QByteArray("客户名称,地址,电话\r\n新,,\r\n");
        QTest::newRow("replace with a header only")
            << int(DbTool::ImportMode::Replace) << QByteArray("客户名称\n")
            << QByteArray("客户名称,地址,电话\r\n");
        QTest::newRow("bad append") << int(DbTool::ImportMode::Append) << bad
                                    << QByteArray("客户名称,地址,电话\r\n旧,,\r\n");
        QTest::newRow("bad replace") << int(DbTool::ImportMode::Replace) << bad
                                     << QByteArray("客户名称,地址,电话\r\n旧,,\r\n");
    }
    void importAppendOrReplace()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, csv);
        QFETCH(QByteArray, expected);
        const QString path = newDatabase();
        DbTool::execute(path, QStringLiteral("insert into KH (客户名称) values ('旧')"));
        try {
            DbTool::importCsv(
                path, QStringLiteral("KH"), csv, QStringLiteral("UTF-8"), DbTool::ImportMode(mode));
        } catch (const DbTool::ToolError &) {
        }
        QCOMPARE(DbTool::exportCsv(path, QStringLiteral("KH")), expected);
    }

    // One table generated alone gets the rows it gets with the others, and the other
    // tables stay as they were.
    void generateOneTable()
    {
        const QString all = newDatabase();
        DbTool::generate(all, 40);
        for (const QString &table :
            { QStringLiteral("POST"), QStringLiteral("NOPOST"), QStringLiteral("POSTFOREIGN") }) {
            const QString one = newDatabase();
            DbTool::execute(one, QStringLiteral("insert into POST (报刊代号) values ('kept')"));
            if (table == QLatin1String("POST")) {
                QVERIFY_THROWS_EXCEPTION(DbTool::ToolError, DbTool::generate(one, 40, table));
                DbTool::execute(one, QStringLiteral("delete from POST"));
            }
            DbTool::generate(one, 40, table);
            QCOMPARE(DbTool::exportCsv(one, table), DbTool::exportCsv(all, table));
            for (const QString &other :
                { QStringLiteral("POST"), QStringLiteral("NOPOST"), QStringLiteral("POSTFOREIGN") })
                if (other != table)
                    QCOMPARE(rowCount(one, other), other == QLatin1String("POST") ? 1 : 0);
        }
        QVERIFY_THROWS_EXCEPTION(
            DbTool::ToolError, DbTool::generate(newDatabase(), 5, QStringLiteral("KH")));
    }

    // Options anywhere, both spellings of an option's value, demo over a new file,
    // --replace and the help text, through the tool itself.
    void commandLineForms()
    {
        const QString tool
            = QCoreApplication::applicationDirPath() + QStringLiteral("/../tessival-db");
        if (!QFile::exists(tool))
            QSKIP("tessival-db is not built beside the tests");
        auto run = [&](const QStringList &args, QByteArray *out = nullptr) {
            QProcess p;
            p.start(tool, args);
            if (!p.waitForFinished(60000))
                return -1;
            if (out)
                *out = p.readAllStandardOutput();
            return p.exitCode();
        };
        QByteArray out;
        QCOMPARE(run({ QStringLiteral("--help") }, &out), 0);
        const QString help = QString::fromUtf8(out);
        for (const QString &part : { QStringLiteral("--replace"), QStringLiteral("--encoding"),
                 QStringLiteral("--table"), QStringLiteral("POSTFOREIGN: 报刊代号"),
                 QStringLiteral("KH:"), QStringLiteral("份数 (whole number)") })
            QVERIFY2(help.contains(part), qPrintable(part));
        QCOMPARE(run({ QStringLiteral("import"), QStringLiteral("--help") }, &out), 0);
        QCOMPARE(QString::fromUtf8(out), help);
        QCOMPARE(run({ QStringLiteral("--version") }, &out), 0);
        QVERIFY(out.startsWith("tessival-db "));

        // demo makes a file that is not there yet.
        const QString db = m_dir.filePath(QStringLiteral("made-by-demo.gdb"));
        QCOMPARE(run({ QStringLiteral("demo"), db }), 0);
        QCOMPARE(rowCount(db, QStringLiteral("POST")), 200);
        QCOMPARE(run({ QStringLiteral("demo"), db }), 1); // a filled catalogue is refused
        QCOMPARE(rowCount(db, QStringLiteral("POST")), 200);

        QStringEncoder gbk("GBK");
        const QString csv = writeFile(
            m_dir.filePath(QStringLiteral("kh-gbk.csv")), gbk(QStringLiteral("客户名称\n王五\n")));
        QCOMPARE(run({ QStringLiteral("--encoding=gbk"), QStringLiteral("import"), db,
                     QStringLiteral("KH"), csv }),
            0);
        QCOMPARE(run({ QStringLiteral("import"), db, QStringLiteral("--encoding"),
                     QStringLiteral("GBK"), QStringLiteral("KH"), csv }),
            0);
        QCOMPARE(DbTool::exportCsv(db, QStringLiteral("KH")),
            QByteArray("客户名称,地址,电话\r\n王五,,\r\n王五,,\r\n"));
        QCOMPARE(run({ QStringLiteral("import"), db, QStringLiteral("KH"), csv,
                     QStringLiteral("--replace"), QStringLiteral("--encoding=GBK") }),
            0);
        QCOMPARE(DbTool::exportCsv(db, QStringLiteral("KH")),
            QByteArray("客户名称,地址,电话\r\n王五,,\r\n"));
        // An option of another command is refused and changes nothing.
        QCOMPARE(run({ QStringLiteral("import"), db, QStringLiteral("KH"), csv,
                     QStringLiteral("--rows"), QStringLiteral("5") }),
            2);
        QCOMPARE(run({ QStringLiteral("export"), db, QStringLiteral("KH"),
                     QStringLiteral("--replace") }),
            2);
        QCOMPARE(rowCount(db, QStringLiteral("KH")), 1);

        const QString generated = m_dir.filePath(QStringLiteral("generated.gdb"));
        DbTool::createDatabase(generated);
        QCOMPARE(run({ QStringLiteral("generate"), QStringLiteral("--table=NOPOST"), generated,
                     QStringLiteral("--rows"), QStringLiteral("30") }),
            0);
        QCOMPARE(rowCount(generated, QStringLiteral("NOPOST")), 30);
        QCOMPARE(rowCount(generated, QStringLiteral("POST")), 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("create over a file") << "create";
        QTest::newRow("demo twice") << "demo";
        QTest::newRow("generate over a catalogue") << "generate";
        QTest::newRow("wrong password") << "password";
    }
    void refusals()
    {
        QFETCH(QString, command);
        const QString path = newDatabase();
        DbTool::fillDemo(path);
        if (command == QLatin1String("password")) {
            // A file keyed with another password is no database to the tool.
            DbTool::execute(path, QStringLiteral("PRAGMA rekey = 'other'"));
        }
        const QByteArray before = fileHash(path);
        if (command == QLatin1String("create"))
            QVERIFY_THROWS_EXCEPTION(DbTool::ToolError, DbTool::createDatabase(path));
        else if (command == QLatin1String("demo"))
            QVERIFY_THROWS_EXCEPTION(DbTool::ToolError, DbTool::fillDemo(path));
        else if (command == QLatin1String("generate"))
            QVERIFY_THROWS_EXCEPTION(DbTool::ToolError, DbTool::generate(path, 10));
        else
            QVERIFY_THROWS_EXCEPTION(
                DatabaseError, DbTool::exportCsv(path, QStringLiteral("POST")));
        QCOMPARE(fileHash(path), before);
        const QString missing = m_dir.filePath(QStringLiteral("missing.gdb"));
        QVERIFY_THROWS_EXCEPTION(DbTool::ToolError, DbTool::fillDemo(missing));
        QVERIFY(!QFile::exists(missing));
    }

    // The command line: exit codes and one-line messages.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrPart");
        QTest::newRow("help") << QStringList { "--help" } << 0 << "";
        QTest::newRow("no command") << QStringList {} << 2 << "no command";
        QTest::newRow("unknown command") << QStringList { "drop", "x" } << 2 << "unknown command";
        QTest::newRow("rows not a number")
            << QStringList { "generate", "@db", "--rows", "many" } << 2 << "--rows";
        QTest::newRow("missing file")
            << QStringList { "export", "@dir/none.gdb", "KH" } << 1 << "no such database file";
        QTest::newRow("unknown table")
            << QStringList { "export", "@db", "ORDERS" } << 1 << "unknown table";
        QTest::newRow("import bad value")
            << QStringList { "import", "@db", "tOrder", "@csv" } << 1 << "line 2, field 份数";
        QTest::newRow("export") << QStringList { "export", "@db", "KH" } << 0 << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrPart);
        const QString tool
            = QCoreApplication::applicationDirPath() + QStringLiteral("/../tessival-db");
        if (!QFile::exists(tool))
            QSKIP("tessival-db is not built beside the tests");
        const QString db = newDatabase();
        const QString csv = m_dir.filePath(QStringLiteral("bad.csv"));
        {
            QFile f(csv);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("报刊代号,份数\nx,two\n");
        }
        for (QString &a : args)
            a.replace(QLatin1String("@dir"), m_dir.path())
                .replace(QLatin1String("@db"), db)
                .replace(QLatin1String("@csv"), csv);
        QProcess p;
        p.start(tool, args);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), exitCode);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains(stderrPart), qPrintable(err));
        if (exitCode != 0)
            QCOMPARE(err.count(u'\n'), 1);
        if (args.value(0) == QLatin1String("export") && exitCode == 0)
            QCOMPARE(p.readAllStandardOutput(), QByteArray("客户名称,地址,电话\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDbTool)
#include "tst_dbtool.moc"
