// Every JPEG within bounds, through the real loader: scan bombs refused in any
// colour space, files cut short told from files that only lack their end
// marker, the memory ceiling counting what a load holds at once, the header
// checked before the data is read, CMYK converted, and the observer that lets
// a picture be shown while it decodes.

#include "../hardening/hostilecorpus.h"
#include "input/loadobserver.h"
#include "input/pictureloader.h"
#include "input/picturememory.h"
#include "testpictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr std::int64_t kMiB = std::int64_t(1) << 20;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// The inks as TurboJPEG decodes them, turned into RGB independently.
QImage cmykExpected(const QByteArray& jpeg, bool inverted)
{
    tjhandle handle = tjInitDecompress();
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    tjDecompressHeader3(handle, data, static_cast<unsigned long>(jpeg.size()), &width, &height,
                        &subsampling, &colorspace);
    QByteArray inks(width * height * 4, '\0');
    tjDecompress2(handle, data, static_cast<unsigned long>(jpeg.size()),
                  reinterpret_cast<unsigned char*>(inks.data()), width, width * 4, height,
                  TJPF_CMYK, 0);
    tjDestroy(handle);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const uchar*>(inks.constData()) + (y * width + x) * 4;
            const auto ink = [&](int i) {
                const int k = inverted ? p[3] : 255 - p[3];
                const int v = inverted ? p[i] : 255 - p[i];
                return static_cast<int>(std::lround(v * k / 255.0));
            };
            image.setPixel(x, y, qRgb(ink(0), ink(1), ink(2)));
        }
    }
    return image;
}

// The JPEG without its APP14 segment: no Adobe marker, so the inks are plain.
QByteArray withoutAdobeMarker(const QByteArray& jpeg)
{
    const QList<qsizetype> app14 = hostile::markerOffsets(jpeg, 0xEE);
    if (app14.isEmpty())
        return jpeg;
    const qsizetype at = app14.first();
    const int length = static_cast<uchar>(jpeg[at + 2]) << 8 | static_cast<uchar>(jpeg[at + 3]);
    return jpeg.left(at) + jpeg.mid(at + 2 + length);
}

// The JPEG cut just inside its first scan after the given one.
QByteArray cutInScan(const QByteArray& jpeg, int scan)
{
    const QList<qsizetype> sos = hostile::markerOffsets(jpeg, 0xDA);
    const qsizetype end = scan + 1 < sos.size() ? sos[scan + 1] : jpeg.size() - 2;
    return jpeg.left(sos[scan] + (end - sos[scan]) / 2);
}

qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// Records what the loader tells it and checks, at each report, that the rows
// reported final already hold their final pixels.
class RecordingObserver : public LoadObserver
{
  public:
    explicit RecordingObserver(QImage expected) : m_expected(std::move(expected)) {}

    void pictureAllocated(const QImage& picture, bool rowsTopFirst) override
    {
        ++allocations;
        topFirst = rowsTopFirst;
        m_picture = picture;
        rowsBeforeAllocation = reports.size();
    }
    void rowsFinal(int rows) override
    {
        reports << rows;
        if (rows > 0 && !m_picture.isNull() && !m_expected.isNull() &&
            std::memcmp(m_picture.constScanLine(rows - 1), m_expected.constScanLine(rows - 1),
                        std::size_t(m_expected.width()) * 4) != 0)
            wrongRows << rows;
    }

    QSize firstLookSize() const override { return lookSize; }
    void firstLook(const QImage& corner, QSize pictureSize) override
    {
        looks << corner;
        sizeAhead = pictureSize;
        lookBeforeAllocation = allocations == 0;
    }

    QSize lookSize;
    QList<QImage> looks;
    QSize sizeAhead;
    bool lookBeforeAllocation = false;
    int allocations = 0;
    bool topFirst = false;
    qsizetype rowsBeforeAllocation = -1;
    QList<int> reports;
    QList<int> wrongRows;

  private:
    QImage m_expected;
    QImage m_picture;
};

} // namespace

class JpegBoundsTest : public QObject
{
    Q_OBJECT
  private slots:
    void cleanup() { picturememory::setCeilingSource({}); }
    void scanBombsRefused_data();
    void scanBombsRefused();
    void cutShortOrComplete_data();
    void cutShortOrComplete();
    void ceilingCountsWhatTheLoadHolds_data();
    void ceilingCountsWhatTheLoadHolds();
    void tooLargeRefusedFromItsHeader();
    void sidesPastAnyMemoryRefused();
    void cmykConverted_data();
    void cmykConverted();
    void observerSeesRowsAsTheyAreFinal_data();
    void observerSeesRowsAsTheyAreFinal();
    void firstLookIsTheTopLeftCorner_data();
    void firstLookIsTheTopLeftCorner();

  private:
    QTemporaryDir m_dir;
};

void JpegBoundsTest::scanBombsRefused_data()
{
    QTest::addColumn<int>("pixelFormat");
    QTest::addColumn<int>("subsampling");
    QTest::newRow("grey") << int(TJPF_GRAY) << int(TJSAMP_GRAY);
    QTest::newRow("colour") << int(TJPF_BGRX) << int(TJSAMP_420);
    QTest::newRow("CMYK") << int(TJPF_CMYK) << int(TJSAMP_444);
}

void JpegBoundsTest::scanBombsRefused()
{
    QFETCH(int, pixelFormat);
    QFETCH(int, subsampling);
    const QByteArray progressive =
        hostile::turboJpeg(patternImage(96, 64, 2), pixelFormat, subsampling, TJFLAG_PROGRESSIVE);
    // Within the limit the file opens; past it, it is refused whatever its colours.
    const PictureLoad fine = loadPicture(
        writeFile(m_dir, QStringLiteral("fine.jpg"), hostile::manyScans(progressive, 400)));
    QVERIFY2(fine.ok(), qPrintable(fine.error));
    const PictureLoad bomb = loadPicture(
        writeFile(m_dir, QStringLiteral("bomb.jpg"), hostile::manyScans(progressive, 3000)));
    QVERIFY(!bomb.ok());
    QVERIFY2(bomb.error.contains(QStringLiteral("スキャンが 500 を超えています")),
             qPrintable(bomb.error));
}

void JpegBoundsTest::cutShortOrComplete_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("whole");
    QTest::addColumn<bool>("opens");
    const QImage picture = patternImage(120, 90, 7);
    const QByteArray baseline = hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0);
    const QByteArray progressive =
        hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, TJFLAG_PROGRESSIVE);
    const QByteArray cmyk = hostile::turboJpeg(picture, TJPF_CMYK, TJSAMP_444, 0);
    // Every pixel is there when only the end marker is missing.
    QTest::newRow("baseline without its end marker")
        << baseline.left(baseline.size() - 2) << baseline << true;
    QTest::newRow("progressive without its end marker")
        << progressive.left(progressive.size() - 2) << progressive << true;
    QTest::newRow("CMYK without its end marker") << cmyk.left(cmyk.size() - 2) << cmyk << true;
    QTest::newRow("baseline cut before its last row")
        << baseline.left(baseline.size() * 3 / 4) << QByteArray() << false;
    QTest::newRow("CMYK cut before its last row")
        << cmyk.left(cmyk.size() / 2) << QByteArray() << false;
    QTest::newRow("progressive cut in its first scan")
        << cutInScan(progressive, 0) << QByteArray() << false;
    // A later scan only refines pixels that every row already has.
    QTest::newRow("progressive cut in its last scan")
        << cutInScan(progressive, int(hostile::markerOffsets(progressive, 0xDA).size()) - 1)
        << QByteArray() << true;
    QTest::newRow("header of 16384 x 16384 over a few kilobytes")
        << hostile::withFrameSize(progressive, 16384, 16384) << QByteArray() << false;
}

void JpegBoundsTest::cutShortOrComplete()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, whole);
    QFETCH(bool, opens);
    const QString path = writeFile(m_dir, QStringLiteral("cut.jpg"), bytes);
    RecordingObserver observer{QImage()};
    const PictureLoad load = loadPicture(LocalFileName::fromText(path), &observer);
    QCOMPARE(load.ok(), opens);
    if (!opens) {
        QVERIFY2(load.error.contains(QStringLiteral("途中で切れています")), qPrintable(load.error));
        return;
    }
    if (!whole.isEmpty()) {
        QString difference;
        QVERIFY2(sameRgb(load.image,
                         loadPicture(writeFile(m_dir, QStringLiteral("whole.jpg"), whole)).image,
                         &difference),
                 qPrintable(difference));
    }
}

void JpegBoundsTest::ceilingCountsWhatTheLoadHolds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::int64_t>("ceiling");
    QTest::addColumn<bool>("opens");
    const QImage picture = patternImage(2000, 1500, 4);
    const std::int64_t pixels = 2000 * 1500 * 4;
    const QByteArray baseline = hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_444, 0);
    const QByteArray progressive =
        hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_444, TJFLAG_PROGRESSIVE);
    // 4:4:4 progressive: 2 bytes for each of 3 samples a pixel beside the picture.
    const std::int64_t coefficients = 2000 * 1500 * 6;
    QTest::newRow("baseline under the ceiling") << baseline << pixels + 20 * kMiB << true;
    QTest::newRow("baseline over the ceiling") << baseline << pixels - kMiB << false;
    QTest::newRow("progressive with room for its coefficients")
        << progressive << pixels + coefficients + 20 * kMiB << true;
    QTest::newRow("progressive without room for its coefficients")
        << progressive << pixels + coefficients / 2 << false;
    QTest::newRow("BMP under the ceiling")
        << hostile::qtEncoded(picture.convertToFormat(QImage::Format_RGB888), "BMP")
        << pixels + kMiB << true;
    QTest::newRow("BMP over the ceiling")
        << hostile::qtEncoded(picture.convertToFormat(QImage::Format_RGB888), "BMP")
        << pixels - kMiB << false;
    QTest::newRow("PNG over the ceiling")
        << hostile::qtEncoded(picture, "PNG") << pixels - kMiB << false;
}

void JpegBoundsTest::ceilingCountsWhatTheLoadHolds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(std::int64_t, ceiling);
    QFETCH(bool, opens);
    picturememory::setCeilingSource([ceiling] { return ceiling; });
    RecordingObserver observer{QImage()};
    const PictureLoad load = loadPicture(
        LocalFileName::fromText(writeFile(m_dir, QStringLiteral("big"), bytes)), &observer);
    QCOMPARE(load.ok(), opens);
    if (opens) {
        QCOMPARE(load.image.size(), QSize(2000, 1500));
        return;
    }
    // Refused before the picture was allocated, with its size and the memory it needs.
    QCOMPARE(observer.allocations, 0);
    QVERIFY2(load.error.contains(QStringLiteral("大きすぎます: 2000 x 1500 ピクセル")),
             qPrintable(load.error));
    QVERIFY2(
        load.error.contains(QStringLiteral("%1 MiB までです").arg((ceiling + kMiB - 1) / kMiB)),
        qPrintable(load.error));
}

void JpegBoundsTest::tooLargeRefusedFromItsHeader()
{
    // A 74 MB file whose header claims more than the ceiling: only its start is read.
    const QByteArray header = hostile::withFrameSize(
        hostile::turboJpeg(patternImage(64, 48), TJPF_BGRX, TJSAMP_420, 0), 60000, 60000);
    QByteArray bytes = header.left(header.size() - 2);
    bytes += QByteArray(74 * 1000 * 1000 - bytes.size(), '\x55');
    const QString path = writeFile(m_dir, QStringLiteral("huge.jpg"), bytes);
    picturememory::setCeilingSource([] { return std::int64_t(8) << 30; });
    const qint64 before = bytesReadSoFar();
    QVERIFY(before >= 0);
    const PictureLoad load = loadPicture(path);
    const qint64 read = bytesReadSoFar() - before;
    QVERIFY(!load.ok());
    QVERIFY2(load.error.contains(QStringLiteral("大きすぎます: 60000 x 60000")),
             qPrintable(load.error));
    QVERIFY2(read < 10 * kMiB, qPrintable(QString::number(read)));
}

void JpegBoundsTest::sidesPastAnyMemoryRefused()
{
    // Sides whose four bytes a pixel do not fit in 64 bits: refused, not wrapped around.
    constexpr qint32 kSide = 0x7fffffff;
    const QByteArray bytes = hostile::bmp(kSide, kSide, 24, 0, QByteArray(), QByteArray(64, '\0'));
    picturememory::setCeilingSource([] { return std::int64_t(8) << 30; });
    const PictureLoad load =
        loadPicture(LocalFileName::fromText(writeFile(m_dir, QStringLiteral("vast.bmp"), bytes)));
    QVERIFY(!load.ok());
    QVERIFY2(load.error.contains(QStringLiteral("大きすぎます: 2147483647 x 2147483647")),
             qPrintable(load.error));
}

void JpegBoundsTest::cmykConverted_data()
{
    QTest::addColumn<bool>("adobe");
    QTest::addColumn<int>("flags");
    QTest::newRow("Adobe marker: inverted inks") << true << 0;
    QTest::newRow("no Adobe marker: plain inks") << false << 0;
    QTest::newRow("progressive, Adobe marker") << true << int(TJFLAG_PROGRESSIVE);
}

void JpegBoundsTest::cmykConverted()
{
    QFETCH(bool, adobe);
    QFETCH(int, flags);
    QByteArray jpeg = hostile::turboJpeg(patternImage(70, 45, 3), TJPF_CMYK, TJSAMP_444, flags);
    if (!adobe)
        jpeg = withoutAdobeMarker(jpeg);
    QCOMPARE(hostile::markerOffsets(jpeg, 0xEE).isEmpty(), !adobe);
    const PictureLoad load = loadPicture(writeFile(m_dir, QStringLiteral("cmyk.jpg"), jpeg));
    QVERIFY2(load.ok(), qPrintable(load.error));
    QString difference;
    QVERIFY2(sameRgb(load.image, cmykExpected(jpeg, adobe), &difference), qPrintable(difference));
}

void JpegBoundsTest::observerSeesRowsAsTheyAreFinal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("topFirst");
    const QImage picture = patternImage(300, 200, 5);
    QTest::newRow("baseline JPEG") << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0) << true;
    QTest::newRow("progressive JPEG")
        << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_444, TJFLAG_PROGRESSIVE) << true;
    QTest::newRow("bottom-up BMP")
        << hostile::qtEncoded(picture.convertToFormat(QImage::Format_RGB888), "BMP") << false;
    QTest::newRow("PNG") << hostile::qtEncoded(picture, "PNG") << false;
}

void JpegBoundsTest::observerSeesRowsAsTheyAreFinal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, topFirst);
    const QString path = writeFile(m_dir, QStringLiteral("watched"), bytes);
    const QImage expected = loadPicture(path).image;
    QVERIFY(!expected.isNull());
    RecordingObserver observer(expected);
    const PictureLoad load = loadPicture(LocalFileName::fromText(path), &observer);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QCOMPARE(observer.allocations, 1);
    QCOMPARE(observer.rowsBeforeAllocation, 0);
    QCOMPARE(observer.topFirst, topFirst);
    QVERIFY(!observer.reports.isEmpty());
    QCOMPARE(observer.reports.last(), expected.height());
    QVERIFY(std::is_sorted(observer.reports.begin(), observer.reports.end()));
    // Rows come in batches while the picture decodes, not all at the end.
    QCOMPARE(observer.reports.size() > 1, topFirst);
    QCOMPARE(observer.wrongRows, QList<int>());
}

void JpegBoundsTest::firstLookIsTheTopLeftCorner_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<bool>("given"); // a sequential picture larger than the look
    const QImage picture = patternImage(640, 480, 6);
    QTest::newRow("baseline, a corner")
        << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0) << QSize(100, 50) << true;
    QTest::newRow("baseline 4:4:4, all but the last rows")
        << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_444, 0) << QSize(640, 470) << true;
    QTest::newRow("progressive: its scans come whole")
        << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, TJFLAG_PROGRESSIVE) << QSize(100, 50)
        << false;
    QTest::newRow("smaller than the look")
        << hostile::turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0) << QSize(800, 600) << false;
}

void JpegBoundsTest::firstLookIsTheTopLeftCorner()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, asked);
    QFETCH(bool, given);
    const QString path = writeFile(m_dir, QStringLiteral("looked"), bytes);
    const QImage expected = loadPicture(path).image;
    RecordingObserver observer(expected);
    observer.lookSize = asked;
    const PictureLoad load = loadPicture(LocalFileName::fromText(path), &observer);
    QVERIFY2(load.ok(), qPrintable(load.error));
    // The picture itself is as without a look.
    QVERIFY(sameRgb(load.image, expected));
    QCOMPARE(observer.looks.size(), given ? 1 : 0);
    if (!given)
        return;
    const QImage corner = observer.looks.first();
    QVERIFY(observer.lookBeforeAllocation);
    QCOMPARE(observer.sizeAhead, expected.size());
    QCOMPARE(corner.height(), asked.height());
    QVERIFY(corner.width() >= asked.width() && corner.width() <= expected.width());
    QString difference;
    QVERIFY2(sameRgb(corner, expected.copy(corner.rect()), &difference), qPrintable(difference));
}

QTEST_GUILESS_MAIN(JpegBoundsTest)
#include "tst_jpegbounds.moc"
