// The line of reaches as the page hands it to the core: cells as typed,
// faults of the cells and of the network said rather than thrown, and
// what the page exports read back by the command line as the same line.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { caricaNucleo, eseguiCli } from '../../confronti.mjs';

const { chiama } = await caricaNucleo();

const impostazioni = {
  legge: 'bazin', coefficiente: '0.18', geometria: 'tabellare', velocitaMinima: '50',
  velocitaMassima: '400', riempimentoMassimo: '70', catalogo: '', allineamento: 'cieli',
  ricoprimentoMinimo: '1', profonditaMassima: '', saltoMassimo: '',
};
// tratto, pozzetto_monte, pozzetto_valle, lunghezza, pendenza, quota_monte,
// quota_valle, raggio, portata, portata_minima, legge, scabrezza
const tratto = (nome, monte, valle, pendenza, portata, raggio = '') =>
  [nome, monte, valle, '50', pendenza, '', '', raggio, portata, '', '', ''];

test('le caselle e la forma della rete sbagliate sono dette, riga per riga', () => {
  const casi = [
    { nome: 'una pendenza illeggibile', tratti: [tratto('T1', 'P1', 'P2', 'abc', '30')], riga: 0, colonna: 'pendenza' },
    { nome: 'una portata negativa', tratti: [tratto('T1', 'P1', 'P2', '0.01', '-3')], riga: 0, colonna: 'portata' },
    { nome: 'un catalogo sbagliato', tratti: [tratto('T1', 'P1', 'P2', '0.01', '30')], catalogo: '25, x', errore: /catalogo dei raggi/ },
    { nome: 'un anello', tratti: [tratto('T1', 'A', 'B', '0.01', '30'), tratto('T2', 'B', 'A', '0.01', '30')], rete: true },
    { nome: 'un tratto che nomina se stesso', tratti: [tratto('T1', 'A', 'A', '0.01', '30')], rete: true },
    { nome: 'un coefficiente illeggibile', tratti: [tratto('T1', 'P1', 'P2', '0.01', '30')], legge: 'manning', scabrezza: 'abc', errore: /resistenza/ },
  ];
  for (const c of casi) {
    const r = chiama('rete', {
      tratti: c.tratti, pozzetti: [], separatore: 'punto',
      impostazioni: { ...impostazioni, catalogo: c.catalogo ?? '', legge: c.legge ?? 'bazin', scabrezza: c.scabrezza ?? '' },
    });
    assert.equal(r.righe.length, c.tratti.length, c.nome);
    if (c.colonna) assert.equal(r.righe[c.riga].errore?.colonna, c.colonna, c.nome);
    if (c.errore) assert.match(r.errore, c.errore, c.nome);
    if (c.rete) assert.ok(r.errori.length > 0, c.nome);
  }
});

// A reach no size fits (X, too flat for its flow) gets the size the command
// line shows for it, and stays failing.
test('Dimensiona scrive i raggi che la riga di comando sceglie', () => {
  const tratti = [tratto('T1', 'P1', 'P2', '0.005', '40'), tratto('T2', 'P2', 'P3', '0.004', '90'),
    tratto('X', 'P8', 'P9', '0.0005', '20'),
    tratto('T3', 'P3', 'P4', '0.004', '120', '50'), ['', '', '', '', '', '', '', '', '', '', '', '']];
  const r = chiama('rete', { tratti, pozzetti: [], impostazioni, separatore: 'punto' });
  const scritti = r.righe.map((riga) => riga.raggioDaScrivere ?? null);
  assert.deepEqual(scritti.slice(3), [null, null], 'a radius typed, a blank row');
  assert.equal(r.righe[2].verificato, false);
  assert.match(r.righe[2].motivo, /^nessun raggio del catalogo .* il più piccolo entro il riempimento/);

  const cartella = mkdtempSync(join(tmpdir(), 'rete-'));
  const file = join(cartella, 'linea.csv');
  writeFileSync(file, chiama('esportaTratti', { tratti, pozzetti: [], impostazioni, formato: 'csv' }).testo);
  const esiti = eseguiCli('--tratti', file, '--formato', 'csv');
  assert.equal(esiti, chiama('esportaEsiti', { tratti, pozzetti: [], impostazioni, formato: 'csv' }).testo);
  const raggi = esiti.trim().split('\n').slice(1).map((l) => l.split(',')[3]);
  assert.deepEqual(scritti.slice(0, 3), raggi.slice(0, 3));
});

test('gli assi del grafico hanno valori tondi che coprono le curve', () => {
  for (const [raggio, pendenza, separatore] of [['40', '0.005', 'punto'], ['3', '0.0001', 'virgola'], ['900', '0.02', 'punto']]) {
    const r = chiama('risposte', { raggio, pendenza, incremento: '100', voce: 0, separatore,
      velocitaMinima: '50', velocitaMassima: '400', riempimentoMassimo: '70' });
    assert.equal(r.errore, '');
    for (const [asse, massimo] of [['h', r.altezzaPiena], ['q', Math.max(...r.curva.map((p) => p.q))], ['v', Math.max(...r.curva.map((p) => p.v))]]) {
      const tacche = r.tacche[asse];
      assert.ok(tacche.length >= 3 && tacche.length <= 13, `${raggio} ${asse}`);
      assert.ok(tacche.at(-1).valore >= massimo * (1 - 1e-9), `${raggio} ${asse}`);
      const decimale = separatore === 'virgola' ? /^\d+(,\d+)?$/ : /^\d+(\.\d+)?$/;
      for (const t of tacche) assert.match(t.testo, decimale);
    }
  }
});

test('le caselle della linea che non si leggono sono segnate, non prese per buone', () => {
  const casi = [
    { casella: 'riempimentoMassimo', testo: '150' },
    { casella: 'velocitaMinima', testo: 'abc' },
    { casella: 'saltoMassimo', testo: '-1' },
    { casella: 'ricoprimentoMinimo', testo: 'x' },
    { casella: 'catalogo', testo: '25; -3' },
  ];
  for (const c of casi) {
    const r = chiama('rete', { tratti: [tratto('T1', 'P1', 'P2', '0.005', '380', '25')], pozzetti: [],
      impostazioni: { ...impostazioni, [c.casella]: c.testo }, separatore: 'punto' });
    assert.equal(r.segnali[c.casella].lettura, 'rifiutata', c.casella);
    assert.notEqual(r.segnali[c.casella].motivo, '', c.casella);
    assert.equal(r.caselleValide, false, c.casella);
  }
  const buona = chiama('rete', { tratti: [tratto('T1', 'P1', 'P2', '0.005', '38')], pozzetti: [], impostazioni, separatore: 'punto' });
  assert.equal(buona.caselleValide, true);
});
