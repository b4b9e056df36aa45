// Every project of the corpus in the page's core, asked as the page asks
// it, against the command line built from the same sources: each reach's
// name, verdict and numbers as the CSV prints them, the section's answers,
// and the same boxes and shapes refused. The command line prints no
// manholes: theirs are compared among the desktop's front ends only.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { caricaNucleo, cli, leggiCsv, radice } from '../../confronti.mjs';
import { ingressiRete, ingressiRisposte, stato } from '../../pagina/src/stato.js';

const { chiama } = await caricaNucleo();
stato.voci = chiama('voci', {});
const corpus = join(radice, 'tests', 'accordo');
const progetti = readdirSync(corpus).filter((f) => f.endsWith('.sezione')).sort();
const cartella = mkdtempSync(join(tmpdir(), 'accordo-'));

const esegui = (...argomenti) => {
  const r = spawnSync(cli, argomenti, { encoding: 'utf8' });
  return { stato: r.status, uscita: r.stdout, errori: r.stderr };
};

// The project as the page holds it once opened.
function apri(nome) {
  const file = join(corpus, nome);
  const aperto = chiama('apriProgetto', { testo: readFileSync(file, 'utf8'), nome });
  assert.equal(aperto.errore, '', nome);
  stato.progetto = aperto.progetto;
  return file;
}

test('il corpus è intero', () => assert.equal(progetti.length, 42));

test('gli esiti dei tratti della pagina sono quelli della riga di comando', () => {
  for (const nome of progetti) {
    const file = apri(nome);
    for (const [formato, separatore, campi] of [['csv', 'punto', ','], ['csv-it', 'virgola', ';']]) {
      const dove = `${nome}, --formato ${formato}`;
      stato.separatore = separatore;
      const richiesta = ingressiRete();
      // A row that does not read leaves no file of reaches to give the
      // command line: the page's export refuses it, naming the row.
      const tratti = chiama('esportaTratti', { ...richiesta, formato });
      if (tratti.errore) {
        assert.match(tratti.errore, /^Nulla è stato esportato: alla riga \d+ la colonna «/, dove);
        continue;
      }
      const fileTratti = join(cartella, 'tratti.csv');
      writeFileSync(fileTratti, tratti.testo);
      const c = esegui('--progetto', file, '--tratti', fileTratti, '--formato', formato);
      const esiti = chiama('esportaEsiti', { ...richiesta, formato });
      const rete = chiama('rete', richiesta);
      if (c.stato !== 0) {
        // A box that stops the line, or a network that is not a set of trees.
        assert.equal(c.stato, 2, `${dove}: ${c.errori}`);
        assert.ok(/la rete non è un albero/.test(c.errori) ? rete.errori.length > 0 : esiti.errore !== '',
          `${dove}: ${c.errori}`);
        continue;
      }
      assert.equal(esiti.errore, '', dove);
      const [colonne, ...attesi] = leggiCsv(c.uscita, campi);
      const avuti = leggiCsv(esiti.testo, campi).slice(1);
      const mostrati = rete.righe.filter((r) => r.celle);
      assert.equal(avuti.length, attesi.length, dove);
      assert.equal(mostrati.length, attesi.length, dove);
      attesi.forEach((atteso, k) => {
        colonne.forEach((colonna, i) => assert.equal(avuti[k][i], atteso[i], `${dove}, tratto ${atteso[0]}, ${colonna}`));
        // The page's table: the name as typed, the verdict before its reasons.
        const celle = mostrati[k].celle;
        assert.equal(celle[0], atteso[0], `${dove}, tabella della pagina, nome`);
        assert.ok(celle.at(-1).startsWith(atteso[colonne.indexOf('esito')]), `${dove}, tabella della pagina, ${atteso[0]}: ${celle.at(-1)}`);
      });
    }
  }
});

test('le risposte della sezione della pagina sono quelle della riga di comando', () => {
  for (const nome of progetti) {
    const file = apri(nome);
    stato.separatore = 'punto';
    const r = chiama('risposte', ingressiRisposte());
    const c = esegui('--progetto', file, '--verifiche', '--formato', 'csv');
    // The command line refuses a box that does not read; the page marks it
    // and answers what it can.
    if (c.stato !== 0) {
      assert.equal(c.stato, 2, `${nome}: ${c.errori}`);
      assert.ok(!r.caselleValide || r.righe.length === 0, nome);
      continue;
    }
    const righe = leggiCsv(c.uscita).slice(2);
    assert.equal(r.righe.length, righe.length, nome);
    // Label, A, P, R, V, Q: the height has a digit more on the page.
    righe.forEach((riga, k) => {
      const t = r.righe[k].testi;
      assert.deepEqual([t[0], t[3], t[4], t[5], t[7], t[8]], [riga[0], ...riga.slice(2)], `${nome}, ${riga[0]}`);
    });
  }
});
