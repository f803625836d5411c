#pragma once

// What a drop onto the viewport or the picture surface, or the clipboard,
// offers as a picture: a local file, or a picture's own pixels (an image
// dragged out of a web browser, a copied picture).

#include "input/localfilename.h"

#include <QImage>
#include <QString>
#include <optional>

class QMimeData;

// True when the data carries a local file or a picture's pixels; only such
// drops are taken.
bool carriesPicture(const QMimeData* data);

// The first local file of the dropped list, with the bytes of its name as the
// URL gives them; the rest of the list is ignored.
std::optional<LocalFileName> firstLocalFile(const QMimeData* data);

// The pixels the data carries, opaque as the picture surface shows them
// (transparency on white); nullopt when it carries none.
std::optional<QImage> carriedImage(const QMimeData* data);
