#pragma once

#include "FakeDialogService.h"
#include "TestDatabase.h"

#include "app/HpKh.h"
#include "app/pMain.h"
#include "app/pOrder.h"
#include "platform/Clock.h"

#include "controls/EditN.h"
#include "controls/GlgBtn.h"

#include <QDir>
#include <QStringList>
#include <functional>
#include <memory>

// The program's three windows over a test database, started from the database's
// directory, with scripted dialogs and a fixed clock.
class MainFixture
{
public:
    explicit MainFixture(TestDatabase &db, const QDate &today = QDate(2008, 3, 15))
        : clock(QDateTime(today, QTime(10, 0)))
    {
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(db.dir());
        Clock::setInstance(&clock);
        main = std::make_unique<TfMain>();
        order = new TfOrder(main.get());
        customer = new TfKh(main.get());
        main->setDialogs(order, customer);
    }
    ~MainFixture()
    {
        main.reset();
        Clock::setInstance(nullptr);
        QDir::setCurrent(m_oldDir);
    }

    // Shows the main window, which connects and selects page 0.
    void start()
    {
        main->show();
        main->activateWindow();
    }

    FakeDialogService dialogs;
    FixedClock clock;
    std::unique_ptr<TfMain> main;
    TfOrder *order = nullptr;
    TfKh *customer = nullptr;

private:
    QString m_oldDir;
};

// Fills the customer dialog and presses "确认"; other dialogs are cancelled.
inline std::function<int(QDialog *)> confirmCustomer(TfKh *k, const QStringList &typed)
{
    return [k, typed](QDialog *d) {
        if (d != k)
            return int(IdCancel);
        k->show();
        k->EditN1->setText(typed[0]);
        k->EditN2->setText(typed[1]);
        k->EditN3->setText(typed[2]);
        k->setResult(0);
        k->GlgBtn1->click();
        return k->result() == QDialog::Accepted ? int(IdOk) : int(IdCancel);
    };
}
