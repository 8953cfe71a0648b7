// "Comparar métodos…" of the viewer's File menu: the page of i_view32.exe --comparar for the
// distorted image of the shown file's chain, saved where the student says.
#pragma once

#include <filesystem>

class QWidget;

namespace viewer {

// The distorted image a comparison starts from when `shown` is open: the file itself when its
// name is distor.pgm, else the distor.pgm beside it (found without regard to letter case),
// whether or not it exists; the comparison says why it cannot use it.
std::filesystem::path distortedBeside(const std::filesystem::path &shown);

// Asks where to save the page, writes it, and says how that went in the window's status bar
// (spoken) or a message box.
void compareMethods(QWidget *window, const std::filesystem::path &shown);

} // namespace viewer
