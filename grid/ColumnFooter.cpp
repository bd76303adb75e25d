#include "grid/ColumnFooter.h"

#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

void TColumnFooter::changed(bool totalsAffected)
{
    if (m_column)
        m_column->changed(false);
    if (m_column && m_column->grid())
        m_column->grid()->footerChanged(this, totalsAffected);
}

void TColumnFooter::setValueType(TFooterValueType type)
{
    if (type == m_valueType)
        return;
    m_valueType = type;
    changed(true);
}

void TColumnFooter::setValue(const QString &text)
{
    if (text == m_value)
        return;
    m_value = text;
    changed(false);
}

void TColumnFooter::setFieldName(const QString &name)
{
    if (name == m_fieldName)
        return;
    m_fieldName = name;
    changed(true);
}

QString TColumnFooter::effectiveFieldName() const
{
    if (!m_fieldName.isEmpty() || !m_column)
        return m_fieldName;
    return m_column->fieldName();
}

void TColumnFooter::setDisplayFormat(const QString &mask)
{
    if (mask == m_displayFormat)
        return;
    m_displayFormat = mask;
    changed(false);
}

Qt::Alignment TColumnFooter::alignment() const
{
    if (m_alignment)
        return *m_alignment;
    if (!m_column || m_column->fieldIndex() < 0)
        return Qt::AlignLeft;
    return m_column->hasNumericField() ? Qt::AlignRight : Qt::AlignLeft;
}

void TColumnFooter::setAlignment(Qt::Alignment a)
{
    m_alignment = a;
    changed(false);
}

void TColumnFooter::resetAlignment()
{
    m_alignment.reset();
    changed(false);
}

QColor TColumnFooter::color() const
{
    if (m_color)
        return *m_color;
    if (m_column && m_column->grid())
        return m_column->grid()->footerColor();
    return QColor(Qt::white);
}

void TColumnFooter::setColor(const QColor &c)
{
    m_color = c;
    changed(false);
}

void TColumnFooter::resetColor()
{
    m_color.reset();
    changed(false);
}

QFont TColumnFooter::font() const
{
    if (m_font)
        return *m_font;
    if (m_column && m_column->grid())
        return m_column->grid()->footerFont();
    return QFont();
}

void TColumnFooter::setFont(const QFont &f)
{
    m_font = f;
    changed(false);
}

void TColumnFooter::resetFont()
{
    m_font.reset();
    changed(false);
}

void TColumnFooter::setEndEllipsis(bool on)
{
    m_endEllipsis = on;
    changed(false);
}

void TColumnFooter::setWordWrap(bool on)
{
    m_wordWrap = on;
    changed(false);
}
