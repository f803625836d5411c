// The picture surface on a screen scaled by 2: the picture shows at its own size
// in device-independent pixels, the readout counts picture pixels, and a cut
// takes exactly the selected picture pixels, also where the pointer stands on
// the second screen pixel of a picture pixel. Expected pieces are cropped from
// the source picture with QImage::copy.

#include "testpictures.h"
#include "toolkit/picturebox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

class ScaledFixture
{
  public:
    ScaledFixture() : source(patternImage(160, 120, 5))
    {
        app.main->show();
        ok = QTest::qWaitForWindowExposed(app.main.get());
        app.open(writeBmp(app.dir, QStringLiteral("source.bmp"), source));
        QTest::mouseClick(app.button("btmcut"), Qt::LeftButton);
    }

    QWidget* surface() { return app.surface(); }
    const QImage& piece() const { return app.main->document().cuttedpic().image(); }

    // A press as Qt delivers it from a scaled screen: the widget's position
    // rounded to whole pixels, the window's position exact.
    void pressAt(QPointF exact)
    {
        const QPointF inWindow = exact + QPointF(surface()->mapTo(app.main.get(), QPoint(0, 0)));
        const QPointF global = surface()->mapToGlobal(exact);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, exact.toPoint(), inWindow, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(surface(), &event);
        }
    }

    TestApp app;
    QImage source;
    bool ok = false;
};

} // namespace

class HiDpiTest : public QObject
{
    Q_OBJECT
  private slots:
    void screenIsScaled();
    void pictureShowsAtItsOwnSize();
    void readoutAndPieceCountPicturePixels_data();
    void readoutAndPieceCountPicturePixels();
    void secondScreenPixelNamesTheSamePicturePixel();
};

void HiDpiTest::screenIsScaled()
{
    ScaledFixture f;
    QVERIFY(f.ok);
    QCOMPARE(f.app.main->devicePixelRatioF(), 2.0);
}

void HiDpiTest::pictureShowsAtItsOwnSize()
{
    ScaledFixture f;
    QCOMPARE(f.surface()->size(), f.source.size());
    // Each picture pixel covers a 2 x 2 block of screen pixels.
    const QImage shown = f.surface()->grab().toImage();
    QCOMPARE(shown.size(), f.source.size() * 2);
    for (const QPoint p : {QPoint(0, 0), QPoint(37, 11), QPoint(159, 119)}) {
        for (const QPoint d : {QPoint(0, 0), QPoint(1, 1)})
            QCOMPARE(shown.pixel(p * 2 + d) & 0xffffff, f.source.pixel(p) & 0xffffff);
    }
}

void HiDpiTest::readoutAndPieceCountPicturePixels_data()
{
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("down right") << QPoint(10, 20) << QPoint(73, 61) << QRect(10, 20, 63, 41);
    QTest::newRow("up left") << QPoint(150, 100) << QPoint(101, 7) << QRect(101, 7, 49, 93);
}

void HiDpiTest::readoutAndPieceCountPicturePixels()
{
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, corner);
    QFETCH(QRect, expected);
    ScaledFixture f;
    QTest::mouseClick(f.surface(), Qt::LeftButton, Qt::NoModifier, anchor);
    QTest::mouseMove(f.surface(), corner);
    QCOMPARE(f.app.panel(1),
             QStringLiteral("(%1,%2)").arg(expected.width()).arg(expected.height()));
    QTest::mouseClick(f.surface(), Qt::LeftButton, Qt::NoModifier, corner);
    QString difference;
    QVERIFY2(sameRgb(f.piece(), f.source.copy(expected), &difference), qPrintable(difference));
}

void HiDpiTest::secondScreenPixelNamesTheSamePicturePixel()
{
    ScaledFixture f;
    // Screen pixels (43, 27) and (121, 89) lie in picture pixels (21, 13) and (60, 44).
    f.pressAt(QPointF(21.5, 13.5));
    f.pressAt(QPointF(60.5, 44.5));
    QString difference;
    QVERIFY2(sameRgb(f.piece(), f.source.copy(QRect(21, 13, 39, 31)), &difference),
             qPrintable(difference));
}

int main(int argc, char* argv[])
{
    // The scale must be known before the application starts.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
