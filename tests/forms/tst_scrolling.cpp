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

QSize baseInner(const frmmain& m)
{
    return QSize(twips::toPixels(m.base->ScaleWidth()), twips::toPixels(m.base->ScaleHeight()));
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
    frmmain& m = *app.main;
    loadSized(app, baseInner(m) + extra);
    QCOMPARE(m.HScroll->isEnabled(), hEnabled);
    QCOMPARE(m.VScroll->isEnabled(), vEnabled);
    // The range is the whole overhang in twips; a bar that is not needed keeps Max 0.
    QCOMPARE(m.HScroll->Max(), hEnabled ? extra.width() * 15 : 0);
    QCOMPARE(m.VScroll->Max(), vEnabled ? extra.height() * 15 : 0);
    QCOMPARE(m.picmain->pos(), QPoint(0, 0));
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
    frmmain& m = *app.main;
    const QSize inner = baseInner(m);
    loadSized(app, horizontal ? QSize(10000, 50) : QSize(50, 10000));
    ScrollBar* bar = horizontal ? m.HScroll : m.VScroll;
    QCOMPARE(bar->Max(), (10000 - (horizontal ? inner.width() : inner.height())) * 15);
    bar->setValue(bar->Max());
    // Shifted by exactly the overhang: the far edge stands one border width
    // beyond the viewport's inner edge.
    const int shift = horizontal ? m.picmain->x() : m.picmain->y();
    QCOMPARE(shift, (horizontal ? inner.width() : inner.height()) - 10000);
    QCOMPARE(horizontal ? m.picmain->y() : m.picmain->x(), 0);
}

void ScrollingTest::arrowAndTrackSteps()
{
    TestApp app;
    frmmain& m = *app.main;
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    loadSized(app, baseInner(m) + QSize(600, 600));
    QTest::mouseClick(m.HScroll, Qt::LeftButton, Qt::NoModifier,
                      centreOf(m.HScroll, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(m.HScroll->Value(), 500);
    QCOMPARE(m.picmain->x(), -33); // 500 twips, to the nearest pixel
    QTest::mouseClick(m.VScroll, Qt::LeftButton, Qt::NoModifier,
                      centreOf(m.VScroll, QStyle::SC_ScrollBarAddPage));
    QCOMPARE(m.VScroll->Value(), 1);
    QTest::mouseClick(m.HScroll, Qt::LeftButton, Qt::NoModifier,
                      centreOf(m.HScroll, QStyle::SC_ScrollBarSubLine));
    QCOMPARE(m.HScroll->Value(), 0);
    QCOMPARE(m.picmain->x(), 0);
}

void ScrollingTest::thumbMovesPictureOnRelease()
{
    TestApp app;
    frmmain& m = *app.main;
    loadSized(app, baseInner(m) + QSize(600, 0));
    m.HScroll->setSliderDown(true);
    m.HScroll->setSliderPosition(3000);
    QCOMPARE(m.picmain->x(), 0); // the picture stays still during the drag
    m.HScroll->setSliderDown(false);
    QCOMPARE(m.HScroll->Value(), 3000);
    QCOMPARE(m.picmain->x(), -200);
}

void ScrollingTest::narrowerPictureAfterScrolling()
{
    TestApp app;
    frmmain& m = *app.main;
    loadSized(app, baseInner(m) + QSize(600, 0));
    m.HScroll->setValue(m.HScroll->Max());
    loadSized(app, baseInner(m) + QSize(100, 0));
    QCOMPARE(m.HScroll->Max(), 1500);
    QVERIFY(m.HScroll->Value() <= m.HScroll->Max());
    // Either shown from its left edge or matching the pulled-back thumb.
    QVERIFY(m.picmain->x() == 0 || m.picmain->x() == -100);
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
    frmmain& m = *app.main;
    loadSized(app, baseInner(m) + QSize(2000, 2000));
    // Sent straight to the viewport: a synthesised wheel event does not travel up
    // from the picture to its parents as a real one does.
    ::wheel(m.base, angle, modifiers);
    // Each notch scrolls as far as the desktop's lines-per-notch arrow clicks.
    const int perNotch = 500 * QApplication::wheelScrollLines();
    QCOMPARE(m.HScroll->Value(), hNotches * perNotch);
    QCOMPARE(m.VScroll->Value(), vNotches * perNotch);
    QCOMPARE(-m.picmain->x(), twips::toPixels(float(m.HScroll->Value())));
    QCOMPARE(-m.picmain->y(), twips::toPixels(float(m.VScroll->Value())));
}

void ScrollingTest::touchpadFractionsAddUp()
{
    TestApp app;
    frmmain& m = *app.main;
    loadSized(app, baseInner(m) + QSize(0, 3000));
    for (int i = 0; i < 7; ++i)
        ::wheel(m.base, QPoint(0, -15), Qt::NoModifier);
    QCOMPARE(m.VScroll->Value(), 0); // seven eighths of a notch
    ::wheel(m.base, QPoint(0, -15), Qt::NoModifier);
    QCOMPARE(m.VScroll->Value(), 500 * QApplication::wheelScrollLines());
}

QTEST_MAIN(ScrollingTest)
#include "tst_scrolling.moc"
