#pragma once

// The Erase tool: once switched on by a press, every pointer move, with or
// without a button held, puts the loaded picture's own pixels back in the
// square right of and below the pointer, until another tool is chosen.

#include "tools/tool.h"

class EraseTool final : public Tool
{
  public:
    using Tool::Tool;

    QString modeName() const override;
    void press(QPointF) override;
    void move(QPointF at) override;
    void release(QPointF) override {}
    void reset() override;
    bool busy() const override { return m_on; }

    // The square's side in pixels: 200 twips, 13 1/3 pixels, taken as 13.
    static int side();

  private:
    bool m_on = false;
};
