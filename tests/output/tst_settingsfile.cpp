// The settings file: its exact bytes, the reading of hand-made files with any
// line ends, a FIFO in its place, writes that fail (reported once, at
// shut-down), and the round trip through the main window and a restart.

#include "forms/frmoption.h"
#include "settings/settingsfile.h"
#include "testpictures.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
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
    void readOnlyFolderKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void mainWindowWritesItsValues();
    void pathsSurviveARestart();
    void loadsettingFallsBackValueByValue();
    void fifoInItsPlaceIsNotRead();
    void unwritableAtShutdownIsReportedOnce();
};

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QByteArray kOldFile = "\"70\"\r\n1\r\n\"/old/picture.bmp\"\r\n\"/old\"\r\n300\r\n450\r\n";

} // namespace

void SettingsFileTest::writesExactBytes_data()
{
    QTest::addColumn<QString>("quality");
    QTest::addColumn<int>("progressive");
    QTest::addColumn<QString>("picpath");
    QTest::addColumn<QString>("savefolder");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("start values") << "50" << 0 << ""
                                  << "" << 1500.0f << 1200.0f
                                  << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1500\r\n1200\r\n");
    QTest::newRow("paths and checked box")
        << "75" << 1 << "/home/u/a b,c.jpg"
        << "/home/u/out" << 0.0f << 15.0f
        << QByteArray("\"75\"\r\n1\r\n\"/home/u/a b,c.jpg\"\r\n\"/home/u/out\"\r\n0\r\n15\r\n");
    QTest::newRow("greyed, negative and fractional position")
        << "abc" << 2 << ""
        << "" << -120.0f << 1234.5f
        << QByteArray("\"abc\"\r\n2\r\n\"\"\r\n\"\"\r\n-120\r\n1234.5\r\n");
    QTest::newRow("Japanese path as UTF-8")
        << "50" << 0 << QStringLiteral("/写真/猫.jpg") << "" << 1500.0f << 1200.0f
        << QByteArray("\"50\"\r\n0\r\n\"/\xe5\x86\x99\xe7\x9c\x9f/\xe7\x8c\xab.jpg\"\r\n\"\"\r\n"
                      "1500\r\n1200\r\n");
    QTest::newRow("quote and line break written empty")
        << "5\"0" << 0 << "/a\"b.jpg"
        << "/x\ny" << 1.0f << 2.0f << QByteArray("\"\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n");
    QTest::newRow("carriage return written empty")
        << "50" << 0 << "/a\rb"
        << "" << 1.0f << 2.0f << QByteArray("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1\r\n2\r\n");
}

void SettingsFileTest::writesExactBytes()
{
    QFETCH(QString, quality);
    QFETCH(int, progressive);
    QFETCH(QString, picpath);
    QFETCH(QString, savefolder);
    QFETCH(float, left);
    QFETCH(float, top);
    QFETCH(QByteArray, bytes);

    const SettingsValues values{
        quality, static_cast<std::int16_t>(progressive), picpath, savefolder, left, top};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    QVERIFY(settingsfile::write(path, values));
    QCOMPARE(readAll(path), bytes);
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

    const LoadedSettings loaded = settingsfile::interpret(settingsfile::parse(bytes));
    QCOMPARE(loaded.quality, quality);
    QCOMPARE(loaded.sliderValue.value_or(-1), slider);
    QCOMPARE(int(loaded.progressive), progressive);
    QCOMPARE(loaded.picpath, picpath);
    QCOMPARE(loaded.savefolder, savefolder);
    const QString read = loaded.left && loaded.top
                             ? QStringLiteral("%1,%2").arg(*loaded.left).arg(*loaded.top)
                             : QStringLiteral("none");
    QCOMPARE(read, position);
}

void SettingsFileTest::stopsAtAnEndlessLine()
{
    // A 16 MiB line where the progressive flag belongs: the file is not read on
    // to its end, and the records from there on count as missing.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    writeFile(path, "\"60\"\r\n" + QByteArray(16 * 1024 * 1024, '7') + "\r\n\"/p\"\r\n");
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
    TestApp app; // its settings file does not exist yet
    QCOMPARE(app.main->option->kaizoudo->text(), QStringLiteral("50"));
    QCOMPARE(app.main->option->Slider1->value(), 50);
    QCOMPARE(app.main->option->pro->checkState(), Qt::Unchecked);
    QVERIFY(app.main->picpath.isEmpty());
    QVERIFY(app.main->savefolder.isEmpty());
    QVERIFY(!app.main->hasStoredPosition);
}

void SettingsFileTest::readOnlyFolderKeepsTheOldFile()
{
    TestApp app;
    const QString path = app.paths().settingsFile;
    writeFile(path, kOldFile);
    QFile::Permissions before = QFile::permissions(app.dir.path());
    QFile::setPermissions(app.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(app.dir.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(app.dir.path(), before);
        QSKIP("permissions do not bind this user (root); the full-disk case covers the write");
    }
    app.main->option->kaizoudo->setText(QStringLiteral("10"));
    app.main->savesetting();
    QFile::setPermissions(app.dir.path(), before);
    QCOMPARE(readAll(path), kOldFile);
}

void SettingsFileTest::fullDiskKeepsTheOldFile()
{
    // A file size limit below the new file's size makes the write fail the way
    // a full disk does, for any user.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.ini"));
    writeFile(path, kOldFile);
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
    QCOMPARE(readAll(path), kOldFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setting.ini")});
}

void SettingsFileTest::mainWindowWritesItsValues()
{
    TestApp app;
    frmmain& main = *app.main;
    main.move(100, 80); // 1500, 1200 twips; the window is not shown, so it has no frame
    main.option->kaizoudo->setText(QStringLiteral("65"));
    main.option->pro->setChecked(true);
    main.picpath = QStringLiteral("/pics/a.jpg");
    main.savefolder = QStringLiteral("/out");
    main.savesetting();
    QCOMPARE(readAll(app.paths().settingsFile),
             QByteArray("\"65\"\r\n1\r\n\"/pics/a.jpg\"\r\n\"/out\"\r\n1500\r\n1200\r\n"));
}

void SettingsFileTest::pathsSurviveARestart()
{
    TestApp app;
    const QString picture = QStringLiteral("/home/太郎/写真, 旅行/ﾃｽﾄ,1.jpg");
    const QString folder = QStringLiteral("/home/太郎/書き出し,2024");
    app.main->picpath = picture;
    app.main->savefolder = folder;
    app.main->option->Slider1->setValue(85);
    app.main->option->pro->setChecked(true);
    app.main->move(40, 30);
    app.main->savesetting();
    app.restart();
    QCOMPARE(app.main->picpath, picture);
    QCOMPARE(app.main->savefolder, folder);
    QCOMPARE(app.main->option->kaizoudo->text(), QStringLiteral("85"));
    QCOMPARE(app.main->option->Slider1->value(), 85);
    QCOMPARE(app.main->option->pro->checkState(), Qt::Checked);
    QVERIFY(app.main->hasStoredPosition);
    QCOMPARE(app.main->winleft, 600);
    QCOMPARE(app.main->wintop, 450);
}

void SettingsFileTest::loadsettingFallsBackValueByValue()
{
    TestApp app;
    frmmain& main = *app.main;
    main.option->Slider1->setValue(30);
    main.picpath = QStringLiteral("/before.jpg");
    writeFile(app.paths().settingsFile, "\"zz\"\r\nx\r\n\"/p.jpg\"\r\n");
    main.loadsetting();
    QCOMPARE(main.option->kaizoudo->text(), QStringLiteral("zz"));
    QCOMPARE(main.option->Slider1->value(), 30); // the slider cannot take "zz"
    QCOMPARE(main.option->pro->checkState(), Qt::Unchecked);
    QCOMPARE(main.picpath, QStringLiteral("/p.jpg"));
    QVERIFY(main.savefolder.isEmpty());
    QVERIFY(!main.hasStoredPosition);
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
    QCOMPARE(probe.main->option->kaizoudo->text(), QStringLiteral("50"));
    QVERIFY(probe.prompter.errors.isEmpty());
}

void SettingsFileTest::unwritableAtShutdownIsReportedOnce()
{
    // Saves along the way stay quiet; closing the window is the last chance to
    // tell the user that this run's settings will not come back.
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/setting.ini"));
    {
        frmmain window(prompter, AppPaths{path, jpegLibraryForTests()});
        window.show();
        window.savesetting();
        window.savesetting();
        QVERIFY(prompter.errors.isEmpty());
        window.close();
    }
    QCOMPARE(prompter.errors.size(), 1);
    QVERIFY2(prompter.errors[0].contains(QStringLiteral("保存できませんでした")) &&
                 prompter.errors[0].contains(path),
             qPrintable(prompter.errors.value(0)));

    // A folder that takes the file: nothing to report.
    ScriptedPrompter quiet;
    {
        frmmain window(
            quiet, AppPaths{dir.filePath(QStringLiteral("setting.ini")), jpegLibraryForTests()});
        window.show();
        window.close();
    }
    QVERIFY(quiet.errors.isEmpty());
}

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
