#pragma once
// The match day the golden files under tests/data show: four participants
// of one series, a name with a full stop and an ampersand, one outside
// Latin-1 with quotes and angle brackets, one longer than 20 characters, two
// with equal sums (100 before 102 in the table).

#include <QStringList>
#include <QVector>

inline const QStringList einSerienKopf = { QStringLiteral("Nr"), QStringLiteral("Name"), QStringLiteral("Preisskat"),
    QStringLiteral("PktS1"), QStringLiteral("TischS1"), QStringLiteral("KostenS1"), QStringLiteral("Summe Punkte"),
    QStringLiteral("Summe Kosten") };

inline QVector<QStringList> spieltagZeilen()
{
    return {
        { "100", QStringLiteral("Dr. Ludwig & S\u00f6hne"), "Ja", "120", "1", "3.5", "120", "3.5" },
        { "101", QStringLiteral("\u0141ukasz \"Luk\" <Nowak>"), "Nein", "250", "1", "1.0", "250", "1.0" },
        { "102", "Maximilian Mustermann-Ost", "Ja", "120", "2", "2.0", "120", "2.0" },
        { "103", "Anna Schmidt", "Ja", "-30", "2", "6.5", "-30", "6.5" },
    };
}
