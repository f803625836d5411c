#include "testpictures.h"

#include "settings/settingsfile.h"
#include "toolkit/statusbar.h"
#include "units/twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QLineEdit>
#include <QSet>
#include <QTextLayout>
#include <QWidget>

QImage patternImage(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] =
                qRgb((x * 7 + seed) & 0xff, (y * 5 + seed * 3) & 0xff, (x * 3 + y * 11) & 0xff);
    }
    return image;
}

QString writeBmp(const QTemporaryDir& dir, const QString& name, const QImage& image)
{
    const QString path = dir.filePath(name);
    image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
    return path;
}

bool sameRgb(const QImage& a, const QImage& b, QString* difference)
{
    if (a.size() != b.size()) {
        if (difference)
            *difference = QStringLiteral("sizes %1x%2 and %3x%4")
                              .arg(a.width())
                              .arg(a.height())
                              .arg(b.width())
                              .arg(b.height());
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff)) {
                if (difference)
                    *difference = QStringLiteral("pixel (%1,%2): %3 vs %4")
                                      .arg(x)
                                      .arg(y)
                                      .arg(a.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))
                                      .arg(b.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'));
                return false;
            }
        }
    }
    return true;
}

TestApp::TestApp()
{
    main = std::make_unique<frmmain>(prompter, paths());
}

TestApp::~TestApp() = default;

void saveScreenshot(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("SNIPWELL_SCREENSHOTS");
    if (folder.isEmpty() || !window)
        return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

bool hasAllGlyphs(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    qsizetype glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        // Glyph 0 of every font is the box for a missing character.
        if (run.glyphIndexes().contains(0))
            return false;
        glyphs += run.glyphIndexes().size();
    }
    return glyphs > 0;
}

int coloursShown(QWidget* widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        colours.unite(QSet<QRgb>(line, line + image.width()));
    }
    return static_cast<int>(colours.size());
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString jpegLibraryForTests()
{
    // CTest names the library; a test binary started by hand finds it where it was built.
    const QString named = qEnvironmentVariable("SNIPWELL_SAVEJPG");
    return named.isEmpty() ? QStringLiteral(SAVEJPG_BUILD_DIR "/libsavejpg.so") : named;
}

AppPaths TestApp::paths() const
{
    return {dir.filePath(QStringLiteral("setting.ini")), jpegLibraryForTests()};
}

void TestApp::restart()
{
    main.reset();
    main = std::make_unique<frmmain>(prompter, paths());
}

void TestApp::open(const QString& path)
{
    prompter.files.push_back(path);
    main->mopen_Click();
}

PictureBox* TestApp::picmain() const
{
    return find<PictureBox>("picmain");
}

QWidget* TestApp::surface() const
{
    return picmain()->client();
}

QPushButton* TestApp::button(const char* name) const
{
    return find<QPushButton>(name);
}

QString TestApp::panel(int number) const
{
    return find<StatusBar>("statusbar")->Panel(number);
}

QLabel* TestApp::textPreview() const
{
    return find<QLabel>("textimage");
}

QRect TestApp::selectionFrame() const
{
    // The frame's edges are the surface's only unnamed children; the text
    // preview carries its design name.
    QRect frame;
    for (QWidget* child : surface()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName().isEmpty() && !child->isHidden())
            frame |= child->geometry();
    }
    return frame;
}

QImage TestApp::shown() const
{
    const PictureDocument& document = main->document();
    return document.picture().isNull() ? QImage() : document.marked(document.rect());
}

void TestApp::chooseColor(const QColor& color)
{
    prompter.colors.push_back(color);
    button("btmcolor")->click();
}

void TestApp::chooseFont(const QFont& font)
{
    prompter.fonts.push_back(font);
    button("btmfont")->click();
}

void TestApp::chooseFontSize(float size)
{
    QFont font;
    font.setPointSizeF(static_cast<double>(size));
    chooseFont(font);
}

void TestApp::setJpegOptions(const QString& quality, bool progressive)
{
    QWidget* option = main->optionWindow();
    control<QLineEdit>(option, "kaizoudo")->setText(quality);
    control<QCheckBox>(option, "pro")->setChecked(progressive);
}

void TestApp::loadSettings(const Settings& values)
{
    settingsfile::write(paths().settingsFile, values);
    main->loadsetting();
}

void cutPiece(frmmain& window, const QRect& area)
{
    window.btmcut_Click();
    window.picmain_MouseDown(1, 0, twips::fromPixels(area.left()), twips::fromPixels(area.top()));
    const float right = twips::fromPixels(area.left() + area.width());
    const float bottom = twips::fromPixels(area.top() + area.height());
    window.picmain_MouseMove(1, 0, right, bottom);
    window.picmain_MouseDown(1, 0, right, bottom);
}

void TestApp::drawLine(QPoint from, QPoint to)
{
    main->btmdraw_Click();
    main->picmain_MouseDown(1, 0, twips::fromPixels(from.x()), twips::fromPixels(from.y()));
    main->picmain_MouseMove(1, 0, twips::fromPixels(to.x()), twips::fromPixels(to.y()));
    main->picmain_MouseUp(1, 0, twips::fromPixels(to.x()), twips::fromPixels(to.y()));
}
