#pragma once

// Lets the window show a picture while it is being decoded. The loader calls
// the observer on the loading thread: once the picture's memory is allocated,
// and after each batch of rows that are final. Nothing is called back when no
// observer is given.

#include <QImage>

class LoadObserver
{
  public:
    virtual ~LoadObserver() = default;

    // The picture at its final size, allocated but not yet written. It shares
    // its pixels with the loader, which goes on writing them: the observer may
    // read the rows reported final, and must not write to the image or detach
    // it. rowsTopFirst is false when rows do not arrive from the top (a picture
    // turned by its EXIF orientation, a BMP stored bottom-up, a format read by
    // a plugin): then the only report of rows is the last one, of all of them.
    virtual void pictureAllocated(const QImage& picture, bool rowsTopFirst) = 0;

    // Rows 0 to rows - 1 hold their final pixels.
    virtual void rowsFinal(int rows) = 0;

    // How much of the picture's top-left corner is worth showing at once, ahead
    // of the rest (the view it first shows in); empty for none. A reader that
    // can decode such a corner cheaply does so before it allocates the picture.
    virtual QSize firstLookSize() const { return {}; }
    // The top-left corner of a picture of pictureSize, decoded ahead of it: at
    // least the size asked for, or all the picture has where it is smaller.
    virtual void firstLook(const QImage& corner, QSize pictureSize)
    {
        (void)corner;
        (void)pictureSize;
    }
};
