#pragma once

#include <QWidget>

class frmmain;
class PictureBox;
class QPushButton;

// The preview window: a copy of the cut piece, taken at its last refresh, with
// "保存" and "キャンセル".
class frmpreview : public QWidget
{
    Q_OBJECT
  public:
    explicit frmpreview(frmmain& main);

    QPushButton* btmpreviewsave;
    QPushButton* btmpreviewcancel;
    PictureBox* picpreview;

    void btmpreviewsave_Click();
    void btmpreviewcancel_Click();

  private:
    frmmain& m_main;
};
