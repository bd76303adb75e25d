#include "app/GridSetup.h"

#include "app/WindowStyle.h"
#include "app/data/DataSource.h"
#include "app/data/Tables.h"
#include "grid/ColumnFooter.h"
#include "grid/DBSumList.h"
#include "grid/GridColumn.h"
#include "grid/RecordGrid.h"

#include <QObject>

namespace GridSetup {

namespace {
void follow(TRecordGrid *grid, DataSource *source)
{
    grid->setDataSet(source->dataSet());
    QObject::connect(source, &DataSource::dataSetChanged, grid, &TRecordGrid::setDataSet);
}

QColor fromBgr(unsigned value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
}

void configureCatalogueGrid(TRecordGrid *grid, int pageIndex, DataSource *source)
{
    grid->setFont(WindowStyle::songFont());
    grid->setOddRowColor(fromBgr(16119275));
    for (const QString &field : Tables::page(pageIndex).gridFields)
        grid->addColumn(field, field, Tables::catalogueColumnWidth(field));
    follow(grid, source);
}

void configureOrderGrid(TRecordGrid *grid, DataSource *source)
{
    using namespace Tables::F;
    grid->setFont(WindowStyle::songFont());
    grid->setOddRowColor(fromBgr(16119275));
    struct Col {
        const char16_t *field;
        int width;
    };
    for (const Col &c : {Col{Code, 66}, Col{Name, 250}, Col{Copies, 50}, Col{Period, 130},
                         Col{Amount, 60}}) {
        const QString name = QString::fromUtf16(c.field);
        grid->addColumn(name, name, c.width);
    }
    grid->column(4)->setDisplayFormat(QStringLiteral("0.00"));

    grid->setFooterRowCount(1);
    grid->setFooterColor(fromBgr(12121084));
    grid->setFooterFont(WindowStyle::songFont());
    grid->column(0)->footer()->setValueType(fvtStaticText);
    grid->column(0)->footer()->setValue(QStringLiteral("合计"));
    grid->column(2)->footer()->setValueType(fvtSum);
    grid->column(4)->footer()->setValueType(fvtSum);
    follow(grid, source);
    activateTotals(grid);
}

void activateTotals(TRecordGrid *grid)
{
    grid->sumList()->setActive(true);
}

} // namespace GridSetup
