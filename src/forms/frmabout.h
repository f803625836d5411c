#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The About box: icon, name and version, a notice line, e-mail and home page.
// It exists only while it is open and deletes itself when closed.
class frmAbout : public QWidget
{
    Q_OBJECT
  public:
    frmAbout();

    void cmdOK_Click();
    void Form_Unload();

  signals:
    // The box closed, whichever way.
    void unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* picIcon;
    QPushButton* cmdOK;
    QLabel* Label4;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;
};
