#pragma once
// The seam for modal questions, error boxes and file dialogs: the program
// uses the Qt boxes, tests install a scripted answerer so nothing blocks.

#include <QString>
#include <QStringList>

class QWidget;

namespace Dialoge
{

class Umsetzung
{
public:
    virtual ~Umsetzung() = default;
    // Question under the title "FRAGE" with Yes and No; true for Yes. No is
    // the default: for questions that delete or replace data.
    virtual bool frage(QWidget* eltern, const QString& text) = 0;
    // The same for a confirmation that destroys nothing: the box keeps its
    // standard default, so Return answers Yes. Answered like frage() unless
    // an answerer tells them apart.
    virtual bool bestaetigung(QWidget* eltern, const QString& text) { return frage(eltern, text); }
    // Error box under the title "FEHLER".
    virtual void fehler(QWidget* eltern, const QString& text) = 0;
    // A plain information box (About, outcome of an import).
    virtual void info(QWidget* eltern, const QString& titel, const QString& text) = 0;
    // Information with lines to read and copy (the lines an import
    // skipped); shown as an information box with the lines below unless an
    // answerer does better.
    virtual void liste(QWidget* eltern, const QString& titel, const QString& text, const QStringList& zeilen);
    // Save-file dialog; an empty name means cancelled.
    virtual QString speicherName(QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter)
        = 0;
    // Open-file dialog; an empty name means cancelled.
    virtual QString oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter);
// A file to save to: the name chosen with `endung` added where it was left
// out; when that makes another, existing file, asks before replacing it
// (the file dialog only asked about the name it was given). Empty when
// cancelled.
QString speicherZiel(
    QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter, const QString& endung);
};

// Installs another answerer (tests); nullptr restores the Qt boxes.
void setUmsetzung(Umsetzung* umsetzung);
Umsetzung* umsetzung();
// True while another answerer than the Qt boxes is installed.
bool geskriptet();

bool frage(QWidget* eltern, const QString& text);
bool bestaetigung(QWidget* eltern, const QString& text);
void liste(QWidget* eltern, const QString& titel, const QString& text, const QStringList& zeilen);
void fehler(QWidget* eltern, const QString& text);
void info(QWidget* eltern, const QString& titel, const QString& text);
QString speicherName(QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter);
QString oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter);
// A file to save to: the name chosen with `endung` added where it was left
// out; when that makes another, existing file, asks before replacing it
// (the file dialog only asked about the name it was given). Empty when
// cancelled.
QString speicherZiel(
    QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter, const QString& endung);

} // namespace Dialoge
