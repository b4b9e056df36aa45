// The core compiled to WebAssembly: each call takes one JSON text and gives
// one back. This wrapper is the only place that knows it.

const METODI = [
  'voci', 'tabella', 'risposte', 'rete', 'importaCsv', 'esportaTratti',
  'esportaEsiti', 'conclusione', 'apriProgetto', 'salvaProgetto', 'nuovoProgetto',
];

export async function caricaNucleo() {
  if (typeof globalThis.creaNucleo !== 'function') {
    throw new Error('nucleo.js non è stato caricato');
  }
  const modulo = await globalThis.creaNucleo();
  const nucleo = {};
  for (const nome of METODI) {
    nucleo[nome] = (ingresso = {}) => JSON.parse(modulo[nome](JSON.stringify(ingresso)));
  }
  return nucleo;
}
