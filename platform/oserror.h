// The system's reason for a failed file operation, in the program's language.
//
// Qt and the C library word their reasons in English ("No space left on device", "Unknown
// error"); a class reads Spanish. One table, shared by every program that writes or reads a
// file the student or the teacher named.
#pragma once

#include <string>
#include <system_error>

namespace dos {

// "no queda espacio en el disco" for ENOSPC, "no tiene permiso" for EACCES and EPERM, and so
// on for the errors a class meets; any other is "error del sistema N".
std::string spanishReason(int errnum);

// The same for an error of std::filesystem; an error of another category keeps its message.
std::string spanishReason(const std::error_code &error);

} // namespace dos
