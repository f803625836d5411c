#pragma once

// Pictures the end-to-end tests and the screenshots open in the real program.

#include <QImage>

// Every pixel differs from its neighbours, so a crop one pixel off shows.
QImage patternPicture(int width, int height, int seed);

// A calm landscape for the screenshots: sky, sun, hills and a lake.
QImage demoPicture(int width, int height);
