// What a tool's line in an image's header stands for: which menu operation runs that tool so,
// its caption as the menu shows it, its explanatory text, and the part it plays, without the
// main window. The report a student hands in reads its images' lines through this.
#pragma once

#include "operations.h"

#include <QString>
#include <QStringList>

namespace report {

// What a step did to the picture, and so what the file it wrote is.
enum class Role {
    Original, // align.exe: the photograph the chain starts from
    Distortion, // damage to be undone later
    Restoration, // undoes a distortion: judged against the original
    Spectrum, // the FFT: a picture of frequencies, not of the scene
    Enhancement, // improves the original itself: nothing to compare with
    View, // a view saved from the viewer: "i_view32.exe espectro de mov25.pgm"
    Unknown, // a line that names no tool of the suite
};

struct LineMeaning
{
    Role role = Role::Unknown;
    const ops::Operation *operation = nullptr; // the menu's operation, when one runs the tool so
    bool firstOfTwo = false; // the line is the first step of a chained operation: its file is
                             // a picture on the way, not the operation's result
    QString program; // the program, without its folder: "motion.exe"
    QStringList arguments; // its files and numbers, in order
    QStringList answers; // what it asked at its prompt: "k=0.0005424400426132894"
};

// The meaning of one line of an image's header. The program is matched without regard to
// letter case and folder; among the operations that run it, the one whose numbers all agree
// and whose file names agree the most (a student may have named the files otherwise).
LineMeaning lookupLine(const QString &line);

// Whether the line ran `program` ("wiener.exe"), without regard to letter case.
bool isProgram(const LineMeaning &made, const char *program);

// Whether `meaning`'s line was written by a program of the suite (the tools and the viewer),
// not a comment another program left in the header, such as a photograph's "File written by".
bool writtenBySuite(const LineMeaning &meaning);

// The operation's caption as its menu shows it, without the access-key mark: "Con movimiento
// igual a 25".
QString menuCaption(const ops::Operation &operation);
// The captions of the menus above it, outermost first: {"Tavelio", "Quitar una distorsión"}.
QStringList menuPath(const ops::Operation &operation);

// Its explanatory text, as the main window's label shows it.
QString explanation(const ops::Operation &operation);

} // namespace report
