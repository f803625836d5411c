// The picture document on its own: marks make only the tiles they touch
// pixels of their own, the loaded picture never changes, erasing whole tiles
// gives them back, and pieces are cut from the marked picture. Also the rule
// of which windows take input while a dialog is shown.

#include "document/picturedocument.h"
#include "forms/windowdiscipline.h"
#include "testpictures.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// Three by three tiles, the last row and column cut short.
const QSize kSize(700, 600);
const Pen kPen{QColor(200, 30, 90), 7};

// The same stroke on a plain copy of the whole picture, between pixel centres.
QImage paintedAlone(const QImage& picture, QPoint from, QPoint to)
{
    QImage expected = picture.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kPen.color, kPen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    return expected;
}

QImage white(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

class DocumentTest : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void marksOwnOnlyTheTilesTheyTouch();
    void segmentAcrossTileBordersAsOnOnePicture();
    void erasingWholeTilesGivesThemBack();
    void cut_data();
    void cut();
    void clearPieceKeepsItsSize();
    void disciplineDisablesAllButTheShownWindow();

  private:
    QImage m_picture;
    std::unique_ptr<PictureDocument> m_document;
};

void DocumentTest::init()
{
    m_picture = patternImage(kSize.width(), kSize.height(), 3);
    m_document = std::make_unique<PictureDocument>(QSize(97, 97));
    m_document->setPicture(m_picture);
}

void DocumentTest::marksOwnOnlyTheTilesTheyTouch()
{
    QCOMPARE(m_document->markedTiles(), 0);
    QSignalSpy changed(m_document.get(), &PictureDocument::changed);
    m_document->drawSegment(QPointF(20, 20), QPointF(60, 40), kPen);
    QCOMPARE(m_document->markedTiles(), 1);
    QCOMPARE(changed.size(), 1);
    QVERIFY(m_picture.rect().contains(changed.first().first().toRect()));
    // Across the border between the first two tiles of the top row.
    m_document->drawSegment(QPointF(240, 100), QPointF(280, 100), kPen);
    QCOMPARE(m_document->markedTiles(), 2);
    // A long diagonal passes by the corner tiles of its bounding box.
    m_document->drawSegment(QPointF(0, 0), QPointF(699, 599), kPen);
    QCOMPARE(m_document->markedTiles(), 5);
    QVERIFY(sameRgb(m_document->picture(), m_picture));
}

void DocumentTest::segmentAcrossTileBordersAsOnOnePicture()
{
    // Across four tiles, and a dot on the corner where they meet.
    const QPoint from(230, 300), to(290, 200);
    m_document->drawSegment(from, to, kPen);
    m_document->drawSegment(QPointF(255.5, 255.5), QPointF(255.5, 255.5), kPen);
    QImage expected = paintedAlone(m_picture, from, to);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kPen.color);
        painter.drawEllipse(QPointF(256, 256), kPen.width / 2.0, kPen.width / 2.0);
    }
    QString difference;
    QVERIFY2(sameRgb(m_document->marked(m_document->rect()), expected, &difference),
             qPrintable(difference));
    // Areas across tile borders.
    for (const QRect& area :
         {QRect(250, 250, 20, 20), QRect(0, 250, 700, 12), QRect(511, 0, 2, 600)})
        QVERIFY(sameRgb(m_document->marked(area), expected.copy(area)));
    QVERIFY(sameRgb(m_document->picture(), m_picture));
}

void DocumentTest::erasingWholeTilesGivesThemBack()
{
    m_document->drawSegment(QPointF(10, 10), QPointF(500, 10), kPen);
    QCOMPARE(m_document->markedTiles(), 2);
    // Part of a tile: the pixels come back, the tile keeps pixels of its own.
    m_document->erase(QRect(0, 0, 256, 8));
    QCOMPARE(m_document->markedTiles(), 2);
    m_document->erase(QRect(0, 0, 256, 256));
    QCOMPARE(m_document->markedTiles(), 1);
    m_document->erase(QRect(250, 0, 300, 40));
    QCOMPARE(m_document->markedTiles(), 1);
    QVERIFY(sameRgb(m_document->marked(m_document->rect()), m_picture));
    m_document->erase(QRect(256, 0, 256, 256));
    QCOMPARE(m_document->markedTiles(), 0);
}

void DocumentTest::cut_data()
{
    QTest::addColumn<QRect>("area");
    QTest::newRow("inside, across tiles") << QRect(240, 250, 40, 30);
    QTest::newRow("past the bottom right corner") << QRect(690, 590, 30, 20);
    QTest::newRow("before the top left corner") << QRect(-5, -8, 10, 20);
    QTest::newRow("wholly outside") << QRect(800, 10, 10, 10);
    QTest::newRow("no width") << QRect(10, 10, 0, 10);
}

void DocumentTest::cut()
{
    QFETCH(QRect, area);
    m_document->drawSegment(QPointF(230, 260), QPointF(700, 600), kPen);
    QSignalSpy pieceChanged(m_document.get(), &PictureDocument::pieceChanged);
    m_document->cut(area);
    QCOMPARE(pieceChanged.size(), 1);
    QCOMPARE(m_document->cuttedpic().size(), area.size());
    if (area.isEmpty()) {
        QVERIFY(m_document->cuttedpic().image().isNull());
        return;
    }
    // The marked pixels where the area meets the picture, white elsewhere.
    QImage expected = white(area.size());
    const QRect inside = area.intersected(m_document->rect());
    QPainter(&expected).drawImage(inside.topLeft() - area.topLeft(),
                                  paintedAlone(m_picture, {230, 260}, {700, 600}).copy(inside));
    QString difference;
    QVERIFY2(sameRgb(m_document->cuttedpic().image(), expected, &difference),
             qPrintable(difference));
}

void DocumentTest::clearPieceKeepsItsSize()
{
    QCOMPARE(m_document->cuttedpic().image().size(), QSize(97, 97));
    m_document->cut(QRect(5, 5, 30, 20));
    m_document->clearPiece();
    QCOMPARE(m_document->cuttedpic().size(), QSize(30, 20));
    QVERIFY(sameRgb(m_document->cuttedpic().image(), white(QSize(30, 20))));
}

void DocumentTest::disciplineDisablesAllButTheShownWindow()
{
    QWidget main, option, about, later;
    QList<QWidget*> open = {&main, &option, nullptr, &about};
    WindowDiscipline discipline([&open] { return open; });
    discipline.opened(&about);
    QVERIFY(!main.isEnabled() && !option.isEnabled());
    QVERIFY(about.isEnabled());
    // The windows are asked for anew: one opened meanwhile is enabled on closing too.
    later.setEnabled(false);
    open.append(&later);
    discipline.closed(&about);
    QVERIFY(main.isEnabled() && option.isEnabled() && about.isEnabled() && later.isEnabled());
}

QTEST_MAIN(DocumentTest)
#include "tst_document.moc"
