#pragma once
#include <QString>

namespace ombx {

// The program from start to end, once the QApplication exists: refuse to run
// beside a running copy (and bring that one to the front), open the
// database, log in, run the main window until it closes, complete the login
// record and, after "重新登陆", start the program anew.
struct StartOptions {
    QString programDir;                                  // the folder of the executable
    QString instanceName = QStringLiteral("My OMBX256"); // the main window's class name
};

// Returns the program's exit code.
int runProgram(const StartOptions& options);

} // namespace ombx
