// The calculator's and the analysis's calls as the page makes them: the
// rows it asks for by their place, a table that is not there, the boxes of
// the law, and CSV files that are not reaches.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { caricaNucleo } from '../../confronti.mjs';

const { chiama } = await caricaNucleo();
const caselle = { raggio: '20', pendenza: '0.01', incremento: '100', voce: 0, separatore: 'punto' };

test('le righe chieste per posto, dentro la tabella che c’è', () => {
  const intera = chiama('tabella', caselle);
  const totale = intera.totaleRighe;
  assert.equal(intera.righe.length, totale);
  const casi = [
    { da: 0, quante: 3, attese: [0, 3] },
    { da: totale - 2, quante: 40, attese: [totale - 2, totale] },
    { da: totale + 5, quante: 10, attese: [totale, totale] },
    { da: -4, quante: 2, attese: [0, 2] },
    { da: 3, quante: 0, attese: [3, 3] },
    { da: 3, quante: -7, attese: [3, 3] },
  ];
  for (const c of casi) {
    const parte = chiama('tabella', { ...caselle, da: c.da, quante: c.quante });
    assert.equal(parte.da, c.attese[0], JSON.stringify(c));
    assert.deepEqual(parte.righe, intera.righe.slice(...c.attese), JSON.stringify(c));
    assert.deepEqual(parte.intestazione, intera.intestazione);
  }
  assert.deepEqual(intera.righe.slice(-2).map((r) => r[0]), ['Max V', 'Max Q']);
});

test('senza tabella: le intestazioni, nessuna riga, e il perché', () => {
  const casi = [
    { raggio: '', attesa: /Raggio caratteristico: non è un numero positivo/ },
    { pendenza: '0', attesa: /Pendenza: non è un numero positivo/ },
    { raggio: '4.9e-324', attesa: /Errore/ },
    { incremento: '1,5,5', attesa: /Incremento altezza: un solo separatore decimale/ },
  ];
  for (const c of casi) {
    const r = chiama('tabella', { ...caselle, ...c, attesa: undefined });
    assert.equal(r.calcolata, false, JSON.stringify(c));
    assert.equal(r.totaleRighe, 0);
    assert.deepEqual(r.righe, []);
    assert.equal(r.intestazione.length, 2);
    assert.match(r.messaggio.testo, c.attesa);
    assert.equal(r.messaggio.colore, '#B00000');
  }
});

test('le caselle della legge sono lette come la finestra le legge', () => {
  const base = { ...caselle, portata: '20', velocitaMinima: '50', velocitaMassima: '400', riempimentoMassimo: '70' };
  const casi = [
    { legge: 'manning', scabrezza: '0.013', rifiutata: null },
    { legge: 'strickler', scabrezza: '75', rifiutata: null },
    { legge: 'manning', scabrezza: 'abc', rifiutata: 'scabrezza' },
    { legge: 'colebrook', scabrezza: '1', temperatura: '90', rifiutata: 'temperatura' },
    { legge: 'bazin', scabrezza: '', rifiutata: null }, // the table's γ
  ];
  for (const c of casi) {
    const r = chiama('risposte', { ...base, ...c });
    for (const chiave of ['scabrezza', 'temperatura']) {
      assert.equal(r.segnali[chiave].lettura, chiave === c.rifiutata ? 'rifiutata' : 'buona', JSON.stringify(c));
    }
    assert.equal(r.righe.length > 0, c.rifiutata === null, JSON.stringify(c));
    assert.equal(r.caselleValide, c.rifiutata === null);
  }
});

test('un file che non è di tratti è rifiutato con il motivo; uno riscritto si rilegge uguale', () => {
  for (const testo of ['', 'tratto\n', 'a,b\n1,2\n', 'tratto,portata\nT1,abc\n', '\u0001\u0002,\u0003\n']) {
    const r = chiama('importaCsv', { testo });
    assert.match(r.errore, /^Impossibile importare il file, /, JSON.stringify(testo));
  }
  const tratti = [['T1', 'P1', 'P2', '40', '0.005', '', '', '', '35,5', '4', '', '', ''].map((c) => c.replace(',', '.')),
    ['T2', 'P2', 'P3', '55', '0.004', '', '', '30', '80', '', 'manning', '0.013', 'si']];
  const pozzetti = [{ nome: 'P1', terreno: '103.5', nota: '' }];
  for (const formato of ['csv', 'csv-it']) {
    const scritto = chiama('esportaTratti', { tratti, pozzetti, impostazioni: {}, formato });
    const riletto = chiama('importaCsv', { testo: scritto.testo });
    assert.equal(riletto.errore, '', formato);
    assert.deepEqual(riletto.tratti, tratti, formato);
    assert.deepEqual(riletto.pozzetti.map((p) => [p.nome, p.terreno]), [['P1', '103.5']], formato);
  }
});
