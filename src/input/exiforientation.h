#pragma once

// The EXIF orientation of a picture (tag 0x0112 of the first image directory
// in the APP1 "Exif" segment), and the turns that stand such a picture
// upright in the memory it already has, without a second copy of it.

#include <QImage>
#include <QSize>
#include <QtGlobal>

// 1 to 8 from the body of an APP1 segment; 1 (as stored) when it carries no
// valid orientation.
int exifOrientationOfApp1(const uchar* body, qsizetype size);

// The size of a width x height picture once stood upright.
QSize orientedSize(int width, int height, int orientation);

void mirrorRow(QRgb* row, int width);

// For orientations 5 to 8, which turn rows into columns: writes count stored
// rows, starting at row firstRow of a storedWidth x storedHeight picture and
// rowPixels apart in rows, to where they stand in the upright picture.
void turnRows(const QRgb* rows, qsizetype rowPixels, int count, int firstRow, int storedWidth,
              int storedHeight, int orientation, uchar* picture, qsizetype bytesPerLine);

// Stands a 32-bit picture upright in its own memory; the image then describes
// the turned picture. False, with the image as it was, when the bookkeeping of
// a quarter turn finds no memory or the image is not packed 32-bit rows.
bool orientInPlace(QImage& image, int orientation);
