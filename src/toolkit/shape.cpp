#include "toolkit/shape.h"

#include "units/twips.h"

#include <QPainter>
#include <QWidget>

namespace {

// One side of the outline: black dots on white, visible on any picture.
class Edge final : public QWidget
{
  public:
    explicit Edge(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const bool across = width() >= height();
        const int length = across ? width() : height();
        // Dots keep their phase along the frame, so a moved frame does not shimmer.
        const int phase = (across ? x() : y()) & 1;
        for (int i = phase; i < length; i += 2)
            painter.fillRect(across ? QRect(i, 0, 1, 1) : QRect(0, i, 1, 1), Qt::black);
    }
};

} // namespace

Shape::Shape(QWidget* parent) : QObject(parent)
{
    for (QWidget*& edge : m_edges)
        edge = new Edge(parent);
}

void Shape::Move(float left, float top, float width, float height)
{
    setRect(QRect(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                  twips::toPixels(height)));
}

void Shape::setRect(const QRect& pixels)
{
    m_rect =
        QRect(pixels.topLeft(), QSize(std::max(0, pixels.width()), std::max(0, pixels.height())));
    const QRect r = m_rect;
    const bool visible = r.width() > 0 && r.height() > 0;
    const std::array<QRect, 4> sides = {
        QRect(r.left(), r.top(), r.width(), 1),                  // top
        QRect(r.left(), r.top() + r.height() - 1, r.width(), 1), // bottom
        QRect(r.left(), r.top(), 1, r.height()),                 // left
        QRect(r.left() + r.width() - 1, r.top(), 1, r.height()), // right
    };
    for (size_t i = 0; i < m_edges.size(); ++i) {
        m_edges[i]->setGeometry(sides[i]);
        m_edges[i]->setVisible(visible);
        if (visible)
            m_edges[i]->raise();
    }
}

float Shape::Left() const
{
    return twips::fromPixels(m_rect.x());
}

float Shape::Top() const
{
    return twips::fromPixels(m_rect.y());
}

float Shape::Width() const
{
    return twips::fromPixels(m_rect.width());
}

float Shape::Height() const
{
    return twips::fromPixels(m_rect.height());
}
