// Why a working image is missing, in the student's terms.
//
// The tool contracts say which tool writes the file; the failure log says what that tool said
// when it last failed in this folder. "Inverso.pgm" missing after "Filtro Inverso" chosen
// before any distortion reads: "Inverse.exe no pudo leer distor.pgm: no existe. ¿Aplicó antes
// una distorsión?".
#pragma once

#include "failurelog.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace picture {

// The tool names (as the contracts write them, "Inverse.exe") of every tool that writes
// `fileName`, found without regard to letter case.
std::vector<std::string> makersOf(std::string_view fileName);

// What the viewer adds when `fileName` does not exist in the working folder `folder` (its DOS
// name): who makes it and, if that tool failed there, what it said, with a hint. `log` is the
// failure log, oldest first.
QString missingFileText(std::string_view fileName, std::string_view folder,
                        const std::vector<failures::Failure> &log);

} // namespace picture
