#include "grid/RecordGrid.h"

#include "app/data/Query.h"
#include "grid/FixedPoint.h"
#include "grid/GridColor.h"
#include "grid/GridFooter.h"
#include "grid/NumberFormat.h"
#include "grid/RecordGridModel.h"
#include "grid/RowIndicator.h"
#include "platform/ErrorReport.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

TRecordGrid::TRecordGrid(QWidget *parent)
    : QFrame(parent)
    , m_sumList(std::make_unique<TGridSumList>())
    , m_footerColor(palette().color(QPalette::Active, QPalette::Base))
    , m_footerFont(font())
    , m_oddRowColor(colorFromBgr(DefaultOddRowColor))
    , m_cellColor(palette().color(QPalette::Active, QPalette::Base))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    m_view = new QTableView(this);
    m_model = new TRecordGridModel(this);
    m_indicator = new TRowIndicator(m_view);
    m_footer = new TGridFooter(this);
    m_hbar = new QScrollBar(Qt::Horizontal, this);

    m_view->setFrameStyle(QFrame::NoFrame);
    m_view->setVerticalHeader(m_indicator);
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setShowGrid(true);
    m_view->setWordWrap(false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_indicator->setDefaultSectionSize(QFontMetrics(font()).height() + 4);

    // The selected row stays marked when the grid does not have the focus.
    QPalette pal = m_view->palette();
    for (auto role : { QPalette::Highlight, QPalette::HighlightedText })
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    m_view->setPalette(pal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);
    layout->addWidget(m_hbar);
    m_footer->setVisible(false);
    m_hbar->setVisible(false);

    // Our own horizontal scroll bar sits under the footer, so the footer lies directly
    // under the rows; it mirrors the view's.
    QScrollBar *inner = m_view->horizontalScrollBar();
    connect(inner, &QAbstractSlider::rangeChanged, this, [this, inner](int min, int max) {
        m_hbar->setRange(min, max);
        m_hbar->setPageStep(inner->pageStep());
        m_hbar->setSingleStep(inner->singleStep());
        m_hbar->setVisible(max > min);
    });
    connect(inner, &QAbstractSlider::valueChanged, m_hbar, &QAbstractSlider::setValue);
    connect(m_hbar, &QAbstractSlider::valueChanged, inner, &QAbstractSlider::setValue);
    connect(inner, &QAbstractSlider::valueChanged, m_footer, qOverload<>(&QWidget::update));

    QHeaderView *header = m_view->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (!m_applyingGeometry && logical >= 0 && logical < columnCount())
            column(logical)->m_width = size; // the user's width is the column's width
        m_footer->update();
    });
    connect(header, &QHeaderView::sectionMoved, m_footer, qOverload<>(&QWidget::update));
    connect(header, &QHeaderView::geometriesChanged, m_footer, qOverload<>(&QWidget::update));

    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
        [this] { m_applyingGeometry = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyColumnGeometry(); });
    connect(
        m_model, &TRecordGridModel::currentRecordChanged, this, &TRecordGrid::selectCurrentRecord);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid())
                viewRowChanged(current.row());
        });

    connect(m_sumList.get(), &TDBSumListProducer::SumListChanged, m_footer,
        qOverload<>(&QWidget::update));
    connect(
        m_sumList.get(), &TDBSumListProducer::RecalcAll, this, &TRecordGrid::OnSumListRecalcAll);
    connect(m_sumList.get(), &TDBSumListProducer::AfterRecalcAll, this,
        &TRecordGrid::OnSumListAfterRecalcAll);
}

TRecordGrid::~TRecordGrid()
{
    // No recounts and no repaints while the columns and their footers go.
    m_destroying = true;
    m_sumList->disconnect(this);
    m_sumList->disconnect(m_footer);
    m_sumList->setActive(false);
    m_model->setDataSet(nullptr);
    // The view, its scroll bar and header and the model would otherwise go only in
    // the base class's destructor, after this grid's members; their signals (a
    // range change while the view is torn down) and the model's questions about
    // the columns must never reach a grid that is already gone. So they are cut
    // off and deleted here, view first, while everything they use still exists.
    for (QObject *source : std::initializer_list<QObject *> { m_view->horizontalScrollBar(),
             m_view->horizontalHeader(), m_view->selectionModel(), m_model, m_hbar }) {
        QObject::disconnect(source, nullptr, this, nullptr);
        QObject::disconnect(source, nullptr, m_hbar, nullptr);
        QObject::disconnect(source, nullptr, m_footer, nullptr);
    }
    delete m_view;
    m_view = nullptr;
    m_indicator = nullptr; // was the view's child
    delete m_model;
    m_model = nullptr;
    delete m_footer;
    m_footer = nullptr;
    delete m_hbar;
    m_hbar = nullptr;
    m_columns.clear();
}

void TRecordGrid::setDataSet(Query *dataSet)
{
    if (dataSet == m_dataSet)
        return;
    m_dataSet = dataSet;
    m_model->setDataSet(dataSet);
    m_sumList->setDataSet(dataSet);
    m_footer->update();
}

TGridColumn *TRecordGrid::addColumn(const QString &fieldName, const QString &title, int width)
{
    m_columns.push_back(std::make_unique<TGridColumn>(this, fieldName));
    TGridColumn *col = m_columns.back().get();
    if (!title.isEmpty())
        col->m_title = title;
    col->m_width = qMax(0, width);
    m_model->resetAll();
    return col;
}

void TRecordGrid::addColumnsForAllFields()
{
    clearColumns();
    if (!m_dataSet)
        return;
    for (int i = 0; i < m_dataSet->fieldCount(); ++i)
        addColumn(m_dataSet->fieldName(i));
}

void TRecordGrid::clearColumns()
{
    if (m_columns.empty())
        return;
    m_sumList->sumCollection()->beginUpdate();
    for (const auto &col : m_columns) {
        dropSumItem(col->m_footer.get());
        for (const auto &f : col->m_footers)
            dropSumItem(f.get());
    }
    m_columns.clear();
    m_model->resetAll();
    m_sumList->sumCollection()->endUpdate();
    m_footer->update();
}

TGridColumn *TRecordGrid::columnByField(const QString &fieldName) const
{
    for (const auto &col : m_columns)
        if (col->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return col.get();
    return nullptr;
}

QList<TGridColumn *> TRecordGrid::visibleColumns() const
{
    QList<TGridColumn *> out;
    for (const auto &col : m_columns)
        if (col->visible())
            out << col.get();
    return out;
}

void TRecordGrid::setFooterRowCount(int rows)
{
    rows = qBound(0, rows, 100);
    if (rows == m_footerRowCount)
        return;
    m_footerRowCount = rows;
    updateFooterGeometry();
}

void TRecordGrid::setFooterColor(const QColor &c)
{
    m_footerColor = c;
    m_footer->update();
}

void TRecordGrid::setFooterFont(const QFont &f)
{
    m_footerFont = f;
    updateFooterGeometry();
}

int TRecordGrid::footerRowHeight() const
{
    return QFontMetrics(m_footerFont).height() + 4;
}

void TRecordGrid::updateFooterGeometry()
{
    m_footer->setFixedHeight(m_footerRowCount * footerRowHeight());
    m_footer->setVisible(m_footerRowCount > 0);
    m_footer->updateGeometry();
    m_footer->update();
}

void TRecordGrid::setOddRowColor(const QColor &c)
{
    m_oddRowColor = c;
    m_model->refreshColumns();
}

void TRecordGrid::setCellColor(const QColor &c)
{
    m_cellColor = c;
    m_model->refreshColumns();
}

void TRecordGrid::setShowTitles(bool on)
{
    m_showTitles = on;
    m_view->horizontalHeader()->setVisible(on);
}

QString TRecordGrid::footerValueText(int footerRow, const TGridColumn *column) const
{
    if (!column)
        return QString();
    const TColumnFooter *footer = column->footerFor(footerRow);
    const Query *q = m_dataSet;
    switch (footer->valueType()) {
    case fvtNon:
        return QString();
    case fvtStaticText:
        return footer->value();
    case fvtSum:
    case fvtAvg: {
        const QString name = footer->effectiveFieldName();
        const int field = q && !name.isEmpty() ? q->fieldIndex(name) : -1;
        if (field < 0)
            return QStringLiteral("0");
        const qint64 total
            = m_sumList->runningTotal(footer->valueType() == fvtSum ? goSum : goAvg, name);
        const FieldKind kind = q->fieldKind(field);
        if (kind == FieldKind::Text)
            return QStringLiteral("0");
        if (!footer->displayFormat().isEmpty())
            return formatNumberMask(footer->displayFormat(), FixedPoint::toDouble(total));
        // Never the column's cell format: a total of 12.5 reads "12.5".
        return kind == FieldKind::Integer ? FixedPoint::formatInteger(total)
                                          : FixedPoint::formatGeneral(total);
    }
    case fvtCount: {
        const qint64 count = FixedPoint::toInteger(m_sumList->runningTotal(goCount, QString()));
        if (!footer->displayFormat().isEmpty())
            return formatNumberMask(footer->displayFormat(), double(count));
        return QString::number(count);
    }
    case fvtFieldValue: {
        if (!q || !q->isActive() || q->recNo() < 0)
            return QString();
        const int field = q->fieldIndex(footer->effectiveFieldName());
        if (field < 0)
            return QString();
        if (footer->displayFormat().isEmpty())
            return q->displayTextAt(q->recNo(), field);
        const QVariant v = q->valueAt(q->recNo(), field);
        if (!v.isValid() || v.isNull())
            return QString();
        return formatNumberMask(footer->displayFormat(), v.toDouble());
    }
    }
    return QString();
}

void TRecordGrid::columnChanged(TGridColumn *, bool layout)
{
    if (m_destroying)
        return;
    if (layout)
        applyColumnGeometry();
    m_model->refreshColumns();
    m_footer->update();
}

void TRecordGrid::footerChanged(TColumnFooter *footer, bool totalsAffected)
{
    if (m_destroying)
        return;
    if (totalsAffected)
        syncSumItem(footer);
    m_footer->update();
}

void TRecordGrid::syncSumItem(TColumnFooter *footer)
{
    TDBSumCollection *items = m_sumList->sumCollection();
    TGroupOperation op = goSum;
    QString field;
    switch (footer->valueType()) {
    case fvtSum:
        op = goSum;
        field = footer->effectiveFieldName();
        break;
    case fvtAvg:
        op = goAvg;
        field = footer->effectiveFieldName();
        break;
    case fvtCount:
        op = goCount;
        break;
    default:
        dropSumItem(footer);
        return;
    }
    items->beginUpdate();
    if (!footer->m_sumItem)
        footer->m_sumItem = items->add();
    footer->m_sumItem->setGroupOperation(op);
    footer->m_sumItem->setFieldName(field);
    items->endUpdate();
}

void TRecordGrid::dropSumItem(TColumnFooter *footer)
{
    if (!footer->m_sumItem)
        return;
    TDBSum *item = footer->m_sumItem;
    footer->m_sumItem = nullptr;
    m_sumList->sumCollection()->remove(item);
}

void TRecordGrid::applyColumnGeometry()
{
    m_applyingGeometry = true;
    for (int i = 0; i < columnCount(); ++i) {
        const TGridColumn *col = column(i);
        m_view->setColumnWidth(i, col->width());
        m_view->setColumnHidden(i, !col->visible());
    }
    m_applyingGeometry = false;
    m_footer->update();
}

void TRecordGrid::selectCurrentRecord(int position)
{
    m_syncing = true;
    QItemSelectionModel *sel = m_view->selectionModel();
    if (position < 0 || position >= m_model->rowCount() || columnCount() == 0) {
        sel->clear();
        m_indicator->setCurrentRow(-1);
    } else {
        int col = 0;
        while (col < columnCount() - 1 && m_view->isColumnHidden(col))
            ++col;
        // Bring the row into view without losing the user's sideways scrolling.
        QScrollBar *sideways = m_view->horizontalScrollBar();
        const int x = sideways->value();
        const QModelIndex index = m_model->index(position, col);
        sel->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
        sideways->setValue(x);
        m_indicator->setCurrentRow(position);
    }
    m_syncing = false;
}

void TRecordGrid::viewRowChanged(int row)
{
    if (m_syncing || !m_dataSet || !m_dataSet->isActive())
        return;
    if (row == m_dataSet->recNo())
        return;
    Query *q = m_dataSet;
    runGuarded(this, [q, row] { q->setRecNo(row); });
    // When the data set did not move there (an error, a listener moving it elsewhere),
    // the selection goes back to its current record.
    if (m_dataSet && m_dataSet->recNo() != row)
        selectCurrentRecord(m_dataSet->recNo());
}

TRecordGrid::Position TRecordGrid::savePosition() const
{
    Position p;
    if (m_dataSet && m_dataSet->isActive())
        p.bookmark = m_dataSet->bookmark();
    p.scrollX = m_view->horizontalScrollBar()->value();
    p.scrollY = m_view->verticalScrollBar()->value();
    return p;
}

void TRecordGrid::restorePosition(const Position &position)
{
    if (m_dataSet && m_dataSet->isActive() && position.bookmark != 0)
        m_dataSet->gotoBookmark(position.bookmark);
    m_view->horizontalScrollBar()->setValue(position.scrollX);
    m_view->verticalScrollBar()->setValue(position.scrollY);
}

QFont TRecordGrid::titleFont() const
{
    return m_view->horizontalHeader()->font();
}

void TRecordGrid::setTitleFont(const QFont &f)
{
    m_view->horizontalHeader()->setFont(f);
}

void TRecordGrid::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_indicator->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
        m_model->refreshColumns();
    }
}
