#pragma once

// Pictures and windows for tests: deterministic images whose every pixel differs
// from its neighbours, written to a temporary folder, and a main window set up
// with a scripted prompter and its own settings file.

#include "forms/frmmain.h"
#include "scriptedprompter.h"
#include "toolkit/picturebox.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QTemporaryDir>
#include <memory>

// Pixel (x, y) has a colour no other pixel nearby shares, so an off-by-one crop shows.
QImage patternImage(int width, int height, int seed = 0);

// Writes an image as a lossless BMP and returns its path.
QString writeBmp(const QTemporaryDir& dir, const QString& name, const QImage& image);

// Compares two images pixel by pixel, as opaque RGB; describes the first difference.
bool sameRgb(const QImage& a, const QImage& b, QString* difference = nullptr);

// Saves a grab of a window as <name>.png into the folder named by
// SNIPWELL_SCREENSHOTS, for a look by eye; does nothing when it is not set.
void saveScreenshot(QWidget* window, const QString& name);

// True when text set in font shapes into real glyphs only: no character is
// left to the empty box a font draws for one it lacks.
bool hasAllGlyphs(const QString& text, const QFont& font);

// How many different colours a grab of widget shows: a blank one shows one.
int coloursShown(QWidget* widget);

// The bytes of a file; "<missing>" when it cannot be read.
QByteArray fileContents(const QString& path);
// Makes the file hold exactly bytes; false when that fails.
bool replaceFile(const QString& path, const QByteArray& bytes);

// The JPEG library built beside the tests.
QString jpegLibraryForTests();

// A control of a window, found by its design name; the test fails loudly
// (a null pointer) when there is no such control.
template <typename Control = QWidget> Control* control(const QObject* window, const char* name)
{
    return window ? window->findChild<Control*>(QString::fromLatin1(name)) : nullptr;
}

// A completed cut of area (picture pixels) through the window's handlers: the
// Cut button, an anchor press at its top-left corner, a move and a completing
// press at its bottom-right corner.
void cutPiece(frmmain& window, const QRect& area);

struct TestApp
{
    TestApp();
    ~TestApp();
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<frmmain> main;

    AppPaths paths() const;
    // Starts the main window again, as after a restart, on the same settings file.
    void restart();
    // Loads a picture through the real open path (the scripted dialog answers with it).
    void open(const QString& path);

    // A control of the main window by its design name.
    template <typename Control = QWidget> Control* find(const char* name) const
    {
        return control<Control>(main.get(), name);
    }
    PictureBox* picmain() const;
    // The picture surface's inner area, where the mouse is reported.
    QWidget* surface() const;
    QPushButton* button(const char* name) const;
    QString panel(int number) const;
    // The text preview over the picture surface.
    QLabel* textPreview() const;
    // The selection frame as shown: the box around its visible edges, in pixels
    // of the surface; empty while the frame is collapsed.
    QRect selectionFrame() const;
    // The marked picture as shown, whole.
    QImage shown() const;
    // Chooses a colour or a font through the real buttons and a scripted dialog.
    void chooseColor(const QColor& color);
    void chooseFont(const QFont& font);
    void chooseFontSize(float size);
    // Sets the quality and the progressive flag through the options dialog's
    // controls (the dialog stays closed).
    void setJpegOptions(const QString& quality, bool progressive);
    // Values no control sets (the remembered paths, the stored position): the
    // settings file is made to hold them and read again, as at a start.
    void loadSettings(const Settings& values);
    void cut(const QRect& area) { cutPiece(*main, area); }
    // A stroke with the Draw tool between two picture pixels, through the
    // window's handlers, in the colour and size chosen before.
    void drawLine(QPoint from, QPoint to);
};
