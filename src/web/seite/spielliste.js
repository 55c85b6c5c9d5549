// Die Berechnung einer Spielliste: Punkte und Kosten je Spieler eines Tisches
// aus der Liste der Spiele und den Regeln. Dieselbe Rechnung wie im Programm
// (scoring/spielliste.cpp); das Programm rechnet beim Speichern selbst nach.
(function (wurzel) {
  'use strict';

  // Jeder Wert, den ein Skatspiel haben kann: Farbspiele 9/10/11/12 und Grand 24
  // mal Spitzen/Stufen (2-18 bzw. 2-11), Nullspiele 23, 35, 46, 59.
  function spielwerte() {
    const w = new Set([23, 35, 46, 59]);
    for (const grund of [9, 10, 11, 12]) for (let m = 2; m <= 18; m++) w.add(grund * m);
    for (let m = 2; m <= 11; m++) w.add(24 * m);
    return Array.from(w).sort((a, b) => a - b);
  }
  const WERTE = new Set(spielwerte());

  function wertMoeglich(wert) {
    return Number.isInteger(wert) && WERTE.has(wert);
  }

  // spiele: [{spieler: Sitz 0..n-1, wert, gewonnen} | {eingepasst: true}]
  // regeln: {platz: [4], kartengeld, verloren1bis5, verlorenAb6, punkteGewVerl, punkteGegen3er, punkteGegen4er,
  //          verlorenBis (5 when missing), passGeld (0 when missing)}
  function berechnen(spielerZahl, spiele, regeln) {
    if (spielerZahl < 3 || spielerZahl > 4) return [];
    const e = [];
    for (let i = 0; i < spielerZahl; i++) e.push({ punkte: 0, kosten: 0, gewonnen: 0, verloren: 0, platz: 0 });
    const summe = new Array(spielerZahl).fill(0);
    const bis = Number.isInteger(regeln.verlorenBis) ? Math.max(0, regeln.verlorenBis) : 5;
    const passGeld = typeof regeln.passGeld === 'number' ? regeln.passGeld : 0;
    let eingepasst = 0;
    for (const s of spiele) {
      if (s.eingepasst) {
        eingepasst++;
        continue;
      }
      if (!(s.spieler >= 0 && s.spieler < spielerZahl) || !wertMoeglich(s.wert)) continue;
      if (s.gewonnen) {
        summe[s.spieler] += s.wert;
        e[s.spieler].gewonnen++;
      } else {
        summe[s.spieler] -= 2 * s.wert;
        e[s.spieler].verloren++;
      }
    }
    const gegen = spielerZahl === 3 ? regeln.punkteGegen3er : regeln.punkteGegen4er;
    const alleVerloren = e.reduce((n, x) => n + x.verloren, 0);
    e.forEach((x, i) => {
      x.punkte = summe[i] + (x.gewonnen - x.verloren) * regeln.punkteGewVerl + (alleVerloren - x.verloren) * gegen;
    });
    for (const x of e) {
      x.platz = e.filter((y) => y.punkte > x.punkte).length + 1;
      const ersteFuenf = Math.min(x.verloren, bis);
      const k = regeln.kartengeld + regeln.platz[x.platz - 1] + ersteFuenf * regeln.verloren1bis5 +
        (x.verloren - ersteFuenf) * regeln.verlorenAb6 + eingepasst * passGeld;
      x.kosten = Math.round(k * 100) / 100;
    }
    return e;
  }

  const api = { spielwerte, wertMoeglich, berechnen };
  if (typeof module !== 'undefined' && module.exports) module.exports = api;
  else wurzel.Spielliste = api;
})(this);
