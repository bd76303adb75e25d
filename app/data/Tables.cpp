#include "app/data/Tables.h"

#include <QHash>

namespace Tables {

namespace {
QStringList fields(std::initializer_list<const char16_t *> names)
{
    QStringList list;
    for (const char16_t *n : names)
        list << QString::fromUtf16(n);
    return list;
}
}

const Page &page(int index)
{
    using namespace F;
    static const Page pages[PageCount] = {
        {0, QStringLiteral("邮政发行报刊"), QString::fromUtf16(Post), QStringLiteral("（邮发报刊）"),
         fields({Code, Name, Place, Category, Frequency, Kind, SerialNo}),
         fields({Code, Name, Place, Category, PublishDate, UnitPrice, MonthPrice, YearPrice, Remarks,
                 Frequency, Kind, SerialNo})},
        {1, QStringLiteral("自办发行报刊"), QString::fromUtf16(NoPost), QStringLiteral("（自办发行报刊）"),
         fields({Code, Name, Place, Category, Frequency, Kind, Issn, SerialNo}),
         fields({Code, Name, Place, Category, PublishDate, UnitPrice, MonthPrice, YearPrice, Remarks,
                 Frequency, Kind, Issn, SerialNo})},
        {2, QStringLiteral("港、澳、台及外国进口报刊"), QString::fromUtf16(PostForeign),
         QStringLiteral("（涉外报刊）"),
         fields({Code, Name, Place, Category, Frequency, Kind, Issn, SerialNo}),
         fields({Code, Name, Place, Category, PublishDate, UnitPrice, MonthPrice, YearPrice, Remarks,
                 Frequency, Kind, SerialNo, Issn})},
    };
    Q_ASSERT(index >= 0 && index < PageCount);
    return pages[qBound(0, index, PageCount - 1)];
}

QString catalogueStatement(int pageIndex)
{
    return QStringLiteral("select * from ") + page(pageIndex).table;
}

int catalogueColumnWidth(const QString &field)
{
    using namespace F;
    static const QHash<QString, int> widths = {
        {QString::fromUtf16(Code), 80},        {QString::fromUtf16(Name), 300},
        {QString::fromUtf16(Place), 80},       {QString::fromUtf16(Category), 200},
        {QString::fromUtf16(PublishDate), 100}, {QString::fromUtf16(UnitPrice), 60},
        {QString::fromUtf16(MonthPrice), 60},  {QString::fromUtf16(YearPrice), 60},
        {QString::fromUtf16(Remarks), 300},    {QString::fromUtf16(Frequency), 80},
        {QString::fromUtf16(Kind), 80},        {QString::fromUtf16(Issn), 100},
        {QString::fromUtf16(SerialNo), 100},
    };
    return widths.value(field, 80);
}

QString connectionText(const QString &startupDir)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + startupDir
        + QStringLiteral("\\ortiwen.gdb;Persist Security Info=True;Jet OLEDB:Database Password=")
        + QString::fromUtf16(Password);
}

} // namespace Tables
