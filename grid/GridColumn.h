#pragma once

#include "grid/CellParams.h"
#include "grid/ColumnFooter.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class TRecordGrid;

// A column of a record grid, bound to a field of the grid's data set by name. It is
// the model that painting, export and printing read: visible flag, title, field,
// display text of a record, alignment, font, colour and footer definitions.
class TGridColumn
{
public:
    TGridColumn(TRecordGrid *grid, const QString &fieldName);
    ~TGridColumn();
    TGridColumn(const TGridColumn &) = delete;
    TGridColumn &operator=(const TGridColumn &) = delete;

    TRecordGrid *grid() const { return m_grid; }
    int index() const; // position in the grid's column list

    QString fieldName() const { return m_fieldName; }
    void setFieldName(const QString &name);
    // Position of the bound field in the grid's data set; -1 when there is none.
    int fieldIndex() const;
    bool hasNumericField() const;

    // The caption set on the column, else the field name.
    QString title() const;
    void setTitle(const QString &caption);
    bool titleAssigned() const { return m_title.has_value(); }

    int width() const { return m_width; }
    void setWidth(int pixels);
    bool visible() const { return m_visible; }
    void setVisible(bool on);

    // Number mask for the cells ("0.00"); empty: the field's own display text.
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &mask);

    // Right for numeric fields, left for other fields and for a column without a field.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment a);
    void resetAlignment();
    QFont font() const; // default: the grid's font
    void setFont(const QFont &f);
    void resetFont();
    QColor color() const; // default: the grid's cell colour
    void setColor(const QColor &c);
    void resetColor();
    bool colorAssigned() const { return m_color.has_value(); }

    int imageIndex() const { return -1; } // the grid shows no images
    Qt::CheckState checkboxState() const { return Qt::Unchecked; }

    // Footer definitions: footerFor(r) is footers()[r] when there are more than r of
    // them, otherwise footer().
    TColumnFooter *footer() const { return m_footer.get(); }
    int footerCount() const { return int(m_footers.size()); }
    TColumnFooter *footers(int index) const { return m_footers.at(size_t(index)).get(); }
    TColumnFooter *addFooter();
    void clearFooters();
    TColumnFooter *footerFor(int footerRow) const;

    // Display text of a data-set row (as the grid shows it) and of the current record.
    QString displayTextAt(int row) const;
    QString displayText() const;
    // Fills cell parameters for the current record: font, colour, alignment, image,
    // display text and check box; row, column and state are left as they are.
    void fillCellParams(TCellParams &params) const;

private:
    friend class TColumnFooter;
    friend class TRecordGrid;
    void changed(bool layout);
    QString formatValue(const QVariant &value, int fieldIndex, int row) const;

    TRecordGrid *m_grid;
    QString m_fieldName;
    std::optional<QString> m_title;
    int m_width = 64;
    bool m_visible = true;
    QString m_displayFormat;
    std::optional<Qt::Alignment> m_alignment;
    std::optional<QFont> m_font;
    std::optional<QColor> m_color;
    std::unique_ptr<TColumnFooter> m_footer;
    std::vector<std::unique_ptr<TColumnFooter>> m_footers;
};
