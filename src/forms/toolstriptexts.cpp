#include "forms/toolstriptexts.h"

#include <QPushButton>

namespace toolstrip {

namespace {

// The keys that act on the picture whatever the tool, told under each tool.
const QString kPictureKeys =
    QStringLiteral("Ctrl+Z：元に戻す　Ctrl+Y：やり直し\n"
                   "Ctrl+ホイール、Ctrl+＋／－：拡大・縮小　Ctrl+0：全体　Ctrl+1：100%");

// A picture-only button gets a name of its own; a text button is named by its
// caption. The tooltip may add the keys that go with the button on lines of
// their own.
void describeButton(QPushButton* button, const QString& name, const QString& whatItDoes,
                    const QString& keys = QString())
{
    if (button->text().isEmpty())
        button->setAccessibleName(name);
    button->setAccessibleDescription(whatItDoes);
    QString tip = QStringLiteral("%1：%2").arg(name, whatItDoes);
    if (!keys.isEmpty())
        tip += QLatin1Char('\n') + keys;
    button->setToolTip(tip);
}

} // namespace

void describe(const Buttons& buttons)
{
    describeButton(buttons.cut, QStringLiteral("切り取り"),
                   QStringLiteral("絵の上で押し、ポインターを動かし、もう一度押して切り取ります"),
                   kPictureKeys);
    describeButton(buttons.draw, QStringLiteral("ペン"),
                   QStringLiteral("絵の上をドラッグして線を描きます"), kPictureKeys);
    describeButton(buttons.text, QStringLiteral("文字"),
                   QStringLiteral("「Text：」の文字を、絵の上で押した所に書きます"), kPictureKeys);
    describeButton(buttons.erase, QStringLiteral("消しゴム"),
                   QStringLiteral("絵の上で一度押すと、通った所の書き込みが消えて元の絵に戻ります"),
                   kPictureKeys);
    describeButton(buttons.paste, QStringLiteral("コピー"),
                   QStringLiteral("切り取った絵をクリップボードにコピーします"),
                   QStringLiteral("Ctrl+V：クリップボードの絵を開きます"));
    describeButton(buttons.save, QStringLiteral("保存"),
                   QStringLiteral("切り取った絵をJPEGファイルに保存します"));
    describeButton(buttons.color, QStringLiteral("色"), QStringLiteral("ペンと文字の色を選びます"));
    describeButton(buttons.font, QStringLiteral("フォント"),
                   QStringLiteral("文字のフォントを選びます。ペンの太さはその大きさです"));
}

} // namespace toolstrip
