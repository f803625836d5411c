#include "references.h"

#include "input/picturememory.h"
#include "stats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <turbojpeg.h>
// After <cstdio>, which libjpeg's header needs.
#include <jpeglib.h>
#include <unistd.h>

namespace bench {

namespace {

// Reads a whole file into buffer with read(2), growing it only the first time.
bool readWhole(const QString& path, std::vector<std::uint8_t>& buffer)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    if (buffer.size() < static_cast<size_t>(size))
        buffer.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < static_cast<size_t>(size)) {
        const ssize_t got = ::read(fd, buffer.data() + done, static_cast<size_t>(size) - done);
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    return done == static_cast<size_t>(size);
}

// Reads a whole file into a buffer allocated for it, uninitialised, as
// QFile::readAll does; the buffer is freed after the clock has stopped.
double readIntoNewBuffer(const QString& path)
{
    const Stopwatch watch;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[static_cast<size_t>(size)]);
    size_t done = 0;
    for (ssize_t got;
         done < static_cast<size_t>(size) &&
         (got = ::read(fd, buffer.get() + done, static_cast<size_t>(size) - done)) > 0;)
        done += static_cast<size_t>(got);
    ::close(fd);
    const double elapsed = watch.milliseconds();
    return done == static_cast<size_t>(size) ? elapsed : -1;
}

} // namespace

double JpegDecodeReference::run()
{
    // Freeing the last picture is not part of opening the next one.
    m_fresh.reset();
    const Stopwatch watch;
    if (!readWhole(m_path, m_file))
        return -1;
    tjhandle handle = tjInitDecompress();
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    const auto size = static_cast<unsigned long>(QFileInfo(m_path).size());
    bool ok = tjDecompressHeader3(handle, m_file.data(), size, &width, &height, &subsampling,
                                  &colorspace) == 0;
    if (ok) {
        const size_t bytes = static_cast<size_t>(width) * height * 4;
        // Left uninitialised, as a decoder's own buffer is.
        if (m_freshPicture)
            m_fresh.reset(new std::uint8_t[bytes]);
        else if (m_pixels.size() < bytes)
            m_pixels.resize(bytes);
        uchar* pixels = m_freshPicture ? m_fresh.get() : m_pixels.data();
        ok = tjDecompress2(handle, m_file.data(), size, pixels, width, width * 4, height, TJPF_BGRA,
                           0) == 0;
    }
    tjDestroy(handle);
    return ok ? watch.milliseconds() : -1;
}

double JpegTopRowsReference::run()
{
    if (m_file.empty() && !readWhole(m_path, m_file))
        return -1;
    const Stopwatch watch;
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, m_file.data(), static_cast<unsigned long>(m_file.size()));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&decoder);
    const int rows = std::min<int>(m_rows, static_cast<int>(decoder.output_height));
    const std::size_t stride = std::size_t(decoder.output_width) * 4;
    // Left uninitialised and new to the process, as an open's picture is.
    const std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[stride * rows]);
    while (static_cast<int>(decoder.output_scanline) < rows) {
        JSAMPROW row = pixels.get() + stride * decoder.output_scanline;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_abort_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return watch.milliseconds();
}

double FileReadReference::run()
{
    m_picture = QImage();
    if (m_into == Into::NewBuffer)
        return readIntoNewBuffer(m_path);
    const Stopwatch watch;
    if (m_freshPicture.isEmpty())
        return readWhole(m_path, m_bytes) ? watch.milliseconds() : -1;
    m_picture = newPictureImage(m_freshPicture.width(), m_freshPicture.height());
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || m_picture.isNull())
        return -1;
    const auto room = static_cast<size_t>(m_picture.sizeInBytes());
    size_t done = 0;
    for (ssize_t got; (got = ::read(fd, m_picture.bits() + done, room - done)) > 0;)
        done += static_cast<size_t>(got);
    ::close(fd);
    return done == static_cast<size_t>(QFileInfo(m_path).size()) ? watch.milliseconds() : -1;
}

double JpegCompressReference::run()
{
    const int width = m_pixels.width();
    const int height = m_pixels.height();
    const int subsampling = m_quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    const unsigned long capacity = tjBufSize(width, height, subsampling);
    if (m_jpeg.size() < capacity)
        m_jpeg.resize(capacity);

    const Stopwatch watch;
    tjhandle handle = tjInitCompress();
    unsigned char* out = m_jpeg.data();
    unsigned long size = capacity;
    const int flags = TJFLAG_NOREALLOC | (m_progressive ? TJFLAG_PROGRESSIVE : 0);
    const bool ok =
        tjCompress2(handle, m_pixels.constBits(), width, static_cast<int>(m_pixels.bytesPerLine()),
                    height, TJPF_BGRX, &out, &size, subsampling, m_quality, flags) == 0;
    tjDestroy(handle);
    if (!ok || (!m_folder.isEmpty() && !writeFile(out, size)))
        return -1;
    return watch.milliseconds();
}

bool JpegCompressReference::writeFile(const std::uint8_t* data, unsigned long size)
{
    const QString target =
        QDir(m_folder).filePath(QStringLiteral("reference-%1.jpg").arg(++m_serial));
    const QByteArray temporary = QFile::encodeName(target + QStringLiteral(".tmp"));
    const int fd = ::open(temporary.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, data, size) == static_cast<ssize_t>(size) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    return ok;
}

} // namespace bench
