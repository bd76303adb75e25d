#include "TestDatabase.h"

#include "app/data/Connection.h"
#include "app/data/Query.h"
#include "tools/DbTool.h"

#include <QDir>

namespace {
QString quote(const QString &text)
{
    QString t = text;
    t.replace(u'\'', QStringLiteral("''"));
    return u'\'' + t + u'\'';
}

const char *tableOf(int page)
{
    return page == 0 ? "POST" : page == 1 ? "NOPOST" : "POSTFOREIGN";
}
}

TestDatabase::TestDatabase(const QString &folder) : m_folder(folder)
{
    if (!folder.isEmpty())
        QDir(m_dir.path()).mkdir(folder);
    DbTool::createDatabase(path());
}

QString TestDatabase::dir() const
{
    return m_folder.isEmpty() ? m_dir.path() : QDir(m_dir.path()).filePath(m_folder);
}

QString TestDatabase::path() const
{
    return QDir(dir()).filePath(QStringLiteral("ortiwen.gdb"));
}

void TestDatabase::execute(const QString &sql)
{
    DbTool::execute(path(), sql);
}

void TestDatabase::addCatalogue(int page, const QString &code, const QString &name, double yearPrice,
                                double monthPrice, const QString &place, const QString &issn)
{
    QString columns = QStringLiteral("报刊代号, 报刊名称, 出版地, 分类, 出版日期, 单价, 月价, 全年价, "
                                     "备注, 刊期, 报刊种类, 国内统一刊号");
    QString values = QStringLiteral("%1, %2, %3, '综合', '每日', 1.5, %4, %5, %6, '日报', '报纸', 'CN11-0001'")
                         .arg(quote(code), quote(name), quote(place))
                         .arg(monthPrice)
                         .arg(yearPrice)
                         .arg(quote(name + QStringLiteral("的简介。")));
    if (page > 0) {
        columns += QStringLiteral(", ISSN");
        values += QStringLiteral(", ") + quote(issn);
    }
    execute(QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(QLatin1String(tableOf(page)), columns, values));
}

void TestDatabase::addOrder(int type, const QString &code, int copies, double amount,
                            const QString &period, double yearPrice)
{
    execute(QStringLiteral("insert into tOrder (报刊代号, 报刊名称, 份数, 报刊类型, 订期, 全年价, 金额) "
                           "values (%1, %2, %3, %4, %5, %6, %7)")
                .arg(quote(code), quote(code + QStringLiteral("报")))
                .arg(copies)
                .arg(type)
                .arg(quote(period))
                .arg(yearPrice)
                .arg(amount));
}

QStringList TestDatabase::rows(const QString &sql) const
{
    auto connection = DbTool::open(path());
    Query q;
    q.setConnection(connection.get());
    q.setSql({sql});
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList fields;
        for (int i = 0; i < q.fieldCount(); ++i)
            fields << q.field(i).asString();
        out << fields.join(u'|');
    }
    return out;
}

int TestDatabase::count(const QString &table) const
{
    return rows(QStringLiteral("select count(*) from ") + table).value(0).toInt();
}

void TestDatabase::fillSample()
{
    addCatalogue(0, QStringLiteral("1-1"), QStringLiteral("人民日报"), 480, 40);
    addCatalogue(0, QStringLiteral("2-1"), QStringLiteral("北京日报"), 360, 30);
    addCatalogue(0, QStringLiteral("80-1"), QStringLiteral("Reader's Digest 读者"), 120, 10, QStringLiteral("兰州"));
    addCatalogue(0, QStringLiteral("80-2"), QStringLiteral("100%健康"), 96, 8, QStringLiteral("上海"));
    addCatalogue(0, QStringLiteral("ab-3"), QStringLiteral("chinese daily"), 240, 20, QStringLiteral("北京"));
    addCatalogue(1, QStringLiteral("Z-1"), QStringLiteral("自办周刊"), 60, 5, QStringLiteral("广州"), QStringLiteral("1000-0001"));
    addCatalogue(1, QStringLiteral("Z-2"), QStringLiteral("自办月刊"), 36, 3, QStringLiteral("深圳"), QStringLiteral("1000-0002"));
    addCatalogue(2, QStringLiteral("W-1"), QStringLiteral("Time"), 1200, 100, QStringLiteral("纽约"), QStringLiteral("0040-781X"));
}
