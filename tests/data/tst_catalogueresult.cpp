// Incremental catalogue results against a full read of the same generated file.
#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "tools/DbTool.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Rows = 2500; // well beyond the first screen

QString like(QString keyword)
{
    keyword.replace(u'\\', QStringLiteral("\\\\"));
    keyword.replace(u'%', QStringLiteral("\\%"));
    keyword.replace(u'_', QStringLiteral("\\_"));
    return u'%' + keyword + u'%';
}

} // namespace

class TestCatalogueResult : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_db;

    std::unique_ptr<Query> query(
        const QStringList &sql, const QVariantList &parameters, bool incremental)
    {
        auto q = std::make_unique<Query>();
        q->setConnection(m_db.get());
        q->setIncremental(incremental);
        q->setSql(sql);
        q->setParameters(parameters);
        return q;
    }

    static bool waitForAll(Query *q)
    {
        if (!q->isFetching())
            return true;
        QSignalSpy finished(q, &Query::fetchFinished);
        return finished.wait(20000);
    }

    // Same rows in the same order with the same values and texts.
    static void compareResults(Query *ours, Query *full)
    {
        QCOMPARE(ours->recordCount(), full->recordCount());
        QCOMPARE(ours->fieldCount(), full->fieldCount());
        for (int c = 0; c < full->fieldCount(); ++c) {
            QCOMPARE(ours->fieldName(c), full->fieldName(c));
            QCOMPARE(ours->fieldKind(c), full->fieldKind(c));
        }
        for (int r = 0; r < full->recordCount(); ++r)
            for (int c = 0; c < full->fieldCount(); ++c) {
                if (ours->valueAt(r, c) != full->valueAt(r, c)
                    || ours->displayTextAt(r, c) != full->displayTextAt(r, c))
                    QFAIL(qPrintable(QStringLiteral("row %1 field %2: '%3' against '%4'")
                                         .arg(r)
                                         .arg(full->fieldName(c), ours->displayTextAt(r, c),
                                             full->displayTextAt(r, c))));
            }
        // Bookmarks address the same rows.
        if (full->recordCount() > 0) {
            full->last();
            ours->last();
            QCOMPARE(ours->bookmark(), full->bookmark());
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("ortiwen.gdb"));
        DbTool::createDatabase(path);
        DbTool::generate(path, Rows);
        // Names a search has to take literally, scattered over the table, and a gap
        // in the rowids.
        DbTool::execute(path,
            QStringLiteral("update POST set 报刊名称 = '50% 折扣' where rowid = 300;"
                           "update POST set 报刊名称 = 'A_B 周刊' where rowid = 1700;"
                           "update POST set 报刊名称 = '读者''s 文摘' where rowid = 2400;"
                           "update POST set 报刊名称 = '  空格  报' where rowid = 20;"
                           "update POST set 备注 = NULL, 月价 = NULL where rowid = 5;"
                           "delete from POST where rowid between 1000 and 1400;"));
        m_db = std::make_unique<Connection>();
        m_db->setConnectionString(Tables::connectionText(m_dir.path()));
        m_db->open();
    }
    void cleanupTestCase() { m_db.reset(); }

    void sameAsFullRead_data()
    {
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<QVariantList>("parameters");
        const QString all = QStringLiteral("select * from POST");
        auto partial = [&](const QString &field) {
            return QStringList { all, QStringLiteral(" where %1 like ? escape '\\'").arg(field) };
        };
        auto exact = [&](const QString &field) {
            return QStringList { all, QStringLiteral(" where %1 = ? collate nocase").arg(field) };
        };
        QTest::newRow("whole table") << QStringList { all } << QVariantList {};
        QTest::newRow("other table")
            << QStringList { QStringLiteral("select * from POSTFOREIGN") } << QVariantList {};
        QTest::newRow("partial, many hits")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral("报")) };
        QTest::newRow("partial, blank")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral(" ")) };
        QTest::newRow("partial, quote")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral("'")) };
        QTest::newRow("partial, percent")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral("%")) };
        QTest::newRow("partial, underscore")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral("_")) };
        QTest::newRow("partial, double quote")
            << partial(QStringLiteral("报刊名称")) << QVariantList { like(QStringLiteral("\"")) };
        QTest::newRow("partial, no hit")
            << partial(QStringLiteral("出版地")) << QVariantList { like(QStringLiteral("无此地")) };
        QTest::newRow("exact on an indexed field")
            << exact(QStringLiteral("分类")) << QVariantList { QStringLiteral("综合") };
        QTest::newRow("exact, quote")
            << exact(QStringLiteral("报刊名称")) << QVariantList { QStringLiteral("读者's 文摘") };
        QTest::newRow("exact, blanks inside")
            << exact(QStringLiteral("报刊名称")) << QVariantList { QStringLiteral("  空格  报") };
        // An index range: the engine's order is the index's, so it is read in full.
        QTest::newRow("index range") << QStringList { all, QStringLiteral(" where 报刊名称 > ?") }
                                     << QVariantList { QStringLiteral("人") };
        QTest::newRow("ordered") << QStringList { all, QStringLiteral(" order by 全年价 desc") }
                                 << QVariantList {};
    }

    void sameAsFullRead()
    {
        QFETCH(QStringList, sql);
        QFETCH(QVariantList, parameters);
        auto full = query(sql, parameters, false);
        full->open();
        auto ours = query(sql, parameters, true);
        ours->open();
        QVERIFY(ours->recordCount() <= full->recordCount());
        QVERIFY(waitForAll(ours.get()));
        QVERIFY(!ours->isFetching());
        compareResults(ours.get(), full.get());
    }

    // The first screen comes at open; the rest is announced row range by row range
    // from the event loop, at the end, until the result is complete.
    void firstScreenThenTheRest()
    {
        auto q = query({ QStringLiteral("select * from POST") }, {}, true);
        QStringList log;
        int announced = 0;
        bool contiguous = true;
        connect(q.get(), &Query::afterOpen, this, [&] { log << QStringLiteral("afterOpen"); });
        connect(q.get(), &Query::afterScroll, this, [&] { log << QStringLiteral("afterScroll"); });
        connect(
            q.get(), &Query::fetchFinished, this, [&] { log << QStringLiteral("fetchFinished"); });
        connect(q.get(), &Query::rowsAppended, this, [&](int first, int last) {
            contiguous = contiguous && first == announced && last >= first;
            announced = last + 1;
        });
        q->open();
        const int atOpen = q->recordCount();
        QVERIFY(atOpen >= 30);
        QVERIFY2(atOpen < Rows / 2, "open read the whole result");
        QVERIFY(q->isFetching());
        QCOMPARE(q->recNo(), 0);
        QCOMPARE(q->fieldByName(QStringLiteral("报刊名称")).asString(), QStringLiteral("人民日报"));
        announced = atOpen;
        QVERIFY(waitForAll(q.get()));
        QVERIFY(contiguous);
        QCOMPARE(announced, q->recordCount());
        QCOMPARE(q->recordCount(), Rows - 401);
        QCOMPARE(log,
            QStringList({ QStringLiteral("afterOpen"), QStringLiteral("afterScroll"),
                QStringLiteral("fetchFinished") }));
        QCOMPARE(q->recNo(), 0);
        // Any row can be reached; moving reads its contents.
        q->setRecNo(q->recordCount() - 1);
        QVERIFY(!q->fieldByName(QStringLiteral("报刊代号")).asString().isEmpty());
    }

    // A new statement, a reopen or a close while a result arrives drops the old one:
    // nothing of it is announced afterwards.
    void newSearchDropsTheOldResult_data()
    {
        QTest::addColumn<bool>("reopen");
        QTest::newRow("close") << false;
        QTest::newRow("new search") << true;
    }

    void newSearchDropsTheOldResult()
    {
        QFETCH(bool, reopen);
        auto q = query({ QStringLiteral("select * from POST") }, {}, true);
        q->open();
        QVERIFY(q->isFetching());
        QSignalSpy appended(q.get(), &Query::rowsAppended);
        QSignalSpy finished(q.get(), &Query::fetchFinished);
        if (reopen) {
            q->setSql({ QStringLiteral("select * from POST"),
                QStringLiteral(" where 报刊名称 like ? escape '\\'") });
            q->setParameters({ like(QStringLiteral("%")) });
            q->open();
            QCOMPARE(q->recordCount(), 1);
            QVERIFY(finished.wait(5000) || finished.count() == 1);
        } else {
            q->close();
            QVERIFY(!q->isFetching());
        }
        QTest::qWait(50);
        QCOMPARE(appended.count(), 0);
        QCOMPARE(q->recordCount(), reopen ? 1 : 0);
    }

    // A filter or a write on a result still arriving reads it in full first.
    void filterAndWriteReadInFull()
    {
        auto full = query({ QStringLiteral("select * from POST") }, {}, false);
        full->setFilter(QStringLiteral("全年价>100"));
        full->setFiltered(true);
        full->open();
        auto q = query({ QStringLiteral("select * from POST") }, {}, true);
        q->open();
        QVERIFY(q->isFetching());
        q->setFilter(QStringLiteral("全年价>100"));
        q->setFiltered(true);
        QVERIFY(!q->isFetching());
        compareResults(q.get(), full.get());

        auto w = query({ QStringLiteral("select * from NOPOST") }, {}, true);
        w->open();
        QVERIFY(w->isFetching());
        w->edit();
        w->fieldByName(QStringLiteral("报刊名称")).setAsString(QStringLiteral("改名"));
        w->post();
        QCOMPARE(w->recordCount(), Rows);
        auto check = query({ QStringLiteral("select * from NOPOST where rowid = 1") }, {}, false);
        check->open();
        QCOMPARE(check->fieldByName(QStringLiteral("报刊名称")).asString(), QStringLiteral("改名"));
    }

    // Holding a large result costs a rowid per row; the contents are read when shown.
    void bookmarkReachesRowsNotYetRead()
    {
        auto full = query({ QStringLiteral("select * from POST") }, {}, false);
        full->open();
        full->last();
        const Query::Bookmark last = full->bookmark();
        auto q = query({ QStringLiteral("select * from POST") }, {}, true);
        q->open();
        QVERIFY(q->isFetching());
        QVERIFY(q->gotoBookmark(last));
        QCOMPARE(q->recNo(), full->recNo());
        QCOMPARE(q->fieldByName(QStringLiteral("报刊代号")).asString(),
            full->fieldByName(QStringLiteral("报刊代号")).asString());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueResult)
#include "tst_catalogueresult.moc"
