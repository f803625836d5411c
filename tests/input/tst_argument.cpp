// The program's one optional argument: a picture opened as a drop would open
// it, with the scroll ranges set and the open dialog's remembered path left
// alone, and a path that cannot be loaded reported without changing anything.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"

#include <QTest>

class ArgumentTest : public QObject
{
    Q_OBJECT
  private slots:
    void opensLikeADrop();
    void unreadablePathIsReported();
};

void ArgumentTest::opensLikeADrop()
{
    TestApp app;
    app.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
    app.main->picpath = QStringLiteral("/earlier/picture.jpg");
    const QImage source = patternImage(900, 60, 4);
    app.main->openDroppedFile(
        LocalFileName::fromText(writeBmp(app.dir, QStringLiteral("wide.bmp"), source)));

    QString difference;
    QVERIFY2(sameRgb(app.main->picmain->image(), source, &difference), qPrintable(difference));
    QCOMPARE(app.main->picmain->client()->size(), source.size());
    // Wider than the viewport: the horizontal bar is ranged, as after a drop.
    QVERIFY(app.main->HScroll->isEnabled());
    QVERIFY(app.main->HScroll->Max() > 0);
    QCOMPARE(app.main->picpath, QStringLiteral("/earlier/picture.jpg"));
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
    QVERIFY(sameRgb(app.main->picmain->image(), source));
}

QTEST_MAIN(ArgumentTest)
#include "tst_argument.moc"
