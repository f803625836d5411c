// The Cut tool driven through the real widgets: presses and moves on the
// picture surface, the size readout, the piece store and the clipboard. Expected
// pieces are cropped from the source picture with QImage::copy.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
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
        QTest::mouseClick(main().btmcut, Qt::LeftButton);
    }

    frmmain& main() { return *app.main; }
    QWidget* surface() { return main().picmain->client(); }

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
    QImage piece() const { return app.main->cuttedpic->image(); }

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
    void screenshot();
};

void CutTest::blankPieceBeforeFirstCut()
{
    CutFixture f;
    QVERIFY(!f.main().cuttedpic->isVisible());
    QImage blank(97, 97, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(sameRgb(f.piece(), blank));
    QTest::mouseClick(f.main().btmpaste, Qt::LeftButton);
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
    QCOMPARE(f.main().actstate, std::int16_t(1));
    f.move(corner);
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(120,45)"));
    QCOMPARE(f.main().cutimage->geometry(), QRect(10, 20, 120, 45));
    f.press(corner, button);

    QCOMPARE(f.main().actstate, std::int16_t(0));
    QCOMPARE(f.main().dragdir, std::int16_t(direction));
    QString difference;
    QVERIFY2(sameRgb(f.piece(), f.source.copy(10, 20, 120, 45), &difference),
             qPrintable(difference));
    QCOMPARE(f.main().cuttedpic->size(), QSize(120, 45));
    // The frame and the readout stay until the next anchor.
    QCOMPARE(f.main().cutimage->geometry(), QRect(10, 20, 120, 45));
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(120,45)"));
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
    const QRect frame = f.main().cutimage->geometry();
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(40,30)"));
    f.move(along);
    QCOMPARE(f.main().cutimage->geometry(), frame);
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(40,30)"));
    QCOMPARE(f.main().dragdir, std::int16_t(0));
}

void CutTest::positionsLeftOrAboveCountAsEdge()
{
    CutFixture f;
    f.press(QPoint(50, 40));
    // A held-button drag past the surface's top-left reports negative positions.
    f.main().picmain_MouseMove(1, 0, -450, -900);
    QCOMPARE(f.main().cutimage->geometry(), QRect(0, 0, 50, 40));
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(50,40)"));
    f.main().picmain_MouseDown(1, 0, -450, -900);
    QVERIFY(sameRgb(f.piece(), f.source.copy(0, 0, 50, 40)));
}

void CutTest::scrollingBetweenPressesKeepsRectangle()
{
    CutFixture f(QSize(900, 800));
    QVERIFY(f.ok);
    f.press(QPoint(150, 120));
    for (int i = 0; i < 3; ++i)
        f.main().HScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    f.main().VScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(f.main().picmain->x() < -90 && f.main().picmain->y() < -30);
    f.move(QPoint(300, 250));
    f.press(QPoint(300, 250));
    QVERIFY(sameRgb(f.piece(), f.source.copy(150, 120, 150, 130)));
    QCOMPARE(f.main().statusbar->Panel(1), QStringLiteral("(150,130)"));
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
    QCOMPARE(f.main().actstate, std::int16_t(0));
    QImage cleared(30, 20, QImage::Format_RGB32);
    cleared.fill(Qt::white);
    QVERIFY(sameRgb(f.piece(), cleared));
    QCOMPARE(f.main().cutimage->geometry(), QRect(100, 100, 50, 50));
}

void CutTest::zeroHeightGivesEmptyPiece()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.press(QPoint(100, 100));
    f.move(QPoint(150, 150));
    f.press(QPoint(160, 100));
    QCOMPARE(f.main().actstate, std::int16_t(0));
    QCOMPARE(f.piece().size(), QSize(0, 0));
    QTest::mouseClick(f.main().btmpaste, Qt::LeftButton); // must not fail
}

void CutTest::pieceHoldsMarksButNotOverlays()
{
    CutFixture f;
    QVERIFY(f.ok);
    frmmain& m = f.main();
    m.picmain->ForeColor = Qt::blue;
    m.picmain->DrawWidth = 4;
    m.picmain->Line(600, 600, 1800, 900);
    // The text preview floats over the rectangle; it must not reach the piece.
    m.textimage->setText(QStringLiteral("WWWWWW"));
    m.textimage->setGeometry(45, 45, 80, 20);
    f.cut(QPoint(30, 30), QPoint(150, 90));
    const QImage shown = m.picmain->image().copy(30, 30, 120, 60);
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
    QTest::mouseClick(f.main().btmcut, Qt::LeftButton);
    QCOMPARE(f.main().actstate, std::int16_t(0));
    QCOMPARE(f.main().cutimage->geometry().size(), QSize(0, 0));
    QCOMPARE(f.main().statusbar->Panel(1), QString());
    QVERIFY(sameRgb(f.piece(), piece));
}

void CutTest::clipboardHoldsPiece()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.cut(QPoint(70, 15), QPoint(20, 80));
    QTest::mouseClick(f.main().btmpaste, Qt::LeftButton);
    const QImage copied = QGuiApplication::clipboard()->image();
    QString difference;
    QVERIFY2(sameRgb(copied, f.source.copy(20, 15, 50, 65), &difference), qPrintable(difference));
}

void CutTest::screenshot()
{
    CutFixture f;
    QVERIFY(f.ok);
    f.press(QPoint(40, 30));
    f.move(QPoint(200, 150));
    saveScreenshot(&f.main(), QStringLiteral("cut"));
}

QTEST_MAIN(CutTest)
#include "tst_cut.moc"
