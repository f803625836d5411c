// A long session: open, draw, erase, print text, cut, export, preview and the
// options dialog, SOAK_CYCLES times (2000 by default) on small real pictures.
// Every cycle's results are checked against values computed here, and the
// resident memory after the warm-up must grow by less than 5 %.

#include "jpegcheck.h"
#include "settings/settingsfile.h"
#include "testpictures.h"
#include "toolkit/picturebox.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int kWarmUp = 100;
constexpr int kSampleEvery = 200;
constexpr double kMaxGrowth = 0.05;

// Resident memory once the allocator has handed its free pages back, so that
// what is measured is memory held, not the allocator's own slack.
long residentKiB()
{
    malloc_trim(0);
    FILE* statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class Soak
{
  public:
    Soak()
    {
        m_app.main->show();
        // Three real files: BMPs read by our reader, a JPEG by libjpeg-turbo.
        const QImage a = patternImage(160, 120, 1);
        const QImage b = patternImage(120, 150, 2);
        m_files << writeBmp(m_app.dir, QStringLiteral("a.bmp"), a)
                << writeBmp(m_app.dir, QStringLiteral("b.bmp"), b);
        const QString jpeg = m_app.dir.filePath(QStringLiteral("c.jpg"));
        smoothImage(140, 130).save(jpeg, "JPG", 90);
        m_files << jpeg;
        // What each file shows, read by Qt's own decoders rather than by ours.
        for (const QString& file : std::as_const(m_files))
            m_expected << QImage(file).convertToFormat(QImage::Format_RGB32);
        m_target = m_app.dir.filePath(QStringLiteral("piece.jpg"));
    }

    // One cycle; an empty result means every check held.
    QString cycle(int n)
    {
        // The scripted prompter keeps every question for tests to look at; a long
        // session forgets them, or the record itself would be the growth measured.
        m_app.prompter.openRequests.clear();
        m_app.prompter.saveRequests.clear();
        m_app.prompter.questions.clear();
        const int which = n % m_files.size();
        m_app.open(m_files[which]);
        const QImage& picture = m_expected[which];
        if (!sameRgb(m_app.shown(), picture))
            return QStringLiteral("open: the picture is not the file's");

        if (QString failed = drawAndErase(n, picture); !failed.isEmpty())
            return failed;
        if (QString failed = printText(n, picture); !failed.isEmpty())
            return failed;
        if (QString failed = cutAndExport(n); !failed.isEmpty())
            return failed;
        if (QString failed = previewAndOptions(n); !failed.isEmpty())
            return failed;
        if (!m_app.prompter.errors.isEmpty())
            return QStringLiteral("unexpected message: ") + m_app.prompter.errors.join(' ');
        return {};
    }

  private:
    QWidget* surface() const { return m_app.surface(); }
    const QImage& piece() const { return m_app.main->document().cuttedpic().image(); }
    QImage shown(const QRect& area) const { return m_app.main->document().marked(area); }
    QRgb shownPixel(int x, int y) const { return shown(QRect(x, y, 1, 1)).pixel(0, 0); }
    void click(const char* button) const
    {
        QTest::mouseClick(m_app.button(button), Qt::LeftButton);
    }

    QString drawAndErase(int n, const QImage& picture)
    {
        const int y = 20 + n % 40;
        click("btmdraw");
        QTest::mousePress(surface(), Qt::LeftButton, {}, QPoint(10, y));
        QTest::mouseMove(surface(), QPoint(90, y));
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, QPoint(90, y));
        // The default pen is 8 pixels of black: the middle of the stroke is black.
        if ((shownPixel(50, y) & 0xffffff) != 0)
            return QStringLiteral("draw: no stroke at (50,%1)").arg(y);

        click("btmerase");
        QTest::mousePress(surface(), Qt::LeftButton, {}, QPoint(40, y - 6));
        QTest::mouseMove(surface(), QPoint(44, y - 6));
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, QPoint(44, y - 6));
        // The eraser puts the picture back in the 13-pixel square below right of the pointer.
        const QRect erased(44, y - 6, 13, 13);
        if (!sameRgb(shown(erased), picture.copy(erased)))
            return QStringLiteral("erase: the square at (44,%1) is not the picture").arg(y - 6);
        if ((shownPixel(30, y) & 0xffffff) != 0)
            return QStringLiteral("erase: took away more than its square");
        return {};
    }

    QString printText(int n, const QImage& picture)
    {
        m_app.find<QLineEdit>("textbox")->setText(QStringLiteral("試験 %1").arg(n));
        click("btmtext");
        const QPoint at(8, 70);
        QTest::mousePress(surface(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, at);
        // The text lands right of and below the press, where the picture was untouched.
        const QRect area(at.x(), at.y(), 60, 30);
        if (sameRgb(shown(area), picture.copy(area)))
            return QStringLiteral("text: nothing printed");
        return {};
    }

    QString cutAndExport(int n)
    {
        const QRect rect(5 + n % 7, 3 + n % 5, 40 + n % 30, 30 + n % 20);
        const QImage marked = shown(rect);
        click("btmcut");
        QTest::mousePress(surface(), Qt::LeftButton, {}, rect.topLeft());
        QTest::mouseMove(surface(), rect.bottomRight() + QPoint(1, 1));
        QTest::mousePress(surface(), Qt::LeftButton, {}, rect.bottomRight() + QPoint(1, 1));
        if (!sameRgb(piece(), marked))
            return QStringLiteral("cut: the piece is not the selection");

        m_app.prompter.files.push_back(m_target);
        m_app.prompter.confirmations.push_back(true); // replace the last cycle's file
        click("btmsave");
        const DecodedJpeg decoded = decodeJpeg(fileBytes(m_target));
        if (decoded.image.size() != marked.size())
            return QStringLiteral("export: the JPEG is not %1 x %2")
                .arg(marked.width())
                .arg(marked.height());
        const double error = meanAbsError(decoded.image, marked);
        if (error > 20)
            return QStringLiteral("export: the JPEG differs by %1 a channel").arg(error);
        return {};
    }

    QString previewAndOptions(int n)
    {
        frmmain& m = *m_app.main;
        m_app.find<QAction>("mpreview")->trigger();
        QWidget* preview = m.previewWindow();
        if (!preview || !preview->isVisible() ||
            !sameRgb(control<PictureBox>(preview, "picpreview")->picture(), piece()))
            return QStringLiteral("preview: not showing the piece");
        QTest::mouseClick(control(preview, "btmpreviewcancel"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m.previewWindow())
            return QStringLiteral("preview: still there after closing");

        const QString quality = QString::number(40 + n % 50);
        m_app.find<QAction>("moption")->trigger();
        control<QLineEdit>(m.optionWindow(), "kaizoudo")->setText(quality);
        QTest::mouseClick(control(m.optionWindow(), "Command2"), Qt::LeftButton);
        const std::optional<SettingsRecords> records =
            settingsfile::read(m_app.paths().settingsFile);
        if (!records || settingsfile::interpret(*records).quality != quality)
            return QStringLiteral("options: quality %1 not in the settings file").arg(quality);
        if (!m.isEnabled())
            return QStringLiteral("options: the main window stayed disabled");
        return {};
    }

    TestApp m_app;
    QStringList m_files;
    QList<QImage> m_expected;
    QString m_target;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's remarks (it cannot raise windows) would bury the memory curve.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication application(argc, argv);
    const int cycles = std::max(kWarmUp + 1, qEnvironmentVariableIntValue("SOAK_CYCLES") > 0
                                                 ? qEnvironmentVariableIntValue("SOAK_CYCLES")
                                                 : 2000);
    Soak soak;
    long baseline = 0;
    // Resident memory is what must stay flat; the heap in use tells a leak from fragmentation.
    std::printf("cycle  resident KiB  heap in use KiB\n");
    for (int n = 1; n <= cycles; ++n) {
        const QString failed = soak.cycle(n);
        QCoreApplication::processEvents();
        if (!failed.isEmpty()) {
            std::printf("cycle %d failed: %s\n", n, qPrintable(failed));
            return 1;
        }
        if (n == kWarmUp)
            baseline = residentKiB();
        if (n == kWarmUp || n % kSampleEvery == 0 || n == cycles)
            std::printf("%5d  %12ld  %14zu\n", n, residentKiB(), mallinfo2().uordblks / 1024);
        std::fflush(stdout);
    }
    const long last = residentKiB();
    const double growth = static_cast<double>(last - baseline) / static_cast<double>(baseline);
    std::printf("%d cycles, all results right; memory after the warm-up grew by %.2f %%\n", cycles,
                growth * 100);
    return growth < kMaxGrowth ? 0 : 1;
}
