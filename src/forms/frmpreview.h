#pragma once

#include <QSizeF>
#include <QWidget>

class PictureBox;
class QPushButton;

// The preview window: a copy of the cut piece, taken at its last refresh, with
// "保存" and "キャンセル". It is a top-level window of its own that deletes
// itself when closed; the main window refers to it through a QPointer.
class frmpreview : public QWidget
{
    Q_OBJECT
  public:
    frmpreview();

    void btmpreviewsave_Click();
    void btmpreviewcancel_Click();

    // Shows the window with a copy of piece, sized around it, keeping its left and top.
    void showPiece(const QImage& piece);

    // The window's outer size (twips) for a picture box of the given outer size.
    static QSizeF outerSizeFor(float pictureWidth, float pictureHeight);

    // Outer geometry in twips, frame included.
    float outerWidth() const;
    float outerHeight() const;

  signals:
    // The save button asks the main window for an export.
    void saveClicked();

  private:
    void fitToPicture();
    void setOuterSize(float width, float height);

    QPushButton* btmpreviewsave;
    QPushButton* btmpreviewcancel;
    PictureBox* picpreview;
};
