#pragma once

// Pixel checks of what the program produced against the picture it was given.

#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

struct Difference
{
    bool sameSize = false;
    int maxChannel = 0;
    double meanChannel = 0;
};

// Compares a candidate with a rectangle of the source, as opaque RGB.
Difference compareWithCrop(const QImage& source, const QRect& crop, const QImage& candidate);

// Where the source picture shows in a screenshot, each picture pixel drawn as a
// scale x scale block of screen pixels; nullopt when it is not there.
std::optional<QPoint> locatePicture(const QImage& screenshot, const QImage& picture, int scale);
