// What tavelio-importar does with the class folder besides writing into it: who may, what is
// there, and withdrawing a photograph.
#pragma once

#include "dospath.h"

#include <QString>
#include <QStringList>

namespace importar {

// Why this user may not publish to the class, on one line naming the group and what the
// administrator runs; empty for a member of the group in this session, and for root.
QString publishRefusal();

// The photographs of the class and the user's own in `toolFolder`, one line each, marked
// "clase" or "propia"; a class photograph the user has one of her own of is marked as such.
// What makes the class folder unreadable or a pair broken goes to `warnings`.
QStringList photoListing(const dos::fs::path &classFolder, const dos::fs::path &toolFolder,
                         QStringList *warnings);

// Removes NAME.BMP and NAME.pgm from `classFolder`, the bitmap first so that nothing opens a
// half-withdrawn pair. Why not, or empty when done.
QString withdraw(const dos::fs::path &classFolder, const QString &name);

} // namespace importar
