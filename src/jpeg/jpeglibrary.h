#pragma once

// The program's side of the JPEG library: it is loaded by its exported name on
// the first export and stays loaded for the rest of the run.

#include "jpeg/savejpg/savejpg.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>

namespace jpeg {

struct JpegLibraryEntry
{
    DCSavetoJPEGFunction function = nullptr;
    // Why the last save failed; null for a library without that entry.
    DCSaveLastErrorFunction lastError = nullptr;
    QString error; // what went wrong when function is null
};

// library is a full path or a base name that QLibrary completes (savejpg ->
// libsavejpg.so). A library that failed to load is tried again next time.
JpegLibraryEntry loadJpegLibrary(const QString& library);

// Describes an image's pixels as the library's device context, without copying
// them; nullopt for a pixel format the library does not read.
std::optional<SnipDC> deviceContextOf(const QImage& image);

struct JpegWriteResult
{
    bool written = false;
    QString error; // a message for the user when nothing was written
};

// What the user is told when a save to path failed for cause (a SnipSaveError);
// a library that cannot say why gets the general text.
QString saveFailureText(const QString& path, std::optional<int> cause);

// Writes image to path through the library; on failure an existing file at path
// is left as it was.
JpegWriteResult writeJpeg(const QImage& image, const QString& path, std::uint8_t quality,
                          bool progressive, const QString& library);

} // namespace jpeg
