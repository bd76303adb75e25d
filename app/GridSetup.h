#pragma once

class DataSource;
class TRecordGrid;

// How the main window's grids are set up: the catalogue grids of the three pages
// and the order grid with its totals.
namespace GridSetup {

// Binds the grid to the data source (following it when it is rebound) and gives it
// the columns of the page's catalogue table, with their widths.
void configureCatalogueGrid(TRecordGrid *grid, int pageIndex, DataSource *source);

// The order list: five columns, the amount shown with two decimals, one footer row
// with "合计" and the totals of copies and amount, totals on from the start.
void configureOrderGrid(TRecordGrid *grid, DataSource *source);

// Switches the order grid's totals on; doing it again changes nothing.
void activateTotals(TRecordGrid *grid);

} // namespace GridSetup
