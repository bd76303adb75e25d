#include "controls/GlgBtn.h"
#include "platform/SysColor.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace SysColor;

namespace {

QColor px(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// A palette colour in the same form as px() gives.
QColor rgb(const QColor &c)
{
    return QColor(c.rgb());
}

// A strip of n solid cells: red, green, blue, so the drawn cell can be told apart.
QImage cellStrip(int n)
{
    const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255) };
    QImage img(16 * n, 16, QImage::Format_RGB32);
    for (int i = 0; i < n; ++i) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                img.setPixel(16 * i + x, y, colours[i]);
    }
    return img;
}

} // namespace

class TstGlgBtn : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> host;
    TGlgBtn *btn = nullptr;
    QLineEdit *other = nullptr;

private slots:
    void init()
    {
        host = std::make_unique<QWidget>();
        host->resize(300, 250);
        QFont font(QStringLiteral("AR PL UMing CN"));
        font.setPixelSize(12);
        host->setFont(font);
        // The window's first focus goes to this box, not to the button under test.
        other = new QLineEdit(host.get());
        other->setGeometry(10, 100, 80, 20);
        btn = new TGlgBtn(host.get());
        btn->move(10, 10);
        btn->setText(QStringLiteral("搜索"));
        btn->setKind(lgFind);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    }

    void cleanup() { host.reset(); }

    void defaults()
    {
        TGlgBtn b;
        QCOMPARE(b.size(), QSize(75, 22));
        QCOMPARE(b.ButtonColor(), clWhite);
        QCOMPARE(b.EnterColor(), quint32(14876414));
        QCOMPARE(b.FrameColor(), clSilver);
        QCOMPARE(b.FrameWidth(), 6);
        QCOMPARE(b.GlyphLayout(), lyLeft);
        QCOMPARE(b.Kind(), lgNone);
        QVERIFY(b.Glyph().isNull());
        QCOMPARE(b.GlyphsNum(), 2);
        QCOMPARE(b.GlyphSpace(), 2);
        QCOMPARE(b.CornerRadius(), 2);
        QCOMPARE(b.Shape(), shRectangle);
        QCOMPARE(b.TextStyle(), txRaised);
        QCOMPARE(b.TransparentColor(), clWhite);
        QVERIFY(b.ShowFocused());
        QVERIFY(!b.Pressed());
        QVERIFY(!b.MouseInside());
    }

    void clamping_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        const QSize normal(75, 22);
        QTest::newRow("frame 2 -> 4") << "FrameWidth" << normal << 2 << 4;
        QTest::newRow("frame 7 kept") << "FrameWidth" << normal << 7 << 7;
        QTest::newRow("frame 20 -> 11") << "FrameWidth" << normal << 20 << 11;
        QTest::newRow("frame low on 75x6") << "FrameWidth" << QSize(75, 6) << 2 << 3;
        QTest::newRow("frame high on 75x6") << "FrameWidth" << QSize(75, 6) << 100 << 3;
        QTest::newRow("radius 1 -> 2") << "CornerRadius" << normal << 1 << 2;
        QTest::newRow("radius -9 -> 2") << "CornerRadius" << normal << -9 << 2;
        QTest::newRow("radius 5 kept") << "CornerRadius" << normal << 5 << 5;
        QTest::newRow("radius 50 -> 22") << "CornerRadius" << normal << 50 << 22;
        QTest::newRow("glyphs 0 -> 1") << "GlyphsNum" << normal << 0 << 1;
        QTest::newRow("glyphs 3 kept") << "GlyphsNum" << normal << 3 << 3;
        QTest::newRow("glyphs 5 -> 3") << "GlyphsNum" << normal << 5 << 3;
        QTest::newRow("space -3 -> 0") << "GlyphSpace" << normal << -3 << 0;
        QTest::newRow("space 9 kept") << "GlyphSpace" << normal << 9 << 9;
    }

    void clamping()
    {
        QFETCH(QString, property);
        QFETCH(QSize, size);
        QFETCH(int, value);
        QFETCH(int, expected);
        btn->resize(size);
        int got = -1;
        if (property == "FrameWidth") {
            btn->setFrameWidth(value);
            got = btn->FrameWidth();
        } else if (property == "CornerRadius") {
            btn->setCornerRadius(value);
            got = btn->CornerRadius();
        } else if (property == "GlyphsNum") {
            btn->setGlyphsNum(value);
            got = btn->GlyphsNum();
        } else if (property == "GlyphSpace") {
            btn->setGlyphSpace(value);
            got = btn->GlyphSpace();
        }
        QCOMPARE(got, expected);
    }

    void kindAndGlyph()
    {
        btn->setKind(lgOk);
        QCOMPARE(btn->Glyph().size(), QSize(32, 16));
        QImage own(16, 16, QImage::Format_RGB32);
        own.fill(qRgb(1, 2, 3));
        btn->setGlyph(own);
        QCOMPARE(btn->Kind(), lgNone);
        QCOMPARE(btn->Glyph().pixel(5, 5), qRgb(1, 2, 3));
        // Changing the caller's bitmap afterwards leaves the button's copy alone.
        own.fill(qRgb(9, 9, 9));
        QCOMPARE(btn->Glyph().pixel(5, 5), qRgb(1, 2, 3));
        // lgNone is the current value: nothing happens, the assigned bitmap stays.
        btn->setKind(lgNone);
        QVERIFY(!btn->Glyph().isNull());
        // A real change to lgNone empties the glyph.
        btn->setKind(lgOk);
        btn->setKind(lgNone);
        QVERIFY(btn->Glyph().isNull());
        // Assigning nothing empties it too.
        btn->setKind(lgUp);
        btn->setGlyph(QImage());
        QVERIFY(btn->Glyph().isNull());
        QCOMPARE(btn->Kind(), lgNone);
    }

    void transparentColorFromGlyph()
    {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(qRgb(255, 255, 255));
        img.setPixel(0, 15, qRgb(10, 20, 30));
        // Another colour than clNone stays.
        btn->setTransparentColor(clAqua);
        btn->setGlyph(img);
        QCOMPARE(btn->TransparentColor(), clAqua);
        // clNone takes the bottom-left pixel, as 0x00BBGGRR.
        btn->setTransparentColor(clNone);
        btn->setGlyph(img);
        QCOMPARE(btn->TransparentColor(), quint32(0x001E140A));
        // Loading a kind leaves it alone.
        btn->setKind(lgOk);
        QCOMPARE(btn->TransparentColor(), quint32(0x001E140A));
    }

    void builtInBitmaps_data()
    {
        QTest::addColumn<int>("kind");
        for (int k = lgAdd; k <= lgWrite; ++k)
            QTest::newRow(qPrintable(QString::number(k))) << k;
    }

    void builtInBitmaps()
    {
        QFETCH(int, kind);
        const QImage img = TGlgBtn::kindBitmap(TKind(kind));
        QCOMPARE(img.size(), QSize(32, 16));
        // Background pure white, the normal cell has a picture, the pale cell differs from it
        // and is lighter on the whole.
        QCOMPARE(img.pixel(0, 15), qRgb(255, 255, 255));
        int inked = 0, normalSum = 0, paleSum = 0, differ = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb a = img.pixel(x, y), b = img.pixel(x + 16, y);
                inked += a != qRgb(255, 255, 255);
                differ += a != b;
                normalSum += qGray(a);
                paleSum += qGray(b);
            }
        }
        QVERIFY(inked >= 12);
        QVERIFY(differ >= 12);
        QVERIFY(paleSum > normalSum);
    }

    void bitmapFilesAreIndexed()
    {
        // The resources are 8-bit indexed BMP files of 32 x 16 with a full colour table.
        QFile f(QStringLiteral(":/glyphs/GOK.bmp"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 14 + 40 + 1024 + 512);
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QImage img;
        QVERIFY(img.loadFromData(bytes, "BMP"));
        QCOMPARE(img.format(), QImage::Format_Indexed8);
    }

    void mouse_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("pressedWhileHeld");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("focused");
        QTest::newRow("left inside")
            << int(Qt::LeftButton) << QPoint(30, 10) << QPoint(40, 12) << true << 1 << true;
        QTest::newRow("left drag off")
            << int(Qt::LeftButton) << QPoint(30, 10) << QPoint(120, 12) << true << 0 << true;
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(30, 10) << QPoint(30, 10) << false
                               << 0 << false;
        QTest::newRow("middle") << int(Qt::MiddleButton) << QPoint(30, 10) << QPoint(30, 10) << true
                                << 0 << true;
        // The corner of an oval is outside the shape: no pressed look, but the rectangle
        // clicks.
        QTest::newRow("left oval corner")
            << int(Qt::LeftButton) << QPoint(2, 1) << QPoint(2, 1) << false << 1 << true;
    }

    void mouse()
    {
        QFETCH(int, button);
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, releaseAt);
        QFETCH(bool, pressedWhileHeld);
        QFETCH(int, clicks);
        QFETCH(bool, focused);
        btn->setShape(pressAt == QPoint(2, 1) ? shOval : shRectangle);
        QSignalSpy clicked(btn, &TGlgBtn::clicked);
        QSignalSpy down(btn, &TGlgBtn::mouseDown);
        const auto b = Qt::MouseButton(button);
        QTest::mousePress(btn, b, {}, pressAt);
        QCOMPARE(down.count(), 1);
        QCOMPARE(btn->Pressed(), pressedWhileHeld);
        QCOMPARE(btn->hasFocus(), focused);
        if (releaseAt != pressAt) {
            QTest::mouseMove(btn, releaseAt);
            QCOMPARE(btn->Pressed(), pressedWhileHeld); // the look stays while held
        }
        QTest::mouseRelease(btn, b, {}, releaseAt);
        QCOMPARE(clicked.count(), clicks);
        QVERIFY(!btn->Pressed());
    }

    void doubleClickClicksTwice()
    {
        QSignalSpy clicked(btn, &TGlgBtn::clicked);
        // The window system's order: press, release, double-click, release.
        QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseDClick(btn, Qt::LeftButton, {}, QPoint(30, 10)); // the double-click alone
        QVERIFY(btn->Pressed());
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(clicked.count(), 2);
        QVERIFY(!btn->Pressed());
    }

    void commandMayDeleteTheButton()
    {
        // A command that closes its window may take the button with it while the release
        // is still being handled.
        QPointer<TGlgBtn> guard(btn);
        connect(btn, &TGlgBtn::clicked, this, [this] { delete btn; });
        QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QVERIFY(guard.isNull());
        btn = nullptr;
    }

    void keyboard_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("enter") << "搜索" << int(Qt::Key_Return) << 0 << true << 1;
        QTest::newRow("keypad enter") << "搜索" << int(Qt::Key_Enter) << 0 << true << 1;
        QTest::newRow("space") << "搜索" << int(Qt::Key_Space) << 0 << true << 0;
        QTest::newRow("enter disabled") << "搜索" << int(Qt::Key_Return) << 0 << false << 0;
        QTest::newRow("accel") << "&Search" << int(Qt::Key_S) << int(Qt::AltModifier) << true << 1;
        QTest::newRow("accel lower")
            << "&search" << int(Qt::Key_S) << int(Qt::AltModifier) << true << 1;
        QTest::newRow("accel other")
            << "&Search" << int(Qt::Key_E) << int(Qt::AltModifier) << true << 0;
        QTest::newRow("accel disabled")
            << "&Search" << int(Qt::Key_S) << int(Qt::AltModifier) << false << 0;
    }

    void keyboard()
    {
        QFETCH(QString, caption);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        btn->setText(caption);
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        btn->setFocus();
        btn->setEnabled(enabled);
        QSignalSpy clicked(btn, &TGlgBtn::clicked);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : host.get();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(clicked.count(), clicks);
        QVERIFY(!btn->Pressed());
    }

    void accelerators_data()
    {
        QTest::addColumn<QString>("focus"); // "box", "other button" or "button"
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        const int alt = int(Qt::AltModifier);
        const int shift = int(Qt::ShiftModifier);
        const int ctrl = int(Qt::ControlModifier);
        for (const char *focus : { "box", "other button", "button" }) {
            const bool onButton = QByteArray(focus) != "box";
            QTest::addRow("%s: Alt+P", focus) << focus << int(Qt::Key_P) << alt << true << 1;
            QTest::addRow("%s: Alt+Shift+P", focus)
                << focus << int(Qt::Key_P) << (alt | shift) << true << 1;
            // A box takes the letter as typed text; a button offers it to the window.
            QTest::addRow("%s: P", focus) << focus << int(Qt::Key_P) << 0 << true << int(onButton);
            QTest::addRow("%s: Shift+P", focus)
                << focus << int(Qt::Key_P) << shift << true << int(onButton);
            QTest::addRow("%s: Ctrl+P", focus) << focus << int(Qt::Key_P) << ctrl << true << 0;
            QTest::addRow("%s: Ctrl+Alt+P", focus)
                << focus << int(Qt::Key_P) << (ctrl | alt) << true << 0;
            QTest::addRow("%s: Alt+R", focus) << focus << int(Qt::Key_R) << alt << true << 0;
            QTest::addRow("%s: R", focus) << focus << int(Qt::Key_R) << 0 << true << 0;
            QTest::addRow("%s: Alt+P, disabled", focus)
                << focus << int(Qt::Key_P) << alt << false << 0;
            QTest::addRow("%s: P, disabled", focus) << focus << int(Qt::Key_P) << 0 << false << 0;
        }
    }

    // "&Print" on the button under test; another button "Save" and the box "other"
    // stand in the same window.
    void accelerators()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        auto *save = new TGlgBtn(host.get());
        save->move(100, 10);
        save->setText(QStringLiteral("&Save"));
        save->show();
        btn->setText(QStringLiteral("&print"));
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        QWidget *target = focus == "box" ? static_cast<QWidget *>(other)
            : focus == "button"          ? static_cast<QWidget *>(btn)
                                         : static_cast<QWidget *>(save);
        target->setFocus();
        QVERIFY(target->hasFocus());
        btn->setEnabled(enabled);
        other->clear();
        QSignalSpy clicked(btn, &TGlgBtn::clicked);
        QSignalSpy saved(save, &TGlgBtn::clicked);
        QTest::keyClick(
            QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(saved.count(), 0);
        if (focus == "box" && modifiers == 0)
            QCOMPARE(other->text(), QString(QChar(key)).toLower());
    }

    void layout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("gw");
        QTest::addColumn<int>("gh");
        QTest::addColumn<int>("tw");
        QTest::addColumn<int>("th");
        QTest::addColumn<QList<int>>("expected"); // glyph left, top, text left, top
        // A 75 x 22 button, glyph space 2.
        QTest::newRow("left") << int(lyLeft) << 16 << 16 << 24 << 12 << QList<int> { 16, 3, 34, 5 };
        QTest::newRow("left no glyph")
            << int(lyLeft) << 0 << 0 << 24 << 12 << QList<int> { 24, 11, 26, 5 };
        QTest::newRow("left too wide")
            << int(lyLeft) << 16 << 16 << 70 << 12 << QList<int> { 0, 3, 18, 5 };
        QTest::newRow("right") << int(lyRight) << 16 << 16 << 24 << 12
                               << QList<int> { 43, 3, 17, 5 };
        QTest::newRow("top") << int(lyTop) << 16 << 16 << 24 << 12 << QList<int> { 29, 0, 25, 18 };
        QTest::newRow("bottom") << int(lyBottom) << 16 << 16 << 24 << 12
                                << QList<int> { 29, 6, 25, -8 };
        QTest::newRow("center") << int(lyCenter) << 16 << 16 << 24 << 12
                                << QList<int> { 29, 3, 25, 5 };
        // Text wider than the button: the caption goes negative, halves truncate to zero.
        QTest::newRow("center wide text")
            << int(lyCenter) << 16 << 16 << 80 << 25 << QList<int> { 29, 3, -2, -1 };
    }

    void layout()
    {
        QFETCH(int, layout);
        QFETCH(int, gw);
        QFETCH(int, gh);
        QFETCH(int, tw);
        QFETCH(int, th);
        QFETCH(QList<int>, expected);
        const TGlgBtn::Layout l
            = TGlgBtn::computeLayout(TBmpLayout(layout), 75, 22, gw, gh, 2, tw, th);
        QCOMPARE((QList<int> { l.glyphLeft, l.glyphTop, l.textLeft, l.textTop }), expected);
    }

    void rings_data()
    {
        QTest::addColumn<bool>("hover");
        QTest::addColumn<QList<QColor>>("rings");
        QTest::newRow("normal") << false
                                << QList<QColor> { QColor(192, 192, 192), QColor(227, 227, 227),
                                       QColor(239, 239, 239), QColor(247, 247, 247),
                                       QColor(251, 251, 251), QColor(254, 254, 254) };
        QTest::newRow("hover") << true
                               << QList<QColor> { QColor(192, 192, 192), QColor(226, 226, 211),
                                      QColor(238, 238, 217), QColor(246, 246, 221),
                                      QColor(250, 250, 224), QColor(253, 253, 226) };
    }

    void rings()
    {
        QFETCH(bool, hover);
        QFETCH(QList<QColor>, rings);
        btn->setKind(lgOk);
        if (hover) {
            QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
            QCoreApplication::sendEvent(btn, &enter);
            QVERIFY(btn->MouseInside());
        }
        const QImage img = btn->grab().toImage();
        const QColor face = hover ? QColor(254, 254, 226) : QColor(255, 255, 255);
        // Ring i is framed i + 1 pixels in from the left edge and from the top.
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(px(img, i + 1, 11), rings[i]);
            QCOMPARE(px(img, 66, i + 1), rings[i]);
        }
        QCOMPARE(px(img, 7, 11), face);
        // The glyph's white background comes out in the innermost ring colour.
        QCOMPARE(btn->GlyphLeft(), 16);
        QCOMPARE(btn->GlyphTop(), 3);
        QCOMPARE(px(img, 16, 3), rings[5]);
        QCOMPARE(px(img, 31, 18), rings[5]);
        // The outline is the shadow colour all round when released.
        const QColor shadow = rgb(btn->palette().color(QPalette::Dark));
        QCOMPARE(px(img, 0, 11), shadow);
        QCOMPARE(px(img, 74, 11), shadow);
        QCOMPARE(px(img, 40, 21), shadow);
        // Pointer leaves: back to the plain face.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(btn, &leave);
        QVERIFY(!btn->MouseInside());
    }

    void shapedRings_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("hover");
        QTest::newRow("capsule") << int(shCapsule) << false;
        QTest::newRow("capsule hover") << int(shCapsule) << true;
        QTest::newRow("oval") << int(shOval) << false;
        QTest::newRow("oval hover") << int(shOval) << true;
    }

    // Ring i of a round shape lies on (i + 1, i + 1, W - i, H - i): its topmost pixels
    // sit in the middle column at row i + 1 and its leftmost ones in the middle rows
    // at column i + 1, whatever the curve does in between.
    void shapedRings()
    {
        QFETCH(int, shape);
        QFETCH(bool, hover);
        const QColor background(10, 200, 10);
        host->setAutoFillBackground(true);
        QPalette pal = host->palette();
        pal.setColor(QPalette::Window, background);
        host->setPalette(pal);
        btn->setKind(lgNone);
        btn->setText(QString());
        btn->setShape(TShape(shape));
        if (hover) {
            QEnterEvent enter(QPointF(37, 11), QPointF(47, 21), QPointF(47, 21));
            QCoreApplication::sendEvent(btn, &enter);
        }
        const QList<QColor> rings = hover
            ? QList<QColor> { QColor(192, 192, 192), QColor(226, 226, 211), QColor(238, 238, 217),
                  QColor(246, 246, 221), QColor(250, 250, 224), QColor(253, 253, 226) }
            : QList<QColor> { QColor(192, 192, 192), QColor(227, 227, 227), QColor(239, 239, 239),
                  QColor(247, 247, 247), QColor(251, 251, 251), QColor(254, 254, 254) };
        const QColor face = hover ? QColor(254, 254, 226) : QColor(255, 255, 255);
        const QImage img = host->grab(QRect(btn->pos(), btn->size())).toImage();
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(px(img, 37, i + 1), rings[i]);
            QCOMPARE(px(img, i + 1, 11), rings[i]);
        }
        QCOMPARE(px(img, 37, 7), face);
        QCOMPARE(px(img, 37, 11), face);
        // Both shapes are round at the ends: a point two pixels in from a corner is
        // outside (a capsule end has radius 11, so is (2, 2) from its centre (11, 11)
        // more than 12 pixels away), and so are the far corners.
        for (const QPoint &corner : { QPoint(0, 0), QPoint(2, 2), QPoint(72, 2), QPoint(2, 19),
                 QPoint(72, 19), QPoint(74, 21) })
            QCOMPARE(px(img, corner.x(), corner.y()), background);
        // A rectangle with the smallest corner radius fills the same point with a ring.
        btn->setShape(shRectangle);
        const QImage rect = host->grab(QRect(btn->pos(), btn->size())).toImage();
        QVERIFY(px(rect, 2, 2) != background);
    }

    void captionEffects_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QPoint>("offset"); // of the effect copy from the caption itself
        QTest::addColumn<QColor>("effect");
        QTest::addColumn<QColor>("main");
        const QColor highlight(0, 200, 0), shadow(200, 0, 200), face(0, 0, 200), text(0, 0, 0);
        const QPoint none(0, 0);
        for (const QString &state : { QStringLiteral("normal"), QStringLiteral("pressed") }) {
            const QByteArray s = state.toLatin1();
            QTest::newRow(s + " none") << int(txNone) << state << none << QColor() << text;
            QTest::newRow(s + " lowered")
                << int(txLowered) << state << QPoint(1, 1) << highlight << text;
            QTest::newRow(s + " raised")
                << int(txRaised) << state << QPoint(-1, -1) << highlight << text;
            QTest::newRow(s + " shadowed")
                << int(txShadowed) << state << QPoint(2, 2) << shadow << text;
        }
        const QString disabled = QStringLiteral("disabled");
        QTest::newRow("disabled none") << int(txNone) << disabled << none << QColor() << shadow;
        QTest::newRow("disabled lowered")
            << int(txLowered) << disabled << QPoint(1, 1) << highlight << shadow;
        QTest::newRow("disabled raised")
            << int(txRaised) << disabled << QPoint(-1, -1) << highlight << shadow;
        QTest::newRow("disabled shadowed")
            << int(txShadowed) << disabled << QPoint(2, 2) << shadow << face;
    }

    // The caption and its effect copy, told apart by distinct system colours: the
    // caption moves by one pixel while pressed, the copy keeps its offset from it.
    void captionEffects()
    {
        QFETCH(int, style);
        QFETCH(QString, state);
        QFETCH(QPoint, offset);
        QFETCH(QColor, effect);
        QFETCH(QColor, main);
        QPalette pal = btn->palette();
        pal.setColor(QPalette::Light, QColor(0, 200, 0)); // button highlight
        pal.setColor(QPalette::Dark, QColor(200, 0, 200)); // button shadow
        pal.setColor(QPalette::Button, QColor(0, 0, 200)); // button face
        pal.setColor(QPalette::ButtonText, QColor(0, 0, 0));
        btn->setPalette(pal);
        btn->setKind(lgNone);
        btn->setShowFocused(false);
        btn->setTextStyle(txNone);
        QImage img = btn->grab().toImage();
        // Between the outlines, around the caption.
        const QRect area(btn->TextLeft() - 4, 2, btn->width() - btn->TextLeft(), btn->height() - 4);
        const QRect plain = colourRect(img, area, QColor(0, 0, 0));
        QVERIFY(plain.width() > 10);

        btn->setTextStyle(TTextStyle(style));
        if (state == QLatin1String("pressed"))
            QTest::mousePress(btn, Qt::MiddleButton, {}, QPoint(30, 10));
        if (state == QLatin1String("disabled"))
            btn->setEnabled(false);
        img = btn->grab().toImage();
        const QRect caption = colourRect(img, area, main);
        const int shift = state == QLatin1String("pressed") ? 1 : 0;
        const QPoint moved(shift, shift);
        if (!effect.isValid()) {
            QCOMPARE(caption, plain.translated(moved));
            for (const QColor &c : { QColor(0, 200, 0), QColor(200, 0, 200) }) {
                if (c != main)
                    QVERIFY(colourRect(img, area, c).isNull());
            }
        } else {
            // The caption covers the copy where they overlap (its blended edges may
            // take the copy's tint there): compare the sides where each stands alone.
            const QRect copy = colourRect(img, area, effect);
            QVERIFY(!copy.isNull());
            if (offset.x() > 0) {
                QCOMPARE(caption.topLeft(), plain.topLeft() + moved);
                QCOMPARE(copy.bottomRight(), plain.bottomRight() + moved + offset);
            } else {
                QCOMPARE(caption.bottomRight(), plain.bottomRight() + moved);
                QCOMPARE(copy.topLeft(), plain.topLeft() + moved + offset);
            }
        }
        if (shift)
            QTest::mouseRelease(btn, Qt::MiddleButton, {}, QPoint(30, 10));
    }

    void frameWidthFiveDrawsSixRings()
    {
        btn->setFrameWidth(5);
        const QImage img = btn->grab().toImage();
        QCOMPARE(px(img, 6, 11), QColor(254, 254, 254));
        QCOMPARE(px(img, 7, 11), QColor(255, 255, 255));
    }

    void captionAndGlyphPositions()
    {
        // "搜索" in the 12 px Ming font is 24 x 12, the example of the layout rules.
        QImage marker(16, 16, QImage::Format_RGB32);
        marker.fill(qRgb(255, 255, 255));
        marker.setPixel(0, 0, qRgb(255, 0, 0));
        btn->setGlyphsNum(1);
        btn->setGlyph(marker);
        QImage img = btn->grab().toImage();
        QCOMPARE(
            (QList<int> { btn->GlyphLeft(), btn->GlyphTop(), btn->TextLeft(), btn->TextTop() }),
            (QList<int> { 16, 3, 34, 5 }));
        QCOMPARE(px(img, 16, 3), QColor(255, 0, 0));
        const QRect ink = inkRect(img, QRect(34, 4, 26, 15));

        btn->setShowFocused(false); // the focus would turn the outline red
        QTest::mousePress(btn, Qt::MiddleButton, {}, QPoint(30, 10));
        QVERIFY(btn->Pressed());
        img = btn->grab().toImage();
        QCOMPARE(px(img, 17, 4), QColor(255, 0, 0));
        QCOMPARE(px(img, 16, 3), QColor(239, 239, 239)); // ring 2 shows where the glyph was
        QCOMPARE(inkRect(img, QRect(34, 4, 26, 15)), ink.translated(1, 1));
        // Pressed: black above and left, highlight below and right.
        QCOMPARE(px(img, 0, 11), QColor(0, 0, 0));
        QCOMPARE(px(img, 74, 11), rgb(btn->palette().color(QPalette::Light)));
        QTest::mouseRelease(btn, Qt::MiddleButton, {}, QPoint(30, 10));
    }

    void cellChoice_data()
    {
        QTest::addColumn<int>("cells");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QColor>("expected");
        const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
        QTest::newRow("1 enabled") << 1 << true << false << red;
        QTest::newRow("1 disabled") << 1 << false << false << red;
        QTest::newRow("2 disabled") << 2 << false << false << green;
        QTest::newRow("3 disabled") << 3 << false << false << green;
        QTest::newRow("2 pressed") << 2 << true << true << red;
        QTest::newRow("3 pressed") << 3 << true << true << blue;
    }

    void cellChoice()
    {
        QFETCH(int, cells);
        QFETCH(bool, enabled);
        QFETCH(bool, pressed);
        QFETCH(QColor, expected);
        btn->setGlyphsNum(cells);
        btn->setGlyph(cellStrip(cells));
        if (pressed)
            QTest::mousePress(btn, Qt::MiddleButton, {}, QPoint(30, 10));
        btn->setEnabled(enabled);
        const QImage img = btn->grab().toImage();
        QCOMPARE(btn->GlyphCellWidth(), 16);
        const int shift = pressed ? 1 : 0;
        // Whole cell, shifted by one while pressed.
        QCOMPARE(px(img, btn->GlyphLeft() + shift, btn->GlyphTop() + shift), expected);
        QCOMPARE(px(img, btn->GlyphLeft() + 15 + shift, btn->GlyphTop() + 15 + shift), expected);
        if (pressed)
            QTest::mouseRelease(btn, Qt::MiddleButton, {}, QPoint(30, 10));
    }

    void disabledCaption()
    {
        const QColor text = btn->palette().color(QPalette::ButtonText);
        const QColor shadow = rgb(btn->palette().color(QPalette::Dark));
        QImage img = btn->grab().toImage();
        QVERIFY(countColour(img, text) > 10);
        btn->setEnabled(false);
        img = btn->grab().toImage();
        QCOMPARE(countColour(img, text), 0);
        // The caption itself (and its shadowy outline) in the shadow colour.
        QVERIFY(countColour(img, shadow) > 10 + countColour(img, shadow, QRect(0, 0, 75, 2)));
    }

    void focusMarks_data()
    {
        QTest::addColumn<bool>("showFocused");
        QTest::newRow("shown") << true;
        QTest::newRow("not shown") << false;
    }

    void focusMarks()
    {
        QFETCH(bool, showFocused);
        btn->setShowFocused(showFocused);
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        btn->setFocus();
        QVERIFY(btn->hasFocus());
        const QImage img = btn->grab().toImage();
        const QColor outline
            = showFocused ? QColor(255, 0, 0) : rgb(btn->palette().color(QPalette::Dark));
        QCOMPARE(px(img, 0, 11), outline);
        QCOMPARE(px(img, 74, 11), outline);
        QCOMPARE(px(img, 40, 0), outline);
        // Focus rectangle on (2, 2, W-2, H-2): every other pixel inverted; the ring at (2, 2)
        // is 227 grey, inverted 28.
        const QColor corner = px(img, 2, 2);
        if (showFocused) {
            QCOMPARE(corner, QColor(28, 28, 28));
            QCOMPARE(px(img, 3, 2), QColor(227, 227, 227));
            QCOMPARE(px(img, 71, 19), QColor(28, 28, 28));
            QCOMPARE(px(img, 72, 19), QColor(227, 227, 227));
        } else {
            QCOMPARE(corner, QColor(227, 227, 227));
        }
    }

    void focusFromMouseOnlyWithShowFocused()
    {
        btn->setShowFocused(false);
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QVERIFY(!btn->hasFocus());
        btn->setShowFocused(true);
        QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(30, 10));
        QVERIFY(btn->hasFocus());
    }

    void sizeLimitAfterPaint()
    {
        btn->resize(250, 200);
        QCOMPARE(btn->size(), QSize(250, 200));
        btn->grab();
        QCOMPARE(btn->size(), QSize(200, 188));
        btn->resize(150, 300);
        btn->grab();
        QCOMPARE(btn->size(), QSize(150, 188));
    }

    void ovalCornersUntouched()
    {
        host->setAutoFillBackground(true);
        QPalette pal = host->palette();
        pal.setColor(QPalette::Window, QColor(10, 200, 10));
        host->setPalette(pal);
        btn->setShape(shOval);
        const QImage img = host->grab(QRect(btn->pos(), btn->size())).toImage();
        QCOMPARE(px(img, 0, 0), QColor(10, 200, 10));
        QCOMPARE(px(img, 74, 21), QColor(10, 200, 10));
        QCOMPARE(px(img, 37, 0), rgb(btn->palette().color(QPalette::Dark)));
    }

private:
    static QRect inkRect(const QImage &img, const QRect &area)
    {
        // Pixels of the caption that are darker than the face and rings.
        QRect r;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(img.pixel(x, y)) < 100)
                    r |= QRect(x, y, 1, 1);
        return r;
    }

    // Bounding rectangle of the pixels of a caption drawn in c on a light face. The
    // text is antialiased, so a pixel counts by its tint: grey and darker than the
    // rings for black, else the channels that are on in c clearly above the others;
    // both at the same coverage (a fifth of the full colour).
    static QRect colourRect(const QImage &img, const QRect &area, const QColor &c)
    {
        QRect r;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor p = px(img, x, y);
                const int ch[3] = { p.red(), p.green(), p.blue() };
                const int want[3] = { c.red(), c.green(), c.blue() };
                bool hit;
                if (c == QColor(0, 0, 0)) {
                    hit = std::max({ ch[0], ch[1], ch[2] }) - std::min({ ch[0], ch[1], ch[2] }) < 30
                        && qGray(p.rgb()) < 204;
                } else {
                    int onMin = 255, offMax = 0;
                    for (int i = 0; i < 3; ++i) {
                        if (want[i] > 100)
                            onMin = std::min(onMin, ch[i]);
                        else
                            offMax = std::max(offMax, ch[i]);
                    }
                    hit = onMin - offMax > 40;
                }
                if (hit)
                    r |= QRect(x, y, 1, 1);
            }
        return r;
    }

    static int countColour(const QImage &img, const QColor &c, QRect area = {})
    {
        if (area.isNull())
            area = img.rect();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += img.pixel(x, y) == c.rgb();
        return n;
    }
};

QTEST_MAIN(TstGlgBtn)
#include "tst_glgbtn.moc"
