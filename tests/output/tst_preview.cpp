// The preview window: its controls, its size around the piece, its refresh
// after each cut while it is shown, and its two buttons.

#include "forms/frmpreview.h"
#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "units/twips.h"

#include <QFileInfo>
#include <QPushButton>
#include <QtTest>

namespace {

// Twips on a 96-dpi screen come in steps of 15, so a size in twips is met
// to within half a pixel.
bool nearTwips(float actual, float expected)
{
    return std::abs(actual - expected) <= 7.5f;
}

void discardClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<TestApp> m_app;

    frmmain& main() { return *m_app->main; }

    // A piece whose preview picture box (one pixel of border each side) has the
    // given outer size in pixels.
    void setPieceForBox(int boxWidth, int boxHeight, int seed = 0)
    {
        main().cuttedpic->setImage(patternImage(boxWidth - 2, boxHeight - 2, seed));
    }

    // A real cut with the Cut tool between two pixels of the picture surface.
    void cut(QPoint from, QPoint to)
    {
        QTest::mouseClick(main().btmcut, Qt::LeftButton);
        QWidget* surface = main().picmain->client();
        QTest::mousePress(surface, Qt::LeftButton, {}, from);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, from);
        QTest::mouseMove(surface, to);
        QTest::mousePress(surface, Qt::LeftButton, {}, to);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    }

  private slots:
    void init() { m_app = std::make_unique<TestApp>(); }
    void cleanup()
    {
        m_app.reset();
        discardClosedWindows();
    }

    void controls()
    {
        main().previewreload();
        frmpreview* preview = main().preview;
        QVERIFY(preview);
        QCOMPARE(preview->windowTitle(), QStringLiteral("プレビュー"));
        QCOMPARE(preview->btmpreviewsave->text(), QStringLiteral("保存"));
        QCOMPARE(preview->btmpreviewcancel->text(), QStringLiteral("キャンセル"));
        QCOMPARE(preview->btmpreviewsave->geometry(), QRect(8, 8, 66, 33));
        QCOMPARE(preview->btmpreviewcancel->geometry(), QRect(88, 8, 66, 33));
        QCOMPARE(preview->picpreview->pos(), QPoint(0, 48));
        QVERIFY(preview->isVisible());
        QVERIFY(!preview->parentWidget());
    }

    void outerSizeRule_data()
    {
        QTest::addColumn<float>("boxWidth");
        QTest::addColumn<float>("boxHeight");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("small piece") << 1200.f << 900.f << 2550.f << 3400.f;
        QTest::newRow("large piece") << 3000.f << 4000.f << 3100.f << 5100.f;
        QTest::newRow("2500 wide, not 2600") << 2500.f << 3400.f << 2550.f << 4500.f;
        QTest::newRow("just at the minimums") << 2550.f << 3400.f << 2650.f << 4500.f;
        QTest::newRow("just below") << 2549.f << 3399.f << 2550.f << 3400.f;
    }

    void outerSizeRule()
    {
        QFETCH(float, boxWidth);
        QFETCH(float, boxHeight);
        QFETCH(float, width);
        QFETCH(float, height);
        QCOMPARE(frmpreview::outerSizeFor(boxWidth, boxHeight), QSizeF(width, height));
    }

    // The same rule on the real window: the box's outer size in pixels, the
    // window's expected outer size in twips.
    void windowSize_data()
    {
        QTest::addColumn<int>("boxWidth");
        QTest::addColumn<int>("boxHeight");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("1200 x 900") << 80 << 60 << 2550.f << 3400.f;
        QTest::newRow("3000 x 4005") << 200 << 267 << 3100.f << 5105.f;
        QTest::newRow("2505 wide") << 167 << 100 << 2550.f << 3400.f;
    }

    void windowSize()
    {
        QFETCH(int, boxWidth);
        QFETCH(int, boxHeight);
        QFETCH(float, width);
        QFETCH(float, height);
        setPieceForBox(boxWidth, boxHeight);
        main().previewreload();
        frmpreview* preview = main().preview;
        QCOMPARE(preview->picpreview->size(), QSize(boxWidth, boxHeight));
        const QSize outer = preview->frameGeometry().size();
        QVERIFY2(nearTwips(twips::fromPixels(outer.width()), width),
                 qPrintable(QString::number(outer.width())));
        QVERIFY2(nearTwips(twips::fromPixels(outer.height()), height),
                 qPrintable(QString::number(outer.height())));
    }

    void showsACopyOfThePiece()
    {
        const QImage piece = patternImage(120, 90, 4);
        main().cuttedpic->setImage(piece);
        main().previewreload();
        QString difference;
        QVERIFY2(sameRgb(main().preview->picpreview->image(), piece, &difference),
                 qPrintable(difference));
        // Later changes of the piece store reach the preview only by a refresh.
        main().cuttedpic->setImage(patternImage(50, 40, 7));
        QVERIFY(sameRgb(main().preview->picpreview->image(), piece));
    }

    void blankPieceBeforeFirstCut()
    {
        main().previewreload();
        const QImage shown = main().preview->picpreview->image();
        QCOMPARE(shown.size(), QSize(97, 97));
        QCOMPARE(QColor(shown.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(96, 96)), QColor(Qt::white));
    }

    void refreshKeepsLeftAndTop()
    {
        setPieceForBox(80, 60);
        main().previewreload();
        frmpreview* preview = main().preview;
        preview->move(310, 205);
        const QPoint corner = preview->frameGeometry().topLeft();
        setPieceForBox(260, 300, 2);
        main().previewreload();
        QCOMPARE(main().preview.data(), preview);
        QCOMPARE(preview->frameGeometry().topLeft(), corner);
        QVERIFY(nearTwips(twips::fromPixels(preview->frameGeometry().width()), 260 * 15 + 100));
    }

    void menuOpensIt()
    {
        QVERIFY(!main().preview);
        main().mpreview->trigger();
        QVERIFY(main().preview);
        QVERIFY(main().preview->isVisible());
    }

    void cutRefreshesAShownPreview()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(200, 150)));
        main().show();
        main().previewreload();
        QCOMPARE(main().preview->picpreview->image().size(), QSize(97, 97));
        cut(QPoint(10, 20), QPoint(70, 60));
        const QImage piece = main().cuttedpic->image();
        QVERIFY(!piece.isNull());
        QVERIFY(sameRgb(main().preview->picpreview->image(), piece));
        QCOMPARE(main().preview->picpreview->size(), piece.size() + QSize(2, 2));
        QVERIFY(nearTwips(twips::fromPixels(main().preview->frameGeometry().height()), 3400));
    }

    void cutDoesNotOpenAClosedPreview()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(200, 150)));
        main().show();
        main().previewreload();
        main().preview->close();
        discardClosedWindows();
        QVERIFY(!main().preview);
        cut(QPoint(5, 5), QPoint(60, 50));
        QVERIFY(!main().cuttedpic->image().isNull());
        QVERIFY(!main().preview);
    }

    void closingDiscardsIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("キャンセル") << "button";
        QTest::newRow("Esc on the picture") << "escape";
        QTest::newRow("Esc on 保存") << "escape on save";
        QTest::newRow("close box") << "close box";
    }

    void closingDiscardsIt()
    {
        QFETCH(QString, how);
        main().previewreload();
        QPointer<frmpreview> preview = main().preview;
        preview->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(preview));
        if (how == QLatin1String("button")) {
            QTest::mouseClick(preview->btmpreviewcancel, Qt::LeftButton);
        } else if (how.startsWith(QLatin1String("escape"))) {
            QWidget* focus = how.endsWith(QLatin1String("save"))
                                 ? static_cast<QWidget*>(preview->btmpreviewsave)
                                 : preview->picpreview;
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
        } else {
            preview->close();
        }
        discardClosedWindows();
        QVERIFY(!preview);
        QVERIFY(!main().preview);
        // The next refresh makes a new one.
        main().previewreload();
        QVERIFY(main().preview && main().preview->isVisible());
    }

    void saveButtonExportsOnly()
    {
        const QString settings = m_app->paths().settingsFile;
        QFile::remove(settings);
        main().cuttedpic->setImage(patternImage(40, 30));
        main().previewreload();
        const QString target = m_app->dir.filePath(QStringLiteral("from-preview.jpg"));
        m_app->prompter.files.push_back(target);
        QTest::mouseClick(main().preview->btmpreviewsave, Qt::LeftButton);
        QVERIFY(QFileInfo(target).size() > 0);
        QVERIFY(main().preview && main().preview->isVisible());
        QVERIFY(!QFileInfo::exists(settings));
    }

    // Not an assertion: the window as a user sees it, for a look by eye.
    void screenshot()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(300, 260)));
        main().show();
        main().previewreload();
        cut(QPoint(20, 20), QPoint(240, 250));
        saveScreenshot(main().preview, QStringLiteral("preview"));
        main().cuttedpic->setImage(QImage());
        main().cuttedpic->Move(0, 0, 1455, 1455);
        main().previewreload();
        saveScreenshot(main().preview, QStringLiteral("preview-blank"));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
