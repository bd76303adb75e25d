#include "grid/GridExporter.h"

#include "app/data/Query.h"
#include "grid/ColumnFooter.h"
#include "grid/FixedPoint.h"
#include "grid/FooterTotalText.h"
#include "grid/GridColumn.h"
#include "grid/NumberFormat.h"
#include "grid/RecordGrid.h"
#include "platform/ErrorReport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Keeps the grid where the user left it while an export moves its data set: the
// display updates are suspended for the walk, and the current record and scroll
// position come back afterwards, also when the walk fails.
class WalkGuard
{
public:
    explicit WalkGuard(TRecordGrid *grid)
        : m_grid(grid)
        , m_dataSet(grid->dataSet())
    {
        m_position = m_grid->savePosition();
        if (m_dataSet)
            m_dataSet->disableControls();
    }
    ~WalkGuard()
    {
        if (m_restored)
            return;
        // Only reached while an error of the walk is already on its way to the
        // caller; that error is the one to report.
        try {
            m_grid->restorePosition(m_position);
        } catch (...) {
        }
        try {
            resume();
        } catch (...) {
        }
    }
    WalkGuard(const WalkGuard &) = delete;
    WalkGuard &operator=(const WalkGuard &) = delete;

    // The normal end of the walk: a failure to go back is an error of the export.
    void restore()
    {
        m_restored = true;
        try {
            m_grid->restorePosition(m_position);
        } catch (...) {
            resume();
            throw;
        }
        resume();
    }

private:
    void resume()
    {
        if (m_dataSet)
            m_dataSet->enableControls();
        // Resuming rebuilds the rows, which puts the scroll bars back at the start.
        m_grid->restorePosition(m_position);
    }

    TRecordGrid *m_grid;
    Query *m_dataSet;
    TRecordGrid::Position m_position;
    bool m_restored = false;
};

} // namespace

TGridExporter::TGridExporter()
    : m_cellParams(std::make_unique<TCellParams>())
{
}

TGridExporter::~TGridExporter() = default;

void TGridExporter::BeginOutput() { }

void TGridExporter::EndOutput() { }

void TGridExporter::PutTitleRow(const TColumnList &) { }

void TGridExporter::PutDataCell(TGridColumn *, const TCellParams &) { }

void TGridExporter::PutFooterCell(
    int, int, TGridColumn *, const QFont &, const QColor &, Qt::Alignment, const QString &)
{
}

void TGridExporter::PutDataRow(const TColumnList &columns)
{
    TCellParams &params = *m_cellParams;
    for (TGridColumn *column : columns) {
        params.row = -1;
        params.col = -1;
        params.state = 0;
        column->fillCellParams(params);
        PutDataCell(column, params);
    }
}

void TGridExporter::PutFooterRow(const TColumnList &columns, int footerRow)
{
    const Query *q = m_grid->dataSet();
    for (int c = 0; c < columns.size(); ++c) {
        TGridColumn *column = columns.at(c);
        const TColumnFooter *footer = column->footerFor(footerRow);
        QString text;
        if (footer->valueType() == fvtSum || footer->valueType() == fvtCount) {
            const int field = q ? q->fieldIndex(footer->effectiveFieldName()) : -1;
            const FieldKind kind = field >= 0 ? q->fieldKind(field) : FieldKind::Float;
            text = FooterTotalText(footer, kind, footerValue(c, footerRow));
        } else {
            text = m_grid->footerValueText(footerRow, column);
        }
        PutFooterCell(
            c, footerRow, column, footer->font(), footer->color(), footer->alignment(), text);
    }
}

qint64 TGridExporter::footerValue(int columnIndex, int footerRow) const
{
    const size_t i = size_t(columnIndex) + size_t(footerRow) * size_t(m_columns.size());
    return i < m_footerValues.size() ? m_footerValues[i] : 0;
}

void TGridExporter::writeBytes(const QByteArray &bytes)
{
    if (!m_stream || m_stream->write(bytes) != bytes.size())
        throw FileError(QStringLiteral("Stream write error"));
}

void TGridExporter::accumulateFooters()
{
    AccumulateFooterTotals(m_grid->dataSet(), m_columns, m_grid->footerRowCount(), m_footerValues);
}

void TGridExporter::WriteGridToStream(QIODevice *stream, bool exportAll)
{
    m_stream = stream;
    // The grid has no multi-record selection to export on its own.
    const TGridSelectionType kind = exportAll ? gstAll : gstNon;
    if (kind == gstNon || !m_grid)
        return;

    WalkGuard guard(m_grid);
    m_columns = m_grid->visibleColumns();
    m_footerValues.assign(size_t(m_grid->footerRowCount()) * size_t(m_columns.size()), 0);
    BeginOutput();
    if (m_grid->showTitles())
        PutTitleRow(m_columns);
    Query *q = m_grid->dataSet();
    if (q && q->isActive()) {
        for (q->first(); !q->eof(); q->next()) {
            PutDataRow(m_columns);
            accumulateFooters();
        }
    }
    for (int r = 0; r < m_grid->footerRowCount(); ++r)
        PutFooterRow(m_columns, r);
    guard.restore();
    EndOutput();
}

void TGridExporter::CheckCapacity(bool) const { }

void TGridExporter::WriteGridToFile(const QString &fileName, bool exportAll)
{
    // A refusal must come before the older file is touched.
    CheckCapacity(exportAll);
    const QFileInfo target(fileName);
    const auto cannotCreate = [&](const QString &reason) {
        return FileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(target.absoluteFilePath(), reason));
    };
    if (target.exists() && !target.isFile() && !target.isDir()) {
        // A device or pipe cannot be swapped for a new file: write into it.
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw cannotCreate(file.errorString());
        WriteGridToStream(&file, exportAll);
        // Buffered bytes reach the device here; a full one shows only now.
        if (!file.flush())
            throw FileError(QStringLiteral("Stream write error"));
        return;
    }
    // The bytes go to a temporary file beside the target, which replaces the older
    // file only once the export has completed; a failure leaves that file as it was
    // and the temporary one is removed.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(file.errorString());
    WriteGridToStream(&file, exportAll);
    // Buffered bytes reach the disk in flush(); a full disk shows only there, and
    // commit() alone would not notice.
    if (!file.flush() || file.error() != QFileDevice::NoError || !file.commit())
        throw FileError(QStringLiteral("Stream write error"));
}

void ExportGridToFile(const TGridExporterClass &exporterClass, TRecordGrid *grid,
    const QString &fileName, bool exportAll)
{
    std::unique_ptr<TGridExporter> exporter = exporterClass();
    exporter->setGrid(grid);
    exporter->WriteGridToFile(fileName, exportAll);
}
