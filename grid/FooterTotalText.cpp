#include "grid/FooterTotalText.h"

#include "grid/ColumnFooter.h"
#include "grid/FixedPoint.h"
#include "grid/NumberFormat.h"

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
