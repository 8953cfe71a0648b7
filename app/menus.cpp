#include "menus.h"

#include <iterator>

namespace app {

const MenuEntry kMenu[] = {
    {0, "mnuFile", "&Archivo", MenuAction::Submenu},
    {1, "mnuFileOpen", "A&brir...", MenuAction::FileOpen},
    {1, "mnuFileClose", "&Cerrar", MenuAction::FileClose},
    {1, "mnuFileExit", "&Salir", MenuAction::FileExit},
    {0, "mnDistoricion", "&Distorsionar", MenuAction::Submenu},
    {1, "Distorss", "Distorsión simple", MenuAction::Submenu},
    {2, "Distorsimple", "Sin ruido", MenuAction::Operation},
    {2, "DRuido", "Con ruido", MenuAction::Operation},
    {1, "RuidoE", "Ruido Estructurado", MenuAction::Operation},
    {1, "DistorcionDeter", "Distorsión determinando la cantidad de movimiento",
     MenuAction::Submenu},
    {2, "Distorcion10", "Distorsión con un movimiento de 10", MenuAction::Operation},
    {2, "Distorcion25", "Distorsión con un movimiento de 25", MenuAction::Operation},
    {2, "Distorcion50", "Distorsión con un movimiento de 50", MenuAction::Operation},
    {0, "mnTavelio", "&Tavelio", MenuAction::Submenu},
    {1, "movimiento", "Quitar una distorsión ", MenuAction::Submenu},
    {2, "movimiento10", "Con movimiento igual a 10", MenuAction::Operation},
    {2, "movimiento25", "Con movimiento igual a 25", MenuAction::Operation},
    {2, "movimiento50", "Con movimiento igual a 50", MenuAction::Operation},
    {1, "Inverso", "Filtro Inverso", MenuAction::Operation},
    {1, "Wiener", "Filtro Wiener", MenuAction::Operation},
    {1, "Retiro", "Retiro Ruido Estructurado", MenuAction::Operation},
    {1, "FFT", "FFT", MenuAction::Operation},
    {1, "Homo", "Filtro Homomórfico", MenuAction::Operation},
    {1, "enfasis", "Filtro de alto énfasis", MenuAction::Operation},
    {0, "Ayuda", "A&yuda", MenuAction::Submenu},
    {1, "Acerca", "Acerca de Tavelio", MenuAction::About},
};

const int kMenuCount = int(std::size(kMenu));

} // namespace app
