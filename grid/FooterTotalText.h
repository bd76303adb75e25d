#pragma once

#include "app/data/Query.h"

#include <QList>
#include <QString>

#include <vector>

class TColumnFooter;
class TGridColumn;

// The text of a footer total that a walk (export, printing) added up itself: a count
// as a plain number, a sum with the footer's display format when it has one, else as
// a whole number for integer fields and in general number format otherwise.
QString FooterTotalText(const TColumnFooter *footer, FieldKind kind, qint64 total);

// Adds the current record of `data` to the footer totals of a walk: for each footer
// row r and column c, entry c + r x columns. A sum adds the field's value unless it is
// null; a count adds one for every record, null values too.
void AccumulateFooterTotals(Query *data, const QList<TGridColumn *> &columns, int footerRows,
                            std::vector<qint64> &totals);
