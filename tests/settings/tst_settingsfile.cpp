// The settings file: its exact bytes, the reading of hand-made files with any
// line ends, a FIFO in its place, and writes that fail. The main window's side
// is tested in forms/tst_savesetting.

#include "settings/settingsfile.h"
#include "testpictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class SettingsFileTest : public QObject
{
    Q_OBJECT
  private slots:
    void writesExactBytes_data();
    void writesExactBytes();
    void readsHandMadeFiles_data();
    void readsHandMadeFiles();
    void stopsAtAnEndlessLine();
    void missingFileGivesDefaults();
    void fullDiskKeepsTheOldFile();
    void fifoInItsPlaceIsNotRead();
};

namespace {

const QByteArray kOldFile = "\"70\"\r\n1\r\n\"/old/picture.bmp\"\r\n\"/old\"\r\n300\r\n450\r\n";

} // namespace

void SettingsFileTest::writesExactBytes_data()
{
    QTest::addColumn<QString>("quality");
    QTest::addColumn<int>("progressive");
    QTest::addColumn<QString>("picpath");
    QTest::addColumn<QString>("savefolder");
    QTest::addColumn<QString>("position"); // "left,top" or "none"
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("start values") << "50" << 0 << ""
                                  << ""
                                  << "1500,1200"
                                  << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1500\r\n1200\r\n");
    QTest::newRow("paths and checked box")
        << "75" << 1 << "/home/u/a b,c.jpg"
        << "/home/u/out"
        << "0,15"
        << QByteArray("\"75\"\r\n1\r\n\"/home/u/a b,c.jpg\"\r\n\"/home/u/out\"\r\n0\r\n15\r\n");
    QTest::newRow("greyed, negative position")
        << "abc" << 2 << ""
        << ""
        << "-120,1234" << QByteArray("\"abc\"\r\n2\r\n\"\"\r\n\"\"\r\n-120\r\n1234\r\n");
    QTest::newRow("no stored position")
        << "50" << 0 << ""
        << ""
        << "none" << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n");
    QTest::newRow("Japanese path as UTF-8")
        << "50" << 0 << QStringLiteral("/写真/猫.jpg") << ""
        << "1500,1200"
        << QByteArray("\"50\"\r\n0\r\n\"/\xe5\x86\x99\xe7\x9c\x9f/\xe7\x8c\xab.jpg\"\r\n\"\"\r\n"
                      "1500\r\n1200\r\n");
    QTest::newRow("quote and line break written empty")
        << "5\"0" << 0 << "/a\"b.jpg"
        << "/x\ny"
        << "1,2" << QByteArray("\"\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n");
    QTest::newRow("carriage return written empty")
        << "50" << 0 << "/a\rb"
        << ""
        << "1,2" << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n");
}

void SettingsFileTest::writesExactBytes()
{
    QFETCH(QString, quality);
    QFETCH(int, progressive);
    QFETCH(QString, picpath);
    QFETCH(QString, savefolder);
    QFETCH(QString, position);
    QFETCH(QByteArray, bytes);

    Settings values;
    values.quality = quality;
    values.progressive = static_cast<std::int16_t>(progressive);
    values.picpath = picpath;
    values.savefolder = savefolder;
    if (position != QLatin1String("none")) {
        values.winleft = position.section(QLatin1Char(','), 0, 0).toInt();
        values.wintop = position.section(QLatin1Char(','), 1, 1).toInt();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    QVERIFY(settingsfile::write(path, values));
    QCOMPARE(fileContents(path), bytes);
    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setting.ini")});
}

void SettingsFileTest::readsHandMadeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("quality");
    QTest::addColumn<int>("slider"); // -1: the slider cannot take it
    QTest::addColumn<int>("progressive");
    QTest::addColumn<QString>("picpath");
    QTest::addColumn<QString>("savefolder");
    QTest::addColumn<QString>("position"); // "left,top" or "none"

    QTest::newRow("as written") << QByteArray(
                                       "\"60\"\r\n1\r\n\"/p.jpg\"\r\n\"/s\"\r\n1500\r\n1200\r\n")
                                << "60" << 60 << 1 << "/p.jpg"
                                << "/s"
                                << "1500,1200";
    QTest::newRow("commas inside quotes")
        << QByteArray("\"50\"\r\n0\r\n\"/a,b/c,d.jpg\"\r\n\"/x,y\"\r\n1\r\n2\r\n") << "50" << 50
        << 0 << "/a,b/c,d.jpg"
        << "/x,y"
        << "1,2";
    QTest::newRow("lines after the sixth ignored")
        << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n7\r\n8\r\n\"99\"\r\n1\r\n") << "50" << 50 << 0
        << ""
        << ""
        << "7,8";
    QTest::newRow("two values on one line")
        << QByteArray("\"80\",1\r\n\"/p\"\r\n\"/s\"\r\n10,20\r\n") << "80" << 80 << 1 << "/p"
        << "/s"
        << "10,20";
    QTest::newRow("spaces around unquoted fields")
        << QByteArray("\"50\"\r\n   1  \r\n\"\"\r\n\"\"\r\n  1500 ,  1200  \r\n") << "50" << 50 << 1
        << ""
        << ""
        << "1500,1200";
    QTest::newRow("spaces inside quotes kept")
        << QByteArray("\" 50 \"\r\n0\r\n\"  /a b  \"\r\n\"\"\r\n1\r\n2\r\n") << " 50 " << 50 << 0
        << "  /a b  "
        << ""
        << "1,2";
    QTest::newRow("bare line ends")
        << QByteArray("\"40\"\n1\n\"/p\"\n\"/s\"\n3\n4") << "40" << 40 << 1 << "/p"
        << "/s"
        << "3,4";
    QTest::newRow("bare quality reads as a number")
        << QByteArray("075\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "75" << 75 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("text after the closing quote dropped")
        << QByteArray("\"50\"xyz,1\r\n\"/p\"\r\n\"\"\r\n1\r\n2\r\n") << "50" << 50 << 1 << "/p"
        << ""
        << "1,2";
    QTest::newRow("quote left open ends at the line end")
        << QByteArray("\"50\r\n1\r\n\"/p\r\n\"\"\r\n1\r\n2\r\n") << "50" << 50 << 1 << "/p"
        << ""
        << "1,2";
    QTest::newRow("empty file") << QByteArray() << "50" << 50 << 0 << ""
                                << ""
                                << "none";
    QTest::newRow("three records only")
        << QByteArray("\"90\"\r\n1\r\n\"/p\"\r\n") << "90" << 90 << 1 << "/p"
        << ""
        << "none";
    QTest::newRow("five records: no top, so no position")
        << QByteArray("\"90\"\r\n1\r\n\"/p\"\r\n\"/s\"\r\n100\r\n") << "90" << 90 << 1 << "/p"
        << "/s"
        << "none";
    QTest::newRow("quality not a number")
        << QByteArray("\"abc\"\r\n1\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "abc" << -1 << 1 << ""
        << ""
        << "1,2";
    QTest::newRow("quality above 100")
        << QByteArray("\"150\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "150" << -1 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("quality below 0")
        << QByteArray("\"-1\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "-1" << -1 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("empty quality")
        << QByteArray("\"\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "" << -1 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("quality half goes to even")
        << QByteArray("\"50.5\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "50.5" << 50 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("quality other half goes to even")
        << QByteArray("\"51.5\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "51.5" << 52 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("greyed check box")
        << QByteArray("\"50\"\r\n2\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "50" << 50 << 2 << ""
        << ""
        << "1,2";
    QTest::newRow("check box value not a number")
        << QByteArray("\"50\"\r\nyes\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "50" << 50 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("check box value out of its range")
        << QByteArray("\"50\"\r\n40000\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n") << "50" << 50 << 0 << ""
        << ""
        << "1,2";
    QTest::newRow("position beyond 32767")
        << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n40000\r\n-33000\r\n") << "50" << 50 << 0 << ""
        << ""
        << "40000,-33000";
    QTest::newRow("position fractions to even")
        << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1500.5\r\n1501.5\r\n") << "50" << 50 << 0
        << ""
        << ""
        << "1500,1502";
    QTest::newRow("position not a number")
        << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\nleft\r\n1200\r\n") << "50" << 50 << 0 << ""
        << ""
        << "none";
    QTest::newRow("position beyond 32 bits")
        << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n3000000000\r\n") << "50" << 50 << 0 << ""
        << ""
        << "none";
    // Line ends of every system: CR alone (old Mac), LF alone (Unix), mixed.
    QTest::newRow("CR line ends") << QByteArray("\"60\"\r1\r\"/p.jpg\"\r\"/s\"\r1500\r1200\r")
                                  << "60" << 60 << 1 << "/p.jpg"
                                  << "/s"
                                  << "1500,1200";
    QTest::newRow("LF line ends") << QByteArray("\"60\"\n1\n\"/p.jpg\"\n\"/s\"\n1500\n1200") << "60"
                                  << 60 << 1 << "/p.jpg"
                                  << "/s"
                                  << "1500,1200";
    QTest::newRow("mixed line ends, LF CR is two")
        << QByteArray("\"60\"\r\n1\r\"/p.jpg\"\n\r1500\r\n1200\n") << "60" << 60 << 1 << "/p.jpg"
        << ""
        << "1500,1200";
    QTest::newRow("empty lines are empty fields")
        << QByteArray("\r\n\r\n\"/p\"\r\n\r\n1\r\n2\r\n") << "" << -1 << 0 << "/p"
        << ""
        << "1,2";
}

void SettingsFileTest::readsHandMadeFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, quality);
    QFETCH(int, slider);
    QFETCH(int, progressive);
    QFETCH(QString, picpath);
    QFETCH(QString, savefolder);
    QFETCH(QString, position);

    const Settings loaded = settingsfile::interpret(settingsfile::parse(bytes));
    QCOMPARE(loaded.quality, quality);
    QCOMPARE(loaded.sliderValue().value_or(-1), slider);
    QCOMPARE(int(loaded.progressive), progressive);
    QCOMPARE(loaded.picpath, picpath);
    QCOMPARE(loaded.savefolder, savefolder);
    const QString read = loaded.winleft && loaded.wintop
                             ? QStringLiteral("%1,%2").arg(*loaded.winleft).arg(*loaded.wintop)
                             : QStringLiteral("none");
    QCOMPARE(read, position);
}

void SettingsFileTest::stopsAtAnEndlessLine()
{
    // A 16 MiB line where the progressive flag belongs: the file is not read on
    // to its end, and the records from there on count as missing.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    QVERIFY(replaceFile(path, "\"60\"\r\n" + QByteArray(16 * 1024 * 1024, '7') + "\r\n\"/p\"\r\n"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const SettingsRecords records = settingsfile::parse(file);
    QVERIFY(file.pos() < 1024 * 1024);
    QVERIFY(records.quality.has_value());
    QCOMPARE(records.quality->text, QStringLiteral("60"));
    QVERIFY(!records.progressive.has_value());
    QVERIFY(!records.picpath.has_value());
}

void SettingsFileTest::missingFileGivesDefaults()
{
    QTemporaryDir dir;
    QVERIFY(!settingsfile::read(dir.filePath(QStringLiteral("none.ini"))).has_value());
    // What the window reads in its place: no records, every value its default.
    const Settings defaults = settingsfile::interpret(SettingsRecords{});
    QCOMPARE(defaults.quality, QStringLiteral("50"));
    QCOMPARE(defaults.sliderValue(), std::optional<int>(50));
    QCOMPARE(defaults.progressive, std::int16_t(0));
    QVERIFY(defaults.picpath.isEmpty());
    QVERIFY(defaults.savefolder.isEmpty());
    QVERIFY(!defaults.winleft && !defaults.wintop);
}

void SettingsFileTest::fullDiskKeepsTheOldFile()
{
    // A file size limit below the new file's size makes the write fail the way
    // a full disk does, for any user.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    QVERIFY(replaceFile(path, kOldFile));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 8;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written =
        settingsfile::write(path, {QStringLiteral("20"), 0, QStringLiteral("/a/long/path.jpg"),
                                   QStringLiteral("/a"), 1500, 1200});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(!written);
    QCOMPARE(fileContents(path), kOldFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setting.ini")});
}

void SettingsFileTest::fifoInItsPlaceIsNotRead()
{
    // Reading a FIFO would wait for a writer forever: start-up must not.
    TestApp probe;
    const QString path = probe.paths().settingsFile;
    QFile::remove(path);
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(!settingsfile::read(path).has_value());
    probe.restart();
    QCOMPARE(probe.main->settings().quality, QStringLiteral("50"));
    QVERIFY(probe.prompter.errors.isEmpty());
}

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
