#pragma once

#include "app/data/RowStore.h"

#include <QString>
#include <functional>
#include <memory>

enum class FieldKind;

// A compiled filter text: comparisons "field op value" (op one of = <> < > <= >=,
// value a number or a text in '...' or "..."), joined by "and" and "or" ("and" binds
// tighter), with optional parentheses. Texts compare ASCII case-blind; numeric fields
// compare as numbers. A null value matches no comparison.
class Filter
{
public:
    ~Filter();
    // Throws DatabaseError naming the text when it is not a well-formed filter.
    static std::unique_ptr<Filter> parse(const QString &text);

    // Ties the field names to columns. Throws DatabaseError for an unknown field, or
    // for a text that is no number compared with a numeric field.
    void resolve(const std::function<int(const QString &)> &fieldIndex,
                 const std::function<FieldKind(int)> &fieldKind);

    bool matches(const std::function<Cell(int)> &cellOf) const;

    struct Node;

private:
    Filter() = default;
    QString m_text;
    std::unique_ptr<Node> m_root;
};
