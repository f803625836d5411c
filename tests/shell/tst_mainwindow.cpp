// The main window as designed: controls, menus, start-up state, the layout that
// follows the window's size, the reset of the editing state and "閉じる(&C)".

#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"
#include "units/twips.h"

#include <QLabel>
#include <QLineEdit>
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
    TestApp app;
};

namespace {

QWidget* control(frmmain& main, const QString& name)
{
    const QHash<QString, QWidget*> controls = {
        {"cuttedpic", main.cuttedpic}, {"HScroll", main.HScroll},   {"VScroll", main.VScroll},
        {"btmfont", main.btmfont},     {"btmcolor", main.btmcolor}, {"textbox", main.textbox},
        {"base", main.base},           {"btmsave", main.btmsave},   {"btmpaste", main.btmpaste},
        {"btmerase", main.btmerase},   {"btmtext", main.btmtext},   {"btmdraw", main.btmdraw},
        {"btmcut", main.btmcut},       {"Label1", main.Label1},
    };
    return controls.value(name);
}

} // namespace

void MainWindowTest::controlsStandAtTheirDesignedPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipRect");
    QTest::newRow("cuttedpic") << "cuttedpic" << QRect(7920, 240, 1455, 1455);
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
    QWidget* widget = control(*app.main, name);
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
    for (QAction* action : main.mfile->actions())
        file << action->text();
    QCOMPARE(file, QStringList({"開く(&O)", "保存(&S)", "閉じる(&C)"}));
    QCOMPARE(main.Label1->text(), QStringLiteral("Text："));
    QCOMPARE(main.btmcolor->text(), QStringLiteral("color"));
    QCOMPARE(main.btmfont->text(), QStringLiteral("font"));
    for (QPushButton* button :
         {main.btmcut, main.btmdraw, main.btmtext, main.btmerase, main.btmpaste, main.btmsave}) {
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
    }
}

void MainWindowTest::startsWithNoToolNoPictureAndEmptyPanels()
{
    frmmain& main = *app.main;
    QCOMPARE(main.toolmode, 0);
    QCOMPARE(main.actstate, 0);
    QCOMPARE(main.picmain->size(), QSize(0, 0));
    QVERIFY(!main.cuttedpic->isVisibleTo(&main));
    QCOMPARE(main.HScroll->Max(), 0);
    QCOMPARE(main.VScroll->Max(), 0);
    QVERIFY(main.statusbar->Panel(1).isEmpty());
    QVERIFY(main.statusbar->Panel(2).isEmpty());
    QCOMPARE(main.textimage->size(), QSize(0, 0));
    QCOMPARE(main.cutimage->geometry().size(), QSize(0, 0));
    // The piece store holds a blank piece of its designed size, with no border.
    QCOMPARE(main.cuttedpic->image().size(), QSize(97, 97));

    // A press on the surface before any tool changes nothing.
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QTest::mouseClick(main.btmcut, Qt::LeftButton);
    QCOMPARE(main.toolmode, 1);
    QCOMPARE(main.statusbar->Panel(2), QStringLiteral("Cutモード"));
    saveScreenshot(&main, QStringLiteral("main-empty"));
    main.hide();
}

void MainWindowTest::tabOrderFollowsTheDesign()
{
    frmmain& main = *app.main;
    const QList<QWidget*> expected = {main.btmcut,   main.btmdraw,  main.btmtext, main.btmerase,
                                      main.btmpaste, main.btmsave,  main.base,    main.picmain,
                                      main.textbox,  main.btmcolor, main.btmfont};
    for (qsizetype i = 0; i + 1 < expected.size(); ++i)
        QCOMPARE(expected[i]->nextInFocusChain(), expected[i + 1]);
}

void MainWindowTest::toolStripButtonsSayWhatTheyDo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken"); // the name a screen reader says
    QTest::addColumn<QStringList>("tipSays");
    QTest::newRow("btmcut") << "btmcut"
                            << "切り取り"
                            << QStringList{"切り取り：", "押し", "動かし", "もう一度押して"};
    QTest::newRow("btmdraw") << "btmdraw"
                             << "ペン" << QStringList{"ペン：", "描きます"};
    QTest::newRow("btmtext") << "btmtext"
                             << "文字" << QStringList{"文字：", "「Text：」"};
    QTest::newRow("btmerase") << "btmerase"
                              << "消しゴム" << QStringList{"消しゴム：", "元の絵"};
    QTest::newRow("btmpaste") << "btmpaste"
                              << "コピー" << QStringList{"コピー：", "クリップボード"};
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
    auto* button = qobject_cast<QPushButton*>(control(*app.main, name));
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
    main.setOuterSize(twips::fromPixels(requested.width()), twips::fromPixels(requested.height()));
    QTRY_COMPARE(main.frameGeometry().size(), expected);

    const float outerW = main.outerWidth();
    const float outerH = main.outerHeight();
    // Geometry is kept in whole pixels: each figure may differ by half a pixel.
    const float tolerance = 7.5f;
    QVERIFY(std::abs(main.base->Width() - (outerW - 500)) <= tolerance);
    QVERIFY(std::abs(main.base->Height() - (outerH - 2000)) <= tolerance);
    QCOMPARE(main.base->Left(), 120.f);
    QCOMPARE(main.base->Top(), 720.f);
    QVERIFY(std::abs(twips::top(main.HScroll) - (main.base->Height() + 700)) <= tolerance);
    QCOMPARE(twips::width(main.HScroll), main.base->Width());
    QVERIFY(std::abs(twips::left(main.VScroll) - (main.base->Width() + 110)) <= tolerance);
    QCOMPARE(twips::height(main.VScroll), main.base->Height());
    // The tool strip never moves.
    QCOMPARE(main.btmcut->pos(), QPoint(8, 8));
    main.hide();
}

void MainWindowTest::minimisedWindowKeepsItsLayout()
{
    frmmain& main = *app.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QRect before = main.base->geometry();
    main.setWindowState(Qt::WindowMinimized);
    main.Form_Resize();
    QCOMPARE(main.base->geometry(), before);
    main.setWindowState(Qt::WindowNoState);
    main.hide();
}

void MainWindowTest::newactCollapsesFrameAndPreview()
{
    frmmain& main = *app.main;
    main.actstate = 1;
    main.cutimage->Move(150, 150, 600, 600);
    twips::move(main.textimage, 300, 300, 900, 300);
    main.toolmode = 4;
    main.newact();
    QCOMPARE(main.actstate, 0);
    QCOMPARE(main.toolmode, 4);
    QCOMPARE(main.cutimage->geometry(), QRect(0, 0, 0, 0));
    QCOMPARE(main.textimage->geometry(), QRect(0, 0, 0, 0));
}

void MainWindowTest::closePictureClearsMarksAndCollapsesTheSurface()
{
    frmmain& main = *app.main;
    const QImage picture = patternImage(60, 40);
    main.picmain->setPicture(picture);
    main.picmain->ForeColor = Qt::red;
    main.picmain->DrawWidth = 5;
    main.picmain->Line(0, 0, 600, 450);
    QVERIFY(!sameRgb(main.picmain->image(), picture));
    main.mclose_Click();
    QCOMPARE(main.picmain->size(), QSize(0, 0));
    QVERIFY(sameRgb(main.picmain->image(), picture));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
