#include "GridTestDb.h"

#include "grid/GridExporter.h"
#include "grid/RecordGrid.h"
#include "grid/XlsGridExporter.h"
#include "platform/ErrorReport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

const QByteArray Bof = QByteArray::fromHex("0908 0800 0000 1000 0000 0000");
const QByteArray Eof = QByteArray::fromHex("0A00 0000");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray le16(int v)
{
    const quint16 x = qToLittleEndian(quint16(v));
    return QByteArray(reinterpret_cast<const char *>(&x), 2);
}

QByteArray doubleBytes(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    bits = qToLittleEndian(bits);
    return QByteArray(reinterpret_cast<const char *>(&bits), 8);
}

// A LABEL at row 0, column 0 holding `bytes`.
QByteArray label00(const QByteArray &bytes)
{
    return hex("0402") + le16(8 + int(bytes.size())) + hex("0000 0000 0000")
        + le16(int(bytes.size())) + bytes;
}

QByteArray number(int row, int col, double v)
{
    return hex("0302 0E00") + le16(row) + le16(col) + hex("0000") + doubleBytes(v);
}

struct Record
{
    quint16 type;
    int row, col;
    QByteArray body;
};

// Splits a stream into its records; a record running past the end is a fault.
QList<Record> records(const QByteArray &data)
{
    QList<Record> out;
    qsizetype i = 0;
    while (i + 4 <= data.size()) {
        const quint16 type = qFromLittleEndian<quint16>(data.constData() + i);
        const quint16 len = qFromLittleEndian<quint16>(data.constData() + i + 2);
        if (i + 4 + len > data.size())
            return {};
        const QByteArray body = data.mid(i + 4, len);
        const int row = len >= 4 ? qFromLittleEndian<quint16>(body.constData()) : -1;
        const int col = len >= 4 ? qFromLittleEndian<quint16>(body.constData() + 2) : -1;
        out.append({ type, row, col, body });
        i += 4 + len;
    }
    return i == data.size() ? out : QList<Record> {};
}

double numberValue(const Record &r)
{
    double v;
    const quint64 bits = qFromLittleEndian<quint64>(r.body.constData() + 6);
    std::memcpy(&v, &bits, 8);
    return v;
}

// An order list in small: code with the fixed footer text, a name, copies and amount
// with footer sums, one footer row, titles on.
struct OrderSheet
{
    GridTestDb db;
    std::unique_ptr<Query> q;
    TRecordGrid grid;

    explicit OrderSheet(const QStringList &rows)
        : db(QStringList { "create table t (code TEXT, name TEXT, copies INTEGER, amount REAL)" }
            + rows)
    {
        q = db.query("select * from t");
        grid.setDataSet(q.get());
        TGridColumn *code = grid.addColumn("code");
        grid.addColumn("name", "名称");
        TGridColumn *copies = grid.addColumn("copies");
        TGridColumn *amount = grid.addColumn("amount");
        amount->setDisplayFormat("0.00");
        grid.setFooterRowCount(1);
        code->footer()->setValueType(fvtStaticText);
        code->footer()->setValue("合计");
        copies->footer()->setValueType(fvtSum);
        amount->footer()->setValueType(fvtSum);
        grid.sumList()->setActive(true);
    }
};

QByteArray exportToBytes(TRecordGrid &grid, bool exportAll = true)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TXlsGridExporter exporter;
    exporter.setGrid(&grid);
    exporter.WriteGridToStream(&buffer, exportAll);
    return buffer.data();
}

} // namespace

class TestXlsExport : public QObject
{
    Q_OBJECT
private slots:
    void orderSheetByteForByte();
    void cells_data();
    void cells();
    void footerTotals_data();
    void footerTotals();
    void placementWithAndWithoutTitles_data();
    void placementWithAndWithoutTitles();
    void gridLeftAsItWas_data();
    void gridLeftAsItWas();
    void files();
    void rowLimit();
    void failedExportKeepsOlderFile_data();
    void failedExportKeepsOlderFile();
};

void TestXlsExport::orderSheetByteForByte()
{
    OrderSheet s({ "insert into t values ('A1', '合计', 3, 12.5)",
        "insert into t values ('B2', '', 2, null)" });
    const QByteArray expected = Bof
        // titles: field names, or the caption set on the column
        + hex("0402 0C00 0000 0000 0000 0400") + "code"
        + hex("0402 0C00 0000 0100 0000 0400 C3FB B3C6") // 名称
        + hex("0402 0E00 0000 0200 0000 0600") + "copies" + hex("0402 0E00 0000 0300 0000 0600")
        + "amount"
        // record 1: the amount as stored, not as "12.50"
        + hex("0402 0A00 0100 0000 0000 0200") + "A1"
        + hex("0402 0C00 0100 0100 0000 0400 BACF BCC6") + hex("7E02 0A00 0100 0200 0000 0E00 0000")
        + hex("0302 0E00 0100 0300 0000")
        + doubleBytes(12.5)
        // record 2: an empty text is a LABEL of length 8, a null a BLANK with format 23
        + hex("0402 0A00 0200 0000 0000 0200") + "B2" + hex("0402 0800 0200 0100 0000 0000")
        + hex("7E02 0A00 0200 0200 0000 0A00 0000")
        + hex("0102 0600 0200 0300 1700")
        // footer row: the null amount is left out of the sum
        + hex("0402 0C00 0300 0000 0000 0400 BACF BCC6") + hex("0402 0800 0300 0100 0000 0000")
        + number(3, 2, 5) + number(3, 3, 12.5) + Eof;
    QCOMPARE(exportToBytes(s.grid).toHex(' '), expected.toHex(' '));
    // Nothing to export without a selection.
    QCOMPARE(exportToBytes(s.grid, false), QByteArray());
}

void TestXlsExport::cells_data()
{
    QTest::addColumn<QString>("declType");
    QTest::addColumn<QString>("value"); // SQL literal
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("cell");

    const QByteArray blank = hex("0102 0600 0000 0000 1700");
    auto rk = [](const char *value) { return hex("7E02 0A00 0000 0000 0000") + hex(value); };
    auto num = [](double v) { return number(0, 0, v); };

    QTest::newRow("rk 3") << "INTEGER"
                          << "3"
                          << "v" << rk("0E000000");
    QTest::newRow("rk -1") << "INTEGER"
                           << "-1"
                           << "v" << rk("FEFFFFFF");
    QTest::newRow("rk largest") << "INTEGER"
                                << "536870911"
                                << "v" << rk("FEFFFF7F");
    QTest::newRow("rk smallest") << "INTEGER"
                                 << "-536870912"
                                 << "v" << rk("02000080");
    // Beyond the RK's 30 bits the integer keeps its value as a NUMBER.
    QTest::newRow("above rk") << "INTEGER"
                              << "536870912"
                              << "v" << num(536870912.0);
    QTest::newRow("below rk") << "INTEGER"
                              << "-536870913"
                              << "v" << num(-536870913.0);
    QTest::newRow("big integer") << "INTEGER"
                                 << "9007199254740993"
                                 << "v" << num(9007199254740992.0);
    QTest::newRow("null integer") << "INTEGER"
                                  << "null"
                                  << "v" << blank;
    QTest::newRow("float") << "REAL"
                           << "0.1"
                           << "v" << num(0.1);
    QTest::newRow("float holding a whole number") << "REAL"
                                                  << "7"
                                                  << "v" << num(7);
    QTest::newRow("null float") << "REAL"
                                << "null"
                                << "v" << blank;
    QTest::newRow("null text") << "TEXT"
                               << "null"
                               << "v" << blank;
    QTest::newRow("no such field") << "TEXT"
                                   << "'x'"
                                   << "missing" << blank;
    QTest::newRow("number stored in a text column") << "TEXT"
                                                    << "'12'"
                                                    << "v" << label00("12");
    QTest::newRow("gbk") << "TEXT"
                         << "'合计a'"
                         << "v" << label00(hex("BACFBCC6") + "a");
    QTest::newRow("not in gbk") << "TEXT"
                                << "'a😀b'"
                                << "v" << label00("a?b");
    const QByteArray x300(300, 'x');
    QTest::newRow("300 bytes whole") << "TEXT" << QString("'%1'").arg(QString(x300)) << "v"
                                     << (hex("0402 3401 0000 0000 0000 2C01") + x300);
    // The largest text a LABEL holds is written whole ...
    const QString atLimit = "a" + QString(32763, QChar(0x5408)); // 65527 bytes
    QTest::newRow("label at its limit")
        << "TEXT" << QString("'%1'").arg(atLimit) << "v"
        << (hex("0402 FFFF 0000 0000 0000 F7FF") + "a" + hex("BACF").repeated(32763));
    // ... a longer one is cut without splitting a two-byte character.
    const QString over = "aa" + QString(32763, QChar(0x5408)); // 65528 bytes
    QTest::newRow("label cut on a character")
        << "TEXT" << QString("'%1'").arg(over) << "v"
        << (hex("0402 FEFF 0000 0000 0000 F6FF") + "aa" + hex("BACF").repeated(32762));
}

void TestXlsExport::cells()
{
    QFETCH(QString, declType);
    QFETCH(QString, value);
    QFETCH(QString, field);
    QFETCH(QByteArray, cell);
    GridTestDb db({ QString("create table t (v %1)").arg(declType),
        QString("insert into t values (%1)").arg(value) });
    auto q = db.query("select * from t");
    TRecordGrid grid;
    grid.setDataSet(q.get());
    grid.setShowTitles(false);
    TGridColumn *column = grid.addColumn(field);
    if (declType != "TEXT")
        column->setDisplayFormat("0.00"); // never reaches a number cell
    const QByteArray out = exportToBytes(grid);
    QCOMPARE(out.size(), Bof.size() + cell.size() + Eof.size());
    QCOMPARE(out.mid(Bof.size(), cell.size()).left(64).toHex(' '), cell.left(64).toHex(' '));
    QVERIFY(out == Bof + cell + Eof);
}

void TestXlsExport::footerTotals_data()
{
    QTest::addColumn<QStringList>("amounts"); // SQL literals
    QTest::addColumn<double>("sum");
    QTest::addColumn<double>("count");

    QTest::newRow("empty data set") << QStringList() << 0.0 << 0.0;
    QTest::newRow("three times 0.1") << QStringList { "0.1", "0.1", "0.1" } << 0.3 << 3.0;
    QTest::newRow("nulls counted, not summed")
        << QStringList { "null", "2.5", "null" } << 2.5 << 3.0;
    QTest::newRow("halves to even") << QStringList { "0.125", "0.125" } << 0.25 << 2.0;
    QTest::newRow("four decimals") << QStringList { "1.23456", "0.00005" } << 1.2346 << 2.0;
    // Values no total can hold: counted, but left out of the sum.
    QTest::newRow("infinities left out")
        << QStringList { "9e999", "2.5", "-9e999" } << 2.5 << 3.0;
}

void TestXlsExport::footerTotals()
{
    QFETCH(QStringList, amounts);
    QFETCH(double, sum);
    QFETCH(double, count);
    QStringList rows;
    for (const QString &a : amounts)
        rows << QString("insert into t values ('c', 'n', 1, %1)").arg(a);
    OrderSheet s(rows);
    TColumnFooter *counted = s.grid.column(1)->footer();
    counted->setValueType(fvtCount);
    counted->setFieldName("amount");

    const QList<Record> recs = records(exportToBytes(s.grid));
    QCOMPARE(recs.size(), 1 + 4 * (2 + amounts.size()) + 1);
    const QList<Record> footer = recs.mid(recs.size() - 5, 4);
    const int footerRow = 1 + int(amounts.size());
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(footer[c].row, footerRow);
        QCOMPARE(footer[c].col, c);
    }
    QCOMPARE(footer[0].body, hex("0000 0000 0000 0400 BACFBCC6").replace(0, 2, le16(footerRow)));
    QCOMPARE(footer[1].type, quint16(0x0203));
    QCOMPARE(numberValue(footer[1]), count);
    QCOMPARE(numberValue(footer[2]), double(amounts.size()));
    // Exactly the double nearest the four-decimal total, not a sum of doubles.
    QCOMPARE(footer[3].type, quint16(0x0203));
    QVERIFY(numberValue(footer[3]) == sum);
    QCOMPARE(recs.last().type, quint16(0x000A));
}

void TestXlsExport::placementWithAndWithoutTitles_data()
{
    QTest::addColumn<bool>("titles");
    QTest::addColumn<int>("hiddenColumn");
    QTest::newRow("titles") << true << -1;
    QTest::newRow("no titles") << false << -1;
    QTest::newRow("hidden column left out") << true << 1;
}

void TestXlsExport::placementWithAndWithoutTitles()
{
    QFETCH(bool, titles);
    QFETCH(int, hiddenColumn);
    OrderSheet s({ "insert into t values ('A1', 'a', 1, 1)",
        "insert into t values ('B2', 'b', 2, 2)", "insert into t values ('C3', 'c', 3, 3)" });
    s.grid.setShowTitles(titles);
    if (hiddenColumn >= 0)
        s.grid.column(hiddenColumn)->setVisible(false);
    const int columns = hiddenColumn >= 0 ? 3 : 4;
    const QList<Record> recs = records(exportToBytes(s.grid));
    const int rows = (titles ? 1 : 0) + 3 + 1;
    QCOMPARE(recs.size(), 2 + rows * columns);
    for (int i = 0; i < rows * columns; ++i) {
        QCOMPARE(recs[1 + i].row, i / columns);
        QCOMPARE(recs[1 + i].col, i % columns);
    }
    // The first record's code sits in row 0 without titles.
    const Record &first = recs[1 + (titles ? columns : 0)];
    QCOMPARE(first.body.mid(8), QByteArray("A1"));
    if (hiddenColumn >= 0)
        QCOMPARE(recs[1 + columns + 1].type, quint16(0x027E)); // copies follow the code
}

void TestXlsExport::gridLeftAsItWas_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("success") << "";
    QTest::newRow("failed write") << "write";
    QTest::newRow("unreadable field") << "field";
}

void TestXlsExport::gridLeftAsItWas()
{
    QFETCH(QString, fault);
    QStringList rows;
    for (int i = 0; i < 60; ++i)
        rows << QString("insert into t values ('C%1', 'name', %1, 1.5)").arg(i);
    OrderSheet s(rows);
    if (fault == "field") {
        // Not summed in the footer, so only the export reads it as a number.
        s.grid.column(2)->footer()->setValueType(fvtNon);
        s.db.connection()->execute("insert into t values ('bad', 'x', 'not a number', 1)");
        s.q->close();
        s.q->open();
    }
    s.grid.resize(200, 150);
    s.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.grid));
    s.q->setRecNo(40);
    QScrollBar *vbar = s.grid.view()->verticalScrollBar();
    QScrollBar *hbar = s.grid.view()->horizontalScrollBar();
    QVERIFY(vbar->maximum() > 10 && hbar->maximum() > 10);
    vbar->setValue(vbar->maximum() / 2);
    hbar->setValue(hbar->maximum() / 2);
    const int v = vbar->value(), h = hbar->value();

    QBuffer buffer;
    buffer.open(fault == "write" ? QIODevice::ReadOnly : QIODevice::WriteOnly);
    TXlsGridExporter exporter;
    exporter.setGrid(&s.grid);
    QString error;
    try {
        exporter.WriteGridToStream(&buffer, true);
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    if (fault == "write")
        QCOMPARE(error, QStringLiteral("Stream write error"));
    else if (fault == "field")
        QVERIFY2(error.contains("not a number"), qPrintable(error));
    else
        QVERIFY2(error.isEmpty(), qPrintable(error));
    // No end-of-file record after a failure.
    QCOMPARE(buffer.data().endsWith(Eof), fault.isEmpty());
    QVERIFY(!s.q->controlsDisabled());
    QCOMPARE(s.q->recNo(), 40);
    QCOMPARE(s.grid.view()->selectionModel()->currentIndex().row(), 40);
    QCOMPARE(vbar->value(), v);
    QCOMPARE(hbar->value(), h);
}

void TestXlsExport::files()
{
    OrderSheet s({ "insert into t values ('A1', 'a', 1, 1)" });
    QTemporaryDir dir;
    const QString path = dir.filePath("订单.xls");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'z'));
    }
    // An existing file is replaced without a question.
    ExportGridToFile(exporterClass<TXlsGridExporter>(), &s.grid, path, true);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes, exportToBytes(s.grid));
    QVERIFY(bytes.startsWith(Bof) && bytes.endsWith(Eof));

    auto failure = [&](const QString &fileName) {
        try {
            ExportGridToFile(exporterClass<TXlsGridExporter>(), &s.grid, fileName, true);
        } catch (const FileError &e) {
            return e.text();
        }
        return QString();
    };
    // The message names the full path of a relative name.
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString message = failure("no such folder/x.xls");
    QDir::setCurrent(oldDir);
    QCOMPARE(message,
        QString("Cannot create file \"%1\". No such file or directory")
            .arg(QDir(dir.path()).filePath("no such folder/x.xls")));
    if (QFile::exists("/dev/full"))
        QCOMPARE(failure("/dev/full"), QStringLiteral("Stream write error"));
}

void TestXlsExport::rowLimit()
{
    // 65534 records, the title row and one footer row fill the sheet's 65536 rows.
    const QString fill = "with recursive n(i) as (select 1 union all select i + 1 from n where i < "
                         "%1) insert into t select 'c', 'n', i, 0.5 from n";
    {
        OrderSheet s({ fill.arg(65534) });
        const QByteArray out = exportToBytes(s.grid);
        QVERIFY(out.endsWith(Eof));
        const QList<Record> footer = records(out.right(16 + 12 + 18 + 18 + 4));
        QCOMPARE(footer.size(), 5);
        QCOMPARE(footer[0].row, 65535);
        QCOMPARE(numberValue(footer[3]), 32767.0);
    }
    // One more record would wrap round to row 0: refused before anything is written.
    OrderSheet s({ fill.arg(65535) });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TXlsGridExporter exporter;
    exporter.setGrid(&s.grid);
    QVERIFY_THROWS_EXCEPTION(FileError, exporter.WriteGridToStream(&buffer, true));
    QVERIFY(buffer.data().isEmpty());
}

namespace {
enum class Failure { ReadOnlyFolder, RowLimit, WriteFails };

// Holds writes of this process to `bytes` per file until it goes, so that a write
// past it fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    bool isSet() const { return m_set; }

private:
    rlimit m_old {};
    bool m_set = false;
};
}

void TestXlsExport::failedExportKeepsOlderFile_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("read-only folder")
        << Failure::ReadOnlyFolder << QStringLiteral("Cannot create file \"%1\". ");
    QTest::newRow("too many rows") << Failure::RowLimit << QStringLiteral("Too many rows");
    QTest::newRow("write fails") << Failure::WriteFails << QStringLiteral("Stream write error");
}

void TestXlsExport::failedExportKeepsOlderFile()
{
    QFETCH(Failure, failure);
    QFETCH(QString, message);
    const QString fill = "with recursive n(i) as (select 1 union all select i + 1 from n where i < "
                         "%1) insert into t select 'c', 'n', i, 0.5 from n";
    OrderSheet s({ failure == Failure::RowLimit ? fill.arg(65535)
                                                : QStringLiteral("insert into t values ('A1', "
                                                                 "'a', 1, 1)") });
    QTemporaryDir dir;
    const QString path = dir.filePath("订单.xls");
    const QByteArray older = QByteArray("an older export ") + QByteArray(4000, 'x');
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(older), older.size());
    }

    QString text;
    auto run = [&] {
        try {
            ExportGridToFile(exporterClass<TXlsGridExporter>(), &s.grid, path, true);
        } catch (const FileError &e) {
            text = e.text();
        }
    };
    if (failure == Failure::ReadOnlyFolder) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(dir.filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(
                dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user may write into a read-only folder");
        }
        run();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        message = message.arg(QFileInfo(path).absoluteFilePath());
    } else if (failure == Failure::WriteFails) {
        // Less than one title row fits.
        FileSizeLimit limit(40);
        QVERIFY(limit.isSet());
        run();
    } else {
        run();
    }

    QVERIFY2(text.startsWith(message), qPrintable(text));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), older);
    // No partial or temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
        QStringList { "订单.xls" });

    // The same export succeeds once nothing stands in its way, with the bytes of a
    // stream export.
    if (failure != Failure::RowLimit) {
        ExportGridToFile(exporterClass<TXlsGridExporter>(), &s.grid, path, true);
        QFile fresh(path);
        QVERIFY(fresh.open(QIODevice::ReadOnly));
        QCOMPARE(fresh.readAll(), exportToBytes(s.grid));
    }
}

QTEST_MAIN(TestXlsExport)
#include "tst_xlsexport.moc"
