// What one load holds at its peak, measured in a child process of this test:
// no load ever holds a second full copy of the picture. The peak is at most
// the picture at 4 bytes per pixel, plus a progressive file's coefficients
// (2 bytes a sample), plus 60 MiB, whether the picture is turned by its EXIF
// orientation, converted from CMYK, or flattened from transparency.

#include "../hardening/hostilecorpus.h"
#include "input/pictureloader.h"
#include "testpictures.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int64_t kMiB = std::int64_t(1) << 20;
constexpr int kWidth = 6000;
constexpr int kHeight = 5000;

std::int64_t statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// In the child: the growth of the resident set's high-water mark over one load.
int measureLoad(const char* path)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    // "5" resets the high-water mark to the present resident set.
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return 3;
    clear.close();
    const std::int64_t before = statusKiB("VmRSS:");
    const PictureLoad load = loadPicture(QString::fromLocal8Bit(path));
    const std::int64_t peak = statusKiB("VmHWM:");
    std::printf("%s %lld\n", load.ok() ? "loaded" : "refused",
                static_cast<long long>(peak - before));
    return before < 0 || peak < 0 ? 3 : 0;
}

// A photo-like picture with an EXIF orientation of 6 in its APP1 segment.
QByteArray turnedJpeg(const QImage& picture)
{
    const QByteArray plain = hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0);
    static const char app1[] = "\xFF\xE1\x00\x22"
                               "Exif\x00\x00"
                               "II*\x00\x08\x00\x00\x00"
                               "\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00"
                               "\x00\x00\x00\x00";
    return plain.left(2) + QByteArray(app1, sizeof app1 - 1) + plain.mid(2);
}

QImage transparentPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kHeight; y += 97)
        std::memset(image.scanLine(y), 0x80, std::size_t(kWidth) * 4);
    return image;
}

} // namespace

class MemoryPeakTest : public QObject
{
    Q_OBJECT
  private slots:
    void peakHoldsOneCopy_data();
    void peakHoldsOneCopy();

  private:
    QTemporaryDir m_dir;
};

void MemoryPeakTest::peakHoldsOneCopy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::int64_t>("besidePicture"); // what the decoder cannot do without
    QTest::addColumn<bool>("loads");
    const QImage photo = patternImage(kWidth, kHeight, 3);
    const std::int64_t pixels = std::int64_t(kWidth) * kHeight;
    QTest::newRow("JPEG turned by its EXIF orientation")
        << turnedJpeg(photo) << std::int64_t(0) << true;
    QTest::newRow("progressive 4:4:4 JPEG")
        << hostile::turboJpeg(photo, TJPF_BGRX, TJSAMP_444, TJFLAG_PROGRESSIVE) << pixels * 6
        << true;
    QTest::newRow("CMYK JPEG") << hostile::turboJpeg(photo, TJPF_CMYK, TJSAMP_444, 0)
                               << std::int64_t(0) << true;
    QTest::newRow("transparent PNG")
        << hostile::qtEncoded(transparentPicture(), "PNG") << std::int64_t(0) << true;
    QTest::newRow("16384 x 16384 progressive header over a few kilobytes")
        << hostile::withFrameSize(
               hostile::turboJpeg(patternImage(64, 64), TJPF_BGRX, TJSAMP_420, TJFLAG_PROGRESSIVE),
               16384, 16384)
        << -pixels * 4 << false;
}

void MemoryPeakTest::peakHoldsOneCopy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(std::int64_t, besidePicture);
    QFETCH(bool, loads);
    const QString path = m_dir.filePath(QStringLiteral("picture"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitCode(), 0);
    const QList<QByteArray> answer = child.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(answer.value(0), loads ? QByteArray("loaded") : QByteArray("refused"));
    const std::int64_t growth = answer.value(1).toLongLong() * 1024;
    const std::int64_t allowed = std::int64_t(kWidth) * kHeight * 4 + besidePicture + 60 * kMiB;
    qInfo("peak grew by %lld MiB, allowed %lld MiB", static_cast<long long>(growth / kMiB),
          static_cast<long long>(allowed / kMiB));
    QVERIFY2(growth <= allowed, qPrintable(QString::number(growth / kMiB)));
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        QGuiApplication app(argc, argv);
        return measureLoad(argv[2]);
    }
    QGuiApplication app(argc, argv);
    MemoryPeakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memorypeak.moc"
