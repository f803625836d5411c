// The About box: fixed content at a fixed place, one OK button that is both
// the default and the cancel button.

#include "forms/frmabout.h"

#include "forms/controlname.h"
#include "forms/smallwindow.h"
#include "toolkit/builtinpictures.h"
#include "units/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, float left, float top,
              float width, float height)
{
    auto* created = named(new QLabel(text, parent), name);
    twips::move(created, left, top, width, height);
    return created;
}

// The version as the box shows it: major and minor, the minor in two digits
// (2.0.0 is "2.00").
QString aboutVersion()
{
    const QStringList parts = QStringLiteral(SNIPWELL_VERSION).split(QLatin1Char('.'));
    const int minor = parts.size() > 1 ? parts[1].toInt() : 0;
    return QStringLiteral("%1.%2").arg(parts.value(0)).arg(minor, 2, 10, QLatin1Char('0'));
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

frmAbout::frmAbout() : QWidget(nullptr, smallwindow::flags())
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    setFixedSize(twips::toPixels(4080), twips::toPixels(2580));
    // A top-level's geometry is its client area: its top-left stands at the fixed place.
    twips::move(this, 2340, 1935, 4080, 2580);

    picIcon = named(new QLabel(this), "picIcon");
    const QPixmap icon = QPixmap::fromImage(builtInPicture(QStringLiteral(":/snipwell.png")));
    picIcon->setPixmap(icon);
    picIcon->setGeometry(twips::toPixels(240), twips::toPixels(240), icon.width(), icon.height());

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    twips::move(cmdOK, 1350, 2040, 1380, 345);
    cmdOK->setDefault(true);

    Label4 = label(this, "Label4", QStringLiteral("HomePage： https://snipwell.example/"), 240,
                   1560, 3735, 255);
    Label3 = label(this, "Label3", QStringLiteral("E-mail： snipwell@example.org"), 240, 1200, 2895,
                   255);
    Label2 = label(this, "Label2", QStringLiteral("フリーソフトウェアです"), 1080, 720, 2295, 255);
    Label1 = label(this, "Label1", QStringLiteral("Snipwell   ver ") + aboutVersion(), 960, 360,
                   2775, 255);
    Label1->setFont(titleFont());

    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::Form_Unload()
{
    emit unloaded();
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
