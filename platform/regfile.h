// Windows' registry export files, the form c:\windows\tavelio.reg is written in:
//
//     Windows Registry Editor Version 5.00
//     ; a comment
//     [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//     "PATH"="c:\\windows\\system32\\msinfo32.exe"     text, with the escapes \\ and \"
//     "Count"=dword:0000002a                           a 32-bit number
//     "Raw"=hex:01,02,ff                               bytes
//     "Path"=hex(2):25,00                              bytes of the type in brackets
//     @="the key's default value"
#pragma once

#include "registry.h"

#include <string_view>

namespace platform {

// The keys of a registry file's text. A line that cannot be read, and every value of a key
// under another root than HKEY_LOCAL_MACHINE, is skipped: one typing mistake costs one value,
// not the file.
RegKeys readRegText(std::string_view text);

} // namespace platform
