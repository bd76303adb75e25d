#include "platform/Region.h"

#include <QImage>
#include <QPainter>
#include <QTest>

class TstRegion : public QObject
{
    Q_OBJECT

private:
    enum Kind { Rect, Round, Ellipse };
    static TRegion make(int kind, int l, int t, int r, int b, int ew, int eh)
    {
        switch (kind) {
        case Rect:
            return TRegion::rect(l, t, r, b);
        case Round:
            return TRegion::roundRect(l, t, r, b, ew, eh);
        default:
            return TRegion::ellipse(l, t, r, b);
        }
    }

private slots:
    void extents_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QRect>("bounds"); // (l, t) and (r, b) as given to the builder
        QTest::addColumn<int>("ellipse");
        QTest::addColumn<QRect>("expected");
        // Rectangular: columns l..r-1, rows t..b-1.
        QTest::newRow("rect") << int(Rect) << QRect(QPoint(2, 3), QPoint(7, 9)) << 0
                              << QRect(QPoint(2, 3), QPoint(6, 8));
        // Rounded and elliptic: one column and one row less.
        QTest::newRow("round 4") << int(Round) << QRect(QPoint(0, 0), QPoint(75, 22)) << 4
                                 << QRect(QPoint(0, 0), QPoint(73, 20));
        QTest::newRow("round 2") << int(Round) << QRect(QPoint(1, 1), QPoint(75, 22)) << 2
                                 << QRect(QPoint(1, 1), QPoint(73, 20));
        QTest::newRow("round huge") << int(Round) << QRect(QPoint(0, 0), QPoint(75, 22)) << 500
                                    << QRect(QPoint(0, 0), QPoint(73, 20));
        QTest::newRow("ellipse") << int(Ellipse) << QRect(QPoint(0, 0), QPoint(75, 22)) << 0
                                 << QRect(QPoint(0, 0), QPoint(73, 20));
        QTest::newRow("ellipse odd") << int(Ellipse) << QRect(QPoint(3, 4), QPoint(12, 9)) << 0
                                     << QRect(QPoint(3, 4), QPoint(10, 7));
        QTest::newRow("ellipse 1px")
            << int(Ellipse) << QRect(QPoint(5, 5), QPoint(7, 7)) << 0 << QRect(5, 5, 1, 1);
        QTest::newRow("ellipse tall") << int(Ellipse) << QRect(QPoint(0, 0), QPoint(4, 60)) << 0
                                      << QRect(QPoint(0, 0), QPoint(2, 58));
    }

    void extents()
    {
        QFETCH(int, kind);
        QFETCH(QRect, bounds);
        QFETCH(int, ellipse);
        QFETCH(QRect, expected);
        // QRect::right() is left + width - 1, so bounds.right() is the r given.
        const TRegion rg
            = make(kind, bounds.left(), bounds.top(), bounds.left() + bounds.width() - 1,
                bounds.top() + bounds.height() - 1, ellipse, ellipse);
        QCOMPARE(rg.boundingRect(), expected);
        // Every row of the extent is covered, and the shape is symmetric both ways.
        for (int y = expected.top(); y <= expected.bottom(); ++y) {
            bool any = false;
            for (int x = expected.left(); x <= expected.right(); ++x) {
                const bool in = rg.contains(x, y);
                any = any || in;
                QCOMPARE(rg.contains(expected.left() + expected.right() - x, y), in);
                QCOMPARE(rg.contains(x, expected.top() + expected.bottom() - y), in);
            }
            QVERIFY2(any, qPrintable(QString("row %1 empty").arg(y)));
        }
    }

    void roundedMatchesSmallerRect()
    {
        // A rounded region on (0, 0, W, H) has the extent of a rectangle on (0, 0, W-1, H-1).
        for (const QSize &s : { QSize(75, 22), QSize(20, 20), QSize(200, 188), QSize(3, 9) }) {
            const QRect rect = TRegion::rect(0, 0, s.width() - 1, s.height() - 1).boundingRect();
            QCOMPARE(TRegion::roundRect(0, 0, s.width(), s.height(), 4, 4).boundingRect(), rect);
            QCOMPARE(TRegion::ellipse(0, 0, s.width(), s.height()).boundingRect(), rect);
        }
    }

    void corners()
    {
        // Ellipse size 4 (corner radius 2) cuts one pixel at each corner.
        const TRegion r4 = TRegion::roundRect(0, 0, 10, 8, 4, 4);
        QVERIFY(!r4.contains(0, 0));
        QVERIFY(r4.contains(1, 0));
        QVERIFY(r4.contains(0, 1));
        QVERIFY(!r4.contains(8, 0));
        QVERIFY(!r4.contains(0, 6));
        QVERIFY(!r4.contains(8, 6));
        QVERIFY(r4.contains(7, 6));
        QVERIFY(!r4.contains(9, 3)); // one column short at the right
        // Ellipse size 2 is too small to cut anything.
        const TRegion r2 = TRegion::roundRect(0, 0, 10, 8, 2, 2);
        QVERIFY(r2.contains(0, 0));
        QVERIFY(r2.contains(8, 6));
        // A circle leaves its bounding corners out and keeps the middle of each edge.
        const TRegion c = TRegion::ellipse(0, 0, 17, 17);
        QVERIFY(!c.contains(0, 0));
        QVERIFY(!c.contains(1, 1));
        QVERIFY(c.contains(2, 2));
        QVERIFY(c.contains(8, 0));
        QVERIFY(c.contains(0, 8));
        QVERIFY(c.contains(15, 8));
        QVERIFY(!c.contains(16, 8));
    }

    void emptyAndDegenerate()
    {
        QVERIFY(TRegion::rect(5, 5, 5, 9).isEmpty());
        QVERIFY(TRegion::rect(5, 5, 3, 9).isEmpty());
        QVERIFY(TRegion::roundRect(0, 0, 1, 10, 4, 4).isEmpty());
        QVERIFY(TRegion::ellipse(0, 0, 10, 1).isEmpty());
        QVERIFY(!TRegion().contains(0, 0));
        QCOMPARE(TRegion().boundingRect(), QRect());
        QVERIFY(TRegion().frame().isEmpty());
    }

    void offsetMoves()
    {
        TRegion r = TRegion::roundRect(0, 0, 75, 22, 4, 4);
        r.offset(1, 1);
        QCOMPARE(r.boundingRect(), QRect(QPoint(1, 1), QPoint(74, 21)));
        QVERIFY(!r.contains(1, 1));
        QVERIFY(r.contains(2, 1));
        QVERIFY(!r.contains(0, 5));
    }

    void frame_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("rect") << int(Rect) << 6 << 5;
        QTest::newRow("round") << int(Round) << 75 << 22;
        QTest::newRow("ellipse") << int(Ellipse) << 40 << 23;
        QTest::newRow("thin") << int(Rect) << 2 << 7;
    }

    void frame()
    {
        QFETCH(int, kind);
        QFETCH(int, w);
        QFETCH(int, h);
        const TRegion rg = make(kind, 0, 0, w, h, 4, 4);
        const TRegion f = rg.frame();
        int count = 0;
        for (int y = -1; y <= h; ++y) {
            for (int x = -1; x <= w; ++x) {
                const bool border = rg.contains(x, y)
                    && (!rg.contains(x - 1, y) || !rg.contains(x + 1, y) || !rg.contains(x, y - 1)
                        || !rg.contains(x, y + 1));
                QCOMPARE(f.contains(x, y), border);
                count += border;
            }
        }
        if (kind == Rect) // a plain rectangle: its perimeter
            QCOMPARE(count, std::min(w * h, 2 * w + 2 * (h - 2)));
    }

    void fillPaintsExactlyTheRegion()
    {
        QImage img(30, 20, QImage::Format_RGB32);
        img.fill(Qt::white);
        const TRegion rg = TRegion::ellipse(2, 3, 27, 18);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, true); // fill must not antialias anyway
            rg.fill(p, QColor(10, 20, 30));
            rg.paintFrame(p, QColor(200, 0, 0));
        }
        const TRegion f = rg.frame();
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb want = f.contains(x, y) ? qRgb(200, 0, 0)
                    : rg.contains(x, y)            ? qRgb(10, 20, 30)
                                                   : qRgb(255, 255, 255);
                QCOMPARE(img.pixel(x, y), want);
            }
        }
    }
};

QTEST_MAIN(TstRegion)
#include "tst_region.moc"
