// The main window as designed: controls, menus, start-up state, the layout that
// follows the window's size, the reset of the editing state and "閉じる(&C)".

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "units/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
  private slots:
    void controlsStandAtTheirDesignedPlaces_data();
    void controlsStandAtTheirDesignedPlaces();
    void menusCarryTheirCaptionsAndMnemonics();
    void startsWithNoToolNoPictureAndEmptyPanels();
    void tabOrderFollowsTheDesign();
    void toolStripButtonsSayWhatTheyDo_data();
    void toolStripButtonsSayWhatTheyDo();
    void layoutFollowsTheOuterSize_data();
    void layoutFollowsTheOuterSize();
    void minimisedWindowKeepsItsLayout();
    void newactCollapsesFrameAndPreview();
    void closePictureClearsMarksAndCollapsesTheSurface();

  private:
    PictureBox* base() const { return app.find<PictureBox>("base"); }
    ScrollBar* bar(const char* name) const { return app.find<ScrollBar>(name); }

    TestApp app;
};

void MainWindowTest::controlsStandAtTheirDesignedPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipRect");
    QTest::newRow("btmfont") << "btmfont" << QRect(4560, 120, 495, 495);
    QTest::newRow("btmcolor") << "btmcolor" << QRect(3960, 120, 495, 495);
    QTest::newRow("textbox") << "textbox" << QRect(5640, 240, 1935, 270);
    QTest::newRow("btmsave") << "btmsave" << QRect(3240, 120, 495, 495);
    QTest::newRow("btmpaste") << "btmpaste" << QRect(2640, 120, 495, 495);
    QTest::newRow("btmerase") << "btmerase" << QRect(1920, 120, 495, 495);
    QTest::newRow("btmtext") << "btmtext" << QRect(1320, 120, 495, 495);
    QTest::newRow("btmdraw") << "btmdraw" << QRect(720, 120, 495, 495);
    QTest::newRow("btmcut") << "btmcut" << QRect(120, 120, 495, 495);
    QTest::newRow("Label1") << "Label1" << QRect(5160, 285, 615, 255);
}

void MainWindowTest::controlsStandAtTheirDesignedPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipRect);
    QWidget* widget = app.find(qPrintable(name));
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), QRect(twipRect.x() / 15, twipRect.y() / 15, twipRect.width() / 15,
                                       twipRect.height() / 15));
}

void MainWindowTest::menusCarryTheirCaptionsAndMnemonics()
{
    frmmain& main = *app.main;
    QCOMPARE(main.windowTitle(), QStringLiteral("Snipwell"));
    QStringList bar;
    for (QAction* action : main.menuBar()->actions())
        bar << action->text();
    QCOMPARE(bar, QStringList({"ファイル(&F)", "プレビュー(&P)", "オプション(&O)", "バージョン"}));
    QStringList file;
    for (QAction* action : app.find<QMenu>("mfile")->actions())
        file << action->text();
    QCOMPARE(file, QStringList({"開く(&O)", "保存(&S)", "閉じる(&C)"}));
    QCOMPARE(app.find<QLabel>("Label1")->text(), QStringLiteral("Text："));
    QCOMPARE(app.button("btmcolor")->text(), QStringLiteral("color"));
    QCOMPARE(app.button("btmfont")->text(), QStringLiteral("font"));
    for (const char* name : {"btmcut", "btmdraw", "btmtext", "btmerase", "btmpaste", "btmsave"}) {
        const QPushButton* button = app.button(name);
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
    }
}

void MainWindowTest::startsWithNoToolNoPictureAndEmptyPanels()
{
    frmmain& main = *app.main;
    QCOMPARE(main.toolmode(), ToolMode::None);
    QVERIFY(!main.activeTool());
    QCOMPARE(app.picmain()->size(), QSize(0, 0));
    QCOMPARE(bar("HScroll")->Max(), 0);
    QCOMPARE(bar("VScroll")->Max(), 0);
    QVERIFY(app.panel(1).isEmpty());
    QVERIFY(app.panel(2).isEmpty());
    QCOMPARE(app.textPreview()->size(), QSize(0, 0));
    QCOMPARE(app.selectionFrame().size(), QSize(0, 0));
    // The piece store holds a blank piece of its designed size, with no border.
    QCOMPARE(main.document().cuttedpic().image().size(), QSize(97, 97));
    QVERIFY(main.document().picture().isNull());

    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    saveScreenshot(&main, QStringLiteral("main-empty"));
    // The viewport shows nothing but its own background.
    QCOMPARE(coloursShown(base()->client()), 1);
    QTest::mouseClick(app.button("btmcut"), Qt::LeftButton);
    QCOMPARE(main.toolmode(), ToolMode::Cut);
    QCOMPARE(app.panel(2), QStringLiteral("Cutモード"));
    main.hide();
}

void MainWindowTest::tabOrderFollowsTheDesign()
{
    const QList<const char*> expected = {"btmcut",   "btmdraw",  "btmtext", "btmerase",
                                         "btmpaste", "btmsave",  "base",    "picmain",
                                         "textbox",  "btmcolor", "btmfont"};
    for (qsizetype i = 0; i + 1 < expected.size(); ++i)
        QCOMPARE(app.find(expected[i])->nextInFocusChain(), app.find(expected[i + 1]));
}

void MainWindowTest::toolStripButtonsSayWhatTheyDo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken"); // the name a screen reader says
    QTest::addColumn<QStringList>("tipSays");
    QTest::newRow("btmcut") << "btmcut"
                            << "切り取り"
                            << QStringList{"切り取り：",     "押し",   "動かし",
                                           "もう一度押して", "Ctrl+Z", "Ctrl+Y",
                                           "Ctrl+0",         "Ctrl+1", "Ctrl+ホイール"};
    QTest::newRow("btmdraw") << "btmdraw"
                             << "ペン" << QStringList{"ペン：", "描きます"};
    QTest::newRow("btmtext") << "btmtext"
                             << "文字" << QStringList{"文字：", "「Text：」"};
    QTest::newRow("btmerase") << "btmerase"
                              << "消しゴム" << QStringList{"消しゴム：", "元の絵"};
    QTest::newRow("btmpaste") << "btmpaste"
                              << "コピー" << QStringList{"コピー：", "クリップボード", "Ctrl+V"};
    QTest::newRow("btmsave") << "btmsave"
                             << "保存" << QStringList{"保存：", "JPEG"};
    QTest::newRow("btmcolor") << "btmcolor"
                              << "color" << QStringList{"色：", "色を選びます"};
    QTest::newRow("btmfont") << "btmfont"
                             << "font" << QStringList{"フォント：", "ペンの太さ"};
}

void MainWindowTest::toolStripButtonsSayWhatTheyDo()
{
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    QFETCH(QStringList, tipSays);
    auto* button = app.main->findChild<QPushButton*>(name);
    QVERIFY(button);
    // A text button is named by its caption; a picture button by a name of its own.
    const QString said =
        button->accessibleName().isEmpty() ? button->text() : button->accessibleName();
    QCOMPARE(said, spoken);
    for (const QString& words : tipSays)
        QVERIFY2(button->toolTip().contains(words), qPrintable(button->toolTip()));
    QVERIFY(!button->accessibleDescription().isEmpty());
}

void MainWindowTest::layoutFollowsTheOuterSize_data()
{
    QTest::addColumn<QSize>("requested"); // outer size in pixels
    QTest::addColumn<QSize>("expected");
    QTest::newRow("too narrow") << QSize(7000 / 15, 10000 / 15) << QSize(7850 / 15 + 1, 10000 / 15);
    QTest::newRow("too low") << QSize(9000 / 15, 6000 / 15) << QSize(9000 / 15, 9300 / 15);
    QTest::newRow("both too small") << QSize(100, 100) << QSize(7850 / 15 + 1, 9300 / 15);
    QTest::newRow("large") << QSize(1200, 900) << QSize(1200, 900);
}

void MainWindowTest::layoutFollowsTheOuterSize()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    frmmain& main = *app.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.resize(requested - (main.frameGeometry().size() - main.size()));
    QTRY_COMPARE(main.frameGeometry().size(), expected);

    const float outerW = twips::fromPixels(main.frameGeometry().width());
    const float outerH = twips::fromPixels(main.frameGeometry().height());
    // Geometry is kept in whole pixels: each figure may differ by half a pixel.
    const float tolerance = 7.5f;
    PictureBox* viewport = base();
    QVERIFY(std::abs(viewport->Width() - (outerW - 500)) <= tolerance);
    QVERIFY(std::abs(viewport->Height() - (outerH - 2000)) <= tolerance);
    QCOMPARE(viewport->Left(), 120.f);
    QCOMPARE(viewport->Top(), 720.f);
    QVERIFY(std::abs(twips::top(bar("HScroll")) - (viewport->Height() + 700)) <= tolerance);
    QCOMPARE(twips::width(bar("HScroll")), viewport->Width());
    QVERIFY(std::abs(twips::left(bar("VScroll")) - (viewport->Width() + 110)) <= tolerance);
    QCOMPARE(twips::height(bar("VScroll")), viewport->Height());
    // The tool strip never moves.
    QCOMPARE(app.button("btmcut")->pos(), QPoint(8, 8));
    main.hide();
}

void MainWindowTest::minimisedWindowKeepsItsLayout()
{
    frmmain& main = *app.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QRect before = base()->geometry();
    main.setWindowState(Qt::WindowMinimized);
    main.Form_Resize();
    QCOMPARE(base()->geometry(), before);
    main.setWindowState(Qt::WindowNoState);
    main.hide();
}

void MainWindowTest::newactCollapsesFrameAndPreview()
{
    frmmain& main = *app.main;
    app.open(writeBmp(app.dir, QStringLiteral("p.bmp"), patternImage(200, 150)));
    app.find<QLineEdit>("textbox")->setText(QStringLiteral("text"));
    main.btmtext_Click();
    main.picmain_MouseMove(0, 0, 300, 300);
    QVERIFY(!app.textPreview()->geometry().isEmpty());
    main.newact();
    QCOMPARE(app.textPreview()->geometry(), QRect(0, 0, 0, 0));
    QCOMPARE(main.toolmode(), ToolMode::Text);

    // An anchored cut with its frame showing.
    main.btmcut_Click();
    main.picmain_MouseDown(1, 0, 150, 150);
    main.picmain_MouseMove(1, 0, 750, 750);
    QCOMPARE(app.selectionFrame(), QRect(10, 10, 40, 40));
    QVERIFY(main.activeTool()->busy());
    main.newact();
    QVERIFY(!main.activeTool()->busy());
    QCOMPARE(main.toolmode(), ToolMode::Cut);
    QCOMPARE(app.selectionFrame(), QRect(0, 0, 0, 0));
}

void MainWindowTest::closePictureClearsMarksAndCollapsesTheSurface()
{
    frmmain& main = *app.main;
    const QImage picture = patternImage(60, 40);
    app.open(writeBmp(app.dir, QStringLiteral("p.bmp"), picture));
    app.chooseColor(Qt::red);
    app.chooseFontSize(5);
    app.drawLine(QPoint(0, 0), QPoint(40, 30));
    QVERIFY(!sameRgb(app.shown(), picture));
    QVERIFY(main.document().markedTiles() > 0);
    main.mclose_Click();
    QCOMPARE(app.picmain()->size(), QSize(0, 0));
    QVERIFY(sameRgb(app.shown(), picture));
    QCOMPARE(main.document().markedTiles(), 0);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
