#pragma once
// A message of the companion-app link and its text form
// "code:adresse:liste$feld1@feld2...".

#include <QString>
#include <QStringList>

struct Nachricht {
    int code = 0;
    QString adresse;
    QString liste;
    QStringList felder;

    // Reads a received text; malformed texts get code 0.
    static Nachricht lesen(const QString& text);
    QString text() const;
};

// Name and IP address of a link nick "name@address:port"; both empty when the
// nick does not have that form.
struct Nick {
    QString name;
    QString adresse;
    static Nick lesen(const QString& nick);
};
