// Start-up of the program, shared by main() and the start-up benchmark.
#pragma once

#include <functional>

namespace app {

// Sets up the application (Spanish standard buttons, Tahoma, the user's drive C), shows the
// main window and runs until it closes. `onFirstPaint`, when given, is called once the main
// window has painted for the first time.
int runTavelio(int &argc, char **argv, std::function<void()> onFirstPaint = {});

} // namespace app
