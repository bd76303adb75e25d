#include "grid/GridColumn.h"

#include "app/data/Query.h"
#include "grid/NumberFormat.h"
#include "grid/RecordGrid.h"

TGridColumn::TGridColumn(TRecordGrid *grid, const QString &fieldName)
    : m_grid(grid)
    , m_fieldName(fieldName)
    , m_footer(std::make_unique<TColumnFooter>(this))
{
}

TGridColumn::~TGridColumn() = default;

int TGridColumn::index() const
{
    if (!m_grid)
        return -1;
    for (int i = 0; i < m_grid->columnCount(); ++i)
        if (m_grid->column(i) == this)
            return i;
    return -1;
}

void TGridColumn::changed(bool layout)
{
    if (m_grid)
        m_grid->columnChanged(this, layout);
}

void TGridColumn::setFieldName(const QString &name)
{
    if (name == m_fieldName)
        return;
    m_fieldName = name;
    changed(true);
    // Footers without a field of their own follow the column's field.
    if (m_grid) {
        m_grid->footerChanged(m_footer.get(), true);
        for (const auto &f : m_footers)
            m_grid->footerChanged(f.get(), true);
    }
}

int TGridColumn::fieldIndex() const
{
    const Query *q = m_grid ? m_grid->dataSet() : nullptr;
    if (!q || m_fieldName.isEmpty())
        return -1;
    return q->fieldIndex(m_fieldName);
}

bool TGridColumn::hasNumericField() const
{
    const int f = fieldIndex();
    if (f < 0)
        return false;
    const FieldKind kind = m_grid->dataSet()->fieldKind(f);
    return kind == FieldKind::Integer || kind == FieldKind::Float;
}

QString TGridColumn::title() const
{
    return m_title ? *m_title : m_fieldName;
}

void TGridColumn::setTitle(const QString &caption)
{
    m_title = caption;
    changed(false);
}

void TGridColumn::setWidth(int pixels)
{
    pixels = qMax(0, pixels);
    if (pixels == m_width)
        return;
    m_width = pixels;
    changed(true);
}

void TGridColumn::setVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    changed(true);
}

void TGridColumn::setDisplayFormat(const QString &mask)
{
    if (mask == m_displayFormat)
        return;
    m_displayFormat = mask;
    changed(false);
}

Qt::Alignment TGridColumn::alignment() const
{
    if (m_alignment)
        return *m_alignment;
    return hasNumericField() ? Qt::AlignRight : Qt::AlignLeft;
}

void TGridColumn::setAlignment(Qt::Alignment a)
{
    m_alignment = a;
    changed(false);
}

void TGridColumn::resetAlignment()
{
    m_alignment.reset();
    changed(false);
}

QFont TGridColumn::font() const
{
    if (m_font)
        return *m_font;
    return m_grid ? m_grid->font() : QFont();
}

void TGridColumn::setFont(const QFont &f)
{
    m_font = f;
    changed(false);
}

void TGridColumn::resetFont()
{
    m_font.reset();
    changed(false);
}

QColor TGridColumn::color() const
{
    if (m_color)
        return *m_color;
    return m_grid ? m_grid->cellColor() : QColor(Qt::white);
}

void TGridColumn::setColor(const QColor &c)
{
    m_color = c;
    changed(false);
}

void TGridColumn::resetColor()
{
    m_color.reset();
    changed(false);
}

TColumnFooter *TGridColumn::addFooter()
{
    m_footers.push_back(std::make_unique<TColumnFooter>(this));
    TColumnFooter *f = m_footers.back().get();
    changed(false);
    return f;
}

void TGridColumn::clearFooters()
{
    if (m_footers.empty())
        return;
    if (m_grid)
        for (const auto &f : m_footers)
            m_grid->dropSumItem(f.get());
    m_footers.clear();
    changed(false);
}

TColumnFooter *TGridColumn::footerFor(int footerRow) const
{
    if (footerRow >= 0 && footerRow < int(m_footers.size()))
        return m_footers.at(size_t(footerRow)).get();
    return m_footer.get();
}

QString TGridColumn::formatValue(const QVariant &value, int fieldIndex, int row) const
{
    const Query *q = m_grid->dataSet();
    if (m_displayFormat.isEmpty())
        return q->displayTextAt(row, fieldIndex);
    if (!value.isValid() || value.isNull())
        return QString();
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return q->displayTextAt(row, fieldIndex);
    return formatNumberMask(m_displayFormat, number);
}

QString TGridColumn::displayTextAt(int row) const
{
    const int f = fieldIndex();
    const Query *q = m_grid ? m_grid->dataSet() : nullptr;
    if (f < 0 || !q || !q->isActive() || row < 0 || row >= q->recordCount())
        return QString();
    const QVariant value = m_displayFormat.isEmpty() ? QVariant() : q->valueAt(row, f);
    return formatValue(value, f, row);
}

QString TGridColumn::displayText() const
{
    const Query *q = m_grid ? m_grid->dataSet() : nullptr;
    if (!q || !q->isActive())
        return QString();
    return displayTextAt(q->recNo());
}

void TGridColumn::fillCellParams(TCellParams &params) const
{
    params.font = font();
    params.background = color();
    params.alignment = alignment();
    params.imageIndex = imageIndex();
    params.text = displayText();
    params.checkboxState = checkboxState();
}
