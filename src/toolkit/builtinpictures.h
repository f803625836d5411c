#pragma once

// The pictures compiled into the program (the icon, the tool-strip pictures),
// read by Qt's own PNG and BMP readers alone. Read by file name, a picture
// first makes Qt load every image-format plugin to ask whether one of them
// reads it better, which costs the start-up more than all else it does.

#include <QIcon>
#include <QImage>
#include <QString>

// The picture at a resource path ending in .png or .bmp; null when it cannot be read.
QImage builtInPicture(const QString& path);

QIcon builtInIcon(const QString& path);

class QApplication;

// Makes the application's style read its menu-bar pictures the same way: Qt's
// own style reads them by file name when the first menu bar is made.
void useBuiltInStylePictures(QApplication& application);
