#include "tools/toollist.h"

#include "tools/cuttool.h"
#include "tools/drawtool.h"
#include "tools/erasetool.h"
#include "tools/texttool.h"

namespace {

template <typename T> std::unique_ptr<Tool> make(PictureDocument& document, ToolView& view)
{
    return std::make_unique<T>(document, view);
}

struct ToolEntry
{
    ToolMode mode;
    std::unique_ptr<Tool> (*make)(PictureDocument&, ToolView&);
};

constexpr ToolEntry kTools[] = {
    {ToolMode::Cut, make<CutTool>},
    {ToolMode::Draw, make<DrawTool>},
    {ToolMode::Text, make<TextTool>},
    {ToolMode::Erase, make<EraseTool>},
};

} // namespace

std::unique_ptr<Tool> makeTool(ToolMode mode, PictureDocument& document, ToolView& view)
{
    for (const ToolEntry& entry : kTools) {
        if (entry.mode == mode)
            return entry.make(document, view);
    }
    return nullptr;
}
