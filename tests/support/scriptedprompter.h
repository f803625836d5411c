#pragma once

// A prompter whose answers a test queues in advance. Every question asked is
// recorded; a question with no queued answer is answered by cancelling.

#include "toolkit/prompter.h"

#include <QList>
#include <QStringList>
#include <deque>

class ScriptedPrompter final : public Prompter
{
  public:
    std::deque<std::optional<QString>> files;
    // The filter entry each file answer chose, counted from 0; the first
    // entry, as a dialog opens with it, once these run out.
    std::deque<qsizetype> fileFilters;
    std::deque<std::optional<QColor>> colors;
    std::deque<std::optional<QFont>> fonts;
    std::deque<bool> confirmations;

    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<QColor> colorRequests;
    QStringList questions;
    QStringList errors;

    std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) override;
    std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;

  private:
    std::optional<FileChoice> takeFile();
};
