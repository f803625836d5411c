#pragma once

#include <QWidget>

class frmmain;
class QLabel;
class QPushButton;

// The About box: icon, name and version, a notice line, e-mail and home page.
class frmAbout : public QWidget
{
    Q_OBJECT
  public:
    explicit frmAbout(frmmain& main);

    QLabel* picIcon;
    QPushButton* cmdOK;
    QLabel* Label4;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;

    void cmdOK_Click();
    void Form_Unload();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    frmmain& m_main;
};
