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

  private:
    QLabel* panel(int number) const;
    QLabel* m_panels[2];
};
