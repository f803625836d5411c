// The Erase tool driven through the real picture surface: the square it puts
// back, what it leaves alone, and when it is on.

#include "markuptest.h"

namespace {

// The eraser's 200 twips are 13 1/3 pixels; it covers the 13 whole ones.
constexpr int kSquare = 13;

// The shown image with every pixel changed, so that any restored pixel shows.
QImage marked(const QImage& picture)
{
    QImage image = picture.copy();
    image.invertPixels();
    return image;
}

// What the shown image must be after erasing at each of the given pointer
// positions: the loaded picture inside the squares, the marks elsewhere.
QImage expectedAfterErasing(const QImage& picture, const QImage& marks, const QList<QPoint>& at)
{
    QImage expected = marks.copy();
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            for (const QPoint& corner : at) {
                if (x >= corner.x() && x < corner.x() + kSquare && y >= corner.y() &&
                    y < corner.y() + kSquare)
                    expected.setPixel(x, y, picture.pixel(x, y));
            }
        }
    }
    return expected;
}

} // namespace

class TestErase : public QObject
{
    Q_OBJECT

  private slots:
    void squareBecomesTheLoadedPicture_data();
    void squareBecomesTheLoadedPicture();
    void eraserStaysOnUntilAToolButton_data();
    void eraserStaysOnUntilAToolButton();
    void aSecondPressChangesNothing();
    void erasingAStrokeRestoresThePicture();
    void erasingUnmarkedPictureChangesNothing();
    void pieceStoreIsNeverTouched();
    void squareRepaintsOnlyItsArea();
};

void TestErase::squareBecomesTheLoadedPicture_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::newRow("inside") << QPoint(30, 20);
    QTest::newRow("top-left corner") << QPoint(0, 0);
    QTest::newRow("clipped at the right") << QPoint(112, 40);
    QTest::newRow("clipped at the bottom") << QPoint(50, 84);
    QTest::newRow("clipped at both") << QPoint(119, 89);
}

void TestErase::squareBecomesTheLoadedPicture()
{
    QFETCH(QPoint, at);
    const QImage picture = markupPicture(120, 90);
    const QImage marks = marked(picture);
    MarkupApp app(picture);
    app.main->picmain->setImage(marks);
    app.choose(app.main->btmerase);
    app.press(at);
    app.release(at);
    QVERIFY2(sameRgb(app.main->picmain->image(), marks), "the press itself erased");

    app.hover(at);
    QString difference;
    QVERIFY2(sameRgb(app.main->picmain->image(), expectedAfterErasing(picture, marks, {at}),
                     &difference),
             qPrintable(difference));
    QVERIFY(sameRgb(app.main->picmain->picture(), picture));
}

void TestErase::eraserStaysOnUntilAToolButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Erase again") << QStringLiteral("erase");
    QTest::newRow("Cut") << QStringLiteral("cut");
    QTest::newRow("Draw") << QStringLiteral("draw");
    QTest::newRow("Text") << QStringLiteral("text");
}

void TestErase::eraserStaysOnUntilAToolButton()
{
    QFETCH(QString, button);
    const QImage picture = markupPicture(150, 100);
    const QImage marks = marked(picture);
    MarkupApp app(picture);
    app.main->picmain->setImage(marks);
    app.choose(app.main->btmerase);
    app.press({5, 5});
    app.release({5, 5});
    // With no button held the eraser goes on working.
    app.hover({40, 30});
    app.hover({60, 50});
    QVERIFY(sameRgb(app.main->picmain->image(),
                    expectedAfterErasing(picture, marks, {{40, 30}, {60, 50}})));

    QPushButton* tool = button == QLatin1String("erase")  ? app.main->btmerase
                        : button == QLatin1String("cut")  ? app.main->btmcut
                        : button == QLatin1String("draw") ? app.main->btmdraw
                                                          : app.main->btmtext;
    app.choose(tool);
    QCOMPARE(app.main->actstate, std::int16_t(0));
    const QImage before = app.main->picmain->image();
    app.hover({100, 70});
    app.hover({120, 20});
    QVERIFY(sameRgb(app.main->picmain->image(), before));
}

void TestErase::aSecondPressChangesNothing()
{
    const QImage picture = markupPicture(100, 100);
    const QImage marks = marked(picture);
    MarkupApp app(picture);
    app.main->picmain->setImage(marks);
    app.choose(app.main->btmerase);
    app.press({10, 10});
    app.release({10, 10});
    app.press({50, 50});
    QCOMPARE(app.main->startx, 150.0f);
    QCOMPARE(app.main->starty, 150.0f);
    QVERIFY(sameRgb(app.main->picmain->image(), marks));
    app.drag({70, 60});
    app.release({70, 60});
    QVERIFY(sameRgb(app.main->picmain->image(), expectedAfterErasing(picture, marks, {{70, 60}})));
}

void TestErase::erasingAStrokeRestoresThePicture()
{
    const QImage picture = markupPicture(140, 100);
    MarkupApp app(picture);
    app.main->dialog.FontSize = 6;
    app.main->dialog.Color = Qt::red;
    app.choose(app.main->btmdraw);
    app.stroke({{20, 50}, {120, 50}});
    QVERIFY(!sameRgb(app.main->picmain->image(), picture));

    // Squares every 10 pixels along the stroke overlap and cover all of it.
    app.choose(app.main->btmerase);
    app.press({0, 0});
    for (int x = 10; x <= 130; x += 10)
        app.drag({x, 42});
    app.release({130, 42});
    QString difference;
    QVERIFY2(sameRgb(app.main->picmain->image(), picture, &difference), qPrintable(difference));
    QVERIFY(sameRgb(app.main->picmain->picture(), picture));
}

void TestErase::erasingUnmarkedPictureChangesNothing()
{
    const QImage picture = markupPicture(80, 60);
    MarkupApp app(picture);
    app.choose(app.main->btmerase);
    app.press({10, 10});
    app.hover({20, 20});
    app.hover({70, 50});
    QVERIFY(sameRgb(app.main->picmain->image(), picture));
    QVERIFY(sameRgb(app.main->picmain->picture(), picture));
    // Nothing was marked, so the shown image still shares the picture's pixels
    // rather than holding a copy of a possibly huge picture.
    QCOMPARE(app.main->picmain->image().cacheKey(), app.main->picmain->picture().cacheKey());
}

void TestErase::pieceStoreIsNeverTouched()
{
    const QImage picture = markupPicture(100, 80);
    MarkupApp app(picture);
    app.main->picmain->setImage(marked(picture));
    const QImage piece = app.main->cuttedpic->image().copy();
    const QSize pieceSize = app.main->cuttedpic->size();
    app.choose(app.main->btmerase);
    app.press({10, 10});
    for (int x = 0; x < 100; x += 7)
        app.hover({x, x * 8 / 10});
    QVERIFY(sameRgb(app.main->cuttedpic->image(), piece));
    QCOMPARE(app.main->cuttedpic->size(), pieceSize);
}

void TestErase::squareRepaintsOnlyItsArea()
{
    MarkupApp app(markupPicture(400, 300));
    app.main->picmain->setImage(marked(app.main->picmain->picture()));
    app.choose(app.main->btmerase);
    app.press({10, 10});
    QApplication::processEvents();
    PaintWatcher watcher;
    app.surface()->installEventFilter(&watcher);
    app.hover({200, 150});
    QTRY_VERIFY(!watcher.painted.isEmpty());
    QCOMPARE(watcher.painted.boundingRect(), QRect(200, 150, kSquare, kSquare));
}

QTEST_MAIN(TestErase)
#include "tst_erase.moc"
