#include "document/piecestore.h"

#include <new>

PieceStore::PieceStore(QSize size) : m_size(size), m_image(blank(size)) {}

QImage PieceStore::blank(QSize size)
{
    if (size.isEmpty())
        return {};
    QImage pixels(size, QImage::Format_RGB32);
    if (pixels.isNull())
        throw std::bad_alloc();
    pixels.fill(Qt::white);
    return pixels;
}

void PieceStore::Cls()
{
    m_image = blank(m_size);
}

void PieceStore::resize(QSize size)
{
    m_size = size;
    Cls();
}

void PieceStore::take(QImage pixels)
{
    m_size = pixels.size();
    m_image = std::move(pixels);
}
