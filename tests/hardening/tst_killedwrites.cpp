// A process killed with SIGKILL at random moments while it writes the settings
// file and exports JPEGs must leave each file either as it was or complete:
// the six settings values of one write or the other, and a JPEG that decodes
// whole without a warning.

#include "hostilecorpus.h"
#include "jpeg/jpeglibrary.h"
#include "jpegcheck.h"
#include "killedwrites.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr int kKills = 80;

// Which of the two contents the settings file holds; -1 for neither.
int settingsWhich(const QString& path)
{
    const std::optional<SettingsRecords> records = settingsfile::read(path);
    if (!records)
        return -1;
    const Settings loaded = settingsfile::interpret(*records);
    for (int which = 0; which < 2; ++which) {
        const Settings expected = killedwrites::settings(which);
        // A value the file cannot quote is written empty, by design.
        const QString picpath =
            expected.picpath.contains(QLatin1Char('"')) ? QString() : expected.picpath;
        if (loaded.quality == expected.quality && loaded.progressive == expected.progressive &&
            loaded.picpath == picpath && loaded.savefolder == expected.savefolder &&
            loaded.winleft == expected.winleft && loaded.wintop == expected.wintop)
            return which;
    }
    return -1;
}

// Which of the two pictures the JPEG holds, decoded whole with no warning; -1 for neither.
int jpegWhich(const QString& path)
{
    const QByteArray jpeg = fileBytes(path);
    tjhandle handle = tjInitDecompress();
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    QImage image;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) == 0) {
        image = QImage(width, height, QImage::Format_RGB888);
        if (tjDecompress2(handle, data, size, image.bits(), width,
                          static_cast<int>(image.bytesPerLine()), height, TJPF_RGB,
                          TJFLAG_STOPONWARNING) != 0)
            image = QImage();
    }
    tjDestroy(handle);
    for (int which = 0; which < 2; ++which) {
        const double error = meanAbsError(image, killedwrites::picture(which));
        if (error >= 0 && error < 8)
            return which;
    }
    return -1;
}

} // namespace

class KilledWritesTest : public QObject
{
    Q_OBJECT
  private slots:
    void filesAreOldOrCompleteNew();
};

void KilledWritesTest::filesAreOldOrCompleteNew()
{
    QTemporaryDir dir;
    const QString settingsPath = dir.filePath(QStringLiteral("setting.ini"));
    const QString jpegPath = dir.filePath(QStringLiteral("piece.jpg"));
    QVERIFY(settingsfile::write(settingsPath, killedwrites::settings(0)));
    QVERIFY(jpeg::writeJpeg(killedwrites::picture(0), jpegPath, 80, false, jpegLibraryForTests())
                .written);

    hostile::Prng prng(2024);
    int seen[2][2] = {{0, 0}, {0, 0}};
    QSet<QString> leftovers;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess child;
        child.start(QStringLiteral(WRITERCHILD_PATH),
                    {dir.path(), jpegLibraryForTests(), QString::number(prng.below(2))});
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        // Up to two whole cycles first, so that both contents get written
        // however slow the machine's disk is today, then anywhere in the next.
        const int cycles = prng.below(3);
        int done = -1; // the "writing" line comes before the first cycle
        while (done < cycles && child.waitForReadyRead(10000)) {
            while (child.canReadLine()) {
                child.readLine();
                done += 1;
            }
        }
        QVERIFY(done >= cycles);
        QThread::usleep(static_cast<unsigned long>(prng.below(60000)));
        QCOMPARE(child.state(), QProcess::Running);
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const int settings = settingsWhich(settingsPath);
        QVERIFY2(settings >= 0, qPrintable(QStringLiteral("kill %1: settings file %2")
                                               .arg(kill)
                                               .arg(QString::fromUtf8(fileBytes(settingsPath)))));
        const int jpeg = jpegWhich(jpegPath);
        QVERIFY2(jpeg >= 0, qPrintable(QStringLiteral("kill %1: JPEG of %2 bytes")
                                           .arg(kill)
                                           .arg(fileBytes(jpegPath).size())));
        ++seen[0][settings];
        ++seen[1][jpeg];
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            if (name != QStringLiteral("setting.ini") && name != QStringLiteral("piece.jpg"))
                leftovers.insert(name);
        }
    }
    // The JPEG is written into an unnamed file, which a kill takes with it; it
    // has a name only for the instant between linking and renaming it, when it
    // is already complete. So nothing partial is ever left in the folder.
    for (const QString& name : std::as_const(leftovers)) {
        QVERIFY2(name.startsWith(QStringLiteral("piece.jpg.tmp")) ||
                     name.startsWith(QStringLiteral("setting.ini.")),
                 qPrintable(name));
        if (name.startsWith(QStringLiteral("piece.jpg.tmp")))
            QVERIFY2(jpegWhich(dir.filePath(name)) >= 0, qPrintable(name + " is partial"));
    }
    QStringList names = leftovers.values();
    names.sort();
    qInfo("%d kills: settings file %d x first, %d x second; JPEG %d x first, %d x second; "
          "%lld temporary files left behind (%s)",
          kKills, seen[0][0], seen[0][1], seen[1][0], seen[1][1],
          static_cast<long long>(leftovers.size()), qPrintable(names.mid(0, 3).join(", ")));
    // Both contents were seen, so the kills really did land among the writes.
    QVERIFY(seen[0][0] > 0 && seen[0][1] > 0);
    QVERIFY(seen[1][0] > 0 && seen[1][1] > 0);
}

QTEST_GUILESS_MAIN(KilledWritesTest)
#include "tst_killedwrites.moc"
