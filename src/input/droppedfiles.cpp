#include "input/droppedfiles.h"

#include <QMimeData>
#include <QUrl>

bool carriesLocalFile(const QMimeData* data)
{
    return firstLocalFile(data).has_value();
}

std::optional<LocalFileName> firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    // Entries that are no local files (web addresses) are passed over.
    for (const QUrl& url : data->urls()) {
        if (std::optional<LocalFileName> name = LocalFileName::fromUrl(url))
            return name;
    }
    return std::nullopt;
}
