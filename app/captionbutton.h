// A push button whose caption wraps at word boundaries, as Windows buttons do: the show
// buttons are narrower than their captions.
#pragma once

#include <QPushButton>

namespace app {

class CaptionButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
