#include "print/vorschau.h"

#include <QAction>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include "app/dialoge.h"

namespace Druck
{

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
    drucker.setDocName(d.titel);

    QPrintPreviewDialog dlg(&drucker, eltern);
    dlg.setObjectName(QStringLiteral("dlgDruckvorschau"));
    dlg.setWindowTitle(QObject::tr("Druckvorschau \u2013 %1").arg(d.titel));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&d](QPrinter* p) { malen(d, *p); });
    auto* pdf = new QAction(QObject::tr("Als PDF speichern\u2026"), &dlg);
    pdf->setObjectName(QStringLiteral("actAlsPdf"));
    QObject::connect(pdf, &QAction::triggered, &dlg, [&dlg, &d, ordner] { alsPdfSpeichern(&dlg, d, ordner); });
    if (QToolBar* leiste = dlg.findChild<QToolBar*>()) {
        leiste->addSeparator();
        leiste->addAction(pdf);
    } else {
        dlg.addAction(pdf);
    }
    dlg.exec();
}

} // namespace Druck
