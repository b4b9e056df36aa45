// The project file: a new one at the start, opened from and saved to a
// .sezione file through the core, and the "Dati del progetto" form.
import { $, notizia } from './dom.js';
import { scarica, scegliFile } from './file.js';
import { stato } from './stato.js';

const CAMPI_DATI = ['opera', 'tratto', 'committente', 'progettista', 'data', 'note', 'descrizione'];

// The parts the page edits, made present in a project that lacks them; a
// project's other fields are left as they came.
function completa(progetto) {
  progetto.ingressi ??= {};
  progetto.verifiche ??= {};
  progetto.dati ??= {};
  progetto.rete ??= {};
  progetto.tratti ??= [];
  progetto.pozzetti ??= [];
  for (const tratto of progetto.tratti) {
    tratto.celle = Array.from({ length: 12 }, (_, c) => tratto.celle?.[c] ?? '');
  }
  return progetto;
}

export function nuovoProgetto() {
  stato.progetto = completa(stato.nucleo.nuovoProgetto().progetto);
  stato.nomeFile = 'progetto.sezione';
}

export function preparaProgetto(aperto) {
  for (const campo of CAMPI_DATI) {
    $(`d-${campo}`).addEventListener('input', (e) => {
      stato.progetto.dati[campo] = e.target.value;
    });
  }
  $('apri-progetto').addEventListener('click', async () => {
    const { nome, testo, errore } = await scegliFile('.sezione,application/json');
    if (errore) {
      notizia(`Impossibile aprire «${nome}»: ${errore}.`, true);
      return;
    }
    const r = stato.nucleo.apriProgetto({ testo, nome });
    if (r.errore) {
      notizia(r.errore, true);
      return;
    }
    stato.progetto = completa(r.progetto);
    stato.nomeFile = nome;
    aperto();
    notizia(`Aperto ${nome}`);
  });
  $('salva-progetto').addEventListener('click', () => {
    const r = stato.nucleo.salvaProgetto({ progetto: stato.progetto });
    if (r.errore) {
      notizia(r.errore, true);
      return;
    }
    scarica(stato.nomeFile, r.testo, 'application/json');
  });
}

export function mostraDati() {
  for (const campo of CAMPI_DATI) $(`d-${campo}`).value = stato.progetto.dati[campo] ?? '';
}
