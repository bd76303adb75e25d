#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "support/OddFolders.h"
#include "tools/DbTool.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records the notifications of a query by name, in order.
struct Recorder
{
    QStringList log;
    explicit Recorder(Query *q)
    {
        auto on = [&](auto signal, const char *name) {
            QObject::connect(q, signal, q, [this, name] { log << QString::fromLatin1(name); });
        };
        on(&Query::afterOpen, "afterOpen");
        on(&Query::afterClose, "afterClose");
        on(&Query::afterEdit, "afterEdit");
        on(&Query::afterInsert, "afterInsert");
        on(&Query::afterPost, "afterPost");
        on(&Query::beforeDelete, "beforeDelete");
        on(&Query::afterCancel, "afterCancel");
        on(&Query::afterScroll, "afterScroll");
        on(&Query::rowsReset, "rowsReset");
        on(&Query::controlsEnabled, "controlsEnabled");
        auto onPos = [&](auto signal, const char *name) {
            QObject::connect(q, signal, q, [this, name](int p) { log << QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(p); });
        };
        onPos(&Query::rowInserted, "rowInserted");
        onPos(&Query::rowRemoved, "rowRemoved");
        onPos(&Query::rowChanged, "rowChanged");
        onPos(&Query::currentChanged, "currentChanged");
    }
    // Only the data-set notifications (the names without a position or reset).
    QStringList notifications() const
    {
        QStringList out;
        for (const QString &s : log)
            if (!s.contains(u'(') && s != QLatin1String("rowsReset") && s != QLatin1String("controlsEnabled"))
                out << s;
        return out;
    }
};

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Connection> m_db;

    // Seven order lines: four of page 0 (one of them null but for its type), two of
    // page 1, one of page 2.
    void fillOrders()
    {
        DbTool::execute(m_path, QStringLiteral(
            "insert into tOrder values ('1-1','人民日报',2,0,'2008.04.01-12.31',120,180,NULL);"
            "insert into tOrder values ('abc','Reader',1,0,'2008.01.01-12.31',10.5,10.5,NULL);"
            "insert into tOrder values ('3-4','文汇报',5,0,'2008.06.01-06.30',36,15,3);"
            "insert into tOrder values (NULL,NULL,NULL,0,NULL,NULL,NULL,NULL);"
            "insert into tOrder values ('2-1','求是',3,1,'2008.04.01-12.31',60,45,5);"
            "insert into tOrder values ('ZB1001','ABC Weekly',1,1,'2008.01.01-12.31',20,20,NULL);"
            "insert into tOrder values ('W10001','Time',1,2,'2008.01.01-12.31',300,300,NULL);"));
    }

    std::unique_ptr<Query> openOrders(const QString &filter = QString())
    {
        auto q = std::make_unique<Query>();
        q->setConnection(m_db.get());
        q->setSql({QStringLiteral("select * from tOrder")});
        if (!filter.isEmpty()) {
            q->setFilter(filter);
            q->setFiltered(true);
        }
        q->open();
        return q;
    }

    int rowsInFile(const QString &where = QString())
    {
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select count(*) as n from tOrder ") + where});
        q.open();
        return int(q.field(0).asInteger());
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("ortiwen.gdb"));
        QFile::remove(m_path);
        DbTool::createDatabase(m_path);
        fillOrders();
        m_db = std::make_unique<Connection>();
        m_db->setConnectionString(Tables::connectionText(m_dir.path()));
        m_db->open();
    }
    void cleanup() { m_db.reset(); }

    void connectionText()
    {
        const QString text = Tables::connectionText(QStringLiteral("/home/u/run"));
        QCOMPARE(Connection::dataSourceOf(text), QStringLiteral("/home/u/run/ortiwen.gdb"));
        QCOMPARE(Connection::passwordOf(text), QStringLiteral("qmzrvl"));
        // Only the separator before the file name is the other system's.
        QCOMPARE(Connection::dataSourceOf(Tables::connectionText(QStringLiteral("/tmp/a\\b"))),
                 QStringLiteral("/tmp/a\\b/ortiwen.gdb"));
        QVERIFY(m_db->isConnected());
    }

    // The program's text and the tool's both name a directory of any name.
    void anyDirectory_data() { addOddFolderRows(); }
    void anyDirectory()
    {
        QFETCH(QString, folder);
        QVERIFY(QDir(m_dir.path()).mkdir(folder));
        const QString dir = QDir(m_dir.path()).filePath(folder);
        const QString path = QDir(dir).filePath(QStringLiteral("ortiwen.gdb"));
        const QString text = Tables::connectionText(dir);
        QCOMPARE(Connection::dataSourceOf(text), path);
        QCOMPARE(Connection::passwordOf(text), QStringLiteral("qmzrvl"));
        QCOMPARE(Connection::dataSourceOf(DbTool::connectionTextFor(path)), path);
        QCOMPARE(Connection::passwordOf(DbTool::connectionTextFor(path)), QStringLiteral("qmzrvl"));

        // The tool writes there, the program's connection reads it back.
        DbTool::createDatabase(path);
        DbTool::execute(path, QStringLiteral("insert into KH values ('张三','北京','1')"));
        Connection c;
        c.setConnectionString(text);
        c.open();
        Query q;
        q.setConnection(&c);
        q.setSql({QStringLiteral("select * from KH")});
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName(QStringLiteral("客户名称")).asString(), QStringLiteral("张三"));
    }

    void lockedFileFails()
    {
        m_db->execute(QStringLiteral("BEGIN EXCLUSIVE"));
        Connection other;
        other.setConnectionString(Tables::connectionText(m_dir.path()));
        try {
            other.open();
            QFAIL("opened a locked file");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("locked")), qPrintable(e.text()));
        }
        QVERIFY(!other.isConnected());
        m_db->execute(QStringLiteral("COMMIT"));
        other.open();
        QVERIFY(other.isConnected());
    }

    void connectFails_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("content");   // written first, unless null
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "none.gdb" << "qmzrvl" << QByteArray() << "unable to open";
        QTest::newRow("wrong password") << "ortiwen.gdb" << "secret" << QByteArray() << "not a database";
        QTest::newRow("foreign file") << "text.gdb" << "qmzrvl" << QByteArray(4096, 'x') << "not a database";
        QTest::newRow("zero length") << "empty.gdb" << "qmzrvl" << QByteArray("") << "not a database";
    }
    void connectFails()
    {
        QFETCH(QString, file);
        QFETCH(QString, password);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(file);
        if (!content.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QByteArray before = fileHash(path);
        Connection c;
        c.setConnectionString(QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=%2").arg(path, password));
        try {
            c.open();
            QFAIL("open succeeded");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
            QVERIFY2(e.text().contains(path), qPrintable(e.text()));
        }
        QVERIFY(!c.isConnected());
        QCOMPARE(QFile::exists(path), !content.isNull() || file == QLatin1String("ortiwen.gdb"));
        QCOMPARE(fileHash(path), before);
    }

    void rejectedStatement_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("parameters");
        QTest::newRow("no such table") << "select * from tOrders" << QVariantList();
        QTest::newRow("syntax") << "select * from tOrder where 报刊代号=\"a\"\"" << QVariantList();
        QTest::newRow("too few parameters") << "select * from tOrder where 报刊代号=?" << QVariantList();
        QTest::newRow("too many parameters") << "select * from tOrder" << QVariantList{1};
    }
    void rejectedStatement()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, parameters);
        Query q;
        q.setConnection(m_db.get());
        q.setSql({sql});
        q.setParameters(parameters);
        Recorder r(&q);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.open());
        QVERIFY(!q.isActive());
        QCOMPARE(q.recordCount(), 0);
        QVERIFY(r.log.isEmpty());
    }

    void fieldKindsAndNulls()
    {
        auto q = openOrders();
        QCOMPARE(q->recordCount(), 7);
        QCOMPARE(q->fieldKind(q->fieldIndex(QStringLiteral("份数"))), FieldKind::Integer);
        QCOMPARE(q->fieldKind(q->fieldIndex(QStringLiteral("金额"))), FieldKind::Float);
        QCOMPARE(q->fieldKind(q->fieldIndex(QStringLiteral("订期"))), FieldKind::Text);
        // 全年价 120 is stored as an integer value in a REAL column: its kind stays Float.
        QCOMPARE(q->fieldByName(QStringLiteral("全年价")).asString(), QStringLiteral("120"));
        QCOMPARE(q->displayTextAt(1, q->fieldIndex(QStringLiteral("全年价"))), QStringLiteral("10.5"));

        q->setRecNo(3);   // the row of nulls
        for (const char *name : {"报刊代号", "份数", "金额", "月价"}) {
            Field f = q->fieldByName(QString::fromUtf8(name));
            QVERIFY(f.isNull());
            QCOMPARE(f.asString(), QString());
            QCOMPARE(f.asInteger(), 0);
            QCOMPARE(f.asFloat(), 0.0);
            QVERIFY(!f.value().isValid());
        }
        try {
            q->fieldByName(QStringLiteral("单价"));
            QFAIL("no error for a missing field");
        } catch (const DatabaseError &e) {
            QCOMPARE(e.text(), QStringLiteral("Field '单价' not found"));
        }
        QCOMPARE(q->fieldIndex(QStringLiteral("nosuch")), -1);
        QVERIFY(!q->valueAt(99, 0).isValid());
        QVERIFY(!q->valueAt(0, 99).isValid());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("count");
        QTest::newRow("page 0") << "报刊类型=0" << 4;
        QTest::newRow("page 1") << "报刊类型=1" << 2;
        QTest::newRow("no page") << "报刊类型=7" << 0;
        QTest::newRow("or") << "报刊类型=1 or 报刊类型=2" << 3;
        QTest::newRow("and binds tighter") << "报刊类型=2 or 报刊类型=0 and 份数>=2" << 3;
        QTest::newRow("parentheses") << "(报刊类型=2 or 报刊类型=0) and 份数>=2" << 2;
        QTest::newRow("null matches nothing") << "份数<>2" << 5;
        QTest::newRow("float") << "金额<=10.5" << 1;
        QTest::newRow("text case-blind") << "报刊代号='ABC'" << 1;
        QTest::newRow("double-quoted text") << "报刊名称=\"abc weekly\"" << 1;
        QTest::newRow("text order") << "报刊代号>='W'" << 2;   // W10001, ZB1001
        QTest::newRow("number as text for a numeric field") << "报刊类型='1'" << 2;
        QTest::newRow("keywords any case") << "报刊类型=1 AND 份数>1" << 1;
        QTest::newRow("100 parentheses")
            << QString(100, u'(') + QStringLiteral("报刊类型=1") + QString(100, u')') << 2;
        QTest::newRow("1,000 terms")
            << QStringLiteral("份数=2") + QStringLiteral(" or 份数=2").repeated(998) + QStringLiteral(" or 报刊类型=2") << 2;
    }
    void filter()
    {
        QFETCH(QString, filter);
        QFETCH(int, count);
        auto q = openOrders(filter);
        QCOMPARE(q->recordCount(), count);
        // the filter moves nothing in the file
        QCOMPARE(rowsInFile(), 7);
        q->setFiltered(false);
        QCOMPARE(q->recordCount(), 7);
    }

    void badFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("no value") << "报刊类型=";
        QTest::newRow("no field") << "=1";
        QTest::newRow("dangling and") << "报刊类型=1 and";
        QTest::newRow("unknown operator") << "报刊类型=>1";
        QTest::newRow("unclosed quote") << "报刊代号='abc";
        QTest::newRow("unbalanced") << "(报刊类型=1";
        QTest::newRow("extra close") << "报刊类型=1)";
        QTest::newRow("unknown field") << "nosuch=1";
        QTest::newRow("text for a number") << "报刊类型='x'";
        QTest::newRow("like") << "报刊代号 like 'a%'";
        const QString term = QStringLiteral("报刊类型=1");
        auto chain = [&](int terms) {
            QStringList t;
            for (int i = 0; i < terms; ++i)
                t << term;
            return t.join(QStringLiteral(" or "));
        };
        QTest::newRow("30,000 parentheses") << QString(30000, u'(') + term + QString(30000, u')');
        QTest::newRow("100,000 terms") << chain(100000);
        // Short texts that still nest or chain too far.
        QTest::newRow("101 parentheses") << QString(101, u'(') + term + QString(101, u')');
        QTest::newRow("1,001 terms") << QStringLiteral("份数=1") + QStringLiteral(" or 份数=1").repeated(1000);
        QTest::newRow("too long") << QStringLiteral("报刊代号='%1'").arg(QString(10000, u'x'));
    }
    void badFilter()
    {
        QFETCH(QString, filter);
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        q->setRecNo(2);
        Recorder r(q.get());
        try {
            q->setFilter(filter);
            QFAIL("no error for a bad filter");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(filter), qPrintable(e.text()));
        }
        // nothing changed
        QCOMPARE(q->filter(), QStringLiteral("报刊类型=0"));
        QCOMPARE(q->recordCount(), 4);
        QCOMPARE(q->recNo(), 2);
        QVERIFY(r.log.isEmpty());
    }

    void badFilterTextWhenSwitchedOn()
    {
        auto q = openOrders();
        q->setFiltered(false);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q->setFilter(QStringLiteral("nosuch=1")));
        // A closed query keeps an unresolved text; switching it on at open fails there.
        Query closed;
        closed.setConnection(m_db.get());
        closed.setSql({QStringLiteral("select * from tOrder")});
        closed.setFilter(QStringLiteral("nosuch=1"));
        closed.setFiltered(true);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, closed.open());
        QVERIFY(!closed.isActive());
    }

    void filterChangeRaisesOneScroll_data()
    {
        QTest::addColumn<bool>("filteredBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("filteredAfter");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("together");   // text and flag in one call
        QTest::newRow("text while on") << true << "报刊类型=1" << true << 2 << false;
        QTest::newRow("switch off") << true << "报刊类型=0" << false << 7 << false;
        QTest::newRow("text while off") << false << "报刊类型=2" << false << 7 << false;
        // Start-up: the order list gets its page's text and is switched on.
        QTest::newRow("text and switch on") << false << "报刊类型=1" << true << 2 << true;
        QTest::newRow("text and switch off") << true << "报刊类型=2" << false << 7 << true;
        QTest::newRow("flag only, together") << false << "报刊类型=0" << true << 4 << true;
    }
    void filterChangeRaisesOneScroll()
    {
        QFETCH(bool, filteredBefore);
        QFETCH(QString, text);
        QFETCH(bool, filteredAfter);
        QFETCH(int, count);
        QFETCH(bool, together);
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        q->setFiltered(filteredBefore);
        q->setRecNo(1);
        Recorder r(q.get());
        int scrolls = 0;
        // The listener sees the new text and flag in force.
        connect(q.get(), &Query::afterScroll, q.get(), [&] {
            ++scrolls;
            QCOMPARE(q->filter(), text);
            QCOMPARE(q->isFiltered(), filteredAfter);
            QCOMPARE(q->recordCount(), count);
        });
        if (together) {
            q->setFilter(text, filteredAfter);
        } else {
            q->setFilter(text);
            q->setFiltered(filteredAfter);
        }
        QCOMPARE(scrolls, 1);
        QCOMPARE(r.notifications(), QStringList{QStringLiteral("afterScroll")});
        QCOMPARE(q->recNo(), 0);
    }

    void appendPostNotifications()
    {
        auto q = openOrders(QStringLiteral("报刊类型=1"));
        Recorder r(q.get());
        q->append();
        QCOMPARE(q->state(), Query::State::Insert);
        QCOMPARE(q->recNo(), 2);
        QCOMPARE(q->recordCount(), 3);
        q->fieldByName(QStringLiteral("报刊代号")).setAsString(QStringLiteral("82-5"));
        q->fieldByName(QStringLiteral("份数")).setAsInteger(4);
        q->fieldByName(QStringLiteral("报刊类型")).setAsInteger(0);   // not this page: stays shown
        q->fieldByName(QStringLiteral("金额")).setAsFloat(12.5);
        QCOMPARE(q->displayTextAt(2, q->fieldIndex(QStringLiteral("份数"))), QStringLiteral("4"));
        q->post();
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("afterInsert"), QStringLiteral("afterScroll"),
                                                 QStringLiteral("afterPost")}));
        QCOMPARE(r.log.first(), QStringLiteral("rowInserted(2)"));
        QCOMPARE(q->state(), Query::State::Browse);
        QCOMPARE(q->recordCount(), 3);
        QCOMPARE(q->fieldByName(QStringLiteral("报刊代号")).asString(), QStringLiteral("82-5"));
        QVERIFY(q->fieldByName(QStringLiteral("报刊名称")).isNull());   // never assigned
        QVERIFY(q->bookmark() > 0);
        QCOMPARE(rowsInFile(QStringLiteral("where 报刊代号='82-5' and 份数=4 and 金额=12.5")), 1);
        // Applying the filter again hides it.
        q->setFiltered(false);
        q->setFiltered(true);
        QCOMPARE(q->recordCount(), 2);
    }

    void editPostAndCancel()
    {
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        q->setRecNo(1);
        Recorder r(q.get());
        q->edit();
        q->fieldByName(QStringLiteral("份数")).setAsString(QStringLiteral(" 7 "));
        q->post();
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("afterEdit"), QStringLiteral("afterPost")}));
        QCOMPARE(q->recNo(), 1);
        QCOMPARE(q->fieldByName(QStringLiteral("份数")).asInteger(), 7);
        QCOMPARE(rowsInFile(QStringLiteral("where 报刊代号='abc' and 份数=7")), 1);

        r.log.clear();
        q->edit();
        q->fieldByName(QStringLiteral("份数")).setAsInteger(9);
        QCOMPARE(q->fieldByName(QStringLiteral("份数")).asInteger(), 9);
        q->cancel();
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("afterEdit"), QStringLiteral("afterCancel")}));
        QCOMPARE(q->fieldByName(QStringLiteral("份数")).asInteger(), 7);

        // A pending insert dropped: the row before it is current again.
        r.log.clear();
        q->append();
        q->cancel();
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("afterInsert"), QStringLiteral("afterScroll"),
                                                 QStringLiteral("afterCancel"), QStringLiteral("afterScroll")}));
        QCOMPARE(q->recordCount(), 4);
        QCOMPARE(q->recNo(), 1);
        QCOMPARE(rowsInFile(), 7);

        // Assigning outside editing, or a value of the wrong kind, is refused.
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q->fieldByName(QStringLiteral("份数")).setAsInteger(1));
        q->edit();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q->fieldByName(QStringLiteral("份数")).setAsString(QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q->fieldByName(QStringLiteral("金额")).setAsString(QStringLiteral("1,5")));
        q->cancel();
    }

    void deleteMovesCurrent_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("expectedRecNo");
        QTest::addColumn<QString>("expectedCode");   // current row after the delete
        QTest::newRow("first") << 0 << 0 << "abc";
        QTest::newRow("middle") << 1 << 1 << "3-4";
        QTest::newRow("last") << 3 << 2 << "3-4";
    }
    void deleteMovesCurrent()
    {
        QFETCH(int, position);
        QFETCH(int, expectedRecNo);
        QFETCH(QString, expectedCode);
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        q->setRecNo(position);
        const qint64 rowid = q->bookmark();
        Recorder r(q.get());
        int recNoAtBeforeDelete = -1;
        connect(q.get(), &Query::beforeDelete, q.get(), [&] { recNoAtBeforeDelete = q->recNo(); });
        q->deleteRecord();
        QCOMPARE(recNoAtBeforeDelete, position);
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("beforeDelete"), QStringLiteral("afterScroll")}));
        QVERIFY(r.log.contains(QStringLiteral("rowRemoved(%1)").arg(position)));
        QCOMPARE(q->recordCount(), 3);
        QCOMPARE(q->recNo(), expectedRecNo);
        QCOMPARE(q->fieldByName(QStringLiteral("报刊代号")).asString(), expectedCode);
        QVERIFY(!q->gotoBookmark(rowid));
        QCOMPARE(rowsInFile(), 6);
        QCOMPARE(rowsInFile(QStringLiteral("where rowid=%1").arg(rowid)), 0);
    }

    void clearPageDeletesOnlyItsRows()
    {
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        q->disableControls();
        while (q->recordCount() > 0)
            q->deleteRecord();
        q->enableControls();
        QCOMPARE(rowsInFile(), 3);
        QCOMPARE(rowsInFile(QStringLiteral("where 报刊类型=0")), 0);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q->deleteRecord());
    }

    void equalRowsDeleteOnlyOne()
    {
        DbTool::execute(m_path, QStringLiteral("insert into KH values ('张三','北京','123');"
                                               "insert into KH values ('张三','北京','123');"));
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select * from KH")});
        q.open();
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(q.bookmark() != 0);
        q.deleteRecord();
        QCOMPARE(q.recordCount(), 1);
        Query check;
        check.setConnection(m_db.get());
        check.setSql({QStringLiteral("select * from KH")});
        check.open();
        QCOMPARE(check.recordCount(), 1);
        QCOMPARE(check.fieldByName(QStringLiteral("客户名称")).asString(), QStringLiteral("张三"));
    }

    void postSurvivesReopen()
    {
        {
            Query q;
            q.setConnection(m_db.get());
            q.setSql({QStringLiteral("select * from KH")});
            q.open();
            QVERIFY(q.isEmpty());
            q.append();
            q.fieldByName(QStringLiteral("客户名称")).setAsString(QStringLiteral("李四"));
            q.fieldByName(QStringLiteral("电话")).setAsString(QStringLiteral("010-1234"));
            q.post();
        }
        m_db->close();
        m_db->open();
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select * from KH")});
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName(QStringLiteral("客户名称")).asString(), QStringLiteral("李四"));
        QCOMPARE(q.fieldByName(QStringLiteral("电话")).asString(), QStringLiteral("010-1234"));
        QVERIFY(q.fieldByName(QStringLiteral("地址")).isNull());
    }

    void failedWritesKeepState()
    {
        DbTool::execute(m_path, QStringLiteral(
            "create table T (a INTEGER CHECK (a > 0));"
            "insert into T values (1); insert into T values (2);"
            "create trigger keep before delete on T when old.a = 2 begin select raise(abort, 'row 2 is kept'); end;"));
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select * from T")});
        q.open();

        q.append();
        q.field(0).setAsInteger(-1);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.post());
        QCOMPARE(q.state(), Query::State::Insert);
        q.cancel();
        QCOMPARE(q.recordCount(), 2);

        q.setRecNo(1);
        QSignalSpy failed(&q, &Query::deleteFailed);
        try {
            q.deleteRecord();
            QFAIL("delete succeeded");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("row 2 is kept")), qPrintable(e.text()));
        }
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.recNo(), 1);
        QCOMPARE(q.field(0).asInteger(), 2);
        QCOMPARE(failed.count(), 1);

        // A row removed behind the query's back is reported, not silently "deleted".
        q.setRecNo(0);
        DbTool::execute(m_path, QStringLiteral("delete from T where a = 1"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.deleteRecord());
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(failed.count(), 2);
    }

    void displaySignalsWaitForEnable()
    {
        auto q = openOrders(QStringLiteral("报刊类型=0"));
        Recorder r(q.get());
        q->disableControls();
        q->disableControls();
        q->setFiltered(false);
        q->append();
        q->fieldByName(QStringLiteral("报刊类型")).setAsInteger(0);
        q->post();
        q->setFiltered(true);
        q->enableControls();
        QCOMPARE(r.log, (QStringList{QStringLiteral("afterScroll"), QStringLiteral("afterInsert"),
                                     QStringLiteral("afterScroll"), QStringLiteral("afterPost"),
                                     QStringLiteral("afterScroll")}));
        q->enableControls();
        QCOMPARE(r.log.last(), QStringLiteral("controlsEnabled"));
        QCOMPARE(r.log.count(QStringLiteral("controlsEnabled")), 1);
        q->enableControls();   // not below zero
        QCOMPARE(r.log.count(QStringLiteral("controlsEnabled")), 1);
        QCOMPARE(q->recordCount(), 5);
        QCOMPARE(q->recNo(), 0);
    }

    void openCloseNotifications()
    {
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select * from tOrder where 报刊代号 like ?")});
        q.setParameters({QStringLiteral("%b%")});
        Recorder r(&q);
        q.open();
        QCOMPARE(q.recordCount(), 2);   // abc and ZB1001: like ignores ASCII case
        q.setSql({QStringLiteral("select * from tOrder")});
        QVERIFY(!q.isActive());
        QVERIFY(q.parameters().isEmpty());
        QCOMPARE(r.notifications(), (QStringList{QStringLiteral("afterOpen"), QStringLiteral("afterScroll"),
                                                 QStringLiteral("afterClose")}));
    }

    void navigation()
    {
        auto q = openOrders(QStringLiteral("报刊类型=1"));
        QVERIFY(q->bof());
        QVERIFY(!q->eof());
        QStringList codes;
        for (q->first(); !q->eof(); q->next())
            codes << q->fieldByName(QStringLiteral("报刊代号")).asString();
        QCOMPARE(codes, (QStringList{QStringLiteral("2-1"), QStringLiteral("ZB1001")}));
        QCOMPARE(q->recNo(), 1);
        const Query::Bookmark second = q->bookmark();
        q->first();
        QVERIFY(q->gotoBookmark(second));
        QCOMPARE(q->recNo(), 1);
        q->setFilter(QStringLiteral("报刊类型=7"));
        QVERIFY(q->isEmpty());
        QVERIFY(q->eof() && q->bof());
        QCOMPARE(q->recNo(), -1);
        QVERIFY(q->fieldByName(QStringLiteral("份数")).isNull());
    }

    // Whole numbers read from what another program may have stored: a value beyond
    // the range of a whole number is refused with the usual error, never wrapped.
    void integerFromStoredValue_data()
    {
        QTest::addColumn<QString>("stored"); // SQL literal in an INTEGER column
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("whole") << "7" << true << qint64(7);
        QTest::newRow("half rounds to even") << "6.5" << true << qint64(6);
        QTest::newRow("largest double below 2^63") << "9223372036854774784.0" << true
                                                   << qint64(9223372036854774784LL);
        QTest::newRow("-2^63") << "-9223372036854775808.0" << true
                               << std::numeric_limits<qint64>::min();
        QTest::newRow("2^63") << "9223372036854775808.0" << false << qint64(0);
        QTest::newRow("1e300") << "1e300" << false << qint64(0);
        QTest::newRow("infinity") << "9e999" << false << qint64(0);
        QTest::newRow("minus infinity") << "-9e999" << false << qint64(0);
        QTest::newRow("text") << "'abc'" << false << qint64(0);
    }
    void integerFromStoredValue()
    {
        QFETCH(QString, stored);
        QFETCH(bool, valid);
        QFETCH(qint64, value);
        DbTool::execute(m_path,
            QStringLiteral("drop table if exists N; create table N (n INTEGER);"
                           "insert into N values (%1);")
                .arg(stored));
        Query q;
        q.setConnection(m_db.get());
        q.setSql({ QStringLiteral("select * from N") });
        q.open();
        if (valid) {
            QCOMPARE(q.field(0).asInteger(), value);
        } else {
            try {
                q.field(0).asInteger();
                QFAIL("no error");
            } catch (const DatabaseError &e) {
                QVERIFY2(e.text().endsWith(QStringLiteral("is not a valid integer value")),
                    qPrintable(e.text()));
            }
        }
        // The same number assigned as a double: refused alike, and nothing is written.
        const double number = q.field(0).value().toDouble();
        if (q.field(0).value().typeId() != QMetaType::Double)
            return;
        q.edit();
        if (valid) {
            q.field(0).setAsFloat(number);
            QCOMPARE(q.field(0).asInteger(), value);
        } else {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, q.field(0).setAsFloat(number));
        }
        q.cancel();
        QCOMPARE(q.field(0).value().toDouble(), number);
    }

    void statementShapes_data()
    {
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("count");
        QTest::newRow("plain") << QStringList{"select * from tOrder"} << true << 7;
        QTest::newRow("upper case, spaces") << QStringList{"  SELECT  *  FROM  tOrder"} << true << 7;
        QTest::newRow("quoted name") << QStringList{"select * from \"tOrder\""} << true << 7;
        QTest::newRow("second line") << QStringList{"select * from tOrder", " where 报刊类型=1"} << true << 2;
        QTest::newRow("columns named") << QStringList{"select 报刊代号 from tOrder"} << false << 7;
        QTest::newRow("join") << QStringList{"select * from tOrder, KH"} << false << 0;
    }
    void statementShapes()
    {
        QFETCH(QStringList, sql);
        QFETCH(bool, editable);
        QFETCH(int, count);
        Query q;
        q.setConnection(m_db.get());
        q.setSql(sql);
        q.open();
        QCOMPARE(q.recordCount(), count);
        QCOMPARE(q.tableName(), QStringLiteral("tOrder"));
        if (editable) {
            q.append();
            q.fieldByName(QStringLiteral("报刊类型")).setAsInteger(1);
            q.post();
            QCOMPARE(rowsInFile(), 8);
        } else {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, q.append());
        }
    }

    void readOnlyStatement()
    {
        Query q;
        q.setConnection(m_db.get());
        q.setSql({QStringLiteral("select 报刊类型, count(*) as n, sum(金额) as s from tOrder group by 报刊类型")});
        q.open();
        QCOMPARE(q.recordCount(), 3);
        QCOMPARE(q.fieldKind(1), FieldKind::Integer);
        QCOMPARE(q.fieldKind(2), FieldKind::Float);
        QCOMPARE(q.fieldByName(QStringLiteral("n")).asInteger(), 4);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.append());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.deleteRecord());
        QCOMPARE(q.state(), Query::State::Browse);
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
