// Keys beyond the design: zoom, taking marks back, opening the clipboard's
// picture. They act wherever the focus is in the main window, except that the
// Text box's own editing keys (Ctrl+Z, Ctrl+V, ...) win while it has the focus.
// None of them has a menu item: the menus stay as they are.

#include "forms/frmmain.h"

#include <QAction>

namespace {

void addKeys(frmmain* window, const QList<QKeySequence>& keys, void (frmmain::*handler)())
{
    auto* action = new QAction(window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, handler);
    window->addAction(action);
}

} // namespace

void frmmain::buildKeys()
{
    addKeys(this, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &frmmain::undoMark);
    addKeys(this,
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
            &frmmain::redoMark);
    addKeys(this, {QKeySequence(Qt::CTRL | Qt::Key_V)}, &frmmain::pastePicture);
    // "+" is a shifted key on most layouts; Ctrl with "=" or the keypad's "+" does as well.
    addKeys(this,
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)},
            &frmmain::zoomIn);
    addKeys(this, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &frmmain::zoomOut);
    addKeys(this, {QKeySequence(Qt::CTRL | Qt::Key_0)}, &frmmain::zoomToFit);
    addKeys(this, {QKeySequence(Qt::CTRL | Qt::Key_1)}, &frmmain::zoomToActualSize);
}

void frmmain::undoMark()
{
    const std::optional<PictureDocument::Restored> restored = m_document.undo();
    // A cut taken back or done again shows in the preview as a new cut would.
    if (restored && restored->piece)
        pieceCut();
}

void frmmain::redoMark()
{
    const std::optional<PictureDocument::Restored> restored = m_document.redo();
    if (restored && restored->piece)
        pieceCut();
}
