// The Erase tool driven through the real picture surface: the square it puts
// back, what it leaves alone, and when it is on.

#include "markuptest.h"

namespace {

// The eraser's 200 twips are 13 1/3 pixels; it covers the 13 whole ones.
constexpr int kSquare = 13;

// A colour no pixel of the test pictures has, so that any restored pixel shows.
constexpr QRgb kInk = 0xff010203;

// Marks every pixel of the picture with one stroke of a pen wider than the
// picture, and returns what the marked picture must then be.
QImage markEverything(MarkupApp& app, QSize size)
{
    app.chooseColor(QColor(kInk));
    app.chooseFontSize(static_cast<float>(2 * (size.width() + size.height())));
    app.choose("btmdraw");
    app.stroke({{0, 0}, {size.width() - 1, size.height() - 1}});
    QImage marks(size, QImage::Format_RGB32);
    marks.fill(kInk);
    return marks;
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
    MarkupApp app(picture);
    const QImage marks = markEverything(app, picture.size());
    QVERIFY(sameRgb(app.shown(), marks));
    app.choose("btmerase");
    app.press(at);
    app.release(at);
    QVERIFY2(sameRgb(app.shown(), marks), "the press itself erased");

    app.hover(at);
    QString difference;
    QVERIFY2(sameRgb(app.shown(), expectedAfterErasing(picture, marks, {at}), &difference),
             qPrintable(difference));
    QVERIFY(sameRgb(app.main->document().picture(), picture));
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
    MarkupApp app(picture);
    const QImage marks = markEverything(app, picture.size());
    app.choose("btmerase");
    app.press({5, 5});
    app.release({5, 5});
    QVERIFY(app.busy());
    // With no button held the eraser goes on working.
    app.hover({40, 30});
    app.hover({60, 50});
    QVERIFY(sameRgb(app.shown(), expectedAfterErasing(picture, marks, {{40, 30}, {60, 50}})));

    app.choose(qPrintable(QStringLiteral("btm") + button));
    QVERIFY(!app.busy());
    const QImage before = app.shown();
    app.hover({100, 70});
    app.hover({120, 20});
    QVERIFY(sameRgb(app.shown(), before));
}

void TestErase::aSecondPressChangesNothing()
{
    const QImage picture = markupPicture(100, 100);
    MarkupApp app(picture);
    const QImage marks = markEverything(app, picture.size());
    app.choose("btmerase");
    app.press({10, 10});
    app.release({10, 10});
    app.press({50, 50});
    QVERIFY(app.busy());
    QVERIFY(sameRgb(app.shown(), marks));
    app.drag({70, 60});
    app.release({70, 60});
    QVERIFY(app.busy());
    QVERIFY(sameRgb(app.shown(), expectedAfterErasing(picture, marks, {{70, 60}})));
}

void TestErase::erasingAStrokeRestoresThePicture()
{
    const QImage picture = markupPicture(140, 100);
    MarkupApp app(picture);
    app.chooseFontSize(6);
    app.chooseColor(Qt::red);
    app.choose("btmdraw");
    app.stroke({{20, 50}, {120, 50}});
    QVERIFY(!sameRgb(app.shown(), picture));

    // Squares every 10 pixels along the stroke overlap and cover all of it.
    app.choose("btmerase");
    app.press({0, 0});
    for (int x = 10; x <= 130; x += 10)
        app.drag({x, 42});
    app.release({130, 42});
    QString difference;
    QVERIFY2(sameRgb(app.shown(), picture, &difference), qPrintable(difference));
    QVERIFY(sameRgb(app.main->document().picture(), picture));
}

void TestErase::erasingUnmarkedPictureChangesNothing()
{
    const QImage picture = markupPicture(80, 60);
    MarkupApp app(picture);
    app.choose("btmerase");
    app.press({10, 10});
    app.hover({20, 20});
    app.hover({70, 50});
    QVERIFY(sameRgb(app.shown(), picture));
    QVERIFY(sameRgb(app.main->document().picture(), picture));
    // Nothing was marked, so no tile holds pixels of its own: the marked picture
    // still shares the loaded one's rather than a copy of a possibly huge picture.
    QCOMPARE(app.main->document().markedTiles(), 0);
}

void TestErase::pieceStoreIsNeverTouched()
{
    const QImage picture = markupPicture(100, 80);
    MarkupApp app(picture);
    markEverything(app, picture.size());
    const PieceStore& store = app.main->document().cuttedpic();
    const QImage piece = store.image().copy();
    const QSize pieceSize = store.size();
    app.choose("btmerase");
    app.press({10, 10});
    for (int x = 0; x < 100; x += 7)
        app.hover({x, x * 8 / 10});
    // It did erase: a square along the way is the picture again, a corner away
    // from the way still marked.
    QVERIFY(sameRgb(app.shown().copy(70, 56, 13, 13), picture.copy(70, 56, 13, 13)));
    QVERIFY(!sameRgb(app.shown().copy(85, 5, 10, 10), picture.copy(85, 5, 10, 10)));
    QVERIFY(sameRgb(store.image(), piece));
    QCOMPARE(store.size(), pieceSize);
}

void TestErase::squareRepaintsOnlyItsArea()
{
    MarkupApp app(markupPicture(400, 300));
    markEverything(app, QSize(400, 300));
    app.choose("btmerase");
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
