// Öffentliche Anzeige: Stand jeder Gruppe des Spieltags, erneuert sich selbst.
(function () {
  'use strict';
  const ABSTAND_MS = 15000;

  function zelle(zeile, text, tag) {
    const z = document.createElement(tag || 'td');
    z.textContent = text;
    zeile.appendChild(z);
    return z;
  }

  function zeigen(daten) {
    document.getElementById('datum').textContent = daten.datum || '';
    const haupt = document.getElementById('gruppen');
    haupt.textContent = '';
    if (!daten.gruppen || daten.gruppen.length === 0) {
      const p = document.createElement('p');
      p.textContent = 'Noch keine Gruppe an diesem Spieltag.';
      haupt.appendChild(p);
    }
    for (const g of daten.gruppen || []) {
      const abschnitt = document.createElement('section');
      const h = document.createElement('h2');
      h.textContent = g.name;
      abschnitt.appendChild(h);
      const t = document.createElement('table');
      t.className = 'stand';
      const kopf = t.createTHead().insertRow();
      zelle(kopf, 'Platz', 'th');
      zelle(kopf, 'Name', 'th');
      for (const s of g.serien) zelle(kopf, 'S' + s, 'th');
      zelle(kopf, 'Gesamt', 'th');
      const rumpf = t.createTBody();
      for (const z of g.zeilen) {
        const r = rumpf.insertRow();
        zelle(r, z.platz + '.');
        zelle(r, z.name);
        for (const p of z.serien) zelle(r, String(p)).className = 'zahl';
        zelle(r, String(z.summe)).className = 'zahl summe';
      }
      abschnitt.appendChild(t);
      haupt.appendChild(abschnitt);
    }
    document.getElementById('stand').textContent = 'Stand ' + new Date().toLocaleTimeString('de-DE');
  }

  async function laden() {
    try {
      const r = await fetch('/api/anzeige', { cache: 'no-store' });
      if (r.ok) zeigen(await r.json());
    } catch (e) {
      document.getElementById('stand').textContent = 'Keine Verbindung zum Programm – neuer Versuch gleich.';
    }
    setTimeout(laden, ABSTAND_MS);
  }
  laden();
})();
