#pragma once

// A picture box with a persistent image. It holds two layers: the loaded
// picture, and the shown image, which starts as the picture and keeps all that
// is drawn, printed or painted on it. The two share their pixels until the first
// mark. Coordinates of the drawing operations and mouse events are in the box's
// scale unit (twips or pixels) from the top-left corner of its inner area.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMimeData>
#include <QWidget>
#include <functional>
#include <optional>

class PictureBox : public QWidget
{
    Q_OBJECT
  public:
    enum class Border { None, FixedSingle, Sunken };
    enum class ScaleUnit { Twips, Pixels };

    explicit PictureBox(QWidget* parent, Border border = Border::FixedSingle);

    // The inner area: child controls are placed and clipped here.
    QWidget* client() const { return m_client; }

    // Outer geometry in the container's twips.
    void Move(float left, float top, float width, float height);
    void Move(float left, float top);
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;

    // Inner size in the scale unit.
    float ScaleWidth() const;
    float ScaleHeight() const;
    ScaleUnit scaleUnit() const { return m_unit; }
    void setScaleUnit(ScaleUnit unit) { m_unit = unit; }
    int borderWidth() const { return m_borderWidth; }
    // The inner size in pixels.
    QSize innerSize() const;

    // With automatic sizing the box takes the size of each picture assigned to it.
    bool AutoSize = false;
    QColor BackColor;
    QColor ForeColor = Qt::black;
    int DrawWidth = 1;
    float CurrentX = 0;
    float CurrentY = 0;
    QFont Font;

    // Replaces the loaded picture; the shown image becomes the picture again.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Replaces the shown image alone (the piece store keeps its copy this way).
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

    // Clears the shown image back to the loaded picture, or to the back colour.
    void Cls();
    // Copies srcW x srcH at (srcX, srcY) of source to (dstX, dstY), clipped to the
    // shown image. The destination size is the source size; scaling is not offered.
    void PaintPicture(const QImage& source, float dstX, float dstY, float srcX, float srcY,
                      float srcW, float srcH);
    // A line in ForeColor, DrawWidth pixels wide with round ends.
    void Line(float x1, float y1, float x2, float y2);
    // One line of text at (CurrentX, CurrentY) in ForeColor and Font, no background.
    void Print(const QString& text);

    // Converts between the scale unit and pixels of the shown image.
    double toPixel(float value) const;
    float fromPixel(double pixel) const;
    QRect pixelRect(float left, float top, float width, float height) const;

    // Asked when something is dragged over the box; a box that answers no (or has
    // no answer) does not take drops.
    std::function<bool(const QMimeData*)> acceptsDrop;

  signals:
    // Button and Shift follow the conventional codes: 1 left, 2 right, 4 middle;
    // 1 Shift, 2 Ctrl, 4 Alt.
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void OLEDragDrop(const QMimeData* data);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    friend class PictureClient;
    void paintClient(QPaintEvent* event);
    void emitMouse(QMouseEvent* event);
    void fitToPicture();
    void clearToBackColor();
    // Makes the shown image a private, paintable copy before the first mark.
    QImage& paintableImage();

    QWidget* m_client;
    Border m_border;
    int m_borderWidth;
    ScaleUnit m_unit = ScaleUnit::Twips;
    QImage m_picture;
    QImage m_image;
};
