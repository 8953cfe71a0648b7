// The two authors the About box names, surname first: "Apellido, Nombre".
//
// A school that adapts Tavelio puts its own names here; nothing else in the program refers to
// them. Each label takes the size of its text, so longer names simply make it wider.
#pragma once

namespace about {

inline constexpr const char *kFirstAuthor = "Apellido Uno, Nombre";
inline constexpr const char *kSecondAuthor = "Apellido Dos, Nombre";

} // namespace about
