#pragma once

#include <QWidget>

class frmmain;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The options dialog: the JPEG quality and the progressive flag live in its
// controls for the whole run, shown or not.
class frmoption : public QWidget
{
    Q_OBJECT
  public:
    explicit frmoption(frmmain& main);

    QSlider* Slider1;
    QPushButton* Command2;
    QLineEdit* kaizoudo;
    QCheckBox* pro;
    QLabel* Label1;

    void Slider1_Change();
    void Command2_Click();
    void Form_Unload();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    frmmain& m_main;
};
