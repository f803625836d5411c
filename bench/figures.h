#pragma once

// The measured figures, each side by side with its reference in this process.

#include "inputs.h"
#include "table.h"

#include <vector>

namespace bench {

// Opening the 24 and 96 MP JPEGs and the 24 MP BMP through the Open menu.
std::vector<Row> openFigures(const Inputs& inputs, int runs);

// The same opens in a child pinned to one core, so that no second core can
// fill the picture's pages in while the decoder writes them.
std::vector<Row> oneCoreOpenFigures(const QString& folder, int runs);
// In that child: pins it, measures and prints the medians; the exit code.
int measureOpensOnOneCore(const QString& folder, int runs);

// Saving a 3000 x 2000 piece of the 24 MP picture, baseline and progressive.
std::vector<Row> saveFigures(const Inputs& inputs, const QString& folder, int runs);

// One mouse event of each tool on the 96 MP picture against the same on 1 MP.
std::vector<Row> eventFigures(const Inputs& inputs, int runs);

// The 96 MP picture's part in view painted while it decodes, against its
// whole decode and against decoding only the rows in view.
std::vector<Row> decodingViewFigures(const Inputs& inputs, int runs);

// Zoom, scrolling a reduced view, undo and redo on the 96 MP picture.
std::vector<Row> viewFigures(const Inputs& inputs, int runs);

// Peak memory and start-up, each in fresh processes of this program.
std::vector<Row> processFigures(const Inputs& inputs, const QString& folder, int runs);

// Start-up to the first painted frame on a private X server, against a bare Qt program.
std::vector<Row> screenFigures(int runs);

// The 96 MP picture's part in view on a private X server, from launching the
// program with it; beside djpeg decoding the whole picture.
std::vector<Row> screenPictureFigures(const Inputs& inputs, int runs);

} // namespace bench
