#include "input/droppedfiles.h"

#include <QMimeData>
#include <QUrl>

bool carriesLocalFile(const QMimeData* data)
{
    return firstLocalFile(data).has_value();
}

std::optional<QString> firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    // Entries that are no local files (web addresses) are passed over.
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return std::nullopt;
}
