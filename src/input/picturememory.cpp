#include "input/picturememory.h"

#include <QFile>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <unistd.h>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace {

// Below this size the ordinary allocator does as well.
constexpr std::size_t kLargePicture = std::size_t(8) << 20;
constexpr std::size_t kHugePage = std::size_t(2) << 20;

#if defined(Q_OS_LINUX)
// A mapped picture and the thread that has the kernel fill its pages in ahead
// of the decoder. Filling the pages (the kernel zeroes each one) costs about
// as much as a third of decoding a JPEG; on the other core it costs the
// decoder nothing.
struct Mapping
{
    void* base = nullptr;
    std::size_t size = 0;
    std::atomic<bool> cancelled{false};
    std::thread filler;
};

void unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    mapping->cancelled = true;
    if (mapping->filler.joinable())
        mapping->filler.join();
    munmap(mapping->base, mapping->size);
    delete mapping;
}

// Fills the pages in from the top, the order in which decoders write rows, in
// steps small enough that the decoder rarely finds a page not yet there. A page
// the decoder reaches first is simply faulted in by the decoder.
void fillPages(Mapping* mapping)
{
#if defined(MADV_POPULATE_WRITE)
    constexpr std::size_t kStep = std::size_t(4) << 20;
    auto* base = static_cast<char*>(mapping->base);
    for (std::size_t offset = 0; offset < mapping->size && !mapping->cancelled; offset += kStep) {
        const std::size_t length = std::min(kStep, mapping->size - offset);
        // Kernels before 5.14 refuse the advice; the pages are then faulted in on use.
        if (madvise(base + offset, length, MADV_POPULATE_WRITE) != 0)
            return;
    }
#else
    (void)mapping;
#endif
}

thread_local bool fillAhead = true;

// Maps size bytes starting on a 2 MiB boundary, so that every whole 2 MiB of
// the picture can become one huge page where the system gives them. Asking for
// them with MADV_HUGEPAGE is left to the system's policy: on virtual machines
// that return free memory to the host, fresh huge pages cost three times more.
Mapping* mapAligned(std::size_t size)
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
    auto* mapping = new Mapping;
    mapping->base = reinterpret_cast<void*>(aligned);
    mapping->size = size;
    try {
        if (fillAhead)
            mapping->filler = std::thread(fillPages, mapping);
    } catch (...) {
        // Without a second thread the pages are faulted in as they are written.
    }
    return mapping;
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
        Mapping* mapping = mapAligned(size);
        if (!mapping)
            return {};
        return QImage(static_cast<uchar*>(mapping->base), width, height, bytesPerLine,
                      QImage::Format_RGB32, unmap, mapping);
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

namespace {

std::mutex ceilingLock;
std::function<std::int64_t()> ceilingSource;

// MemAvailable from /proc/meminfo; where there is none, the free physical pages.
std::int64_t availableBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        for (QByteArray line = meminfo.readLine(); !line.isEmpty(); line = meminfo.readLine()) {
            if (line.startsWith("MemAvailable:"))
                return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
#if defined(_SC_AVPHYS_PAGES)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return std::int64_t(pages) * pageSize;
#endif
    return std::int64_t(2) << 30;
}

} // namespace

namespace picturememory {

void setFillAhead(bool fill)
{
#if defined(Q_OS_LINUX)
    fillAhead = fill;
#else
    (void)fill;
#endif
}

std::int64_t ceiling()
{
    {
        const std::lock_guard<std::mutex> lock(ceilingLock);
        if (ceilingSource)
            return ceilingSource();
    }
    return availableBytes() / 2;
}

void setCeilingSource(std::function<std::int64_t()> source)
{
    const std::lock_guard<std::mutex> lock(ceilingLock);
    ceilingSource = std::move(source);
}

} // namespace picturememory
