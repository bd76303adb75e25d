// The hint controller: its delay, the boxes that ask it to show their text, the
// events that take the hint away, and where and how the hint window appears.
#include "controls/EditN.h"
#include "controls/HintController.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kLong = "a text far too long for a narrow box & more";

// A window with two narrow boxes holding a long text, a wide box holding a short
// one and a plain edit that has the focus. The boxes have the program's look: a
// flat single border.
struct Form
{
    QWidget window;
    TEditN *narrow;
    TEditN *other;
    TEditN *wide;
    QLineEdit *plain;
    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        narrow = new TEditN(&window);
        other = new TEditN(&window);
        wide = new TEditN(&window);
        plain = new QLineEdit(&window);
        for (TEditN *e : { narrow, other, wide })
            e->setFrame(true);
        narrow->setFixedWidth(40);
        other->setFixedWidth(40);
        wide->setFixedWidth(300);
        narrow->setText(kLong);
        other->setText(kLong);
        wide->setText("ab");
        for (QWidget *w : { static_cast<QWidget *>(narrow), static_cast<QWidget *>(other),
                 static_cast<QWidget *>(wide), static_cast<QWidget *>(plain) })
            layout->addWidget(w);
        plain->setFocus();
        window.move(50, 50);
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
};

void moveOver(QWidget *w, Qt::MouseButtons buttons = Qt::NoButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF local(3, 3);
    QMouseEvent event(
        QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestHint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_hints = std::make_unique<THintController>();
        QCOMPARE(THintController::instance(), m_hints.get());
    }
    void init() { m_hints->setManualTicks(true); }
    void cleanup() { m_hints->CancelHint(); }

    void delayAndStates();
    void realTimerShowsAfterTwoTicks();
    void cancels_data();
    void cancels();
    void movesThatStartNothing_data();
    void movesThatStartNothing();
    void textHintOffStillHides();
    void fitTest_data();
    void fitTest();
    void fitMargins_data();
    void fitMargins();
    void hintGeometryAndLook();
    void ampersandShownAsItself();
    void keepOnDesktop_data();
    void keepOnDesktop();

private:
    void showFor(TEditN *box)
    {
        moveOver(box);
        m_hints->TimerTick();
        m_hints->TimerTick();
    }
    std::unique_ptr<THintController> m_hints;
};

void TestHint::delayAndStates()
{
    Form f;
    QVERIFY(f.ready());
    moveOver(f.narrow);
    QCOMPARE(m_hints->HintState(), int(THintController::Waiting));
    QCOMPARE(m_hints->CurrentEdit(), f.narrow);
    QVERIFY(m_hints->TimerActive());
    m_hints->TimerTick();
    QCOMPARE(m_hints->Ticks(), 1);
    moveOver(f.narrow); // moving on over the same box does not restart the wait
    QCOMPARE(m_hints->Ticks(), 1);
    QVERIFY(!m_hints->isVisible());
    m_hints->TimerTick();
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    QVERIFY(m_hints->isVisible());
    QCOMPARE(m_hints->Caption(), kLong);
    m_hints->TimerTick(); // ticks while shown do nothing
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    QVERIFY(m_hints->TimerActive());

    // A text that fits: back to idle at the second tick.
    showFor(f.wide);
    QCOMPARE(m_hints->HintState(), int(THintController::Idle));
    QCOMPARE(m_hints->CurrentEdit(), nullptr);
    QVERIFY(!m_hints->TimerActive());
    QVERIFY(!m_hints->isVisible());
}

void TestHint::realTimerShowsAfterTwoTicks()
{
    Form f;
    QVERIFY(f.ready());
    m_hints->setManualTicks(false);
    moveOver(f.narrow);
    QCOMPARE(m_hints->HintState(), int(THintController::Waiting));
    QTRY_COMPARE(m_hints->HintState(), int(THintController::Shown));
}

void TestHint::cancels_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("shown");
    for (bool shown : { false, true }) {
        for (const char *event : { "mouse press", "key press", "mouse leave", "focus exit",
                 "other box", "box destroyed", "mouse over hint", "box hidden", "box disabled",
                 "window hidden", "window closed", "window deactivated" }) {
            if (!shown && QByteArray(event) == "mouse over hint")
                continue;
            QTest::addRow("%s while %s", event, shown ? "shown" : "waiting")
                << QString(event) << shown;
        }
    }
}

void TestHint::cancels()
{
    QFETCH(QString, event);
    QFETCH(bool, shown);
    Form f;
    QVERIFY(f.ready());
    if (event == "focus exit") {
        // The hint of a box that takes the focus stays until the box loses it.
        if (shown) {
            showFor(f.narrow);
            f.narrow->setFocus();
        } else {
            f.narrow->setFocus();
            m_hints->BeginWait(f.narrow);
        }
    } else if (shown) {
        showFor(f.narrow);
    } else {
        moveOver(f.narrow);
    }
    QCOMPARE(m_hints->HintState(), shown ? 2 : 1);
    QCOMPARE(m_hints->isVisible(), shown);
    const qsizetype registered = m_hints->Edits().size();

    if (event == "mouse press") {
        QTest::mousePress(f.narrow, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    } else if (event == "key press") {
        QTest::keyClick(f.narrow, Qt::Key_Right);
    } else if (event == "mouse leave") {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.narrow, &leave);
    } else if (event == "focus exit") {
        f.plain->setFocus();
    } else if (event == "other box") {
        moveOver(f.other);
    } else if (event == "box destroyed") {
        delete f.narrow;
    } else if (event == "mouse over hint") {
        moveOver(m_hints.get());
    } else if (event == "box hidden") {
        f.narrow->hide();
    } else if (event == "box disabled") {
        f.narrow->setEnabled(false);
    } else if (event == "window hidden") {
        f.window.hide();
    } else if (event == "window closed") {
        f.window.close();
    } else if (event == "window deactivated") {
        QWidget another;
        another.move(400, 400);
        another.show();
        another.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&another));
        QVERIFY(!f.window.isActiveWindow());
    }

    QVERIFY(!m_hints->isVisible());
    if (event == "other box") {
        QCOMPARE(m_hints->HintState(), int(THintController::Waiting));
        QCOMPARE(m_hints->CurrentEdit(), f.other);
        QCOMPARE(m_hints->Ticks(), 0);
        return;
    }
    QCOMPARE(m_hints->HintState(), int(THintController::Idle));
    QCOMPARE(m_hints->CurrentEdit(), nullptr);
    QVERIFY(!m_hints->TimerActive());
    if (event == "box destroyed") {
        QCOMPARE(m_hints->Edits().size(), registered - 1);
        QCOMPARE(m_hints->CallbackCount(), registered - 1);
    }
}

void TestHint::movesThatStartNothing_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("textHint");
    QTest::newRow("focused box") << 0 << 0 << true << true;
    QTest::newRow("TextHint off") << 0 << 0 << false << false;
    QTest::newRow("left button") << int(Qt::LeftButton) << 0 << false << true;
    QTest::newRow("Shift") << 0 << int(Qt::ShiftModifier) << false << true;
    QTest::newRow("Ctrl") << 0 << int(Qt::ControlModifier) << false << true;
    QTest::newRow("Alt") << 0 << int(Qt::AltModifier) << false << true;
}

void TestHint::movesThatStartNothing()
{
    QFETCH(int, buttons);
    QFETCH(int, modifiers);
    QFETCH(bool, focused);
    QFETCH(bool, textHint);
    Form f;
    QVERIFY(f.ready());
    f.narrow->setTextHint(textHint);
    if (focused)
        f.narrow->setFocus();
    moveOver(f.narrow, Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_hints->HintState(), int(THintController::Idle));
    QVERIFY(!m_hints->TimerActive());

    // Nor does such a move disturb a hint that another box shows.
    showFor(f.other);
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    moveOver(f.narrow, Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    QCOMPARE(m_hints->CurrentEdit(), f.other);
}

void TestHint::textHintOffStillHides()
{
    Form f;
    QVERIFY(f.ready());
    showFor(f.narrow);
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    f.narrow->setTextHint(false);
    QTest::mousePress(f.narrow, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QCOMPARE(m_hints->HintState(), int(THintController::Idle));
    QVERIFY(!m_hints->isVisible());
}

void TestHint::fitTest_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shows");
    QTest::newRow("short text, wide box") << 300 << "ab" << false;
    QTest::newRow("empty text") << 40 << "" << false;
    QTest::newRow("long text, narrow box") << 40 << kLong << true;
    QTest::newRow("CJK text, narrow box") << 40 << "中华人民共和国邮政报刊" << true;
}

void TestHint::fitTest()
{
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(bool, shows);
    Form f;
    QVERIFY(f.ready());
    f.wide->setFixedWidth(width);
    f.wide->setText(text);
    QCOMPARE(f.wide->ShowTextHint(QPoint()), shows);
    QCOMPARE(m_hints->isVisible(), shows);
}

void TestHint::fitMargins_data()
{
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("ctl3D");
    QTest::addColumn<int>("margin");
    QTest::newRow("flat single border") << true << false << 4;
    QTest::newRow("3-D border") << true << true << 6;
    QTest::newRow("no border") << false << false << 0;
}

// A text exactly as wide as the room inside the border fits; one pixel less does not.
void TestHint::fitMargins()
{
    QFETCH(bool, frame);
    QFETCH(bool, ctl3D);
    QFETCH(int, margin);
    TEditN box;
    box.setFrame(frame);
    box.setCtl3D(ctl3D);
    const QString text = "Room";
    const int room = QFontMetrics(box.font()).horizontalAdvance(text) + margin;
    box.setFixedWidth(room);
    QVERIFY(box.TextFits(text));
    box.setFixedWidth(room - 1);
    QVERIFY(!box.TextFits(text));
}

void TestHint::hintGeometryAndLook()
{
    Form f;
    QVERIFY(f.ready());
    showFor(f.narrow);
    QCOMPARE(m_hints->HintState(), int(THintController::Shown));
    const QRect g = m_hints->geometry();
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    const int textWidth = QFontMetrics(f.narrow->font()).horizontalAdvance(kLong);
    QCOMPARE(g.height(), f.narrow->height());
    QCOMPARE(g.width(), qMin(textWidth + 5, desktop.width()));
    QCOMPARE(g.top(), f.narrow->mapToGlobal(QPoint(0, 0)).y());
    if (g.width() < desktop.width() - 100)
        QCOMPARE(g.left(), f.narrow->mapToGlobal(QPoint(0, 0)).x());
    QVERIFY(desktop.contains(g));
    QVERIFY(m_hints->windowFlags().testFlag(Qt::WindowTransparentForInput));
    QVERIFY(m_hints->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));

    const QImage img = m_hints->grab().toImage();
    QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(img.pixelColor(img.width() - 1, img.height() - 1), QColor(Qt::black));
    QCOMPARE(img.pixelColor(1, 1), QColor(0, 255, 255));
}

void TestHint::ampersandShownAsItself()
{
    // A lone '&' would vanish if it were read as an accelerator prefix.
    m_hints->ActivateHint(QRect(10, 10, 40, 16), "&");
    const QImage img = m_hints->grab().toImage();
    int inked = 0;
    for (int y = 2; y < img.height() - 2; ++y)
        for (int x = 2; x < img.width() - 2; ++x)
            inked += img.pixelColor(x, y) != QColor(0, 255, 255);
    QVERIFY(inked > 0);
    m_hints->hide();
}

void TestHint::keepOnDesktop_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("expected");
    const QRect inside(100, 100, 50, 20);
    QTest::newRow("inside stays") << inside << inside;
    QTest::newRow("past the right edge") << QRect(700, 100, 200, 20) << QRect(600, 100, 200, 20);
    QTest::newRow("past the bottom") << QRect(100, 590, 50, 20) << QRect(100, 580, 50, 20);
    QTest::newRow("left of the desktop") << QRect(-30, 100, 50, 20) << QRect(0, 100, 50, 20);
    QTest::newRow("wider than the desktop") << QRect(100, 100, 900, 20) << QRect(0, 100, 900, 20);
}

void TestHint::keepOnDesktop()
{
    QFETCH(QRect, rect);
    QFETCH(QRect, expected);
    QCOMPARE(THintController::KeepOnDesktop(rect, QRect(0, 0, 800, 600)), expected);
}

QTEST_MAIN(TestHint)
#include "tst_hint.moc"
