#pragma once
// The print preview of a document, from which the organiser prints or saves
// a PDF, and saving a PDF after asking for the file name.

#include <QString>

#include "print/blatt.h"

class QWidget;

namespace Druck
{

// Shows the document in Qt's print preview (A4, the document's orientation)
// with an extra entry "Als PDF speichern…" (object name actAlsPdf, Ctrl+S,
// first in the tool bar so it is never hidden); Ctrl+P prints. The preview
// comes back in the size it last had; a written PDF is named in the status
// bar of `eltern` when that is the main window.
void vorschauZeigen(QWidget* eltern, const Dokument& d, const QString& ordner);

// Asks for a file name (suggested: the document's name in `ordner`), adds
// ".pdf" when it is missing and writes the PDF. A failure is shown as FEHLER
// naming the file. Returns the written file, empty when cancelled or failed.
QString alsPdfSpeichern(QWidget* eltern, const Dokument& d, const QString& ordner);

// The name as typed, with ".pdf" added unless it ends so (any case).
QString mitPdfEndung(const QString& datei);

} // namespace Druck
