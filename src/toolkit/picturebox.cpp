#include "toolkit/picturebox.h"

#include "document/picturedocument.h"
#include "units/twips.h"

#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

// The inner area of a picture box: it paints the shown image, reports the mouse
// and clips the child controls placed on the box.
class PictureClient final : public QWidget
{
  public:
    explicit PictureClient(PictureBox* box) : QWidget(box), m_box(box)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* event) override { m_box->paintClient(event); }
    void mousePressEvent(QMouseEvent* event) override { m_box->emitMouse(event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_box->emitMouse(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_box->emitMouse(event); }
    // The second press of a double click arrives as a press of its own already.
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

  private:
    PictureBox* m_box;
};

namespace {

int widthOf(PictureBox::Border border)
{
    switch (border) {
    case PictureBox::Border::None:
        return 0;
    case PictureBox::Border::FixedSingle:
        return 1;
    case PictureBox::Border::Sunken:
        return 2;
    }
    return 0;
}

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

// Qt hands a widget its mouse position rounded to whole device-independent
// pixels, so on a screen scaled by 2 the right half of a pixel would count as
// the next one. The position in the window keeps the fraction; it is taken when
// it agrees with the rounded one (events made by hand may not carry it).
QPointF exactPosition(const QMouseEvent* event, const QWidget* widget)
{
    const QPointF inWindow =
        event->scenePosition() - QPointF(widget->mapTo(widget->window(), QPoint(0, 0)));
    const QPointF rounded = event->position();
    if (std::abs(inWindow.x() - rounded.x()) <= 0.5 && std::abs(inWindow.y() - rounded.y()) <= 0.5)
        return inWindow;
    return rounded;
}

} // namespace

PictureBox::PictureBox(QWidget* parent, Border border)
    : QWidget(parent), m_client(new PictureClient(this)), m_border(border),
      m_borderWidth(widthOf(border))
{
    BackColor = palette().color(QPalette::Button);
    setFocusPolicy(Qt::TabFocus);
}

void PictureBox::Move(float left, float top, float width, float height)
{
    twips::move(this, left, top, width, height);
}

void PictureBox::Move(float left, float top)
{
    move(twips::toPixels(left), twips::toPixels(top));
}

float PictureBox::Left() const
{
    return twips::left(this);
}

float PictureBox::Top() const
{
    return twips::top(this);
}

float PictureBox::Width() const
{
    return twips::width(this);
}

float PictureBox::Height() const
{
    return twips::height(this);
}

QSize PictureBox::innerSize() const
{
    return QSize(std::max(0, width() - 2 * m_borderWidth),
                 std::max(0, height() - 2 * m_borderWidth));
}

float PictureBox::ScaleWidth() const
{
    return twips::fromPixels(innerSize().width());
}

float PictureBox::ScaleHeight() const
{
    return twips::fromPixels(innerSize().height());
}

void PictureBox::showLoading(QSize size)
{
    m_loading = true;
    m_loadingPicture = QImage();
    m_loadingCorner = QImage();
    m_loadedRows = 0;
    fitTo(size);
}

void PictureBox::endLoading()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_loadingPicture = QImage();
    m_loadingCorner = QImage();
    m_client->update();
}

void PictureBox::setZoom(double zoom)
{
    m_zoom = zoom;
    if (m_document && AutoSize)
        fitTo(m_document->viewSize(m_zoom));
    m_client->update();
}

QPointF PictureBox::toPicture(float x, float y) const
{
    const QPointF pixel(twips::toPixelsF(x), twips::toPixelsF(y));
    if (m_zoom == 1)
        return pixel;
    return QPointF(std::floor(pixel.x() / m_zoom), std::floor(pixel.y() / m_zoom));
}

QRect PictureBox::fromPicture(const QRectF& area) const
{
    const auto whole = [this](double value) {
        return static_cast<int>(twips::roundHalfEven(value * m_zoom));
    };
    return QRect(whole(area.x()), whole(area.y()), whole(area.width()), whole(area.height()));
}

QRect PictureBox::showing(const QRect& area) const
{
    if (m_zoom == 1)
        return area;
    const auto down = [this](int value) { return static_cast<int>(std::floor(value * m_zoom)); };
    const auto up = [this](int value) { return static_cast<int>(std::ceil(value * m_zoom)); };
    return QRect(QPoint(down(area.left()), down(area.top())),
                 QPoint(up(area.right() + 1) - 1, up(area.bottom() + 1) - 1));
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = picture;
    if (AutoSize)
        fitTo(m_picture.size());
    m_client->update();
}

void PictureBox::setDocument(const PictureDocument* document)
{
    m_document = document;
    connect(document, &PictureDocument::pictureReplaced, this, [this] {
        endLoading();
        if (AutoSize)
            fitTo(m_document->viewSize(m_zoom));
        m_client->update();
    });
    connect(document, &PictureDocument::changed, this,
            [this](const QRect& area) { m_client->update(showing(area)); });
    m_client->update();
}

void PictureBox::fitTo(QSize innerSize)
{
    resize(innerSize.width() + 2 * m_borderWidth, innerSize.height() + 2 * m_borderWidth);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (m_border == Border::None)
        return;
    QPainter painter(this);
    if (m_border == Border::FixedSingle) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    QStyleOptionFrame option;
    option.initFrom(this);
    option.frameShape = QFrame::StyledPanel;
    option.state |= QStyle::State_Sunken;
    option.lineWidth = m_borderWidth;
    style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    m_client->setGeometry(
        rect().adjusted(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth));
}

void PictureBox::paintClient(QPaintEvent* event)
{
    QPainter painter(m_client);
    const QRect dirty = event->rect();
    if (m_loading) {
        const QRect decoded = m_loadingPicture.isNull()
                                  ? QRect()
                                  : QRect(0, 0, m_loadingPicture.width(), m_loadedRows);
        const QRect shown = dirty.intersected(decoded);
        if (!shown.isEmpty())
            painter.drawImage(shown, m_loadingPicture, shown);
        QRegion rest = QRegion(dirty).subtracted(QRegion(shown));
        const QRegion ahead = rest.intersected(m_loadingCorner.rect());
        for (const QRect& part : ahead)
            painter.drawImage(part, m_loadingCorner, part);
        for (const QRect& part : rest.subtracted(ahead))
            painter.fillRect(part, BackColor);
        return;
    }
    const QRect pictureArea =
        m_document ? QRect(QPoint(0, 0), m_document->viewSize(m_zoom)) : m_picture.rect();
    const QRect covered = dirty.intersected(pictureArea);
    if (!covered.isEmpty()) {
        if (m_document)
            m_document->paint(painter, covered, m_zoom);
        else
            painter.drawImage(covered, m_picture, covered);
    }
    const QRegion background = QRegion(dirty).subtracted(QRegion(covered));
    for (const QRect& part : background)
        painter.fillRect(part, BackColor);
}

void PictureBox::emitMouse(QMouseEvent* event)
{
    // Pointer positions fall on whole pixels: the pixel under the pointer.
    const QPointF pos = exactPosition(event, m_client);
    const float x = twips::fromPixels(std::floor(pos.x()));
    const float y = twips::fromPixels(std::floor(pos.y()));
    const int shift = shiftCode(event->modifiers());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit MouseDown(buttonCode(event->button()), shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        emit MouseUp(buttonCode(event->button()), shift, x, y);
        break;
    default:
        emit MouseMove(buttonCode(event->buttons()), shift, x, y);
        break;
    }
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrop && acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrop && acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PictureBox::dropEvent(QDropEvent* event)
{
    if (!acceptsDrop || !acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit OLEDragDrop(event->mimeData());
}
