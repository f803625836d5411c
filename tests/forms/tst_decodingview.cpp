// A picture on the surface while it decodes: its top rows are painted before
// the load ends, input sent meanwhile waits for the end and then acts on the
// new picture, and a file that stops half-way leaves the picture before it,
// its marks and its zoom as they were.

#include "jpegcheck.h"
#include "testpictures.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>

namespace {

// Counts the paints of the surface made while a picture was still decoding,
// and keeps the last one's picture rows.
class LoadingPaints : public QObject
{
  public:
    explicit LoadingPaints(const PictureBox& box) : m_box(box)
    {
        box.client()->installEventFilter(this);
    }
    int partial = 0;
    int rowsAtFirst = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_box.isLoading() &&
            m_box.loadedRows() < m_box.client()->height()) {
            if (partial++ == 0)
                rowsAtFirst = m_box.loadedRows();
        }
        return false;
    }

  private:
    const PictureBox& m_box;
};

struct Window : TestApp
{
    Window()
    {
        main->show();
        exposed = QTest::qWaitForWindowExposed(main.get());
    }
    QString jpeg(const QString& name, const QImage& picture)
    {
        const QString path = dir.filePath(name);
        picture.save(path, "JPG", 92);
        return path;
    }
    bool exposed = false;
};

} // namespace

class DecodingViewTest : public QObject
{
    Q_OBJECT
  private slots:
    void topRowsShowBeforeTheEnd();
    void inputWaitsForTheLoad();
    void fileCutShortKeepsWhatWasThere();
};

void DecodingViewTest::topRowsShowBeforeTheEnd()
{
    Window w;
    QVERIFY(w.exposed);
    // Large enough that decoding it takes many of the waits between paints.
    const QString path = w.jpeg(QStringLiteral("tall.jpg"), patternImage(3000, 6000, 4));
    const LoadingPaints paints(*w.picmain());
    w.main->openDroppedFile(LocalFileName::fromText(path));
    QVERIFY2(paints.partial > 0, "nothing was painted before the picture was whole");
    QVERIFY(paints.rowsAtFirst < 6000);
    QVERIFY(!w.picmain()->isLoading());
    // What the surface shows at the end is the picture, decoded as the file says.
    QVERIFY(sameRgb(w.shown(), decodeJpeg(fileBytes(path)).image));
    QCOMPARE(w.surface()->size(), QSize(3000, 6000));
}

void DecodingViewTest::inputWaitsForTheLoad()
{
    Window w;
    const QImage picture = patternImage(2000, 3000, 2);
    const QString path = w.jpeg(QStringLiteral("new.jpg"), picture);
    w.main->openDroppedFile(
        LocalFileName::fromText(w.jpeg(QStringLiteral("old.jpg"), patternImage(300, 200, 1))));
    w.button("btmcut")->click();
    // A cut sent while the load runs: it waits, and then cuts the new picture.
    QWidget* surface = w.surface();
    const auto post = [surface](QEvent::Type type, QPoint at) {
        QCoreApplication::postEvent(
            surface,
            new QMouseEvent(type, at, surface->mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                            Qt::NoModifier));
    };
    post(QEvent::MouseButtonPress, QPoint(250, 150));
    post(QEvent::MouseButtonRelease, QPoint(250, 150));
    post(QEvent::MouseMove, QPoint(400, 300));
    post(QEvent::MouseButtonPress, QPoint(400, 300));
    post(QEvent::MouseButtonRelease, QPoint(400, 300));
    w.main->openDroppedFile(LocalFileName::fromText(path));
    QCOMPARE(w.main->document().cuttedpic().size(), QSize(97, 97)); // not yet
    QApplication::processEvents();
    const QImage expected = decodeJpeg(fileBytes(path)).image.copy(250, 150, 150, 150);
    QString difference;
    QVERIFY2(sameRgb(w.main->document().cuttedpic().image(), expected, &difference),
             qPrintable(difference));
}

void DecodingViewTest::fileCutShortKeepsWhatWasThere()
{
    Window w;
    w.main->openDroppedFile(
        LocalFileName::fromText(w.jpeg(QStringLiteral("before.jpg"), patternImage(400, 300, 3))));
    w.drawLine(QPoint(10, 10), QPoint(300, 200));
    w.main->zoomIn();
    const QImage marked = w.shown();
    const QRect geometry = w.picmain()->geometry();
    // Every row up to the middle is in the file; the rest is not.
    const QString whole = w.jpeg(QStringLiteral("whole.jpg"), patternImage(2500, 4000, 7));
    QByteArray bytes = fileBytes(whole);
    bytes.truncate(bytes.size() / 2);
    const QString cut = w.dir.filePath(QStringLiteral("cut.jpg"));
    QFile file(cut);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const LoadingPaints paints(*w.picmain());
    w.main->openDroppedFile(LocalFileName::fromText(cut));
    QCOMPARE(w.prompter.errors.size(), 1);
    QVERIFY(paints.partial > 0); // it showed while it decoded, then went back
    QVERIFY(!w.picmain()->isLoading());
    QVERIFY(sameRgb(w.shown(), marked));
    QCOMPARE(w.picmain()->zoom(), 2.0);
    QCOMPARE(w.picmain()->geometry(), geometry);
    QVERIFY(w.main->document().canUndo());
}

QTEST_MAIN(DecodingViewTest)
#include "tst_decodingview.moc"
