// The options dialog: the quality box with its slider, the progressive check
// box and OK. OK stores the values shown; any close reads the file back, so
// the close box throws away what was changed since the last write.

#include "forms/frmoption.h"

#include "forms/frmabout.h"
#include "forms/frmmain.h"
#include "forms/frmpreview.h"
#include "forms/smallwindow.h"
#include "toolkit/builtinpictures.h"
#include "units/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

frmoption::frmoption(frmmain& main) : QWidget(nullptr, smallwindow::flags()), m_main(main)
{
    setWindowTitle(QStringLiteral("オプション設定"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    setFixedSize(twips::toPixels(3615), twips::toPixels(1560));

    Slider1 = new QSlider(Qt::Horizontal, this);
    twips::move(Slider1, 1800, 120, 1575, 255);
    Slider1->setRange(0, 100);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(5);
    Slider1->setValue(0);
    Slider1->setFocusPolicy(Qt::StrongFocus);

    // Neither default nor cancel button: Enter and Esc do nothing here.
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    twips::move(Command2, 720, 960, 2055, 495);
    Command2->setAutoDefault(false);
    Command2->setDefault(false);

    kaizoudo = new QLineEdit(QStringLiteral("50"), this);
    twips::move(kaizoudo, 1320, 120, 375, 270);

    pro = new QCheckBox(QStringLiteral("プログレッシブモード"), this);
    twips::move(pro, 120, 510, 2175, 255);

    Label1 = new QLabel(QStringLiteral("JPEG解像度"), this);
    twips::move(Label1, 120, 165, 975, 255);

    setTabOrder(pro, kaizoudo);
    setTabOrder(kaizoudo, Command2);
    setTabOrder(Command2, Slider1);

    connect(Slider1, &QSlider::valueChanged, this, &frmoption::Slider1_Change);
    connect(Command2, &QPushButton::clicked, this, &frmoption::Command2_Click);
    // A click takes a greyed box to checked; from then on it toggles on and off.
    connect(pro, &QCheckBox::clicked, pro, [this] { pro->setTristate(false); });
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
    m_main.dialog.FileName = QStringLiteral(" ");
    m_main.savesetting();
    enableOthers();
    close();
}

void frmoption::Form_Unload()
{
    enableOthers();
    m_main.loadsetting();
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

void frmoption::enableOthers()
{
    smallwindow::setEnabled({&m_main, m_main.preview.data(), m_main.about.data()}, true);
}
