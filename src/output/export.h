#pragma once

// The rules of the JPEG export that do not need a window: the piece as an
// image, the quality text as a number, and the folder remembered after a save.

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>

class PictureBox;

namespace output {

// The piece store's shown image; before the first cut, a blank image of the
// store's size in its back colour. Null when the store has no area.
QImage pieceImage(const PictureBox& store);

// The quality box's text read as a number, rounded half to even; nullopt when
// it is not a number or falls outside 0..255.
std::optional<std::uint8_t> qualityFromText(const QString& text);

// The folder of a saved file without its trailing separator: the first
// length - titleLength - 1 characters of path ("/tmp/x/a.jpg" -> "/tmp/x",
// "/a.jpg" -> "").
QString folderOfTarget(const QString& path, qsizetype titleLength);

} // namespace output
