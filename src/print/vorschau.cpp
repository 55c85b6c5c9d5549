#include "print/vorschau.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <memory>

#include "storage/pfade.h"
#include "widgets/dialoge.h"

namespace Druck
{

namespace
{
const QString schluesselGeometrie = QStringLiteral("Druckvorschau/Geometrie");
} // namespace

QString mitPdfEndung(const QString& datei)
{
    if (datei.isEmpty() || datei.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return datei;
    return datei + QStringLiteral(".pdf");
}

QString alsPdfSpeichern(QWidget* eltern, const Dokument& d, const QString& ordner)
{
    const QString vorschlag = ordner.isEmpty() ? d.dateiVorschlag : QDir(ordner).filePath(d.dateiVorschlag);
    const QString datei = mitPdfEndung(
        Dialoge::speicherName(eltern, QObject::tr("Als PDF speichern"), vorschlag, QObject::tr("PDF-Datei (*.pdf)")));
    if (datei.isEmpty())
        return {};
    QString fehler;
    if (!pdfSchreiben(d, datei, &fehler)) {
        Dialoge::fehler(eltern, fehler);
        return {};
    }
    return datei;
}

void vorschauZeigen(QWidget* eltern, const Dokument& d, const QString& ordner)
{
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setPageSize(QPageSize(QPageSize::A4));
    drucker.setPageOrientation(d.ausrichtung);
    // The pages carry their own margins.
    drucker.setFullPage(true);
    // The print dialog suggests its PDF under the document's name, which
    // follows the same pattern as every other file of the match day.
    drucker.setDocName(d.dateiVorschlag.isEmpty() ? d.titel : QFileInfo(d.dateiVorschlag).completeBaseName());

    QPrintPreviewDialog dlg(&drucker, eltern);
    dlg.setObjectName(QStringLiteral("dlgDruckvorschau"));
    dlg.setWindowTitle(QObject::tr("Druckvorschau \u2013 %1").arg(d.titel));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&d](QPrinter* p) { malen(d, *p); });
    auto* pdf = new QAction(QObject::tr("Als PDF speichern\u2026"), &dlg);
    pdf->setObjectName(QStringLiteral("actAlsPdf"));
    pdf->setShortcut(QKeySequence::Save);
    pdf->setToolTip(QObject::tr("Als PDF speichern (%1)").arg(pdf->shortcut().toString(QKeySequence::NativeText)));
    QObject::connect(pdf, &QAction::triggered, &dlg, [&dlg, &d, ordner, eltern] {
        const QString datei = alsPdfSpeichern(&dlg, d, ordner);
        // The window behind the preview says where the file went.
        if (auto* fenster = qobject_cast<QMainWindow*>(eltern); fenster && !datei.isEmpty())
            fenster->statusBar()->showMessage(QObject::tr("PDF gespeichert: %1").arg(QDir::toNativeSeparators(datei)));
    });
    if (QToolBar* leiste = dlg.findChild<QToolBar*>()) {
        // First in the bar: at the end it hides behind the overflow arrow
        // as soon as the preview is narrower than all its buttons.
        const QList<QAction*> vorhanden = leiste->actions();
        QAction* erste = vorhanden.value(0);
        leiste->insertAction(erste, pdf);
        leiste->insertSeparator(erste);
        if (QWidget* knopf = leiste->widgetForAction(pdf))
            knopf->setObjectName(QStringLiteral("tbAlsPdf"));
        if (auto* knopf = qobject_cast<QToolButton*>(leiste->widgetForAction(pdf)))
            knopf->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // Tab reaches every button of the bar, not only the zoom and page fields.
        for (QToolButton* knopf : leiste->findChildren<QToolButton*>())
            if (knopf->defaultAction() && knopf->defaultAction()->isVisible())
                knopf->setFocusPolicy(Qt::TabFocus);
        // Ctrl+P prints, as in every other program.
        const QString drucken = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* a : vorhanden)
            if (a->text() == drucken && a->shortcut().isEmpty()) {
                a->setObjectName(QStringLiteral("actVorschauDrucken"));
                a->setShortcut(QKeySequence::Print);
                a->setToolTip(QStringLiteral("%1 (%2)").arg(drucken, a->shortcut().toString(QKeySequence::NativeText)));
            }
    } else {
        dlg.addAction(pdf);
    }

    // Its size and place (maximized or not) from the last time.
    const std::unique_ptr<QSettings> einstellungen(Pfade::einstellungenOeffnen(nullptr));
    const QByteArray geometrie = einstellungen->value(schluesselGeometrie).toByteArray();
    if (geometrie.isEmpty() || !dlg.restoreGeometry(geometrie))
        dlg.resize(900, 700);
    QObject::connect(&dlg, &QDialog::finished, &dlg,
        [&dlg, &einstellungen] { einstellungen->setValue(schluesselGeometrie, dlg.saveGeometry()); });
    dlg.exec();
}

} // namespace Druck
