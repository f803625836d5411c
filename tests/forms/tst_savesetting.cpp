// savesetting and loadsetting: the main window's values written to the
// settings file, read back after a restart, and read value by value from a
// file that holds only some of them.

#include "testpictures.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

class SaveSettingTest : public QObject
{
    Q_OBJECT
  private slots:
    void missingFileGivesDefaults();
    void readOnlyFolderKeepsTheOldFile();
    void mainWindowWritesItsValues();
    void pathsSurviveARestart();
    void loadsettingFallsBackValueByValue();
    void unwritableAtShutdownIsReportedOnce();
};

namespace {

QLineEdit* kaizoudo(const TestApp& app)
{
    return control<QLineEdit>(app.main->optionWindow(), "kaizoudo");
}

QSlider* slider(const TestApp& app)
{
    return control<QSlider>(app.main->optionWindow(), "Slider1");
}

QCheckBox* pro(const TestApp& app)
{
    return control<QCheckBox>(app.main->optionWindow(), "pro");
}

// A picture opened through the open dialog, which remembers its path.
void openPicture(TestApp& app, const QString& path)
{
    QVERIFY2(patternImage(20, 10).save(path, "JPG"), qPrintable(path));
    app.open(path);
    QCOMPARE(app.prompter.errors, QStringList());
}

// The piece saved through the save dialog, which remembers its folder.
void savePieceInto(TestApp& app, const QString& folder)
{
    QVERIFY(QDir().mkpath(folder));
    app.prompter.files.push_back(folder + QStringLiteral("/piece.jpg"));
    app.main->savepicture();
    QCOMPARE(app.prompter.errors, QStringList());
}

const QByteArray kOldFile = "\"70\"\r\n1\r\n\"/old/picture.bmp\"\r\n\"/old\"\r\n300\r\n450\r\n";

} // namespace

void SaveSettingTest::missingFileGivesDefaults()
{
    TestApp app; // its settings file does not exist yet
    QCOMPARE(kaizoudo(app)->text(), QStringLiteral("50"));
    QCOMPARE(slider(app)->value(), 50);
    QCOMPARE(pro(app)->checkState(), Qt::Unchecked);
    QVERIFY(app.main->settings().picpath.isEmpty());
    QVERIFY(app.main->settings().savefolder.isEmpty());
    QVERIFY(!app.main->settings().winleft);
}

void SaveSettingTest::readOnlyFolderKeepsTheOldFile()
{
    TestApp app;
    const QString path = app.paths().settingsFile;
    QVERIFY(replaceFile(path, kOldFile));
    QFile::Permissions before = QFile::permissions(app.dir.path());
    QFile::setPermissions(app.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(app.dir.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(app.dir.path(), before);
        QSKIP("permissions do not bind this user (root); settings/tst_settingsfile's full-disk "
              "case covers the failed write");
    }
    kaizoudo(app)->setText(QStringLiteral("10"));
    app.main->savesetting();
    QFile::setPermissions(app.dir.path(), before);
    QCOMPARE(fileContents(path), kOldFile);
}

void SaveSettingTest::mainWindowWritesItsValues()
{
    TestApp app;
    const QString picture = app.dir.filePath(QStringLiteral("a.jpg"));
    openPicture(app, picture);
    const QString folder = app.dir.filePath(QStringLiteral("out"));
    savePieceInto(app, folder);
    app.main->move(100, 80); // 1500, 1200 twips; the window is not shown, so it has no frame
    kaizoudo(app)->setText(QStringLiteral("65"));
    pro(app)->setChecked(true);
    app.main->savesetting();
    QCOMPARE(fileContents(app.paths().settingsFile), "\"65\"\r\n1\r\n\"" + picture.toUtf8() +
                                                         "\"\r\n\"" + folder.toUtf8() +
                                                         "\"\r\n1500\r\n1200\r\n");
}

void SaveSettingTest::pathsSurviveARestart()
{
    TestApp app;
    QVERIFY(QDir(app.dir.path()).mkpath(QStringLiteral("写真, 旅行")));
    const QString picture = app.dir.filePath(QStringLiteral("写真, 旅行/ﾃｽﾄ,1.jpg"));
    openPicture(app, picture);
    const QString folder = app.dir.filePath(QStringLiteral("書き出し,2024"));
    savePieceInto(app, folder);
    slider(app)->setValue(85);
    pro(app)->setChecked(true);
    app.main->move(40, 30);
    app.main->savesetting();
    app.restart();
    QCOMPARE(app.main->settings().picpath, picture);
    QCOMPARE(app.main->settings().savefolder, folder);
    QCOMPARE(kaizoudo(app)->text(), QStringLiteral("85"));
    QCOMPARE(slider(app)->value(), 85);
    QCOMPARE(pro(app)->checkState(), Qt::Checked);
    QCOMPARE(app.main->settings().winleft, std::optional<std::int32_t>(600));
    QCOMPARE(app.main->settings().wintop, std::optional<std::int32_t>(450));
    // The next open dialog starts from the remembered picture.
    app.main->mopen_Click();
    QCOMPARE(app.prompter.openRequests.last().fileName, picture);
}

void SaveSettingTest::loadsettingFallsBackValueByValue()
{
    TestApp app;
    slider(app)->setValue(30);
    openPicture(app, app.dir.filePath(QStringLiteral("before.jpg")));
    QVERIFY(replaceFile(app.paths().settingsFile, "\"zz\"\r\nx\r\n\"/p.jpg\"\r\n"));
    app.main->loadsetting();
    QCOMPARE(kaizoudo(app)->text(), QStringLiteral("zz"));
    QCOMPARE(slider(app)->value(), 30); // the slider cannot take "zz"
    QCOMPARE(pro(app)->checkState(), Qt::Unchecked);
    QCOMPARE(app.main->settings().picpath, QStringLiteral("/p.jpg"));
    QVERIFY(app.main->settings().savefolder.isEmpty());
    QVERIFY(!app.main->settings().winleft);
}

void SaveSettingTest::unwritableAtShutdownIsReportedOnce()
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

QTEST_MAIN(SaveSettingTest)
#include "tst_savesetting.moc"
