#pragma once

// The Text tool: a preview of the typed text follows the pointer, and every
// press prints the text onto the marked picture where the preview stands.

#include "tools/tool.h"

class TextTool final : public Tool
{
  public:
    using Tool::Tool;

    QString modeName() const override;
    void press(QPointF at) override;
    void move(QPointF at) override;
    void release(QPointF) override {}
    void reset() override {}
    bool busy() const override { return false; }

    // Text is shown and printed at twice the chosen size, in the chosen face
    // (the default one until a face is chosen).
    static QFont fontOf(const ToolSettings& settings);
    // The preview's box: size x characters x 70 twips wide, size x 70 high.
    static QSizeF previewBox(const ToolSettings& settings, const QString& text);
    // Where preview and print stand for a pointer at at: 10 twips right and below.
    static QPointF placeFor(QPointF at);
};
