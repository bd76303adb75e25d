#pragma once

#include "grid/CellParams.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <Qt>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class TGridColumn;
class TRecordGrid;

// Which records and columns an export takes. The record grid selects whole rows
// that follow the current record and offers no multi-record, rectangle or column
// selection, so only "everything" and "nothing" occur here.
enum TGridSelectionType {
    gstNon = 0,
    gstAll = 4,
};

using TColumnList = QList<TGridColumn *>;

// Footer accumulators: fixed-point totals (value x 10000), one per exported column
// and footer row; column c of footer row r sits at c + r x (number of columns).
using TFooterValues = std::vector<qint64>;

// Walks a record grid for an export: the visible columns, a title row, one row per
// record and the footer rows, handing every cell to the format's virtual slots. It
// keeps its own footer totals of the records it walks, so they never depend on
// what the grid shows on screen.
//
// An exporter serves one export: create it, set its grid, write, free it.
class TGridExporter
{
public:
    TGridExporter();
    virtual ~TGridExporter();
    TGridExporter(const TGridExporter &) = delete;
    TGridExporter &operator=(const TGridExporter &) = delete;

    TRecordGrid *grid() const { return m_grid; }
    void setGrid(TRecordGrid *grid) { m_grid = grid; }

    // The export walk into an open device. The grid's current record and scroll
    // position are restored and its display updates resumed whatever happens;
    // errors pass to the caller.
    virtual void WriteGridToStream(QIODevice *stream, bool exportAll);
    // Writes a new file or replaces an older one once the whole export has been
    // written; a failed export leaves an older file as it was and no partial file.
    // Throws FileError when the file cannot be created or written.
    virtual void WriteGridToFile(const QString &fileName, bool exportAll);

protected:
    // Throws FileError when the grid cannot fit the format; runs before any file is
    // touched.
    virtual void CheckCapacity(bool exportAll) const;
    virtual void BeginOutput();
    virtual void EndOutput();
    virtual void PutTitleRow(const TColumnList &columns);
    // Fills the cell parameters of each column for the current record and calls
    // PutDataCell.
    virtual void PutDataRow(const TColumnList &columns);
    virtual void PutDataCell(TGridColumn *column, const TCellParams &params);
    // Works out each column's footer text, font, colour and alignment and calls
    // PutFooterCell.
    virtual void PutFooterRow(const TColumnList &columns, int footerRow);
    virtual void PutFooterCell(int columnIndex, int footerRow, TGridColumn *column,
        const QFont &font, const QColor &background, Qt::Alignment alignment, const QString &text);

    QIODevice *stream() const { return m_stream; }
    const TColumnList &exportedColumns() const { return m_columns; }
    // The accumulated footer total of an exported column (fixed point).
    qint64 footerValue(int columnIndex, int footerRow) const;
    // Writes all bytes or throws FileError("Stream write error").
    void writeBytes(const QByteArray &bytes);

private:
    void accumulateFooters();

    std::unique_ptr<TCellParams> m_cellParams;
    TRecordGrid *m_grid = nullptr;
    TColumnList m_columns;
    QIODevice *m_stream = nullptr;
    TFooterValues m_footerValues;
};

// Makes a fresh exporter of one format; stands in for a class reference.
using TGridExporterClass = std::function<std::unique_ptr<TGridExporter>()>;

template <class Exporter> TGridExporterClass exporterClass()
{
    return [] { return std::make_unique<Exporter>(); };
}

// Creates an exporter, sets its grid, writes the file and frees the exporter,
// whether or not the export succeeded. Errors pass to the caller.
void ExportGridToFile(const TGridExporterClass &exporterClass, TRecordGrid *grid,
    const QString &fileName, bool exportAll);
