// Pictures large enough to live in their own 2 MiB-page memory: they must
// behave exactly like ordinary images when loaded, copied, marked and erased.

#include "document/picturedocument.h"
#include "input/pictureloader.h"
#include "input/picturememory.h"
#include "testpictures.h"

#include <QTest>

class PictureMemoryTest : public QObject
{
    Q_OBJECT
  private slots:
    void newImageIsWritable_data();
    void newImageIsWritable();
    void copyIsExactAndIndependent();
    void pictureFreedWhileItsPagesAreFilled();
    void largeBmpLoadsExactly_data();
    void largeBmpLoadsExactly();
    void markingLargePictureKeepsLoadedPicture();
};

void PictureMemoryTest::newImageIsWritable_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small, ordinary memory") << QSize(3, 2);
    QTest::newRow("large, own memory") << QSize(2000, 1500);
}

void PictureMemoryTest::newImageIsWritable()
{
    QFETCH(QSize, size);
    QImage image = newPictureImage(size.width(), size.height());
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.bytesPerLine(), qsizetype(size.width()) * 4);
    image.fill(qRgb(1, 2, 3));
    image.setPixel(size.width() - 1, size.height() - 1, qRgb(200, 100, 50));
    QCOMPARE(image.pixel(0, 0), qRgb(1, 2, 3));
    QCOMPARE(image.pixel(size.width() - 1, size.height() - 1), qRgb(200, 100, 50));
    QVERIFY(newPictureImage(0, 5).isNull());
}

void PictureMemoryTest::pictureFreedWhileItsPagesAreFilled()
{
    // A decode that fails at once frees the picture while the pages are still
    // being filled in; freeing must wait for that and leave nothing behind.
    for (int i = 0; i < 20; ++i) {
        QImage image = newPictureImage(8000, 6000);
        QVERIFY(!image.isNull());
        image.setPixel(7999, 5999, qRgb(9, 8, 7));
        QCOMPARE(image.pixel(7999, 5999), qRgb(9, 8, 7));
    }
}

void PictureMemoryTest::copyIsExactAndIndependent()
{
    const QImage source = patternImage(1800, 1400, 5);
    QImage copy = copyPictureImage(source);
    QString difference;
    QVERIFY2(sameRgb(copy, source, &difference), qPrintable(difference));
    QCOMPARE(copy.dotsPerMeterX(), source.dotsPerMeterX());
    copy.setPixel(7, 9, qRgb(255, 0, 0));
    QCOMPARE(source.pixel(7, 9), patternImage(1800, 1400, 5).pixel(7, 9));
}

void PictureMemoryTest::largeBmpLoadsExactly_data()
{
    QTest::addColumn<int>("width");
    // Widths leaving 0, 1, 2 and 3 pixels after the groups of four.
    QTest::newRow("2100 wide") << 2100;
    QTest::newRow("2101 wide") << 2101;
    QTest::newRow("2102 wide") << 2102;
    QTest::newRow("2103 wide") << 2103;
}

void PictureMemoryTest::largeBmpLoadsExactly()
{
    QFETCH(int, width);
    QTemporaryDir dir;
    const QImage source = patternImage(width, 1100, 3);
    const PictureLoad load = loadPicture(writeBmp(dir, QStringLiteral("large.bmp"), source));
    QVERIFY2(load.ok(), qPrintable(load.error));
    QString difference;
    QVERIFY2(sameRgb(load.image, source, &difference), qPrintable(difference));
    QCOMPARE(load.image.pixel(0, 0) >> 24, 0xffu);
}

void PictureMemoryTest::markingLargePictureKeepsLoadedPicture()
{
    QTemporaryDir dir;
    const QImage source = patternImage(2200, 1200, 8);
    const PictureLoad load = loadPicture(writeBmp(dir, QStringLiteral("mark.bmp"), source));
    QVERIFY(load.ok());
    PictureDocument document(QSize(97, 97));
    document.setPicture(load.image);
    document.drawSegment(QPointF(10, 20), QPointF(300, 20), Pen{Qt::red, 5});

    QCOMPARE(document.marked(QRect(150, 20, 1, 1)).pixel(0, 0), qRgb(255, 0, 0));
    QString difference;
    QVERIFY2(sameRgb(document.picture(), source, &difference), qPrintable(difference));
    QVERIFY2(sameRgb(document.marked(QRect(0, 40, 2200, 1160)), source.copy(0, 40, 2200, 1160),
                     &difference),
             qPrintable(difference));

    // Erasing brings the loaded picture's pixels back.
    document.erase(QRect(0, 0, 400, 40));
    QVERIFY2(sameRgb(document.marked(document.rect()), source, &difference),
             qPrintable(difference));
}

QTEST_MAIN(PictureMemoryTest)
#include "tst_picturememory.moc"
