// The About box: fixed content at a fixed place, one OK button that is both
// the default and the cancel button.

#include "forms/frmabout.h"

#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "forms/smallwindow.h"
#include "toolkit/builtinpictures.h"
#include "units/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(QWidget* parent, const QString& text, float left, float top, float width,
              float height)
{
    auto* created = new QLabel(text, parent);
    twips::move(created, left, top, width, height);
    return created;
}

// The name line's font; where the classic Japanese UI font is not installed,
// the next proportional Japanese Gothic that is takes its place.
QFont titleFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                      QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

} // namespace

frmAbout::frmAbout(frmmain& main) : QWidget(nullptr, smallwindow::flags()), m_main(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    setFixedSize(twips::toPixels(4080), twips::toPixels(2580));
    // A top-level's geometry is its client area: its top-left stands at the fixed place.
    twips::move(this, 2340, 1935, 4080, 2580);

    picIcon = new QLabel(this);
    const QPixmap icon = QPixmap::fromImage(builtInPicture(QStringLiteral(":/snipwell.png")));
    picIcon->setPixmap(icon);
    picIcon->setGeometry(twips::toPixels(240), twips::toPixels(240), icon.width(), icon.height());

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    twips::move(cmdOK, 1350, 2040, 1380, 345);
    cmdOK->setDefault(true);

    Label4 =
        label(this, QStringLiteral("HomePage： https://snipwell.example/"), 240, 1560, 3735, 255);
    Label3 = label(this, QStringLiteral("E-mail： snipwell@example.org"), 240, 1200, 2895, 255);
    Label2 = label(this, QStringLiteral("フリーソフトウェアです"), 1080, 720, 2295, 255);
    Label1 = label(this, QStringLiteral("Snipwell   ver 2.00"), 960, 360, 2775, 255);
    Label1->setFont(titleFont());

    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::cmdOK_Click()
{
    enableOthers();
    close();
}

void frmAbout::Form_Unload()
{
    enableOthers();
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // Enter and Esc both press OK, wherever the focus is.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        cmdOK->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmAbout::enableOthers()
{
    smallwindow::setEnabled({&m_main, m_main.option, m_main.preview.data()}, true);
}
