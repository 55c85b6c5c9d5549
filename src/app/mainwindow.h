#pragma once
// The program's one window: it owns every model, view and the link, and every
// user action and link event arrives here as a slot. The slots are short; the
// work lives in the subsystem folders. The implementation is split by
// subsystem into mainwindow_<area>.cpp.

#include <QJsonObject>
#include <QMainWindow>
#include <QMap>
#include <QModelIndex>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

#include "draw/tischverteilung.h"
#include "storage/verbindungen.h"

class QAction;
class QMenu;
class QSettings;
class QSqlTableModel;
class QStandardItem;
class QStandardItemModel;
class QModelIndex;
class QTextStream;
class TreeView;
class MySortFilterProxyModel;
class TeilnehmerTabelle;
class Client;
struct Nachricht;
struct WebTeil;
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
    QStandardItemModel* teilnehmer() const { return teilnehmerModel; }
    TeilnehmerTabelle* tabelle() const { return teilnehmerTabelle; }
    MySortFilterProxyModel* teilnehmerSortierung() const { return teilnehmerProxy; }
    TreeView* teilnehmerAnsicht() const { return teilnehmerView; }
    QStandardItemModel* regeln() const { return punkteModel; }
    QStandardItemModel* gruppen() const { return gruppenModel; }
    QSettings* settings() const { return einstellungen; }
    const Verbindungen& registry() const { return verbindungen; }
    Client* link() const { return client; }
    QAction* aktion(const QString& objektName) const;
    int serieGewaehlt() const { return gewaehlteSerie; }
    QString datenVerzeichnis() const { return datenbankVerzeichnis; }
    QString turnierOrdner() const { return turnierVerzeichnis; }
    const QMap<int, int> layoutVon(const QString& gruppe) const { return tischLayout.value(gruppe); }
    Tischaufteilung aufteilungVon(const QString& gruppe) const { return tischaufteilung.value(gruppe); }
    const Sitzplan sitzplanVon(const QString& gruppe) const { return sitzplan.value(gruppe); }

    // Operations the slots share; public so scenarios can drive them.
    void tischaufteilungBerechnen(int serie);
    void sitzplanAufbauen(int serie);
    void auslosenZufall(int serie);
    void auslosenRang(int serie);
    void auslosenSpieltag(const QDate& tag, int serie);
    void sitzplanSchreiben(int serie, const QVector<int>& reihenfolge);
    // Stores and shows the seats of a series in one transaction; after any
    // failure nothing is stored and the table shows what it showed before.
    bool tischeSpeichern(int serie, const QVector<Zuweisung>& zuweisungen, bool markeEntfernen = false);
    bool speichereRanglistenPunkte(int startNr, QDate datum, QString name, int punkte);
    int naechsteStartNr();
    void auswahlLaden(const QString& gruppe);

    // table app in the browser (mainwindow_web.cpp)
    // The full address of a table's page: this machine's address on the
    // local network, the port and the table's token. For the QR codes of
    // printed documents and the screen; empty when the server does not run
    // or no match day is open.
    QString tischAdresse(const QString& gruppe, int serie, int tisch);
    // The public standings page, for the status bar and the projector.
    QString anzeigeAdresse() const;
    Web::Server* webServer() const;

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
    void onTeilnehmerItemChanged(QStandardItem* item);
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
    void onTischCodes();

private:
    // storage (mainwindow_speicher.cpp)
    void datenbankOeffnen();
    void letztesTurnierOeffnen();
    bool turnierUeberschreiben(const QString& verzeichnis);
    void gruppenDatenbankAnlegen();
    void gruppeSpeichern(QSqlDatabase db);

    // rules and player groups (mainwindow_regeln.cpp)
    void initPunkteUndKosten();

    // roster (mainwindow_spieler.cpp)
    void spielerModelAufbauen();

    // results table (mainwindow_teilnehmer.cpp)
    void teilnehmerTabelleEinrichten();
    void teilnehmerTabelleLaden();
    void teilnehmerKopfAufbauen(int n);
    QString aktuelleGruppe() const;
    QSqlDatabase gruppenDatenbank() const;
    int anzahlSerien() const;

    // link (mainwindow_link.cpp)
    void linkEinrichten();
    void spielerListeSenden(QString adresse);
    void tischListeSenden(const Nachricht& m);
    void ergebnisseUebernehmen(QString liste, QStringList felder);
    void sendeKostenRegeln(const Nachricht& empfangen);
    void dateiSpeichern(const Nachricht& m);
    void linkStatusZeigen();

    // table app in the browser (mainwindow_web.cpp); the app's reads and
    // changes run here on the window's thread.
    friend struct WebTeil;
    void webEinrichten();
    void webBeenden();
    void webStatusZeigen();
    // Loads the secret of the current match day when it changed; false when
    // the tokens checked so far belonged to another day.
    bool webSchluesselAktuell(bool erzeugen = false);
    QString webHost() const;
    std::optional<QJsonObject> webTischDaten(const QString& gruppe, int serie, int tisch, Web::Fehler& f);
    std::optional<QJsonObject> webListeSpeichern(
        const QString& gruppe, int serie, int tisch, const QVector<Web::GesendetesSpiel>& spiele, Web::Fehler& f);
    QVector<Spieltag::Gruppe> webGruppen() const;
    QJsonObject webAnzeige();
    WebTeil* web = nullptr;
    QAction* actTischCodes = nullptr;

    // HTML page frame shared by the match-day report and the ranking.
    void htmlKopfAusgeben(QTextStream& os, QString title);
    void htmlFussAusgeben(QTextStream& os);

    // Shows in the status bar that an action is not available yet.
    void nochNichtVerfuegbar(const QString& aktion);

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
    QStandardItemModel* auswahlModel = nullptr;
    TreeView* teilnehmerView = nullptr;
    QStandardItemModel* teilnehmerModel = nullptr;
    MySortFilterProxyModel* teilnehmerProxy = nullptr;
    TeilnehmerTabelle* teilnehmerTabelle = nullptr;
    QStandardItemModel* punkteModel = nullptr;
    QStandardItemModel* gruppenModel = nullptr;

    QSettings* einstellungen = nullptr;
    QString datenbankVerzeichnis;
    QString turnierVerzeichnis;
    QString hauptVerbindung = QStringLiteral("reizwerk_connection_name");
    Verbindungen verbindungen;
    // While positive, cell changes of the results table are the program's own
    // (loading a group, switching correction mode) and are not stored.
    int teilnehmerSperre = 0;

    bool gruppeFestgelegt = false;
    bool gruppeGeoeffnet = false;
    int letzterTisch = 0;
    int gewaehlteSerie = 0;
    int tischZaehler = 0;

    QMap<QString, QMap<int, int>> tischLayout;
    QMap<QString, Tischaufteilung> tischaufteilung;
    QMap<QString, Sitzplan> sitzplan;

    Client* client = nullptr;
    QString listenName;
    QMap<QString, int> linkPartner;
};
