#pragma once

// A picture box: a bordered surface that shows either a picture of its own or
// a picture document (the loaded picture with its marks), reports the mouse in
// its scale unit (twips) from the top-left corner of its inner area,
// and takes dropped files. Child controls placed on it are clipped to its
// inner area.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMimeData>
#include <QWidget>
#include <functional>

class PictureDocument;

class PictureBox : public QWidget
{
    Q_OBJECT
  public:
    enum class Border { None, FixedSingle, Sunken };

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

    // Inner size in the scale unit, twips.
    float ScaleWidth() const;
    float ScaleHeight() const;
    int borderWidth() const { return m_borderWidth; }
    // The inner size in pixels.
    QSize innerSize() const;

    // With automatic sizing the box takes the size of each picture it is given.
    bool AutoSize = false;
    QColor BackColor;

    // Shows a picture of its own.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Shows the document and follows its changes; the box is sized to each
    // picture the document loads when AutoSize is on.
    void setDocument(const PictureDocument* document);

    // Shows a picture of the given size that is still being decoded in place
    // of the document: the rows of picture that are final, else a corner
    // decoded ahead, else the back colour. The document shows again at the end
    // of the load, or when it is replaced.
    void showLoading(QSize size);
    void setLoadingCorner(const QImage& corner) { m_loadingCorner = corner; }
    void setLoadingPicture(const QImage& picture) { m_loadingPicture = picture; }
    void setLoadedRows(int rows) { m_loadedRows = rows; }
    int loadedRows() const { return m_loadedRows; }
    QRect loadingCorner() const { return m_loadingCorner.rect(); }
    void endLoading();
    bool isLoading() const { return m_loading; }

    // The scale at which the document is shown: 1 shows each picture pixel as
    // one pixel of the box. The box keeps the size of the picture at that scale.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);

    // The picture pixel under a point given in the scale unit.
    QPointF toPicture(float x, float y) const;
    // A rectangle of picture pixels as pixels of the inner area, each edge
    // rounded to the nearest.
    QRect fromPicture(const QRectF& area) const;
    // The pixels of the inner area that show anything of a picture area.
    QRect showing(const QRect& area) const;

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
    void fitTo(QSize innerSize);

    QWidget* m_client;
    Border m_border;
    int m_borderWidth;
    QImage m_picture;
    const PictureDocument* m_document = nullptr;
    double m_zoom = 1;
    bool m_loading = false;
    QImage m_loadingPicture;
    QImage m_loadingCorner;
    int m_loadedRows = 0;
};
