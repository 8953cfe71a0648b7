// A batch file's three lines as single-byte text.
#include "batchbytes.h"

#include <QStringEncoder>

namespace app {

bool batchFileBytes(const QString &commandLine, QByteArray *bytes)
{
    QStringEncoder latin1(QStringEncoder::Latin1);
    const QString text = QStringLiteral("@echo \r\ncls\r\n") + commandLine + QStringLiteral("\r\n");
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    *bytes = latin1.encode(text);
    return true;
}

} // namespace app
