// The export as the user drives it: the save dialog, the replace question, the
// quality and progressive options, the remembered folder and every failure
// ending in a message with nothing lost.

#include "jpeg/exportrules.h"
#include "jpeg/jpeglibrary.h"
#include "jpegcheck.h"
#include "settings/settingsfile.h"
#include "testpictures.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return bytes;
}

// What the library writes for these pixels and settings when called directly.
QByteArray directJpeg(const QImage& piece, const QString& path, int quality, bool progressive)
{
    const jpeg::JpegWriteResult result = jpeg::writeJpeg(
        piece, path, static_cast<std::uint8_t>(quality), progressive, jpegLibraryForTests());
    return result.written ? fileBytes(path) : QByteArray();
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<TestApp> m_app;
    QImage m_piece;

    frmmain& main() { return *m_app->main; }
    ScriptedPrompter& prompter() { return m_app->prompter; }
    QString path(const QString& name) { return m_app->dir.filePath(name); }

    QCheckBox* pro() { return control<QCheckBox>(main().optionWindow(), "pro"); }

    // Through the options dialog's controls, as the user sets them.
    void setOptions(const QString& quality, Qt::CheckState progressive)
    {
        control<QLineEdit>(main().optionWindow(), "kaizoudo")->setText(quality);
        pro()->setCheckState(progressive);
    }

    // The remembered folder, as a settings file holding it gives it.
    void setSavefolder(frmmain& window, const QString& folder)
    {
        Settings values = window.settings();
        values.savefolder = folder;
        QVERIFY(settingsfile::write(m_app->paths().settingsFile, values));
        window.loadsetting();
    }

  private slots:
    void init()
    {
        m_app = std::make_unique<TestApp>();
        // The piece: a real cut of 90 x 70 pixels out of a loaded picture.
        const QImage picture = smoothImage(120, 100);
        m_app->open(writeBmp(m_app->dir, QStringLiteral("picture.bmp"), picture));
        const QRect area(17, 11, 90, 70);
        m_piece = picture.copy(area);
        m_app->cut(area);
        QVERIFY(sameRgb(main().document().cuttedpic().image(), m_piece));
    }

    void cleanup() { m_app.reset(); }

    void writesThePiece()
    {
        setOptions(QStringLiteral("95"), Qt::Unchecked);
        const QString target = path(QStringLiteral("piece.jpg"));
        prompter().files.push_back(target);
        main().savepicture();
        QCOMPARE(prompter().errors, QStringList());
        const QByteArray jpeg = fileBytes(target);
        QCOMPARE(frameMarker(jpeg), 0xFFC0);
        const DecodedJpeg decoded = decodeJpeg(jpeg);
        QCOMPARE(decoded.image.size(), m_piece.size());
        QVERIFY(meanAbsError(decoded.image, m_piece) < 2.0);
        QCOMPARE(main().settings().savefolder, QDir(m_app->dir.path()).absolutePath());
        QCOMPARE(prompter().saveRequests.size(), 1);
        const QString offered = prompter().saveRequests[0].nameFilter;
        QCOMPARE(offered, CommonDialog::toQtFilter(
                              QStringLiteral("jpegファイル(*.jpg)|*.jpg|全てのファイル|*.*")));
        QVERIFY2(offered.contains(QStringLiteral("jpegファイル")) &&
                     offered.contains(QStringLiteral("(*.jpg);;全てのファイル (*.*)")),
                 qPrintable(offered));
        QVERIFY(!QGuiApplication::overrideCursor());
        // The next save dialog starts from the path just written.
        main().savepicture();
        QCOMPARE(prompter().saveRequests[1].fileName, target);
    }

    void quality_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1: refused
        QTest::newRow("50") << QStringLiteral("50") << 50;
        QTest::newRow("50.5 to even") << QStringLiteral("50.5") << 50;
        QTest::newRow("51.5 to even") << QStringLiteral("51.5") << 52;
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("blanks around") << QStringLiteral(" 77 ") << 77;
        QTest::newRow("255") << QStringLiteral("255") << 255;
        QTest::newRow("300") << QStringLiteral("300") << -1;
        QTest::newRow("255.5 rounds out") << QStringLiteral("255.5") << -1;
        QTest::newRow("-1") << QStringLiteral("-1") << -1;
        QTest::newRow("abc") << QStringLiteral("abc") << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("nan") << QStringLiteral("nan") << -1;
    }

    void quality()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<std::uint8_t> parsed = jpeg::qualityFromText(text);
        QCOMPARE(parsed ? int(*parsed) : -1, expected);

        setSavefolder(main(), QStringLiteral("before"));
        setOptions(text, Qt::Unchecked);
        QCOMPARE(main().settings().quality, text);
        const QString target = path(QStringLiteral("quality.jpg"));
        prompter().files.push_back(target);
        main().savepicture();
        if (expected < 0) {
            QCOMPARE(prompter().errors.size(), 1);
            // The message says what the box takes: the README says the same.
            QVERIFY(prompter().errors[0].contains(QStringLiteral("JPEG解像度")));
            QVERIFY(prompter().errors[0].contains(QStringLiteral("0から255までの数")));
            QVERIFY(prompter().errors[0].contains(QStringLiteral("100より上は100と同じ")));
            QVERIFY(!QFileInfo::exists(target));
            QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
        } else {
            QCOMPARE(prompter().errors, QStringList());
            const QByteArray written = fileBytes(target);
            QCOMPARE(written,
                     directJpeg(m_piece, path(QStringLiteral("direct.jpg")), expected, false));
        }
    }

    void progressive_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("marker");
        QTest::newRow("unchecked") << int(Qt::Unchecked) << 0xFFC0;
        QTest::newRow("checked") << int(Qt::Checked) << 0xFFC2;
        QTest::newRow("greyed") << int(Qt::PartiallyChecked) << 0xFFC2;
    }

    void progressive()
    {
        QFETCH(int, state);
        QFETCH(int, marker);
        pro()->setTristate(true);
        setOptions(QStringLiteral("80"), static_cast<Qt::CheckState>(state));
        const QString target = path(QStringLiteral("p.jpg"));
        prompter().files.push_back(target);
        main().savepicture();
        QCOMPARE(frameMarker(fileBytes(target)), marker);
    }

    void defaultsWithoutSettingsFile()
    {
        QVERIFY(!QFileInfo::exists(m_app->paths().settingsFile));
        QCOMPARE(main().settings().quality, QStringLiteral("50"));
        QVERIFY(!main().settings().isProgressive());
        const QString target = path(QStringLiteral("defaults.jpg"));
        prompter().files.push_back(target);
        main().savepicture();
        QCOMPARE(fileBytes(target),
                 directJpeg(m_piece, path(QStringLiteral("direct.jpg")), 50, false));
    }

    void folder_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("folder");
        QTest::newRow("folder") << QStringLiteral("/tmp/x/a.jpg") << QStringLiteral("/tmp/x");
        QTest::newRow("root") << QStringLiteral("/a.jpg") << QString();
        QTest::newRow("drive folder")
            << QStringLiteral("C:\\pics\\a.jpg") << QStringLiteral("C:\\pics");
        QTest::newRow("drive root") << QStringLiteral("C:\\a.jpg") << QStringLiteral("C:");
    }

    void folder()
    {
        QFETCH(QString, target);
        QFETCH(QString, folder);
        const qsizetype title =
            target.length() - target.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) - 1;
        QCOMPARE(jpeg::folderOfTarget(target, title), folder);
    }

    void cancelChangesNothing()
    {
        // A first save leaves its path in the dialog.
        const QString kept = path(QStringLiteral("kept.jpg"));
        prompter().files.push_back(kept);
        main().savepicture();
        const QByteArray written = fileBytes(kept);
        setSavefolder(main(), QStringLiteral("before"));
        main().savepicture();
        QCOMPARE(prompter().saveRequests.size(), 2);
        QCOMPARE(prompter().saveRequests[1].fileName, kept);
        // The cancelled dialog kept its file name for the next time.
        main().savepicture();
        QCOMPARE(prompter().saveRequests[2].fileName, kept);
        QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
        QCOMPARE(fileBytes(kept), written);
        QCOMPARE(prompter().errors, QStringList());
    }

    void replaceIsConfirmed_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no keeps the file") << false;
        QTest::newRow("yes replaces it") << true;
    }

    void replaceIsConfirmed()
    {
        QFETCH(bool, answer);
        const QString target = path(QStringLiteral("old.jpg"));
        const QByteArray before = writeBytes(target, "the old picture");
        prompter().files.push_back(target);
        prompter().confirmations.push_back(answer);
        setSavefolder(main(), QStringLiteral("before"));
        main().savepicture();
        QCOMPARE(prompter().questions.size(), 1);
        QVERIFY(prompter().questions[0].contains(QStringLiteral("old.jpg")));
        if (answer) {
            QCOMPARE(decodeJpeg(fileBytes(target)).image.size(), m_piece.size());
            QCOMPARE(main().settings().savefolder, QDir(m_app->dir.path()).absolutePath());
        } else {
            QCOMPARE(fileBytes(target), before);
            QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
        }
        QCOMPARE(prompter().errors, QStringList());
    }

    // ".jpg" is added to a name typed without an extension while the JPEG
    // entry of the filter is chosen, and to no other.
    void jpgAddedWhenMissing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("jpeg entry, no extension") << "piece" << 0 << "piece.jpg";
        QTest::newRow("all files, no extension") << "piece" << 1 << "piece";
        QTest::newRow("jpeg entry, .jpeg") << "piece.jpeg" << 0 << "piece.jpeg";
        QTest::newRow("jpeg entry, other extension") << "my.photo" << 0 << "my.photo";
        QTest::newRow("jpeg entry, dot first") << ".piece" << 0 << ".piece.jpg";
    }

    void jpgAddedWhenMissing()
    {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        prompter().files.push_back(path(typed));
        prompter().fileFilters.push_back(filter);
        main().savepicture();
        QStringList files = QDir(m_app->dir.path()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(QStringLiteral("setting.ini"));
        files.removeAll(QStringLiteral("picture.bmp"));
        QCOMPARE(files, QStringList{written});
        QCOMPARE(decodeJpeg(fileBytes(path(written))).image.size(), m_piece.size());
        // The dialog holds the real target: the next save starts from it.
        main().savepicture(); // cancelled
        QCOMPARE(prompter().saveRequests.last().fileName, path(written));
        QCOMPARE(main().settings().savefolder, QDir(m_app->dir.path()).absolutePath());
    }

    void replaceQuestionNamesTheRealTarget()
    {
        const QByteArray before = writeBytes(path(QStringLiteral("piece.jpg")), "the old picture");
        prompter().files.push_back(path(QStringLiteral("piece")));
        prompter().confirmations.push_back(false);
        main().savepicture();
        QCOMPARE(prompter().questions.size(), 1);
        QVERIFY2(prompter().questions[0].contains(QStringLiteral("「piece.jpg」")),
                 qPrintable(prompter().questions[0]));
        QCOMPARE(fileBytes(path(QStringLiteral("piece.jpg"))), before);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("piece"))));
    }

    // A target that cannot be written, even by root: its name leaves no room
    // for the temporary file beside it.
    void unwritableTargetKeepsFile()
    {
        const QString target = path(QString(250, QLatin1Char('n')) + QStringLiteral(".jpg"));
        const QByteArray before = writeBytes(target, "the old picture");
        prompter().files.push_back(target);
        prompter().confirmations.push_back(true);
        setSavefolder(main(), QStringLiteral("before"));
        main().savepicture();
        QCOMPARE(prompter().errors.size(), 1);
        QVERIFY(prompter().errors[0].contains(QStringLiteral("保存できませんでした")));
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
    }

    void unwritableFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << QStringLiteral("nowhere/a.jpg");
        QTest::newRow("parent is a file") << QStringLiteral("plain.txt/a.jpg");
    }

    void unwritableFolder()
    {
        QFETCH(QString, relative);
        writeBytes(path(QStringLiteral("plain.txt")), "text");
        const QString target = path(relative);
        prompter().files.push_back(target);
        setSavefolder(main(), QStringLiteral("before"));
        main().savepicture();
        QCOMPARE(prompter().errors.size(), 1);
        QVERIFY(prompter().errors[0].contains(target));
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(fileBytes(path(QStringLiteral("plain.txt"))), QByteArray("text"));
        QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
    }

    void missingLibrary_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such file") << QStringLiteral("/nonexistent/snipwell/libnothing.so")
                                      << QStringLiteral("読み込めませんでした");
        QTest::newRow("no entry point")
            << QStringLiteral("libturbojpeg.so.0") << QStringLiteral("DCSavetoJPEGがありません");
    }

    void missingLibrary()
    {
        QFETCH(QString, library);
        QFETCH(QString, message);
        ScriptedPrompter scripted;
        AppPaths paths = m_app->paths();
        paths.jpegLibrary = library;
        frmmain window(scripted, paths);
        window.openDroppedFile(LocalFileName::fromText(path(QStringLiteral("picture.bmp"))));
        cutPiece(window, QRect(17, 11, 90, 70));
        QVERIFY(sameRgb(window.document().cuttedpic().image(), m_piece));
        const QString target = path(QStringLiteral("kept.jpg"));
        const QByteArray before = writeBytes(target, "the old picture");
        scripted.files.push_back(target);
        scripted.confirmations.push_back(true);
        setSavefolder(window, QStringLiteral("before"));
        window.savepicture();
        QCOMPARE(scripted.errors.size(), 1);
        QVERIFY2(scripted.errors[0].contains(message), qPrintable(scripted.errors[0]));
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(window.settings().savefolder, QStringLiteral("before"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Read-only for everyone (chmod a-w): refused with a message before the
    // replace question, the file and the remembered folder as they were.
    void readOnlyFileIsNotReplaced()
    {
        const QString target = path(QStringLiteral("kept.jpg"));
        const QByteArray before = writeBytes(target, "the old picture");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        prompter().files.push_back(target);
        prompter().confirmations.push_back(true);
        setSavefolder(main(), QStringLiteral("before"));
        main().savepicture();
        QCOMPARE(prompter().questions.size(), 0);
        QCOMPARE(prompter().errors.size(), 1);
        QVERIFY2(prompter().errors[0].contains(QStringLiteral("読み取り専用")),
                 qPrintable(prompter().errors[0]));
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(main().settings().savefolder, QStringLiteral("before"));
    }

    // Replacing a symbolic link writes the file it names; the link stays.
    void linkIsSavedThrough()
    {
        QDir(m_app->dir.path()).mkdir(QStringLiteral("pictures"));
        const QString real = path(QStringLiteral("pictures/real.jpg"));
        writeBytes(real, "the old picture");
        const QString link = path(QStringLiteral("link.jpg"));
        QVERIFY(QFile::link(real, link));
        prompter().files.push_back(link);
        prompter().confirmations.push_back(true);
        main().savepicture();
        QCOMPARE(prompter().errors, QStringList());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(decodeJpeg(fileBytes(real)).image.size(), m_piece.size());
    }

    // The library's cause becomes the message; a library that cannot tell
    // the cause gets the general one.
    void failureSaysWhy_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder gone")
            << jpegLibraryForTests() << QStringLiteral("保存先のフォルダーがありません");
        QTest::newRow("library without the cause")
            << QStringLiteral(OLDSAVEJPG_PATH)
            << QStringLiteral("フォルダーに書き込めるか、ディスクに空きがあるか");
    }

    void failureSaysWhy()
    {
        QFETCH(QString, library);
        QFETCH(QString, message);
        const QString target = path(QStringLiteral("gone/a.jpg"));
        const jpeg::JpegWriteResult result = jpeg::writeJpeg(m_piece, target, 80, false, library);
        QVERIFY(!result.written);
        QVERIFY2(result.error.contains(message), qPrintable(result.error));
        QVERIFY(result.error.contains(target));
    }

    void blankPieceBeforeFirstCut()
    {
        TestApp fresh;
        const QString target = fresh.dir.filePath(QStringLiteral("blank.jpg"));
        fresh.prompter.files.push_back(target);
        fresh.main->savepicture();
        const DecodedJpeg decoded = decodeJpeg(fileBytes(target));
        QCOMPARE(decoded.image.size(), QSize(1455 / 15, 1455 / 15));
        QImage white(decoded.image.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(meanAbsError(decoded.image, white) < 1.0);
    }

    void emptyPieceIsReported()
    {
        // A completing press on the anchor's column, below it: no width.
        main().btmcut_Click();
        main().picmain_MouseDown(1, 0, 150, 150);
        main().picmain_MouseDown(1, 0, 150, 600);
        QVERIFY(main().document().cuttedpic().image().isNull());
        const QString target = path(QStringLiteral("empty.jpg"));
        prompter().files.push_back(target);
        main().savepicture();
        QCOMPARE(prompter().errors.size(), 1);
        QVERIFY(!QFileInfo::exists(target));
    }

    void saveButtonWritesSettings_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("button") << false << false;
        QTest::newRow("button, cancelled") << false << true;
        QTest::newRow("menu") << true << false;
        QTest::newRow("menu, cancelled") << true << true;
    }

    void saveButtonWritesSettings()
    {
        QFETCH(bool, menu);
        QFETCH(bool, cancel);
        const QString settings = m_app->paths().settingsFile;
        QFile::remove(settings);
        const QString target = path(QStringLiteral("button.jpg"));
        if (!cancel)
            prompter().files.push_back(target);
        main().show();
        if (menu)
            m_app->find<QAction>("msave")->trigger();
        else
            QTest::mouseClick(m_app->button("btmsave"), Qt::LeftButton);
        QCOMPARE(prompter().saveRequests.size(), 1);
        QCOMPARE(QFileInfo::exists(target), !cancel);
        QVERIFY2(QFileInfo::exists(settings), "the settings file is written after every save");
        if (!cancel)
            QVERIFY(fileBytes(settings).contains(QFile::encodeName(m_app->dir.path())));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
