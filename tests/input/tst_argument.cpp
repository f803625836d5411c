// The program's one optional argument: a picture opened as a drop would open
// it, with the scroll ranges set and the open dialog's remembered path left
// alone, and a path that cannot be loaded reported without changing anything.
// Names are bytes: one that is no UTF-8 opens from the argument and from a drop.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"

#include <QFile>
#include <QMimeData>
#include <QTest>
#include <cstdio>

class ArgumentTest : public QObject
{
    Q_OBJECT
  private slots:
    void opensLikeADrop();
    void unreadablePathIsReported();
    void nameThatIsNoUtf8Opens_data();
    void nameThatIsNoUtf8Opens();
};

void ArgumentTest::opensLikeADrop()
{
    TestApp app;
    app.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
    Settings earlier;
    earlier.picpath = QStringLiteral("/earlier/picture.jpg");
    app.loadSettings(earlier);
    const QImage source = patternImage(900, 60, 4);
    app.main->openDroppedFile(
        LocalFileName::fromText(writeBmp(app.dir, QStringLiteral("wide.bmp"), source)));

    QString difference;
    QVERIFY2(sameRgb(app.shown(), source, &difference), qPrintable(difference));
    QCOMPARE(app.surface()->size(), source.size());
    // Wider than the viewport: the horizontal bar is ranged, as after a drop.
    const ScrollBar* bar = app.find<ScrollBar>("HScroll");
    QVERIFY(bar->isEnabled());
    QVERIFY(bar->Max() > 0);
    QCOMPARE(app.main->settings().picpath, QStringLiteral("/earlier/picture.jpg"));
    QVERIFY(app.prompter.errors.isEmpty());
}

void ArgumentTest::unreadablePathIsReported()
{
    TestApp app;
    const QImage source = patternImage(40, 30, 2);
    app.main->openDroppedFile(
        LocalFileName::fromText(writeBmp(app.dir, QStringLiteral("first.bmp"), source)));
    const QString missing = app.dir.filePath(QStringLiteral("missing.bmp"));
    app.main->openDroppedFile(LocalFileName::fromText(missing));

    QCOMPARE(app.prompter.errors.size(), 1);
    QVERIFY(app.prompter.errors.first().contains(QStringLiteral("missing.bmp")));
    QVERIFY(sameRgb(app.shown(), source));
}

void ArgumentTest::nameThatIsNoUtf8Opens_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::newRow("argument") << false;
    QTest::newRow("dropped file:// URL") << true;
}

void ArgumentTest::nameThatIsNoUtf8Opens()
{
    QFETCH(bool, dropped);
    TestApp app;
    const QImage source = patternImage(50, 40, 8);
    // "bild-ä.bmp" in Latin-1, as an old camera card or archive names it: no UTF-8.
    const QByteArray folder = QFile::encodeName(app.dir.path());
    const QByteArray name = folder + "/bild-\xE4\xFF.bmp";
    const QByteArray plain =
        QFile::encodeName(writeBmp(app.dir, QStringLiteral("plain.bmp"), source));
    QCOMPARE(::rename(plain.constData(), name.constData()), 0);
    if (dropped) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"),
                     "file://" + name.toPercentEncoding("/") + "\r\n");
        app.main->base_OLEDragDrop(&data);
    } else {
        app.main->openDroppedFile(LocalFileName(name));
    }
    QVERIFY2(app.prompter.errors.isEmpty(), qPrintable(app.prompter.errors.value(0)));
    QVERIFY(sameRgb(app.shown(), source));

    // A name that cannot be opened is shown readably, its odd bytes as U+FFFD.
    app.main->openDroppedFile(LocalFileName(folder + "/gone-\xE4.bmp"));
    QCOMPARE(app.prompter.errors.size(), 1);
    QVERIFY2(app.prompter.errors[0].contains(QStringLiteral("gone-\uFFFD.bmp")),
             qPrintable(app.prompter.errors[0]));
}

QTEST_MAIN(ArgumentTest)
#include "tst_argument.moc"
