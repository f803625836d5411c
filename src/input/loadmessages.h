#pragma once

// Why a picture could not be opened, in the words the user is shown. Readers
// tell causes apart here rather than passing on the English texts of the
// libraries they use.

#include <QString>
#include <cstdint>

namespace loadmessages {

QString notAPicture();
QString cutShort();
QString damaged();
QString outOfMemory();
QString notRegularFile();
// A kind of file the readers know but cannot decode (12-bit or lossless JPEG, ...).
QString unsupportedKind(const QString& kind);
QString tooManyScans(int limit);
// Names the picture's size, the memory it needs and the memory there is.
QString tooLarge(std::int64_t width, std::int64_t height, std::int64_t neededBytes,
                 std::int64_t availableBytes);
// An error of the system (errno) met while finding, opening or reading the file.
QString fromErrno(int error);

} // namespace loadmessages
