// The page: loads the core, opens a new project, and keeps every part in
// step with the boxes. A part not on screen is recomputed when it is shown,
// so a keystroke costs only what the user sees.
import { $, notizia } from './dom.js';
import { caricaNucleo } from './nucleo.js';
import { stato } from './stato.js';
import { preparaCalcolo, mostraIngressiCalcolo, ricalcolaTabella, tabellaIntera } from './calcolo.js';
import { preparaRisposte, mostraIngressiRisposte, ricalcolaRisposte, ultimeRisposte } from './risposte.js';
import { preparaRete, mostraIngressiRete, ricalcolaRete, ultimaRete } from './rete.js';
import { preparaProgetto, nuovoProgetto, mostraDati } from './progetto.js';
import { componiRelazione } from './stampa.js';

const PARTI = { risposte: ricalcolaRisposte, rete: ricalcolaRete };
const daRifare = new Set();
let schedaAperta = 'calcolo';

function cambiato(...parti) {
  for (const parte of parti) {
    if (schedaAperta === parte) PARTI[parte]();
    else daRifare.add(parte);
  }
}

function apriScheda(nome) {
  schedaAperta = nome;
  for (const bottone of document.querySelectorAll('[data-scheda]')) {
    const aperta = bottone.dataset.scheda === nome;
    bottone.setAttribute('aria-selected', String(aperta));
    $(bottone.dataset.scheda).hidden = !aperta;
  }
  if (daRifare.delete(nome)) PARTI[nome]();
}

// Every box shows the project, and every part is computed anew.
function mostraProgetto() {
  mostraIngressiCalcolo();
  mostraIngressiRisposte();
  mostraIngressiRete();
  mostraDati();
  daRifare.add('risposte').add('rete');
  apriScheda(schedaAperta);
}

function ricalcolaTutto() {
  ricalcolaTabella();
  ricalcolaRisposte();
  ricalcolaRete();
  daRifare.clear();
}

async function avvia() {
  stato.nucleo = await caricaNucleo();
  stato.voci = stato.nucleo.voci({});
  stato.separatore = (navigator.language || '').toLowerCase().startsWith('it') ? 'virgola' : 'punto';
  $('separatore').value = stato.separatore;
  nuovoProgetto();

  preparaCalcolo(() => cambiato('risposte', 'rete'));
  preparaRisposte((chiave) => cambiato(...(['portata', 'portataMinima', 'velocita'].includes(chiave)
    ? ['risposte'] : ['risposte', 'rete'])));
  preparaRete();
  preparaProgetto(mostraProgetto);

  for (const bottone of document.querySelectorAll('[data-scheda]')) {
    bottone.addEventListener('click', () => apriScheda(bottone.dataset.scheda));
  }
  $('separatore').addEventListener('change', (e) => {
    stato.separatore = e.target.value;
    ricalcolaTabella();
    cambiato('risposte', 'rete');
  });
  $('stampa').addEventListener('click', () => {
    ricalcolaTutto();
    componiRelazione({ tabella: tabellaIntera(), risposte: ultimeRisposte(), rete: ultimaRete() });
    window.print();
  });

  mostraProgetto();
  document.body.classList.remove('in-avvio');
  document.body.dataset.pronta = 'si';
  performance.mark('pagina-pronta');
}

avvia().catch((errore) => {
  document.body.classList.remove('in-avvio');
  notizia(`Impossibile avviare il calcolo: ${errore.message}`, true);
  throw errore;
});
