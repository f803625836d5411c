#pragma once

// Memory for whole pictures. A 96-megapixel picture is 384 MB; touched page by
// page it costs about a hundred thousand page faults, which on a virtual
// machine take a good part of the time of decoding the JPEG. Large pictures are
// therefore mapped and their pages filled in by the kernel, in large steps, on
// a second thread while the decoder writes the first rows; they are aligned so
// that a system that hands out 2 MiB pages can use them.

#include <QImage>

// A new, uninitialised Format_RGB32 image; null when memory runs out.
QImage newPictureImage(int width, int height);

// A private copy of image in the same kind of memory; null when memory runs out.
QImage copyPictureImage(const QImage& image);
