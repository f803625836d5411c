#pragma once

// The piece as the export, the preview and the clipboard take it.

#include <QImage>
#include <QString>

class PictureBox;

namespace output {

// The piece store's shown image; before the first cut, a blank image of the
// store's size in its back colour. Null when the store has no area.
QImage pieceImage(const PictureBox& store);

} // namespace output
