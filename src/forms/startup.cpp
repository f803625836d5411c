// Start-up, the layout that follows the window's size, shut-down, the reset of
// the editing state and "閉じる(&C)".

#include "forms/frmabout.h"
#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "toolkit/guards.h"
#include "toolkit/picturebox.h"
#include "toolkit/prompter.h"
#include "toolkit/scrollbar.h"
#include "toolkit/shape.h"
#include "toolkit/windowframe.h"
#include "units/twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

constexpr float kMinOuterWidth = 7850;
constexpr float kMinOuterHeight = 9300;
constexpr float kWidthMargin = 500;
constexpr float kHeightMargin = 2000;
constexpr float kHScrollOffset = 700;
constexpr float kVScrollOffset = 110;

// A stored position is used only if the window's top-left corner would stand on
// a screen that exists now.
bool onSomeScreen(QPoint topLeft)
{
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(topLeft))
            return true;
    }
    return false;
}

} // namespace

QSize frmmain::startingViewSize()
{
    // The window starts at its design size, which the minimum outer size raises.
    return QSize(twips::toPixels(kMinOuterWidth - kWidthMargin),
                 twips::toPixels(kMinOuterHeight - kHeightMargin));
}

void frmmain::Form_Load()
{
    picmain->Move(0, 0, 0, 0);
    newact();
    loadsetting();
    if (!m_settings.winleft || !m_settings.wintop)
        return;
    const QPoint stored(twips::toPixels(static_cast<float>(*m_settings.winleft)),
                        twips::toPixels(static_cast<float>(*m_settings.wintop)));
    if (onSomeScreen(stored))
        windowframe::moveOuter(this, stored);
}

void frmmain::Form_Resize()
{
    if (windowState() & Qt::WindowMinimized)
        return;
    // The size correction below may raise this handler again from within itself;
    // the nested call lays out at the corrected size and this one then does the same.
    ++m_resizeDepth;
    float width = outerWidth();
    float height = outerHeight();
    if (width < kMinOuterWidth || height < kMinOuterHeight) {
        if (m_resizeDepth < 3)
            setOuterSize(std::max(width, kMinOuterWidth), std::max(height, kMinOuterHeight));
        // Read back: the window may already have its corrected size.
        width = std::max(outerWidth(), kMinOuterWidth);
        height = std::max(outerHeight(), kMinOuterHeight);
    }
    base->Move(base->Left(), base->Top(), width - kWidthMargin, height - kHeightMargin);
    HScroll->Move(twips::left(HScroll), base->Height() + kHScrollOffset, base->Width(),
                  twips::height(HScroll));
    VScroll->Move(base->Width() + kVScrollOffset, twips::top(VScroll), twips::width(VScroll),
                  base->Height());
    --m_resizeDepth;
}

void frmmain::Form_Unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    // Every step runs, whatever an earlier one did.
    runGuarded([this] {
        savesetting();
        if (m_settingsUnwritten)
            m_prompter.error(this,
                             QStringLiteral("設定を「%1」に保存できませんでした。\n"
                                            "今回変えた設定は、次に起動したときには戻りません。")
                                 .arg(QDir::toNativeSeparators(m_paths.settingsFile)));
    });
    runGuarded([this] {
        if (option)
            option->close();
    });
    runGuarded([this] {
        if (preview)
            preview->close();
    });
    runGuarded([this] {
        if (about)
            about->close();
    });
    runGuarded([] { QCoreApplication::quit(); });
}

void frmmain::newact()
{
    if (m_tool)
        m_tool->reset();
    // Whatever was being marked is one step of the history now.
    m_document.endMark();
    twips::move(textimage, 0, 0, 0, 0);
    cutimage->Move(0, 0, 0, 0);
    m_frame = QRectF();
    m_textPreview.reset();
}

void frmmain::mclose_Click()
{
    m_document.clearMarks();
    picmain->Move(0, 0, 0, 0);
}
