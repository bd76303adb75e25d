#include "grid/FooterTotalText.h"

#include "app/data/DatabaseError.h"
#include "grid/ColumnFooter.h"
#include "grid/FixedPoint.h"
#include "grid/GridColumn.h"
#include "grid/NumberFormat.h"

#include <cmath>

QString FooterTotalText(const TColumnFooter *footer, FieldKind kind, qint64 total)
{
    if (footer->valueType() == fvtCount) {
        const qint64 count = FixedPoint::toInteger(total);
        return footer->displayFormat().isEmpty()
            ? QString::number(count)
            : formatNumberMask(footer->displayFormat(), double(count));
    }
    if (!footer->displayFormat().isEmpty())
        return formatNumberMask(footer->displayFormat(), FixedPoint::toDouble(total));
    return kind == FieldKind::Integer ? FixedPoint::formatInteger(total)
                                      : FixedPoint::formatGeneral(total);
}

void AccumulateFooterTotals(
    Query *data, const QList<TGridColumn *> &columns, int footerRows, std::vector<qint64> &totals)
{
    const int count = int(columns.size());
    for (int r = 0; r < footerRows; ++r) {
        for (int c = 0; c < count; ++c) {
            const TColumnFooter *footer = columns.at(c)->footerFor(r);
            const TFooterValueType type = footer->valueType();
            if (type != fvtSum && type != fvtCount)
                continue;
            const int field = data->fieldIndex(footer->effectiveFieldName());
            if (field < 0)
                continue;
            qint64 &entry = totals[size_t(c) + size_t(r) * size_t(count)];
            if (type == fvtCount) {
                entry += FixedPoint::Scale; // null values count too
            } else {
                // Like the grid's own totals, a sum leaves out what is no finite
                // number: a text in a number column, an infinity, a NaN.
                const Field f = data->field(field);
                if (f.isNull())
                    continue;
                double value = 0;
                try {
                    value = f.asFloat();
                } catch (const DatabaseError &) {
                    continue;
                }
                if (std::isfinite(value))
                    entry = FixedPoint::add(entry, value);
            }
        }
    }
}
