#pragma once

// The main window: tool strip, menus, the viewport with the picture surface,
// scroll bars and status bar. The class is declared here once; each subsystem
// defines the handlers of its own events in its own folder, one file per job.

#include "input/localfilename.h"
#include "settings/apppaths.h"
#include "toolkit/commondialog.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>

class PictureBox;
class ScrollBar;
class StatusBar;
class Shape;
class Prompter;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class frmoption;
class frmpreview;
class frmAbout;

class frmmain : public QMainWindow
{
    Q_OBJECT
  public:
    frmmain(Prompter& prompter, AppPaths paths, QWidget* parent = nullptr);
    ~frmmain() override;

    // Controls, by their design names.
    PictureBox* cuttedpic;
    ScrollBar* HScroll;
    ScrollBar* VScroll;
    StatusBar* statusbar;
    CommonDialog dialog;
    QPushButton* btmfont;
    QPushButton* btmcolor;
    QLineEdit* textbox;
    PictureBox* base;
    PictureBox* picmain;
    QLabel* textimage;
    Shape* cutimage;
    QPushButton* btmsave;
    QPushButton* btmpaste;
    QPushButton* btmerase;
    QPushButton* btmtext;
    QPushButton* btmdraw;
    QPushButton* btmcut;
    QLabel* Label1;

    QMenu* mfile;
    QAction* mopen;
    QAction* msave;
    QAction* mclose;
    QAction* mpreview;
    QAction* moption;
    QAction* mversion;

    // Editing state.
    std::int16_t toolmode = 0;
    std::int16_t actstate = 0;
    std::int16_t dragdir = 0;
    float startx = 0;
    float starty = 0;
    float endx = 0;
    float endy = 0;

    // Remembered paths and the stored window position (twips; 32-bit so that a
    // window on a far screen comes back there).
    QString picpath;
    QString savefolder;
    std::int32_t winleft = 0;
    std::int32_t wintop = 0;
    bool hasStoredPosition = false;

    // The other windows. The options dialog lives for the whole run; the preview
    // window and the About box exist only while they are open.
    frmoption* option = nullptr;
    QPointer<frmpreview> preview;
    QPointer<frmAbout> about;

    const AppPaths& paths() const { return m_paths; }
    Prompter& prompter() const { return m_prompter; }

    // Outer size and position of the window in twips, border and caption included.
    float outerWidth() const;
    float outerHeight() const;
    float outerLeft() const;
    float outerTop() const;
    void setOuterSize(float width, float height);

    // Start-up, layout, shut-down.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void newact();
    void mclose_Click();

    // Scrolling.
    void setscrollrange();
    void HScroll_Change();
    void VScroll_Change();

    // Loading.
    void mopen_Click();
    void loadnewpicture();
    // Opens a file as a drop would: the program's one optional argument comes this way.
    void openDroppedFile(const LocalFileName& name);
    void base_OLEDragDrop(const QMimeData* data);
    void picmain_OLEDragDrop(const QMimeData* data);

    // Tools.
    void btmcut_Click();
    void btmdraw_Click();
    void btmtext_Click();
    void btmerase_Click();
    void btmpaste_Click();
    void btmcolor_Click();
    void btmfont_Click();
    void picmain_MouseDown(int button, int shift, float x, float y);
    void picmain_MouseMove(int button, int shift, float x, float y);
    void picmain_MouseUp(int button, int shift, float x, float y);

    // Output.
    void savepicture();
    void btmsave_Click();
    void msave_Click();
    void savesetting();
    void loadsetting();
    void previewreload();
    void mpreview_Click();

    // Dialogs.
    void moption_Click();
    void mversion_Click();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void connectHandlers();
    // Loads a file as the new picture; on failure tells the user and changes nothing.
    bool loadPictureFile(const LocalFileName& name);
    void dropPicture(const QMimeData* data);
    void scrollByWheel(QWheelEvent* event);

    // Tool behaviours behind the mouse routing.
    void cutMouseDown(float x, float y);
    void cutMouseMove(float x, float y);
    void drawMouseDown(float x, float y);
    void drawMouseMove(float x, float y);
    void eraseMouseDown(float x, float y);
    void eraseMouseMove(float x, float y);
    void textMouseDown(float x, float y);
    void textMouseMove(float x, float y);
    void selectTool(std::int16_t mode, const QString& name);

    Prompter& m_prompter;
    AppPaths m_paths;
    int m_resizeDepth = 0;
    bool m_unloading = false;
    // The last savesetting could not write the settings file.
    bool m_settingsUnwritten = false;
    // Wheel movement smaller than a notch (touchpads), kept until it adds up to one.
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
};
