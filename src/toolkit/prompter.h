#pragma once

// Every question the program asks the user goes through this interface: the
// file, colour and font dialogs, confirmations and error messages. The program
// uses QtPrompter; tests script their answers with a prompter of their own.

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

struct FileRequest
{
    QString fileName;   // preset file name, possibly with a folder, shown as it is
    QString nameFilter; // Qt filter text, entries separated by ";;"
};

struct FileChoice
{
    QString path;
    qsizetype filter = 0; // the entry of the request's filter chosen, counted from 0
};

class Prompter
{
  public:
    virtual ~Prompter() = default;

    // Each returns nullopt when the user cancels.
    virtual std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;

    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    virtual void error(QWidget* parent, const QString& text) = 0;
};
