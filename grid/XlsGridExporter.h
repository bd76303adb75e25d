#pragma once

#include "grid/GridExporter.h"

#include <QByteArray>

// Writes a grid as a bare stream of BIFF records that spreadsheet programs open as
// a worksheet: BOF, one cell record per cell, EOF; nothing else (no workbook
// records, fonts, formats or container). Cells go row by row, left to right.
//
// Texts are written in code page 936 (GBK); a character GBK cannot hold becomes
// '?'. Where the format's fields run out, the writer stays correct: an integer
// outside the RK range is written as a NUMBER, a text longer than a LABEL holds is
// cut at a character boundary, and a sheet that needs more than 65536 rows fails
// with a FileError instead of wrapping round.
class TXlsGridExporter : public TGridExporter
{
public:
    // Largest text a LABEL holds: its record length word also counts 8 bytes of
    // row, column, format and length.
    static constexpr int MaxLabelBytes = 0xFFFF - 8;
    static constexpr qint64 MinRk = -(qint64(1) << 29);
    static constexpr qint64 MaxRk = (qint64(1) << 29) - 1;
    static constexpr int MaxRow = 0xFFFF;

    void WriteGridToStream(QIODevice *stream, bool exportAll) override;

protected:
    void CheckCapacity(bool exportAll) const override;
    void BeginOutput() override;
    void EndOutput() override;
    void PutTitleRow(const TColumnList &columns) override;
    void PutDataCell(TGridColumn *column, const TCellParams &params) override;
    void PutFooterCell(int columnIndex, int footerRow, TGridColumn *column, const QFont &font,
        const QColor &background, Qt::Alignment alignment, const QString &text) override;

private:
    void writeLabel(const QString &text);
    void writeNumber(double value);
    void writeInteger(qint64 value);
    void writeBlank();
    // Header and position of the next cell record; moves to the following cell.
    void putCellHeader(QByteArray &record, quint16 type, quint16 length, quint16 format);

    int m_currentColumn = 0;
    int m_currentRow = 0;
};
