// The Text tool, the colour button and the font button, driven through the
// real widgets: the preview's place and look, the printed text matching it,
// and the dialogs' choices reaching both.

#include "markuptest.h"
#include "units/twips.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>

namespace {

QImage whitePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Pixels of a region that differ from plain white.
int inkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += sameColour(image.pixel(x, y), qRgb(255, 255, 255)) ? 0 : 1;
    return ink;
}

// Largest difference of any colour channel between two images of one size.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// The preview's pixel rectangle for a pointer at pixel (x, y), worked out from
// twips by hand: 10 twips is two thirds of a pixel, which rounds to one.
QRect previewRect(QPoint at, float fontSize, int characters)
{
    const auto px = [](double value) { return static_cast<int>(std::nearbyint(value / 15.0)); };
    return QRect(px(at.x() * 15.0 + 10), px(at.y() * 15.0 + 10), px(fontSize * characters * 70.0),
                 px(fontSize * 70.0));
}

} // namespace

class TestText : public QObject
{
    Q_OBJECT

  private slots:
    void previewFollowsThePointer_data();
    void previewFollowsThePointer();
    void previewKeepsItsFaceUntilOneIsChosen();
    void previewIsNeverPartOfTheImage();
    void toolButtonHidesThePreview();
    void pressOnThePreviewReachesTheSurface();
    void printedTextMatchesThePreview_data();
    void printedTextMatchesThePreview();
    void japaneseTextPrintsAsGlyphs();
    void emptyTextPrintsNothing();
    void printedTextIsErased();
    void printedTextIsInTheNextCut();
    void colourChoice_data();
    void colourChoice();
    void fontChoice_data();
    void fontChoice();
    void screenshot();
};

void TestText::previewFollowsThePointer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("fontSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("start settings")
        << QStringLiteral("Snip") << 8.0f << false << false << QColor(Qt::black);
    QTest::newRow("size 10 bold red")
        << QStringLiteral("abc") << 10.0f << true << false << QColor(200, 0, 0);
    QTest::newRow("Japanese italic")
        << QStringLiteral("日本語") << 12.5f << false << true << QColor(0, 90, 200);
    QTest::newRow("empty") << QString() << 8.0f << false << false << QColor(Qt::black);
}

void TestText::previewFollowsThePointer()
{
    QFETCH(QString, text);
    QFETCH(float, fontSize);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QColor, colour);
    MarkupApp app(whitePicture(300, 200));
    app.main->textbox->setText(text);
    app.main->dialog.FontSize = fontSize;
    app.main->dialog.FontBold = bold;
    app.main->dialog.FontItalic = italic;
    app.main->dialog.Color = colour;
    app.choose(app.main->btmtext);

    QLabel* preview = app.main->textimage;
    for (const QPoint at : {QPoint(30, 40), QPoint(101, 7), QPoint(250, 180)}) {
        app.hover(at);
        QCOMPARE(preview->geometry(), previewRect(at, fontSize, text.size()));
    }
    QCOMPARE(preview->text(), text);
    QCOMPARE(preview->font().pointSizeF(), 2.0 * fontSize);
    QCOMPARE(preview->font().bold(), bold);
    QCOMPARE(preview->font().italic(), italic);
    QCOMPARE(preview->palette().color(QPalette::WindowText), colour);
}

void TestText::previewKeepsItsFaceUntilOneIsChosen()
{
    MarkupApp app(whitePicture(200, 100));
    app.main->textbox->setText(QStringLiteral("face"));
    const QString face = app.main->textimage->font().family();
    QVERIFY(!face.isEmpty());
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    QCOMPARE(app.main->textimage->font().family(), face);

    app.main->dialog.FontName = QStringLiteral("DejaVu Serif");
    app.hover({30, 20});
    QCOMPARE(app.main->textimage->font().family(), QStringLiteral("DejaVu Serif"));
}

void TestText::previewIsNeverPartOfTheImage()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    app.main->textbox->setText(QStringLiteral("preview only"));
    app.main->dialog.Color = Qt::red;
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    app.hover({40, 30});
    QVERIFY(app.main->textimage->width() > 0);
    QVERIFY(sameRgb(app.main->picmain->image(), picture));
}

void TestText::toolButtonHidesThePreview()
{
    MarkupApp app(whitePicture(200, 100));
    app.main->textbox->setText(QStringLiteral("x"));
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    QVERIFY(!app.main->textimage->geometry().isEmpty());
    app.choose(app.main->btmtext);
    QCOMPARE(app.main->textimage->geometry(), QRect(0, 0, 0, 0));
    QCOMPARE(app.main->textbox->text(), QStringLiteral("x"));
}

void TestText::pressOnThePreviewReachesTheSurface()
{
    MarkupApp app(whitePicture(300, 150));
    app.main->textbox->setText(QStringLiteral("WWWW"));
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    QWindow* window = app.main->windowHandle();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    // Through the window system, as a user's press arrives: hit-testing finds
    // the surface, not the label standing over it.
    const QPoint overLabel(40, 30);
    QVERIFY(app.main->textimage->geometry().contains(overLabel));
    const QPoint inWindow = app.surface()->mapTo(app.main.get(), overLabel);
    QCOMPARE(app.main->childAt(inWindow), app.surface());
    QTest::mouseMove(window, inWindow);
    QCOMPARE(app.main->textimage->geometry().topLeft(), overLabel + QPoint(1, 1));
    QTest::mouseClick(window, Qt::LeftButton, {}, inWindow);
    QVERIFY(inkIn(app.main->picmain->image(), app.main->textimage->geometry()) > 20);
}

void TestText::printedTextMatchesThePreview_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("declaredDpi");
    QTest::newRow("Latin") << QStringLiteral("Snipwell") << false << false << QString() << 0;
    QTest::newRow("Latin bold italic")
        << QStringLiteral("Snip, gjq!") << true << true << QString() << 0;
    QTest::newRow("Japanese") << QStringLiteral("切り取りﾃｷｽﾄ") << false << false << QString() << 0;
    QTest::newRow("serif face, Japanese falls back")
        << QStringLiteral("Aa 日本") << true << false << QStringLiteral("DejaVu Serif") << 0;
    QTest::newRow("picture declaring 300 dpi")
        << QStringLiteral("Snip 300") << false << false << QString() << 300;
}

void TestText::printedTextMatchesThePreview()
{
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, face);
    QFETCH(int, declaredDpi);
    QImage picture = whitePicture(400, 120);
    if (declaredDpi > 0) {
        picture.setDotsPerMeterX(qRound(declaredDpi / 0.0254));
        picture.setDotsPerMeterY(qRound(declaredDpi / 0.0254));
    }
    MarkupApp app(picture);
    app.main->textbox->setText(text);
    app.main->dialog.Color = QColor(180, 20, 60);
    app.main->dialog.FontSize = 12;
    app.main->dialog.FontBold = bold;
    app.main->dialog.FontItalic = italic;
    if (!face.isEmpty()) {
        app.prompter.fonts.push_back(QFont(face, 12));
        QTest::mouseClick(app.main->btmfont, Qt::LeftButton);
        app.main->dialog.FontBold = bold;
        app.main->dialog.FontItalic = italic;
    }
    app.choose(app.main->btmtext);

    const QPoint at(25, 30);
    app.hover(at);
    // Where the preview reaches past the picture the surface shows no image.
    const QRect place =
        app.main->textimage->geometry().intersected(app.main->picmain->image().rect());
    const QImage preview = app.surface()->grab(place).toImage();
    QVERIFY(inkIn(preview, preview.rect()) > 50);

    app.press(at);
    app.release(at);
    // Hidden preview: what the surface shows now is the printed text alone.
    app.choose(app.main->btmtext);
    const QImage shown = app.main->picmain->image();
    const QImage printed = shown.copy(place);
    QCOMPARE(largestDifference(printed, preview), 0);
    // Nothing lands elsewhere, bar a glyph's overhang of a pixel or two.
    QCOMPARE(inkIn(shown, shown.rect()),
             inkIn(shown, place.adjusted(-2, -2, 2, 2).intersected(shown.rect())));
}

void TestText::japaneseTextPrintsAsGlyphs()
{
    MarkupApp app(whitePicture(300, 100));
    app.main->dialog.FontSize = 12;
    app.choose(app.main->btmtext);
    // Missing glyphs would all print as the same box; real ones differ.
    QList<QImage> shapes;
    for (const QString& character :
         {QStringLiteral("日"), QStringLiteral("本"), QStringLiteral("ｱ"), QStringLiteral("語")}) {
        app.main->picmain->Cls();
        app.main->textbox->setText(character);
        app.hover({10, 10});
        const QRect place = app.main->textimage->geometry();
        app.press({10, 10});
        const QImage shape = app.main->picmain->image().copy(place);
        QVERIFY2(inkIn(shape, shape.rect()) > 30, qPrintable(character));
        for (const QImage& other : shapes)
            QVERIFY2(shape != other, qPrintable(character));
        shapes << shape;
    }
}

void TestText::emptyTextPrintsNothing()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    QCOMPARE(app.main->textimage->width(), 0);
    app.press({20, 20});
    QVERIFY(sameRgb(app.main->picmain->image(), picture));
}

void TestText::printedTextIsErased()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    app.main->textbox->setText(QStringLiteral("消す"));
    app.choose(app.main->btmtext);
    app.hover({20, 20});
    app.press({20, 20});
    QVERIFY(!sameRgb(app.main->picmain->image(), picture));

    app.choose(app.main->btmerase);
    app.press({0, 0});
    for (int y = 10; y < 80; y += 10)
        for (int x = 10; x < 140; x += 10)
            app.hover({x, y});
    QString difference;
    QVERIFY2(sameRgb(app.main->picmain->image(), picture, &difference), qPrintable(difference));
    QCOMPARE(app.main->textbox->text(), QStringLiteral("消す"));
}

void TestText::printedTextIsInTheNextCut()
{
    MarkupApp app(whitePicture(300, 150));
    app.main->textbox->setText(QStringLiteral("Cut 切"));
    app.main->dialog.Color = QColor(0, 0, 255);
    app.choose(app.main->btmtext);
    app.hover({40, 40});
    const QRect place = app.main->textimage->geometry();
    app.press({40, 40});
    const QImage shown = app.main->picmain->image().copy();
    QVERIFY(inkIn(shown, place) > 50);

    // The preview, still showing, must not get into the piece either.
    app.hover({100, 60});
    const QSize pieceBefore = app.main->cuttedpic->image().size();
    app.choose(app.main->btmcut);
    app.press({30, 30});
    app.hover({250, 120});
    app.press({250, 120});
    const QImage piece = app.main->cuttedpic->image();
    if (piece.size() == pieceBefore)
        QSKIP("the Cut tool does not make pieces yet");
    QString difference;
    QVERIFY2(sameRgb(piece, shown.copy(QRect(30, 30, 220, 90)), &difference),
             qPrintable(difference));
    QVERIFY(inkIn(piece, piece.rect()) > 50);
}

void TestText::colourChoice_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
}

void TestText::colourChoice()
{
    QFETCH(bool, chosen);
    MarkupApp app(whitePicture(200, 100));
    app.main->textbox->setText(QStringLiteral("colour"));
    const QColor before = app.main->dialog.Color;
    const QColor textBefore = app.main->textbox->palette().color(QPalette::Text);
    const QColor green(10, 160, 40);
    if (chosen)
        app.prompter.colors.push_back(green);
    QTest::mouseClick(app.main->btmcolor, Qt::LeftButton);
    QCOMPARE(app.prompter.colorRequests.size(), 1);

    const QColor expected = chosen ? green : before;
    QCOMPARE(app.main->dialog.Color, expected);
    QCOMPARE(app.main->textbox->palette().color(QPalette::Text), chosen ? green : textBefore);
    // The Text tool picks the colour up at its next use.
    app.choose(app.main->btmtext);
    app.hover({10, 10});
    QCOMPARE(app.main->textimage->palette().color(QPalette::WindowText), expected);
    app.press({10, 10});
    bool found = false;
    const QImage shown = app.main->picmain->image();
    for (int y = 0; y < shown.height() && !found; ++y)
        for (int x = 0; x < shown.width() && !found; ++x)
            found = sameColour(shown.pixel(x, y), expected.rgb());
    QVERIFY(found);
}

void TestText::fontChoice_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
}

void TestText::fontChoice()
{
    QFETCH(bool, chosen);
    MarkupApp app(whitePicture(200, 100));
    const QString faceBefore = app.main->picmain->Font.family();
    QFont serif(QStringLiteral("DejaVu Serif"), 10);
    serif.setBold(true);
    if (chosen)
        app.prompter.fonts.push_back(serif);
    QTest::mouseClick(app.main->btmfont, Qt::LeftButton);
    QCOMPARE(app.main->dialog.Flags, 1);

    if (chosen) {
        QCOMPARE(app.main->dialog.FontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(app.main->dialog.FontSize, 10.0f);
        QVERIFY(app.main->dialog.FontBold);
        QCOMPARE(app.main->picmain->Font.family(), QStringLiteral("DejaVu Serif"));
    } else {
        QVERIFY(app.main->dialog.FontName.isEmpty());
        QCOMPARE(app.main->dialog.FontSize, 8.0f);
        QVERIFY(!app.main->dialog.FontBold);
        QCOMPARE(app.main->picmain->Font.family(), faceBefore);
    }
    // Size 10 gives 20-point text; 8 stays 16.
    app.main->textbox->setText(QStringLiteral("size"));
    app.choose(app.main->btmtext);
    app.hover({10, 10});
    QCOMPARE(app.main->textimage->font().pointSizeF(), chosen ? 20.0 : 16.0);
    app.press({10, 10});
    QCOMPARE(app.main->picmain->Font.pointSizeF(), chosen ? 20.0 : 16.0);
}

void TestText::screenshot()
{
    MarkupApp app(markupPicture(420, 380));
    app.prompter.colors.push_back(QColor(200, 0, 40));
    QTest::mouseClick(app.main->btmcolor, Qt::LeftButton);
    app.main->dialog.FontSize = 6;
    app.choose(app.main->btmdraw);
    app.stroke({{30, 200}, {80, 150}, {150, 220}, {220, 160}});
    app.main->textbox->setText(QStringLiteral("日本語テキスト"));
    app.main->dialog.FontSize = 12;
    app.main->dialog.FontItalic = true;
    app.choose(app.main->btmtext);
    app.hover({30, 40});
    app.press({30, 40});
    app.main->dialog.Color = QColor(0, 60, 220);
    app.hover({60, 260});
    QApplication::processEvents();
    saveScreenshot(app.main.get(), QStringLiteral("markup"));
}

QTEST_MAIN(TestText)
#include "tst_text.moc"
