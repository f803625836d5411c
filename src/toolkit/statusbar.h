#pragma once

// The status bar: docked at the bottom, two text panels numbered 1 and 2.

#include <QStatusBar>

class QLabel;

class StatusBar : public QStatusBar
{
    Q_OBJECT
  public:
    explicit StatusBar(QWidget* parent);

    QString Panel(int number) const;
    void setPanel(int number, const QString& text);
    // Shows text in a panel for a moment, then puts back what the panel
    // showed, unless something else was shown there meanwhile.
    void flash(int number, const QString& text);

  private:
    QLabel* panel(int number) const;
    QLabel* m_panels[2];
    // What a panel showed before a flash, and the flash it shows now.
    struct Flash
    {
        QString before;
        QString shown;
        int generation = 0;
    };
    Flash m_flashes[2];
};
