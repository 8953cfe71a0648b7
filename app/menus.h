// The menu tree of the main window, as a table.
#pragma once

namespace app {

enum class MenuAction {
    Submenu, // only opens its submenu
    FileOpen, // "A&brir..."
    FileClose, // "&Cerrar"
    FileExit, // "&Salir"
    Operation, // the row of ops::kOperations with the same control name
    About, // "Acerca de Tavelio"
};

struct MenuEntry
{
    int level; // 0 for the menu bar
    const char *control;
    const char *caption; // "&" marks the access key
    MenuAction action;
};

extern const MenuEntry kMenu[];
extern const int kMenuCount;

} // namespace app
