// The Cut tool driven through the real widgets: presses and moves on the
// picture surface, the size readout, the piece store and the clipboard. Expected
// pieces are cropped from the source picture with QImage::copy.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "tools/cuttool.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

class CutFixture
{
  public:
    explicit CutFixture(QSize size = QSize(300, 200))
        : source(patternImage(size.width(), size.height(), 11))
    {
        app.main->show();
        ok = QTest::qWaitForWindowExposed(app.main.get());
        app.open(writeBmp(app.dir, QStringLiteral("source.bmp"), source));
        QTest::mouseClick(app.button("btmcut"), Qt::LeftButton);
    }

    frmmain& main() { return *app.main; }
    QWidget* surface() { return app.surface(); }
    bool busy() const { return app.main->activeTool()->busy(); }
    QRect frame() const { return app.selectionFrame(); }
    QString readout() const { return app.panel(1); }

    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(surface(), button, Qt::NoModifier, at);
    }
    void move(QPoint to) { QTest::mouseMove(surface(), to); }
    // Anchor, drag the frame to the far corner, press there.
    void cut(QPoint anchor, QPoint corner, Qt::MouseButton button = Qt::LeftButton)
    {
        press(anchor, button);
        move((anchor + corner) / 2);
        move(corner);
        press(corner, button);
    }
    QImage piece() const { return app.main->document().cuttedpic().image(); }

    TestApp app;
    QImage source;
    bool ok = false;
};

} // namespace

class CutTest : public QObject
{
    Q_OBJECT
  private slots:
    void blankPieceBeforeFirstCut();
    void cutFromEachCorner_data();
    void cutFromEachCorner();
    void moveAlongAnchorLineChangesNothing_data();
    void moveAlongAnchorLineChangesNothing();
    void positionsLeftOrAboveCountAsEdge();
    void scrollingBetweenPressesKeepsRectangle();
    void completingBeforeAnchorClearsPiece();
    void zeroHeightGivesEmptyPiece();
    void pieceHoldsMarksButNotOverlays();
    void toolButtonAbandonsCut();
    void clipboardHoldsPiece();
    void frameShowsOverThePicture();
};

void CutTest::blankPieceBeforeFirstCut()
{
    CutFixture f;
    QImage blank(97, 97, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(sameRgb(f.piece(), blank));
    QTest::mouseClick(f.app.button("btmpaste"), Qt::LeftButton);
    QVERIFY(sameRgb(QGuiApplication::clipboard()->image(), blank));
}

void CutTest::cutFromEachCorner_data()
{
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("direction");
    const QPoint tl(10, 20), tr(130, 20), bl(10, 65), br(130, 65);
    QTest::newRow("from top left") << tl << br << Qt::LeftButton << 0;
    QTest::newRow("from top right") << tr << bl << Qt::LeftButton << 1;
    QTest::newRow("from bottom left") << bl << tr << Qt::LeftButton << 2;
    QTest::newRow("from bottom right") << br << tl << Qt::LeftButton << 3;
    QTest::newRow("right button") << tl << br << Qt::RightButton << 0;
    QTest::newRow("middle button") << br << tl << Qt::MiddleButton << 3;
}

void CutTest::cutFromEachCorner()
{
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, corner);
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, direction);
    CutFixture f;
    QVERIFY(f.ok);
    f.press(anchor, button);
    QVERIFY(f.busy());
    f.move(corner);
    QCOMPARE(f.readout(), QStringLiteral("(120,45)"));
    QCOMPARE(f.frame(), QRect(10, 20, 120, 45));
    f.press(corner, button);

    QVERIFY(!f.busy());
    QCOMPARE(CutTool::directionOf(anchor, corner), std::optional<std::int16_t>(direction));
    QString difference;
    QVERIFY2(sameRgb(f.piece(), f.source.copy(10, 20, 120, 45), &difference),
             qPrintable(difference));
    QCOMPARE(f.main().document().cuttedpic().size(), QSize(120, 45));
    // The frame and the readout stay until the next anchor.
    QCOMPARE(f.frame(), QRect(10, 20, 120, 45));
    QCOMPARE(f.readout(), QStringLiteral("(120,45)"));
}

void CutTest::moveAlongAnchorLineChangesNothing_data()
{
    QTest::addColumn<QPoint>("along");
    QTest::newRow("along the anchor's row") << QPoint(140, 50);
    QTest::newRow("along the anchor's column") << QPoint(50, 10);
    QTest::newRow("onto the anchor") << QPoint(50, 50);
}

void CutTest::moveAlongAnchorLineChangesNothing()
{
    QFETCH(QPoint, along);
    CutFixture f;
    QVERIFY(f.ok);
    f.press(QPoint(50, 50));
    f.move(QPoint(90, 80));
    const QRect frame = f.frame();
    QCOMPARE(frame, QRect(50, 50, 40, 30));
    QCOMPARE(f.readout(), QStringLiteral("(40,30)"));
    f.move(along);
    QCOMPARE(f.frame(), frame);
    QCOMPARE(f.readout(), QStringLiteral("(40,30)"));
    QVERIFY(f.busy());
}

void CutTest::positionsLeftOrAboveCountAsEdge()
{
    CutFixture f;
    f.press(QPoint(50, 40));
    // A held-button drag past the surface's top-left reports negative positions.
    f.main().picmain_MouseMove(1, 0, -450, -900);
    QCOMPARE(f.frame(), QRect(0, 0, 50, 40));
    QCOMPARE(f.readout(), QStringLiteral("(50,40)"));
    f.main().picmain_MouseDown(1, 0, -450, -900);
    QVERIFY(sameRgb(f.piece(), f.source.copy(0, 0, 50, 40)));
}

void CutTest::scrollingBetweenPressesKeepsRectangle()
{
    CutFixture f(QSize(900, 800));
    QVERIFY(f.ok);
    f.press(QPoint(150, 120));
    for (int i = 0; i < 3; ++i)
        f.app.find<ScrollBar>("HScroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    f.app.find<ScrollBar>("VScroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(f.app.picmain()->x() < -90 && f.app.picmain()->y() < -30);
    f.move(QPoint(300, 250));
    f.press(QPoint(300, 250));
    QVERIFY(sameRgb(f.piece(), f.source.copy(150, 120, 150, 130)));
    QCOMPARE(f.readout(), QStringLiteral("(150,130)"));
}

void CutTest::completingBeforeAnchorClearsPiece()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.cut(QPoint(5, 5), QPoint(35, 25));
    QCOMPARE(f.piece().size(), QSize(30, 20));
    // On the anchor's column and above it: a negative height.
    f.press(QPoint(100, 100));
    f.move(QPoint(150, 150));
    f.press(QPoint(100, 60));
    QVERIFY(!f.busy());
    QImage cleared(30, 20, QImage::Format_RGB32);
    cleared.fill(Qt::white);
    QVERIFY(sameRgb(f.piece(), cleared));
    QCOMPARE(f.frame(), QRect(100, 100, 50, 50));
}

void CutTest::zeroHeightGivesEmptyPiece()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.press(QPoint(100, 100));
    f.move(QPoint(150, 150));
    f.press(QPoint(160, 100));
    QVERIFY(!f.busy());
    QCOMPARE(f.piece().size(), QSize(0, 0));
    QTest::mouseClick(f.app.button("btmpaste"), Qt::LeftButton); // must not fail
}

void CutTest::pieceHoldsMarksButNotOverlays()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.app.chooseColor(Qt::blue);
    f.app.chooseFontSize(4);
    QTest::mouseClick(f.app.button("btmdraw"), Qt::LeftButton);
    QTest::mousePress(f.surface(), Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(f.surface(), QPoint(120, 60));
    QTest::mouseRelease(f.surface(), Qt::LeftButton, {}, QPoint(120, 60));
    QTest::mouseClick(f.app.button("btmcut"), Qt::LeftButton);
    // The text preview floats over the rectangle; it must not reach the piece.
    QLabel* preview = f.app.textPreview();
    preview->setText(QStringLiteral("WWWWWW"));
    preview->setGeometry(45, 45, 80, 20);
    f.cut(QPoint(30, 30), QPoint(150, 90));
    QVERIFY(preview->isVisible());
    const QImage shown = f.app.shown().copy(30, 30, 120, 60);
    QVERIFY(!sameRgb(shown, f.source.copy(30, 30, 120, 60))); // the line is in it
    QVERIFY(sameRgb(f.piece(), shown));
}

void CutTest::toolButtonAbandonsCut()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.cut(QPoint(5, 5), QPoint(45, 35));
    const QImage piece = f.piece().copy();
    f.press(QPoint(60, 60));
    f.move(QPoint(90, 90));
    QTest::mouseClick(f.app.button("btmcut"), Qt::LeftButton);
    QVERIFY(!f.busy());
    QCOMPARE(f.frame().size(), QSize(0, 0));
    QCOMPARE(f.readout(), QString());
    QVERIFY(sameRgb(f.piece(), piece));
}

void CutTest::clipboardHoldsPiece()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.cut(QPoint(70, 15), QPoint(20, 80));
    QTest::mouseClick(f.app.button("btmpaste"), Qt::LeftButton);
    const QImage copied = QGuiApplication::clipboard()->image();
    QString difference;
    QVERIFY2(sameRgb(copied, f.source.copy(20, 15, 50, 65), &difference), qPrintable(difference));
}

void CutTest::frameShowsOverThePicture()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.press(QPoint(40, 30));
    f.move(QPoint(200, 150));
    saveScreenshot(&f.main(), QStringLiteral("cut"));
    // As the user sees it: a dotted black and white outline around the
    // rectangle, the picture itself inside and outside it.
    const QImage seen = f.surface()->grab().toImage();
    const QRect frame(40, 30, 160, 120);
    QSet<QRgb> outline;
    for (int x = frame.left(); x <= frame.right(); ++x)
        outline << (seen.pixel(x, frame.top()) & 0xffffff)
                << (seen.pixel(x, frame.bottom()) & 0xffffff);
    for (int y = frame.top(); y <= frame.bottom(); ++y)
        outline << (seen.pixel(frame.left(), y) & 0xffffff)
                << (seen.pixel(frame.right(), y) & 0xffffff);
    QCOMPARE(outline, QSet<QRgb>({0x000000u, 0xffffffu}));
    const QRect inside = frame.adjusted(1, 1, -1, -1);
    QVERIFY(sameRgb(seen.copy(inside), f.source.copy(inside)));
    QVERIFY(sameRgb(seen.copy(0, 0, 300, 29), f.source.copy(0, 0, 300, 29)));
}

QTEST_MAIN(CutTest)
#include "tst_cut.moc"
