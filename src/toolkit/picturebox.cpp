#include "toolkit/picturebox.h"

#include "input/picturememory.h"
#include "units/twips.h"

#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cstring>

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

// Pictures are kept in one of the two formats that Qt draws fastest.
QImage drawable(const QImage& picture)
{
    if (picture.isNull())
        return picture;
    if (picture.format() == QImage::Format_RGB32 ||
        picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

// Point sizes become pixels by the resolution of the device painted on. Text
// printed on the shown image must be as large as on the screen, where labels
// over the box preview it, whatever resolution the picture file declared.
void useScreenResolution(QImage& image, const QWidget* screenSide)
{
    constexpr double metresPerInch = 0.0254;
    const int perMetreX = qRound(screenSide->logicalDpiX() / metresPerInch);
    const int perMetreY = qRound(screenSide->logicalDpiY() / metresPerInch);
    if (image.dotsPerMeterX() != perMetreX)
        image.setDotsPerMeterX(perMetreX);
    if (image.dotsPerMeterY() != perMetreY)
        image.setDotsPerMeterY(perMetreY);
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
    return fromPixel(innerSize().width());
}

float PictureBox::ScaleHeight() const
{
    return fromPixel(innerSize().height());
}

double PictureBox::toPixel(float value) const
{
    return m_unit == ScaleUnit::Twips ? static_cast<double>(value) / twips::perPixel
                                      : static_cast<double>(value);
}

float PictureBox::fromPixel(double pixel) const
{
    return m_unit == ScaleUnit::Twips ? twips::fromPixels(pixel) : static_cast<float>(pixel);
}

QRect PictureBox::pixelRect(float left, float top, float width, float height) const
{
    const auto px = [this](float v) { return static_cast<int>(twips::roundHalfEven(toPixel(v))); };
    return QRect(px(left), px(top), px(width), px(height));
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = drawable(picture);
    m_image = m_picture;
    if (AutoSize)
        fitToPicture();
    m_client->update();
}

void PictureBox::setImage(const QImage& image)
{
    m_image = drawable(image);
    m_client->update();
}

void PictureBox::fitToPicture()
{
    resize(m_picture.width() + 2 * m_borderWidth, m_picture.height() + 2 * m_borderWidth);
}

QImage& PictureBox::paintableImage()
{
    if (m_image.isNull()) {
        clearToBackColor();
    } else if (!m_image.isDetached()) {
        // The first mark gives the shown image pixels of its own; a large copy
        // goes into picture memory, filled in one call rather than page by page.
        QImage own = copyPictureImage(m_image);
        if (!own.isNull())
            m_image = own;
    }
    return m_image;
}

void PictureBox::clearToBackColor()
{
    m_image = QImage(innerSize(), QImage::Format_RGB32);
    m_image.fill(BackColor);
}

void PictureBox::Cls()
{
    if (!m_picture.isNull())
        m_image = m_picture;
    else
        clearToBackColor();
    m_client->update();
}

void PictureBox::PaintPicture(const QImage& source, float dstX, float dstY, float srcX, float srcY,
                              float srcW, float srcH)
{
    if (source.isNull())
        return;
    const QRect from = pixelRect(srcX, srcY, srcW, srcH).intersected(source.rect());
    const QPoint offset =
        pixelRect(dstX, dstY, 0, 0).topLeft() - pixelRect(srcX, srcY, 0, 0).topLeft();
    // Copying a picture onto the image that still shares its pixels, in place,
    // changes nothing; skipping it keeps the two sharing and saves the copy.
    if (offset.isNull() && m_image.cacheKey() == source.cacheKey())
        return;
    QImage& target = paintableImage();
    const QRect to = from.translated(offset).intersected(target.rect());
    if (to.isEmpty())
        return;
    const QRect fromClipped = to.translated(-offset);
    if (source.format() == target.format()) {
        // A plain copy, row by row: exact and as fast as the memory allows.
        const int bytes = to.width() * 4;
        for (int row = 0; row < to.height(); ++row) {
            const uchar* in = source.constScanLine(fromClipped.y() + row) + fromClipped.x() * 4;
            uchar* out = target.scanLine(to.y() + row) + to.x() * 4;
            std::memcpy(out, in, static_cast<size_t>(bytes));
        }
    } else {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(to.topLeft(), source, fromClipped);
    }
    m_client->update(to);
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    QImage& target = paintableImage();
    // A point names the pixel under it, so the line runs through pixel centres.
    const QPointF from(toPixel(x1) + 0.5, toPixel(y1) + 0.5);
    const QPointF to(toPixel(x2) + 0.5, toPixel(y2) + 0.5);
    const int width = std::max(1, DrawWidth);
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing);
        if (from == to) {
            // A line of no length is its two round ends: a dot as wide as the pen.
            painter.setPen(Qt::NoPen);
            painter.setBrush(ForeColor);
            painter.drawEllipse(from, width / 2.0, width / 2.0);
        } else {
            painter.setPen(QPen(ForeColor, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawLine(from, to);
        }
    }
    const int margin = width / 2 + 2;
    m_client->update(
        QRectF(from, to).normalized().toAlignedRect().adjusted(-margin, -margin, margin, margin));
}

void PictureBox::Print(const QString& text)
{
    QImage& target = paintableImage();
    // Labels placed over the box stand on whole pixels; text printed at the same
    // place must too, or it would land a fraction of a pixel away from them.
    const QPointF at(twips::roundHalfEven(toPixel(CurrentX)),
                     twips::roundHalfEven(toPixel(CurrentY)));
    useScreenResolution(target, m_client);
    QRect drawn;
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(Font);
        painter.setPen(ForeColor);
        const QRectF area(at,
                          QSizeF(target.width() - at.x() + 1e6, target.height() - at.y() + 1e6));
        QRectF bounds;
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text, &bounds);
        drawn = bounds.toAlignedRect().adjusted(-2, -2, 2, 2);
    }
    // The print position moves to the start of the next line.
    CurrentY = fromPixel(drawn.bottom() - 1);
    m_client->update(drawn);
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
    const QRect covered = dirty.intersected(m_image.rect());
    if (!covered.isEmpty())
        painter.drawImage(covered, m_image, covered);
    const QRegion background = QRegion(dirty).subtracted(QRegion(covered));
    for (const QRect& part : background)
        painter.fillRect(part, BackColor);
}

void PictureBox::emitMouse(QMouseEvent* event)
{
    // Pointer positions fall on whole pixels: the pixel under the pointer.
    const QPointF pos = exactPosition(event, m_client);
    const float x = fromPixel(std::floor(pos.x()));
    const float y = fromPixel(std::floor(pos.y()));
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
