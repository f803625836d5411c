#pragma once

// What each Snipwell figure is measured against: libjpeg-turbo and the system
// doing the same work with nothing around it. Buffers are allocated once and
// reused, so the references pay for no allocation at all.

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace bench {

// Reads a JPEG file into a buffer and decodes it with tjDecompress2 into
// pixels in the picture surface's own format. With freshPicture the pixels go
// into a buffer allocated just before, its pages new to the process, as an
// open must; otherwise into one kept (and so already paged in) from the run before.
class JpegDecodeReference
{
  public:
    explicit JpegDecodeReference(QString path, bool freshPicture = false)
        : m_path(std::move(path)), m_freshPicture(freshPicture)
    {
    }
    double run(); // milliseconds; negative when the file cannot be decoded

  private:
    QString m_path;
    bool m_freshPicture;
    std::vector<std::uint8_t> m_file;
    std::vector<std::uint8_t> m_pixels;
    std::unique_ptr<std::uint8_t[]> m_fresh;
};

// Decodes only the first rows of a JPEG with libjpeg, into a buffer allocated
// just before: what showing the top of a picture needs at the least. The file
// is read into memory first, outside the time.
class JpegTopRowsReference
{
  public:
    JpegTopRowsReference(QString path, int rows) : m_path(std::move(path)), m_rows(rows) {}
    double run();

  private:
    QString m_path;
    int m_rows;
    std::vector<std::uint8_t> m_file;
};

// Reads a file's bytes into memory with read(2). Given a picture size, it
// reads them into a newly allocated picture of that size each time instead.
class FileReadReference
{
  public:
    enum class Into { KeptBuffer, NewBuffer };
    explicit FileReadReference(QString path, QSize freshPicture = {})
        : m_path(std::move(path)), m_freshPicture(freshPicture)
    {
    }
    FileReadReference(QString path, Into into) : m_path(std::move(path)), m_into(into) {}
    double run();

  private:
    QString m_path;
    QSize m_freshPicture;
    Into m_into = Into::KeptBuffer;
    std::vector<std::uint8_t> m_bytes;
    QImage m_picture;
};

// Compresses pixels with tjCompress2 at the settings Snipwell's library uses
// for the same quality; with a target folder, also writes the result to a file
// there as a careful program must: a temporary file, fsync, rename.
class JpegCompressReference
{
  public:
    JpegCompressReference(QImage pixels, int quality, bool progressive, QString writeFolder = {})
        : m_pixels(std::move(pixels)), m_quality(quality), m_progressive(progressive),
          m_folder(std::move(writeFolder))
    {
    }
    double run();

  private:
    bool writeFile(const std::uint8_t* data, unsigned long size);

    QImage m_pixels;
    int m_quality;
    bool m_progressive;
    QString m_folder;
    std::vector<std::uint8_t> m_jpeg;
    int m_serial = 0;
};

} // namespace bench
