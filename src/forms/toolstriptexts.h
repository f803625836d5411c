#pragma once

// The tool strip's tooltips, and names for the picture-only buttons that
// screen readers can say.

class QPushButton;

namespace toolstrip {

struct Buttons
{
    QPushButton* cut;
    QPushButton* draw;
    QPushButton* text;
    QPushButton* erase;
    QPushButton* paste;
    QPushButton* save;
    QPushButton* color;
    QPushButton* font;
};

void describe(const Buttons& buttons);

} // namespace toolstrip
