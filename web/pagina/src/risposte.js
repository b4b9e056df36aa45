// "Scala di deflusso e verifiche": the design values and limits, the answers
// of the core, the rating curves and the section with its water.
import { $, esc, segnala } from './dom.js';
import { stato, ingressiRisposte } from './stato.js';
import { disegnaGrafico } from './grafico.js';
import { disegnaSezione } from './disegno.js';

// The boxes bound to the project's "verifiche", by the key the core's
// signals use. The limits have a box here and one among the reaches'
// settings: both show the same field.
export const CAMPI_VERIFICHE = {
  portata: 'portataProgetto',
  portataMinima: 'portataMinima',
  velocita: 'velocitaProgetto',
  velocitaMinima: 'velocitaMinima',
  velocitaMassima: 'velocitaMassima',
  riempimentoMassimo: 'riempimentoMassimo',
  scabrezza: 'scabrezza',
  temperatura: 'temperatura',
  legge: 'legge',
  geometria: 'geometria',
};

const COEFFICIENTE = {
  bazin: ['Coefficiente γ (m½)', 'γ della tabella'],
  kutter: ['Coefficiente m (m½)', ''],
  strickler: ['Coefficiente Ks (m¹ᐟ³/s)', ''],
  manning: ['Coefficiente n (s/m¹ᐟ³)', ''],
  colebrook: ['Scabrezza ks (mm)', ''],
};

let ultime = null;

const caselle = (chiave) => document.querySelectorAll(`[data-verifica="${chiave}"]`);

export function preparaRisposte(cambiato) {
  const leggi = stato.voci.leggi
    .map((l) => `<option value="${esc(l.chiave)}">${esc(l.nome)}</option>`).join('');
  for (const select of caselle('legge')) select.innerHTML = leggi;
  for (const [chiave, campo] of Object.entries(CAMPI_VERIFICHE)) {
    for (const casella of caselle(chiave)) {
      const evento = casella.tagName === 'SELECT' ? 'change' : 'input';
      casella.addEventListener(evento, () => {
        stato.progetto.verifiche[campo] = casella.value;
        for (const altra of caselle(chiave)) if (altra !== casella) altra.value = casella.value;
        if (chiave === 'legge') mostraLegge();
        cambiato(chiave);
      });
    }
  }
  for (const chiave of ['velocitaMinima', 'velocitaMassima', 'riempimentoMassimo']) {
    for (const proposta of document.querySelectorAll(`[data-proposta="${chiave}"]`)) {
      proposta.textContent = `proposta: ${stato.voci.limiti[chiave]}`;
    }
  }
  $('r-ripristina').addEventListener('click', () => {
    for (const chiave of ['velocitaMinima', 'velocitaMassima', 'riempimentoMassimo']) {
      stato.progetto.verifiche[chiave] = stato.voci.limiti[chiave];
    }
    mostraIngressiRisposte();
    cambiato('velocitaMinima');
  });
}

function mostraLegge() {
  const legge = stato.progetto.verifiche.legge || 'bazin';
  const [etichetta, segnaposto] = COEFFICIENTE[legge] ?? ['Coefficiente', ''];
  $('r-scabrezza-etichetta').textContent = etichetta;
  $('r-scabrezza').placeholder = segnaposto;
  // The water's temperature counts for Colebrook–White only.
  $('r-temperatura').disabled = legge !== 'colebrook';
}

export function mostraIngressiRisposte() {
  const v = stato.progetto.verifiche;
  for (const [chiave, campo] of Object.entries(CAMPI_VERIFICHE)) {
    let valore = v[campo] ?? '';
    if (chiave === 'legge') valore ||= 'bazin';
    if (chiave === 'geometria') valore ||= 'tabellare';
    for (const casella of caselle(chiave)) casella.value = valore;
  }
  mostraLegge();
}

export function ricalcolaRisposte() {
  ultime = stato.nucleo.risposte(ingressiRisposte());
  const r = ultime;
  for (const [chiave, segnale] of Object.entries(r.segnali ?? {})) {
    for (const casella of caselle(chiave)) segnala(casella, segnale);
  }
  $('r-errore').textContent = r.errore ?? '';
  $('r-titolo').textContent = r.titolo ?? '';

  const titoli = r.titoli ?? [];
  $('r-tabella').tHead.innerHTML = titoli.length
    ? `<tr>${titoli.map((t) => `<th>${esc(t)}</th>`).join('')}</tr>` : '';
  $('r-tabella').tBodies[0].innerHTML = (r.righe ?? []).map((riga) => {
    const classe = riga.conforme === false ? ' class="non-conforme"' : riga.conforme === true ? ' class="conforme"' : '';
    return `<tr${classe}>${riga.testi.map((t) => `<td>${esc(t)}</td>`).join('')}</tr>`;
  }).join('');
  $('r-messaggi').innerHTML = (r.messaggi ?? []).map((m) => `<li>${esc(m)}</li>`).join('');

  disegnaGrafico($('r-grafico'), r);
  disegnaSezione($('r-sezione'), r);
  return r;
}

export const ultimeRisposte = () => ultime;
