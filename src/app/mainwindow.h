#pragma once
// The program's one window: a view of the open match day. It owns the views,
// their models and the link's and table app's transports; every user action
// and link event arrives here as a slot and ends in an operation of
// `OffenerSpieltag`, which owns the day's data and signals what changed. The
// window holds no SQL. The implementation is split by subsystem into
// mainwindow_<area>.cpp, each section below naming its file.

#include <QHash>
#include <QJsonObject>
#include <QMainWindow>
#include <QMap>
#include <QModelIndex>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

#include "draw/tischverteilung.h"
#include "link/protokoll.h"
#include "link/tischpruefung.h"
#include "participants/teilnehmerpflege.h"
#include "roster/spielerauswahl.h"
#include "roster/spielerdatei.h"
#include "setup/teilnehmermodell.h"
#include "spieltag/offenerspieltag.h"
#include "storage/verbindungen.h"

class QAction;
class QLabel;
class QMenu;
class QSettings;
class QSqlTableModel;
class QStandardItem;
class QStandardItemModel;
class QModelIndex;
class QTextStream;
class TreeView;
class FesteSpalten;
class QSplitter;
class MySortFilterProxyModel;
class TeilnehmerTabelle;
class Client;
class Datensperre;
class DlgNewGroup;
struct Nachricht;
struct SpielListenEintrag;
struct WebTeil;
class Meldungsprotokoll;
namespace Web
{
class Server;
struct Fehler;
struct GesendetesSpiel;
} // namespace Web
namespace Spieltag
{
struct Gruppe;
}

namespace Ui
{
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // For tests and the benchmark: what the window works on.
    Ui::MainWindow* form() const { return ui; }
    QSqlTableModel* spieler() const { return spielerModel; }
    QStandardItemModel* auswahl() const { return auswahlModel; }
    TeilnehmerModell* teilnehmer() const { return teilnehmerModel; }
    TeilnehmerTabelle* tabelle() const { return teilnehmerTabelle; }
    MySortFilterProxyModel* teilnehmerSortierung() const { return teilnehmerProxy; }
    TreeView* teilnehmerAnsicht() const { return teilnehmerView; }
    QStandardItemModel* regeln() const { return punkteModel; }
    QStandardItemModel* gruppen() const { return gruppenModel; }
    QSettings* settings() const { return einstellungen; }
    const Verbindungen& registry() const { return spieltag->verbindungen(); }
    // The open match day, which every change to its results goes through.
    OffenerSpieltag* offenerSpieltag() const { return spieltag; }
    Client* link() const { return client; }
    QAction* aktion(const QString& objektName) const;
    int serieGewaehlt() const { return gewaehlteSerie; }
    QString datenVerzeichnis() const { return datenbankVerzeichnis; }
    QString turnierOrdner() const { return turnierVerzeichnis; }
    const QMap<int, int> layoutVon(const QString& gruppe) const { return tischLayout.value(gruppe); }
    Tischaufteilung aufteilungVon(const QString& gruppe) const { return tischaufteilung.value(gruppe); }
    const Sitzplan sitzplanVon(const QString& gruppe) const { return sitzplan.value(gruppe); }
    // Every status message since the start, with its time.
    const Meldungsprotokoll& meldungen() const { return *meldungsProtokoll; }

    // Operations the slots share; public so scenarios can drive them.
    void tischaufteilungBerechnen(int serie);
    void sitzplanAufbauen(int serie);
    void auslosenZufall(int serie);
    void auslosenRang(int serie);
    void auslosenSpieltag(const QDate& tag, int serie);
    void sitzplanSchreiben(int serie, const QVector<int>& reihenfolge);
    // fair draw (mainwindow_auslosung.cpp): the random draw with a given
    // number; the same number seats the same participants the same way.
    void auslosenMitLosnummer(int serie, qint64 losnummer);
    // Stores and shows the seats of a series in one transaction; after any
    // failure nothing is stored and the table shows what it showed before.
    // A random draw's number and quality are stored with its seats.
    bool tischeSpeichern(int serie, const QVector<Zuweisung>& zuweisungen, bool markeEntfernen = false,
        const std::optional<Spieltag::Losung>& losung = std::nullopt);
    // Shows stored seats of the participants the table has, without taking
    // them for entries; `markeEntfernen` clears the inactive mark.
    void tischeZeigen(int serie, const QVector<Zuweisung>& gespeichert, bool markeEntfernen);
    // roster (mainwindow_spieler.cpp) and the participant choice
    // (mainwindow_teilnehmer.cpp)
    int naechsteStartNr();
    void auswahlLaden(const QString& gruppe);
    void auswahlZeigen(const QVector<Spielerauswahl::Spieler>& spieler);

    // match days, backups and the data folder's lock (mainwindow_spieltage.cpp)
    // False when another program works on the same data folder: the window
    // then holds nothing and the program ends.
    bool laeuft() const { return !abgewiesen; }
    // Closes the shown match day's groups and opens another day's as the
    // start-up opens the last one.
    void spieltagWechseln(const QString& verzeichnis);
    // printing (mainwindow_druck.cpp): the address of a table's page in the
    // browser table app, printed as a QR code on the seating list and the
    // game-list sheets; an empty function or address prints none.
    void setTischAdresse(std::function<QString(const QString& gruppe, int serie, int tisch)> adresse);
    // table app in the browser (mainwindow_web.cpp)
    // The full address of a table's page: this machine's address on the
    // local network, the port and the table's token. For the QR codes of
    // printed documents and the screen; empty when the server does not run
    // or no match day is open.
    QString tischAdresse(const QString& gruppe, int serie, int tisch);
    // The public standings page, for the status bar and the projector.
    QString anzeigeAdresse() const;
    Web::Server* webServer() const;
    // How often the public standings were built (once per change).
    int webAnzeigeBauten() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onAbout();
    void appendMessage(QString from, QString message);
    void newParticipant(QString nick);
    void protokollAbmeldung(QString nick);
    void onPunkteUndKostenChanged(QStandardItem* item);
    void onSpielerAusDateiLaden();
    void onSpielerEntfernen();
    void onNeuerSpieler();
    void onChangeCurrentTab(int index);
    void onSpielerDataChanged(QModelIndex topLeft, QModelIndex bottomRight, QVector<int> roles);
    void onChangedGruppe(QString gruppe);
    void onKostenActivated(QModelIndex index);
    void onTeilnehmerAdd();
    void onTeilnehmerEntfernen();
    void onTeilnehmerOk();
    void onNeuesTurnier();
    void onAuslosen();
    void onAlleSpielerSelect();
    void onAlleSpielerUnselect();
    void onChangeAktuelleSpielGruppe(QString text);
    void onNeueSpielGruppe();
    void onKorrektur(bool on);
    void onAuslosungZuruecksetzen();
    // A cell of the results table got a text from outside (typed, a dialog,
    // the link): stores it, or refuses it and shows the stored value again.
    void onTeilnehmerEingabe(const QModelIndex& zelle);
    // Fits the results table's columns to the widest texts the model holds.
    void teilnehmerSpaltenEinpassen();
    void onTischSectionClicked(int logicalIndex);
    void onTeilnehmerAusgabeInDatei();
    void onTeilnehmerTextAusgabe();
    void onTeilnehmerExcelAusgabe();
    void onTeilnehmerHtmlAusgabe();
    void onRangliste();
    void onListeEintragen();
    void onTeilNehmerAktivDeaktiv();
    void onTeilnehmerNachmelden();
    void onDatenbankFehler(const QString& text);
    // The open match day stored results: the group on screen shows them.
    void onErgebnisGeaendert(const QString& gruppe, int serie, const QVector<int>& startNrs);
    // match days and backups (mainwindow_spieltage.cpp)
    void onSpieltagOeffnen();
    void onDatensicherung();
    void onWiederherstellen();
    // season standings (mainwindow_saison.cpp)
    void onSaisonwertung();
    // fees, payments and prizes (mainwindow_geld.cpp)
    void onAbrechnung();
    void onBezahltUmschalten();
    // printing (mainwindow_druck.cpp)
    void onTischlisteDrucken();
    void onSpiellistenDrucken();
    void onErgebnislisteDrucken();
    void onRanglisteDrucken();
    // the table codes on screen (mainwindow_web.cpp)
    void onTischCodes();
    // the evening at the keyboard: the next draw (mainwindow_auslosung.cpp),
    // the next game list (mainwindow_liste.cpp), the rest in mainwindow_abend.cpp
    void onNaechsteSerieAuslosen();
    void onNaechsteListeEintragen();
    void onStartNrSuchen();
    void onMeldungen();
    // fair draw (mainwindow_auslosung.cpp)
    void onTrennpaare();
    void onAuslosenMitNummer();

private:
    // storage (mainwindow_speicher.cpp)
    void datenbankOeffnen();
    void letztesTurnierOeffnen();
    bool turnierUeberschreiben(const QString& verzeichnis);
    void turnierLoeschen(const QString& verzeichnis);
    void gruppenDatenbankAnlegen();
    bool gruppeSpeichern(const QString& gruppe);

    // match days, backups and the data folder's lock (mainwindow_spieltage.cpp)
    bool datenOrdnerSperren();
    void spieltageEinrichten();
    void gruppenSchliessen();
    // opening a day's groups (mainwindow_speicher.cpp)
    void gruppenOeffnen(const QString& verzeichnis);
    // Rows of the open day's ranking that disagree with its group files.
    void ranglisteAbgleichen(const QVector<QSqlDatabase>& gruppen);
    // a new group from its dialog (mainwindow_teilnehmer.cpp)
    void neueGruppeUebernehmen(const DlgNewGroup& dlg);
    // match days, backups and the data folder's lock (mainwindow_spieltage.cpp)
    // Before the first group of a new match day is stored: snapshot and
    // delete the overwritten day, or refuse a group that exists that day.
    bool gruppeAnlegenErlaubt(const QString& gruppe);
    // An automatic snapshot before a destructive step; false (with a
    // message) when none could be written, and the step must not run.
    // `nurStammdaten` for a step that changes the master database alone.
    bool sicherungVor(const QString& anlass, QString* datei = nullptr, bool nurStammdaten = false);
    // At start, before the master database opens: settles a restore that was
    // interrupted; what it did goes to the status bar once the window is up.
    void unterbrocheneWiederherstellung();
    QStringList startMeldungen;
    std::unique_ptr<Datensperre> datenSperre;
    bool abgewiesen = false;
    QAction* actSpieltagOeffnen = nullptr;
    QAction* actDatensicherung = nullptr;
    QAction* actWiederherstellen = nullptr;
    // The day a started new match day replaces; deleted only when its first
    // group is confirmed.
    QString ueberschriebenerSpieltag;

    // rules and player groups (mainwindow_regeln.cpp)
    void initPunkteUndKosten();
    // player groups: naming, adding and removing player groups in the settings tab
    void spielergruppenPflegen();

    // roster (mainwindow_spieler.cpp)
    void spielerModelAufbauen();
    // Stores the roster's pending edit and passes it on, named by start number.
    void spielerAenderungSpeichern(int startNr, int spalte, bool einzeln);
    void spielerInListenUebernehmen(int startNr);
    // Drops the roster's pending edits and shows what is stored.
    void spielerVerwerfen();
    // A participant's prize-skat flag, handed back to his roster row.
    void spielerPreisskatUebernehmen(int startNr, bool ja);

    // results table (mainwindow_teilnehmer.cpp)
    void teilnehmerTabelleEinrichten();
    void teilnehmerTabelleLaden();
    void teilnehmerKopfAufbauen(int n);
    QString aktuelleGruppe() const;
    QSqlDatabase gruppenDatenbank() const;
    int anzahlSerien() const;

    // link (mainwindow_link.cpp)
    void linkEinrichten();
    // Opens the link's sockets; after the first paint (diensteStarten).
    void linkStarten();
    void spielerListeSenden(QString adresse);
    void tischListeSenden(const Nachricht& m);
    // A table's accepted result lines into the open match day; false (and
    // said in the status bar) when they were not stored.
    bool ergebnisseUebernehmen(QString liste, QStringList felder);
    bool ergebnisseUebernehmen(const QString& liste, const QVector<OffenerSpieltag::Ergebnis>& ergebnisse);
    void sendeKostenRegeln(const Nachricht& empfangen);
    void dateiSpeichern(const Nachricht& m);
    void linkStatusZeigen();
    // results only for the sender's own table (mainwindow_link.cpp)
    void ergebnisseVomTisch(const QString& adresse, const Nachricht& m);
    void ergebnisseAbgelehnt(const QString& adresse, const QVector<Tischpruefung::Abgelehnt>& zeilen, int anzahl);
    QHash<QPair<int, int>, QString>& tischHalter();

    // season standings (mainwindow_saison.cpp)
    void saisonEinrichten();
    // fees, payments and prizes (mainwindow_geld.cpp)
    void geldEinrichten();
    // member lists from spreadsheets (mainwindow_anmeldung.cpp)
    void anmeldungEinrichten();
    void onSpielerImportieren();
    void onGastAufnehmen();
    // Asks for a guest's name and group (the name as typed preset) and adds
    // him to the roster; his start number, or 0 when none was added.
    int gastAufnehmen(const QString& name);
    // The check-in desk: one player of the roster into the current group.
    void onAnmeldung();
    QString anmelden(int startNr);
    // Payments taken at the door before the group was confirmed: dropped
    // with the selection's rows, taken into the confirmed group's file.
    void vormerkungenStreichen(int erste, int letzte);
    bool vormerkungenEinloesen(const QString& gruppe);
    // Rows of late-registered players into the results table (mainwindow_teilnehmerpflege.cpp).
    void nachgemeldeteZeigen(const Teilnehmerpflege::NachmeldeErgebnis& e);
    // The view of a group's participants follows the match day's signals.
    void teilnehmerAnzeigen(const QString& gruppe);
    // roster (mainwindow_spieler.cpp): the view of a roster entry follows
    // the match day's signals.
    void spielerAnzeigen(int startNr);
    // Start numbers held outside the roster (ranking, groups of the day).
    QVector<Spielerdatei::Nummer> andereStartNummern() const;

    // table app in the browser (mainwindow_web.cpp); the app's reads and
    // changes run here on the window's thread.
    friend struct WebTeil;
    void webEinrichten();
    // Starts the table app's server and its threads; after the first paint.
    void webStarten();
    // What the first paint of the window does not need (mainwindow.cpp).
    void diensteStarten();
    // table app in the browser (mainwindow_web.cpp)
    void webBeenden();
    void webStatusZeigen();
    // Loads the secret of the current match day when it changed; false when
    // the tokens checked so far belonged to another day.
    bool webSchluesselAktuell(bool erzeugen = false);
    QString webHost() const;
    // A table address of the current match day and of a group, else the refusal.
    bool webTischErreichbar(const QString& gruppe, Web::Fehler& f);
    std::optional<QJsonObject> webTischDaten(const QString& gruppe, int serie, int tisch, Web::Fehler& f);
    std::optional<QJsonObject> webListeSpeichern(
        const QString& gruppe, int serie, int tisch, const QVector<Web::GesendetesSpiel>& spiele, Web::Fehler& f);
    QVector<Spieltag::Gruppe> webGruppen() const;
    QJsonObject webAnzeige();
    QString webStandKennung() const;
    WebTeil* web = nullptr;
    QAction* actTischCodes = nullptr;

    // reports (mainwindow_berichte.cpp): the HTML page frame shared by the
    // match-day report and the ranking.
    void htmlKopfAusgeben(QTextStream& os, QString title);
    void htmlFussAusgeben(QTextStream& os);

    // fair draw (mainwindow_auslosung.cpp)
    void auslosungEinrichten();

    // printing (mainwindow_druck.cpp)
    void druckMenuEinrichten();
    bool druckGruppeLesen(Spieltag::Gruppe& g);

    // The evening at the keyboard (mainwindow_abend.cpp).
    // Shows a message in the status bar; every message shown there, by this
    // or by anyone else, is also kept in the message log.
    void melden(const QString& text, int ms = 0);
    void meldungenEinrichten();
    void abendEinrichten();
    // the draws of the evening (mainwindow_auslosung.cpp)
    // The draw dialog with `vorwahl` as its series (0: the dialog's own
    // default), then the draw and its confirmation.
    void auslosenMitDialog(int vorwahl);
    // The one confirmation of a draw in the status bar.
    void auslosungMelden(int serie);
    // 0 when every series has its tables.
    int ersteUngelosteSerie() const;
    // Number and quality of the last random draw, for its confirmation.
    QString letzteLosung;
    int letzteGelosteSerie() const;
    // the game lists of the evening (mainwindow_liste.cpp)
    // The next table of a series after `nach` whose players have no points
    // and no costs yet, from the first again; 0 when there is none.
    int naechsterTischOhneErgebnis(int serie, int nach) const;
    // Stores a confirmed game list through the open match day; false when
    // it was refused (nothing is stored then).
    bool listeAnwenden(int tisch, int serie, const QList<SpielListenEintrag>& liste);
    // the correction mode's frame (mainwindow_abend.cpp)
    void korrekturZeigen(bool an);
    std::unique_ptr<Meldungsprotokoll> meldungsProtokoll;
    QAction* actNaechsteSerie = nullptr;
    QAction* actNaechsteListe = nullptr;
    QAction* actStartNrSuchen = nullptr;
    QAction* actMeldungen = nullptr;
    QAction* actBeenden = nullptr;
    QLabel* lblKorrektur = nullptr;
    QString meldungZuletzt;

    Ui::MainWindow* ui = nullptr;

    QAction* actNeuesTurnier = nullptr;
    QAction* actNeueSpielGruppe = nullptr;
    QAction* actKorrektur = nullptr;
    QAction* actTeilnehmerAktiv = nullptr;
    QAction* actNachmelden = nullptr;
    QAction* actInfo = nullptr;
    QMenu* menuTurnier = nullptr;
    QMenu* menuEditieren = nullptr;

    QSqlTableModel* spielerModel = nullptr;
    Spielerauswahl::Modell* auswahlModel = nullptr;
    TreeView* teilnehmerView = nullptr;
    TeilnehmerModell* teilnehmerModel = nullptr;
    MySortFilterProxyModel* teilnehmerProxy = nullptr;
    TeilnehmerTabelle* teilnehmerTabelle = nullptr;
    QStandardItemModel* punkteModel = nullptr;
    QStandardItemModel* gruppenModel = nullptr;

    QSettings* einstellungen = nullptr;
    QString datenbankVerzeichnis;
    QString turnierVerzeichnis;
    QString hauptVerbindung = QStringLiteral("reizwerk_connection_name");
    OffenerSpieltag* spieltag = nullptr;
    // While positive, cell changes of the results table are the program's own
    // (loading a group, switching correction mode) and are not stored.
    int teilnehmerSperre = 0;

    bool gruppeFestgelegt = false;
    int letzterTisch = 0;
    int gewaehlteSerie = 0;
    int tischZaehler = 0;

    // The match day keeps the groups' layouts and seat plans; these names
    // stay for the window code that still reads them.
    QMap<QString, TischLayout>& tischLayout = spieltag->sitzordnung().layouts;
    QMap<QString, Tischaufteilung>& tischaufteilung = spieltag->sitzordnung().aufteilungen;
    QMap<QString, Sitzplan>& sitzplan = spieltag->sitzordnung().plaene;

    Client* client = nullptr;
    QString listenName;
    QMap<QString, int> linkPartner;
    // link: open connections per companion address; the address is
    // forgotten only when its last one closes (a phone reconnects before its
    // old connection dies)
    QHash<QString, int> linkVerbindungen;
    // link: (series, table) -> the address last sent its seat list, for the
    // match day `linkHalterTag`; kept across disconnects, so a companion can
    // correct an earlier series late in the evening
    QHash<QPair<int, int>, QString> linkTischHalter;
    Tischpruefung::Anweisungen linkAnweisungen;
    QString linkHalterTag;
    // link: refused result lines so far, and the bounded game-list files
    int linkAbgelehnt = 0;
    Protokoll::SpielListenAblage spielListenAblage;

    // printing (mainwindow_druck.cpp)
    QMenu* menuDrucken = nullptr;
    std::function<QString(const QString&, int, int)> druckTischAdresse;

    // window, keys and screen (mainwindow_fenster.cpp)
public:
    // The kept columns (number, name, sums) beside the results table.
    FesteSpalten* festeAnsicht() const { return festeSpalten; }

private:
    void fensterEinrichten();
    void tastenEinrichten();
    void auswahlEinklappen();
    void fensterZustandSpeichern();
    // Size and place of the window within the screen it opens on.
    void fensterEinpassen();
    FesteSpalten* festeSpalten = nullptr;
    QSplitter* ergebnisTeiler = nullptr;
    QAction* actAuswahlEinklappen = nullptr;
    bool teilerGezogen = false;
};
