#pragma once

// An unfilled rectangle outline placed over a picture box. It is drawn as four
// thin edges, so moving it repaints only the edges and never the area inside;
// it takes no mouse input, so presses on it reach the surface below.

#include <QObject>
#include <QRect>
#include <array>

class QWidget;

class Shape : public QObject
{
  public:
    explicit Shape(QWidget* parent);

    void Move(float left, float top, float width, float height);
    // Places the outline by its place in its container, in pixels.
    void setRect(const QRect& pixels);
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    // The outline's place in its container, in pixels.
    QRect geometry() const { return m_rect; }

  private:
    QRect m_rect;
    std::array<QWidget*, 4> m_edges;
};
