// The About box: its fixed content and place, the ways of closing it, and the
// windows it keeps from taking input while it is shown.

#include "forms/frmabout.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
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
    void screenshot();

  private:
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
    QVERIFY(main->about.isNull()); // it exists only while open
    main->mversion_Click();
    frmAbout* about = main->about;
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(about->Label1->text(), QStringLiteral("Snipwell   ver 2.00"));
    QVERIFY(about->Label3->text().startsWith(QStringLiteral("E-mail： ")));
    QVERIFY(about->Label3->text().size() > 9);
    QVERIFY(about->Label4->text().startsWith(QStringLiteral("HomePage： ")));
    QVERIFY(about->Label4->text().size() > 11);
    QVERIFY(!about->Label2->text().isEmpty());
    QCOMPARE(about->cmdOK->text(), QStringLiteral("OK"));
    QVERIFY(about->cmdOK->isDefault());
    // The icon sizes the picture box: 32 x 32 pixels at 240, 240 twips.
    QCOMPARE(about->picIcon->geometry(), QRect(16, 16, 32, 32));
    QCOMPARE(about->picIcon->pixmap().size(), QSize(32, 32));
    // Each text line fits its label.
    for (QLabel* label : {about->Label1, about->Label2, about->Label3, about->Label4}) {
        const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
        QVERIFY2(needed <= label->width(), qPrintable(label->text()));
    }
}

void AboutTest::standsAtItsFixedPlace()
{
    main->mversion_Click();
    QVERIFY(QTest::qWaitForWindowExposed(main->about));
    // The client area: 4080 x 2580 twips, its top-left at 2340, 1935 twips.
    QCOMPARE(main->about->geometry(), QRect(156, 129, 272, 172));
    QCOMPARE(main->about->minimumSize(), main->about->maximumSize());
    QCOMPARE(main->about->cmdOK->geometry(), QRect(90, 136, 92, 23));
}

void AboutTest::nameLineUsesAJapaneseBoldFont()
{
    main->mversion_Click();
    const QFont font = main->about->Label1->font();
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
    QPointer<frmAbout> about = main->about;
    QVERIFY(QTest::qWaitForWindowActive(about));
    QVERIFY(!main->isEnabled());
    QVERIFY(!main->option->isEnabled());
    QVERIFY(about->isEnabled());

    if (how == "ok")
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    else if (how == "enter")
        QTest::keyClick(about, Qt::Key_Return);
    else if (how == "keypad")
        QTest::keyClick(about, Qt::Key_Enter);
    else if (how == "esc")
        QTest::keyClick(about, Qt::Key_Escape);
    else
        about->close();

    QVERIFY(main->isEnabled());
    QVERIFY(main->option->isEnabled());
    QTRY_VERIFY(about.isNull()); // closed for good; the next opening builds it anew
}

void AboutTest::mainWindowTakesNoInputWhileShown()
{
    main->mversion_Click();
    QTest::mouseClick(main->btmcut, Qt::LeftButton);
    QCOMPARE(main->toolmode, std::int16_t(0));
    QVERIFY(!main->isEnabled());

    QTest::mouseClick(main->about->cmdOK, Qt::LeftButton);
    QTest::mouseClick(main->btmcut, Qt::LeftButton);
    QCOMPARE(main->toolmode, std::int16_t(1));
}

void AboutTest::previewStaysVisibleButDisabled()
{
    main->preview = new frmpreview(*main);
    main->preview->show();
    main->mversion_Click();
    QVERIFY(main->preview->isVisible());
    QVERIFY(!main->preview->isEnabled());
    QTest::keyClick(main->about, Qt::Key_Escape);
    QVERIFY(main->preview->isEnabled());
}

void AboutTest::mainWindowCloseClosesIt()
{
    main->mversion_Click();
    QPointer<frmAbout> about = main->about;
    main->close();
    QVERIFY(about.isNull() || !about->isVisible());
}

void AboutTest::screenshot()
{
    main->mversion_Click();
    QVERIFY(QTest::qWaitForWindowExposed(main->about));
    saveScreenshot(main->about, QStringLiteral("about"));
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
