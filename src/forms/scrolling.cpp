// Scrolling the picture surface inside the viewport.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "units/twips.h"

#include <QApplication>
#include <QWheelEvent>

namespace {

// The bar follows the picture's overhang in one direction: enabled with the
// whole overhang as its range where the picture is larger than the viewport.
void setRange(ScrollBar* bar, float pictureSize, float viewportSize)
{
    if (pictureSize > viewportSize) {
        bar->setEnabled(true);
        bar->setMax(twips::toInt32(pictureSize - viewportSize).value_or(bar->Max()));
    } else {
        bar->setEnabled(false);
    }
}

} // namespace

void frmmain::setscrollrange()
{
    setRange(HScroll, picmain->ScaleWidth(), base->ScaleWidth());
    setRange(VScroll, picmain->ScaleHeight(), base->ScaleHeight());
}

void frmmain::HScroll_Change()
{
    picmain->Move(-static_cast<float>(HScroll->Value()), picmain->Top());
}

void frmmain::VScroll_Change()
{
    picmain->Move(picmain->Left(), -static_cast<float>(VScroll->Value()));
}

void frmmain::scrollByWheel(QWheelEvent* event)
{
    // A wheel notch scrolls as far as the usual number of arrow clicks; Shift
    // (or a sideways wheel) scrolls across. Touchpads report fractions of a
    // notch, which add up until they make a whole one.
    const QPoint delta = event->angleDelta();
    const bool across = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    ScrollBar* bar = across ? HScroll : VScroll;
    int& rest = across ? m_wheelRestX : m_wheelRestY;
    rest += across && delta.x() != 0 ? delta.x() : delta.y();
    const int notches = rest / 120;
    rest -= notches * 120;
    if (!bar->isEnabled() || notches == 0)
        return;
    const int steps = -notches * QApplication::wheelScrollLines();
    const auto action =
        steps > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub;
    for (int i = 0; i < std::abs(steps); ++i)
        bar->triggerAction(action);
}
