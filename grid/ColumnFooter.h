#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>
#include <optional>

class TDBSum;
class TGridColumn;

enum TFooterValueType {
    fvtNon = 0,
    fvtSum = 1,
    fvtAvg = 2,
    fvtCount = 3,
    fvtFieldValue = 4,
    fvtStaticText = 5,
};

// One footer cell definition of a grid column: what it shows (a fixed text, a total
// kept by the grid's sum list, a count or the current record's value) and how.
// Alignment, colour and font follow the column and grid until they are set.
class TColumnFooter
{
public:
    explicit TColumnFooter(TGridColumn *column)
        : m_column(column)
    {
    }
    TColumnFooter(const TColumnFooter &) = delete;
    TColumnFooter &operator=(const TColumnFooter &) = delete;

    TGridColumn *column() const { return m_column; }

    TFooterValueType valueType() const { return m_valueType; }
    void setValueType(TFooterValueType type);
    QString value() const { return m_value; } // the fixed text of fvtStaticText
    void setValue(const QString &text);
    QString fieldName() const { return m_fieldName; } // empty: the column's own field
    void setFieldName(const QString &name);
    // The field that is summed or shown: fieldName(), else the column's field.
    QString effectiveFieldName() const;
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &mask);

    Qt::Alignment alignment() const; // default: the column's field alignment
    void setAlignment(Qt::Alignment a);
    void resetAlignment();
    QColor color() const; // default: the grid's FooterColor
    void setColor(const QColor &c);
    void resetColor();
    QFont font() const; // default: the grid's FooterFont
    void setFont(const QFont &f);
    void resetFont();

    bool endEllipsis() const { return m_endEllipsis; }
    void setEndEllipsis(bool on);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);

    // The sum list item that keeps this footer's total; null for other kinds.
    TDBSum *sumItem() const { return m_sumItem; }

private:
    friend class TRecordGrid;
    void changed(bool totalsAffected);

    TGridColumn *m_column;
    TFooterValueType m_valueType = fvtNon;
    QString m_value;
    QString m_fieldName;
    QString m_displayFormat;
    std::optional<Qt::Alignment> m_alignment;
    std::optional<QColor> m_color;
    std::optional<QFont> m_font;
    bool m_endEllipsis = false;
    bool m_wordWrap = false;
    TDBSum *m_sumItem = nullptr;
};
