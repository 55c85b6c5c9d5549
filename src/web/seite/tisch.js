// Die Seite eines Tisches: Spiele eintragen wie auf dem Papier, Liste
// abschließen und an das Programm senden. Die Liste bleibt im Speicher des
// Browsers, bis das Programm bestätigt hat, dass sie gespeichert ist. Sie
// gehört zu ihrem Schlüssel (Spieltag, Gruppe, Serie, Tisch) und zu den
// Spielern, die damals am Tisch saßen: gesendet wird sie nur dorthin.
(function () {
  'use strict';
  const param = new URLSearchParams(location.search);
  const abfrage = '?' + ['g', 's', 't', 'k'].map((n) => n + '=' + encodeURIComponent(param.get(n) || '')).join('&');
  const PRAEFIX = 'reizwerk|';
  const speicherName = PRAEFIX + ['g', 's', 't', 'k'].map((n) => param.get(n) || '').join('|');
  const WIEDERHOLEN_MS = 3000;

  let tisch = null; // Antwort des Programms: gruppe, serie, tisch, spieler, regeln, maxSpiele
  let zustand = { spiele: [], abgeschlossen: false, bestaetigt: false, ergebnis: null };
  let gewaehlt = -1;
  let sendetGerade = false;
  let wiederholung = null;

  const $ = (id) => document.getElementById(id);

  function speichern() {
    try {
      localStorage.setItem(speicherName, JSON.stringify({ tisch, zustand, k: param.get('k'), zeit: Date.now() }));
    } catch (e) { /* voller Speicher: die Liste bleibt auf der Seite */ }
  }

  function gespeichertLesen(name) {
    try {
      return JSON.parse(localStorage.getItem(name || speicherName) || 'null');
    } catch (e) {
      return null;
    }
  }

  function offen(w) {
    return !!(w && w.zustand && Array.isArray(w.zustand.spiele) && w.zustand.spiele.length && !w.zustand.bestaetigt);
  }

  function startNummern(t) {
    return t && Array.isArray(t.spieler) ? t.spieler.map((s) => s.startNr).join(',') : '';
  }

  // Eine Liste, die zu anderen Spielern gehört als denen, die jetzt unter
  // diesem Schlüssel sitzen (neu ausgelost), wird beiseitegelegt.
  function beiseitelegen(w) {
    try {
      localStorage.setItem(PRAEFIX + 'alt|' + Date.now(), JSON.stringify(w));
      localStorage.removeItem(speicherName);
    } catch (e) { /* ohne Speicher bleibt sie, wo sie ist, und wird nicht gesendet */ }
  }

  // Jede andere nicht gesendete Liste in diesem Browser: gezeigt, nie gesendet,
  // auf Wunsch verworfen.
  function alteListenZeigen(auchDiese) {
    const namen = [];
    for (let i = 0; i < localStorage.length; i++) {
      const name = localStorage.key(i);
      if (name && name.startsWith(PRAEFIX) && (auchDiese || name !== speicherName)) namen.push(name);
    }
    const liste = $('alteListenInhalt');
    liste.textContent = '';
    let zahl = 0;
    for (const name of namen.sort()) {
      const w = gespeichertLesen(name);
      if (!offen(w)) continue;
      const t = w.tisch || {};
      const eintrag = document.createElement('li');
      eintrag.className = 'alteListe';
      const spiele = w.zustand.spiele.length;
      eintrag.textContent = (t.gruppe ? 'Gruppe ' + t.gruppe + ' · Serie ' + t.serie + ' · Tisch ' + t.tisch : 'Liste')
        + (t.datum ? ' vom ' + t.datum : '') + ': ' + spiele + (spiele === 1 ? ' Spiel' : ' Spiele')
        + (t.spieler ? ' (' + t.spieler.map((s) => s.name).join(', ') + ')' : '') + ' ';
      const weg = document.createElement('button');
      weg.type = 'button';
      weg.className = 'verwerfen';
      weg.id = 'verwerfen-' + zahl;
      weg.textContent = 'Verwerfen';
      weg.addEventListener('click', () => {
        if (!confirm('Diese alte Liste endgültig löschen? Sie wurde nie gesendet.')) return;
        localStorage.removeItem(name);
        alteListenZeigen(auchDiese);
      });
      eintrag.appendChild(weg);
      liste.appendChild(eintrag);
      zahl++;
    }
    $('alteListen').hidden = zahl === 0;
  }

  function spielerName(sp) {
    return sp.aktiv === false ? sp.name + ' (inaktiv)' : sp.name;
  }

  function gespielt() {
    return zustand.spiele.some((s) => !s.eingepasst);
  }

  function status(text, art) {
    const s = $('status');
    s.textContent = text;
    s.className = 'meldung ' + (art || '');
    s.hidden = !text;
  }

  function meldung(text) {
    $('meldung').textContent = text;
    $('meldung').hidden = !text;
  }

  function zelle(zeile, text, tag) {
    const z = document.createElement(tag || 'td');
    z.textContent = text;
    zeile.appendChild(z);
    return z;
  }

  function zahl(n) {
    return (n > 0 ? '+' : '') + n;
  }

  function euro(n) {
    return n.toFixed(2).replace('.', ',') + ' €';
  }

  // Kosten werden mit einer Nachkommastelle gespeichert; die Seite zeigt,
  // was gespeichert wird.
  function kosten(n) {
    return euro(Number(n.toFixed(1)));
  }

  function aufbauen() {
    $('kopf').textContent = tisch.regeln.listenName || 'Spielliste';
    $('unterkopf').textContent = 'Gruppe ' + tisch.gruppe + ' · Serie ' + tisch.serie + ' · Tisch ' + tisch.tisch;
    const wahl = $('spielerwahl');
    wahl.textContent = '';
    tisch.spieler.forEach((sp, i) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.id = 'spieler-' + i;
      b.className = 'gross spieler';
      b.textContent = (i + 1) + '. ' + spielerName(sp);
      if (sp.aktiv === false) b.classList.add('inaktiv');
      b.addEventListener('click', () => {
        gewaehlt = i;
        zeigen();
      });
      wahl.appendChild(b);
    });
    const r = tisch.regeln;
    const bis = Number.isInteger(r.verlorenBis) ? r.verlorenBis : 5;
    const regeln = $('regeln');
    regeln.textContent = '';
    const zeilen = [
      ['Platz 1 bis 4', r.platz.map(euro).join(' / ')],
      ['Kartengeld', euro(r.kartengeld)],
      ['Verlorene Spiele 1 bis ' + bis, euro(r.verloren1bis5) + ' je Spiel'],
      ['Verlorene Spiele ab ' + (bis + 1), euro(r.verlorenAb6) + ' je Spiel'],
      ['Gewonnene abzgl. verlorene Spiele', r.punkteGewVerl + ' Punkte je Spiel'],
      ['Verlorene Spiele der Gegenspieler', (tisch.spieler.length === 3 ? r.punkteGegen3er : r.punkteGegen4er) + ' Punkte je Spiel'],
      ['Spiele dieser Liste', String(tisch.maxSpiele)],
    ];
    if (r.passGeld > 0) zeilen.splice(4, 0, ['Eingepasste Spiele', euro(r.passGeld) + ' je Spiel und Spieler']);
    for (const [name, wert] of zeilen) {
      const z = regeln.insertRow();
      zelle(z, name, 'th');
      zelle(z, wert);
    }
    $('regelbereich').hidden = false;
  }

  function zeigen() {
    const n = tisch.spieler.length;
    const voll = zustand.spiele.length >= tisch.maxSpiele;
    $('eingabe').hidden = zustand.abgeschlossen;
    $('listenbereich').hidden = zustand.abgeschlossen;
    $('abschluss').hidden = !zustand.abgeschlossen;
    $('spielnummer').textContent = voll ? 'Liste voll (' + tisch.maxSpiele + ' Spiele)'
      : 'Spiel ' + (zustand.spiele.length + 1) + ' von ' + tisch.maxSpiele;
    for (let i = 0; i < n; i++) $('spieler-' + i).classList.toggle('gewaehlt', i === gewaehlt);
    for (const id of ['gewonnen', 'verloren', 'eingepasst']) $(id).disabled = voll;

    // Die laufende Liste wie auf dem Papierbogen: je Spieler die Summe der Spielwerte.
    const t = $('liste');
    t.textContent = '';
    const kopf = t.createTHead().insertRow();
    zelle(kopf, 'Nr', 'th');
    tisch.spieler.forEach((sp) => {
      const z = zelle(kopf, spielerName(sp), 'th');
      if (sp.aktiv === false) z.classList.add('inaktiv');
    });
    const rumpf = t.createTBody();
    const summe = new Array(n).fill(0);
    const gew = new Array(n).fill(0);
    const verl = new Array(n).fill(0);
    zustand.spiele.forEach((s, nr) => {
      const z = rumpf.insertRow();
      zelle(z, String(nr + 1));
      if (s.eingepasst) {
        const c = zelle(z, 'eingepasst');
        c.colSpan = n;
        c.className = 'eingepasst';
        return;
      }
      const wert = s.gewonnen ? s.wert : -2 * s.wert;
      summe[s.spieler] += wert;
      if (s.gewonnen) gew[s.spieler]++;
      else verl[s.spieler]++;
      for (let i = 0; i < n; i++) {
        const c = zelle(z, i === s.spieler ? String(summe[i]) : '');
        if (i === s.spieler) {
          c.className = s.gewonnen ? 'gut' : 'schlecht';
          c.title = zahl(wert);
          const klein = document.createElement('small');
          klein.textContent = ' (' + zahl(wert) + ')';
          c.appendChild(klein);
        }
      }
    });
    const fuss = t.createTFoot();
    const summen = fuss.insertRow();
    zelle(summen, 'Σ', 'th');
    for (let i = 0; i < n; i++) zelle(summen, String(summe[i]), 'th');
    const striche = fuss.insertRow();
    zelle(striche, '+/−', 'th');
    for (let i = 0; i < n; i++) zelle(striche, gew[i] + ' / ' + verl[i]).title = 'gewonnen / verloren';
    $('korrigieren').disabled = $('loeschen').disabled = zustand.spiele.length === 0;

    if (zustand.abgeschlossen) ergebnisZeigen();
  }

  function ergebnisZeigen() {
    const e = Spielliste.berechnen(tisch.spieler.length, zustand.spiele, tisch.regeln);
    const t = $('ergebnis');
    t.textContent = '';
    const kopf = t.createTHead().insertRow();
    for (const k of ['Platz', 'Name', 'Punkte', 'Kosten']) zelle(kopf, k, 'th');
    const rumpf = t.createTBody();
    e.forEach((x, i) => {
      const z = rumpf.insertRow();
      z.id = 'ergebnis-' + i;
      zelle(z, x.platz + '.');
      zelle(z, spielerName(tisch.spieler[i]));
      zelle(z, String(x.punkte)).className = 'zahl punkte';
      zelle(z, kosten(x.kosten)).className = 'zahl kosten';
    });
    $('senden').disabled = sendetGerade;
    $('zurueck').disabled = sendetGerade;
    $('senden').textContent = zustand.bestaetigt ? 'Erneut senden' : 'Senden';
  }

  function spielDazu(spiel) {
    meldung('');
    if (zustand.spiele.length >= tisch.maxSpiele) {
      meldung('Die Liste ist voll.');
      return;
    }
    if (!spiel.eingepasst) {
      if (gewaehlt < 0) {
        meldung('Bitte zuerst den Alleinspieler antippen.');
        return;
      }
      const wert = Number($('wert').value);
      if (!Spielliste.wertMoeglich(wert)) {
        meldung($('wert').value ? $('wert').value + ' ist kein möglicher Spielwert.' : 'Bitte den Spielwert eingeben.');
        return;
      }
      spiel = { spieler: gewaehlt, wert, gewonnen: spiel.gewonnen };
    }
    zustand.spiele.push(spiel);
    zustand.bestaetigt = false;
    gewaehlt = -1;
    $('wert').value = '';
    speichern();
    zeigen();
  }

  async function senden() {
    if (sendetGerade) return;
    clearTimeout(wiederholung);
    sendetGerade = true;
    ergebnisZeigen();
    status('Liste wird gesendet …', 'warten');
    const spiele = zustand.spiele.map((s) => s.eingepasst ? { eingepasst: true }
      : { spieler: tisch.spieler[s.spieler].startNr, wert: s.wert, gewonnen: s.gewonnen });
    let nochmal = false;
    try {
      const r = await fetch('/api/liste' + abfrage, {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ spiele }),
        cache: 'no-store',
      });
      let antwort = {};
      try { antwort = await r.json(); } catch (e) { /* keine lesbare Antwort */ }
      if (r.ok && antwort.gespeichert) {
        zustand.bestaetigt = true;
        zustand.ergebnis = antwort.ergebnisse;
        status('Die Liste ist im Programm gespeichert. Vielen Dank!', 'ok');
      } else if (r.status >= 500 || r.status === 0) {
        nochmal = true;
        status((antwort.fehler || 'Das Programm antwortet nicht.') + ' Neuer Versuch gleich …', 'warten');
      } else {
        // Abgelehnt: nichts gespeichert, die Liste muss berichtigt werden.
        zustand.abgeschlossen = false;
        status('Nicht gespeichert: ' + (antwort.fehler || ('Fehler ' + r.status)), 'fehler');
      }
    } catch (e) {
      nochmal = true;
      status('Keine Verbindung zum Programm. Die Liste bleibt hier gespeichert und wird erneut gesendet …', 'warten');
    }
    sendetGerade = false;
    speichern();
    zeigen();
    if (nochmal) wiederholung = setTimeout(senden, WIEDERHOLEN_MS);
  }

  function verbinden() {
    $('gewonnen').addEventListener('click', () => spielDazu({ gewonnen: true }));
    $('verloren').addEventListener('click', () => spielDazu({ gewonnen: false }));
    $('eingepasst').addEventListener('click', () => spielDazu({ eingepasst: true }));
    $('korrigieren').addEventListener('click', () => {
      const s = zustand.spiele.pop();
      if (!s) return;
      if (!s.eingepasst) {
        gewaehlt = s.spieler;
        $('wert').value = s.wert;
      }
      zustand.bestaetigt = false;
      meldung('Spiel ' + (zustand.spiele.length + 1) + ' ändern: Alleinspieler, Wert, dann gewonnen oder verloren.');
      speichern();
      zeigen();
    });
    $('loeschen').addEventListener('click', () => {
      if (!zustand.spiele.length) return;
      if (!confirm('Spiel ' + zustand.spiele.length + ' löschen?')) return;
      zustand.spiele.pop();
      zustand.bestaetigt = false;
      speichern();
      zeigen();
    });
    $('abschliessen').addEventListener('click', () => {
      // Eine Liste ohne gespieltes Spiel würde gespeicherte Ergebnisse durch
      // bloßes Kartengeld ersetzen; das Programm nimmt sie auch nicht an.
      if (!gespielt()) {
        meldung('Die Liste enthält kein gespieltes Spiel und kann nicht gesendet werden.');
        return;
      }
      meldung('');
      zustand.abgeschlossen = true;
      speichern();
      zeigen();
    });
    $('zurueck').addEventListener('click', () => {
      zustand.abgeschlossen = false;
      clearTimeout(wiederholung);
      status('');
      speichern();
      zeigen();
    });
    $('senden').addEventListener('click', senden);
    window.addEventListener('online', () => {
      if (zustand.abgeschlossen && !zustand.bestaetigt) senden();
    });
  }

  async function starten() {
    let alt = gespeichertLesen();
    try {
      const r = await fetch('/api/tisch' + abfrage, { cache: 'no-store' });
      const antwort = await r.json();
      if (!r.ok) {
        status(antwort.fehler || ('Fehler ' + r.status), 'fehler');
        alteListenZeigen(true);
        return;
      }
      tisch = antwort;
      if (alt && alt.tisch && startNummern(alt.tisch) !== startNummern(tisch)) {
        // Unter diesem Schlüssel sitzen jetzt andere Spieler.
        if (offen(alt)) beiseitelegen(alt);
        alt = null;
      }
    } catch (e) {
      // Ohne Verbindung geht es mit dem zuletzt geladenen Tisch weiter.
      if (!alt || !alt.tisch) {
        status('Keine Verbindung zum Programm. Bitte die Seite gleich neu laden.', 'fehler');
        return;
      }
      tisch = alt.tisch;
      status('Keine Verbindung zum Programm. Eingaben bleiben hier gespeichert.', 'warten');
    }
    if (alt && alt.zustand) zustand = alt.zustand;
    alteListenZeigen(false);
    aufbauen();
    verbinden();
    speichern();
    zeigen();
    if (zustand.abgeschlossen && !zustand.bestaetigt) senden();
    else if (zustand.bestaetigt) status('Die Liste ist im Programm gespeichert.', 'ok');
  }

  starten();
})();
