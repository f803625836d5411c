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

QLineEdit* textbox(const MarkupApp& app)
{
    return app.find<QLineEdit>("textbox");
}

// The font dialog's answer: a face (the default one when empty), a size in
// points, bold and italic.
QFont fontOf(const QString& face, float size, bool bold = false, bool italic = false)
{
    QFont font;
    if (!face.isEmpty())
        font.setFamily(face);
    font.setPointSizeF(static_cast<double>(size));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
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
    void markupAndPreviewShowOnScreen();
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
    textbox(app)->setText(text);
    app.chooseFont(fontOf(QString(), fontSize, bold, italic));
    app.chooseColor(colour);
    app.choose("btmtext");

    QLabel* preview = app.textPreview();
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
    textbox(app)->setText(QStringLiteral("face"));
    const QString face = app.textPreview()->font().family();
    QVERIFY(!face.isEmpty());
    app.choose("btmtext");
    app.hover({20, 20});
    QCOMPARE(app.textPreview()->font().family(), face);

    app.chooseFont(fontOf(QStringLiteral("DejaVu Serif"), 8));
    app.hover({30, 20});
    QCOMPARE(app.textPreview()->font().family(), QStringLiteral("DejaVu Serif"));
}

void TestText::previewIsNeverPartOfTheImage()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    textbox(app)->setText(QStringLiteral("preview only"));
    app.chooseColor(Qt::red);
    app.choose("btmtext");
    app.hover({20, 20});
    app.hover({40, 30});
    QVERIFY(app.textPreview()->width() > 0);
    QVERIFY(sameRgb(app.shown(), picture));
    QCOMPARE(app.main->document().markedTiles(), 0);
}

void TestText::toolButtonHidesThePreview()
{
    MarkupApp app(whitePicture(200, 100));
    textbox(app)->setText(QStringLiteral("x"));
    app.choose("btmtext");
    app.hover({20, 20});
    QVERIFY(!app.textPreview()->geometry().isEmpty());
    app.choose("btmtext");
    QCOMPARE(app.textPreview()->geometry(), QRect(0, 0, 0, 0));
    QCOMPARE(textbox(app)->text(), QStringLiteral("x"));
}

void TestText::pressOnThePreviewReachesTheSurface()
{
    MarkupApp app(whitePicture(300, 150));
    textbox(app)->setText(QStringLiteral("WWWW"));
    app.choose("btmtext");
    app.hover({20, 20});
    QWindow* window = app.main->windowHandle();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    // Through the window system, as a user's press arrives: hit-testing finds
    // the surface, not the label standing over it.
    const QPoint overLabel(40, 30);
    QVERIFY(app.textPreview()->geometry().contains(overLabel));
    const QPoint inWindow = app.surface()->mapTo(app.main.get(), overLabel);
    QCOMPARE(app.main->childAt(inWindow), app.surface());
    QTest::mouseMove(window, inWindow);
    QCOMPARE(app.textPreview()->geometry().topLeft(), overLabel + QPoint(1, 1));
    QTest::mouseClick(window, Qt::LeftButton, {}, inWindow);
    QVERIFY(inkIn(app.shown(), app.textPreview()->geometry()) > 20);
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
    MarkupApp app(picture);
    if (declaredDpi > 0) {
        // A PNG keeps its resolution through the loader.
        const int perMetre = qRound(declaredDpi / 0.0254);
        picture.setDotsPerMeterX(perMetre);
        picture.setDotsPerMeterY(perMetre);
        const QString path = app.dir.filePath(QStringLiteral("declared.png"));
        QVERIFY(picture.save(path, "PNG"));
        app.main->openDroppedFile(LocalFileName::fromText(path));
        QCOMPARE(app.main->document().picture().dotsPerMeterX(), perMetre);
    }
    textbox(app)->setText(text);
    app.chooseColor(QColor(180, 20, 60));
    app.chooseFont(fontOf(face, 12, bold, italic));
    app.choose("btmtext");

    const QPoint at(25, 30);
    app.hover(at);
    // Where the preview reaches past the picture the surface shows no image.
    const QRect place = app.textPreview()->geometry().intersected(picture.rect());
    const QImage preview = app.surface()->grab(place).toImage();
    QVERIFY(inkIn(preview, preview.rect()) > 50);

    app.press(at);
    app.release(at);
    // Hidden preview: what the surface shows now is the printed text alone.
    app.choose("btmtext");
    const QImage shown = app.shown();
    const QImage printed = shown.copy(place);
    QCOMPARE(largestDifference(printed, preview), 0);
    // Nothing lands elsewhere, bar a glyph's overhang of a pixel or two.
    QCOMPARE(inkIn(shown, shown.rect()),
             inkIn(shown, place.adjusted(-2, -2, 2, 2).intersected(shown.rect())));
}

void TestText::japaneseTextPrintsAsGlyphs()
{
    MarkupApp app(whitePicture(360, 100));
    app.chooseFontSize(12);
    app.choose("btmtext");
    // Missing glyphs would all print as the same box; real ones differ.
    QList<QImage> shapes;
    const QStringList characters = {QStringLiteral("日"), QStringLiteral("本"), QStringLiteral("ｱ"),
                                    QStringLiteral("語")};
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const QPoint at(10 + 80 * static_cast<int>(i), 10);
        textbox(app)->setText(characters[i]);
        app.hover(at);
        const QRect place = app.textPreview()->geometry();
        app.press(at);
        const QImage shape = app.shown().copy(place);
        QVERIFY2(inkIn(shape, shape.rect()) > 30, qPrintable(characters[i]));
        for (const QImage& other : shapes)
            QVERIFY2(shape != other, qPrintable(characters[i]));
        shapes << shape;
    }
}

void TestText::emptyTextPrintsNothing()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    app.choose("btmtext");
    app.hover({20, 20});
    QCOMPARE(app.textPreview()->width(), 0);
    app.press({20, 20});
    QVERIFY(sameRgb(app.shown(), picture));
}

void TestText::printedTextIsErased()
{
    const QImage picture = markupPicture(200, 100);
    MarkupApp app(picture);
    textbox(app)->setText(QStringLiteral("消す"));
    app.choose("btmtext");
    app.hover({20, 20});
    app.press({20, 20});
    QVERIFY(!sameRgb(app.shown(), picture));

    app.choose("btmerase");
    app.press({0, 0});
    for (int y = 10; y < 80; y += 10)
        for (int x = 10; x < 140; x += 10)
            app.hover({x, y});
    QString difference;
    QVERIFY2(sameRgb(app.shown(), picture, &difference), qPrintable(difference));
    QCOMPARE(textbox(app)->text(), QStringLiteral("消す"));
}

void TestText::printedTextIsInTheNextCut()
{
    MarkupApp app(whitePicture(300, 150));
    textbox(app)->setText(QStringLiteral("Cut 切"));
    app.chooseColor(QColor(0, 0, 255));
    app.choose("btmtext");
    app.hover({40, 40});
    const QRect place = app.textPreview()->geometry();
    app.press({40, 40});
    const QImage shown = app.shown();
    QVERIFY(inkIn(shown, place) > 50);

    // The preview, still showing, must not get into the piece either.
    app.hover({100, 60});
    app.choose("btmcut");
    app.press({30, 30});
    app.hover({250, 120});
    app.press({250, 120});
    const QImage piece = app.main->document().cuttedpic().image();
    QCOMPARE(piece.size(), QSize(220, 90));
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
    textbox(app)->setText(QStringLiteral("colour"));
    // The colour until one is chosen is black.
    const QColor before(Qt::black);
    const QColor textBefore = textbox(app)->palette().color(QPalette::Text);
    const QColor green(10, 160, 40);
    if (chosen)
        app.prompter.colors.push_back(green);
    QTest::mouseClick(app.button("btmcolor"), Qt::LeftButton);
    QCOMPARE(app.prompter.colorRequests.size(), 1);
    QCOMPARE(app.prompter.colorRequests[0], before); // the dialog starts at the colour in use

    const QColor expected = chosen ? green : before;
    QCOMPARE(textbox(app)->palette().color(QPalette::Text), chosen ? green : textBefore);
    // The Text tool picks the colour up at its next use.
    app.choose("btmtext");
    app.hover({10, 10});
    QCOMPARE(app.textPreview()->palette().color(QPalette::WindowText), expected);
    app.press({10, 10});
    bool found = false;
    const QImage shown = app.shown();
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
    // Until a face is chosen, text takes the default one.
    const QString faceBefore = QFont().family();
    QFont serif(QStringLiteral("DejaVu Serif"), 10);
    serif.setBold(true);
    if (chosen)
        app.prompter.fonts.push_back(serif);
    QTest::mouseClick(app.button("btmfont"), Qt::LeftButton);

    // Size 10 gives 20-point text; 8 stays 16.
    textbox(app)->setText(QStringLiteral("size"));
    app.choose("btmtext");
    app.hover({10, 10});
    const QFont font = app.textPreview()->font();
    QCOMPARE(font.family(), chosen ? QStringLiteral("DejaVu Serif") : faceBefore);
    QCOMPARE(font.pointSizeF(), chosen ? 20.0 : 16.0);
    QCOMPARE(font.bold(), chosen);
    const QRect place = app.textPreview()->geometry();
    const QImage preview = app.surface()->grab(place).toImage();
    QVERIFY(inkIn(preview, preview.rect()) > 20);

    // The press prints in the same face and size as the preview shows.
    app.press({10, 10});
    app.choose("btmtext");
    QCOMPARE(largestDifference(app.shown().copy(place), preview), 0);
}

void TestText::markupAndPreviewShowOnScreen()
{
    const QImage picture = markupPicture(420, 380);
    MarkupApp app(picture);
    const QColor strokeColour(200, 0, 40);
    const QColor previewColour(0, 60, 220);
    app.chooseColor(strokeColour);
    app.chooseFontSize(6);
    app.choose("btmdraw");
    app.stroke({{30, 200}, {80, 150}, {150, 220}, {220, 160}});
    textbox(app)->setText(QStringLiteral("日本語テキスト"));
    app.chooseFont(fontOf(QString(), 12, false, true));
    app.choose("btmtext");
    app.hover({30, 40});
    app.press({30, 40});
    app.chooseColor(previewColour);
    app.hover({60, 260});
    QApplication::processEvents();
    saveScreenshot(app.main.get(), QStringLiteral("markup"));

    // As the user sees it: the stroke and the printed text on the picture, and
    // the preview floating over it in its own colour.
    const QImage seen = app.surface()->grab().toImage();
    const QImage shown = app.shown();
    QCOMPARE(seen.pixel(80, 150) & 0xffffff, strokeColour.rgb() & 0xffffff);
    QVERIFY(sameRgb(seen.copy(0, 0, 420, 120), shown.copy(0, 0, 420, 120)));
    QVERIFY(!sameRgb(shown.copy(0, 0, 420, 120), picture.copy(0, 0, 420, 120)));
    int previewInk = 0;
    const QRect place = app.textPreview()->geometry();
    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left(); x <= place.right(); ++x)
            previewInk += sameColour(seen.pixel(x, y), previewColour.rgb()) &&
                                  !sameColour(shown.pixel(x, y), previewColour.rgb())
                              ? 1
                              : 0;
    QVERIFY2(previewInk > 30, qPrintable(QString::number(previewInk)));
}

QTEST_MAIN(TestText)
#include "tst_text.moc"
