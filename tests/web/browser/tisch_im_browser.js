// Öffnet die Seite eines Tisches in Debians chromium (headless), trägt eine
// Liste ein, schließt sie ab und sendet sie. Aufruf:
//   node tisch_im_browser.js <Auftrag als JSON>
// Auftrag: { adresse, spiele: [[sitz, wert, "g"|"v"] | "e"], abbrechen: bool,
//            bild, bildListe: Pfade für Bilder (optional), breite, hoehe,
//            nurBild: nur ein Bild der Seite, warteAuf: Selektor dafür }
// abbrechen: die Verbindung fällt beim Senden weg und kommt wieder; die Seite
// muss die Liste behalten und von selbst erneut senden.
// offenLassen: wie abbrechen, aber die Verbindung kommt nicht wieder und der
//   Browser endet mit der Liste im Speicher, den er ausgibt (speicher);
// vorher: { Schlüssel: Wert } vor dem Laden in den Speicher der Seite legen;
// nurLaden: nur laden, warten (ms) und berichten; verwerfen: danach jede alte
//   Liste verwerfen;
// leer: die Liste ohne gespieltes Spiel abschließen wollen.
// Ausgabe (stdout): { angezeigt: [{platz, name, punkte, kosten}], zeilen, status, gespeichertVorher }
// bzw. bei nurLaden/leer: { status, meldung, alteListen, offeneListen, abschluss, nachVerwerfen }
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

async function main() {
  const auftrag = JSON.parse(process.argv[2]);
  const profil = fs.mkdtempSync(path.join(os.tmpdir(), 'reizwerk-chromium-'));
  const kontext = await chromium.launchPersistentContext(profil, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: auftrag.breite || 390, height: auftrag.hoehe || 844 },
    deviceScaleFactor: 1,
    timeout: 30000,
  });
  try {
    const seite = kontext.pages()[0] || await kontext.newPage();
    seite.setDefaultTimeout(20000);
    seite.on('dialog', (d) => d.accept());
    await seite.goto(auftrag.adresse);
    if (auftrag.vorher) {
      await seite.evaluate((eintraege) => {
        for (const [k, w] of Object.entries(eintraege)) localStorage.setItem(k, w);
      }, auftrag.vorher);
      await seite.reload();
    }
    const bericht = async () => ({
      status: await seite.textContent('#status'),
      meldung: await seite.textContent('#meldung'),
      alteListen: await seite.locator('#alteListen:not([hidden]) li.alteListe').count(),
      abschluss: await seite.locator('#abschluss:not([hidden])').count() > 0,
      schluessel: await seite.evaluate(() => Object.keys(localStorage)),
      offeneListen: await seite.evaluate(() => {
        const offen = [];
        for (let i = 0; i < localStorage.length; i++) {
          const w = JSON.parse(localStorage.getItem(localStorage.key(i)));
          if (w && w.zustand && w.zustand.spiele.length && !w.zustand.bestaetigt) offen.push(localStorage.key(i));
        }
        return offen;
      }),
    });
    if (auftrag.nurLaden) {
      await seite.waitForSelector('#eingabe:not([hidden])');
      await seite.waitForTimeout(auftrag.nurLaden);
      const aus = await bericht();
      if (auftrag.verwerfen) {
        while (await seite.locator('#alteListen:not([hidden]) button.verwerfen').count())
          await seite.click('#alteListen button.verwerfen');
        aus.nachVerwerfen = await bericht();
      }
      process.stdout.write(JSON.stringify(aus) + '\n');
      return;
    }
    if (auftrag.nurBild) {
      // Nur ein Bild der Seite, z. B. der öffentlichen Anzeige.
      await seite.waitForSelector(auftrag.warteAuf || 'body');
      await seite.screenshot({ path: auftrag.nurBild, fullPage: false });
      process.stdout.write(JSON.stringify({ bild: auftrag.nurBild }) + '\n');
      return;
    }
    await seite.waitForSelector('#eingabe:not([hidden])');

    for (const s of auftrag.spiele) {
      if (s === 'e') {
        await seite.click('#eingepasst');
        continue;
      }
      await seite.click('#spieler-' + s[0]);
      await seite.fill('#wert', String(s[1]));
      await seite.click(s[2] === 'g' ? '#gewonnen' : '#verloren');
    }
    const zeilen = await seite.locator('#liste tbody tr').count();
    if (auftrag.leer) {
      await seite.click('#abschliessen');
      await seite.waitForTimeout(300);
      process.stdout.write(JSON.stringify(await bericht()) + '\n');
      return;
    }
    if (auftrag.bild && auftrag.bildListe) await seite.screenshot({ path: auftrag.bildListe, fullPage: false });

    await seite.click('#abschliessen');
    await seite.waitForSelector('#abschluss:not([hidden])');
    const angezeigt = await seite.$$eval('#ergebnis tbody tr', (reihen) => reihen.map((r) => {
      const z = Array.from(r.cells).map((c) => c.textContent);
      return { platz: parseInt(z[0], 10), name: z[1], punkte: parseInt(z[2], 10),
        kosten: parseFloat(z[3].replace(',', '.')) };
    }));
    if (auftrag.bild) await seite.screenshot({ path: auftrag.bild, fullPage: false });

    let gespeichertVorher = null;
    if (auftrag.abbrechen || auftrag.offenLassen) {
      await kontext.setOffline(true);
      await seite.click('#senden');
      await seite.waitForFunction(() => document.getElementById('status').textContent.includes('Keine Verbindung'));
      // Die Liste liegt im Speicher des Browsers, noch nicht bestätigt.
      gespeichertVorher = await seite.evaluate(() => {
        for (let i = 0; i < localStorage.length; i++) {
          const w = JSON.parse(localStorage.getItem(localStorage.key(i)));
          if (w && w.zustand) return { spiele: w.zustand.spiele.length, bestaetigt: w.zustand.bestaetigt };
        }
        return null;
      });
      if (auftrag.offenLassen) {
        const speicher = await seite.evaluate(() => Object.fromEntries(Object.keys(localStorage)
          .map((k) => [k, localStorage.getItem(k)])));
        process.stdout.write(JSON.stringify({ angezeigt, zeilen, gespeichertVorher, speicher }) + '\n');
        return;
      }
      await seite.waitForTimeout(1000);
      await kontext.setOffline(false);
    } else {
      await seite.click('#senden');
    }
    await seite.waitForSelector('#status.ok');
    const status = await seite.textContent('#status');
    process.stdout.write(JSON.stringify({ angezeigt, zeilen, status, gespeichertVorher }) + '\n');
  } finally {
    await kontext.close();
    fs.rmSync(profil, { recursive: true, force: true });
  }
}

main().catch((e) => {
  process.stderr.write(String(e && e.stack || e) + '\n');
  process.exit(1);
});
