// The hand-in report drawn on one A4 page with Qt's own PDF writer.
#pragma once

#include "labreport.h"

#include <QString>

namespace viewer {

// Writes `report` as a one-page PDF to `path`, as writeWhole writes: a failure leaves the old
// file, or none. Empty on success, otherwise the reason, in Spanish.
QString writeReportPdf(const LabReport &report, const QString &path);

} // namespace viewer
