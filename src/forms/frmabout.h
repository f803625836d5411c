#pragma once

#include <QWidget>

class frmmain;
class QLabel;
class QPushButton;

// The About box: icon, name and version, a notice line, e-mail and home page.
// It exists only while it is open and deletes itself when closed.
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
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void enableOthers();

    frmmain& m_main;
};
