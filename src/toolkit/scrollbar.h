#pragma once

// A scroll bar whose Change event follows an arrow or track click, a key, or
// the release of the thumb, but not the drag itself. Values are 32-bit.

#include <QScrollBar>

class ScrollBar : public QScrollBar
{
    Q_OBJECT
  public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent);

    int Max() const { return maximum(); }
    void setMax(int max) { setMaximum(max); }
    int Value() const { return value(); }

    void Move(float left, float top, float width, float height);

  signals:
    void Change();
};
