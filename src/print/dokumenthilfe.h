#pragma once
// What the document builders share: dates and file names as printed, and the
// one page that says a series has no draw yet.

#include <QDate>
#include <QString>

#include "print/blatt.h"
#include "storage/spieltagleser.h"

namespace Druck
{

// "06.12.2026"
QString datumText(const QDate& d);

// "Herren_2026-12-06_Tischliste_S2.pdf"; no series part for serie 0.
QString dateiName(const QString& gruppe, const QDate& datum, const QString& art, int serie = 0);

// A seated name as paper shows it: one made inactive after the draw keeps
// her seat and is marked "(inaktiv)".
QString gedruckterName(const Spieltag::SitzEintrag& e);

// A document of one page that says why there is nothing to print; its
// `hinweis` carries the same text.
Dokument hinweisDokument(const QString& titel, const QString& dateiVorschlag, const QString& hinweis);

} // namespace Druck
