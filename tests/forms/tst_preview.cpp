// The preview window: its controls, its size around the piece, its refresh
// after each cut while it is shown, and its two buttons.

#include "forms/frmpreview.h"
#include "testpictures.h"
#include "toolkit/picturebox.h"
#include "units/twips.h"

#include <QAction>
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
    QWidget* preview() { return main().previewWindow(); }
    PictureBox* picpreview() { return control<PictureBox>(preview(), "picpreview"); }
    const QImage& piece() { return main().document().cuttedpic().image(); }

    // Cuts a piece whose preview picture box (one pixel of border each side)
    // has the given outer size in pixels, out of a picture loaded for it.
    QImage setPieceForBox(int boxWidth, int boxHeight, int seed = 0)
    {
        const QImage picture = patternImage(400, 400);
        if (main().document().picture().isNull())
            m_app->open(writeBmp(m_app->dir, QStringLiteral("large.bmp"), picture));
        const QRect area(seed * 3, seed * 2, boxWidth - 2, boxHeight - 2);
        m_app->cut(area);
        return picture.copy(area);
    }

    // A real cut with the Cut tool between two pixels of the picture surface.
    void cut(QPoint from, QPoint to)
    {
        QTest::mouseClick(m_app->button("btmcut"), Qt::LeftButton);
        QWidget* surface = m_app->surface();
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
        QVERIFY(preview());
        QCOMPARE(preview()->windowTitle(), QStringLiteral("プレビュー"));
        const auto* save = control<QPushButton>(preview(), "btmpreviewsave");
        const auto* cancel = control<QPushButton>(preview(), "btmpreviewcancel");
        QCOMPARE(save->text(), QStringLiteral("保存"));
        QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
        QCOMPARE(save->geometry(), QRect(8, 8, 66, 33));
        QCOMPARE(cancel->geometry(), QRect(88, 8, 66, 33));
        QCOMPARE(picpreview()->pos(), QPoint(0, 48));
        QVERIFY(preview()->isVisible());
        QVERIFY(!preview()->parentWidget());
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
        QCOMPARE(picpreview()->size(), QSize(boxWidth, boxHeight));
        const QSize outer = preview()->frameGeometry().size();
        QVERIFY2(nearTwips(twips::fromPixels(outer.width()), width),
                 qPrintable(QString::number(outer.width())));
        QVERIFY2(nearTwips(twips::fromPixels(outer.height()), height),
                 qPrintable(QString::number(outer.height())));
    }

    void showsACopyOfThePiece()
    {
        const QImage cut = setPieceForBox(122, 92, 4);
        main().previewreload();
        QString difference;
        QVERIFY2(sameRgb(picpreview()->picture(), cut, &difference), qPrintable(difference));
        // Later changes of the piece store reach the preview only by a refresh:
        // a cut completed on its anchor's row, left of it, clears the piece and
        // refreshes nothing.
        main().btmcut_Click();
        main().picmain_MouseDown(1, 0, 1500, 1500);
        main().picmain_MouseDown(1, 0, 750, 1500);
        QImage cleared(cut.size(), QImage::Format_RGB32);
        cleared.fill(Qt::white);
        QVERIFY(sameRgb(piece(), cleared));
        QVERIFY(sameRgb(picpreview()->picture(), cut));
    }

    void blankPieceBeforeFirstCut()
    {
        main().previewreload();
        const QImage shown = picpreview()->picture();
        QCOMPARE(shown.size(), QSize(97, 97));
        QCOMPARE(QColor(shown.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(96, 96)), QColor(Qt::white));
    }

    void refreshKeepsLeftAndTop()
    {
        setPieceForBox(80, 60);
        main().previewreload();
        QWidget* shown = preview();
        shown->move(310, 205);
        const QPoint corner = shown->frameGeometry().topLeft();
        setPieceForBox(260, 300, 2);
        main().previewreload();
        QCOMPARE(preview(), shown);
        QCOMPARE(shown->frameGeometry().topLeft(), corner);
        QVERIFY(nearTwips(twips::fromPixels(shown->frameGeometry().width()), 260 * 15 + 100));
    }

    void menuOpensIt()
    {
        QVERIFY(!preview());
        m_app->find<QAction>("mpreview")->trigger();
        QVERIFY(preview());
        QVERIFY(preview()->isVisible());
    }

    void cutRefreshesAShownPreview()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(200, 150)));
        main().show();
        main().previewreload();
        QCOMPARE(picpreview()->picture().size(), QSize(97, 97));
        cut(QPoint(10, 20), QPoint(70, 60));
        QCOMPARE(piece().size(), QSize(60, 40));
        QVERIFY(sameRgb(picpreview()->picture(), piece()));
        QCOMPARE(picpreview()->size(), piece().size() + QSize(2, 2));
        QVERIFY(nearTwips(twips::fromPixels(preview()->frameGeometry().height()), 3400));
    }

    void cutDoesNotOpenAClosedPreview()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(200, 150)));
        main().show();
        main().previewreload();
        preview()->close();
        discardClosedWindows();
        QVERIFY(!preview());
        cut(QPoint(5, 5), QPoint(60, 50));
        QCOMPARE(piece().size(), QSize(55, 45));
        QVERIFY(!preview());
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
        QPointer<QWidget> shown = preview();
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        if (how == QLatin1String("button")) {
            QTest::mouseClick(control(shown, "btmpreviewcancel"), Qt::LeftButton);
        } else if (how.startsWith(QLatin1String("escape"))) {
            QWidget* focus = how.endsWith(QLatin1String("save")) ? control(shown, "btmpreviewsave")
                                                                 : control(shown, "picpreview");
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
        } else {
            shown->close();
        }
        discardClosedWindows();
        QVERIFY(!shown);
        QVERIFY(!preview());
        // The next refresh makes a new one.
        main().previewreload();
        QVERIFY(preview() && preview()->isVisible());
    }

    void saveButtonExportsOnly()
    {
        const QString settings = m_app->paths().settingsFile;
        setPieceForBox(42, 32);
        QFile::remove(settings);
        main().previewreload();
        const QString target = m_app->dir.filePath(QStringLiteral("from-preview.jpg"));
        m_app->prompter.files.push_back(target);
        QTest::mouseClick(control(preview(), "btmpreviewsave"), Qt::LeftButton);
        QVERIFY(QFileInfo(target).size() > 0);
        QVERIFY(preview() && preview()->isVisible());
        QVERIFY(!QFileInfo::exists(settings));
    }

    // What the user sees: the piece's own pixels in the picture box.
    void showsThePieceOnScreen()
    {
        m_app->open(writeBmp(m_app->dir, QStringLiteral("source.bmp"), patternImage(300, 260)));
        main().show();
        main().previewreload();
        cut(QPoint(20, 20), QPoint(240, 250));
        QVERIFY(QTest::qWaitForWindowExposed(preview()));
        saveScreenshot(preview(), QStringLiteral("preview"));
        const QImage seen = picpreview()->client()->grab().toImage();
        QString difference;
        QVERIFY2(sameRgb(seen, patternImage(300, 260).copy(20, 20, 220, 230), &difference),
                 qPrintable(difference));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
