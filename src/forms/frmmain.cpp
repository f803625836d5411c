#include "forms/frmmain.h"

#include "forms/controlname.h"
#include "forms/frmabout.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "forms/toolstriptexts.h"
#include "forms/windowdiscipline.h"
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
// The piece store's designed size: what it holds before the first cut.
constexpr float kPieceSide = 1455;

QPushButton* pictureButton(QWidget* parent, const char* name, const char* picture, float left)
{
    auto* button = named(new QPushButton(parent), name);
    button->setIcon(builtInIcon(QString::fromLatin1(picture)));
    button->setIconSize(QSize(32, 32));
    twips::move(button, left, 120, 495, 495);
    return button;
}

QPushButton* textButton(QWidget* parent, const char* name, const QString& caption, float left)
{
    auto* button = named(new QPushButton(caption, parent), name);
    twips::move(button, left, 120, 495, 495);
    return button;
}

} // namespace

frmmain::frmmain(Prompter& prompter, AppPaths paths, QWidget* parent)
    : QMainWindow(parent), dialog(prompter, this), m_prompter(prompter), m_paths(std::move(paths)),
      m_document(QSize(twips::toPixels(kPieceSide), twips::toPixels(kPieceSide)))
{
    setObjectName(QStringLiteral("frmmain"));
    windowframe::askEarly(this);
    setWindowTitle(QStringLiteral("Snipwell"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    buildMenus();
    buildControls();
    buildOptionWindow();
    buildKeys();
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

void frmmain::buildOptionWindow()
{
    // The options dialog shows and edits the settings for the whole run, shown
    // or not; it exists, hidden, from the start.
    option = new frmoption(m_settings);
    m_discipline = std::make_unique<WindowDiscipline>([this] {
        return QList<QWidget*>{this, option, preview.data(), about.data()};
    });
}

void frmmain::buildMenus()
{
    mfile = named(menuBar()->addMenu(QStringLiteral("ファイル(&F)")), "mfile");
    mopen = named(mfile->addAction(QStringLiteral("開く(&O)")), "mopen");
    msave = named(mfile->addAction(QStringLiteral("保存(&S)")), "msave");
    mclose = named(mfile->addAction(QStringLiteral("閉じる(&C)")), "mclose");
    mpreview = named(menuBar()->addAction(QStringLiteral("プレビュー(&P)")), "mpreview");
    moption = named(menuBar()->addAction(QStringLiteral("オプション(&O)")), "moption");
    mversion = named(menuBar()->addAction(QStringLiteral("バージョン")), "mversion");
}

void frmmain::buildControls()
{
    auto* form = new QWidget(this);
    setCentralWidget(form);

    HScroll = named(new ScrollBar(Qt::Horizontal, form), "HScroll");
    HScroll->Move(120, 8040, 7335, 255);
    VScroll = named(new ScrollBar(Qt::Vertical, form), "VScroll");
    VScroll->Move(7440, 720, 255, 7335);
    for (ScrollBar* bar : {HScroll, VScroll}) {
        // Arrows move by 500 twips, a click on the track by 1.
        bar->setSingleStep(500);
        bar->setPageStep(1);
        bar->setFocusPolicy(Qt::TabFocus);
    }

    statusbar = named(new StatusBar(this), "statusbar");
    setStatusBar(statusbar);

    btmfont = textButton(form, "btmfont", QStringLiteral("font"), 4560);
    btmcolor = textButton(form, "btmcolor", QStringLiteral("color"), 3960);
    textbox = named(new QLineEdit(form), "textbox");
    twips::move(textbox, 5640, 240, 1935, 270);

    base = named(new PictureBox(form, PictureBox::Border::Sunken), "base");
    base->Move(120, 720, 7335, 7335);
    base->setAcceptDrops(true);
    base->installEventFilter(this);

    picmain = named(new PictureBox(base->client(), PictureBox::Border::FixedSingle), "picmain");
    picmain->Move(0, 0, 2775, 2775);
    picmain->AutoSize = true;
    picmain->BackColor = palette().color(QPalette::Base);
    picmain->setAcceptDrops(true);
    picmain->setDocument(&m_document);

    textimage = named(new QLabel(QStringLiteral("Label2"), picmain->client()), "textimage");
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

    btmsave = pictureButton(form, "btmsave", ":/save.bmp", 3240);
    btmpaste = pictureButton(form, "btmpaste", ":/paste.bmp", 2640);
    btmerase = pictureButton(form, "btmerase", ":/erase.bmp", 1920);
    btmtext = pictureButton(form, "btmtext", ":/text.bmp", 1320);
    btmdraw = pictureButton(form, "btmdraw", ":/draw.bmp", 720);
    btmcut = pictureButton(form, "btmcut", ":/cut.bmp", 120);
    toolstrip::describe({btmcut, btmdraw, btmtext, btmerase, btmpaste, btmsave, btmcolor, btmfont});

    Label1 = named(new QLabel(QStringLiteral("Text："), form), "Label1");
    twips::move(Label1, 5160, 285, 615, 255);

    // Design tab order; labels and the shape take no focus.
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
    // Only drops that bring a picture (a file, or its pixels) are taken; anything
    // else shows the no-drop pointer.
    base->acceptsDrop = carriesPicture;
    picmain->acceptsDrop = carriesPicture;
    connect(HScroll, &ScrollBar::Change, this, &frmmain::HScroll_Change);
    connect(VScroll, &ScrollBar::Change, this, &frmmain::VScroll_Change);

    // The small windows report what happened; the rules of which window takes
    // input live in the window discipline.
    connect(option, &frmoption::accepted, this, [this] {
        dialog.FileName = QStringLiteral(" ");
        savesetting();
        m_discipline->closed(option);
    });
    connect(option, &frmoption::unloaded, this, [this] {
        m_discipline->closed(option);
        loadsetting();
    });
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
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier)
            zoomByWheel(wheel);
        else
            scrollByWheel(wheel);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
