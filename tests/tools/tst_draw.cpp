// The Draw tool driven through the real picture surface: where a stroke's
// pixels go, how wide and in what colour, and what it leaves alone.

#include "markuptest.h"

namespace {

QImage whitePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// How much of a white pixel a black pen covers, 0 to 1.
double blackCoverage(QRgb pixel)
{
    return (255.0 - qGreen(pixel)) / 255.0;
}

} // namespace

class TestDraw : public QObject
{
    Q_OBJECT

  private slots:
    void penWidthFollowsFontSize_data();
    void penWidthFollowsFontSize();
    void strokeLiesOnItsSegments_data();
    void strokeLiesOnItsSegments();
    void pressAndReleaseDrawNothing();
    void movesAfterReleaseDrawNothing();
    void colourAndWidthAreReadForEverySegment();
    void loadedPictureStaysAsLoaded();
    void segmentRepaintsOnlyItsArea();
};

void TestDraw::penWidthFollowsFontSize_data()
{
    QTest::addColumn<float>("fontSize");
    QTest::addColumn<int>("width");
    QTest::newRow("start value 8") << 8.0f << 8;
    QTest::newRow("10.5 to even 10") << 10.5f << 10;
    QTest::newRow("11.5 to even 12") << 11.5f << 12;
    QTest::newRow("12.5 to even 12") << 12.5f << 12;
    QTest::newRow("3") << 3.0f << 3;
    QTest::newRow("1") << 1.0f << 1;
    QTest::newRow("0.5 still one pixel") << 0.5f << 1;
    QTest::newRow("0.3 still one pixel") << 0.3f << 1;
}

void TestDraw::penWidthFollowsFontSize()
{
    QFETCH(float, fontSize);
    QFETCH(int, width);
    MarkupApp app(whitePicture(160, 80));
    app.chooseFontSize(fontSize);
    app.choose("btmdraw");
    app.stroke({{20, 40}, {70, 40}, {130, 40}});

    // Across the stroke, the pen's coverage adds up to its width; the default
    // colour is black, and the centre row is fully covered.
    const QImage shown = app.shown();
    for (int x : {45, 100}) {
        double across = 0;
        for (int y = 0; y < shown.height(); ++y)
            across += blackCoverage(shown.pixel(x, y));
        QVERIFY2(std::abs(across - width) < 0.3,
                 qPrintable(QStringLiteral("column %1 is %2 wide").arg(x).arg(across)));
        QCOMPARE(shown.pixel(x, 40) & 0xffffff, 0u);
    }
    QVERIFY(!app.busy());
}

void TestDraw::strokeLiesOnItsSegments_data()
{
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<float>("fontSize");
    QTest::newRow("fast zigzag") << QList<QPoint>{{10, 10}, {150, 30}, {20, 100}, {140, 110}}
                                 << 8.0f;
    QTest::newRow("steep diagonal") << QList<QPoint>{{100, 5}, {60, 115}} << 3.0f;
    QTest::newRow("thin curve") << QList<QPoint>{{30, 60}, {40, 50}, {55, 45}, {70, 47}, {90, 60}}
                                << 1.0f;
    QTest::newRow("wide, off the edge") << QList<QPoint>{{120, 20}, {200, 70}, {130, 90}} << 16.0f;
}

void TestDraw::strokeLiesOnItsSegments()
{
    QFETCH(QList<QPoint>, points);
    QFETCH(float, fontSize);
    const QImage picture = markupPicture(160, 120);
    const QRgb ink = qRgb(20, 200, 90);
    MarkupApp app(picture);
    app.chooseFontSize(fontSize);
    app.chooseColor(QColor(ink));
    app.choose("btmdraw");
    app.stroke(points);

    const QImage shown = app.shown();
    const double halfWidth = fontSize / 2.0;
    int inked = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const double distance = distanceToStroke(x, y, points);
            const QString where = QStringLiteral("(%1,%2) at %3").arg(x).arg(y).arg(distance);
            if (distance > halfWidth + 1.5)
                QVERIFY2(sameColour(shown.pixel(x, y), picture.pixel(x, y)), qPrintable(where));
            // A pixel the pen covers whole, corners included, has the pen's own colour.
            if (distance + 0.75 <= halfWidth) {
                QVERIFY2(sameColour(shown.pixel(x, y), ink), qPrintable(where));
                ++inked;
            }
            if (!sameColour(shown.pixel(x, y), picture.pixel(x, y)))
                ++inked;
        }
    }
    QVERIFY(inked > 50);
}

void TestDraw::pressAndReleaseDrawNothing()
{
    const QImage picture = markupPicture(100, 80);
    MarkupApp app(picture);
    app.chooseFontSize(20);
    app.choose("btmdraw");
    app.press({40, 40});
    QVERIFY(app.busy());
    app.release({40, 40});
    QVERIFY(sameRgb(app.shown(), picture));
    QVERIFY(!app.busy());
}

void TestDraw::movesAfterReleaseDrawNothing()
{
    const QImage picture = markupPicture(120, 80);
    MarkupApp app(picture);
    app.choose("btmdraw");
    app.stroke({{10, 10}, {30, 10}});
    const QImage afterStroke = app.shown();
    app.hover({60, 50});
    app.hover({100, 70});
    QVERIFY(sameRgb(app.shown(), afterStroke));
    QVERIFY(!sameRgb(afterStroke, picture));
}

void TestDraw::colourAndWidthAreReadForEverySegment()
{
    MarkupApp app(whitePicture(120, 120));
    app.choose("btmdraw");
    app.chooseColor(QColor(255, 0, 0));
    app.press({10, 20});
    app.drag({100, 20});
    // A choice made in the middle of a stroke applies from its next segment.
    app.chooseColor(QColor(0, 0, 0));
    app.chooseFontSize(4);
    app.drag({100, 110});
    app.release({100, 110});

    const QImage shown = app.shown();
    QCOMPARE(shown.pixel(50, 20) & 0xffffff, 0xff0000u);
    QCOMPARE(shown.pixel(100, 70) & 0xffffff, 0u);
    double across = 0;
    for (int x = 80; x < 120; ++x)
        across += blackCoverage(shown.pixel(x, 70));
    QVERIFY2(std::abs(across - 4) < 0.3, qPrintable(QString::number(across)));
}

void TestDraw::loadedPictureStaysAsLoaded()
{
    const QImage picture = markupPicture(100, 100);
    MarkupApp app(picture);
    app.choose("btmdraw");
    app.stroke({{0, 0}, {99, 99}});
    QVERIFY(sameRgb(app.main->document().picture(), picture));
    QVERIFY(!sameRgb(app.shown(), picture));
}

void TestDraw::segmentRepaintsOnlyItsArea()
{
    MarkupApp app(markupPicture(400, 300));
    app.choose("btmdraw");
    app.chooseFontSize(6);
    QTRY_VERIFY(app.surface()->isVisible());
    QApplication::processEvents();
    PaintWatcher watcher;
    app.surface()->installEventFilter(&watcher);
    app.stroke({{100, 100}, {130, 110}});
    QTRY_VERIFY(!watcher.painted.isEmpty());
    // The segment's box, widened by the half pen and antialiasing on each side.
    const QRect segment = QRect(QPoint(100, 100), QPoint(130, 110)).adjusted(-6, -6, 6, 6);
    QVERIFY2(QRegion(segment).contains(watcher.painted.boundingRect()),
             qPrintable(QStringLiteral("painted %1,%2 %3x%4")
                            .arg(watcher.painted.boundingRect().x())
                            .arg(watcher.painted.boundingRect().y())
                            .arg(watcher.painted.boundingRect().width())
                            .arg(watcher.painted.boundingRect().height())));
}

QTEST_MAIN(TestDraw)
#include "tst_draw.moc"
