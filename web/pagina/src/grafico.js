// The rating curves: the height on the vertical axis, the flow (bottom axis)
// and the velocity (top axis) against it, each across its own width. The
// axes' figures are the core's round values with its texts; the answers'
// heights are marked with their labels, and their values are in the table
// below.
import { linea, num, polilinea, testo } from './svg.js';

const L = 820;
const A = 380;
const area = { x0: 64, x1: 800, y0: 48, y1: 314 };

export function disegnaGrafico(svg, risultato) {
  svg.setAttribute('viewBox', `0 0 ${L} ${A}`);
  const curva = (risultato.curva ?? []).filter((p) => [p.h, p.v, p.q].every(Number.isFinite));
  if (curva.length < 2) {
    svg.innerHTML = '';
    return;
  }
  const tacche = risultato.tacche ?? {};
  const ultima = (elenco, riserva) => (elenco?.length ? elenco.at(-1).valore : riserva);
  const limiti = risultato.limiti ?? {};
  const massimi = risultato.massimi ?? {};
  const hPiena = ultima(tacche.h, risultato.altezzaPiena || Math.max(...curva.map((p) => p.h)));
  // Each axis runs from zero (or below, where a law gives a negative
  // velocity) to its last round value, past the curve and the limits.
  const minimo = (valori) => Math.min(0, ...valori.filter(Number.isFinite));
  const qMin = minimo(curva.map((p) => p.q));
  const vMin = minimo(curva.map((p) => p.v));
  const qMax = ultima(tacche.q, Math.max(...curva.map((p) => p.q)) * 1.06 || 1);
  const vMax = ultima(tacche.v, Math.max(...curva.map((p) => p.v)) * 1.06 || 1);
  const { x0, x1, y0, y1 } = area;
  const Xq = (q) => x0 + ((q - qMin) / (qMax - qMin)) * (x1 - x0);
  const Xv = (v) => x0 + ((v - vMin) / (vMax - vMin)) * (x1 - x0);
  const Y = (h) => y1 - (h / hPiena) * (y1 - y0);

  let s = '';
  for (const t of tacche.q ?? []) {
    const x = Xq(t.valore);
    s += linea(x, y0, x, y1, 'reticolo') + testo(x, y1 + 13, t.testo, 'class="tacca" text-anchor="middle"');
  }
  // The velocity's zero would sit on the height's last figure.
  for (const t of (tacche.v ?? []).filter((t) => t.valore !== 0)) {
    s += testo(Xv(t.valore), y0 - 4, t.testo, 'class="tacca" text-anchor="middle"');
  }
  for (const t of tacche.h ?? []) {
    const y = Y(t.valore);
    s += linea(x0, y, x1, y, 'reticolo') + testo(x0 - 4, y + 4, t.testo, 'class="tacca" text-anchor="end"');
  }
  s += `<rect x="${x0}" y="${y0}" width="${x1 - x0}" height="${y1 - y0}" class="cornice"/>`;

  // The limits of the checks, named without their values (those are the
  // boxes' own).
  if (Number.isFinite(limiti.riempimentoMassimo)) {
    const y = Y((limiti.riempimentoMassimo / 100) * hPiena);
    s += linea(x0, y, x1, y, 'limite') + testo(x1 - 4, y - 4, 'h/H max', 'class="etichetta-limite" text-anchor="end"');
  }
  for (const [chiave, nome] of [['velocitaMinima', 'Vmin'], ['velocitaMassima', 'Vmax']]) {
    if (!Number.isFinite(limiti[chiave])) continue;
    const x = Xv(limiti[chiave]);
    // A label near the frame's right side goes on the line's left.
    const aSinistra = x > x1 - 40;
    s += linea(x, y0, x, y1, 'limite') +
      testo(aSinistra ? x - 4 : x + 4, y1 - 6, nome, `class="etichetta-limite"${aSinistra ? ' text-anchor="end"' : ''}`);
  }

  s += polilinea(curva.map((p) => [Xq(p.q), Y(p.h)]), 'curva-q');
  s += polilinea(curva.map((p) => [Xv(p.v), Y(p.h)]), 'curva-v');

  // Labels of levels close together are moved apart, not overlapped.
  let ultimaY = Infinity;
  for (const livello of [...(risultato.livelli ?? [])].filter((l) => Number.isFinite(l.h)).sort((a, b) => a.h - b.h)) {
    const y = Y(livello.h);
    s += linea(x0, y, x1, y, livello.minima ? 'livello minimo' : 'livello');
    const yt = Math.min(y - 4, ultimaY - 13);
    s += testo(x0 + 6, yt, livello.etichetta, 'class="etichetta-livello"');
    ultimaY = yt;
  }
  for (const massimo of [massimi.portata, massimi.velocita]) {
    if (!massimo || !Number.isFinite(massimo.h)) continue;
    const x = massimo === massimi.portata ? Xq(massimo.q) : Xv(massimo.v);
    s += `<rect x="${num(x - 4)}" y="${num(Y(massimo.h) - 4)}" width="8" height="8" class="massimo"/>`;
  }

  s += testo((x0 + x1) / 2, y1 + 30, 'Portata Q (l/s)', 'class="asse" text-anchor="middle"');
  s += testo((x0 + x1) / 2, y0 - 20, 'Velocità V (cm/s)', 'class="asse" text-anchor="middle"');
  s += testo(0, 0, 'Altezza h (cm)', `class="asse" text-anchor="middle" transform="translate(${x0 - 34} ${(y0 + y1) / 2}) rotate(-90)"`);

  const ly = A - 14;
  s += linea(70, ly, 110, ly, 'curva-q') + testo(116, ly + 4, 'Portata (asse in basso)', 'class="legenda"');
  s += linea(290, ly, 330, ly, 'curva-v') + testo(336, ly + 4, 'Velocità (asse in alto)', 'class="legenda"');
  s += linea(500, ly, 540, ly, 'livello') + testo(546, ly + 4, 'Altezze di progetto', 'class="legenda"');
  s += `<rect x="676" y="${ly - 4}" width="8" height="8" class="massimo"/>` + testo(690, ly + 4, 'Massimi veri', 'class="legenda"');
  svg.innerHTML = s;
}
