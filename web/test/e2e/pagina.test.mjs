// The page in a real browser, opened from its folder as a user would, and
// checked against the command-line program: both must show the same texts.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { caricaNucleo, cli, collettore, eseguiCli, leggiCsv, radice } from '../../confronti.mjs';

const pagina = join(radice, 'dist', 'web', 'index.html');
const cartella = mkdtempSync(join(tmpdir(), 'pagina-'));

let browser;
before(async () => {
  assert.ok(existsSync(pagina), `manca ${pagina}: npm --prefix web run build`);
  assert.ok(existsSync(cli), `manca ${cli}: scripts/build`);
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});
after(() => browser?.close());

// A page ready to use, and the list of every address it asked for.
async function apri(locale = 'en-US') {
  const contesto = await browser.newContext({ locale, acceptDownloads: true });
  const page = await contesto.newPage();
  const richieste = [];
  page.on('request', (r) => richieste.push(r.url()));
  const errori = [];
  page.on('pageerror', (e) => errori.push(e.message));
  await page.goto(pathToFileURL(pagina).href);
  await page.waitForSelector('body[data-pronta="si"]', { timeout: 20000 });
  return { page, richieste, errori };
}

const testiRighe = (page, selettore) => page.$$eval(selettore,
  (righe) => righe.map((tr) => [...tr.cells].map((td) => td.textContent)));

test('la griglia mostra le righe della riga di comando', async (t) => {
  const casi = [
    { raggio: '30', pendenza: '0.005', locale: 'en-US', virgola: false },
    { raggio: '25', pendenza: '0,002', locale: 'en-US', virgola: false },
    // An Italian browser starts with the decimal comma.
    { raggio: '45', pendenza: '0.0125', locale: 'it-IT', virgola: true },
  ];
  for (const caso of casi) {
    await t.test(`r ${caso.raggio}, i ${caso.pendenza}, ${caso.locale}`, async () => {
      const { page, richieste } = await apri(caso.locale);
      await page.locator('#raggio').fill(caso.raggio);
      await page.locator('#pendenza').fill('');
      await page.locator('#pendenza').pressSequentially(caso.pendenza);
      const attese = leggiCsv(eseguiCli('--raggio', caso.raggio, '--pendenza', caso.pendenza.replace(',', '.'), '--formato', 'csv'))
        .slice(2).map((riga) => (caso.virgola ? riga.map((c) => c.replace('.', ',')) : riga));
      assert.deepEqual(await testiRighe(page, '#griglia tbody tr'), attese);
      assert.deepEqual(richieste.filter((u) => !u.startsWith('file://')), []);
      await page.context().close();
    });
  }
});

test('le caselle lette male sono segnalate con il motivo', async (t) => {
  const casi = [
    { casella: '#pendenza', testo: '-1', classe: 'rifiutata' },
    { casella: '#raggio', testo: '20x', classe: 'inparte' },
    { casella: '#incremento', testo: '0.001', classe: 'inparte' },
  ];
  const { page } = await apri();
  for (const caso of casi) {
    await t.test(`${caso.casella} = ${caso.testo}`, async () => {
      await page.locator('#raggio').fill('20');
      await page.locator('#pendenza').fill('0.01');
      await page.locator('#incremento').fill('100');
      await page.locator(caso.casella).fill(caso.testo);
      const casella = page.locator(caso.casella);
      assert.match(await casella.getAttribute('class'), new RegExp(caso.classe));
      assert.notEqual(await casella.getAttribute('title'), '');
      assert.notEqual(await page.locator('#messaggio').textContent(), '');
    });
  }
  await page.context().close();
});

test("uscendo dall'incremento la casella prende quello usato", async () => {
  const { page } = await apri();
  await page.locator('#incremento').fill('0.001');
  await page.locator('#pendenza').focus();
  const usato = await page.locator('#incremento').inputValue();
  assert.notEqual(usato, '0.001');
  assert.doesNotMatch(await page.locator('#incremento').getAttribute('class'), /inparte|rifiutata/);
  // The rewritten increment is the one the table was computed with: the
  // same rows, now read as typed. A thousand rows: the page holds those in
  // view, at the top and, scrolled, at the bottom.
  const attese = leggiCsv(eseguiCli('--raggio', '20', '--pendenza', '0.01', '--incremento', usato, '--formato', 'csv')).slice(2);
  const inVista = () => page.$$eval('#griglia tbody tr[data-i]',
    (righe) => righe.map((tr) => [Number(tr.dataset.i), [...tr.cells].map((td) => td.textContent)]));
  const inCima = await inVista();
  await page.locator('.contenitore-griglia').evaluate((c) => { c.scrollTop = c.scrollHeight; });
  await page.waitForFunction(() => document.querySelector('#griglia tbody tr:nth-last-child(2)')?.cells[0].textContent === 'Max Q');
  const inFondo = await inVista();
  assert.ok(inCima.length > 10 && inCima.length < attese.length);
  for (const [i, riga] of [...inCima, ...inFondo]) assert.deepEqual(riga, attese[i], `riga ${i}`);
  assert.equal(inFondo.at(-1)[0], attese.length - 1);
  await page.context().close();
});

test('le risposte alla portata di progetto sono quelle della riga di comando', async (t) => {
  const casi = [
    { raggio: '30', pendenza: '0.005', portata: '100' },
    { raggio: '20', pendenza: '0.01', portata: '370' },
  ];
  // The answers' columns and the command line's for the same quantity.
  const colonne = { A: 'AREA', P: 'CONT.BAGNATO', R: 'R.IDRAULICO', V: 'V', Q: 'Q' };
  for (const caso of casi) {
    await t.test(`r ${caso.raggio}, i ${caso.pendenza}, Q ${caso.portata}`, async () => {
      const { page, richieste } = await apri();
      await page.locator('#raggio').fill(caso.raggio);
      await page.locator('#pendenza').fill(caso.pendenza);
      await page.click('[data-scheda="risposte"]');
      await page.locator('#r-portata').fill(caso.portata);
      const titoli = await page.$$eval('#r-tabella thead th', (th) => th.map((c) => c.textContent.split('\n')[0]));
      const righe = await testiRighe(page, '#r-tabella tbody tr');

      const [testa, ...cli] = leggiCsv(eseguiCli('--raggio', caso.raggio, '--pendenza', caso.pendenza, '--portata', caso.portata, '--formato', 'csv'))
        .filter((riga, i) => i !== 1);
      for (const attesa of cli) {
        const riga = righe.find((r) => r[0] === attesa[0]);
        assert.ok(riga, `manca la riga ${attesa[0]}`);
        for (const [pagina, colonna] of Object.entries(colonne)) {
          assert.equal(riga[titoli.indexOf(pagina)], attesa[testa.indexOf(colonna)], `${attesa[0]} ${pagina}`);
        }
      }
      // The heights: the page gives one figure more than the grid's.
      const si = leggiCsv(eseguiCli('--raggio', caso.raggio, '--pendenza', caso.pendenza, '--portata', caso.portata, '--formato', 'si')).slice(1);
      for (const [, etichetta, altezza] of si) {
        const riga = righe.find((r) => r[0] === etichetta);
        assert.ok(Math.abs(Number(riga[titoli.indexOf('h')]) - Number(altezza) * 100) <= 0.005, etichetta);
      }
      assert.deepEqual(richieste.filter((u) => !u.startsWith('file://')), []);
      await page.context().close();
    });
  }
});

// Pastes tab-separated text into a box, as from a spreadsheet.
function incolla(page, selettore, testo) {
  return page.locator(selettore).evaluate((casella, testo) => {
    const dati = new DataTransfer();
    dati.setData('text/plain', testo);
    casella.dispatchEvent(new ClipboardEvent('paste', { clipboardData: dati, bubbles: true, cancelable: true }));
  }, testo);
}

test('i tratti incollati hanno gli esiti della riga di comando', async (t) => {
  const casi = [
    [
      ['T1', 'P1', 'P2', '50', '0.01', '', '', '30', '100', '10', '', ''],
      ['T2', 'P2', 'P3', '60', '0.005', '', '', '', '200', '20', '', ''],
      ['T3', 'P3', 'P4', '40', '0.0005', '', '', '25', '300', '5', '', ''],
    ],
    [
      ['A', 'M1', 'M2', '80', '0.003', '', '', '', '150', '15', 'manning', '0.013'],
      ['B', 'M2', 'M3', '70', '0.002', '', '', '', '260', '3', '', ''],
    ],
  ];
  for (const tratti of casi) {
    await t.test(tratti.map((r) => r[0]).join(', '), async () => {
      const file = join(cartella, `${tratti[0][0]}.csv`);
      writeFileSync(file, ['tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,quota_valle,raggio,portata,portata_minima,legge,scabrezza',
        ...tratti.map((r) => r.join(','))].join('\n'));
      const [testa, ...esiti] = leggiCsv(eseguiCli('--tratti', file, '--formato', 'csv'));
      const col = (nome) => testa.indexOf(nome);

      const { page, richieste } = await apri();
      await page.click('[data-scheda="rete"]');
      await page.click('#aggiungi-tratto');
      await incolla(page, '#tratti tbody tr:first-child input[data-c="0"]', tratti.map((r) => r.join('\t')).join('\r\n'));
      assert.equal(await page.locator('#tratti tbody tr').count(), tratti.length);

      const verdetti = await page.$$eval('#esiti tbody tr td.esito', (td) => td.map((c) => c.firstChild.textContent));
      assert.deepEqual(verdetti, esiti.map((e) => (e[col('motivo')] ? `${e[col('esito')]}: ${e[col('motivo')]}` : e[col('esito')])));
      const rosse = await page.$$eval('#esiti tbody tr', (tr) => tr.map((r) => r.classList.contains('non-verificato')));
      assert.deepEqual(rosse, esiti.map((e) => e[col('esito')] !== 'verificato'));

      // Dimensiona writes the chosen radius where the reach had none, the
      // one the command line shows even where no size meets every limit.
      await page.click('#dimensiona');
      const raggi = await page.$$eval('#tratti tbody tr td:nth-child(8) input', (i) => i.map((c) => c.value));
      assert.deepEqual(raggi, esiti.map((e, i) => (e[col('raggio_scelto')] === 'si' && e[col('esito')] !== 'non calcolato'
        ? e[col('raggio_cm')] : tratti[i][7])));
      assert.match(await page.locator('#notizia').textContent(), /^Dimensiona: \d+ ragg/);
      assert.deepEqual(richieste.filter((u) => !u.startsWith('file://')), []);
      await page.context().close();
    });
  }
});

test('una cella illeggibile è incorniciata con il motivo', async () => {
  const { page } = await apri();
  await page.click('[data-scheda="rete"]');
  await page.click('#aggiungi-tratto');
  await incolla(page, '#tratti tbody tr:first-child input[data-c="0"]', 'T1\tP1\tP2\t50\tripida\t\t\t30\t100\t10');
  const pendenza = page.locator('#tratti tbody tr:first-child td:nth-child(5) input');
  assert.match(await pendenza.getAttribute('class'), /rifiutata/);
  assert.match(await pendenza.getAttribute('title'), /ripida/);
  assert.match(await page.locator('#esiti tbody tr').first().textContent(), /ripida/);
  await pendenza.fill('0.01');
  assert.doesNotMatch(await pendenza.getAttribute('class') ?? '', /rifiutata/);
  await page.context().close();
});

test('il progetto salvato si riapre com’era, con i campi che la pagina non usa', async () => {
  const { page } = await apri();
  await page.locator('#raggio').fill('35');
  await page.click('[data-scheda="dati"]');
  await page.locator('#d-opera').fill('Collettore via Roma');
  const salva = async () => {
    const [scaricato] = await Promise.all([page.waitForEvent('download'), page.click('#salva-progetto')]);
    return readFileSync(await scaricato.path(), 'utf8');
  };
  const progetto = JSON.parse(await salva());
  progetto.estraneo = { tenuto: [1, 2, 3] };
  const file = join(cartella, 'prova.sezione');
  writeFileSync(file, JSON.stringify(progetto));

  await page.click('[data-scheda="calcolo"]');
  await page.locator('#raggio').fill('50');
  const [scelta] = await Promise.all([page.waitForEvent('filechooser'), page.click('#apri-progetto')]);
  await scelta.setFiles(file);
  await page.waitForFunction(() => document.querySelector('#raggio').value === '35');
  assert.equal(await page.locator('#d-opera').inputValue(), 'Collettore via Roma');

  await page.locator('#pendenza').fill('0.02');
  const [scaricato] = await Promise.all([page.waitForEvent('download'), page.click('#salva-progetto')]);
  assert.equal(scaricato.suggestedFilename(), 'prova.sezione');
  const riscritto = JSON.parse(readFileSync(await scaricato.path(), 'utf8'));
  assert.deepEqual(riscritto.estraneo, { tenuto: [1, 2, 3] });
  assert.equal(riscritto.ingressi.pendenza, 0.02);
  assert.equal(riscritto.ingressi.raggio, 35);
  await page.context().close();
});

// The printout's conclusion: the paragraphs and verdict of the core, the
// report's own, for what was typed in the page or a project opened.
test('la conclusione della stampa è quella del nucleo, senza contraddizioni', async (t) => {
  const { chiama } = await caricaNucleo();
  const nuovo = chiama('nuovoProgetto', {}).progetto;
  // A project with the line `tratti`, as a file to open.
  const progetto = (nome, tratti, cambia) => {
    const p = structuredClone(nuovo);
    p.tratti = tratti.map((celle) => ({ celle, altre: [] }));
    cambia(p);
    const file = join(cartella, `${nome}.sezione`);
    writeFileSync(file, chiama('salvaProgetto', { progetto: p }).testo);
    return file;
  };
  const casi = [
    { nome: 'portata raggiunta', portata: '100', idonea: 'si', attesa: /^Conclusione: tutte le verifiche sono soddisfatte; la sezione è idonea/ },
    { nome: 'portata oltre la massima', portata: '500', minima: '20', idonea: 'no', attesa: /\(portata di progetto non raggiunta\); la sezione non è idonea così com'è\.$/ },
    // The limit in red gives way to the proposal, and the answers say so.
    { nome: 'limite in rosso', portata: '100', riempimento: '150', idonea: 'no', attesa: /non si legge il riempimento massimo \(«150»\)[\s\S]*non è idonea/, avviso: /Nessuna risposta: non si legge il riempimento massimo/ },
    { nome: 'raggio illeggibile', raggio: 'abc', portata: '50', idonea: 'no', attesa: /le verifiche non sono state eseguite[\s\S]*non è idonea/ },
    { nome: 'nessun valore', idonea: '', attesa: /senza verifiche\.$/ },
    {
      nome: 'un pozzetto di salto previsto', idonea: 'si', attesa: /e l'opera è idonea\.$/, nel: /^P8: salto di \S+ m > 0\.50 m$/m,
      file: progetto('salto', collettore((k, c) => { if (k === 8) c[5] = '97'; }), (p) => { p.rete.saltoMassimo = '0.5'; }),
    },
    {
      nome: 'la sezione tipo regge, un tratto no', idonea: 'no', attesa: /^Esito della sezione tipo: 3 verifiche soddisfatte su 3\.\nVerificati 9 tratti su 10 e tutti i pozzetti\. L'opera non è idonea così com'è\.$/,
      file: progetto('lento', collettore((k, c) => { if (k === 4) c[4] = '0.0002'; }), (p) => {
        p.verifiche.portataProgetto = '100';
        p.dati.sezioneTipo = 'si';
      }),
    },
    {
      nome: 'nomi con il punto, con la virgola decimale', locale: 'it-IT', idonea: 'no', attesa: /L'opera non è idonea così com'è\.$/, nel: /^tratto T1\.2\tcontropendenza al pozzetto\tal pozzetto «P1\.2»: scorrimento 99,90 m > 99,75 m di «T1\.1»/m,
      tratti: ['T1.1', 'T1.2'],
      file: progetto('punti', [['T1.1', 'P1.1', 'P1.2', '50', '0.005', '100', '', '30', '50', '', '', ''],
        ['T1.2', 'P1.2', 'P1.3', '60', '0.005', '99.9', '', '', '50', '', '', '']], () => {}),
    },
  ];
  for (const c of casi) {
    await t.test(c.nome, async () => {
      const { page } = await apri(c.locale);
      await page.evaluate(() => { window.print = () => {}; });
      if (c.file) {
        const [scelta] = await Promise.all([page.waitForEvent('filechooser'), page.click('#apri-progetto')]);
        await scelta.setFiles(c.file);
        await page.waitForFunction(() => document.querySelector('#notizia').textContent.startsWith('Aperto'));
      }
      if (c.raggio) await page.locator('#raggio').fill(c.raggio);
      await page.click('[data-scheda="risposte"]');
      if (c.portata) await page.locator('#r-portata').fill(c.portata);
      if (c.minima) await page.locator('#r-portataMinima').fill(c.minima);
      if (c.riempimento) await page.locator('#r-riempimentoMassimo').fill(c.riempimento);
      await page.click('#stampa');
      const paragrafi = await page.$$eval('#relazione .conclusione > p', (p) => p.map((x) => x.textContent));
      assert.match(paragrafi.join('\n'), c.attesa);
      const righe = await page.$$eval('#relazione .conclusione .mancanze tbody tr',
        (tr) => tr.map((r) => [...r.cells].map((x) => x.textContent)));
      const voci = await page.$$eval('#relazione .conclusione li', (li) => li.map((x) => x.textContent));
      if (c.nel) assert.match([...voci, ...righe.map((r) => r.join('\t'))].join('\n'), c.nel);
      if (c.file) {
        // The verdicts, the counts, the table of failures and the lists, all as the core built them.
        const aperto = chiama('apriProgetto', { testo: readFileSync(c.file, 'utf8'), nome: c.file }).progetto;
        const separatore = c.locale === 'it-IT' ? 'virgola' : 'punto';
        const atteso = chiama('conclusione', { progetto: aperto, separatore });
        assert.deepEqual(paragrafi, atteso.conclusioni);
        assert.deepEqual(righe, atteso.mancanze.righe);
        assert.deepEqual(voci, [atteso.conteggi, atteso.deroghe, atteso.provvedimenti].flatMap((e) => e.voci));
      }
      assert.equal(await page.locator('#relazione .conclusione').getAttribute('data-idonea'), c.idonea);
      // Nothing else in the printout judges the work.
      const fuori = await page.$eval('#relazione', (r) => {
        const copia = r.cloneNode(true);
        copia.querySelector('.conclusione').remove();
        return copia.textContent;
      });
      assert.doesNotMatch(fuori, /idone|soddisfatte/);
      if (c.avviso) assert.match(await page.locator('#relazione').textContent(), c.avviso);
      if (c.tratti) {
        const nomi = await page.$$eval('#relazione .esiti tbody tr', (tr) => tr.map((r) => r.cells[0].textContent));
        assert.deepEqual(nomi, c.tratti);
      }
      await page.context().close();
    });
  }
});

test('un progetto o un CSV che non è un testo UTF-8 è detto, non guastato', async () => {
  const { page } = await apri();
  const progetto = join(cartella, 'latin1.sezione');
  writeFileSync(progetto, Buffer.from('{"formato":"sezione-inglese","versione":1,"progetto":{"opera":"Citt\xe0"}}', 'latin1'));
  const [scelta] = await Promise.all([page.waitForEvent('filechooser'), page.click('#apri-progetto')]);
  await scelta.setFiles(progetto);
  await page.waitForFunction(() => document.body.textContent.includes('non è in UTF-8'));

  // An old spreadsheet's CSV is Windows-1252: its names read as written.
  const csv = join(cartella, 'vecchio.csv');
  writeFileSync(csv, Buffer.from('tratto,pendenza,portata\nTrattò,0.01,20\n', 'latin1'));
  await page.click('[data-scheda="rete"]');
  const [sceltaCsv] = await Promise.all([page.waitForEvent('filechooser'), page.click('#importa-csv')]);
  await sceltaCsv.setFiles(csv);
  await page.waitForFunction(() => document.querySelector('#tratti input')?.value === 'Trattò');
  await page.context().close();
});
