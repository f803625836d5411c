#include "document/picturedocument.h"

#include "units/twips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {

// Marks are painted on one of the two formats that Qt draws fastest.
QImage drawable(QImage picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_RGB32 ||
        picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

// True when the segment from a to b passes through rect (Liang-Barsky).
bool segmentCrosses(const QRectF& rect, QPointF a, QPointF b)
{
    double enter = 0;
    double leave = 1;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(),
                         rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return false;
    }
    return true;
}

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
constexpr double kMetresPerInch = 0.0254;

} // namespace

PictureDocument::PictureDocument(QSize pieceSize, QObject* parent)
    : QObject(parent), m_piece(pieceSize)
{
}

void PictureDocument::setPicture(QImage picture)
{
    m_history.clear();
    m_marked = TiledImage(drawable(std::move(picture)));
    m_zoomed.reset();
    watchTiles();
    emit pictureReplaced();
}

void PictureDocument::watchTiles()
{
    m_marked.setObserver(
        [this](int index, const QImage& before) { m_history.recordTile(index, before); });
}

void PictureDocument::willChange()
{
    if (!m_history.isOpen())
        m_history.open();
}

void PictureDocument::willChangePiece()
{
    willChange();
    m_history.recordPiece(m_piece);
}

void PictureDocument::beginMark()
{
    m_history.open();
}

void PictureDocument::endMark()
{
    m_history.close();
}

std::optional<PictureDocument::Restored> PictureDocument::undo()
{
    m_history.close();
    if (!m_history.canUndo())
        return std::nullopt;
    HistoryStep replaced;
    const Restored restored = apply(m_history.takeUndo(), replaced);
    m_history.pushRedo(std::move(replaced));
    return restored;
}

std::optional<PictureDocument::Restored> PictureDocument::redo()
{
    m_history.close();
    if (!m_history.canRedo())
        return std::nullopt;
    HistoryStep replaced;
    const Restored restored = apply(m_history.takeRedo(), replaced);
    m_history.pushUndo(std::move(replaced));
    return restored;
}

PictureDocument::Restored PictureDocument::apply(HistoryStep step, HistoryStep& replaced)
{
    Restored restored;
    for (auto& [index, pixels] : step.tiles) {
        replaced.tiles.emplace_back(index, m_marked.tile(index));
        m_marked.putTile(index, std::move(pixels));
        restored.area |= m_marked.tileRect(index);
    }
    if (step.piece) {
        replaced.piece = m_piece;
        m_piece = std::move(*step.piece);
        restored.piece = true;
        emit pieceChanged();
    }
    if (!restored.area.isEmpty()) {
        m_zoomed.invalidate(restored.area);
        emit changed(restored.area);
    }
    return restored;
}

QRect PictureDocument::changedWithin(const QRect& area)
{
    const QRect changed = area.intersected(rect());
    if (!changed.isEmpty()) {
        m_zoomed.invalidate(changed);
        emit this->changed(changed);
    }
    return changed;
}

QRect PictureDocument::drawSegment(QPointF from, QPointF to, const Pen& pen)
{
    if (m_marked.isNull())
        return {};
    willChange();
    // A point names the pixel under it, so the stroke runs through pixel centres.
    const QPointF a = from + QPointF(0.5, 0.5);
    const QPointF b = to + QPointF(0.5, 0.5);
    const int width = std::max(1, pen.width);
    const int margin = width / 2 + 2;
    const QRect area =
        QRectF(a, b).normalized().toAlignedRect().adjusted(-margin, -margin, margin, margin);
    const auto draw = [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        if (a == b) {
            // A stroke of no length is its two round ends: a dot as wide as the pen.
            painter.setPen(Qt::NoPen);
            painter.setBrush(pen.color);
            painter.drawEllipse(a, width / 2.0, width / 2.0);
        } else {
            painter.setPen(QPen(pen.color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawLine(a, b);
        }
    };
    // A long diagonal passes by most tiles of its bounding box; those keep
    // sharing the loaded picture's pixels.
    const double reach = width / 2.0 + 1;
    const auto touches = [&](const QRect& tile) {
        return segmentCrosses(QRectF(tile).adjusted(-reach, -reach, reach, reach), a, b);
    };
    m_marked.mark(area, draw, touches);
    return changedWithin(area);
}

QRect PictureDocument::printText(QPointF at, const QString& text, const TextStyle& style)
{
    if (m_marked.isNull())
        return {};
    willChange();
    const int perMetreX = qRound(style.dpi.width() / kMetresPerInch);
    const int perMetreY = qRound(style.dpi.height() / kMetresPerInch);
    m_marked.setDotsPerMeter(perMetreX, perMetreY);
    // Text stands on whole pixels, like the labels that preview it.
    const QPointF corner(twips::roundHalfEven(at.x()), twips::roundHalfEven(at.y()));
    const QRectF layout(corner, QSizeF(1e6, 1e6));
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(perMetreX);
    device.setDotsPerMeterY(perMetreY);
    const QFontMetricsF metrics(style.font, &device);
    // Glyphs may stand out of their box (italics, accents); half a line more
    // on every side takes in what a font draws there.
    const int margin = static_cast<int>(std::ceil(metrics.height() / 2)) + 2;
    const QRect area = metrics.boundingRect(layout, kTextFlags, text)
                           .toAlignedRect()
                           .adjusted(-margin, -margin, margin, margin);
    m_marked.mark(area, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(style.font);
        painter.setPen(style.color);
        painter.drawText(layout, kTextFlags, text);
    });
    return changedWithin(area);
}

QRect PictureDocument::erase(const QRect& area)
{
    willChange();
    m_marked.restore(area);
    return changedWithin(area);
}

void PictureDocument::clearMarks()
{
    m_history.clear();
    m_marked.clear();
    changedWithin(rect());
}

void PictureDocument::cut(const QRect& area)
{
    willChangePiece();
    const QRect inside = area.intersected(rect());
    if (area.isEmpty()) {
        m_piece.resize(area.size());
    } else if (inside == area) {
        m_piece.take(m_marked.copy(area));
    } else {
        QImage pixels = PieceStore::blank(area.size());
        if (!inside.isEmpty()) {
            QPainter painter(&pixels);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(inside.topLeft() - area.topLeft(), m_marked.copy(inside));
        }
        m_piece.take(std::move(pixels));
    }
    emit pieceChanged();
}

void PictureDocument::clearPiece()
{
    willChangePiece();
    m_piece.Cls();
    emit pieceChanged();
}

QSize PictureDocument::viewSize(double zoom) const
{
    return m_zoomed.viewSize(zoom);
}

void PictureDocument::paint(QPainter& painter, const QRect& area, double zoom) const
{
    if (zoom == 1)
        m_marked.paint(painter, area.intersected(rect()));
    else
        m_zoomed.paint(painter, area, zoom);
}
