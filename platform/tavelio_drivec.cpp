// tavelio-drivec: prepares this user's drive C and prints the tool folder.
//
//   cd "$(tavelio-drivec)" && tavelio
//
// The launchers use it so that the program starts in its working folder, where the open
// dialog finds the sample bitmaps and the tools find their twins. It also links the class's
// photographs into the tool folder; what it cannot link goes to the failure log as one line,
// and the start goes on without it.

#include "classphotos.h"
#include "drivec.h"
#include "failurelog.h"

#include <iostream>

int main(int argc, char **)
{
    if (argc != 1) {
        std::cerr << "uso: tavelio-drivec\n";
        return 1;
    }
    const dos::fs::path driveC = dos::driveCFromEnvironment();
    std::string reason;
    if (!dos::prepareDriveC(driveC, &reason)) {
        std::cerr << "tavelio-drivec: no se pudo preparar la unidad C: " << reason << "\n";
        return 2;
    }
    classroom::linkAtStart(classroom::kClassFolder, driveC, failures::logPath());
    std::cout << dos::toolFolder(driveC).string() << "\n";
    return 0;
}
