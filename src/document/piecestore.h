#pragma once

// The piece store: the piece of the picture that the last completed cut took,
// as the export writes it, the preview shows it and the clipboard receives it.
// It keeps its size when it is cleared; before the first cut it holds a blank
// piece of the size it was made with.

#include <QImage>
#include <QSize>

class PieceStore
{
  public:
    explicit PieceStore(QSize size);

    QSize size() const { return m_size; }
    // Null when the piece has no area.
    const QImage& image() const { return m_image; }

    // Clears the piece to its background at its present size.
    void Cls();
    // A blank piece of a new size.
    void resize(QSize size);
    // Makes pixels the piece; its size becomes theirs.
    void take(QImage pixels);
    // A blank piece of the given size: where a cut reaches past the picture,
    // the piece shows this background.
    static QImage blank(QSize size);

  private:
    QSize m_size;
    QImage m_image;
};
