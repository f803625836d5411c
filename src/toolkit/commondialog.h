#pragma once

// The one common dialog of the main window. It keeps its properties between
// uses, as callers expect: the last file name, the chosen colour and font.
// Filters are written as "description|pattern|description|pattern".

#include <QColor>
#include <QString>
#include <optional>

class Prompter;
class QWidget;
struct FileChoice;

class CommonDialog
{
  public:
    CommonDialog(Prompter& prompter, QWidget* owner);

    QString FileName;
    QString Filter;
    // The filter entry chosen in the last file dialog, counted from 1.
    int FilterIndex = 1;
    int Flags = 0;
    QColor Color = Qt::black;
    QString FontName;
    float FontSize = 8.0f;
    bool FontBold = false;
    bool FontItalic = false;

    // The file name without its folder, valid after a file dialog.
    QString FileTitle() const;

    // Each returns false when the user cancels; the properties then stay as they were.
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowFont();

    // "desc|pat1;pat2|desc2|pat" becomes Qt's "desc (pat1 pat2);;desc2 (pat)";
    // "name(*.a;*.b)|*.a;*.b" becomes "name(*.a *.b)".
    static QString toQtFilter(const QString& filter);

  private:
    bool takeFile(const std::optional<FileChoice>& chosen);

    Prompter& m_prompter;
    QWidget* m_owner;
};
