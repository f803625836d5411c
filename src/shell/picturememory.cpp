#include "shell/picturememory.h"

#include <cstdint>
#include <cstring>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace {

// Below this size the ordinary allocator does as well.
constexpr std::size_t kLargePicture = std::size_t(8) << 20;
constexpr std::size_t kHugePage = std::size_t(2) << 20;

#if defined(Q_OS_LINUX)
struct Mapping
{
    void* base;
    std::size_t size;
};

void unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->base, mapping->size);
    delete mapping;
}

// Maps size bytes starting on a 2 MiB boundary, so that every whole 2 MiB of
// the picture can become one huge page where the system gives them.
void* mapAligned(std::size_t size)
{
    const std::size_t padded = size + kHugePage;
    void* raw = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::size_t tail = start + padded - (aligned + size);
    if (tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* data = reinterpret_cast<void*>(aligned);
#if defined(MADV_POPULATE_WRITE)
    // The whole picture is written at once anyway. Asking for 2 MiB pages with
    // MADV_HUGEPAGE is left to the system's policy: on virtual machines that
    // return free memory to the host, fresh huge pages cost three times more.
    // Kernels before 5.14 refuse the advice and fault the pages in one by one.
    madvise(data, size, MADV_POPULATE_WRITE);
#endif
    return data;
}
#endif

} // namespace

QImage newPictureImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    const std::size_t size = std::size_t(bytesPerLine) * std::size_t(height);
#if defined(Q_OS_LINUX)
    if (size >= kLargePicture) {
        void* data = mapAligned(size);
        if (!data)
            return {};
        return QImage(static_cast<uchar*>(data), width, height, bytesPerLine, QImage::Format_RGB32,
                      unmap, new Mapping{data, size});
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

QImage copyPictureImage(const QImage& image)
{
    if (image.format() != QImage::Format_RGB32)
        return image.copy();
    QImage copy = newPictureImage(image.width(), image.height());
    if (copy.isNull())
        return copy;
    const std::size_t rowBytes = std::size_t(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(copy.scanLine(y), image.constScanLine(y), rowBytes);
    copy.setDotsPerMeterX(image.dotsPerMeterX());
    copy.setDotsPerMeterY(image.dotsPerMeterY());
    return copy;
}
