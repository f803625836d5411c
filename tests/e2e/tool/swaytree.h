#pragma once

// The windows of one process in sway's layout tree (`swaymsg -t get_tree -r`).

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QVector>

struct SwayView
{
    qint64 id = 0;
    QRect client;  // the window's own surface on the screen, decorations left out
    QString shell; // "xdg_shell" for a native Wayland window, "xwayland" through X
    QString appId;
    bool focused = false;
};

// Every window of the process pid, in tree order; empty when the tree does not parse.
QVector<SwayView> viewsOfProcess(const QByteArray& treeJson, qint64 pid);
