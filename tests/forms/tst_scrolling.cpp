// Scrolling the picture inside the viewport: the ranges set after a load (the
// whole overhang, however large), the arrow and track steps, the thumb, and the
// mouse wheel over the viewport.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "units/twips.h"

#include <QApplication>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

namespace {

PictureBox* base(const TestApp& app)
{
    return app.find<PictureBox>("base");
}

ScrollBar* bar(const TestApp& app, const char* name)
{
    return app.find<ScrollBar>(name);
}

QSize baseInner(const TestApp& app)
{
    const PictureBox* viewport = base(app);
    return QSize(twips::toPixels(viewport->ScaleWidth()), twips::toPixels(viewport->ScaleHeight()));
}

// Loads a picture whose size is the viewport's inner size plus the given amounts.
void loadSized(TestApp& app, QSize size)
{
    app.open(writeBmp(app.dir, QStringLiteral("p%1x%2.bmp").arg(size.width()).arg(size.height()),
                      patternImage(size.width(), size.height())));
}

QPoint centreOf(ScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

void wheel(QWidget* target, QPoint angle, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), angle,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

class ScrollingTest : public QObject
{
    Q_OBJECT
  private slots:
    void ranges_data();
    void ranges();
    void fullRangeReachesFarEdge_data();
    void fullRangeReachesFarEdge();
    void arrowAndTrackSteps();
    void thumbMovesPictureOnRelease();
    void narrowerPictureAfterScrolling();
    void wheel_data();
    void wheel();
    void touchpadFractionsAddUp();
};

void ScrollingTest::ranges_data()
{
    QTest::addColumn<QSize>("extra"); // added to the viewport's inner size
    QTest::addColumn<bool>("hEnabled");
    QTest::addColumn<bool>("vEnabled");
    QTest::newRow("smaller") << QSize(-10, -30) << false << false;
    QTest::newRow("equal") << QSize(0, 0) << false << false;
    QTest::newRow("one pixel larger") << QSize(1, 1) << true << true;
    QTest::newRow("wider only") << QSize(40, -1) << true << false;
    QTest::newRow("taller only") << QSize(-1, 40) << false << true;
    QTest::newRow("10000 px wide") << QSize(10000, 0) << true << false;
    QTest::newRow("10000 px tall") << QSize(0, 10000) << false << true;
}

void ScrollingTest::ranges()
{
    QFETCH(QSize, extra);
    QFETCH(bool, hEnabled);
    QFETCH(bool, vEnabled);
    TestApp app;
    loadSized(app, baseInner(app) + extra);
    QCOMPARE(bar(app, "HScroll")->isEnabled(), hEnabled);
    QCOMPARE(bar(app, "VScroll")->isEnabled(), vEnabled);
    // The range is the whole overhang in twips; a bar that is not needed keeps Max 0.
    QCOMPARE(bar(app, "HScroll")->Max(), hEnabled ? extra.width() * 15 : 0);
    QCOMPARE(bar(app, "VScroll")->Max(), vEnabled ? extra.height() * 15 : 0);
    QCOMPARE(app.picmain()->pos(), QPoint(0, 0));
}

void ScrollingTest::fullRangeReachesFarEdge_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("across") << true;
    QTest::newRow("down") << false;
}

void ScrollingTest::fullRangeReachesFarEdge()
{
    QFETCH(bool, horizontal);
    TestApp app;
    const QSize inner = baseInner(app);
    loadSized(app, horizontal ? QSize(10000, 50) : QSize(50, 10000));
    ScrollBar* scrolled = bar(app, horizontal ? "HScroll" : "VScroll");
    QCOMPARE(scrolled->Max(), (10000 - (horizontal ? inner.width() : inner.height())) * 15);
    scrolled->setValue(scrolled->Max());
    // Shifted by exactly the overhang: the far edge stands one border width
    // beyond the viewport's inner edge.
    const int shift = horizontal ? app.picmain()->x() : app.picmain()->y();
    QCOMPARE(shift, (horizontal ? inner.width() : inner.height()) - 10000);
    QCOMPARE(horizontal ? app.picmain()->y() : app.picmain()->x(), 0);
}

void ScrollingTest::arrowAndTrackSteps()
{
    TestApp app;
    app.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
    loadSized(app, baseInner(app) + QSize(600, 600));
    QTest::mouseClick(bar(app, "HScroll"), Qt::LeftButton, Qt::NoModifier,
                      centreOf(bar(app, "HScroll"), QStyle::SC_ScrollBarAddLine));
    QCOMPARE(bar(app, "HScroll")->Value(), 500);
    QCOMPARE(app.picmain()->x(), -33); // 500 twips, to the nearest pixel
    QTest::mouseClick(bar(app, "VScroll"), Qt::LeftButton, Qt::NoModifier,
                      centreOf(bar(app, "VScroll"), QStyle::SC_ScrollBarAddPage));
    QCOMPARE(bar(app, "VScroll")->Value(), 1);
    QTest::mouseClick(bar(app, "HScroll"), Qt::LeftButton, Qt::NoModifier,
                      centreOf(bar(app, "HScroll"), QStyle::SC_ScrollBarSubLine));
    QCOMPARE(bar(app, "HScroll")->Value(), 0);
    QCOMPARE(app.picmain()->x(), 0);
}

void ScrollingTest::thumbMovesPictureOnRelease()
{
    TestApp app;
    loadSized(app, baseInner(app) + QSize(600, 0));
    bar(app, "HScroll")->setSliderDown(true);
    bar(app, "HScroll")->setSliderPosition(3000);
    QCOMPARE(app.picmain()->x(), 0); // the picture stays still during the drag
    bar(app, "HScroll")->setSliderDown(false);
    QCOMPARE(bar(app, "HScroll")->Value(), 3000);
    QCOMPARE(app.picmain()->x(), -200);
}

void ScrollingTest::narrowerPictureAfterScrolling()
{
    TestApp app;
    loadSized(app, baseInner(app) + QSize(600, 0));
    bar(app, "HScroll")->setValue(bar(app, "HScroll")->Max());
    loadSized(app, baseInner(app) + QSize(100, 0));
    QCOMPARE(bar(app, "HScroll")->Max(), 1500);
    QVERIFY(bar(app, "HScroll")->Value() <= bar(app, "HScroll")->Max());
    // Either shown from its left edge or matching the pulled-back thumb.
    QVERIFY(app.picmain()->x() == 0 || app.picmain()->x() == -100);
}

void ScrollingTest::wheel_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("hNotches"); // expected arrow steps per bar
    QTest::addColumn<int>("vNotches");
    const auto none = Qt::KeyboardModifiers();
    QTest::newRow("down") << QPoint(0, -120) << none << 0 << 1;
    QTest::newRow("down twice as far") << QPoint(0, -240) << none << 0 << 2;
    QTest::newRow("up at the top") << QPoint(0, 120) << none << 0 << 0;
    QTest::newRow("shift: across")
        << QPoint(0, -120) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1 << 0;
    QTest::newRow("sideways wheel") << QPoint(-120, 0) << none << 1 << 0;
}

void ScrollingTest::wheel()
{
    QFETCH(QPoint, angle);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, hNotches);
    QFETCH(int, vNotches);
    TestApp app;
    loadSized(app, baseInner(app) + QSize(2000, 2000));
    // Sent straight to the viewport: a synthesised wheel event does not travel up
    // from the picture to its parents as a real one does.
    ::wheel(base(app), angle, modifiers);
    // Each notch scrolls as far as the desktop's lines-per-notch arrow clicks.
    const int perNotch = 500 * QApplication::wheelScrollLines();
    QCOMPARE(bar(app, "HScroll")->Value(), hNotches * perNotch);
    QCOMPARE(bar(app, "VScroll")->Value(), vNotches * perNotch);
    QCOMPARE(-app.picmain()->x(), twips::toPixels(float(bar(app, "HScroll")->Value())));
    QCOMPARE(-app.picmain()->y(), twips::toPixels(float(bar(app, "VScroll")->Value())));
}

void ScrollingTest::touchpadFractionsAddUp()
{
    TestApp app;
    loadSized(app, baseInner(app) + QSize(0, 3000));
    for (int i = 0; i < 7; ++i)
        ::wheel(base(app), QPoint(0, -15), Qt::NoModifier);
    QCOMPARE(bar(app, "VScroll")->Value(), 0); // seven eighths of a notch
    ::wheel(base(app), QPoint(0, -15), Qt::NoModifier);
    QCOMPARE(bar(app, "VScroll")->Value(), 500 * QApplication::wheelScrollLines());
}

QTEST_MAIN(ScrollingTest)
#include "tst_scrolling.moc"
