#include "toolkit/scrollbar.h"

#include "units/twips.h"

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    // Without tracking, valueChanged waits for the thumb to be released.
    setTracking(false);
    setRange(0, 0);
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::Change);
}

void ScrollBar::Move(float left, float top, float width, float height)
{
    twips::move(this, left, top, width, height);
}
