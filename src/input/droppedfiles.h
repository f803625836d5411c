#pragma once

// What a drop onto the viewport or the picture surface offers: local files.

#include <QString>
#include <optional>

class QMimeData;

// True when the data carries at least one local file; only such drops are taken.
bool carriesLocalFile(const QMimeData* data);

// The first local file of the dropped list; the rest of the list is ignored.
std::optional<QString> firstLocalFile(const QMimeData* data);
