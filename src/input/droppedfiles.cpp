#include "input/droppedfiles.h"

#include <QMimeData>
#include <QPainter>
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
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return std::nullopt;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage opaque(image.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        return std::nullopt;
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    return opaque;
}
