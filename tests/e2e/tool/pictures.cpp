#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage patternPicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 13 + y * 3 + seed) & 0xff, (y * 7 + seed * 5) & 0xff,
                           (x * 5 + y * 11 + seed * 3) & 0xff);
    }
    return image;
}

QImage demoPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(190, 220, 240));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 215, 90));
    painter.drawEllipse(QPointF(width * 0.75, height * 0.22), height * 0.09, height * 0.09);

    const auto hill = [&](double baseY, double peakX, double peakY, const QColor& colour) {
        QPainterPath path;
        path.moveTo(0, baseY);
        path.quadTo(peakX, peakY, width, baseY + height * 0.05);
        path.lineTo(width, height);
        path.lineTo(0, height);
        path.closeSubpath();
        painter.setBrush(colour);
        painter.drawPath(path);
    };
    hill(height * 0.55, width * 0.3, height * 0.25, QColor(95, 140, 90));
    hill(height * 0.68, width * 0.7, height * 0.45, QColor(60, 110, 65));
    QLinearGradient lake(0, height * 0.8, 0, height);
    lake.setColorAt(0, QColor(80, 140, 190));
    lake.setColorAt(1, QColor(40, 90, 150));
    painter.setBrush(lake);
    painter.drawRect(QRectF(0, height * 0.82, width, height * 0.18));
    return image;
}
