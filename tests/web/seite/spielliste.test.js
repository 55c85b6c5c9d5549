// Prüft die Rechnung der Tischseite gegen dieselben handgerechneten
// Beispiele wie der C++-Test. Aufruf: node --test tests/web/seite/
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const fs = require('node:fs');

const Spielliste = require(path.join(__dirname, '../../../src/web/seite/spielliste.js'));
const daten = JSON.parse(fs.readFileSync(path.join(__dirname, '../../data/spielliste_beispiele.json'), 'utf8'));

test('handgerechnete Beispiele', () => {
  assert.ok(daten.beispiele.length >= 6);
  for (const b of daten.beispiele) {
    const e = Spielliste.berechnen(b.spielerZahl, b.spiele, daten.regelsaetze[b.regeln]);
    assert.strictEqual(e.length, b.erwartet.length, b.name);
    b.erwartet.forEach((x, i) => {
      assert.deepStrictEqual(e[i], x, b.name + ', Sitz ' + i);
    });
  }
});

test('Spielwerte', () => {
  for (const w of daten.spielwerte.moeglich) assert.ok(Spielliste.wertMoeglich(w), String(w));
  for (const w of daten.spielwerte.unmoeglich) assert.ok(!Spielliste.wertMoeglich(w), String(w));
  assert.ok(!Spielliste.wertMoeglich(23.5));
  assert.ok(!Spielliste.wertMoeglich('23'));
  const alle = Spielliste.spielwerte();
  assert.strictEqual(alle[0], 18);
  assert.strictEqual(alle[alle.length - 1], 264);
});

test('ungültige Spiele zählen nicht', () => {
  const r = daten.regelsaetze.standard;
  const e = Spielliste.berechnen(3, [{ spieler: 3, wert: 18, gewonnen: true }, { spieler: 0, wert: 25, gewonnen: true }], r);
  assert.deepStrictEqual(e.map((x) => x.punkte), [0, 0, 0]);
  assert.deepStrictEqual(Spielliste.berechnen(5, [], r), []);
});
