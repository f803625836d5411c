#pragma once

// A mouse tool of the picture surface. Each tool keeps its own state, takes
// the surface's presses, moves and releases already converted to picture
// pixels, marks the document, and shows what it is doing through the view.
// Every mouse button acts as the left one, so no tool is told which it was.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

class PictureDocument;

// The colour and font chosen with the colour and font buttons, read afresh at
// every use.
struct ToolSettings
{
    QColor color;
    QString fontName; // empty until a font is chosen
    float fontSize = 8;
    bool bold = false;
    bool italic = false;
};

// The text a tool shows before it prints it: its box in picture pixels and
// how it looks.
struct TextPreview
{
    QPointF topLeft;
    QSizeF box;
    QString text;
    QFont font;
    QColor color;
};

// What a tool may show and ask while it works; the main window provides it.
class ToolView
{
  public:
    virtual ~ToolView() = default;

    // The selection frame around a rectangle of picture pixels.
    virtual void showFrame(const QRectF& area) = 0;
    virtual void showTextPreview(const TextPreview& preview) = 0;
    // The status bar's size readout.
    virtual void showReadout(const QString& text) = 0;
    // Told after every completed cut.
    virtual void pieceCut() = 0;

    virtual ToolSettings toolSettings() const = 0;
    // The text to place, as typed.
    virtual QString text() const = 0;
    // The resolution at which text sizes in points become picture pixels.
    virtual QSizeF textResolution() const = 0;
};

class Tool
{
  public:
    Tool(PictureDocument& document, ToolView& view) : m_document(document), m_view(view) {}
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // The tool's name as the status bar shows it.
    virtual QString modeName() const = 0;

    virtual void press(QPointF at) = 0;
    virtual void move(QPointF at) = 0;
    virtual void release(QPointF at) = 0;
    // Abandons whatever is under way: the tool is idle again.
    virtual void reset() = 0;
    // True while an action is under way (a cut anchored, a stroke running,
    // the eraser on).
    virtual bool busy() const = 0;

  protected:
    PictureDocument& document() const { return m_document; }
    ToolView& view() const { return m_view; }

  private:
    PictureDocument& m_document;
    ToolView& m_view;
};
