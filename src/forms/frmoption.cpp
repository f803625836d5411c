// The options dialog: the quality box with its slider, the progressive check
// box and OK. OK stores the values shown; any close reads the file back, so
// the close box throws away what was changed since the last write.

#include "forms/frmoption.h"

#include "forms/controlname.h"
#include "forms/smallwindow.h"
#include "settings/settings.h"
#include "toolkit/builtinpictures.h"
#include "units/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

frmoption::frmoption(Settings& settings)
    : QWidget(nullptr, smallwindow::flags()), m_settings(settings)
{
    setObjectName(QStringLiteral("frmoption"));
    setWindowTitle(QStringLiteral("オプション設定"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    setFixedSize(twips::toPixels(3615), twips::toPixels(1560));

    Slider1 = named(new QSlider(Qt::Horizontal, this), "Slider1");
    twips::move(Slider1, 1800, 120, 1575, 255);
    Slider1->setRange(0, 100);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(5);
    Slider1->setValue(0);
    Slider1->setFocusPolicy(Qt::StrongFocus);

    // Neither default nor cancel button: Enter and Esc do nothing here.
    Command2 = named(new QPushButton(QStringLiteral("OK"), this), "Command2");
    twips::move(Command2, 720, 960, 2055, 495);
    Command2->setAutoDefault(false);
    Command2->setDefault(false);

    kaizoudo = named(new QLineEdit(Settings().quality, this), "kaizoudo");
    twips::move(kaizoudo, 1320, 120, 375, 270);

    pro = named(new QCheckBox(QStringLiteral("プログレッシブモード"), this), "pro");
    twips::move(pro, 120, 510, 2175, 255);

    Label1 = named(new QLabel(QStringLiteral("JPEG解像度"), this), "Label1");
    twips::move(Label1, 120, 165, 975, 255);

    setTabOrder(pro, kaizoudo);
    setTabOrder(kaizoudo, Command2);
    setTabOrder(Command2, Slider1);

    connect(Slider1, &QSlider::valueChanged, this, &frmoption::Slider1_Change);
    connect(Command2, &QPushButton::clicked, this, &frmoption::Command2_Click);
    // A click takes a greyed box to checked; from then on it toggles on and off.
    connect(pro, &QCheckBox::clicked, pro, [this] { pro->setTristate(false); });
    // The controls are a view of the settings: every change goes straight in.
    connect(kaizoudo, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_settings.quality = text; });
    connect(pro, &QCheckBox::stateChanged, this, [this] { m_settings.progressive = proValue(); });
}

void frmoption::showSettings()
{
    kaizoudo->setText(m_settings.quality);
    // Setting the slider writes its value into the quality box, as moving it does.
    if (const std::optional<int> slider = m_settings.sliderValue())
        Slider1->setValue(*slider);
    setProValue(m_settings.progressive);
}

std::int16_t frmoption::proValue() const
{
    switch (pro->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void frmoption::setProValue(std::int16_t value)
{
    // Greyed is a state only the program sets; the user toggles on and off.
    pro->setTristate(value == 2);
    pro->setCheckState(value == 2   ? Qt::PartiallyChecked
                       : value == 1 ? Qt::Checked
                                    : Qt::Unchecked);
}

void frmoption::Slider1_Change()
{
    kaizoudo->setText(QString::number(Slider1->value()));
}

void frmoption::Command2_Click()
{
    emit accepted();
    close();
}

void frmoption::Form_Unload()
{
    emit unloaded();
}

void frmoption::closeEvent(QCloseEvent* event)
{
    // Closing is never refused, whatever the read-back does.
    try {
        Form_Unload();
    } catch (...) {
    }
    event->accept();
}
