// The main window comes up without loading any image-format plugin (each
// costs the start-up a library or two), and the pictures read without them
// are the pictures Qt's usual reading gives.

#include "testpictures.h"
#include "toolkit/builtinpictures.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>

class StartUpPicturesTest : public QObject
{
    Q_OBJECT
  private slots:
    void mainWindowLoadsNoImagePlugin();
    void picturesAreThoseQtReads_data();
    void picturesAreThoseQtReads();
    void menuBarExtensionKeepsItsPicture();
};

void StartUpPicturesTest::mainWindowLoadsNoImagePlugin()
{
    TestApp app;
    app.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY2(!mapped.contains("/imageformats/"), "an image-format plugin was loaded");
}

void StartUpPicturesTest::picturesAreThoseQtReads_data()
{
    QTest::addColumn<QString>("path");
    for (const char* name : {":/cut.bmp", ":/draw.bmp", ":/text.bmp", ":/erase.bmp", ":/paste.bmp",
                             ":/save.bmp", ":/snipwell.png"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void StartUpPicturesTest::picturesAreThoseQtReads()
{
    QFETCH(QString, path);
    const QImage read = builtInPicture(path);
    QVERIFY(!read.isNull());
    const QImage expected(path);
    QCOMPARE(read.size(), expected.size());
    QCOMPARE(read.convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
}

void StartUpPicturesTest::menuBarExtensionKeepsItsPicture()
{
    const QIcon icon =
        QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.pixmap(16, 16).toImage().isNull());
    // Read when first drawn: Qt's three pictures of it.
    QCOMPARE(icon.availableSizes().size(), 3);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    useBuiltInStylePictures(app);
    StartUpPicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startuppictures.moc"
