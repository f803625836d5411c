#include "forms/frmmain.h"

#include "forms/frmabout.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "forms/toolstriptexts.h"
#include "input/droppedfiles.h"
#include "toolkit/builtinpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"
#include "toolkit/windowframe.h"
#include "units/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QWheelEvent>

namespace {

// The designed client area, status bar included (twips).
constexpr float kClientWidth = 7755;
constexpr float kClientHeight = 8580;

QPushButton* pictureButton(QWidget* parent, const char* picture, float left)
{
    auto* button = new QPushButton(parent);
    button->setIcon(builtInIcon(QString::fromLatin1(picture)));
    button->setIconSize(QSize(32, 32));
    twips::move(button, left, 120, 495, 495);
    return button;
}

QPushButton* textButton(QWidget* parent, const QString& caption, float left)
{
    auto* button = new QPushButton(caption, parent);
    twips::move(button, left, 120, 495, 495);
    return button;
}

} // namespace

frmmain::frmmain(Prompter& prompter, AppPaths paths, QWidget* parent)
    : QMainWindow(parent), dialog(prompter, this), m_prompter(prompter), m_paths(std::move(paths))
{
    setWindowTitle(QStringLiteral("Snipwell"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    buildMenus();
    buildControls();
    connectHandlers();
    const int menuHeight = menuBar()->sizeHint().height();
    resize(twips::toPixels(kClientWidth), menuHeight + twips::toPixels(kClientHeight));
    // Raised to the minimum size before the window exists: raising it while
    // the window is being shown would make the window system put the client
    // area, not the frame, at the stored position, one title bar higher each run.
    Form_Resize();
    Form_Load();
}

frmmain::~frmmain()
{
    delete option;
    delete preview;
    delete about;
}

void frmmain::buildMenus()
{
    mfile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mopen = mfile->addAction(QStringLiteral("開く(&O)"));
    msave = mfile->addAction(QStringLiteral("保存(&S)"));
    mclose = mfile->addAction(QStringLiteral("閉じる(&C)"));
    mpreview = menuBar()->addAction(QStringLiteral("プレビュー(&P)"));
    moption = menuBar()->addAction(QStringLiteral("オプション(&O)"));
    mversion = menuBar()->addAction(QStringLiteral("バージョン"));
}

void frmmain::buildControls()
{
    auto* form = new QWidget(this);
    setCentralWidget(form);

    cuttedpic = new PictureBox(form, PictureBox::Border::None);
    cuttedpic->Move(7920, 240, 1455, 1455);
    cuttedpic->BackColor = Qt::white;
    cuttedpic->Cls();

    HScroll = new ScrollBar(Qt::Horizontal, form);
    HScroll->Move(120, 8040, 7335, 255);
    VScroll = new ScrollBar(Qt::Vertical, form);
    VScroll->Move(7440, 720, 255, 7335);
    for (ScrollBar* bar : {HScroll, VScroll}) {
        // Arrows move by 500 twips, a click on the track by 1.
        bar->setSingleStep(500);
        bar->setPageStep(1);
        bar->setFocusPolicy(Qt::TabFocus);
    }

    statusbar = new StatusBar(this);
    setStatusBar(statusbar);

    btmfont = textButton(form, QStringLiteral("font"), 4560);
    btmcolor = textButton(form, QStringLiteral("color"), 3960);
    textbox = new QLineEdit(form);
    twips::move(textbox, 5640, 240, 1935, 270);

    base = new PictureBox(form, PictureBox::Border::Sunken);
    base->Move(120, 720, 7335, 7335);
    base->setAcceptDrops(true);
    base->installEventFilter(this);

    picmain = new PictureBox(base->client(), PictureBox::Border::FixedSingle);
    picmain->Move(0, 0, 2775, 2775);
    picmain->AutoSize = true;
    picmain->BackColor = palette().color(QPalette::Base);
    picmain->ForeColor = palette().color(QPalette::Text);
    picmain->setAcceptDrops(true);
    picmain->Font = QFont();

    textimage = new QLabel(QStringLiteral("Label2"), picmain->client());
    twips::move(textimage, 600, 0, 1095, 255);
    textimage->setAttribute(Qt::WA_TransparentForMouseEvents);
    textimage->setAutoFillBackground(false);
    // The preview shows the text exactly as it will be printed: plain, from its
    // top-left corner, with no margin around it.
    textimage->setTextFormat(Qt::PlainText);
    textimage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textimage->setMargin(0);
    textimage->setIndent(0);
    textimage->setContentsMargins(0, 0, 0, 0);
    cutimage = new Shape(picmain->client());
    cutimage->Move(0, 0, 615, 615);

    btmsave = pictureButton(form, ":/save.bmp", 3240);
    btmpaste = pictureButton(form, ":/paste.bmp", 2640);
    btmerase = pictureButton(form, ":/erase.bmp", 1920);
    btmtext = pictureButton(form, ":/text.bmp", 1320);
    btmdraw = pictureButton(form, ":/draw.bmp", 720);
    btmcut = pictureButton(form, ":/cut.bmp", 120);
    toolstrip::describe({btmcut, btmdraw, btmtext, btmerase, btmpaste, btmsave, btmcolor, btmfont});

    Label1 = new QLabel(QStringLiteral("Text："), form);
    twips::move(Label1, 5160, 285, 615, 255);

    // Design tab order; labels, the shape and the hidden piece store take no focus.
    cuttedpic->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> order = {btmcut,  btmdraw, btmtext,  btmerase, btmpaste, btmsave, base,
                                   picmain, textbox, btmcolor, btmfont,  VScroll,  HScroll};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void frmmain::connectHandlers()
{
    connect(mopen, &QAction::triggered, this, &frmmain::mopen_Click);
    connect(msave, &QAction::triggered, this, &frmmain::msave_Click);
    connect(mclose, &QAction::triggered, this, &frmmain::mclose_Click);
    connect(mpreview, &QAction::triggered, this, &frmmain::mpreview_Click);
    connect(moption, &QAction::triggered, this, &frmmain::moption_Click);
    connect(mversion, &QAction::triggered, this, &frmmain::mversion_Click);
    connect(btmcut, &QPushButton::clicked, this, &frmmain::btmcut_Click);
    connect(btmdraw, &QPushButton::clicked, this, &frmmain::btmdraw_Click);
    connect(btmtext, &QPushButton::clicked, this, &frmmain::btmtext_Click);
    connect(btmerase, &QPushButton::clicked, this, &frmmain::btmerase_Click);
    connect(btmpaste, &QPushButton::clicked, this, &frmmain::btmpaste_Click);
    connect(btmsave, &QPushButton::clicked, this, &frmmain::btmsave_Click);
    connect(btmcolor, &QPushButton::clicked, this, &frmmain::btmcolor_Click);
    connect(btmfont, &QPushButton::clicked, this, &frmmain::btmfont_Click);
    connect(picmain, &PictureBox::MouseDown, this, &frmmain::picmain_MouseDown);
    connect(picmain, &PictureBox::MouseMove, this, &frmmain::picmain_MouseMove);
    connect(picmain, &PictureBox::MouseUp, this, &frmmain::picmain_MouseUp);
    connect(picmain, &PictureBox::OLEDragDrop, this, &frmmain::picmain_OLEDragDrop);
    connect(base, &PictureBox::OLEDragDrop, this, &frmmain::base_OLEDragDrop);
    // Only drops that bring a local file are taken; anything else shows the no-drop pointer.
    base->acceptsDrop = carriesLocalFile;
    picmain->acceptsDrop = carriesLocalFile;
    connect(HScroll, &ScrollBar::Change, this, &frmmain::HScroll_Change);
    connect(VScroll, &ScrollBar::Change, this, &frmmain::VScroll_Change);
}

float frmmain::outerWidth() const
{
    return twips::fromPixels(windowframe::outerSize(this).width());
}

float frmmain::outerHeight() const
{
    return twips::fromPixels(windowframe::outerSize(this).height());
}

float frmmain::outerLeft() const
{
    return twips::fromPixels(frameGeometry().x());
}

float frmmain::outerTop() const
{
    return twips::fromPixels(frameGeometry().y());
}

void frmmain::setOuterSize(float width, float height)
{
    // Whole pixels, rounded up, so the window is never smaller than asked.
    const auto pixels = [](float value) {
        return static_cast<int>(std::ceil(value / twips::perPixel));
    };
    windowframe::resizeOuter(this, QSize(pixels(width), pixels(height)));
}

void frmmain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmmain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Restoring from the minimised state lays the window out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmmain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool frmmain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == base && event->type() == QEvent::Wheel) {
        scrollByWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
