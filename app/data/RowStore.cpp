#include "app/data/RowStore.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>

namespace {
// Chunks grow from small (a search that finds a row or two) to large (a whole table).
constexpr std::size_t FirstChunk = 4096;
constexpr std::size_t LargestChunk = 1 << 20;

std::size_t headerSize(int columns)
{
    // offsets of columns + 1 (the end), then one tag byte per column, padded to 4
    return (std::size_t(columns + 1) * 4 + std::size_t(columns) + 3) & ~std::size_t(3);
}
} // namespace

QString floatText(double value)
{
    return QString::number(value, 'g', 15);
}

qint64 Cell::integer() const
{
    qint64 v = 0;
    std::memcpy(&v, data, sizeof v);
    return v;
}

double Cell::real() const
{
    double v = 0;
    std::memcpy(&v, data, sizeof v);
    return v;
}

QString Cell::text() const
{
    switch (tag) {
    case Null:
        return QString();
    case Integer:
        return QString::number(integer());
    case Float:
        return floatText(real());
    case Text:
    case Blob:
        return QString::fromUtf8(data, size);
    }
    return QString();
}

QVariant Cell::variant() const
{
    switch (tag) {
    case Null:
        return QVariant();
    case Integer:
        return QVariant(integer());
    case Float:
        return QVariant(real());
    case Text:
        return QVariant(QString::fromUtf8(data, size));
    case Blob:
        return QVariant(QByteArray(data, size));
    }
    return QVariant();
}

RowStore::RowStore(int columnCount) : m_columns(columnCount) {}

char *RowStore::allocate(std::size_t size)
{
    size = (size + 7) & ~std::size_t(7);
    if (size > m_left) {
        const std::size_t grown = m_chunks.empty() ? FirstChunk : std::min(LargestChunk, m_lastChunk * 2);
        m_lastChunk = grown;
        const std::size_t chunk = std::max(grown, size);
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(chunk));
        m_free = m_chunks.back().get();
        m_left = chunk;
    }
    char *p = m_free;
    m_free += size;
    m_left -= size;
    return p;
}

const char *RowStore::add(sqlite3_stmt *statement, int firstColumn)
{
    const int n = m_columns;
    m_scratch.resize(std::size_t(n));
    m_numbers.resize(std::size_t(n));
    std::size_t total = headerSize(n);
    for (int c = 0; c < n; ++c) {
        Cell &cell = m_scratch[std::size_t(c)];
        const int col = firstColumn + c;
        switch (sqlite3_column_type(statement, col)) {
        case SQLITE_INTEGER:
            cell.tag = Cell::Integer;
            m_numbers[std::size_t(c)] = sqlite3_column_int64(statement, col);
            cell.size = 8;
            break;
        case SQLITE_FLOAT: {
            cell.tag = Cell::Float;
            const double d = sqlite3_column_double(statement, col);
            std::memcpy(&m_numbers[std::size_t(c)], &d, 8);
            cell.size = 8;
            break;
        }
        case SQLITE_TEXT:
            cell.tag = Cell::Text;
            cell.data = reinterpret_cast<const char *>(sqlite3_column_text(statement, col));
            cell.size = sqlite3_column_bytes(statement, col);
            break;
        case SQLITE_BLOB:
            cell.tag = Cell::Blob;
            cell.data = static_cast<const char *>(sqlite3_column_blob(statement, col));
            cell.size = sqlite3_column_bytes(statement, col);
            break;
        default:
            cell.tag = Cell::Null;
            cell.size = 0;
        }
        total += std::size_t(cell.size);
    }

    char *row = allocate(total);
    auto *offsets = reinterpret_cast<std::uint32_t *>(row);
    auto *tags = reinterpret_cast<std::uint8_t *>(row + std::size_t(n + 1) * 4);
    std::size_t at = headerSize(n);
    for (int c = 0; c < n; ++c) {
        const Cell &cell = m_scratch[std::size_t(c)];
        offsets[c] = std::uint32_t(at);
        tags[c] = cell.tag;
        if (cell.tag == Cell::Integer || cell.tag == Cell::Float)
            std::memcpy(row + at, &m_numbers[std::size_t(c)], 8);
        else if (cell.size > 0)
            std::memcpy(row + at, cell.data, std::size_t(cell.size));
        at += std::size_t(cell.size);
    }
    offsets[n] = std::uint32_t(at);
    return row;
}

const char *RowStore::add(const std::vector<QVariant> &values)
{
    const int n = m_columns;
    std::vector<QByteArray> bytes;
    bytes.resize(std::size_t(n));
    std::vector<Cell::Tag> kinds(std::size_t(n), Cell::Null);
    std::size_t total = headerSize(n);
    for (int c = 0; c < n; ++c) {
        const QVariant v = c < int(values.size()) ? values[std::size_t(c)] : QVariant();
        QByteArray &b = bytes[std::size_t(c)];
        if (!v.isValid() || v.isNull()) {
            kinds[std::size_t(c)] = Cell::Null;
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            kinds[std::size_t(c)] = Cell::Float;
            const double d = v.toDouble();
            b = QByteArray(reinterpret_cast<const char *>(&d), 8);
        } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int
                   || v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::ULongLong
                   || v.typeId() == QMetaType::Bool) {
            kinds[std::size_t(c)] = Cell::Integer;
            const qint64 i = v.toLongLong();
            b = QByteArray(reinterpret_cast<const char *>(&i), 8);
        } else if (v.typeId() == QMetaType::QByteArray) {
            kinds[std::size_t(c)] = Cell::Blob;
            b = v.toByteArray();
        } else {
            kinds[std::size_t(c)] = Cell::Text;
            b = v.toString().toUtf8();
        }
        total += std::size_t(b.size());
    }
    char *row = allocate(total);
    auto *offsets = reinterpret_cast<std::uint32_t *>(row);
    auto *tags = reinterpret_cast<std::uint8_t *>(row + std::size_t(n + 1) * 4);
    std::size_t at = headerSize(n);
    for (int c = 0; c < n; ++c) {
        offsets[c] = std::uint32_t(at);
        tags[c] = kinds[std::size_t(c)];
        const QByteArray &b = bytes[std::size_t(c)];
        if (!b.isEmpty())
            std::memcpy(row + at, b.constData(), std::size_t(b.size()));
        at += std::size_t(b.size());
    }
    offsets[n] = std::uint32_t(at);
    return row;
}

Cell RowStore::cell(const char *row, int column) const
{
    if (!row || column < 0 || column >= m_columns)
        return Cell();
    const auto *offsets = reinterpret_cast<const std::uint32_t *>(row);
    const auto *tags = reinterpret_cast<const std::uint8_t *>(row + std::size_t(m_columns + 1) * 4);
    Cell cell;
    cell.tag = Cell::Tag(tags[column]);
    cell.data = row + offsets[column];
    cell.size = int(offsets[column + 1] - offsets[column]);
    return cell;
}
