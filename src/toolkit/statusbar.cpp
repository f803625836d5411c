#include "toolkit/statusbar.h"

#include "units/twips.h"

#include <QLabel>
#include <QTimer>

namespace {
constexpr float kPanelWidth = 1440; // twips, also the panels' minimum width
constexpr float kBarHeight = 255;
constexpr int kFlashMilliseconds = 2000;
} // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    // At least the designed height; taller where the system font needs it, so
    // the panel texts are never clipped.
    setMinimumHeight(twips::toPixels(kBarHeight));
    for (QLabel*& label : m_panels) {
        label = new QLabel(this);
        label->setMinimumWidth(twips::toPixels(kPanelWidth));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(2, 0, 2, 0);
        addWidget(label);
    }
}

QLabel* StatusBar::panel(int number) const
{
    Q_ASSERT(number == 1 || number == 2);
    return m_panels[number == 2 ? 1 : 0];
}

QString StatusBar::Panel(int number) const
{
    return panel(number)->text();
}

void StatusBar::setPanel(int number, const QString& text)
{
    panel(number)->setText(text);
}

void StatusBar::flash(int number, const QString& text)
{
    QLabel* label = panel(number);
    Flash& flash = m_flashes[number == 2 ? 1 : 0];
    // A flash over a flash still puts back what was there before the first.
    if (label->text() != flash.shown)
        flash.before = label->text();
    flash.shown = text;
    const int generation = ++flash.generation;
    label->setText(text);
    QTimer::singleShot(kFlashMilliseconds, label, [label, &flash, generation] {
        if (flash.generation == generation && label->text() == flash.shown)
            label->setText(flash.before);
    });
}
