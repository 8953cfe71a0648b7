// The two show buttons: what they say, and the viewer line they start.
#pragma once

#include <QString>

namespace app {

// The method texts: which distortion and which restoration were applied last. Empty until the
// first one; each operation stores its value as its very last step.
struct MethodState
{
    QString distortMethod;
    QString restoreMethod;
};

// What a show button does: show `message`, then, when `viewerLine` is not empty, write it to
// kViewerBatch and start that hidden.
struct ShowAction
{
    QString message;
    QString viewerLine;
};

inline const QString kViewerBatch = QStringLiteral("irfanview.bat");

// Command1, "Mostrar imagen resturada": the restored image is the method's own output file.
ShowAction showRestored(const MethodState &state);

// Command2, "Mostrar Imagen &Distorsionada": every distortion writes distor.pgm.
ShowAction showDistorted(const MethodState &state);

} // namespace app
