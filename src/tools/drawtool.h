#pragma once

// The Draw tool: a stroke from press to release, one straight segment per
// pointer move, in the colour and width chosen at the moment of each segment.

#include "tools/tool.h"

class DrawTool final : public Tool
{
  public:
    using Tool::Tool;

    QString modeName() const override;
    void press(QPointF at) override;
    void move(QPointF at) override;
    void release(QPointF) override;
    void reset() override;
    bool busy() const override { return m_stroking; }

    // The pen is the font size in whole pixels, halves to even; a size below
    // one half would give no pen at all, so the thinnest pen is one pixel.
    static int penWidth(float fontSize);

  private:
    bool m_stroking = false;
    QPointF m_last;
};
