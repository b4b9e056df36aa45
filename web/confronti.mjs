// What the page's tests compare with: the command-line program built from
// the same sources, its CSV read back, and the core compiled for the page.
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

export const radice = fileURLToPath(new URL('../', import.meta.url));
export const cli = process.env.SEZIONE_CLI ?? join(radice, 'build', 'sezione-inglese-cli');

export const eseguiCli = (...argomenti) => execFileSync(cli, argomenti, { encoding: 'utf8' });

// The core as the page loads it; each call one JSON text each way.
export async function caricaNucleo() {
  const nucleo = await createRequire(import.meta.url)(join(radice, 'build-web', 'web', 'nucleo.js'))();
  return {
    nucleo,
    chiama: (funzione, richiesta) => JSON.parse(nucleo[funzione](JSON.stringify(richiesta))),
  };
}

// A collector P1 → P11 of ten 40 m reaches as the page's rows of cells;
// `cambia(k, celle)` spoils the k-th.
export const collettore = (cambia = () => {}) => Array.from({ length: 10 }, (_, i) => {
  const k = i + 1;
  const celle = [`P${k}-P${k + 1}`, `P${k}`, `P${k + 1}`, '40', '0.005', k === 1 ? '100' : '', '',
    '', String(40 + 10 * k), String(4 + k), '', ''];
  cambia(k, celle);
  return celle;
});

// RFC 4180, as the command line writes it: quoted fields may hold the
// separator, line breaks and doubled quotes; a byte-order mark is skipped.
export function leggiCsv(testo, separatore = ',') {
  const righe = [];
  let campo = '';
  let campi = [];
  let virgolette = false;
  testo = testo.replace(/^\uFEFF/, '');
  for (let i = 0; i < testo.length; i++) {
    const c = testo[i];
    if (virgolette) {
      if (c === '"' && testo[i + 1] === '"') { campo += '"'; i++; }
      else if (c === '"') virgolette = false;
      else campo += c;
    } else if (c === '"') virgolette = true;
    else if (c === separatore) { campi.push(campo); campo = ''; }
    else if (c === '\n' || c === '\r') {
      if (c === '\r' && testo[i + 1] === '\n') i++;
      campi.push(campo); righe.push(campi); campi = []; campo = '';
    } else campo += c;
  }
  if (campo !== '' || campi.length) { campi.push(campo); righe.push(campi); }
  return righe;
}
