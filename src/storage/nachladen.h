#pragma once
// The program's service module: the code that needs the big libraries the
// window does not use at start (the table app's HTTP server with OpenSSL
// behind it, the zip archives) lives in a module of its own, loaded on first
// use, so starting the program neither loads nor initialises those libraries.

#include <QString>

namespace Nachladen
{

// The module's name (without what the system adds, lib….so), and where it is
// looked for: its folder (lib/<triplet>/reizwerk, set by the build) one
// folder up from the program's (as installed under /usr), else beside the
// program's folder's subfolders (the build folder).
QString dateiName();
QStringList orte();

// The module's function `name`, the module loaded on the first call (also
// from a worker thread). Null with a readable text in `fehler` when the
// module or the function cannot be found.
QFunctionPointer funktion(const char* name, QString* fehler);

// Whether the module has been loaded in this process.
bool geladen();

} // namespace Nachladen
