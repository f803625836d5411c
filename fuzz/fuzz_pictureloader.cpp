// The picture loader on arbitrary bytes, read from memory the way it reads a
// file: it must never crash, and a picture it returns stays under the ceiling.

#include "input/pictureloader.h"
#include "input/picturememory.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr std::int64_t kCeiling = std::int64_t(256) << 20;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt's image plugins need an application object; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    // A fixed ceiling well inside the fuzzer's memory limit, whatever the machine has.
    picturememory::setCeilingSource([] { return kCeiling; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PictureLoad load = loadPicture(buffer);
    if (load.ok() == load.image.isNull())
        std::abort();
    if (load.ok() && load.image.sizeInBytes() > kCeiling)
        std::abort();
    return 0;
}
