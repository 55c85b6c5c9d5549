#pragma once
// The match days of a data folder: every folder named "dd_MM_yyyy" with the
// groups stored in it and their participant counts, newest day first.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Spieltagliste
{

struct Gruppe {
    QString name; // connection name, as the start-up opens it
    int teilnehmer = 0;
    int serien = 0;
    QString fehler; // not empty: the file cannot be opened as a group
};

struct Spieltag {
    QDate datum;
    QString verzeichnis;
    QVector<Gruppe> gruppen;
    int teilnehmer() const;
};

QVector<Spieltag> lesen(const QString& datenVerzeichnis);

} // namespace Spieltagliste
