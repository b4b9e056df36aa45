// The core compiled to WebAssembly against the command line built from the
// same sources: every text it prints must come out of the browser build
// byte for byte, whatever the C library and number conversions there.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { caricaNucleo, eseguiCli, leggiCsv } from '../../confronti.mjs';

const { nucleo, chiama } = await caricaNucleo();

test('la tabella di ogni caso è quella della riga di comando', () => {
  const casi = [
    { raggio: '20', pendenza: '0.01', incremento: '100', voce: 0 },
    { raggio: '45', pendenza: '0.0035', incremento: '25', voce: 1 },
    { raggio: '100', pendenza: '0.0008', incremento: '3', voce: 2 },
    { raggio: '12.5', pendenza: '0.05', incremento: '7', voce: -1, coefficiente: '0.46' },
    { raggio: '2000', pendenza: '0.01', incremento: '6', voce: 0 }, // a thousand rows
    { raggio: '33.3', pendenza: '1e-7', incremento: '11', voce: -1, coefficiente: '1.3' },
  ];
  const coefficienti = chiama('voci', {}).coefficienti;
  for (const c of casi) {
    const gamma = c.voce < 0 ? c.coefficiente : String(coefficienti[c.voce].valore);
    const attesa = leggiCsv(eseguiCli('--raggio', c.raggio, '--pendenza', c.pendenza,
      '--incremento', c.incremento, '--coefficiente', gamma, '--formato', 'csv'));
    const pagina = chiama('tabella', { ...c, separatore: 'punto' });
    assert.equal(pagina.calcolata, true, JSON.stringify(c));
    assert.deepEqual([...pagina.intestazione, ...pagina.righe], attesa, JSON.stringify(c));
    // The rows a page shows, asked for by their place.
    const parte = chiama('tabella', { ...c, separatore: 'punto', da: pagina.totaleRighe - 3, quante: 10 });
    assert.deepEqual(parte.righe, attesa.slice(-3), JSON.stringify(c));
  }
});

test('i tratti verificati e dimensionati sono quelli della riga di comando', () => {
  const cartella = mkdtempSync(join(tmpdir(), 'nucleo-'));
  const file = join(cartella, 'linea.csv');
  writeFileSync(file, [
    'tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,quota_valle,raggio,portata,portata_minima,terreno_monte,terreno_valle',
    'T1,P1,P2,40,,101.2,101.0,,35,4,103.5,103.3',
    'T2,P2,P3,55,0.004,,,,80,9,103.3,103.0',
    'T3,P4,P3,30,,101.6,101.3,30,20,1.5,104,103.0',
    'T4,P3,P5,60,,100.7,100.5,,140,15,,102.6',
    'T5,P5,P6,25,,100.5,100.49,45,150,0.7,102.6,102.1',
  ].join('\n') + '\n');
  const importati = chiama('importaCsv', { testo: readFileSync(file, 'utf8') });
  assert.equal(importati.errore, '');
  const impostazioni = {
    legge: 'bazin', coefficiente: '0.18', geometria: 'tabellare', velocitaMinima: '50',
    velocitaMassima: '400', riempimentoMassimo: '70', catalogo: '', allineamento: 'cieli',
    ricoprimentoMinimo: '1', profonditaMassima: '', saltoMassimo: '',
  };
  const linea = { tratti: importati.tratti, pozzetti: importati.pozzetti, impostazioni };
  for (const formato of ['csv', 'csv-it']) {
    const attesa = eseguiCli('--tratti', file, '--formato', formato);
    const pagina = chiama('esportaEsiti', { ...linea, formato });
    assert.equal(pagina.errore, '');
    assert.equal(pagina.testo, attesa, formato);
  }
  const tabella = chiama('rete', { ...linea, separatore: 'punto' });
  const allineata = eseguiCli('--tratti', file).split('\n').filter((r) => r.trim() !== '');
  // Each reach's verdict and reasons as the aligned table prints them.
  tabella.righe.forEach((r, i) => assert.ok(allineata[i + 2].endsWith(r.celle.at(-1))));
  assert.ok(tabella.righe.some((r) => r.raggioDaScrivere !== null));
});

test('un progetto riletto e riscritto conserva le voci che non usa', () => {
  const testo = JSON.stringify({
    formato: 'sezione-inglese', versione: 1, altrui: { a: [1, 2] },
    ingressi: { raggio: 20.5, pendenza: 1e-3, coefficiente: '0.18: Tubaz. Ø >400 mm, acqua limpida', incremento: '12,5', ignoto: true },
    tratti: [{ tratto: 'T1', portata: 12, raggio: 2.5e-310, colore: 'rosso' }],
  });
  const aperto = chiama('apriProgetto', { testo, nome: 'prova.sezione' });
  assert.equal(aperto.errore, '');
  assert.equal(aperto.progetto.ingressi.raggio, '20.5');
  assert.equal(aperto.progetto.ingressi.pendenza, '0.001');
  assert.equal(aperto.progetto.ingressi.incremento, '12,5');
  assert.equal(aperto.progetto.tratti[0].celle[7], '2.5e-310');
  const salvato = chiama('salvaProgetto', { progetto: aperto.progetto });
  assert.equal(salvato.errore, '');
  for (const voce of ['"altrui"', '"ignoto"', '"colore"']) assert.ok(salvato.testo.includes(voce), voce);
  assert.deepEqual(chiama('apriProgetto', { testo: salvato.testo, nome: 'x' }).progetto, aperto.progetto);

  for (const guasto of ['{"formato": "sezione-inglese", "versione": 1, "ingressi": {"raggio": 1e999}}', '[1]', '']) {
    assert.match(chiama('apriProgetto', { testo: guasto, nome: 'guasto.sezione' }).errore, /guasto\.sezione/);
  }
});

test('una richiesta guasta ha una risposta, non un arresto', () => {
  for (const funzione of ['tabella', 'risposte', 'rete', 'importaCsv', 'salvaProgetto']) {
    assert.match(JSON.parse(nucleo[funzione]('{"non chiuso')).errore, /Richiesta non valida/);
  }
  const ostile = chiama('tabella', { raggio: '4.9e-324', pendenza: '1e308', incremento: '1e-300', voce: 0 });
  assert.equal(typeof ostile.messaggio.testo, 'string');
});

test('ogni campo del progetto scritto dalla pagina si rilegge uguale', () => {
  const p = chiama('nuovoProgetto', {}).progetto;
  let n = 0;
  const testo = () => `v${++n}`; // a text no number reads: kept as written
  for (const parte of ['ingressi', 'verifiche', 'rete']) {
    for (const chiave of Object.keys(p[parte])) p[parte][chiave] = testo();
  }
  p.verifiche.geometria = 'esatta';
  p.verifiche.legge = 'manning';
  p.rete.allineamento = 'fondo';
  for (const chiave of Object.keys(p.dati).filter((k) => k !== 'fonti')) p.dati[chiave] = testo();
  p.dati.sezioneTipo = 'no';
  for (const chiave of Object.keys(p.dati.fonti)) p.dati.fonti[chiave] = testo();
  p.tratti = [{ celle: Array.from({ length: 13 }, testo), altre: [] }];
  p.pozzetti = [{ nome: testo(), terreno: testo(), nota: testo(), allineamento: 'nessuna', altre: [] }];
  p.deroghe = [{ tratto: '', pozzetto: testo(), controllo: 'salto', motivo: testo(), altre: [] }];
  p.catalogo = '25, 22.5';
  const salvato = chiama('salvaProgetto', { progetto: p });
  assert.equal(salvato.errore, '');
  assert.deepEqual(chiama('apriProgetto', { testo: salvato.testo, nome: 'x' }).progetto, p);
});

test('le risposte dicono quali valori di progetto la sezione non raggiunge', () => {
  const base = { raggio: '40', pendenza: '0.005', incremento: '100', voce: 0,
    velocitaMinima: '50', velocitaMassima: '400', riempimentoMassimo: '70' };
  const casi = [
    { valori: {}, dati: false, non: [] },
    { valori: { portata: '100', portataMinima: '5' }, dati: true, non: [] },
    { valori: { portata: '5000' }, dati: true, non: ['portata di progetto'] },
    { valori: { portataMinima: '5000', velocita: '900' }, dati: true, non: ['portata minima', 'velocità di progetto'] },
  ];
  for (const c of casi) {
    const r = chiama('risposte', { ...base, ...c.valori });
    assert.equal(r.valoriDati, c.dati, JSON.stringify(c.valori));
    assert.deepEqual(r.nonRaggiunte, c.non, JSON.stringify(c.valori));
  }
  const senzaSezione = chiama('risposte', { ...base, raggio: 'abc', portata: '50' });
  assert.equal(senzaSezione.valoriDati, true);
  assert.notEqual(senzaSezione.errore, '');
});
