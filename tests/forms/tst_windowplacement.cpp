// Which platforms place windows, and what the settings file gets for the
// window's position on one that does: where the window stands now, not where
// the file said. (On Wayland, where the stored position is kept instead, the
// end-to-end test tests/e2e/wayland.sh checks the file.)

#include "forms/frmmain.h"
#include "testpictures.h"
#include "toolkit/windowplacement.h"

#include <QFile>
#include <QTest>

class WindowPlacementTest : public QObject
{
    Q_OBJECT
  private slots:
    void platformsThatPlaceWindows_data();
    void platformsThatPlaceWindows();
    void movedWindowIsStoredWhereItStands();
};

void WindowPlacementTest::platformsThatPlaceWindows_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("places");
    QTest::newRow("X11") << "xcb" << true;
    QTest::newRow("offscreen") << "offscreen" << true;
    QTest::newRow("Windows") << "windows" << true;
    QTest::newRow("Wayland") << "wayland" << false;
    QTest::newRow("Wayland over EGL") << "wayland-egl" << false;
    QTest::newRow("Wayland, generic") << "wayland-generic" << false;
}

void WindowPlacementTest::platformsThatPlaceWindows()
{
    QFETCH(QString, platform);
    QFETCH(bool, places);
    QCOMPARE(windowplacement::platformPlacesWindows(platform), places);
}

void WindowPlacementTest::movedWindowIsStoredWhereItStands()
{
    QVERIFY(windowplacement::platformPlacesWindows());
    TestApp app;
    QFile file(app.paths().settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"50\"\r\n0\r\n\"\"\r\n\"\"\r\n1500\r\n1200\r\n");
    file.close();
    app.restart();
    frmmain& main = *app.main;
    QVERIFY(main.settings().winleft.has_value());
    main.move(200, 140);
    main.savesetting();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY(lines.size() >= 6);
    QCOMPARE(lines[4].trimmed(), QByteArray::number(main.frameGeometry().x() * 15));
    QCOMPARE(lines[5].trimmed(), QByteArray::number(main.frameGeometry().y() * 15));
    QCOMPARE(lines[4].trimmed(), QByteArray("3000"));
}

QTEST_MAIN(WindowPlacementTest)
#include "tst_windowplacement.moc"
