// The JPEG library on its own: what it writes, how it reads the caller's rows,
// that a failed write leaves the folder as it was and says why, and that it
// writes where a symbolic link points.

#include "huffmanrecode.h"
#include "huffmantables.h"
#include "jpeg/jpeglibrary.h"
#include "jpegcheck.h"
#include "testpictures.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSaveJpg : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    DCSavetoJPEGFunction m_save = nullptr;
    DCSaveLastErrorFunction m_lastError = nullptr;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    std::int16_t save(const QImage& image, const QString& target, std::uint32_t quality,
                      std::int32_t progressive)
    {
        const SnipDC dc = *jpeg::deviceContextOf(image);
        return m_save(&dc, image.width(), image.height(), target.toUtf8().constData(), quality,
                      progressive);
    }

    static QByteArray writeBytes(const QString& target, const QByteArray& bytes)
    {
        QFile file(target);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return bytes;
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const jpeg::JpegLibraryEntry entry = jpeg::loadJpegLibrary(jpegLibraryForTests());
        QVERIFY2(entry.function, qPrintable(entry.error));
        QVERIFY(entry.lastError);
        m_save = entry.function;
        m_lastError = entry.lastError;
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("progressive");
        QTest::addColumn<int>("marker");
        QTest::addColumn<double>("maxError");
        QTest::newRow("baseline 95") << 95 << 0 << 0xFFC0 << 2.0;
        QTest::newRow("progressive 95") << 95 << -1 << 0xFFC2 << 2.0;
        QTest::newRow("baseline 50") << 50 << 0 << 0xFFC0 << 6.0;
        QTest::newRow("progressive 75") << 75 << -1 << 0xFFC2 << 4.0;
    }

    void roundTrip()
    {
        QFETCH(int, quality);
        QFETCH(int, progressive);
        QFETCH(int, marker);
        QFETCH(double, maxError);
        const QImage piece = smoothImage(203, 117);
        const QString target = path(QStringLiteral("round.jpg"));
        QCOMPARE(save(piece, target, static_cast<std::uint32_t>(quality), progressive), -1);
        const QByteArray jpeg = fileBytes(target);
        QCOMPARE(frameMarker(jpeg), marker);
        const DecodedJpeg decoded = decodeJpeg(jpeg);
        QCOMPARE(decoded.image.size(), piece.size());
        const double error = meanAbsError(decoded.image, piece);
        QVERIFY2(error >= 0 && error < maxError, qPrintable(QString::number(error)));
    }

    void subsampling_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("subsampling");
        QTest::newRow("89") << 89 << int(TJSAMP_420);
        QTest::newRow("90") << 90 << int(TJSAMP_444);
        QTest::newRow("100") << 100 << int(TJSAMP_444);
        QTest::newRow("0") << 0 << int(TJSAMP_420);
    }

    void subsampling()
    {
        QFETCH(int, quality);
        QFETCH(int, subsampling);
        const QString target = path(QStringLiteral("sub.jpg"));
        QCOMPARE(save(patternImage(64, 48), target, static_cast<std::uint32_t>(quality), 0), -1);
        QCOMPARE(decodeJpeg(fileBytes(target)).subsampling, subsampling);
    }

    // Only the low 8 bits count, and anything above 100 is 100.
    void qualityBits_data()
    {
        QTest::addColumn<uint>("given");
        QTest::addColumn<uint>("meant");
        QTest::newRow("255 is 100") << 255u << 100u;
        QTest::newRow("101 is 100") << 101u << 100u;
        QTest::newRow("256+50 is 50") << 306u << 50u;
        QTest::newRow("high bits set") << 0xABCD0046u << 70u;
    }

    void qualityBits()
    {
        QFETCH(uint, given);
        QFETCH(uint, meant);
        const QImage piece = patternImage(40, 30, 3);
        QCOMPARE(save(piece, path(QStringLiteral("given.jpg")), given, 0), -1);
        QCOMPARE(save(piece, path(QStringLiteral("meant.jpg")), meant, 0), -1);
        QCOMPARE(fileBytes(path(QStringLiteral("given.jpg"))),
                 fileBytes(path(QStringLiteral("meant.jpg"))));
    }

    void higherQualityIsLarger()
    {
        const QImage piece = patternImage(160, 120, 9);
        qint64 previous = 0;
        for (const std::uint32_t quality : {20u, 60u, 95u}) {
            const QString target = path(QStringLiteral("q%1.jpg").arg(quality));
            QCOMPARE(save(piece, target, quality, 0), -1);
            const qint64 size = QFileInfo(target).size();
            QVERIFY2(size > previous, qPrintable(QStringLiteral("quality %1").arg(quality)));
            previous = size;
        }
    }

    // A view into a larger picture, rows further apart than its width, is read
    // row by row: it gives the same file as a packed copy of the same pixels.
    void strideIsRespected_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("RGB32") << int(QImage::Format_RGB32);
        QTest::newRow("RGB888") << int(QImage::Format_RGB888);
        QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("RGBX8888") << int(QImage::Format_RGBX8888);
    }

    void strideIsRespected()
    {
        QFETCH(int, format);
        const QImage big =
            patternImage(301, 211, 5).convertToFormat(static_cast<QImage::Format>(format));
        const QRect part(17, 23, 123, 77);
        const int depth = big.depth() / 8;
        const QImage view(big.constBits() + part.y() * big.bytesPerLine() + part.x() * depth,
                          part.width(), part.height(), big.bytesPerLine(), big.format());
        QVERIFY(view.bytesPerLine() > view.width() * depth);
        QCOMPARE(save(view, path(QStringLiteral("view.jpg")), 92, 0), -1);
        const QImage packed = big.copy(part).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(save(packed, path(QStringLiteral("packed.jpg")), 92, 0), -1);
        const QByteArray jpeg = fileBytes(path(QStringLiteral("view.jpg")));
        QCOMPARE(jpeg, fileBytes(path(QStringLiteral("packed.jpg"))));
        QCOMPARE(decodeJpeg(jpeg).image.size(), part.size());
    }

    void invalidArgumentsWriteNothing_data()
    {
        QTest::addColumn<QString>("fault");
        for (const char* fault :
             {"no dc", "no bits", "zero width", "negative height", "short stride", "unknown format",
              "no path", "empty path", "too wide", "negative stride"})
            QTest::newRow(fault) << QString::fromLatin1(fault);
    }

    void invalidArgumentsWriteNothing()
    {
        QFETCH(QString, fault);
        const QImage piece = patternImage(20, 10);
        SnipDC dc = *jpeg::deviceContextOf(piece);
        const SnipDC* dcArgument = &dc;
        std::int32_t width = piece.width();
        std::int32_t height = piece.height();
        const QString target = path(QStringLiteral("invalid.jpg"));
        QByteArray name = target.toUtf8();
        const char* pathArgument = name.constData();
        if (fault == QLatin1String("no dc"))
            dcArgument = nullptr;
        else if (fault == QLatin1String("no bits"))
            dc.bits = nullptr;
        else if (fault == QLatin1String("zero width"))
            width = 0;
        else if (fault == QLatin1String("negative height"))
            height = -4;
        else if (fault == QLatin1String("short stride"))
            dc.stride = width * 4 - 1;
        else if (fault == QLatin1String("unknown format"))
            dc.format = 99;
        else if (fault == QLatin1String("no path"))
            pathArgument = nullptr;
        else if (fault == QLatin1String("empty path"))
            pathArgument = "";
        else if (fault == QLatin1String("too wide"))
            width = 70000;
        else if (fault == QLatin1String("negative stride"))
            dc.stride = -dc.stride;
        QCOMPARE(m_save(dcArgument, width, height, pathArgument, 80, 0), 0);
        QVERIFY(!QFileInfo::exists(target));
    }

    void replacingLeavesOneFileWithItsMode()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("a.jpg"));
        writeBytes(target, "the old picture");
        ::chmod(QFile::encodeName(target).constData(), 0640);
        const QImage piece = patternImage(30, 20);
        QCOMPARE(save(piece, target, 80, 0), -1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.jpg")});
        QCOMPARE(decodeJpeg(fileBytes(target)).image.size(), piece.size());
        QCOMPARE(QFileInfo(target).permissions() & 0x7777,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser | QFileDevice::ReadGroup);
    }

    // Each failure says why; the folder keeps exactly what it had and an
    // existing target every byte.
    void failedWriteKeepsTarget_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("cause");
        QTest::newRow("missing folder")
            << QStringLiteral("missing folder") << int(SNIP_SAVE_FOLDER_MISSING);
        QTest::newRow("parent is a file")
            << QStringLiteral("parent is a file") << int(SNIP_SAVE_FOLDER_MISSING);
        QTest::newRow("target is a folder")
            << QStringLiteral("target is a folder") << int(SNIP_SAVE_TARGET_IS_FOLDER);
        QTest::newRow("name too long")
            << QStringLiteral("long name") << int(SNIP_SAVE_NAME_TOO_LONG);
        QTest::newRow("read-only file")
            << QStringLiteral("read-only") << int(SNIP_SAVE_READ_ONLY_TARGET);
        QTest::newRow("links in a loop") << QStringLiteral("loop") << int(SNIP_SAVE_LINK_LOOP);
        QTest::newRow("no room left") << QStringLiteral("full") << int(SNIP_SAVE_DISK_FULL);
        QTest::newRow("bad arguments")
            << QStringLiteral("arguments") << int(SNIP_SAVE_INVALID_ARGUMENTS);
        QTest::newRow("read-only folder")
            << QStringLiteral("read-only folder") << int(SNIP_SAVE_PERMISSION);
    }

    void failedWriteKeepsTarget()
    {
        QFETCH(QString, kind);
        QFETCH(int, cause);
        QTemporaryDir dir;
        QString target = dir.filePath(QStringLiteral("a.jpg"));
        QByteArray before;
        if (kind == QLatin1String("missing folder")) {
            target = dir.filePath(QStringLiteral("nowhere/a.jpg"));
        } else if (kind == QLatin1String("parent is a file")) {
            writeBytes(dir.filePath(QStringLiteral("plain")), "text");
            target = dir.filePath(QStringLiteral("plain/a.jpg"));
        } else if (kind == QLatin1String("target is a folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("a.jpg")));
        } else if (kind == QLatin1String("long name")) {
            target = dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".jpg"));
            before = writeBytes(target, "the old picture");
        } else if (kind == QLatin1String("read-only")) {
            // Read-only for everyone, root included: chmod a-w.
            before = writeBytes(target, "the old picture");
            ::chmod(QFile::encodeName(target).constData(), 0444);
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("b.jpg")), target));
            QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("b.jpg"))));
        } else if (kind == QLatin1String("read-only folder")) {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders; the read-only file covers root");
            before = writeBytes(target, "the old picture");
            ::chmod(QFile::encodeName(dir.path()).constData(), 0500);
        }
        const QStringList entriesBefore =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        std::int16_t result = 0;
        if (kind == QLatin1String("full")) {
            // A file size limit stands in for a full disk: writes past it fail with EFBIG.
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            const auto handler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 1000;
            setrlimit(RLIMIT_FSIZE, &small);
            result = save(patternImage(300, 200), target, 95, 0);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, handler);
        } else if (kind == QLatin1String("arguments")) {
            result = save(patternImage(30, 20), QString(), 80, 0);
        } else {
            result = save(patternImage(30, 20), target, 80, -1);
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QCOMPARE(result, 0);
        QCOMPARE(m_lastError(), cause);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 entriesBefore);
        if (!before.isEmpty())
            QCOMPARE(fileBytes(target), before);
        // A save that works afterwards clears the cause.
        QCOMPARE(save(patternImage(8, 8), path(QStringLiteral("fine.jpg")), 80, 0), -1);
        QCOMPARE(m_lastError(), int(SNIP_SAVE_OK));
    }

    // A link stays a link; the file it names gets the picture.
    void savesThroughSymbolicLinks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("absolute link") << QStringLiteral("absolute");
        QTest::newRow("relative link into a folder") << QStringLiteral("relative");
        QTest::newRow("link to a link") << QStringLiteral("chain");
        QTest::newRow("link to a file not there yet") << QStringLiteral("dangling");
    }

    void savesThroughSymbolicLinks()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("real"));
        const QString real = dir.filePath(QStringLiteral("real/photo.jpg"));
        if (kind != QLatin1String("dangling"))
            writeBytes(real, "the old picture");
        const QString link = dir.filePath(QStringLiteral("link.jpg"));
        if (kind == QLatin1String("relative")) {
            QCOMPARE(::symlink("real/photo.jpg", QFile::encodeName(link).constData()), 0);
        } else if (kind == QLatin1String("chain")) {
            QVERIFY(QFile::link(real, dir.filePath(QStringLiteral("middle.jpg"))));
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("middle.jpg")), link));
        } else {
            QVERIFY(QFile::link(real, link));
        }
        const QImage piece = smoothImage(64, 40);
        QCOMPARE(save(piece, link, 90, 0), -1);
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(meanAbsError(decodeJpeg(fileBytes(real)).image, piece) < 3);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("real"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("photo.jpg")});
    }

    // Huffman tables made for the data: the same pixels as TurboJPEG's baseline
    // file at the same quality, in no more bytes than jpegtran -optimize gives it.
    // Progressive files stay byte for byte what TurboJPEG writes.
    void huffmanTablesFitTheData_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("progressive");
        QTest::addColumn<QSize>("pieceSize");
        QTest::newRow("baseline 50") << 50 << 0 << QSize(320, 240);
        QTest::newRow("baseline 1, odd size") << 1 << 0 << QSize(333, 77);
        QTest::newRow("baseline 89, one pixel") << 89 << 0 << QSize(1, 1);
        QTest::newRow("baseline 89, odd size") << 89 << 0 << QSize(1001, 17);
        QTest::newRow("baseline 92, full chroma") << 92 << 0 << QSize(320, 240);
        QTest::newRow("progressive 75") << 75 << -1 << QSize(320, 240);
    }

    void huffmanTablesFitTheData()
    {
        QFETCH(int, quality);
        QFETCH(int, progressive);
        QFETCH(QSize, pieceSize);
        const QImage piece = patternImage(pieceSize.width(), pieceSize.height(), 4);
        const QString target = path(QStringLiteral("fitted.jpg"));
        QCOMPARE(save(piece, target, static_cast<std::uint32_t>(quality), progressive), -1);
        const QByteArray ours = fileBytes(target);
        tjhandle handle = tjInitCompress();
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, piece.constBits(), piece.width(), int(piece.bytesPerLine()),
                    piece.height(), TJPF_BGRX, &buffer, &size,
                    quality >= 90 ? TJSAMP_444 : TJSAMP_420, quality,
                    progressive ? TJFLAG_PROGRESSIVE : 0);
        const QByteArray turbo(reinterpret_cast<const char*>(buffer), qsizetype(size));
        tjFree(buffer);
        tjDestroy(handle);
        if (progressive) {
            QCOMPARE(ours, turbo);
            return;
        }
        QVERIFY(sameRgb(decodeJpeg(ours).image, decodeJpeg(turbo).image));
        QProcess jpegtran;
        jpegtran.start(QStringLiteral("jpegtran"), {QStringLiteral("-optimize")});
        QVERIFY2(jpegtran.waitForStarted(), "jpegtran (libjpeg-turbo-progs) is needed");
        jpegtran.write(turbo);
        jpegtran.closeWriteChannel();
        QVERIFY(jpegtran.waitForFinished());
        const QByteArray optimised = jpegtran.readAllStandardOutput();
        QVERIFY(!optimised.isEmpty());
        QVERIFY2(ours.size() <= optimised.size() && ours.size() < turbo.size(),
                 qPrintable(QStringLiteral("%1 bytes; jpegtran -optimize %2, unoptimised %3")
                                .arg(ours.size())
                                .arg(optimised.size())
                                .arg(turbo.size())));
    }

    // Where no address space can be reserved to count the symbols while the
    // encoder writes them, the library counts them afterwards: the same file.
    void fittedTablesWithoutRoomToReserve()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer's shadow memory does not live under an address-space limit");
#else
        const QImage piece = patternImage(3000, 2000, 4);
        const QString overlapped = path(QStringLiteral("overlapped.jpg"));
        const QString afterwards = path(QStringLiteral("afterwards.jpg"));
        QCOMPARE(save(piece, overlapped, 50, 0), -1);
        qint64 mapped = 0; // the address space the process has now, in bytes
        QFile status(QStringLiteral("/proc/self/status"));
        QVERIFY(status.open(QIODevice::ReadOnly));
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmSize:"))
                mapped = line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
        QVERIFY(mapped > 0);
        rlimit saved{};
        getrlimit(RLIMIT_AS, &saved);
        rlimit tight = saved;
        // Room for the encoder's work, not for six bytes a pixel (36 MB here).
        tight.rlim_cur = static_cast<rlim_t>(mapped + 16 * 1024 * 1024);
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        const std::int16_t result = save(piece, afterwards, 50, 0);
        setrlimit(RLIMIT_AS, &saved);
        QCOMPARE(result, -1);
        QCOMPARE(fileBytes(afterwards), fileBytes(overlapped));
#endif
    }

    // Files the symbol recoder must leave to libjpeg: nothing written, no crash.
    void recoderRefusesWhatItCannotRecode()
    {
        const QImage piece = patternImage(64, 48, 4);
        const auto turbo = [&piece](int flags) {
            tjhandle handle = tjInitCompress();
            unsigned char* buffer = nullptr;
            unsigned long size = 0;
            tjCompress2(handle, piece.constBits(), piece.width(), int(piece.bytesPerLine()),
                        piece.height(), TJPF_BGRX, &buffer, &size, TJSAMP_420, 50, flags);
            const QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
            tjFree(buffer);
            tjDestroy(handle);
            return bytes;
        };
        const QByteArray baseline = turbo(0);
        QByteArray corrupt = baseline;
        corrupt[corrupt.size() - 20] = '\xFF'; // a marker amid the entropy-coded data
        corrupt[corrupt.size() - 19] = '\xD0';
        const QList<QByteArray> refused = {
            turbo(TJFLAG_PROGRESSIVE),          baseline.left(baseline.size() / 2),
            baseline.left(baseline.size() - 2), corrupt,
            QByteArray("\xFF\xD8\xFF\xD9", 4),  QByteArray()};
        for (const QByteArray& bytes : refused) {
            unsigned char* out = reinterpret_cast<unsigned char*>(1);
            size_t outSize = 1;
            QCOMPARE(
                recodeWithOptimalTables(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        size_t(bytes.size()), &out, &outSize),
                0);
            QVERIFY(out == nullptr && outSize == 0);
        }
        unsigned char* out = nullptr;
        size_t outSize = 0;
        QCOMPARE(
            recodeWithOptimalTables(reinterpret_cast<const unsigned char*>(baseline.constData()),
                                    size_t(baseline.size()), &out, &outSize),
            1);
        const QByteArray recoded(reinterpret_cast<const char*>(out), qsizetype(outSize));
        std::free(out);
        QVERIFY(recoded.size() < baseline.size());
        QVERIFY(sameRgb(decodeJpeg(recoded).image, decodeJpeg(baseline).image));
    }

    // A piece with more symbols than the recoder keeps (64 MiB of them): they
    // are decoded again from the file as they are written, to the same pixels
    // in no more bytes than jpegtran -optimize gives.
    void recoderDecodesAgainPastWhatItKeeps()
    {
        QImage noise(2700, 2700, QImage::Format_RGB32);
        std::uint32_t state = 12345;
        for (int y = 0; y < noise.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(noise.scanLine(y));
            for (int x = 0; x < noise.width(); ++x) {
                state = state * 1664525u + 1013904223u;
                row[x] = 0xFF000000u | (state >> 8);
            }
        }
        tjhandle handle = tjInitCompress();
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, noise.constBits(), noise.width(), int(noise.bytesPerLine()),
                    noise.height(), TJPF_BGRX, &buffer, &size, TJSAMP_444, 89, 0);
        const QByteArray baseline(reinterpret_cast<const char*>(buffer), qsizetype(size));
        tjFree(buffer);
        tjDestroy(handle);
        unsigned char* out = nullptr;
        size_t outSize = 0;
        QCOMPARE(
            recodeWithOptimalTables(reinterpret_cast<const unsigned char*>(baseline.constData()),
                                    size_t(baseline.size()), &out, &outSize),
            1);
        const QByteArray recoded(reinterpret_cast<const char*>(out), qsizetype(outSize));
        std::free(out);
        QVERIFY(sameRgb(decodeJpeg(recoded).image, decodeJpeg(baseline).image));
        QProcess jpegtran;
        jpegtran.start(QStringLiteral("jpegtran"), {QStringLiteral("-optimize")});
        QVERIFY2(jpegtran.waitForStarted(), "jpegtran (libjpeg-turbo-progs) is needed");
        jpegtran.write(baseline);
        jpegtran.closeWriteChannel();
        QVERIFY(jpegtran.waitForFinished(120000));
        const QByteArray optimised = jpegtran.readAllStandardOutput();
        QVERIFY(!optimised.isEmpty());
        QVERIFY(recoded.size() <= optimised.size());
    }

    // Counts that make codes longer than 16 bits (in Fibonacci proportion) give
    // a table limited to 16 bits that is still a whole prefix code: every
    // symbol has a code, a more frequent one never a longer code, all codes
    // but the reserved all-ones one are used, and each reads back as its symbol.
    void huffmanTablesLimitedToSixteenBits()
    {
        std::int64_t counted[kHuffmanSymbols + 1] = {};
        std::int64_t a = 1;
        std::int64_t b = 2;
        constexpr int kSymbols = 28; // unlimited, the rarest codes would be 27 bits
        for (int symbol = 0; symbol < kSymbols; ++symbol) {
            counted[3 * symbol] = a; // spread over the table's values
            const std::int64_t next = a + b;
            a = b;
            b = next;
        }
        HuffmanTable table{};
        QVERIFY(huffmanOptimalTable(counted, &table));
        HuffmanCodes codes{};
        QVERIFY(huffmanCodesOf(&table, &codes));
        int total = 0;
        double kraft = 0;
        for (int n = 1; n <= 16; ++n) {
            total += table.counts[n];
            kraft += table.counts[n] * std::ldexp(1.0, -n);
        }
        QCOMPARE(total, kSymbols);
        int longest = 16;
        while (table.counts[longest] == 0)
            --longest;
        // The reserved code is one of the longest: with it the code space is full.
        QCOMPARE(kraft + std::ldexp(1.0, -longest), 1.0);
        for (int symbol = 0; symbol + 1 < kSymbols; ++symbol)
            QVERIFY(codes.size[3 * symbol] >= codes.size[3 * (symbol + 1)]);
        QVERIFY(huffmanPrepareForReading(&table));
        for (int symbol = 0; symbol < kSymbols; ++symbol) {
            const int value = 3 * symbol;
            const int n = codes.size[value];
            QVERIFY(n >= 1 && n <= 16);
            const std::int32_t code = codes.code[value];
            QVERIFY(code <= table.largest[n]);
            QCOMPARE(int(table.values[table.offset[n] + code]), value);
        }
    }

    void unicodePath()
    {
        const QString target = path(QStringLiteral("切り抜き 画像.jpg"));
        QCOMPARE(save(patternImage(16, 16), target, 80, 0), -1);
        QCOMPARE(decodeJpeg(fileBytes(target)).image.size(), QSize(16, 16));
    }
};

QTEST_GUILESS_MAIN(TestSaveJpg)
#include "tst_savejpg.moc"
