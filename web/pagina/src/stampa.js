// "Stampa relazione": the report the browser prints. Everything in it is as
// typed or as the core wrote it; the page only arranges it.
import { $, esc, righeHtml } from './dom.js';
import { stato } from './stato.js';
import { esitiHtml, pozzettiHtml } from './rete.js';

const DATI = [
  ['opera', 'Opera'], ['tratto', 'Tratto'], ['committente', 'Committente'],
  ['progettista', 'Progettista'], ['data', 'Data'], ['note', 'Note'],
];

const coppie = (voci) => `<table class="coppie">${voci
  .map(([etichetta, valore]) => `<tr><th>${esc(etichetta)}</th><td>${esc(valore || '—')}</td></tr>`).join('')}</table>`;

// The verdicts of the answers and of the network, in words, and whether
// the work holds: only when nothing checked fails, nothing is left
// uncomputed and the network has no fault.
function conclusione(risposte, rete) {
  const frasi = [];
  const verificate = (risposte?.righe ?? []).filter((r) => r.conforme !== null && r.conforme !== undefined);
  const fallite = verificate.filter((r) => r.conforme === false);
  // A design value the section never reaches is a check that fails; one
  // given to a section that cannot be computed is no check passed.
  const nonRaggiunte = risposte?.nonRaggiunte ?? [];
  if (risposte?.valoriDati && risposte.errore) {
    frasi.push(`Le verifiche della sezione non sono state fatte: ${risposte.errore}`);
  }
  if (nonRaggiunte.length > 0) {
    frasi.push(`La sezione non raggiunge, a nessuna altezza, la ${nonRaggiunte.join(' né la ')}.`);
  }
  if (fallite.length > 0) {
    frasi.push(`Le verifiche della sezione non sono soddisfatte: ${fallite
      .map((r) => `${r.testi[0]}: ${r.testi.at(-1)}`).join('; ')}.`);
  } else if (verificate.length > 0 && nonRaggiunte.length === 0) {
    frasi.push('Le verifiche della sezione ai valori di progetto sono soddisfatte.');
  }
  const caselleValide = risposte?.caselleValide !== false && rete?.caselleValide !== false;
  if (!caselleValide) {
    frasi.push('Alcune caselle non contengono un valore valido (in rosso nella pagina): al loro posto valgono le proposte.');
  }
  let guasti = fallite.length > 0 || nonRaggiunte.length > 0 || !caselleValide ||
    Boolean(risposte?.valoriDati && risposte.errore);
  const conTratti = stato.progetto.tratti.length > 0;
  if (conTratti) {
    if (rete?.errore) frasi.push(rete.errore);
    if (rete?.riepilogo) frasi.push(rete.riepilogo);
    const righe = rete?.righe ?? [];
    const nome = (riga, i) => riga.celle?.[0] || stato.progetto.tratti[i]?.celle[0] || `riga ${i + 1}`;
    const nonVerificati = righe.map((r, i) => (r.celle && !r.verificato ? nome(r, i) : null)).filter(Boolean);
    const nonCalcolati = righe.map((r, i) => (r.errore ? nome(r, i) : null)).filter(Boolean);
    const pozzetti = (rete?.pozzetti ?? []).filter((p) => !p.verificato).map((p) => p.nome);
    if (nonVerificati.length > 0) frasi.push(`Tratti non verificati: ${nonVerificati.join(', ')}.`);
    if (nonCalcolati.length > 0) frasi.push(`Tratti non calcolati (una casella non è valida): ${nonCalcolati.join(', ')}.`);
    if (pozzetti.length > 0) frasi.push(`Pozzetti non verificati: ${pozzetti.join(', ')}.`);
    for (const errore of rete?.errori ?? []) frasi.push(errore);
    guasti ||= Boolean(rete?.errore) || nonVerificati.length + nonCalcolati.length + pozzetti.length +
      (rete?.errori?.length ?? 0) > 0;
  }
  if (frasi.length === 0) {
    frasi.push('Non sono stati dati valori di progetto da verificare.');
  } else {
    frasi.push(guasti ? "L'opera non è idonea così com'è." : "Le verifiche sono soddisfatte e l'opera è idonea.");
  }
  return frasi;
}

export function componiRelazione({ tabella, risposte, rete }) {
  const p = stato.progetto;
  const i = p.ingressi;
  const v = p.verifiche;
  const legge = stato.voci.leggi.find((l) => l.chiave === (v.legge || 'bazin'))?.nome ?? v.legge;
  let s = '<h1>Relazione di calcolo</h1><p class="sottotitolo">Sezione ovoidale inglese</p>';

  s += '<h2>Dati del progetto</h2>' + coppie(DATI.map(([k, e]) => [e, p.dati[k]]));
  if (p.dati.descrizione) s += `<h3>Descrizione dell'opera</h3><p class="descrizione">${esc(p.dati.descrizione)}</p>`;

  s += '<h2>Dati di calcolo</h2>' + coppie([
    ['Raggio caratteristico (cm)', i.raggio], ['Sezione', tabella?.tipoSezione],
    ['Pendenza (m/m)', i.pendenza], ['Coeff. scabrezza Bazin', i.coefficiente],
    ['Incremento altezza (mm)', i.incremento],
  ]);
  if (tabella?.messaggio?.testo) s += `<p class="avviso">${esc(tabella.messaggio.testo)}</p>`;

  if (tabella?.righe?.length) {
    s += '<h2>Tabella di moto uniforme</h2>'
      + `<table class="tabella"><thead>${righeHtml(tabella.intestazione ?? [], 'th')}</thead><tbody>${righeHtml(tabella.righe)}</tbody></table>`;
  }

  s += '<h2>Scala di deflusso e verifiche</h2>' + coppie([
    ['Portata di progetto (l/s)', v.portataProgetto], ['Portata minima (l/s)', v.portataMinima],
    ['Velocità di progetto (cm/s)', v.velocitaProgetto], ['Geometria', v.geometria || 'tabellare'],
    ['Legge di resistenza', legge], ['Coefficiente della legge', v.scabrezza || (v.legge === 'bazin' || !v.legge ? 'γ della tabella' : '')],
    ...(v.legge === 'colebrook' ? [['Temperatura dell\'acqua (°C)', v.temperatura]] : []),
    ['Velocità minima (cm/s)', v.velocitaMinima], ['Velocità massima (cm/s)', v.velocitaMassima],
    ['Riempimento massimo h/H (%)', v.riempimentoMassimo],
  ]);
  if (risposte?.errore) s += `<p class="avviso">${esc(risposte.errore)}</p>`;
  if (risposte?.righe?.length) {
    s += `<p class="titolo-figura">${esc(risposte.titolo)}</p>`
      + `<table class="tabella"><thead><tr>${risposte.titoli.map((t) => `<th>${esc(t)}</th>`).join('')}</tr></thead><tbody>`
      + risposte.righe.map((r) => `<tr${r.conforme === false ? ' class="non-conforme"' : ''}>${r.testi.map((t) => `<td>${esc(t)}</td>`).join('')}</tr>`).join('')
      + '</tbody></table>';
  }
  if (risposte?.messaggi?.length) s += `<ul>${risposte.messaggi.map((m) => `<li>${esc(m)}</li>`).join('')}</ul>`;
  s += `<div class="figure-relazione">${$('r-grafico').outerHTML.replace('id="r-grafico"', '')}${$('r-sezione').outerHTML.replace('id="r-sezione"', '')}</div>`;

  if (p.tratti.length > 0 && rete) {
    s += '<section class="rete-relazione"><h2>Verifica dei tratti</h2>' + coppie([
      ['Catalogo dei raggi (cm)', p.catalogo || stato.voci.catalogo], ['Allineamento ai pozzetti', p.rete.allineamento],
      ['Ricoprimento minimo (m)', p.rete.ricoprimentoMinimo], ['Profondità massima (m)', p.rete.profonditaMassima],
      ['Salto massimo (m)', p.rete.saltoMassimo],
    ]);
    const esiti = esitiHtml(rete);
    s += `<table class="tabella esiti"><thead>${esiti.testa}</thead><tbody>${esiti.corpo}</tbody></table>`;
    if (rete.pozzetti?.length) {
      const z = pozzettiHtml(rete);
      s += `<h3>Pozzetti</h3><table class="tabella pozzetti-relazione"><thead>${z.testa}</thead><tbody>${z.corpo}</tbody></table>`;
    }
    if (rete.errori?.length) s += `<ul class="errori">${rete.errori.map((e) => `<li>${esc(e)}</li>`).join('')}</ul>`;
    s += '</section>';
  }

  s += '<h2>Conclusione</h2>' + conclusione(risposte, rete).map((f) => `<p>${esc(f)}</p>`).join('');
  $('relazione').innerHTML = s;
}
