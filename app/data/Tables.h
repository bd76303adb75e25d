#pragma once

#include <QString>
#include <QStringList>

// Table and field names of the database file, and the page index that ties a
// catalogue page to its table, its query statement and its label.
namespace Tables {

inline constexpr const char16_t *Password = u"qmzrvl";
inline constexpr const char16_t *FileName = u"ortiwen.gdb";

inline constexpr const char16_t *Post = u"POST";
inline constexpr const char16_t *NoPost = u"NOPOST";
inline constexpr const char16_t *PostForeign = u"POSTFOREIGN";
inline constexpr const char16_t *Order = u"tOrder";
inline constexpr const char16_t *Customer = u"KH";

namespace F {
// catalogue
inline constexpr const char16_t *Code = u"报刊代号";
inline constexpr const char16_t *Name = u"报刊名称";
inline constexpr const char16_t *Place = u"出版地";
inline constexpr const char16_t *Category = u"分类";
inline constexpr const char16_t *PublishDate = u"出版日期";
inline constexpr const char16_t *UnitPrice = u"单价";
inline constexpr const char16_t *MonthPrice = u"月价";
inline constexpr const char16_t *YearPrice = u"全年价";
inline constexpr const char16_t *Remarks = u"备注";
inline constexpr const char16_t *Frequency = u"刊期";
inline constexpr const char16_t *Kind = u"报刊种类";
inline constexpr const char16_t *SerialNo = u"国内统一刊号";
inline constexpr const char16_t *Issn = u"ISSN";
// order
inline constexpr const char16_t *Copies = u"份数";
inline constexpr const char16_t *Type = u"报刊类型";
inline constexpr const char16_t *Period = u"订期";
inline constexpr const char16_t *Amount = u"金额";
// customer
inline constexpr const char16_t *CustName = u"客户名称";
inline constexpr const char16_t *Address = u"地址";
inline constexpr const char16_t *Phone = u"电话";
}

struct Page {
    int index;
    QString caption;     // tab caption
    QString table;       // catalogue table
    QString label;       // used in export file names and print titles
    QStringList searchFields;   // drop-down list items, in order
    QStringList gridFields;     // grid columns, in order
};

// The three catalogue pages, by page index 0, 1, 2.
const Page &page(int index);
constexpr int PageCount = 3;

// Statement of the catalogue query of a page, without a search condition.
QString catalogueStatement(int pageIndex);

// Column width in pixels of a catalogue grid field.
int catalogueColumnWidth(const QString &field);

// The connection text for a start-up directory (no separator added or removed).
QString connectionText(const QString &startupDir);

} // namespace Tables
