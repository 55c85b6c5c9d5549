#include "widgets/dialoge.h"

#include "storage/speichername.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace Dialoge
{

namespace
{

class QtUmsetzung : public Umsetzung
{
public:
    bool frage(QWidget* eltern, const QString& text) override
    {
        // No is the default: Enter alone never confirms a destructive step.
        return QMessageBox::question(
                   eltern, QStringLiteral("FRAGE"), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
    bool bestaetigung(QWidget* eltern, const QString& text) override
    {
        return QMessageBox::question(
                   eltern, QStringLiteral("FRAGE"), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes;
    }
    void liste(QWidget* eltern, const QString& titel, const QString& text, const QStringList& zeilen) override
    {
        // The lines sit in the details, where they can be selected and copied.
        QMessageBox box(QMessageBox::Information, titel, text, QMessageBox::Ok, eltern);
        box.setObjectName(QStringLiteral("msgZeilenliste"));
        box.setDetailedText(zeilen.join(QLatin1Char('\n')));
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        box.exec();
    }
    void fehler(QWidget* eltern, const QString& text) override
    {
        QMessageBox::warning(eltern, QStringLiteral("FEHLER"), text, QMessageBox::Ok);
    }
    void info(QWidget* eltern, const QString& titel, const QString& text) override
    {
        QMessageBox::about(eltern, titel, text);
    }
    QString speicherName(
        QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(eltern, titel, vorschlag, filter);
    }
};

QtUmsetzung qtUmsetzung;
Umsetzung* aktuelle = nullptr;

} // namespace

QString Umsetzung::oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter)
{
    return QFileDialog::getOpenFileName(eltern, titel, ordner, filter);
}

void Umsetzung::liste(QWidget* eltern, const QString& titel, const QString& text, const QStringList& zeilen)
{
    info(eltern, titel, text + QLatin1Char('\n') + zeilen.join(QLatin1Char('\n')));
}

void setUmsetzung(Umsetzung* u)
{
    aktuelle = u;
}

bool geskriptet()
{
    return aktuelle != nullptr;
}

Umsetzung* umsetzung()
{
    return aktuelle ? aktuelle : &qtUmsetzung;
}

bool frage(QWidget* eltern, const QString& text)
{
    return umsetzung()->frage(eltern, text);
}

bool bestaetigung(QWidget* eltern, const QString& text)
{
    return umsetzung()->bestaetigung(eltern, text);
}

void liste(QWidget* eltern, const QString& titel, const QString& text, const QStringList& zeilen)
{
    umsetzung()->liste(eltern, titel, text, zeilen);
}

void fehler(QWidget* eltern, const QString& text)
{
    umsetzung()->fehler(eltern, text);
}

void info(QWidget* eltern, const QString& titel, const QString& text)
{
    umsetzung()->info(eltern, titel, text);
}

QString speicherName(QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter)
{
    return umsetzung()->speicherName(eltern, titel, vorschlag, filter);
}

QString oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter)
{
    return umsetzung()->oeffnenName(eltern, titel, ordner, filter);
}

QString speicherZiel(
    QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter, const QString& endung)
{
    const QString datei = speicherName(eltern, titel, vorschlag, filter);
    if (datei.isEmpty())
        return {};
    const QString mitEndung = Speichername::mitEndung(datei, endung);
    if (mitEndung != datei && QFileInfo::exists(mitEndung)
        && !frage(
            eltern, QObject::tr("Die Datei %1 gibt es schon.\nErsetzen?").arg(QDir::toNativeSeparators(mitEndung))))
        return {};
    return mitEndung;
}

} // namespace Dialoge
