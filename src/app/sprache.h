#pragma once
// The toolkit's own texts (standard buttons, file and print dialogs) in
// German, so they match the program's German captions.

#include <QString>

class QCoreApplication;
class QTranslator;

namespace Sprache
{

// True for a German locale name ("de", "de_DE", "de_AT.UTF-8") and for an
// unset one ("", "C", "POSIX"): the program speaks German either way.
bool deutschVerwenden(const QString& gebietsschema);

// Installs the toolkit's German translations into the application when
// deutschVerwenden holds for the given locale name. Returns the translator,
// owned by the application, or nullptr when none was installed or the
// translation file is missing.
QTranslator* einrichten(QCoreApplication& anwendung, const QString& gebietsschema);

// The same for the system's locale.
QTranslator* einrichten(QCoreApplication& anwendung);

} // namespace Sprache
