#pragma once

// The six values the program keeps from one run to the next, each with its
// default: the JPEG quality (as text, as the user typed it) and progressive
// flag, the picture opened last, the folder of the JPEG saved last, and the
// main window's position. The options dialog shows and edits the first two;
// the export reads them here.

#include <QString>
#include <cstdint>
#include <optional>

struct Settings
{
    QString quality = QStringLiteral("50");
    std::int16_t progressive = 0; // 0 off, 1 on, 2 greyed (counts as on)
    QString picpath;
    QString savefolder;
    // The window's outer left and top edges in twips; none: the designed
    // start-up position.
    std::optional<std::int32_t> winleft;
    std::optional<std::int32_t> wintop;

    bool isProgressive() const { return progressive != 0; }
    // Where the quality slider stands for the quality text: its value rounded
    // half to even; nullopt when that is no whole number from 0 to 100.
    std::optional<int> sliderValue() const;
};
