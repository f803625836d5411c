#pragma once

#include <QWidget>
#include <cstdint>

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

    // The check box's value: 0 unchecked, 1 checked, 2 greyed.
    std::int16_t proValue() const;
    void setProValue(std::int16_t value);

    void Slider1_Change();
    void Command2_Click();
    void Form_Unload();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void enableOthers();

    frmmain& m_main;
};
