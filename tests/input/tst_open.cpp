// Opening pictures into the main window: through "開く(&O)" with its preset
// dialog, by drops onto the viewport and the picture, and the failures that must
// leave the user's picture and marks exactly as they were.

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"

#include <QApplication>
#include <QBuffer>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

// Everything a failed load must leave as it was.
struct Snapshot
{
    QImage image;
    QRect picmainGeometry;
    QString picpath;
    bool hEnabled, vEnabled;
    int hMax, vMax, hValue;
    QRect frame;
    ToolMode toolmode;
    bool busy;

    static Snapshot of(const TestApp& app)
    {
        const frmmain& m = *app.main;
        const ScrollBar* h = app.find<ScrollBar>("HScroll");
        const ScrollBar* v = app.find<ScrollBar>("VScroll");
        return {app.shown(),
                app.picmain()->geometry(),
                m.settings().picpath,
                h->isEnabled(),
                v->isEnabled(),
                h->Max(),
                v->Max(),
                h->Value(),
                app.selectionFrame(),
                m.toolmode(),
                m.activeTool() && m.activeTool()->busy()};
    }
};

void compareSnapshots(const Snapshot& after, const Snapshot& before)
{
    QVERIFY(sameRgb(after.image, before.image));
    QCOMPARE(after.picmainGeometry, before.picmainGeometry);
    QCOMPARE(after.picpath, before.picpath);
    QCOMPARE(after.hEnabled, before.hEnabled);
    QCOMPARE(after.vEnabled, before.vEnabled);
    QCOMPARE(after.hMax, before.hMax);
    QCOMPARE(after.vMax, before.vMax);
    QCOMPARE(after.hValue, before.hValue);
    QCOMPARE(after.frame, before.frame);
    QCOMPARE(after.toolmode, before.toolmode);
    QCOMPARE(after.busy, before.busy);
}

void dropOn(QWidget* target, QMimeData* data)
{
    QDropEvent drop(QPointF(3, 3), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

bool takesDrag(QWidget* target, QMimeData* data)
{
    QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

} // namespace

class OpenTest : public QObject
{
    Q_OBJECT
  private slots:
    void openPresetsDialogAndLoads();
    void cancelChangesNothing();
    void failedLoadKeepsPictureAndMarks_data();
    void failedLoadKeepsPictureAndMarks();
    void dropLoadsFirstOfThree_data();
    void dropLoadsFirstOfThree();
    void dropWithoutLocalFileRefused_data();
    void dropWithoutLocalFileRefused();
    void loadingKeepsEditingState();
};

void OpenTest::openPresetsDialogAndLoads()
{
    TestApp app;
    const QImage source = patternImage(120, 80, 2);
    const QString path = writeBmp(app.dir, QStringLiteral("first.bmp"), source);
    app.open(path);

    QCOMPARE(app.prompter.openRequests.size(), 1);
    QCOMPARE(app.prompter.openRequests[0].fileName, QString());
    QCOMPARE(app.prompter.openRequests[0].nameFilter,
             CommonDialog::toQtFilter(QStringLiteral("画像ファイル(*.jpg;*.bmp)|*.jpg;*.bmp")));
    QCOMPARE(app.main->settings().picpath, path);
    QVERIFY(sameRgb(app.shown(), source));
    // The surface takes the picture's size plus its one-pixel border, at the origin.
    QCOMPARE(app.picmain()->geometry(), QRect(0, 0, 122, 82));
    QCOMPARE(app.picmain()->ScaleWidth(), 120.0f * 15);
    QVERIFY(!app.find<ScrollBar>("HScroll")->isEnabled());
    QVERIFY(app.prompter.errors.isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    app.open(path);
    QCOMPARE(app.prompter.openRequests[1].fileName, path);
}

void OpenTest::cancelChangesNothing()
{
    TestApp app;
    app.open(writeBmp(app.dir, QStringLiteral("a.bmp"), patternImage(700, 600)));
    app.find<ScrollBar>("HScroll")->setValue(1000);
    const Snapshot before = Snapshot::of(app);
    app.main->mopen_Click(); // nothing queued: the dialog is cancelled
    compareSnapshots(Snapshot::of(app), before);
    QVERIFY(app.prompter.errors.isEmpty());
}

void OpenTest::failedLoadKeepsPictureAndMarks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        patternImage(200, 150).save(&buffer, "JPG");
    }
    QTest::newRow("missing file") << QStringLiteral("gone.jpg") << QByteArray();
    QTest::newRow("text file named .jpg") << QStringLiteral("notes.jpg") << QByteArray("hello");
    QTest::newRow("truncated jpeg") << QStringLiteral("half.jpg") << jpeg.left(jpeg.size() / 2);
}

void OpenTest::failedLoadKeepsPictureAndMarks()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    TestApp app;
    frmmain& m = *app.main;
    const QImage picture = patternImage(800, 600, 4);
    app.open(writeBmp(app.dir, QStringLiteral("work.bmp"), picture));
    app.find<ScrollBar>("HScroll")->setValue(900);
    // Marks on the picture and a showing selection frame.
    app.chooseColor(Qt::red);
    app.chooseFontSize(5);
    app.drawLine(QPoint(10, 10), QPoint(200, 133));
    QTest::mouseClick(app.button("btmcut"), Qt::LeftButton);
    m.picmain_MouseDown(1, 0, 300, 300);
    m.picmain_MouseMove(0, 0, 900, 750);
    const Snapshot before = Snapshot::of(app);
    QVERIFY(!sameRgb(before.image, picture));
    QVERIFY(before.frame.isValid());
    QVERIFY(before.busy);

    const QString path = app.dir.filePath(name);
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    app.open(path);

    compareSnapshots(Snapshot::of(app), before);
    QCOMPARE(app.prompter.errors.size(), 1);
    QVERIFY2(app.prompter.errors[0].contains(name), qPrintable(app.prompter.errors[0]));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void OpenTest::dropLoadsFirstOfThree_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::newRow("onto the viewport") << false;
    QTest::newRow("onto the picture") << true;
}

void OpenTest::dropLoadsFirstOfThree()
{
    QFETCH(bool, onPicture);
    TestApp app;
    frmmain& m = *app.main;
    const QString opened = writeBmp(app.dir, QStringLiteral("opened.bmp"), patternImage(50, 50));
    app.open(opened);
    QList<QUrl> urls;
    QList<QImage> pictures;
    for (int i = 0; i < 3; ++i) {
        pictures << patternImage(60 + i * 10, 40 + i * 5, i + 7);
        urls << QUrl::fromLocalFile(
            writeBmp(app.dir, QStringLiteral("drop%1.bmp").arg(i), pictures.last()));
    }
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = app.find(onPicture ? "picmain" : "base");
    QVERIFY(takesDrag(target, &data));
    dropOn(target, &data);

    QVERIFY(sameRgb(app.shown(), pictures[0]));
    QCOMPARE(app.picmain()->geometry(), QRect(0, 0, 62, 42));
    QCOMPARE(m.settings().picpath, opened); // a drop does not change the remembered path
    QVERIFY(app.prompter.errors.isEmpty());
}

void OpenTest::dropWithoutLocalFileRefused_data()
{
    QTest::addColumn<bool>("asText");
    QTest::newRow("plain text") << true;
    QTest::newRow("web address") << false;
}

void OpenTest::dropWithoutLocalFileRefused()
{
    QFETCH(bool, asText);
    TestApp app;
    app.open(writeBmp(app.dir, QStringLiteral("kept.bmp"), patternImage(90, 70)));
    const Snapshot before = Snapshot::of(app);
    QMimeData data;
    if (asText)
        data.setText(QStringLiteral("some words"));
    else
        data.setUrls({QUrl(QStringLiteral("https://example.com/a.jpg"))});
    for (const char* name : {"picmain", "base"}) {
        QVERIFY(!takesDrag(app.find(name), &data));
        dropOn(app.find(name), &data);
    }
    compareSnapshots(Snapshot::of(app), before);
    QVERIFY(app.prompter.errors.isEmpty());
}

void OpenTest::loadingKeepsEditingState()
{
    TestApp app;
    frmmain& m = *app.main;
    app.open(writeBmp(app.dir, QStringLiteral("one.bmp"), patternImage(200, 200)));
    QTest::mouseClick(app.button("btmcut"), Qt::LeftButton);
    m.picmain_MouseDown(1, 0, 150, 150);
    m.picmain_MouseMove(0, 0, 600, 450);
    const QRect frame = app.selectionFrame();
    QCOMPARE(frame, QRect(10, 10, 30, 20));
    const QString readout = app.panel(1);
    app.open(writeBmp(app.dir, QStringLiteral("two.bmp"), patternImage(300, 100, 1)));
    QCOMPARE(m.toolmode(), ToolMode::Cut);
    QVERIFY(m.activeTool()->busy());
    QCOMPARE(app.selectionFrame(), frame);
    QCOMPARE(app.panel(1), readout);
}

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
