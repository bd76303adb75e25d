#include "app/pMain.h"

#include "app/DetailPanel.h"
#include "app/GridSetup.h"
#include "app/HpKh.h"
#include "app/OrderRules.h"
#include "app/WindowStyle.h"
#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/DataSource.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"
#include "controls/EditN.h"
#include "controls/GlgBtn.h"
#include "grid/GridPrinter.h"
#include "grid/PreviewForm.h"
#include "grid/RecordGrid.h"
#include "grid/XlsGridExporter.h"
#include "app/pOrder.h"
#include "platform/Clock.h"
#include "platform/DialogService.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

QString StartupDir;

namespace {
QString fieldName(const char16_t *name)
{
    return QString::fromUtf16(name);
}

// Keeps the order list usable when writing a new line fails half-way: the unsaved
// row is dropped, the page filter is on again and the bound controls are resumed.
class AppendGuard
{
public:
    explicit AppendGuard(Query *q) : m_q(q) { m_q->disableControls(); }
    ~AppendGuard()
    {
        if (!m_done) {
            try {
                if (m_q->state() == Query::State::Insert || m_q->state() == Query::State::Edit)
                    m_q->cancel();
                m_q->setFiltered(true);
            } catch (...) {
            }
        }
        m_q->enableControls();
    }
    void done() { m_done = true; }

private:
    Query *m_q;
    bool m_done = false;
};
}

TfMain::TfMain(QWidget *parent) : QMainWindow(parent), adoDb(std::make_unique<Connection>())
{
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("Tessival"));
    setFont(WindowStyle::songFont());
    resize(992, 593);

    qPost = new Query(this);
    qPostN = new Query(this);
    qOut = new Query(this);
    qOrder = new Query(this);
    qKh = new Query(this);
    for (Query *q : {qPost, qPostN, qOut, qOrder, qKh})
        q->setConnection(adoDb.get());
    qPost->setObjectName(QStringLiteral("qPost"));
    qPostN->setObjectName(QStringLiteral("qPostN"));
    qOut->setObjectName(QStringLiteral("qOut"));
    qOrder->setObjectName(QStringLiteral("qOrder"));
    qKh->setObjectName(QStringLiteral("qKh"));
    // A catalogue page shows its first screen at once and reads the rest of a large
    // result from the event loop; the order and customer queries are read in full.
    for (Query *q : {qPost, qPostN, qOut}) {
        q->setIncremental(true);
        connect(q, &Query::fetchFailed, this, [this](const QString &message) {
            runGuarded(this, [message] { throw DatabaseError(message); });
        });
    }
    qOrder->setSql({QStringLiteral("select * from tOrder")});
    qKh->setSql({QStringLiteral("select * from KH")});

    dPost = new DataSource(this);
    dPostN = new DataSource(this);
    dOut = new DataSource(this);
    dOrder = new DataSource(this);
    dKh = new DataSource(this);
    dPost->setDataSet(qPost);
    dPostN->setDataSet(qPostN);
    dOut->setDataSet(qOut);
    dOrder->setDataSet(qOrder);
    dKh->setDataSet(qKh);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    setCentralWidget(Panel2);
    auto *outer = new QVBoxLayout(Panel2);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    PageControl1 = new QTabWidget(Panel2);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = makePage(0, m_bars[0], PostGrid, dPost);
    TabSheet2 = makePage(1, m_bars[1], NoPostGrid, dPostN);
    TabSheet3 = makePage(2, m_bars[2], ForeignGrid, dOut);
    ComboBox1 = m_bars[0].combo;
    ComboBox2 = m_bars[1].combo;
    ComboBox3 = m_bars[2].combo;
    EditN1 = m_bars[0].keyword;
    EditN2 = m_bars[1].keyword;
    EditN3 = m_bars[2].keyword;
    cMh = m_bars[0].partial;
    cMh1 = m_bars[1].partial;
    cMh2 = m_bars[2].partial;
    GlgBtn6 = m_bars[0].search;
    GlgBtn8 = m_bars[1].search;
    GlgBtn9 = m_bars[2].search;
    outer->addWidget(PageControl1, 1);

    Panel3 = new QWidget(Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(270);
    outer->addWidget(Panel3);
    auto *lower = new QHBoxLayout(Panel3);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    Panel1 = new DetailPanel(dPost, Panel3);
    lower->addWidget(Panel1);
    buildOrderArea();
    lower->addWidget(Panel4, 1);

    OrderPrinter = new TGridPrinter(this);
    OrderPrinter->setObjectName(QStringLiteral("OrderPrinter"));
    OrderPrinter->SetGrid(OrderGrid);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    OrderPrinter->PageHeader.Font = tahoma;
    OrderPrinter->PageFooter.Font = tahoma;
    OrderPrinter->SetUnits(MM);

    connectCommand(GlgBtn6, &TfMain::GlgBtn6Click);
    connectCommand(GlgBtn8, &TfMain::GlgBtn8Click);
    connectCommand(GlgBtn9, &TfMain::GlgBtn9Click);
    connectCommand(GlgBtn1, &TfMain::GlgBtn1Click);
    connectCommand(GlgBtn2, &TfMain::GlgBtn2Click);
    connectCommand(GlgBtn3, &TfMain::GlgBtn3Click);
    connectCommand(GlgBtn7, &TfMain::GlgBtn7Click);
    connectCommand(GlgBtn10, &TfMain::GlgBtn10Click);
    connectCommand(GlgBtn5, &TfMain::GlgBtn5Click);
    connectCommand(GlgBtn4, &TfMain::GlgBtn4Click);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { runGuarded(this, [this] { PageControl1Change(); }); });

    FormCreate();
}

TfMain::~TfMain()
{
    // The grids and the detail panel go before the queries they read.
    delete Panel2;
}

void TfMain::setDialogs(TfOrder *order, TfKh *customer)
{
    fOrder = order;
    fKh = customer;
}

void TfMain::connectCommand(TGlgBtn *button, void (TfMain::*handler)())
{
    connect(button, &TGlgBtn::clicked, this,
            [this, handler] { runGuarded(this, [this, handler] { (this->*handler)(); }); });
}

QWidget *TfMain::makePage(int pageIndex, SearchBar &bar, TRecordGrid *&grid, DataSource *source)
{
    const Tables::Page &page = Tables::page(pageIndex);
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet%1").arg(pageIndex + 1));
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *strip = new QWidget(sheet);
    strip->setFixedHeight(37);
    auto *l1 = new QLabel(QStringLiteral("查询方式："), strip);
    l1->move(8, 11);
    bar.combo = new QComboBox(strip);
    bar.combo->setObjectName(QStringLiteral("ComboBox%1").arg(pageIndex + 1));
    bar.combo->setGeometry(72, 8, 153, 20);
    bar.combo->setEditable(false);
    bar.combo->addItems(page.searchFields);
    bar.combo->setCurrentIndex(0);
    auto *l2 = new QLabel(QStringLiteral("查询关键字："), strip);
    l2->move(272, 12);
    bar.keyword = new TEditN(strip);
    bar.keyword->setObjectName(QStringLiteral("EditN%1").arg(pageIndex + 1));
    bar.keyword->setGeometry(350, 9, 201, 18);
    bar.keyword->setEditType(etString);
    WindowStyle::applyEditSettings(bar.keyword);
    bar.partial = new QCheckBox(QStringLiteral("模糊查询"), strip);
    bar.partial->setObjectName(pageIndex == 0 ? QStringLiteral("cMh")
                                              : QStringLiteral("cMh%1").arg(pageIndex));
    bar.partial->setGeometry(590, 11, 73, 17);
    static const char *searchNames[3] = {"GlgBtn6", "GlgBtn8", "GlgBtn9"};
    bar.search = WindowStyle::button(strip, searchNames[pageIndex], QStringLiteral("搜索"), lgFind,
                                     680, 9, 83, 22);
    layout->addWidget(strip);

    grid = new TRecordGrid(sheet);
    grid->setObjectName(pageIndex == 0 ? QStringLiteral("PostGrid")
                                       : pageIndex == 1 ? QStringLiteral("NoPostGrid")
                                                        : QStringLiteral("ForeignGrid"));
    GridSetup::configureCatalogueGrid(grid, pageIndex, source);
    layout->addWidget(grid, 1);

    PageControl1->addTab(sheet, page.caption);
    // Set once the page sits in the page control: reparenting rebuilds the chain.
    QWidget::setTabOrder(bar.keyword, bar.search);
    QWidget::setTabOrder(bar.search, bar.partial);
    QWidget::setTabOrder(bar.partial, bar.combo);
    return sheet;
}

void TfMain::buildOrderArea()
{
    Panel4 = new QWidget(Panel3);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto *layout = new QVBoxLayout(Panel4);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel5 = new QFrame(Panel4);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFixedHeight(32);
    auto *caption = new QLabel(QStringLiteral(" 订单信息："), Panel5);
    caption->setGeometry(0, 0, 79, 32);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    GlgBtn1 = WindowStyle::button(Panel5, "GlgBtn1", QStringLiteral("订阅"), lgLower, 79, 4, 85, 22);
    GlgBtn2 = WindowStyle::button(Panel5, "GlgBtn2", QStringLiteral("退订"), lgUp, 176, 4, 85, 22);
    GlgBtn3 = WindowStyle::button(Panel5, "GlgBtn3", QStringLiteral("修改"), lgWrite, 279, 4, 85, 22);
    layout->addWidget(Panel5);

    OrderGrid = new TRecordGrid(Panel4);
    OrderGrid->setObjectName(QStringLiteral("OrderGrid"));
    GridSetup::configureOrderGrid(OrderGrid, dOrder);
    layout->addWidget(OrderGrid, 1);

    Panel7 = new QFrame(Panel4);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->setFixedHeight(41);
    GlgBtn7 = WindowStyle::button(Panel7, "GlgBtn7", QStringLiteral("清空"), lgNo, 8, 14, 73, 22);
    GlgBtn10 = WindowStyle::button(Panel7, "GlgBtn10", QStringLiteral("修改客户资料"), lgWrite, 87,
                                   14, 100, 22);
    GlgBtn5 = WindowStyle::button(Panel7, "GlgBtn5", QStringLiteral("打印"), lgPrint, 193, 14, 82, 22);
    GlgBtn4 = WindowStyle::button(Panel7, "GlgBtn4", QStringLiteral("输出"), lgExcel, 281, 14, 85, 22);
    layout->addWidget(Panel7);
}

void TfMain::FormCreate()
{
    StartupDir = QDir::currentPath();
}

void TfMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    runGuarded(this, [this] { FormShow(); });
}

void TfMain::FormShow()
{
    if (adoDb->isConnected())
        adoDb->close();
    adoDb->setConnectionString(Tables::connectionText(StartupDir));
    try {
        adoDb->open();
    } catch (const std::exception &) {
        DialogService::instance()->messageBox(this, QStringLiteral("温馨提示：不能打开数据库文件。"),
                                              QStringLiteral("出错提示"),
                                              MessageFlags::Ok | MessageFlags::IconWarning);
        m_startupFailed = true;
        close();
        QCoreApplication::exit(1);
        return;
    }
    qOrder->open();
    qKh->open();
    SelectPage(PageControl1->currentIndex());
}

int TfMain::activePage() const
{
    return PageControl1->currentIndex();
}

Query *TfMain::pageQuery(int pageIndex) const
{
    return pageIndex == 0 ? qPost : pageIndex == 1 ? qPostN : qOut;
}

TEditN *TfMain::pageKeyword(int pageIndex) const
{
    return m_bars[qBound(0, pageIndex, 2)].keyword;
}

void TfMain::focusKeyword()
{
    pageKeyword(activePage())->setFocus();
}

void TfMain::searchPage(int pageIndex)
{
    const SearchBar &bar = m_bars[pageIndex];
    Query *q = pageQuery(pageIndex);
    q->setSql({Tables::catalogueStatement(pageIndex)});
    q->setParameters({});

    const QString keyword = trimControl(bar.keyword->text());
    if (!keyword.isEmpty()) {
        // The field comes only from the fixed list; the keyword is always bound as a
        // parameter, never spliced into the statement.
        const QString field = bar.combo->currentText();
        if (!Tables::page(pageIndex).searchFields.contains(field))
            throw DatabaseError(QStringLiteral("查询字段无效：%1").arg(field));
        if (bar.partial->isChecked()) {
            QString pattern = keyword;
            pattern.replace(u'\\', QStringLiteral("\\\\"));
            pattern.replace(u'%', QStringLiteral("\\%"));
            pattern.replace(u'_', QStringLiteral("\\_"));
            q->addSqlLine(QStringLiteral(" where ") + field + QStringLiteral(" like ? escape '\\'"));
            q->setParameters({QStringLiteral("%") + pattern + QStringLiteral("%")});
        } else {
            q->addSqlLine(QStringLiteral(" where ") + field + QStringLiteral(" = ? collate nocase"));
            q->setParameters({keyword});
        }
    }
    q->open();
    GlgBtn1->setFocus();
}

void TfMain::GlgBtn6Click() { searchPage(0); }
void TfMain::GlgBtn8Click() { searchPage(1); }
void TfMain::GlgBtn9Click() { searchPage(2); }

void TfMain::SelectPage(int pageIndex)
{
    // The order list follows the page before the search runs: a search that fails
    // must not leave the previous page's lines under this page's commands.
    qOrder->setFilter(fieldName(Tables::F::Type) + u'=' + QString::number(pageIndex), true);
    // A result of a page being left that is still arriving is dropped, not read on
    // behind the new page; coming back searches that page again anyway.
    for (int other = 0; other < 3; ++other)
        if (other != pageIndex && pageQuery(other)->isFetching())
            pageQuery(other)->close();
    dPost->setDataSet(pageQuery(pageIndex));
    searchPage(pageIndex);
}

void TfMain::PageControl1Change()
{
    SelectPage(activePage());
    GridSetup::activateTotals(OrderGrid);
}

bool TfMain::ask(const QString &question)
{
    return DialogService::instance()->messageBox(
               this, question, QStringLiteral("请回答"),
               MessageFlags::OkCancel | MessageFlags::IconQuestion | MessageFlags::DefButton2)
        == IdOk;
}

void TfMain::GlgBtn1Click()
{
    using namespace Tables::F;
    const int pageIndex = activePage();
    Query *q = pageQuery(pageIndex);
    if (!q->isActive() || q->recordCount() == 0) {
        DialogService::instance()->messageBox(this, QStringLiteral("温馨提示：没有报刊资料。"),
                                              QStringLiteral("提示"),
                                              MessageFlags::Ok | MessageFlags::IconWarning);
        focusKeyword();
        return;
    }
    const QString code = trimControl(q->fieldByName(fieldName(Code)).asString());
    const QString name = trimControl(q->fieldByName(fieldName(Name)).asString());
    const QString yearPrice = generalNumberText(q->fieldByName(fieldName(YearPrice)).asFloat());
    const QString monthPrice = generalNumberText(q->fieldByName(fieldName(MonthPrice)).asFloat());
    const QDate today = Clock::instance()->today();

    fOrder->PublicationType = pageIndex;
    fOrder->EditN1->setText(code);
    fOrder->EditN2->setText(name);
    fOrder->EditN3->setText(yearPrice);
    fOrder->EditN7->setText(monthPrice);
    if (today.month() <= 8)
        fOrder->EditN5->setText(QString::number(today.month() + 1));

    if (DialogService::instance()->execModal(fOrder) != IdOk) {
        focusKeyword();
        return;
    }

    {
        AppendGuard guard(qOrder);
        qOrder->setFiltered(false);
        qOrder->append();
        qOrder->fieldByName(fieldName(Code)).setAsString(fOrder->EditN1->text());
        qOrder->fieldByName(fieldName(Name)).setAsString(fOrder->EditN2->text());
        qOrder->fieldByName(fieldName(Type)).setAsInteger(pageIndex);
        assignOrderTerms(today);
        qOrder->post();
        qOrder->setFiltered(true);
        guard.done();
    }
    focusKeyword();
}

void TfMain::assignOrderTerms(const QDate &today)
{
    using namespace Tables::F;
    // The amount comes last: it is computed from the values the row now holds.
    const QString first = fOrder->EditN5->text();
    const QString last = fOrder->EditN6->text();
    qOrder->fieldByName(fieldName(Copies)).setAsInteger(strToInt(fOrder->EditN4->text()));
    qOrder->fieldByName(fieldName(Period))
        .setAsString(OrderRules::periodText(OrderRules::subscriptionYear(today), strToInt(first),
                                            strToInt(last)));
    qOrder->fieldByName(fieldName(YearPrice)).setAsFloat(strToFloat(fOrder->EditN3->text()));
    qOrder->fieldByName(fieldName(Amount))
        .setAsFloat(OrderRules::amount(first, last,
                                       qOrder->fieldByName(fieldName(Copies)).asInteger(),
                                       qOrder->fieldByName(fieldName(YearPrice)).asFloat(),
                                       qOrder->fieldByName(fieldName(MonthPrice)).asFloat()));
}

void TfMain::GlgBtn3Click()
{
    using namespace Tables::F;
    if (!qOrder->isActive() || qOrder->recordCount() == 0)
        return;
    const QString period = qOrder->fieldByName(fieldName(Period)).asString();
    fOrder->EditN1->setText(qOrder->fieldByName(fieldName(Code)).asString());
    fOrder->EditN2->setText(qOrder->fieldByName(fieldName(Name)).asString());
    fOrder->EditN3->setText(generalNumberText(qOrder->fieldByName(fieldName(YearPrice)).asFloat()));
    fOrder->EditN4->setText(QString::number(qOrder->fieldByName(fieldName(Copies)).asInteger()));
    fOrder->PublicationType = activePage();
    fOrder->EditN5->setText(OrderRules::firstMonthOf(period));
    fOrder->EditN6->setText(OrderRules::lastMonthOf(period));

    if (DialogService::instance()->execModal(fOrder) != IdOk) {
        focusKeyword();
        return;
    }

    const QDate today = Clock::instance()->today();
    qOrder->edit();
    try {
        assignOrderTerms(today);
        qOrder->post();
    } catch (...) {
        // Leave the line as it was stored rather than half-edited.
        if (qOrder->state() == Query::State::Edit)
            qOrder->cancel();
        throw;
    }
    focusKeyword();
}

void TfMain::GlgBtn2Click()
{
    if (!qOrder->isActive() || qOrder->recordCount() == 0)
        return;
    if (!ask(QStringLiteral("温馨提示：真的要删除此报刊吗？")))
        return;
    qOrder->deleteRecord();
    focusKeyword();
}

void TfMain::GlgBtn7Click()
{
    if (!ask(QStringLiteral("温馨提示：真的要清空订阅资料吗？")))
        return;
    if (!qOrder->isActive())
        return;
    qOrder->disableControls();
    try {
        while (qOrder->recordCount() > 0)
            qOrder->deleteRecord();
    } catch (...) {
        qOrder->enableControls();
        throw;
    }
    qOrder->enableControls();
}

void TfMain::GlgBtn10Click()
{
    using namespace Tables::F;
    if (qKh->recordCount() > 0) {
        qKh->first();
        fKh->EditN1->setText(qKh->fieldByName(fieldName(CustName)).asString());
        fKh->EditN2->setText(qKh->fieldByName(fieldName(Address)).asString());
        fKh->EditN3->setText(qKh->fieldByName(fieldName(Phone)).asString());
    }
    if (DialogService::instance()->execModal(fKh) != IdOk)
        return;
    if (qKh->recordCount() == 0) {
        qKh->append();
    } else {
        qKh->first();
        qKh->edit();
    }
    try {
        qKh->fieldByName(fieldName(CustName)).setAsString(trimControl(fKh->EditN1->text()));
        qKh->fieldByName(fieldName(Address)).setAsString(trimControl(fKh->EditN2->text()));
        qKh->fieldByName(fieldName(Phone)).setAsString(trimControl(fKh->EditN3->text()));
        qKh->post();
    } catch (...) {
        if (qKh->state() != Query::State::Browse)
            qKh->cancel();
        throw;
    }
}

void TfMain::GlgBtn5Click()
{
    using namespace Tables::F;
    if (!outputReady())
        return;
    TPageColontitle &header = OrderPrinter->PageHeader;
    header.CenterText.clear();
    header.CenterText << QStringLiteral("报刊订阅清单") + PageLabel();
    qKh->first();
    header.LeftText.clear();
    header.LeftText << QString()
                    << QStringLiteral("客户名称：") + qKh->fieldByName(fieldName(CustName)).asString()
                    << QStringLiteral("客户地址：") + qKh->fieldByName(fieldName(Address)).asString()
                    << QStringLiteral("联系电话：") + qKh->fieldByName(fieldName(Phone)).asString();
    QString pdfName = CustomerText() + PageLabel() + QStringLiteral(".pdf");
    pdfName.replace(QLatin1Char('/'), QChar(0xFF0F));
    SetPreviewPdfFileName(pdfName);
    OrderPrinter->ShowPreview();
}

bool TfMain::outputReady()
{
    if (!qOrder->isActive() || qOrder->recordCount() == 0) {
        DialogService::instance()->messageBox(this, QStringLiteral("温馨提示：没有订阅资料"),
                                              QStringLiteral("提示"),
                                              MessageFlags::Ok | MessageFlags::IconWarning);
        return false;
    }
    if (qKh->recordCount() == 0)
        GlgBtn10Click();
    return qKh->recordCount() > 0;
}

QString TfMain::CustomerText() const
{
    using namespace Tables::F;
    if (!qKh->isActive() || qKh->recordCount() == 0)
        return QString();
    qKh->first();
    return qKh->fieldByName(fieldName(CustName)).asString() + QStringLiteral("(地址：")
        + qKh->fieldByName(fieldName(Address)).asString() + QStringLiteral(";电话：")
        + qKh->fieldByName(fieldName(Phone)).asString() + QStringLiteral(")");
}

QString TfMain::PageLabel() const
{
    return Tables::page(activePage()).label;
}

void TfMain::GlgBtn4Click()
{
    if (!outputReady())
        return;
    DialogService::SaveRequest request;
    // A '/' in a customer detail would make the proposal point into a folder; the
    // full-width slash reads the same and keeps it one file name.
    request.fileName = CustomerText() + PageLabel() + QStringLiteral(".xls");
    request.fileName.replace(QLatin1Char('/'), QChar(0xFF0F));
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = QStringLiteral("xls (*.xls)");
    request.confirmOverwrite = true;
    const QString fileName = DialogService::instance()->getSaveFileName(this, request);
    if (fileName.isEmpty())
        return;
    ExportGridToFile(exporterClass<TXlsGridExporter>(), OrderGrid, fileName, true);
}
