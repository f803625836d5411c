#pragma once

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
struct Settings;

// The options dialog: a view of the JPEG quality and the progressive flag of
// the settings. What is typed, slid or ticked goes into the settings at once;
// OK stores them, and every close reads the stored ones back.
class frmoption : public QWidget
{
    Q_OBJECT
  public:
    explicit frmoption(Settings& settings);

    // Puts the settings' quality and flag into the controls; the slider moves
    // only to a quality it can show.
    void showSettings();

    void Slider1_Change();
    void Command2_Click();
    void Form_Unload();

  signals:
    // OK was pressed; the dialog closes next.
    void accepted();
    // The dialog closed, whichever way.
    void unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The check box's value: 0 unchecked, 1 checked, 2 greyed.
    std::int16_t proValue() const;
    void setProValue(std::int16_t value);

    Settings& m_settings;
    QSlider* Slider1;
    QPushButton* Command2;
    QLineEdit* kaizoudo;
    QCheckBox* pro;
    QLabel* Label1;
};
