// The About box: its fixed content and place, the ways of closing it, and the
// windows it keeps from taking input while it is shown.

#include "testpictures.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class AboutTest : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void showsItsFixedContent();
    void standsAtItsFixedPlace();
    void nameLineUsesAJapaneseBoldFont();
    void closingEnablesTheOthers_data();
    void closingEnablesTheOthers();
    void mainWindowTakesNoInputWhileShown();
    void previewStaysVisibleButDisabled();
    void mainWindowCloseClosesIt();
    void textsShowAsGlyphs();

  private:
    QWidget* about() const { return main->aboutWindow(); }
    template <typename Control = QWidget> Control* find(const char* name) const
    {
        return control<Control>(about(), name);
    }

    std::unique_ptr<TestApp> app;
    frmmain* main = nullptr;
};

void AboutTest::init()
{
    app = std::make_unique<TestApp>();
    main = app->main.get();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
}

void AboutTest::cleanup()
{
    app.reset();
}

void AboutTest::showsItsFixedContent()
{
    QVERIFY(!about()); // it exists only while open
    main->mversion_Click();
    QVERIFY(about() && about()->isVisible());
    QCOMPARE(about()->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(find<QLabel>("Label1")->text(), QStringLiteral("Snipwell   ver 2.00"));
    QVERIFY(find<QLabel>("Label3")->text().startsWith(QStringLiteral("E-mail： ")));
    QVERIFY(find<QLabel>("Label3")->text().size() > 9);
    QVERIFY(find<QLabel>("Label4")->text().startsWith(QStringLiteral("HomePage： ")));
    QVERIFY(find<QLabel>("Label4")->text().size() > 11);
    QVERIFY(!find<QLabel>("Label2")->text().isEmpty());
    QCOMPARE(find<QPushButton>("cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(find<QPushButton>("cmdOK")->isDefault());
    // The icon sizes the picture box: 32 x 32 pixels at 240, 240 twips.
    QCOMPARE(find<QLabel>("picIcon")->geometry(), QRect(16, 16, 32, 32));
    QCOMPARE(find<QLabel>("picIcon")->pixmap().size(), QSize(32, 32));
    // Each text line fits its label.
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        const QLabel* label = find<QLabel>(name);
        const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
        QVERIFY2(needed <= label->width(), qPrintable(label->text()));
    }
}

void AboutTest::standsAtItsFixedPlace()
{
    main->mversion_Click();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    // The client area: 4080 x 2580 twips, its top-left at 2340, 1935 twips.
    QCOMPARE(about()->geometry(), QRect(156, 129, 272, 172));
    QCOMPARE(about()->minimumSize(), about()->maximumSize());
    QCOMPARE(find("cmdOK")->geometry(), QRect(90, 136, 92, 23));
}

void AboutTest::nameLineUsesAJapaneseBoldFont()
{
    main->mversion_Click();
    const QFont font = find("Label1")->font();
    QVERIFY(font.bold());
    QCOMPARE(font.pointSize(), 12);
    QCOMPARE(font.families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
    // Whatever family stands in, it must carry Japanese glyphs.
    QVERIFY2(QFontMetrics(font).inFontUcs4(0x30B4), qPrintable(QFontInfo(font).family()));
}

void AboutTest::closingEnablesTheOthers_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK clicked") << "ok";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("keypad Enter") << "keypad";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
}

void AboutTest::closingEnablesTheOthers()
{
    QFETCH(QString, how);
    main->mversion_Click();
    QPointer<QWidget> shown = about();
    QVERIFY(QTest::qWaitForWindowActive(shown));
    QVERIFY(!main->isEnabled());
    QVERIFY(!main->optionWindow()->isEnabled());
    QVERIFY(shown->isEnabled());

    if (how == "ok")
        QTest::mouseClick(find("cmdOK"), Qt::LeftButton);
    else if (how == "enter")
        QTest::keyClick(shown, Qt::Key_Return);
    else if (how == "keypad")
        QTest::keyClick(shown, Qt::Key_Enter);
    else if (how == "esc")
        QTest::keyClick(shown, Qt::Key_Escape);
    else
        shown->close();

    QVERIFY(main->isEnabled());
    QVERIFY(main->optionWindow()->isEnabled());
    QTRY_VERIFY(shown.isNull()); // closed for good; the next opening builds it anew
}

void AboutTest::mainWindowTakesNoInputWhileShown()
{
    main->mversion_Click();
    QTest::mouseClick(app->button("btmcut"), Qt::LeftButton);
    QCOMPARE(main->toolmode(), ToolMode::None);
    QVERIFY(!main->isEnabled());

    QTest::mouseClick(find("cmdOK"), Qt::LeftButton);
    QTest::mouseClick(app->button("btmcut"), Qt::LeftButton);
    QCOMPARE(main->toolmode(), ToolMode::Cut);
}

void AboutTest::previewStaysVisibleButDisabled()
{
    main->mpreview_Click();
    QWidget* preview = main->previewWindow();
    QVERIFY(preview && preview->isVisible());
    main->mversion_Click();
    QVERIFY(preview->isVisible());
    QVERIFY(!preview->isEnabled());
    QTest::keyClick(about(), Qt::Key_Escape);
    QVERIFY(preview->isEnabled());
}

void AboutTest::mainWindowCloseClosesIt()
{
    main->mversion_Click();
    QPointer<QWidget> shown = about();
    main->close();
    QVERIFY(shown.isNull() || !shown->isVisible());
}

void AboutTest::textsShowAsGlyphs()
{
    main->mversion_Click();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    saveScreenshot(about(), QStringLiteral("about"));
    // Every line shows text, and none of its characters, the Japanese ones
    // included, is left to a missing-glyph box.
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        QLabel* label = find<QLabel>(name);
        QVERIFY2(coloursShown(label) > 2, name);
        QVERIFY2(hasAllGlyphs(label->text(), label->font()), qPrintable(label->text()));
    }
    QVERIFY(hasAllGlyphs(about()->windowTitle(), about()->font()));
    QVERIFY(coloursShown(find("picIcon")) > 2);
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
