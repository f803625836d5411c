#pragma once

// Memory for whole pictures. A 96-megapixel picture is 384 MB; touched page by
// page it costs about a hundred thousand page faults, which on a virtual
// machine take a good part of the time of decoding the JPEG. Large pictures are
// therefore mapped and their pages filled in by the kernel, in large steps, on
// a second thread while the decoder writes the first rows; they are aligned so
// that a system that hands out 2 MiB pages can use them.

#include <QImage>
#include <cstdint>
#include <functional>

// A new, uninitialised Format_RGB32 image; null when memory runs out.
QImage newPictureImage(int width, int height);

// A private copy of image in the same kind of memory; null when memory runs out.
QImage copyPictureImage(const QImage& image);

namespace picturememory {

// The most memory one load may take: half the memory the system has available
// at the moment (MemAvailable), so a large picture opens on a machine that can
// hold it and a hostile one cannot push the system into swapping.
std::int64_t ceiling();

// Whether a large picture allocated on this thread has its pages filled in on
// a second thread while it is written (on by default). A load that runs beside
// other work of the program, its start-up, turns it off: filling pages takes
// the kernel's memory lock and a core from that work.
void setFillAhead(bool fill);

// Replaces how the ceiling is measured, so that tests can ask for a small one
// instead of allocating gigabytes; an empty function restores the real measure.
void setCeilingSource(std::function<std::int64_t()> source);

} // namespace picturememory
