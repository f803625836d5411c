// The options dialog: its controls, the slider feeding the quality box, OK
// against the close box, reopening, the main window taking no input while it
// is shown, and shut-down with the dialog open.

#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "testpictures.h"
#include "units/twips.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

class OptionsTest : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void windowAsDesigned();
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void tabOrderRunsProKaizoudoOkSlider();
    void sliderWritesTheQuality_data();
    void sliderWritesTheQuality();
    void typedQualityStoredByOk();
    void closeBoxRestoresTheFileValues();
    void enterAndEscDoNothing_data();
    void enterAndEscDoNothing();
    void reopeningShowsTheValuesInForce();
    void mainWindowTakesNoInputWhileShown();
    void previewWindowDisabledWhileShown();
    void unusableQualityLeavesTheSlider();
    void greyedBoxBecomesOnOffWhenClicked();
    void shutDownWritesTheShownValues();
    void screenshot();

  private:
    std::unique_ptr<TestApp> app;
    frmmain* main = nullptr;
    frmoption* option = nullptr;
};

namespace {

QByteArray fileLines(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().split('\n').mid(0, count).join('\n');
}

} // namespace

void OptionsTest::init()
{
    app = std::make_unique<TestApp>();
    main = app->main.get();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    option = main->option;
    QVERIFY(option);
}

void OptionsTest::cleanup()
{
    app.reset();
}

void OptionsTest::windowAsDesigned()
{
    QVERIFY(!option->isVisible()); // loaded, hidden, since start-up
    QCOMPARE(option->windowTitle(), QStringLiteral("オプション設定"));
    QCOMPARE(option->size(), QSize(241, 104)); // 3615 x 1560 twips
    QCOMPARE(option->minimumSize(), option->maximumSize());
    QVERIFY(!option->parentWidget()); // disabling the main window must not reach it
    QVERIFY(!(option->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(option->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(option->Label1->text(), QStringLiteral("JPEG解像度"));
    QCOMPARE(option->pro->text(), QStringLiteral("プログレッシブモード"));
    QCOMPARE(option->Command2->text(), QStringLiteral("OK"));
    QCOMPARE(option->Slider1->minimum(), 0);
    QCOMPARE(option->Slider1->maximum(), 100);
    QCOMPARE(option->Slider1->singleStep(), 1);
    QCOMPARE(option->Slider1->pageStep(), 5);
    main->moption_Click();
    QVERIFY(option->isVisible());
    QCOMPARE(option->windowHandle()->transientParent(), main->windowHandle());
}

void OptionsTest::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipRect");
    QTest::newRow("Slider1") << "Slider1" << QRect(1800, 120, 1575, 255);
    QTest::newRow("Command2") << "Command2" << QRect(720, 960, 2055, 495);
    QTest::newRow("kaizoudo") << "kaizoudo" << QRect(1320, 120, 375, 270);
    QTest::newRow("pro") << "pro" << QRect(120, 510, 2175, 255);
    QTest::newRow("Label1") << "Label1" << QRect(120, 165, 975, 255);
}

void OptionsTest::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipRect);
    const QHash<QString, QWidget*> controls = {{"Slider1", option->Slider1},
                                               {"Command2", option->Command2},
                                               {"kaizoudo", option->kaizoudo},
                                               {"pro", option->pro},
                                               {"Label1", option->Label1}};
    const QWidget* control = controls.value(name);
    // Twips to pixels rounds halves to even: 255 -> 17, 165 -> 11, 375 -> 25.
    const QRect expected(qRound(twipRect.x() / 15.0), qRound(twipRect.y() / 15.0),
                         qRound(twipRect.width() / 15.0), qRound(twipRect.height() / 15.0));
    QCOMPARE(control->geometry(), expected);
}

void OptionsTest::tabOrderRunsProKaizoudoOkSlider()
{
    // The Tab chain from the check box, keeping the widgets that take Tab focus.
    QList<QWidget*> order;
    QWidget* widget = option->pro;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled())
            order << widget;
        widget = widget->nextInFocusChain();
    } while (widget != option->pro);
    const QList<QWidget*> expected = {option->pro, option->kaizoudo, option->Command2,
                                      option->Slider1};
    QCOMPARE(order, expected);
    QCOMPARE(option->Label1->focusPolicy(), Qt::NoFocus);
}

void OptionsTest::sliderWritesTheQuality_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("quality");
    QTest::newRow("fully right") << int(Qt::Key_End) << "100";
    QTest::newRow("fully left") << int(Qt::Key_Home) << "0";
    QTest::newRow("large step") << int(Qt::Key_PageUp) << "55";
    QTest::newRow("small step") << int(Qt::Key_Left) << "49";
}

void OptionsTest::sliderWritesTheQuality()
{
    QFETCH(int, key);
    QFETCH(QString, quality);
    main->moption_Click();
    QCOMPARE(option->Slider1->value(), 50);
    QTest::keyClick(option->Slider1, Qt::Key(key));
    QCOMPARE(option->kaizoudo->text(), quality);
}

void OptionsTest::typedQualityStoredByOk()
{
    main->moption_Click();
    option->kaizoudo->selectAll();
    QTest::keyClicks(option->kaizoudo, QStringLiteral("75"));
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("75"));
    QCOMPARE(option->Slider1->value(), 50); // typing does not move the slider
    QTest::mouseClick(option->Command2, Qt::LeftButton);

    QVERIFY(!option->isVisible());
    QVERIFY(main->isEnabled());
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"75\"\r\n0\r"));
    QCOMPARE(option->Slider1->value(), 75); // the read-back on closing moved it
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("75"));
    QCOMPARE(main->dialog.FileName, QStringLiteral(" "));
}

void OptionsTest::closeBoxRestoresTheFileValues()
{
    option->Slider1->setValue(30);
    option->pro->setChecked(true);
    main->savesetting();

    main->moption_Click();
    QTest::keyClick(option->Slider1, Qt::Key_End);
    QTest::mouseClick(option->pro, Qt::LeftButton);
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("100"));
    QCOMPARE(option->pro->checkState(), Qt::Unchecked);
    main->dialog.FileName = QStringLiteral("/kept.jpg");
    option->close(); // the close box

    QVERIFY(!option->isVisible());
    QVERIFY(main->isEnabled());
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("30"));
    QCOMPARE(option->Slider1->value(), 30);
    QCOMPARE(option->pro->checkState(), Qt::Checked);
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"30\"\r\n1\r"));
    QCOMPARE(main->dialog.FileName, QStringLiteral("/kept.jpg"));
}

void OptionsTest::enterAndEscDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void OptionsTest::enterAndEscDoNothing()
{
    QFETCH(int, key);
    main->moption_Click();
    QVERIFY(QTest::qWaitForWindowActive(option));
    option->kaizoudo->setFocus();
    QTest::keyClick(option->kaizoudo, Qt::Key(key));
    QVERIFY(option->isVisible());
    QVERIFY(!main->isEnabled());
    QVERIFY(!QFile::exists(app->paths().settingsFile)); // OK was not pressed
}

void OptionsTest::reopeningShowsTheValuesInForce()
{
    main->moption_Click();
    option->kaizoudo->setText(QStringLiteral("65"));
    QTest::mouseClick(option->pro, Qt::LeftButton);
    QTest::mouseClick(option->Command2, Qt::LeftButton);

    main->moption_Click();
    QVERIFY(option->isVisible());
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("65"));
    QCOMPARE(option->Slider1->value(), 65);
    QCOMPARE(option->pro->checkState(), Qt::Checked);
}

void OptionsTest::mainWindowTakesNoInputWhileShown()
{
    main->moption_Click();
    QVERIFY(!main->isEnabled());
    QVERIFY(option->isEnabled());
    QTest::mouseClick(main->btmcut, Qt::LeftButton);
    QCOMPARE(main->toolmode, std::int16_t(0));

    QTest::mouseClick(option->Command2, Qt::LeftButton);
    QTest::mouseClick(main->btmcut, Qt::LeftButton);
    QCOMPARE(main->toolmode, std::int16_t(1)); // the same click counts again
}

void OptionsTest::previewWindowDisabledWhileShown()
{
    main->preview = new frmpreview(*main);
    main->preview->show();
    main->moption_Click();
    QVERIFY(main->preview->isVisible());
    QVERIFY(!main->preview->isEnabled());
    option->close();
    QVERIFY(main->preview->isEnabled());
}

void OptionsTest::unusableQualityLeavesTheSlider()
{
    QFile file(app->paths().settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"best\"\r\n1\r\n");
    file.close();
    main->moption_Click();
    QTest::keyClick(option->Slider1, Qt::Key_PageDown);
    QCOMPARE(option->Slider1->value(), 45);
    option->close();
    QCOMPARE(option->kaizoudo->text(), QStringLiteral("best"));
    QCOMPARE(option->Slider1->value(), 45);
    QCOMPARE(option->pro->checkState(), Qt::Checked);
}

void OptionsTest::greyedBoxBecomesOnOffWhenClicked()
{
    QFile file(app->paths().settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"50\"\r\n2\r\n");
    file.close();
    main->loadsetting();
    QCOMPARE(option->pro->checkState(), Qt::PartiallyChecked);
    QCOMPARE(option->proValue(), std::int16_t(2));
    main->moption_Click();
    const QList<Qt::CheckState> afterClicks = {Qt::Checked, Qt::Unchecked, Qt::Checked};
    for (Qt::CheckState state : afterClicks) {
        QTest::mouseClick(option->pro, Qt::LeftButton);
        QCOMPARE(option->pro->checkState(), state);
    }
}

void OptionsTest::shutDownWritesTheShownValues()
{
    main->moption_Click();
    QTest::keyClick(option->Slider1, Qt::Key_End);
    QTest::mouseClick(option->pro, Qt::LeftButton);
    main->close();
    QVERIFY(!option->isVisible());
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"100\"\r\n1\r"));
}

void OptionsTest::screenshot()
{
    main->moption_Click();
    QVERIFY(QTest::qWaitForWindowExposed(option));
    saveScreenshot(option, QStringLiteral("options"));
}

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
