#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3_stmt;

// One value of a fetched row, as stored: a tag and its bytes. Texts stay UTF-8 and
// become QString only when read.
struct Cell
{
    enum Tag : std::uint8_t { Null = 0, Integer = 1, Float = 2, Text = 3, Blob = 4 };
    Tag tag = Null;
    const char *data = nullptr;
    int size = 0;

    bool isNull() const { return tag == Null; }
    qint64 integer() const;
    double real() const;
    QString text() const;      // "" for null; numbers in their shortest general form
    QVariant variant() const;  // invalid for null
};

// Holds the rows of a query: each row is one block of an arena (a table of offsets,
// the tags, then the values), so a 100,000-row result costs a handful of large
// allocations instead of one per cell.
class RowStore
{
public:
    explicit RowStore(int columnCount = 0);
    RowStore(RowStore &&) = default;
    RowStore &operator=(RowStore &&) = default;

    int columnCount() const { return m_columns; }

    // Copies the columns firstColumn.. of the statement's current row.
    const char *add(sqlite3_stmt *statement, int firstColumn);
    // Copies a row of values (null: invalid QVariant).
    const char *add(const std::vector<QVariant> &values);

    Cell cell(const char *row, int column) const;

private:
    char *allocate(std::size_t size);

    int m_columns = 0;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    char *m_free = nullptr;
    std::size_t m_left = 0;
    std::size_t m_lastChunk = 0;
    // Scratch of add(statement), kept to avoid allocating per row.
    std::vector<Cell> m_scratch;
    std::vector<qint64> m_numbers;
};

// The text of a floating-point value: general notation, at most 15 significant
// digits, no trailing zeros (120 -> "120", 10.5 -> "10.5").
QString floatText(double value);
