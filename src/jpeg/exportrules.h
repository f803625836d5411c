#pragma once

// The rules of the JPEG export that need no window: the quality text as the
// byte the library takes, the extension of a name typed without one, and the
// folder remembered after a save.

#include <QString>
#include <cstdint>
#include <optional>

namespace jpeg {

// The quality text read as a number, rounded half to even; nullopt when it is
// not a number or falls outside 0..255.
std::optional<std::uint8_t> qualityFromText(const QString& text);

// The folder of a saved file without its trailing separator: the first
// length - titleLength - 1 characters of path ("/tmp/x/a.jpg" -> "/tmp/x",
// "/a.jpg" -> "").
QString folderOfTarget(const QString& path, qsizetype titleLength);

// The path with ".jpg" added when its file name has no extension ("piece" ->
// "piece.jpg"); a name with a dot after its first character is kept as typed.
QString withJpgExtension(const QString& path);

// True when path names, through any symbolic links, an existing file that is
// read-only: one that nobody may write (chmod a-w), or this user may not. Such
// a file is not replaced.
bool isReadOnlyFile(const QString& path);

} // namespace jpeg
