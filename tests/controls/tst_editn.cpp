// Keyboard and focus behaviour of the typed edit box: filters, Esc, overwrite
// mode, Enter as Tab, focus colours and the read-only box.
#include "controls/EditN.h"
#include "platform/KeyboardState.h"
#include "support/FakeDialogService.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

Q_DECLARE_METATYPE(TEditTypes)

namespace {

// A shown, active window with three boxes in tab order, then a plain edit that
// holds the focus at the start.
struct Form
{
    QWidget window;
    TEditN *a;
    TEditN *b;
    TEditN *c;
    QLineEdit *plain;
    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        a = new TEditN(&window);
        b = new TEditN(&window);
        c = new TEditN(&window);
        plain = new QLineEdit(&window);
        for (QLineEdit *e : { static_cast<QLineEdit *>(a), static_cast<QLineEdit *>(b),
                 static_cast<QLineEdit *>(c), plain })
            layout->addWidget(e);
        plain->setFocus();
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
};

} // namespace

class TestEditN : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        KeyboardState::setInstance(&m_keys);
        m_keys = FixedKeyboardState();
    }
    void cleanup() { KeyboardState::setInstance(nullptr); }

    void filters_data();
    void filters();
    void firstCharUpper_data();
    void firstCharUpper();
    void controlKeysInNumberBoxes_data();
    void controlKeysInNumberBoxes();
    void lengthLimits();
    void escRestoresEntryText();
    void overwriteMode();
    void insertKeyTogglesApplicationWide();
    void enterMovesFocus();
    void focusColoursAndWidth();
    void readOnlyRefusesEveryKey_data();
    void readOnlyRefusesEveryKey();
    void readOnlyRefusesContextMenu();
    void lengthLimitCountsBytes_data();
    void lengthLimitCountsBytes();
    void inputMethodTextIsFiltered_data();
    void inputMethodTextIsFiltered();
    void assignedTextShowsItsBeginning();

private:
    FixedKeyboardState m_keys;
    FakeDialogService m_dialogs;
};

void TestEditN::filters_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret"); // -1: the whole text selected
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    // Letters, blanks and separators never reach a number, date or time box;
    // '#', '$', '%' and the apostrophe pass the key filter of every type.
    QTest::newRow("date keeps digits and #$%'") << etDate << "en_GB"
                                                << "" << 0 << "1 /-.:#$%'&a2"
                                                << "1#$%'2";
    QTest::newRow("time the same") << etTime << "en_GB"
                                   << "" << 0 << "1:2 #x"
                                   << "12#";
    QTest::newRow("integer") << etInteger << "en_GB"
                             << "" << 0 << "1 a2.,&3"
                             << "123";
    QTest::newRow("integer minus anywhere, once") << etInteger << "en_GB"
                                                  << "12" << 1 << "--"
                                                  << "1-2";
    QTest::newRow("integer over a selection from the start") << etInteger << "en_GB"
                                                             << "12" << -1 << "x"
                                                             << "";
    QTest::newRow("float comma becomes the point") << etFloat << "en_GB"
                                                   << "" << 0 << "1,5"
                                                   << "1.5";
    QTest::newRow("float point becomes the comma") << etFloat << "de_DE"
                                                   << "" << 0 << "1.5"
                                                   << "1,5";
    QTest::newRow("float one separator") << etFloat << "en_GB"
                                         << "1.5" << 3 << ",.-7"
                                         << "1.5-7";
    QTest::newRow("string takes all") << etString << "en_GB"
                                      << "" << 0 << "a 1/&"
                                      << "a 1/&";
}

void TestEditN::firstCharUpper_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("words and brackets") << "" << 0 << "new york (city"
                                        << "New York (City";
    // The test looks at the end of the text, not at the character before the caret.
    QTest::newRow("text ends in a space") << "ab " << 1 << "x"
                                          << "aXb ";
    QTest::newRow("text ends in a letter") << "a b" << 2 << "x"
                                           << "a xb";
}

void TestEditN::firstCharUpper()
{
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.a->setFirstCharUpper(true);
    f.a->setText(start);
    f.a->setFocus();
    f.a->setCursorPosition(caret);
    QTest::keyClicks(f.a, typed);
    QCOMPARE(f.a->text(), expected);
}

void TestEditN::filters()
{
    QFETCH(TEditTypes, type);
    QFETCH(QString, locale);
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.a->setLocale(QLocale(locale));
    f.a->setEditType(type);
    f.a->setText(start);
    f.a->setFocus();
    if (caret < 0)
        f.a->selectAll();
    else
        f.a->setCursorPosition(caret);
    QTest::keyClicks(f.a, typed);
    QCOMPARE(f.a->text(), expected);
}

void TestEditN::controlKeysInNumberBoxes_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("expected");
    // Ctrl+V types character 22, which the number filters reject like any other,
    // unless the selection starts at the first character.
    QTest::newRow("integer, caret at end") << etInteger << false << "12";
    QTest::newRow("float, caret at end") << etFloat << false << "12";
    QTest::newRow("date") << etDate << false << "12";
    QTest::newRow("time") << etTime << false << "12";
    QTest::newRow("integer over selection") << etInteger << true << "77";
    QTest::newRow("string pastes") << etString << false << "1277";
}

void TestEditN::controlKeysInNumberBoxes()
{
    QFETCH(TEditTypes, type);
    QFETCH(bool, selectAll);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.a->setEditType(type);
    f.a->setText("12");
    f.a->setFocus();
    QApplication::clipboard()->setText("77");
    if (selectAll)
        f.a->selectAll();
    else
        f.a->end(false);
    QTest::keyClick(f.a, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.a->text(), expected);
}

void TestEditN::lengthLimits()
{
    Form f;
    QVERIFY(f.ready());
    f.a->setEditType(etInteger);
    f.a->setFocus();
    QCOMPARE(f.a->maxLength(), 32767);
    QTest::keyClicks(f.a, "1-");
    QCOMPARE(f.a->maxLength(), 11);

    f.b->setEditType(etFloat);
    f.c->setEditType(etTime);
    f.b->setFocus();
    QCOMPARE(f.b->maxLength(), 16);
    f.c->setFocus();
    QCOMPARE(f.c->maxLength(), 5);
    f.c->setTimeSeconds(true);
    f.b->setFocus();
    f.c->setFocus();
    QCOMPARE(f.c->maxLength(), 8);
    f.a->setEditType(etDate);
    f.a->setFocus();
    QCOMPARE(f.a->maxLength(), 10);

    // A limit never cuts what the box already holds.
    f.b->setEditType(etFloat);
    f.b->setMaxLength(32767);
    f.b->setText("12345678901234567890");
    f.b->setFocus();
    QCOMPARE(f.b->text(), QString("12345678901234567890"));
}

void TestEditN::escRestoresEntryText()
{
    Form f;
    QVERIFY(f.ready());
    f.a->setEditType(etInteger);
    f.a->setText("42");
    f.a->setFocus();
    f.a->end(false);
    QTest::keyClicks(f.a, "7");
    QCOMPARE(f.a->ValueInteger(), 427);
    QTest::keyClick(f.a, Qt::Key_Escape);
    QCOMPARE(f.a->text(), QString("42"));
    QCOMPARE(f.a->ValueInteger(), 42);

    f.b->setText("keep");
    f.b->setReadOnly(true);
    f.b->setFocus();
    QTest::keyClick(f.b, Qt::Key_Escape);
    QCOMPARE(f.b->text(), QString("keep"));
}

void TestEditN::overwriteMode()
{
    Form f;
    QVERIFY(f.ready());
    f.a->setFontColorOnOverWrite(0x000000FF); // red
    f.a->setText("abc");
    f.a->setFocus();
    m_keys.setToggled(true);
    QVERIFY(TEditN::IsOverwriteMode());

    f.a->setCursorPosition(1);
    QTest::keyClick(f.a, Qt::Key_X, Qt::NoModifier);
    QCOMPARE(f.a->text(), QString("axc"));
    QCOMPARE(f.a->FontColor(), QColor(255, 0, 0));
    f.a->setCursorPosition(0);
    QTest::keyClick(f.a, Qt::Key_Backspace);
    QCOMPARE(f.a->text(), QString("xc"));
    f.a->end(false);
    QTest::keyClicks(f.a, "yz");
    QCOMPARE(f.a->text(), QString("xcyz"));

    // Holding Insert down counts as overwrite as well.
    m_keys.setToggled(false);
    m_keys.setHeld(true);
    f.a->setCursorPosition(0);
    QTest::keyClicks(f.a, "Q");
    QCOMPARE(f.a->text(), QString("Qcyz"));

    m_keys.setHeld(false);
    f.a->setCursorPosition(0);
    QTest::keyClicks(f.a, "w");
    QCOMPARE(f.a->text(), QString("wQcyz"));
    QCOMPARE(f.a->FontColor(), QColor(0, 0, 255));
}

void TestEditN::insertKeyTogglesApplicationWide()
{
    KeyboardState::setInstance(nullptr);
    KeyboardState *state = KeyboardState::instance();
    Form f;
    QVERIFY(f.ready());
    f.a->setFocus();
    const bool before = state->insertToggled();
    QWindow *win = f.window.windowHandle();
    QTest::keyPress(win, Qt::Key_Insert);
    QVERIFY(state->insertHeld());
    QCOMPARE(state->insertToggled(), !before);
    QTest::keyRelease(win, Qt::Key_Insert);
    QVERIFY(!state->insertHeld());
    QCOMPARE(TEditN::IsOverwriteMode(), !before);
    // Shift+Insert pastes; it does not switch the mode.
    QTest::keyClick(win, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(state->insertToggled(), !before);
    QTest::keyClick(win, Qt::Key_Insert);
    QCOMPARE(state->insertToggled(), before);
}

void TestEditN::enterMovesFocus()
{
    Form f;
    QVERIFY(f.ready());
    f.a->setText("one");
    f.b->setReadOnly(true);
    f.a->setFocus();
    QTest::keyClick(f.a, Qt::Key_Return);
    QVERIFY(f.b->hasFocus());
    QCOMPARE(f.a->text(), QString("one"));
    QTest::keyClick(f.b, Qt::Key_Enter); // read-only boxes move on too
    QVERIFY(f.c->hasFocus());

    f.c->setEditKeyByTab('+');
    QTest::keyClicks(f.c, "1+");
    QCOMPARE(f.c->text(), QString("1"));
    QVERIFY(f.plain->hasFocus());
}

void TestEditN::focusColoursAndWidth()
{
    Form f;
    QVERIFY(f.ready());
    const QColor ownText = f.b->palette().color(QPalette::Text);
    QSignalSpy enter(f.b, &TEditN::OnEnter);
    QSignalSpy exit(f.b, &TEditN::OnExit);
    QCOMPARE(f.b->palette().color(QPalette::Base), QColor(223, 223, 223));
    f.b->setWidthOnFocus(300);
    const int width = f.b->width();
    f.b->setFocus();
    QCOMPARE(enter.count(), 1);
    QCOMPARE(f.b->palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(f.b->FontColor(), QColor(0, 0, 255));
    QCOMPARE(f.b->width(), 300);
    f.c->setFocus();
    QCOMPARE(exit.count(), 1);
    QCOMPARE(f.b->width(), width);
    QCOMPARE(f.b->palette().color(QPalette::Base), QColor(223, 223, 223));
    QCOMPARE(f.b->FontColor(), QColor(0, 0, 0));

    // Until its first exit a box shows the font's own text colour; a read-only box
    // keeps its colours on entry.
    f.a->setReadOnly(true);
    f.a->setFocus();
    QCOMPARE(f.a->FontColor(), ownText);
    QCOMPARE(f.a->palette().color(QPalette::Base), QColor(223, 223, 223));
}

void TestEditN::readOnlyRefusesEveryKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("clicked");
    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    for (bool clicked : { false, true }) {
        const char *how = clicked ? " after a click" : "";
        QTest::addRow("Delete%s", how) << int(Qt::Key_Delete) << none << clicked;
        QTest::addRow("Backspace%s", how) << int(Qt::Key_Backspace) << none << clicked;
        QTest::addRow("Ctrl+X%s", how) << int(Qt::Key_X) << ctrl << clicked;
        QTest::addRow("Ctrl+V%s", how) << int(Qt::Key_V) << ctrl << clicked;
        QTest::addRow("Ctrl+Z%s", how) << int(Qt::Key_Z) << ctrl << clicked;
        QTest::addRow("Shift+Insert%s", how) << int(Qt::Key_Insert) << shift << clicked;
        QTest::addRow("Shift+Delete%s", how) << int(Qt::Key_Delete) << shift << clicked;
        QTest::addRow("letter%s", how) << int(Qt::Key_A) << none << clicked;
        QTest::addRow("digit%s", how) << int(Qt::Key_5) << none << clicked;
    }
}

// The order dialog shows the price in a read-only box; no key may change it.
void TestEditN::readOnlyRefusesEveryKey()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, clicked);
    Form f;
    QVERIFY(f.ready());
    QApplication::clipboard()->setText("999");
    f.a->setEditType(etFloat);
    f.a->setText("12.50");
    f.a->setReadOnly(true);
    if (clicked)
        QTest::mouseClick(f.a, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    else
        f.a->setFocus();
    QVERIFY(f.a->hasFocus());
    for (int caret : { 0, 2 }) {
        f.a->setCursorPosition(caret);
        QTest::keyClick(f.a, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        f.a->setSelection(1, 2);
        QTest::keyClick(f.a, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    }
    QCOMPARE(f.a->text(), QString("12.50"));
    QCOMPARE(f.a->ValueFloat(), 12.5);
}

void TestEditN::readOnlyRefusesContextMenu()
{
    Form f;
    QVERIFY(f.ready());
    QApplication::clipboard()->setText("999");
    f.a->setText("12.50");
    f.a->setReadOnly(true);
    QTest::mouseClick(f.a, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    f.a->setSelection(0, 3);
    std::unique_ptr<QMenu> menu(f.a->createStandardContextMenu());
    int triggered = 0;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        action->trigger();
        ++triggered;
        f.a->setSelection(0, 3);
    }
    QVERIFY(triggered > 0);
    QCOMPARE(f.a->text(), QString("12.50"));
}

void TestEditN::lengthLimitCountsBytes_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("expected");
    for (const char *route : { "typed", "pasted", "input method" }) {
        QTest::addRow("%s: two of three characters fit", route) << route << 4 << ""
                                                                << "中文字"
                                                                << "中文";
        QTest::addRow("%s: half a character does not fit", route) << route << 3 << "ab"
                                                                  << "中"
                                                                  << "ab";
        QTest::addRow("%s: ASCII after CJK", route) << route << 4 << "中"
                                                    << "abc"
                                                    << "中ab";
    }
}

// The limit counts code-page bytes (two for a CJK character) on every route by
// which the user adds text.
void TestEditN::lengthLimitCountsBytes()
{
    QFETCH(QString, route);
    QFETCH(int, limit);
    QFETCH(QString, before);
    QFETCH(QString, added);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.a->setMaxLength(limit);
    f.a->setText(before);
    f.a->setFocus();
    f.a->end(false);
    if (route == "typed") {
        for (QChar c : added) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(f.a, &key);
        }
    } else if (route == "pasted") {
        QApplication::clipboard()->setText(added);
        QTest::keyClick(f.a, Qt::Key_V, Qt::ControlModifier);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(added);
        QApplication::sendEvent(f.a, &commit);
    }
    QCOMPARE(f.a->text(), expected);
    // Deleting from the end and typing again works up to the limit.
    QTest::keyClick(f.a, Qt::Key_Backspace);
    QVERIFY(f.a->text().size() < expected.size());
    // A text the program assigns is never cut.
    f.a->setText("中文字中文字");
    QCOMPARE(f.a->text(), QString("中文字中文字"));
}

void TestEditN::inputMethodTextIsFiltered_data()
{
    QTest::addColumn<TEditTypes>("type");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("date refuses a letter") << etDate << "x"
                                           << "";
    QTest::newRow("date keeps the digits") << etDate << "1x2/3"
                                           << "123";
    QTest::newRow("time refuses a colon") << etTime << "12:3"
                                          << "123";
    QTest::newRow("integer, second minus") << etInteger << "-1-2"
                                           << "-12";
    QTest::newRow("float refuses a space") << etFloat << "1 5"
                                           << "15";
    QTest::newRow("text takes everything") << etString << "中x 1"
                                           << "中x 1";
}

// An input method's text is typed, so the box's filter sees each character.
void TestEditN::inputMethodTextIsFiltered()
{
    QFETCH(TEditTypes, type);
    QFETCH(QString, commit);
    QFETCH(QString, expected);
    Form f;
    QVERIFY(f.ready());
    f.a->setEditType(type);
    f.a->setFocus();
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(f.a, &event);
    QCOMPARE(f.a->text(), expected);
}

// A text that the program assigns shows from its beginning however long it is;
// what the user types keeps the caret behind it.
void TestEditN::assignedTextShowsItsBeginning()
{
    Form f;
    QVERIFY(f.ready());
    f.a->setFixedWidth(40);
    const QString name = QStringLiteral("中华人民共和国全国人民代表大会常务委员会公报");
    f.a->setText(name);
    QCOMPARE(f.a->cursorPosition(), 0);
    f.a->setFocus();
    f.a->end(false);
    QTest::keyClicks(f.a, "ab");
    QCOMPARE(f.a->text(), name + "ab");
    QCOMPARE(f.a->cursorPosition(), int(name.size()) + 2);
    f.plain->setFocus();
    f.a->setText("x" + name);
    QCOMPARE(f.a->cursorPosition(), 0);
}

QTEST_MAIN(TestEditN)
#include "tst_editn.moc"
