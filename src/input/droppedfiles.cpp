#include "input/droppedfiles.h"

#include "input/pictureloader.h"

#include <QMimeData>
#include <QUrl>

bool carriesPicture(const QMimeData* data)
{
    return firstLocalFile(data).has_value() || (data && data->hasImage());
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

std::optional<QImage> carriedImage(const QMimeData* data)
{
    if (!data || !data->hasImage())
        return std::nullopt;
    QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull() || !pictureloader::flattenInPlace(image))
        return std::nullopt;
    return image;
}
