#include "dialogs/frmoption.h"

#include "shell/frmmain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

// PLACEHOLDER: to be built.
frmoption::frmoption(frmmain& main) : m_main(main)
{
    Slider1 = new QSlider(Qt::Horizontal, this);
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    kaizoudo = new QLineEdit(QStringLiteral("50"), this);
    pro = new QCheckBox(QStringLiteral("プログレッシブモード"), this);
    Label1 = new QLabel(QStringLiteral("JPEG解像度"), this);
}
void frmoption::Slider1_Change() {}
void frmoption::Command2_Click() {}
void frmoption::Form_Unload() {}
void frmoption::closeEvent(QCloseEvent* event)
{
    event->accept();
}
