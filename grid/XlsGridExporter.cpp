#include "grid/XlsGridExporter.h"

#include "app/data/Query.h"
#include "grid/ColumnFooter.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"
#include "platform/CodePage.h"
#include "platform/ErrorReport.h"

#include <QtEndian>
#include <cstring>

namespace {

enum : quint16 {
    RecBof = 0x0809,
    RecLabel = 0x0204,
    RecNumber = 0x0203,
    RecRk = 0x027E,
    RecBlank = 0x0201,
    RecEof = 0x000A,
};

// Readers show an empty cell in the general style with this format index.
constexpr quint16 BlankFormat = 23;

void put16(QByteArray &out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 2);
}

void put32(QByteArray &out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 4);
}

void putDouble(QByteArray &out, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    const quint64 le = qToLittleEndian(bits);
    out.append(reinterpret_cast<const char *>(&le), 8);
}

// The longest prefix of code-page-936 bytes that fits `limit` without splitting a
// two-byte character (a lead byte is 0x81..0xFE; its trail byte may look like ASCII,
// so the text is scanned from the front).
qsizetype cp936Prefix(const QByteArray &bytes, qsizetype limit)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes.at(i));
        const qsizetype len = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
        if (i + len > limit)
            break;
        i += len;
    }
    return qMin(i, bytes.size());
}

FileError tooManyRows()
{
    return FileError(QStringLiteral("Too many rows for a spreadsheet file: a sheet holds at "
                                    "most %1 rows, titles and footers included.")
                         .arg(TXlsGridExporter::MaxRow + 1));
}

} // namespace

void TXlsGridExporter::CheckCapacity(bool exportAll) const
{
    const TRecordGrid *g = grid();
    const Query *q = g ? g->dataSet() : nullptr;
    if (exportAll && q && q->isActive()) {
        const qint64 rows
            = qint64(g->showTitles() ? 1 : 0) + q->recordCount() + g->footerRowCount();
        if (rows > MaxRow + 1)
            throw tooManyRows();
    }
}

void TXlsGridExporter::WriteGridToStream(QIODevice *stream, bool exportAll)
{
    m_currentColumn = 0;
    m_currentRow = 0;
    // Refuse a sheet that cannot fit before anything is written; the cell check
    // below still guards every record.
    CheckCapacity(exportAll);
    TGridExporter::WriteGridToStream(stream, exportAll);
}

void TXlsGridExporter::BeginOutput()
{
    QByteArray r;
    put16(r, RecBof);
    put16(r, 8);
    put16(r, 0x0000); // version
    put16(r, 0x0010); // worksheet
    put16(r, 0);
    put16(r, 0);
    writeBytes(r);
}

void TXlsGridExporter::EndOutput()
{
    QByteArray r;
    put16(r, RecEof);
    put16(r, 0);
    writeBytes(r);
}

void TXlsGridExporter::putCellHeader(
    QByteArray &record, quint16 type, quint16 length, quint16 format)
{
    if (m_currentRow > MaxRow) {
        throw tooManyRows();
    }
    const int columns = int(exportedColumns().size());
    put16(record, type);
    put16(record, length);
    put16(record, quint16(m_currentRow));
    put16(record, quint16(m_currentColumn));
    put16(record, format);
    if (m_currentColumn >= columns - 1) {
        ++m_currentRow;
        m_currentColumn = 0;
    } else {
        ++m_currentColumn;
    }
}

void TXlsGridExporter::writeLabel(const QString &text)
{
    QByteArray bytes = toCp936(text);
    if (bytes.size() > MaxLabelBytes)
        bytes.truncate(cp936Prefix(bytes, MaxLabelBytes));
    QByteArray r;
    r.reserve(12 + bytes.size());
    putCellHeader(r, RecLabel, quint16(8 + bytes.size()), 0);
    put16(r, quint16(bytes.size()));
    r.append(bytes);
    writeBytes(r);
}

void TXlsGridExporter::writeNumber(double value)
{
    QByteArray r;
    putCellHeader(r, RecNumber, 14, 0);
    putDouble(r, value);
    writeBytes(r);
}

void TXlsGridExporter::writeInteger(qint64 value)
{
    // An RK holds 30 bits; a larger integer keeps its value as a NUMBER.
    if (value < MinRk || value > MaxRk) {
        writeNumber(double(value));
        return;
    }
    QByteArray r;
    putCellHeader(r, RecRk, 10, 0);
    put32(r, (quint32(qint32(value)) << 2) | 2u);
    writeBytes(r);
}

void TXlsGridExporter::writeBlank()
{
    QByteArray r;
    putCellHeader(r, RecBlank, 6, BlankFormat);
    writeBytes(r);
}

void TXlsGridExporter::PutTitleRow(const TColumnList &columns)
{
    for (const TGridColumn *column : columns)
        writeLabel(column->title());
}

void TXlsGridExporter::PutDataCell(TGridColumn *column, const TCellParams &params)
{
    const int index = column->fieldIndex();
    Query *q = grid()->dataSet();
    if (index < 0 || !q) {
        writeBlank();
        return;
    }
    const Field field = q->field(index);
    if (field.isNull()) {
        writeBlank();
        return;
    }
    switch (q->fieldKind(index)) {
    case FieldKind::Integer:
        writeInteger(field.asInteger());
        break;
    case FieldKind::Float:
        // The stored value: a display format such as "0.00" stays out of the file.
        writeNumber(field.asFloat());
        break;
    case FieldKind::Text:
        writeLabel(params.text);
        break;
    }
}

void TXlsGridExporter::PutFooterCell(int columnIndex, int footerRow, TGridColumn *column,
    const QFont &, const QColor &, Qt::Alignment, const QString &text)
{
    const TFooterValueType type = column->footerFor(footerRow)->valueType();
    if (type == fvtSum || type == fvtCount)
        writeNumber(double(footerValue(columnIndex, footerRow)) / 10000.0);
    else
        writeLabel(text);
}
