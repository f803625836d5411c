// Values that break naive code: paths and texts with quotes, commas, line
// breaks, non-Latin letters and thousands of characters, a settings file of a
// gigabyte, and a quality of ten thousand digits. None may corrupt the
// settings file, and none may crash the program.

#include "jpegcheck.h"
#include "settings/settingsfile.h"
#include "testpictures.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// What the settings file gives back for a text: the text itself, or empty where
// the file has no way to hold it.
QString storable(const QString& text)
{
    const bool breaks = text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r')) ||
                        text.contains(QLatin1Char('\n'));
    return breaks || text.toUtf8().size() + 2 > settingsfile::maxLineLength ? QString() : text;
}

QString longText(int length)
{
    QString text;
    const QString piece = QStringLiteral("長い,\"パス\"/ab");
    while (text.size() < length)
        text += piece;
    return text.left(length);
}

// A folder path of exactly `length` characters made of nested names under base,
// each well under the 255 bytes a name may have.
QString deepFolder(const QString& base, int length)
{
    QString path = base;
    for (int n = 0; path.size() < length; ++n) {
        const QString name = QStringLiteral("/段階%1-").arg(n) + QString(200, QLatin1Char('x'));
        path += name.left(length - path.size());
    }
    return path;
}

QLineEdit* kaizoudo(const TestApp& app)
{
    return control<QLineEdit>(app.main->optionWindow(), "kaizoudo");
}

} // namespace

class UnsafeValuesTest : public QObject
{
    Q_OBJECT
  private slots:
    void textsSurviveARestart_data();
    void textsSurviveARestart();
    void unsafeFileNamesOpenAndSave_data();
    void unsafeFileNamesOpenAndSave();
    void longTextIsPrinted();
    void gigabyteSettingsFile_data();
    void gigabyteSettingsFile();
    void qualityOfTenThousandDigits();
};

void UnsafeValuesTest::textsSurviveARestart_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("/a/\"quoted\" name.jpg");
    QTest::newRow("commas") << QStringLiteral("/a,b/c, d.jpg");
    QTest::newRow("line feed") << QStringLiteral("/a\nb.jpg");
    QTest::newRow("carriage return") << QStringLiteral("/a\rb.jpg");
    QTest::newRow("non-Latin") << QStringLiteral("/写真/Ünïcödé/фото/😀.jpg");
    QTest::newRow("4000 characters") << longText(4000);
    QTest::newRow("4000 without quotes") << longText(4000).remove(QLatin1Char('"')).left(4000);
    QTest::newRow("longer than a line may be") << QString(30000, QChar(0x6F22));
    QTest::newRow("blanks around") << QStringLiteral("  spaced  ");
}

void UnsafeValuesTest::textsSurviveARestart()
{
    QFETCH(QString, text);
    // The paths as the settings file writes and reads them: no control sets a
    // path that names no file.
    Settings values;
    values.picpath = text;
    values.savefolder = text + QStringLiteral("/out");
    values.winleft = 600;
    values.wintop = 300;
    const Settings read =
        settingsfile::interpret(settingsfile::parse(settingsfile::format(values)));
    QCOMPARE(read.picpath, storable(text));
    QCOMPARE(read.savefolder, storable(text + QStringLiteral("/out")));
    QCOMPARE(read.winleft, values.winleft);
    QCOMPARE(read.wintop, values.wintop);

    // The quality as typed into the options dialog, through the main window.
    TestApp app;
    frmmain& m = *app.main;
    m.move(40, 20);
    kaizoudo(app)->setText(text);
    control<QCheckBox>(m.optionWindow(), "pro")->setChecked(true);
    m.savesetting();

    app.restart();
    const Settings& r = app.main->settings();
    // Each value comes back as it was, or empty where the file cannot hold it,
    // and never costs the records after it.
    QCOMPARE(kaizoudo(app)->text(), storable(text).left(kaizoudo(app)->maxLength()));
    QCOMPARE(r.quality, kaizoudo(app)->text());
    QCOMPARE(r.progressive, std::int16_t(1));
    QCOMPARE(r.winleft, std::optional<std::int32_t>(600));
    QCOMPARE(r.wintop, std::optional<std::int32_t>(300));
}

void UnsafeValuesTest::unsafeFileNamesOpenAndSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes and commas") << QStringLiteral("a \"b\", c.bmp");
    QTest::newRow("line break") << QStringLiteral("two\nlines.bmp");
    QTest::newRow("non-Latin") << QStringLiteral("写真 фото.bmp");
    QTest::newRow("4000-character path") << QStringLiteral("deep");
}

void UnsafeValuesTest::unsafeFileNamesOpenAndSave()
{
    QFETCH(QString, name);
    TestApp app;
    QString folder = app.dir.path();
    if (name == QStringLiteral("deep")) {
        folder = deepFolder(folder, 3990);
        name = QStringLiteral("最後.bmp");
        QVERIFY(QDir().mkpath(folder));
    }
    const QImage picture = patternImage(50, 40, 3);
    const QString path = folder + QLatin1Char('/') + name;
    QVERIFY(picture.convertToFormat(QImage::Format_RGB888).save(path, "BMP"));

    app.open(path);
    QCOMPARE(app.prompter.errors, QStringList());
    QVERIFY(sameRgb(app.shown(), picture));
    QCOMPARE(app.main->settings().picpath, path);

    // A cut, then the piece saved beside the picture under the same kind of name.
    app.cut(QRect(0, 0, 30, 20));
    const QString target = path + QStringLiteral(".jpg");
    app.prompter.files.push_back(target);
    app.main->btmsave_Click();
    QCOMPARE(app.prompter.errors, QStringList());
    QCOMPARE(decodeJpeg(fileBytes(target)).image.size(), QSize(30, 20));
    QCOMPARE(app.main->settings().savefolder, folder);

    app.restart();
    QCOMPARE(app.main->settings().picpath, storable(path));
    QCOMPARE(app.main->settings().savefolder, storable(folder));
    QVERIFY(app.main->settings().winleft && app.main->settings().wintop);
}

void UnsafeValuesTest::longTextIsPrinted()
{
    TestApp app;
    frmmain& m = *app.main;
    m.show();
    app.open(writeBmp(app.dir, QStringLiteral("p.bmp"), patternImage(200, 100)));
    QLineEdit* textbox = app.find<QLineEdit>("textbox");
    textbox->setMaxLength(40000);
    textbox->setText(longText(4000) + QStringLiteral("\n\r\t"));
    QTest::mouseClick(app.button("btmtext"), Qt::LeftButton);
    m.picmain_MouseMove(0, 0, 150, 150);
    m.picmain_MouseDown(1, 0, 150, 150);
    QVERIFY(!sameRgb(app.shown(), patternImage(200, 100)));
    QCOMPARE(app.prompter.errors, QStringList());
}

void UnsafeValuesTest::gigabyteSettingsFile_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("allSix");
    // The file is the head, then zero bytes (no line end) up to one gigabyte.
    QTest::newRow("six records, then a gigabyte")
        << QByteArray("\"70\"\r\n1\r\n\"/p.jpg\"\r\n\"/out\"\r\n1500\r\n1200\r\n") << true;
    QTest::newRow("a first record that never ends") << QByteArray("\"") << false;
    QTest::newRow("five records, the sixth never ends")
        << QByteArray("\"70\"\r\n1\r\n\"/p.jpg\"\r\n\"/out\"\r\n1500\r\n") << false;
}

void UnsafeValuesTest::gigabyteSettingsFile()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, allSix);
    TestApp app;
    const QString path = app.paths().settingsFile;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(head);
        // Sparse: a gigabyte long without taking a gigabyte of disk.
        QVERIFY(file.resize(qint64(1) << 30));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const SettingsRecords records = settingsfile::parse(file);
    // Only what the six records need is read: at most one over-long line.
    QVERIFY2(file.pos() <= head.size() + settingsfile::maxLineLength + 2,
             qPrintable(QString::number(file.pos())));
    QCOMPARE(records.top.has_value(), allSix);

    app.restart();
    QCOMPARE(kaizoudo(app)->text(), head.size() > 1 ? QStringLiteral("70") : QStringLiteral("50"));
    QCOMPARE(app.main->settings().winleft.has_value(), allSix);
    // The next write puts a whole, small file in its place.
    app.main->savesetting();
    QVERIFY(QFileInfo(path).size() < 200);
    const QString quality = kaizoudo(app)->text();
    app.restart();
    QCOMPARE(kaizoudo(app)->text(), quality);
}

void UnsafeValuesTest::qualityOfTenThousandDigits()
{
    TestApp app;
    const QString picture = writeBmp(app.dir, QStringLiteral("kept.bmp"), patternImage(40, 30));
    app.open(picture);
    app.cut(QRect(5, 5, 20, 10));
    const QString digits(10000, QLatin1Char('9'));
    kaizoudo(app)->setText(digits);
    const QString target = app.dir.filePath(QStringLiteral("never.jpg"));
    app.prompter.files.push_back(target);
    app.main->btmsave_Click();
    // The export refuses it with one message and writes nothing ...
    QCOMPARE(app.prompter.errors.size(), 1);
    QVERIFY(app.prompter.errors[0].contains(QStringLiteral("0から255")));
    // The message quotes the beginning of the text, not all of it.
    QVERIFY(app.prompter.errors[0].size() < 200);
    QVERIFY(!QFileInfo::exists(target));
    // ... and the settings file, written by the same button, keeps it whole.
    const std::optional<SettingsRecords> records = settingsfile::read(app.paths().settingsFile);
    QVERIFY(records && records->quality);
    QCOMPARE(records->quality->text, digits);
    QCOMPARE(settingsfile::interpret(*records).picpath, picture);
    app.restart();
    QCOMPARE(kaizoudo(app)->text(), digits.left(kaizoudo(app)->maxLength()));
    QCOMPARE(app.main->settings().picpath, picture);
}

QTEST_MAIN(UnsafeValuesTest)
#include "tst_unsafevalues.moc"
