#pragma once

// The Cut tool: a press anchors the selection, the frame follows the pointer
// with the size readout, and a second press copies that rectangle of the
// marked picture into the piece store. The button need not be held between.

#include "tools/tool.h"

#include <cstdint>
#include <optional>

class CutTool final : public Tool
{
  public:
    using Tool::Tool;

    QString modeName() const override;
    void press(QPointF at) override;
    void move(QPointF at) override;
    void release(QPointF) override {}
    void reset() override { m_anchored = false; }
    bool busy() const override { return m_anchored; }

    // The corner's direction from the anchor, 0 to 3 (right-down, left-down,
    // right-up, left-up); none on the anchor's own row or column.
    static std::optional<std::int16_t> directionOf(QPointF anchor, QPointF corner);
    // The rectangle between anchor and corner as that direction reads it; a
    // corner that does not lie in the direction gives a size below zero.
    static QRectF rectOf(std::int16_t direction, QPointF anchor, QPointF corner);

  private:
    void complete(QPointF at);

    bool m_anchored = false;
    QPointF m_start;
    QPointF m_end;
    std::int16_t m_direction = 0;
};
