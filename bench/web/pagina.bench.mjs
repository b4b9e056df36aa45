// The page's costs in headless Chromium, opened from dist/web/ as a user
// would: the start, a keystroke at a table of a thousand rows, a line of ten
// thousand reaches, and the bytes the browser loads.
//   npm --prefix web run build && node bench/web/pagina.bench.mjs
import { createRequire } from 'node:module';
import { readdirSync, statSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const radice = fileURLToPath(new URL('../../', import.meta.url));
const { chromium } = createRequire(join(radice, 'web', 'package.json'))('playwright-core');
const dist = join(radice, 'dist', 'web');

const mediana = (valori) => [...valori].sort((a, b) => a - b)[Math.floor(valori.length / 2)];
const ms = (x) => `${x.toFixed(2)} ms`;

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

async function apri() {
  const page = await browser.newPage({ viewport: { width: 1366, height: 768 }, locale: 'en-US' });
  await page.goto(pathToFileURL(join(dist, 'index.html')).href);
  await page.waitForSelector('body[data-pronta="si"]', { timeout: 30000 });
  return page;
}

// (a) From the navigation's start to the table on screen.
const avvii = [];
for (let k = 0; k < 5; k++) {
  const page = await apri();
  avvii.push(await page.evaluate(() => performance.getEntriesByName('pagina-pronta')[0].startTime));
  await page.close();
}
console.log(`pagina pronta da file://: mediana di 5 ${ms(mediana(avvii))} (min ${ms(Math.min(...avvii))}, max ${ms(Math.max(...avvii))})`);

// (b) A keystroke in the slope box at the smallest increment of a big
// section: a thousand rows, every text of which changes.
const page = await apri();
await page.locator('#raggio').fill('2000');
await page.locator('#incremento').fill('60');
// Only the rows in view are in the page: the last one's index counts them.
const righe = await page.evaluate(async () => {
  const contenitore = document.getElementById('griglia').parentElement;
  contenitore.scrollTop = contenitore.scrollHeight;
  await new Promise((fatto) => requestAnimationFrame(() => requestAnimationFrame(fatto)));
  const ultima = [...document.querySelectorAll('#griglia tbody tr[data-i]')].at(-1);
  contenitore.scrollTop = 0;
  return Number(ultima.dataset.i) + 1;
});
const tasti = await page.evaluate(() => {
  const casella = document.getElementById('pendenza');
  const calcolo = [];
  const conImpaginazione = [];
  for (let k = 0; k < 50; k++) {
    casella.value = k % 2 ? '0.01' : '0.012';
    const t0 = performance.now();
    casella.dispatchEvent(new Event('input', { bubbles: true }));
    const t1 = performance.now();
    void document.body.offsetHeight; // the browser's layout of the new texts
    const t2 = performance.now();
    calcolo.push(t1 - t0);
    conImpaginazione.push(t2 - t0);
  }
  const mediana = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
  return { calcolo: mediana(calcolo), conImpaginazione: mediana(conImpaginazione) };
});
// The core's own share: the same calls with no page around them, for the
// rows in view as the page asks, and for all of them.
const soloNucleo = await page.evaluate(async () => {
  const nucleo = await globalThis.creaNucleo();
  const mediana = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
  const tempi = (finestra) => {
    const t = [];
    for (let k = 0; k < 50; k++) {
      const ingresso = JSON.stringify({ raggio: '2000', pendenza: k % 2 ? '0.01' : '0.012', incremento: '60',
        coefficiente: '0.18: Tubaz. Ø >400 mm, acqua limpida', voce: 0, separatore: 'punto', ...finestra });
      const t0 = performance.now();
      JSON.parse(nucleo.tabella(ingresso));
      t.push(performance.now() - t0);
    }
    return mediana(t);
  };
  return { finestra: tempi({ da: 0, quante: 60 }), tutte: tempi({}) };
});
console.log(`tasto a ${righe} righe: ricalcolo e griglia ${ms(tasti.calcolo)}, con l'impaginazione ${ms(tasti.conImpaginazione)}`
  + ` (mediane di 50); la chiamata al nucleo da sola: ${ms(soloNucleo.finestra)} per 60 righe, ${ms(soloNucleo.tutte)} per tutte`);

// (c) A line of 10,000 reaches with no radius: the core's call alone, then
// the page's import (table of boxes, verdicts), an edit of one cell and
// Dimensiona.
const N = 10000;
const tratti = Array.from({ length: N }, (_, i) => [
  `T${i + 1}`, `P${i + 1}`, `P${i + 2}`, '50', '0.004', '', '', '', String(50 + Math.floor(i / 40)), '10', '', '']);
const chiamata = await page.evaluate(async (tratti) => {
  const nucleo = await globalThis.creaNucleo();
  const ingresso = JSON.stringify({
    tratti, pozzetti: [], separatore: 'punto',
    impostazioni: { legge: 'bazin', scabrezza: '', coefficiente: '0.18', geometria: 'tabellare', velocitaMinima: '50',
      velocitaMassima: '400', riempimentoMassimo: '70', catalogo: '', allineamento: 'cieli', ricoprimentoMinimo: '1',
      profonditaMassima: '', saltoMassimo: '' },
  });
  const t0 = performance.now();
  const r = JSON.parse(nucleo.rete(ingresso));
  return { ms: performance.now() - t0, scritti: r.righe.filter((x) => x.raggioDaScrivere != null).length };
}, tratti);
console.log(`rete di ${N} tratti senza raggio, chiamata al nucleo: ${ms(chiamata.ms)} (${chiamata.scritti} raggi scelti)`);

const cartella = mkdtempSync(join(tmpdir(), 'bench-pagina-'));
const csv = join(cartella, 'linea.csv');
writeFileSync(csv, ['tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,quota_valle,raggio,portata,portata_minima,legge,scabrezza',
  ...tratti.map((r) => r.join(','))].join('\n'));
await page.click('[data-scheda="rete"]');
const [scelta] = await Promise.all([page.waitForEvent('filechooser'), page.click('#importa-csv')]);
const t0 = Date.now();
await scelta.setFiles(csv);
await page.waitForFunction((n) => document.getElementById('n-riepilogo').textContent.includes(String(n)), N, { timeout: 120000, polling: 50 });
console.log(`importa ${N} tratti fino agli esiti sullo schermo: ${ms(Date.now() - t0)}`);
// At this size an edit is verified once the typing pauses: the time runs
// from the key to the verdicts redrawn, the pause included.
const modifica = await page.evaluate(() => new Promise((fatto) => {
  const casella = document.querySelector('#tratti tbody tr input[data-c="8"]');
  const esiti = document.querySelector('#esiti tbody');
  const t0 = performance.now();
  new MutationObserver((_, osservatore) => {
    osservatore.disconnect();
    fatto(performance.now() - t0);
  }).observe(esiti, { childList: true, subtree: true, characterData: true });
  casella.value = '55';
  casella.dispatchEvent(new Event('input', { bubbles: true }));
}));
console.log(`modifica di una cella a ${N} tratti, fino agli esiti ridisegnati (con la pausa di 400 ms): ${ms(modifica)}`);
const dimensiona = await page.evaluate(() => {
  const t0 = performance.now();
  document.getElementById('dimensiona').click();
  return { ms: performance.now() - t0, notizia: document.getElementById('notizia').textContent };
});
console.log(`Dimensiona a ${N} tratti: ${ms(dimensiona.ms)} («${dimensiona.notizia}»)`);
await browser.close();

// (d) What the browser loads: the scripts, the WebAssembly inside nucleo.js.
let totale = 0;
for (const file of readdirSync(dist).filter((f) => f.endsWith('.js') || f.endsWith('.wasm'))) {
  const byte = statSync(join(dist, file)).size;
  totale += byte;
  console.log(`  ${file}: ${byte} byte`);
}
console.log(`script e wasm in dist/web: ${totale} byte (${(totale / 1048576).toFixed(2)} MiB)`);
