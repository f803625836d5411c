// Reading picture files: JPEG through libjpeg-turbo with its EXIF orientation,
// uncompressed BMP through our own reader, the rest through Qt's plugins, and
// files that must be refused with a reason.

#include "../hardening/hostilecorpus.h"
#include "input/pictureloader.h"
#include "input/pictureloading.h"
#include "input/picturememory.h"
#include "testpictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace {

QByteArray compressJpeg(const QImage& source, int subsampling = TJSAMP_444, int flags = 0)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
                image.height(), TJPF_BGRX, &buffer, &size, subsampling, 90, flags);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    tjFree(buffer);
    tjDestroy(handle);
    return bytes;
}

// An APP1 segment whose only entry is the orientation, inserted after the SOI marker.
QByteArray withOrientation(const QByteArray& jpeg, int orientation, bool bigEndian)
{
    QByteArray tiff = bigEndian ? QByteArray("MM\0*", 4) : QByteArray("II*\0", 4);
    const auto put16 = [&](quint16 v) {
        char b[2];
        bigEndian ? qToBigEndian(v, b) : qToLittleEndian(v, b);
        tiff.append(b, 2);
    };
    const auto put32 = [&](quint32 v) {
        char b[4];
        bigEndian ? qToBigEndian(v, b) : qToLittleEndian(v, b);
        tiff.append(b, 4);
    };
    put32(8);      // first directory right after the header
    put16(1);      // one entry
    put16(0x0112); // orientation
    put16(3);      // SHORT
    put32(1);      // one value
    put16(static_cast<quint16>(orientation));
    put16(0); // padding of the value field
    put32(0); // no next directory
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    char length[2];
    qToBigEndian(static_cast<quint16>(body.size() + 2), length);
    segment.append(length, 2).append(body);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// Where stored pixel (x, y) of a w x h picture is seen after the EXIF turn.
QPoint shownAt(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {h - 1 - y, x};
    case 7:
        return {h - 1 - y, w - 1 - x};
    case 8:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

// A BMP written by hand, so that top-down rows and 32-bit pixels are covered too.
QByteArray bmpBytes(const QImage& image, int bits, bool topDown)
{
    const int w = image.width();
    const int h = image.height();
    const int stride = (w * bits + 31) / 32 * 4;
    QByteArray out(54 + stride * h, '\0');
    auto* d = reinterpret_cast<uchar*>(out.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(out.size()), d + 2);
    qToLittleEndian<quint32>(54, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(w, d + 18);
    qToLittleEndian<qint32>(topDown ? -h : h, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(static_cast<quint16>(bits), d + 28);
    for (int y = 0; y < h; ++y) {
        uchar* row = d + 54 + stride * (topDown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            uchar* px = row + x * bits / 8;
            px[0] = static_cast<uchar>(qBlue(p));
            px[1] = static_cast<uchar>(qGreen(p));
            px[2] = static_cast<uchar>(qRed(p));
            if (bits == 32)
                px[3] = 0x5A; // padding that must not show as transparency
        }
    }
    return out;
}

} // namespace

class LoadingTest : public QObject
{
    Q_OBJECT
  private slots:
    // The ceiling of a machine with 2 GiB available, whatever this one has.
    void initTestCase()
    {
        picturememory::setCeilingSource([] { return std::int64_t(1) << 30; });
    }
    void jpegMatchesAnotherDecoder_data();
    void jpegMatchesAnotherDecoder();
    void exifOrientationStandsUpright_data();
    void exifOrientationStandsUpright();
    void bmpPixelsExact_data();
    void bmpPixelsExact();
    void pluginFormatsLoad_data();
    void pluginFormatsLoad();
    void smallGifLoads();
    void refusesWithReason_data();
    void refusesWithReason();
    void systemCausesNamed_data();
    void systemCausesNamed();
    void bmpBitFieldsWidenedExactly_data();
    void bmpBitFieldsWidenedExactly();
    void onlyRegularFiles_data();
    void onlyRegularFiles();
    void decodingWakesTheWaiterOnlyForRowsAsked();

  private:
    QTemporaryDir m_dir;
};

void LoadingTest::jpegMatchesAnotherDecoder_data()
{
    QTest::addColumn<int>("subsampling");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("flags");
    QTest::newRow("4:4:4") << int(TJSAMP_444) << QSize(64, 48) << 0;
    QTest::newRow("4:2:0 odd size") << int(TJSAMP_420) << QSize(101, 37) << 0;
    QTest::newRow("grey") << int(TJSAMP_GRAY) << QSize(40, 40) << 0;
    // libjpeg's working memory, counted before the picture is taken, at the extremes.
    QTest::newRow("progressive, very wide")
        << int(TJSAMP_420) << QSize(30000, 9) << int(TJFLAG_PROGRESSIVE);
    QTest::newRow("progressive, very tall")
        << int(TJSAMP_444) << QSize(9, 30000) << int(TJFLAG_PROGRESSIVE);
}

void LoadingTest::jpegMatchesAnotherDecoder()
{
    QFETCH(int, subsampling);
    QFETCH(QSize, size);
    QFETCH(int, flags);
    const QString path =
        writeFile(m_dir, QStringLiteral("plain.jpg"),
                  compressJpeg(patternImage(size.width(), size.height(), 3), subsampling, flags));
    const PictureLoad load = loadPicture(path);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QCOMPARE(load.image.format(), QImage::Format_RGB32);
    QString difference;
    QVERIFY2(sameRgb(load.image, QImage(path)), qPrintable(difference));
}

void LoadingTest::exifOrientationStandsUpright_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("bigEndian");
    for (int o = 1; o <= 8; ++o)
        QTest::addRow("orientation %d", o) << o << false;
    QTest::newRow("orientation 6, Motorola order") << 6 << true;
    QTest::newRow("out of range value") << 9 << false;
}

void LoadingTest::exifOrientationStandsUpright()
{
    QFETCH(int, orientation);
    QFETCH(bool, bigEndian);
    const int w = 40;
    const int h = 24;
    const QByteArray plain = compressJpeg(patternImage(w, h, 5));
    const PictureLoad stored = loadPicture(writeFile(m_dir, QStringLiteral("stored.jpg"), plain));
    QVERIFY(stored.ok());
    const QString path = writeFile(m_dir, QStringLiteral("turned.jpg"),
                                   withOrientation(plain, orientation, bigEndian));
    const PictureLoad turned = loadPicture(path);
    QVERIFY2(turned.ok(), qPrintable(turned.error));

    const int used = orientation <= 8 ? orientation : 1;
    const bool sideways = used >= 5;
    QCOMPARE(turned.image.size(), sideways ? QSize(h, w) : QSize(w, h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QPoint at = shownAt(used, x, y, w, h);
            QCOMPARE(turned.image.pixel(at) & 0xffffff, stored.image.pixel(x, y) & 0xffffff);
        }
    }
}

void LoadingTest::bmpPixelsExact_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("24-bit bottom-up, padded rows") << 24 << false << 37 << 29;
    QTest::newRow("24-bit top-down") << 24 << true << 40 << 29;
    QTest::newRow("32-bit bottom-up") << 32 << false << 33 << 29;
    QTest::newRow("32-bit top-down") << 32 << true << 8 << 29;
    // Rows are read from the file a megabyte at a time; these span several reads.
    QTest::newRow("24-bit, several stripes") << 24 << false << 1001 << 900;
    QTest::newRow("32-bit top-down, several stripes") << 32 << true << 700 << 1000;
}

void LoadingTest::bmpPixelsExact()
{
    QFETCH(int, bits);
    QFETCH(bool, topDown);
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage source = patternImage(width, height, 9);
    const QString path =
        writeFile(m_dir, QStringLiteral("hand.bmp"), bmpBytes(source, bits, topDown));
    const PictureLoad load = loadPicture(path);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QString difference;
    QVERIFY2(sameRgb(load.image, source, &difference), qPrintable(difference));
    QVERIFY(!load.image.hasAlphaChannel());
    QCOMPARE(qAlpha(load.image.pixel(0, 0)), 255);
}

void LoadingTest::pluginFormatsLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << QStringLiteral("p.png") << QByteArray("PNG");
    QTest::newRow("tiff") << QStringLiteral("p.tif") << QByteArray("TIFF");
    QTest::newRow("webp") << QStringLiteral("p.webp") << QByteArray("WEBP");
    QTest::newRow("8-bit bmp") << QStringLiteral("p8.bmp") << QByteArray("BMP");
    QTest::newRow("png named .jpg") << QStringLiteral("png.jpg") << QByteArray("PNG");
}

void LoadingTest::pluginFormatsLoad()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QImage source = patternImage(30, 20, 1);
    if (format == "BMP")
        source = source.convertToFormat(QImage::Format_Indexed8);
    const QString path = m_dir.filePath(name);
    QVERIFY(source.save(path, format.constData()));
    const PictureLoad load = loadPicture(path);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QString difference;
    QVERIFY2(sameRgb(load.image, QImage(path, format.constData())), qPrintable(difference));
}

void LoadingTest::smallGifLoads()
{
    // Qt writes no GIF files, so this one is spelt out: 1 x 1, one white pixel.
    const QString path =
        writeFile(m_dir, QStringLiteral("dot.gif"),
                  QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                             ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                             35));
    const PictureLoad load = loadPicture(path);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QCOMPARE(load.image.size(), QSize(1, 1));
    QCOMPARE(load.image.pixel(0, 0) & 0xffffff, 0xffffffu);
}

void LoadingTest::refusesWithReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray jpeg = compressJpeg(patternImage(64, 64));
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf("\xFF\xC0");
    huge[sof + 5] = '\xFD'; // height 65000
    huge[sof + 6] = '\xE8';
    huge[sof + 7] = '\xFD'; // width 65000
    huge[sof + 8] = '\xE8';
    QByteArray hugeBmp = bmpBytes(patternImage(4, 4), 24, false);
    qToLittleEndian<qint32>(30000, hugeBmp.data() + 18);
    qToLittleEndian<qint32>(30000, hugeBmp.data() + 22);
    QByteArray shortBmp = bmpBytes(patternImage(40, 40), 24, false);
    shortBmp.chop(500);
    // The length comes from the literal itself; a count written by hand read past its end.
    static const char hugeGifBytes[] = "GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00"
                                       ",\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00"
                                       "\x02\x02\x44\x01\x00;";
    const QByteArray hugeGif(hugeGifBytes, sizeof hugeGifBytes - 1);

    QTest::newRow("missing") << QString() << QByteArray()
                             << QStringLiteral("ファイルが見つかりません");
    QTest::newRow("text named .jpg") << QStringLiteral("notes.jpg") << QByteArray("hello\n")
                                     << QStringLiteral("画像ファイルではありません");
    QTest::newRow("empty") << QStringLiteral("empty.bmp") << QByteArray()
                           << QStringLiteral("画像ファイルではありません");
    QTest::newRow("truncated jpeg") << QStringLiteral("cut.jpg") << jpeg.left(jpeg.size() / 2)
                                    << QStringLiteral("ファイルが途中で切れています");
    QTest::newRow("jpeg marker then junk")
        << QStringLiteral("junk.jpg") << QByteArray("\xFF\xD8\xFF\x00junkjunk", 11)
        << QStringLiteral("画像ファイルではありません");
    QTest::newRow("jpeg claiming 65000 x 65000")
        << QStringLiteral("huge.jpg") << huge
        << QStringLiteral("大きすぎます: 65000 x 65000 ピクセル");
    QTest::newRow("bmp claiming 30000 x 30000")
        << QStringLiteral("huge.bmp") << hugeBmp << QStringLiteral("大きすぎます: 30000 x 30000");
    QTest::newRow("bmp cut short")
        << QStringLiteral("short.bmp") << shortBmp << QStringLiteral("途中で切れています");
    QTest::newRow("gif claiming 65535 x 65535")
        << QStringLiteral("huge.gif") << hugeGif << QStringLiteral("大きすぎます: 65535 x 65535");
    // The causes in the user's language, never a library's English text.
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        patternImage(64, 64).save(&buffer, "PNG");
    }
    QTest::newRow("png cut short") << QStringLiteral("cut.png") << png.left(png.size() / 2)
                                   << QStringLiteral("画像のデータが壊れています");
    QByteArray twelveBits = jpeg;
    twelveBits[sof + 4] = 12; // sample precision
    QTest::newRow("12-bit jpeg") << QStringLiteral("twelve.jpg") << twelveBits
                                 << QStringLiteral("12ビットのJPEG");
    QByteArray lossless = jpeg;
    lossless[sof + 1] = '\xC3';
    QTest::newRow("lossless jpeg")
        << QStringLiteral("lossless.jpg") << lossless << QStringLiteral("ロスレス");
}

void LoadingTest::refusesWithReason()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = name.isEmpty() ? m_dir.filePath(QStringLiteral("nowhere.jpg"))
                                        : writeFile(m_dir, name, bytes);
    const PictureLoad load = loadPicture(path);
    QVERIFY(!load.ok());
    QVERIFY(load.image.isNull());
    QVERIFY2(load.error.contains(reason), qPrintable(load.error));
    QVERIFY2(!load.error.contains(QRegularExpression(QStringLiteral("[a-z]{4,}"))),
             qPrintable(load.error));
}

void LoadingTest::systemCausesNamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("symbolic links in a loop")
        << QStringLiteral("loop") << QStringLiteral("シンボリックリンクが循環しています");
    QTest::newRow("link to nothing")
        << QStringLiteral("dangling") << QStringLiteral("ファイルが見つかりません");
    QTest::newRow("a file on the way")
        << QStringLiteral("not a folder") << QStringLiteral("途中のフォルダーがありません");
}

void LoadingTest::systemCausesNamed()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString path = m_dir.filePath(kind + QStringLiteral(".jpg"));
    if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("other.jpg")), path));
        QVERIFY(QFile::link(path, m_dir.filePath(QStringLiteral("other.jpg"))));
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("nothing.jpg")), path));
    } else {
        path = writeFile(m_dir, QStringLiteral("plain.txt"), "text") + QStringLiteral("/a.jpg");
    }
    const PictureLoad load = loadPicture(path);
    QVERIFY(!load.ok());
    QVERIFY2(load.error.contains(reason), qPrintable(load.error));
}

void LoadingTest::bmpBitFieldsWidenedExactly_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("compression");
    QTest::addColumn<QList<quint32>>("masks");
    QTest::newRow("16-bit 5-5-5") << 16 << 0 << QList<quint32>{0x7C00, 0x03E0, 0x001F, 0};
    QTest::newRow("16-bit 5-6-5 bit fields")
        << 16 << 3 << QList<quint32>{0xF800, 0x07E0, 0x001F, 0};
    QTest::newRow("16-bit 4-4-4-4 with transparency")
        << 16 << 6 << QList<quint32>{0x0F00, 0x00F0, 0x000F, 0xF000};
    QTest::newRow("32-bit 10-10-10 bit fields")
        << 32 << 3 << QList<quint32>{0x3FF00000, 0x000FFC00, 0x000003FF, 0};
}

void LoadingTest::bmpBitFieldsWidenedExactly()
{
    QFETCH(int, bits);
    QFETCH(int, compression);
    QFETCH(QList<quint32>, masks);
    const int width = 67;
    const int height = 5;
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray pixels(stride * height, '\0');
    QImage expected(width, height, QImage::Format_RGB32);
    const auto widened = [](quint32 pixel, quint32 mask) {
        if (mask == 0)
            return 255.0;
        const int shift = std::countr_zero(mask);
        return double((pixel & mask) >> shift) * 255.0 / double(mask >> shift);
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Every pixel of the first row is white; the rest run through the values.
            const quint32 p = y == 0 ? 0xFFFFFFFFu : quint32(x * 2654435761u >> (y * 3));
            uchar* at =
                reinterpret_cast<uchar*>(pixels.data()) + (height - 1 - y) * stride + x * bits / 8;
            bits == 16 ? qToLittleEndian<quint16>(static_cast<quint16>(p), at)
                       : qToLittleEndian<quint32>(p, at);
            const double alpha = widened(p, masks[3]) / 255.0;
            const auto channel = [&](int i) {
                return int(std::lround(widened(p, masks[i]) * alpha + 255.0 * (1 - alpha)));
            };
            expected.setPixel(x, y, qRgb(channel(0), channel(1), channel(2)));
        }
    }
    QByteArray maskBytes;
    for (qsizetype i = 0; i < (compression == 6 ? 4 : compression == 3 ? 3 : 0); ++i) {
        char b[4];
        qToLittleEndian<quint32>(masks[i], b);
        maskBytes.append(b, 4);
    }
    const QByteArray file =
        hostile::withU32(hostile::bmp(width, height, static_cast<quint16>(bits),
                                      static_cast<quint32>(compression), maskBytes, pixels),
                         46, 0); // the masks are no palette
    const PictureLoad load = loadPicture(writeFile(m_dir, QStringLiteral("fields.bmp"), file));
    QVERIFY2(load.ok(), qPrintable(load.error));
    QString difference;
    QVERIFY2(sameRgb(load.image, expected, &difference), qPrintable(difference));
    QCOMPARE(load.image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

void LoadingTest::onlyRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("named pipe") << QStringLiteral("fifo");
}

void LoadingTest::onlyRegularFiles()
{
    QFETCH(QString, kind);
    // A pipe named like a picture would block a reader forever; it must be refused unopened.
    const QString path = m_dir.filePath(kind + QStringLiteral(".jpg"));
    if (kind == QStringLiteral("folder"))
        QVERIFY(QDir().mkpath(path));
    else
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const PictureLoad load = loadPicture(path);
    QVERIFY(!load.ok());
    QVERIFY2(load.error.contains(QStringLiteral("通常のファイルではありません")),
             qPrintable(load.error));
}

// The thread that paints a picture as it decodes is not woken for rows it has
// not asked for: waiting for more rows than the picture has, it is woken by the
// end alone, and then every row is there. (A picture large enough that the
// wait begins long before its end.)
void LoadingTest::decodingWakesTheWaiterOnlyForRowsAsked()
{
    const QString path = writeFile(m_dir, QStringLiteral("rows.jpg"),
                                   compressJpeg(patternImage(3000, 3000, 4), TJSAMP_420));
    PictureLoading loading(LocalFileName::fromText(path), QSize());
    PictureLoading::Progress known;
    while (known.picture.isNull() && !known.ended)
        known = loading.waitForMore(known, known.rows + 1, 10000);
    const PictureLoading::Progress end =
        loading.waitForMore(known, std::numeric_limits<int>::max(), 60000);
    QVERIFY(end.ended);
    QCOMPARE(end.rows, 3000);
    QVERIFY(loading.result().ok());
}

QTEST_GUILESS_MAIN(LoadingTest)
#include "tst_loading.moc"
