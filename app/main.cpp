// Tavelio: a small program for teaching image restoration.
//
// Starts in its working folder (the tool folder of drive C, where the launchers put it) and
// shows the main window; everything else is driven from its menus.

#include "startup.h"

int main(int argc, char *argv[])
{
    return app::runTavelio(argc, argv);
}
