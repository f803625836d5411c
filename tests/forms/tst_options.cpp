// The options dialog: its controls, the slider feeding the quality box, OK
// against the close box, reopening, the main window taking no input while it
// is shown, and shut-down with the dialog open.

#include "testpictures.h"

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
    void textsShowAsGlyphs();

  private:
    template <typename Control = QWidget> Control* find(const char* name) const
    {
        return control<Control>(option, name);
    }
    QSlider* slider() const { return find<QSlider>("Slider1"); }
    QLineEdit* kaizoudo() const { return find<QLineEdit>("kaizoudo"); }
    QCheckBox* pro() const { return find<QCheckBox>("pro"); }
    QWidget* ok() const { return find("Command2"); }
    // The file name the next save dialog is preset with: the common dialog's.
    QString nextSaveName() const
    {
        app->prompter.files.push_back(std::nullopt);
        main->savepicture();
        return app->prompter.saveRequests.last().fileName;
    }

    std::unique_ptr<TestApp> app;
    frmmain* main = nullptr;
    QWidget* option = nullptr;
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
    option = main->optionWindow();
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
    QCOMPARE(find<QLabel>("Label1")->text(), QStringLiteral("JPEG解像度"));
    QCOMPARE(pro()->text(), QStringLiteral("プログレッシブモード"));
    QCOMPARE(find<QPushButton>("Command2")->text(), QStringLiteral("OK"));
    QCOMPARE(slider()->minimum(), 0);
    QCOMPARE(slider()->maximum(), 100);
    QCOMPARE(slider()->singleStep(), 1);
    QCOMPARE(slider()->pageStep(), 5);
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
    const QWidget* control = find(qPrintable(name));
    QVERIFY(control);
    // Twips to pixels rounds halves to even: 255 -> 17, 165 -> 11, 375 -> 25.
    const QRect expected(qRound(twipRect.x() / 15.0), qRound(twipRect.y() / 15.0),
                         qRound(twipRect.width() / 15.0), qRound(twipRect.height() / 15.0));
    QCOMPARE(control->geometry(), expected);
}

void OptionsTest::tabOrderRunsProKaizoudoOkSlider()
{
    // The Tab chain from the check box, keeping the widgets that take Tab focus.
    QList<QWidget*> order;
    QWidget* widget = pro();
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled())
            order << widget;
        widget = widget->nextInFocusChain();
    } while (widget != pro());
    const QList<QWidget*> expected = {pro(), kaizoudo(), ok(), slider()};
    QCOMPARE(order, expected);
    QCOMPARE(find("Label1")->focusPolicy(), Qt::NoFocus);
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
    QCOMPARE(slider()->value(), 50);
    QTest::keyClick(slider(), Qt::Key(key));
    QCOMPARE(kaizoudo()->text(), quality);
    QCOMPARE(main->settings().quality, quality);
}

void OptionsTest::typedQualityStoredByOk()
{
    main->moption_Click();
    kaizoudo()->selectAll();
    QTest::keyClicks(kaizoudo(), QStringLiteral("75"));
    QCOMPARE(kaizoudo()->text(), QStringLiteral("75"));
    QCOMPARE(slider()->value(), 50); // typing does not move the slider
    QTest::mouseClick(ok(), Qt::LeftButton);

    QVERIFY(!option->isVisible());
    QVERIFY(main->isEnabled());
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"75\"\r\n0\r"));
    QCOMPARE(slider()->value(), 75); // the read-back on closing moved it
    QCOMPARE(kaizoudo()->text(), QStringLiteral("75"));
    QCOMPARE(main->settings().quality, QStringLiteral("75"));
    QCOMPARE(nextSaveName(), QStringLiteral(" "));
}

void OptionsTest::closeBoxRestoresTheFileValues()
{
    slider()->setValue(30);
    pro()->setChecked(true);
    main->savesetting();
    // A save leaves its path in the common dialog.
    const QString kept = app->dir.filePath(QStringLiteral("kept.jpg"));
    app->prompter.files.push_back(kept);
    main->savepicture();

    main->moption_Click();
    QTest::keyClick(slider(), Qt::Key_End);
    QTest::mouseClick(pro(), Qt::LeftButton);
    QCOMPARE(kaizoudo()->text(), QStringLiteral("100"));
    QCOMPARE(pro()->checkState(), Qt::Unchecked);
    option->close(); // the close box

    QVERIFY(!option->isVisible());
    QVERIFY(main->isEnabled());
    QCOMPARE(kaizoudo()->text(), QStringLiteral("30"));
    QCOMPARE(slider()->value(), 30);
    QCOMPARE(pro()->checkState(), Qt::Checked);
    QCOMPARE(main->settings().quality, QStringLiteral("30"));
    QCOMPARE(main->settings().progressive, std::int16_t(1));
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"30\"\r\n1\r"));
    QCOMPARE(nextSaveName(), kept);
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
    kaizoudo()->setFocus();
    QTest::keyClick(kaizoudo(), Qt::Key(key));
    QVERIFY(option->isVisible());
    QVERIFY(!main->isEnabled());
    QVERIFY(!QFile::exists(app->paths().settingsFile)); // OK was not pressed
}

void OptionsTest::reopeningShowsTheValuesInForce()
{
    main->moption_Click();
    kaizoudo()->setText(QStringLiteral("65"));
    QTest::mouseClick(pro(), Qt::LeftButton);
    QTest::mouseClick(ok(), Qt::LeftButton);

    main->moption_Click();
    QVERIFY(option->isVisible());
    QCOMPARE(kaizoudo()->text(), QStringLiteral("65"));
    QCOMPARE(slider()->value(), 65);
    QCOMPARE(pro()->checkState(), Qt::Checked);
}

void OptionsTest::mainWindowTakesNoInputWhileShown()
{
    main->moption_Click();
    QVERIFY(!main->isEnabled());
    QVERIFY(option->isEnabled());
    QTest::mouseClick(app->button("btmcut"), Qt::LeftButton);
    QCOMPARE(main->toolmode(), ToolMode::None);

    QTest::mouseClick(ok(), Qt::LeftButton);
    QTest::mouseClick(app->button("btmcut"), Qt::LeftButton);
    QCOMPARE(main->toolmode(), ToolMode::Cut); // the same click counts again
}

void OptionsTest::previewWindowDisabledWhileShown()
{
    main->mpreview_Click();
    QWidget* preview = main->previewWindow();
    QVERIFY(preview && preview->isVisible());
    main->moption_Click();
    QVERIFY(preview->isVisible());
    QVERIFY(!preview->isEnabled());
    option->close();
    QVERIFY(preview->isEnabled());
}

void OptionsTest::unusableQualityLeavesTheSlider()
{
    QFile file(app->paths().settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"best\"\r\n1\r\n");
    file.close();
    main->moption_Click();
    QTest::keyClick(slider(), Qt::Key_PageDown);
    QCOMPARE(slider()->value(), 45);
    option->close();
    QCOMPARE(kaizoudo()->text(), QStringLiteral("best"));
    QCOMPARE(slider()->value(), 45);
    QCOMPARE(pro()->checkState(), Qt::Checked);
}

void OptionsTest::greyedBoxBecomesOnOffWhenClicked()
{
    QFile file(app->paths().settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"50\"\r\n2\r\n");
    file.close();
    main->loadsetting();
    QCOMPARE(pro()->checkState(), Qt::PartiallyChecked);
    QCOMPARE(main->settings().progressive, std::int16_t(2));
    main->moption_Click();
    const QList<Qt::CheckState> afterClicks = {Qt::Checked, Qt::Unchecked, Qt::Checked};
    for (Qt::CheckState state : afterClicks) {
        QTest::mouseClick(pro(), Qt::LeftButton);
        QCOMPARE(pro()->checkState(), state);
        QCOMPARE(main->settings().progressive, std::int16_t(state == Qt::Checked ? 1 : 0));
    }
}

void OptionsTest::shutDownWritesTheShownValues()
{
    main->moption_Click();
    QTest::keyClick(slider(), Qt::Key_End);
    QTest::mouseClick(pro(), Qt::LeftButton);
    main->close();
    QVERIFY(!option->isVisible());
    QCOMPARE(fileLines(app->paths().settingsFile, 2), QByteArray("\"100\"\r\n1\r"));
}

void OptionsTest::textsShowAsGlyphs()
{
    main->moption_Click();
    QVERIFY(QTest::qWaitForWindowExposed(option));
    saveScreenshot(option, QStringLiteral("options"));
    // The captions show, and their Japanese characters are real glyphs.
    for (const char* name : {"Label1", "pro", "Command2", "kaizoudo"})
        QVERIFY2(coloursShown(find(name)) > 2, name);
    QVERIFY(hasAllGlyphs(find<QLabel>("Label1")->text(), find("Label1")->font()));
    QVERIFY(hasAllGlyphs(pro()->text(), pro()->font()));
    QVERIFY(hasAllGlyphs(option->windowTitle(), option->font()));
}

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
