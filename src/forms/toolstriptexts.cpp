#include "forms/toolstriptexts.h"

#include <QPushButton>

namespace toolstrip {

namespace {

// A picture-only button gets a name of its own; a text button is named by its caption.
void describeButton(QPushButton* button, const QString& name, const QString& whatItDoes)
{
    if (button->text().isEmpty())
        button->setAccessibleName(name);
    button->setAccessibleDescription(whatItDoes);
    button->setToolTip(QStringLiteral("%1：%2").arg(name, whatItDoes));
}

} // namespace

void describe(const Buttons& buttons)
{
    describeButton(buttons.cut, QStringLiteral("切り取り"),
                   QStringLiteral("絵の上で押し、ポインターを動かし、もう一度押して切り取ります"));
    describeButton(buttons.draw, QStringLiteral("ペン"),
                   QStringLiteral("絵の上をドラッグして線を描きます"));
    describeButton(buttons.text, QStringLiteral("文字"),
                   QStringLiteral("「Text：」の文字を、絵の上で押した所に書きます"));
    describeButton(
        buttons.erase, QStringLiteral("消しゴム"),
        QStringLiteral("絵の上で一度押すと、通った所の書き込みが消えて元の絵に戻ります"));
    describeButton(buttons.paste, QStringLiteral("コピー"),
                   QStringLiteral("切り取った絵をクリップボードにコピーします"));
    describeButton(buttons.save, QStringLiteral("保存"),
                   QStringLiteral("切り取った絵をJPEGファイルに保存します"));
    describeButton(buttons.color, QStringLiteral("色"), QStringLiteral("ペンと文字の色を選びます"));
    describeButton(buttons.font, QStringLiteral("フォント"),
                   QStringLiteral("文字のフォントを選びます。ペンの太さはその大きさです"));
}

} // namespace toolstrip
