#pragma once

#include "toolkit/prompter.h"

// Asks through Qt's own dialogs.
class QtPrompter final : public Prompter
{
  public:
    std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) override;
    std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
};
