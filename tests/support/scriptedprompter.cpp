#include "scriptedprompter.h"

namespace {

template <typename T> T takeFront(std::deque<T>& queue, const T& fallback)
{
    if (queue.empty())
        return fallback;
    const T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

std::optional<FileChoice> ScriptedPrompter::takeFile()
{
    const std::optional<QString> path = takeFront(files, std::optional<QString>());
    const qsizetype filter = takeFront(fileFilters, qsizetype(0));
    if (!path)
        return std::nullopt;
    return FileChoice{*path, filter};
}

std::optional<FileChoice> ScriptedPrompter::openFile(QWidget*, const FileRequest& request)
{
    openRequests << request;
    return takeFile();
}

std::optional<FileChoice> ScriptedPrompter::saveFile(QWidget*, const FileRequest& request)
{
    saveRequests << request;
    return takeFile();
}

std::optional<QColor> ScriptedPrompter::chooseColor(QWidget*, const QColor& initial)
{
    colorRequests << initial;
    return takeFront(colors, std::optional<QColor>());
}

std::optional<QFont> ScriptedPrompter::chooseFont(QWidget*, const QFont&)
{
    return takeFront(fonts, std::optional<QFont>());
}

bool ScriptedPrompter::confirm(QWidget*, const QString& text)
{
    questions << text;
    return takeFront(confirmations, false);
}

void ScriptedPrompter::error(QWidget*, const QString& text)
{
    errors << text;
}
