// Zoom, undo and redo, and a picture from the clipboard, through the real
// main window: keys sent to it, the mouse on the picture surface, the real
// clipboard of the offscreen platform. Expected pixels come from the source
// picture by QImage::copy or by arithmetic of their own.

#include "testpictures.h"
#include "toolkit/scrollbar.h"
#include "toolkit/statusbar.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <cmath>

namespace {

struct Window : TestApp
{
    explicit Window(const QImage& picture)
    {
        main->show();
        main->activateWindow();
        exposed = QTest::qWaitForWindowActive(main.get());
        main->openDroppedFile(
            LocalFileName::fromText(writeBmp(dir, QStringLiteral("picture.bmp"), picture)));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(main.get(), static_cast<Qt::Key>(key), modifiers);
    }
    void click(QPoint at) { QTest::mouseClick(surface(), Qt::LeftButton, {}, at); }
    void move(QPoint at) { QTest::mouseMove(surface(), at); }
    void stroke(QPoint from, QPoint to)
    {
        QTest::mousePress(surface(), Qt::LeftButton, {}, from);
        QTest::mouseMove(surface(), to);
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, to);
    }
    double zoom() const { return picmain()->zoom(); }
    bool exposed = false;
};

// The picture pixel that a view pixel at zoom stands at.
int under(int view, double zoom)
{
    return static_cast<int>(std::floor(view / zoom));
}

} // namespace

class ZoomUndoPasteTest : public QObject
{
    Q_OBJECT
  private slots:
    void cutTakesThePixelsUnderTheFrame_data();
    void cutTakesThePixelsUnderTheFrame();
    void penAndEraserKeepTheirSizeInThePicture();
    void keysStepFitAndReturn();
    void wheelZoomsAboutThePointer();
    void reducedViewsAverageEnlargedViewsShowPixels();
    void undoAndRedoTakeWholeMarks();
    void undoOfACutBringsThePieceBack();
    void historyEndsWithThePictureAndIsBounded();
    void pasteOpensTheClipboardPicture();
    void textBoxKeepsItsOwnEditingKeys();
};

void ZoomUndoPasteTest::cutTakesThePixelsUnderTheFrame_data()
{
    QTest::addColumn<int>("stepsFromActualSize");
    QTest::addColumn<double>("zoom");
    QTest::newRow("1/3") << -3 << 1.0 / 3;
    QTest::newRow("1/2") << -2 << 0.5;
    QTest::newRow("2/3") << -1 << 2.0 / 3;
    QTest::newRow("2") << 1 << 2.0;
    QTest::newRow("3") << 2 << 3.0;
}

void ZoomUndoPasteTest::cutTakesThePixelsUnderTheFrame()
{
    QFETCH(int, stepsFromActualSize);
    QFETCH(double, zoom);
    const QImage source = patternImage(420, 300, 5);
    Window w(source);
    QVERIFY(w.exposed);
    for (int i = 0; i < std::abs(stepsFromActualSize); ++i)
        w.key(stepsFromActualSize > 0 ? Qt::Key_Plus : Qt::Key_Minus);
    QCOMPARE(w.zoom(), zoom);
    // The surface is the picture at that zoom, and the scroll bars follow it.
    QCOMPARE(w.surface()->size(),
             QSize(std::ceil(420 * zoom - 1e-9), std::ceil(300 * zoom - 1e-9)));

    w.button("btmcut")->click();
    const QPoint anchor(23, 17);
    const QPoint corner(101, 83);
    w.click(anchor);
    w.move((anchor + corner) / 2);
    w.move(corner);
    const QPoint from(under(anchor.x(), zoom), under(anchor.y(), zoom));
    const QPoint to(under(corner.x(), zoom), under(corner.y(), zoom));
    QCOMPARE(w.panel(1), QStringLiteral("(%1,%2)").arg(to.x() - from.x()).arg(to.y() - from.y()));
    w.click(corner);
    QString difference;
    QVERIFY2(sameRgb(w.main->document().cuttedpic().image(),
                     source.copy(QRect(from, to - QPoint(1, 1))), &difference),
             qPrintable(difference));
}

void ZoomUndoPasteTest::penAndEraserKeepTheirSizeInThePicture()
{
    QImage white(200, 160, QImage::Format_RGB32);
    white.fill(Qt::white);
    Window w(white);
    w.chooseFontSize(6);
    w.key(Qt::Key_Plus); // 2 times
    w.button("btmdraw")->click();
    w.stroke(QPoint(20, 100), QPoint(300, 100)); // picture row 50, columns 10 to 150
    const QImage marked = w.shown();
    double across = 0;
    for (int y = 0; y < marked.height(); ++y)
        across += (255 - qGreen(marked.pixel(80, y))) / 255.0;
    QVERIFY2(std::abs(across - 6) < 0.3, qPrintable(QString::number(across)));

    // The eraser's square is 13 picture pixels at 3 times as at 100 %.
    w.key(Qt::Key_Plus);
    QCOMPARE(w.zoom(), 3.0);
    w.button("btmerase")->click();
    w.click(QPoint(0, 0));
    w.move(QPoint(90, 141)); // picture (30, 47)
    const QImage erased = w.shown();
    for (int x = 29; x <= 44; ++x) {
        const bool inside = x >= 30 && x < 30 + 13;
        QCOMPARE(erased.pixel(x, 50) == qRgb(255, 255, 255), inside || x < 30 - 3 || x > 150);
    }
}

void ZoomUndoPasteTest::keysStepFitAndReturn()
{
    Window w(patternImage(1200, 500, 2));
    QCOMPARE(w.zoom(), 1.0);
    auto* across = w.find<ScrollBar>("HScroll");
    const int maxAtActualSize = across->Max();
    const QList<double> ladder = {2, 3, 4, 8, 8};
    for (double expected : ladder) {
        w.key(Qt::Key_Plus);
        QCOMPARE(w.zoom(), expected);
    }
    w.key(Qt::Key_1);
    QCOMPARE(w.zoom(), 1.0);
    w.key(Qt::Key_Minus);
    w.key(Qt::Key_Minus);
    QCOMPARE(w.zoom(), 0.5);
    // Fit: all of the picture inside the viewport, the bars off.
    w.key(Qt::Key_0);
    const QWidget* viewport = w.find<QWidget>("base");
    QVERIFY(w.picmain()->width() <= viewport->width());
    QVERIFY(w.picmain()->x() == 0 && w.picmain()->y() == 0);
    QVERIFY(!across->isEnabled());
    QVERIFY(std::abs(w.zoom() - (viewport->width() - 4 - 2) / 1200.0) < 1e-9);
    // Back at 100 % everything is as designed: the surface is the picture plus
    // its border, the range the overhang in twips.
    w.key(Qt::Key_1);
    QCOMPARE(w.picmain()->size(), QSize(1202, 502));
    QCOMPARE(across->Max(), maxAtActualSize);
    QCOMPARE(w.panel(1), QStringLiteral("表示倍率 100%"));
}

void ZoomUndoPasteTest::wheelZoomsAboutThePointer()
{
    Window w(patternImage(800, 700, 4));
    const QPoint pointer(200, 150); // in the viewport's inner area, at 100 %
    QWidget* viewport = w.find<QWidget>("base");
    const QPoint inBase = pointer + QPoint(2, 2);
    QWheelEvent wheel(inBase, viewport->mapToGlobal(inBase), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(w.zoom(), 2.0);
    // The picture pixel under the pointer is still under it.
    const QPoint onSurface = w.surface()->mapFrom(viewport, inBase);
    QCOMPARE(QPoint(under(onSurface.x(), 2), under(onSurface.y(), 2)), QPoint(199, 149));
}

void ZoomUndoPasteTest::reducedViewsAverageEnlargedViewsShowPixels()
{
    // Black and white columns: at 1/2 every view pixel is their average grey;
    // at 2 every picture pixel is a hard 2 x 2 square.
    QImage stripes(64, 64, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 64; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    Window w(stripes);
    w.key(Qt::Key_Minus);
    w.key(Qt::Key_Minus);
    QImage half = w.surface()->grab().toImage();
    QCOMPARE(qRed(half.pixel(10, 10)), 128);
    w.key(Qt::Key_1);
    w.key(Qt::Key_Plus);
    QImage twice = w.surface()->grab().toImage();
    for (int x = 0; x < 8; ++x)
        QCOMPARE(qRed(twice.pixel(x, 5)), (x / 2) % 2 ? 255 : 0);
}

void ZoomUndoPasteTest::undoAndRedoTakeWholeMarks()
{
    QImage white(200, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    Window w(white);
    w.button("btmdraw")->click();
    w.stroke(QPoint(10, 10), QPoint(190, 10));
    const QImage oneStroke = w.shown();
    QTest::mousePress(w.surface(), Qt::LeftButton, {}, QPoint(10, 50));
    for (int x = 20; x < 190; x += 20)
        w.move(QPoint(x, 50)); // one stroke of many segments
    QTest::mouseRelease(w.surface(), Qt::LeftButton, {}, QPoint(190, 50));
    const QImage twoStrokes = w.shown();

    // The eraser's run lasts from the press that switches it on to the next press.
    w.button("btmerase")->click();
    w.click(QPoint(0, 0));
    w.move(QPoint(50, 5));
    w.move(QPoint(60, 45));
    w.click(QPoint(0, 0));
    w.move(QPoint(100, 45));
    const QImage erased = w.shown();

    w.key(Qt::Key_Z); // the second run
    w.key(Qt::Key_Z); // the first run
    QVERIFY(sameRgb(w.shown(), twoStrokes));
    w.key(Qt::Key_Z);
    QVERIFY(sameRgb(w.shown(), oneStroke));
    w.key(Qt::Key_Z);
    QVERIFY(sameRgb(w.shown(), white));
    w.key(Qt::Key_Z); // nothing more to take back
    QVERIFY(sameRgb(w.shown(), white));
    w.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(sameRgb(w.shown(), oneStroke));
    w.key(Qt::Key_Y);
    w.key(Qt::Key_Y);
    w.key(Qt::Key_Y);
    QVERIFY(sameRgb(w.shown(), erased));
}

void ZoomUndoPasteTest::undoOfACutBringsThePieceBack()
{
    const QImage source = patternImage(200, 150, 9);
    Window w(source);
    w.button("btmcut")->click();
    w.click(QPoint(10, 10));
    w.move(QPoint(50, 40));
    w.click(QPoint(50, 40));
    w.main->mpreview_Click();
    w.click(QPoint(60, 60));
    w.move(QPoint(120, 100));
    w.click(QPoint(120, 100));
    QCOMPARE(w.main->document().cuttedpic().size(), QSize(60, 40));
    // The keys act in the main window, which the preview window took the focus from.
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    w.key(Qt::Key_Z);
    QVERIFY(sameRgb(w.main->document().cuttedpic().image(), source.copy(10, 10, 40, 30)));
    // The open preview shows the piece brought back.
    const auto* preview = control<PictureBox>(w.main->previewWindow(), "picpreview");
    QVERIFY(sameRgb(preview->picture(), source.copy(10, 10, 40, 30)));
    w.key(Qt::Key_Y);
    QVERIFY(sameRgb(preview->picture(), source.copy(60, 60, 60, 40)));
}

void ZoomUndoPasteTest::historyEndsWithThePictureAndIsBounded()
{
    QImage white(100, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    Window w(white);
    w.button("btmdraw")->click();
    w.stroke(QPoint(10, 10), QPoint(90, 90));
    w.main->mclose_Click();
    QVERIFY(!w.main->document().canUndo());
    w.main->openDroppedFile(
        LocalFileName::fromText(writeBmp(w.dir, QStringLiteral("again.bmp"), white)));
    w.stroke(QPoint(10, 10), QPoint(90, 90));
    w.main->openDroppedFile(
        LocalFileName::fromText(writeBmp(w.dir, QStringLiteral("again.bmp"), white)));
    QVERIFY(!w.main->document().canUndo());

    // Steps beyond the bound go, the oldest first.
    History history(3 * 256 * 256 * 4);
    for (int i = 0; i < 5; ++i) {
        history.open();
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(i);
        history.recordTile(i, tile);
        history.close();
    }
    QCOMPARE(history.undoCount(), 3);
    QCOMPARE(history.takeUndo().tiles.front().first, 4);
}

void ZoomUndoPasteTest::pasteOpensTheClipboardPicture()
{
    const QImage first = patternImage(120, 90, 1);
    Window w(first);
    const QString remembered = w.main->settings().picpath;
    const QImage copied = patternImage(700, 80, 8);
    QGuiApplication::clipboard()->setImage(copied);
    w.key(Qt::Key_V);
    QVERIFY(sameRgb(w.shown(), copied));
    QCOMPARE(w.main->settings().picpath, remembered);
    QVERIFY(w.find<ScrollBar>("HScroll")->isEnabled());

    QGuiApplication::clipboard()->setText(QStringLiteral("no picture"));
    w.key(Qt::Key_V);
    QVERIFY(sameRgb(w.shown(), copied));
    QCOMPARE(w.panel(1), QStringLiteral("クリップボードに画像がありません"));

    // Pixels dropped without a file open the same way.
    QMimeData dropped;
    dropped.setImageData(first);
    w.main->base_OLEDragDrop(&dropped);
    QVERIFY(sameRgb(w.shown(), first));
}

void ZoomUndoPasteTest::textBoxKeepsItsOwnEditingKeys()
{
    QImage white(100, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    Window w(white);
    w.button("btmdraw")->click();
    w.stroke(QPoint(10, 10), QPoint(90, 90));
    auto* textbox = w.find<QLineEdit>("textbox");
    textbox->setFocus();
    QTest::keyClicks(textbox, QStringLiteral("abc"));
    QTest::keyClick(textbox, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(textbox->text(), QString());
    QVERIFY(!sameRgb(w.shown(), white)); // the stroke is still there
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(textbox, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(textbox->text(), QStringLiteral("pasted"));
    // Elsewhere in the window the same key takes the stroke back.
    w.button("btmdraw")->setFocus();
    w.key(Qt::Key_Z);
    QVERIFY(sameRgb(w.shown(), white));
}

QTEST_MAIN(ZoomUndoPasteTest)
#include "tst_zoomundopaste.moc"
