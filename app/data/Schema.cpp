#include "app/data/Schema.h"

#include "app/data/Tables.h"

namespace Schema {

namespace {

QString s(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QList<Column> catalogueColumns(const QString &table)
{
    using namespace Tables::F;
    QList<Column> cols = {
        {s(Code), FieldKind::Text},       {s(Name), FieldKind::Text},
        {s(Place), FieldKind::Text},      {s(Category), FieldKind::Text},
        {s(PublishDate), FieldKind::Text}, {s(UnitPrice), FieldKind::Float},
        {s(MonthPrice), FieldKind::Float}, {s(YearPrice), FieldKind::Float},
        {s(Remarks), FieldKind::Text},    {s(Frequency), FieldKind::Text},
        {s(Kind), FieldKind::Text},
    };
    // Column order follows the page's grid.
    if (table == s(Tables::Post)) {
        cols << Column{s(SerialNo), FieldKind::Text};
    } else if (table == s(Tables::NoPost)) {
        cols << Column{s(Issn), FieldKind::Text} << Column{s(SerialNo), FieldKind::Text};
    } else {
        cols << Column{s(SerialNo), FieldKind::Text} << Column{s(Issn), FieldKind::Text};
    }
    return cols;
}

QString typeOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Integer: return QStringLiteral("INTEGER");
    case FieldKind::Float: return QStringLiteral("REAL");
    case FieldKind::Text: break;
    }
    return QStringLiteral("TEXT");
}

} // namespace

QStringList tableNames()
{
    return {s(Tables::Post), s(Tables::NoPost), s(Tables::PostForeign), s(Tables::Order),
            s(Tables::Customer)};
}

QString canonicalTable(const QString &name)
{
    for (const QString &t : tableNames())
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return QString();
}

bool isCatalogue(const QString &table)
{
    return table == s(Tables::Post) || table == s(Tables::NoPost) || table == s(Tables::PostForeign);
}

QList<Column> columns(const QString &table)
{
    using namespace Tables::F;
    if (isCatalogue(table))
        return catalogueColumns(table);
    if (table == s(Tables::Order))
        return {{s(Code), FieldKind::Text},      {s(Name), FieldKind::Text},
                {s(Copies), FieldKind::Integer}, {s(Type), FieldKind::Integer},
                {s(Period), FieldKind::Text},    {s(YearPrice), FieldKind::Float},
                {s(Amount), FieldKind::Float},   {s(MonthPrice), FieldKind::Float}};
    if (table == s(Tables::Customer))
        return {{s(CustName), FieldKind::Text}, {s(Address), FieldKind::Text}, {s(Phone), FieldKind::Text}};
    return {};
}

QStringList createStatements()
{
    using namespace Tables::F;
    QStringList tables, indexes;
    for (const QString &table : tableNames()) {
        QStringList defs;
        for (const Column &c : columns(table)) {
            QString def = u'"' + c.name + QStringLiteral("\" ") + typeOf(c.kind);
            // Exact catalogue search ignores ASCII case, as the design's engine did.
            if (isCatalogue(table) && c.kind == FieldKind::Text)
                def += QStringLiteral(" COLLATE NOCASE");
            defs << def;
        }
        tables << QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table, defs.join(QStringLiteral(", ")));
        if (!isCatalogue(table))
            continue;
        for (const char16_t *f : {Code, Name, Place, Category, Frequency, Kind, SerialNo, Issn}) {
            const QString field = s(f);
            bool present = false;
            for (const Column &c : columns(table))
                present = present || c.name == field;
            if (present)
                indexes << QStringLiteral("CREATE INDEX \"%1_%2\" ON \"%1\" (\"%2\")").arg(table, field);
        }
    }
    return tables + indexes;
}

} // namespace Schema
