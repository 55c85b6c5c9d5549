#pragma once
// Collects what a draw needs: the series, the mode, the earlier match day
// for the match-day mode and, for the seeding mode, a hand-made list of
// table and seat per participant. Writes nothing itself.

#include <QDate>
#include <QDialog>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QPair>
#include <QString>

class ComboItemDelegate;
class QStandardItemModel;

namespace Ui
{
class DlgAuslosung;
}

class DlgAuslosung : public QDialog
{
    Q_OBJECT
public:
    enum Modus { Zufall = 0, Rang = 1, Spieltag = 2, Setzen = 3 };
    // table number -> (seat position, start number)
    using Setzliste = QMap<int, QList<QPair<int, int>>>;

    DlgAuslosung(const QString& gruppe, const QMap<QString, QString>& verbindungen, int serien, const QDate& turnierTag,
        QWidget* parent = nullptr);
    ~DlgAuslosung() override;

    int modus() const { return m_modus; }
    int serie() const;
    // Makes a series the current entry (the entry for the next series to
    // draw); the first entry stays current for any other number.
    void serieWaehlen(int serie);
    QDate datum() const;
    Setzliste setzliste() const { return m_setzliste; }

private slots:
    void onZufall(bool an);
    void onRang(bool an);
    void onSpieltag(bool an);
    void onSetzen(bool an);
    void onItemDoubleClicked(QModelIndex index);
    void onAccept();

private:
    void setzlisteAufbauen();

    Ui::DlgAuslosung* ui;
    int m_modus = Zufall;
    QDate m_turnierTag;
    QMap<QString, QString> m_verbindungen;
    QString m_gruppe;
    QStandardItemModel* m_setzModel;
    ComboItemDelegate* m_tischDelegate;
    ComboItemDelegate* m_platzDelegate;
    QMap<int, int> m_layout; // table number -> seats
    Setzliste m_setzliste;
};
