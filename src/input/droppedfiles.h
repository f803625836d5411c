#pragma once

// What a drop onto the viewport or the picture surface offers: local files.

#include "input/localfilename.h"

#include <optional>

class QMimeData;

// True when the data carries at least one local file; only such drops are taken.
bool carriesLocalFile(const QMimeData* data);

// The first local file of the dropped list, with the bytes of its name as the
// URL gives them; the rest of the list is ignored.
std::optional<LocalFileName> firstLocalFile(const QMimeData* data);
