#pragma once

#include <QDate>
#include <QMainWindow>
#include <memory>

class Connection;
class DataSource;
class DetailPanel;
class Query;
class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;
class QWidget;
class TEditN;
class TfKh;
class TfOrder;
class TGlgBtn;
class TGridPrinter;
class TRecordGrid;

// The working directory captured when the main window is created; the database
// file is looked for there.
extern QString StartupDir;

// The main window: three catalogue pages with search bars and grids, the detail
// panel, and the order list with its commands.
class TfMain : public QMainWindow
{
    Q_OBJECT
public:
    // The dialogs are created by the program entry and live as long as this window.
    explicit TfMain(QWidget *parent = nullptr);
    ~TfMain() override;

    void setDialogs(TfOrder *order, TfKh *customer);

    // Handlers, named after their controls.
    void FormCreate();
    void FormShow();
    void SelectPage(int pageIndex);
    void PageControl1Change();
    void GlgBtn6Click();   // 搜索, page 0
    void GlgBtn8Click();   // 搜索, page 1
    void GlgBtn9Click();   // 搜索, page 2
    void GlgBtn1Click();   // 订阅
    void GlgBtn2Click();   // 退订
    void GlgBtn3Click();   // 修改
    void GlgBtn7Click();   // 清空
    void GlgBtn10Click();  // 修改客户资料
    void GlgBtn5Click();   // 打印
    void GlgBtn4Click();   // 输出

    // The customer as the output commands name it: name, "(地址：", address, ";电话：",
    // telephone, ")" from the stored customer row, untrimmed; empty without one.
    QString CustomerText() const;
    // The current page's label with full-width brackets, e.g. "（邮发报刊）".
    QString PageLabel() const;

    // True when the database could not be opened at start-up; the window is closed
    // and the program ends with a non-zero status.
    bool startupFailed() const { return m_startupFailed; }

    int activePage() const;
    Query *pageQuery(int pageIndex) const;
    TEditN *pageKeyword(int pageIndex) const;

    // Controls and data, with their design names.
    std::unique_ptr<Connection> adoDb;
    Query *qPost, *qPostN, *qOut, *qOrder, *qKh;
    DataSource *dPost, *dPostN, *dOut, *dOrder, *dKh;

    QWidget *Panel2, *Panel3, *Panel4, *Panel5, *Panel7;
    DetailPanel *Panel1;
    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3;
    TEditN *EditN1, *EditN2, *EditN3;
    QCheckBox *cMh, *cMh1, *cMh2;
    TGlgBtn *GlgBtn6, *GlgBtn8, *GlgBtn9;
    TRecordGrid *PostGrid, *NoPostGrid, *ForeignGrid, *OrderGrid;
    TGlgBtn *GlgBtn1, *GlgBtn2, *GlgBtn3, *GlgBtn7, *GlgBtn10, *GlgBtn5, *GlgBtn4;

    TGridPrinter *OrderPrinter;   // prints OrderGrid through the preview

    TfOrder *fOrder = nullptr;
    TfKh *fKh = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct SearchBar {
        QComboBox *combo;
        TEditN *keyword;
        QCheckBox *partial;
        TGlgBtn *search;
    };
    QWidget *makePage(int pageIndex, SearchBar &bar, TRecordGrid *&grid, DataSource *source);
    void buildOrderArea();
    void searchPage(int pageIndex);
    void focusKeyword();
    // Copies, period, full-year price and amount of the order row being written,
    // from the order dialog's texts.
    void assignOrderTerms(const QDate &today);
    bool ask(const QString &question);
    // The start shared by export and print: at least one order line on the page and
    // a stored customer (asking for one when there is none). False: stop.
    bool outputReady();
    void connectCommand(TGlgBtn *button, void (TfMain::*handler)());

    SearchBar m_bars[3];
    bool m_shown = false;
    bool m_startupFailed = false;
};
