// The open dialog, dlgCommonDialog, behind a seam that tests replace.
#pragma once

#include "dospath.h"

#include <QString>

class QWidget;

namespace app {

class OpenDialog
{
public:
    virtual ~OpenDialog() = default;
    // Shows the dialog modally, starting at `previous` (a native path, may be empty). The
    // native path of the chosen file, or an empty text when the user cancelled.
    virtual QString exec(QWidget *parent, const QString &title, const QString &filter,
                         const QString &previous)
        = 0;
};

// Qt's own file dialog, with drive C and the tool folder in its sidebar so that a student
// finds the samples. "*.BMP" matches without regard to letter case.
class FileOpenDialog : public OpenDialog
{
public:
    explicit FileOpenDialog(dos::Drives drives);
    QString exec(QWidget *parent, const QString &title, const QString &filter,
                 const QString &previous) override;

private:
    dos::Drives m_drives;
};

} // namespace app
