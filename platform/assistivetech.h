// Whether a screen reader or other assistive technology is listening to this desktop.
//
// xterm shows nothing to AT-SPI, so a tool's question asked in it is never heard; the command
// shell asks this before it opens a console, and takes a terminal that AT-SPI can read.
#pragma once

namespace platform {

class AssistiveTechnology
{
public:
    virtual ~AssistiveTechnology() = default;
    virtual bool isOn() = 0;
};

// AT-SPI's status on the session bus: IsEnabled (Orca sets it when it starts) or
// ScreenReaderEnabled. Asked anew each time, as a screen reader may start at any moment; off
// where there is no session bus or no accessibility bus.
AssistiveTechnology &systemAssistiveTechnology();

} // namespace platform
