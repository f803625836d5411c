#pragma once

// The EXIF orientation of a JPEG file (tag 0x0112 of the first image directory
// in the APP1 "Exif" segment), and the turn that stands such a picture upright.

#include <QImage>
#include <QtGlobal>

// 1 to 8; 1 (as stored) when the file carries no valid orientation.
int exifOrientation(const uchar* data, qsizetype size);

// The picture as it is meant to be seen, for an orientation of 2 to 8.
QImage orientedImage(const QImage& image, int orientation);
