#pragma once

// The main window: tool strip, menus, the viewport with the picture surface,
// scroll bars and status bar. It wires the controls to the picture document,
// the tools, the settings and the small windows; each handler keeps its
// designed name and delegates. Its definitions are spread by job over the
// files of this folder.

#include "document/picturedocument.h"
#include "input/localfilename.h"
#include "settings/apppaths.h"
#include "settings/settings.h"
#include "toolkit/commondialog.h"
#include "tools/tool.h"
#include "tools/toollist.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class PictureBox;
class PictureLoading;
class ScrollBar;
class StatusBar;
class Shape;
class Prompter;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class WindowDiscipline;
class frmoption;
class frmpreview;
class frmAbout;

class frmmain : public QMainWindow, private ToolView
{
    Q_OBJECT
  public:
    frmmain(Prompter& prompter, AppPaths paths, QWidget* parent = nullptr);
    ~frmmain() override;

    // What the rest of the program may read.
    const PictureDocument& document() const { return m_document; }
    const Settings& settings() const { return m_settings; }
    ToolMode toolmode() const { return m_toolmode; }
    // Null until the first tool button.
    const Tool* activeTool() const { return m_tool.get(); }
    // The small windows; the preview window and the About box are null while closed.
    QWidget* optionWindow() const;
    QWidget* previewWindow() const;
    QWidget* aboutWindow() const;

    // Opens a file as a drop would: the program's one optional argument comes this way.
    void openDroppedFile(const LocalFileName& name);
    // The viewport's size at start-up, in pixels: what of a picture given at
    // start-up shows first.
    static QSize startingViewSize();
    // Opens, as a drop would, a picture that began loading before: the
    // program's argument starts loading while the window is made, and the
    // window shows as soon as the rows it shows first have come.
    void openLoading(PictureLoading& loading);

    // Keys beyond the design: taking marks back and doing them again, and
    // opening the picture on the clipboard.
    void undoMark();
    void redoMark();
    void pastePicture();
    void zoomIn();
    void zoomOut();
    void zoomToFit();
    void zoomToActualSize();

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
    void buildOptionWindow();
    void buildKeys();

    // Outer size and position of the window in twips, border and caption included.
    float outerWidth() const;
    float outerHeight() const;
    float outerLeft() const;
    float outerTop() const;
    void setOuterSize(float width, float height);

    // Loads a file as the new picture; on failure tells the user and changes nothing.
    bool loadPictureFile(const LocalFileName& name);
    bool showLoaded(PictureLoading& loading, const std::function<void()>& whenViewFilled = {});
    void dropPicture(const QMimeData* data);
    void putPicture(const QImage& picture);
    // Shows pixels from a drop or the clipboard as a new picture, as a dropped file would be.
    void showNewPicture(const QImage& picture);
    void scrollByWheel(QWheelEvent* event);
    void selectTool(ToolMode mode);

    // Zoom: anchor is a point of the viewport that keeps showing the same
    // picture pixel.
    bool showsPicture() const;
    // The room for the picture inside the viewport, in pixels.
    QSize pictureRoom() const;
    QPoint zoomAnchor() const;
    void stepZoom(int steps, QPoint anchor);
    void zoomTo(double zoom, QPoint anchor);
    void zoomByWheel(QWheelEvent* event);
    // Places the selection frame and the text preview again after a zoom.
    void replaceToolMarks();

    // What the tools show and ask through the main window's controls.
    void showFrame(const QRectF& area) override;
    void showTextPreview(const TextPreview& preview) override;
    void showReadout(const QString& text) override;
    void pieceCut() override;
    ToolSettings toolSettings() const override;
    QString text() const override;
    QSizeF textResolution() const override;

    // Controls, by their design names.
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

    // The other windows. The options dialog lives for the whole run; the preview
    // window and the About box exist only while they are open.
    frmoption* option = nullptr;
    QPointer<frmpreview> preview;
    QPointer<frmAbout> about;
    std::unique_ptr<WindowDiscipline> m_discipline;

    Prompter& m_prompter;
    AppPaths m_paths;
    PictureDocument m_document;
    Settings m_settings;
    ToolMode m_toolmode = ToolMode::None;
    std::unique_ptr<Tool> m_tool;
    int m_resizeDepth = 0;
    bool m_unloading = false;
    // The last savesetting could not write the settings file.
    bool m_settingsUnwritten = false;
    // Wheel movement smaller than a notch (touchpads), kept until it adds up to one.
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
    int m_wheelZoomRest = 0;
    // What the tools show, in picture pixels, kept so that a zoom can place it again.
    QRectF m_frame;
    std::optional<TextPreview> m_textPreview;
};
