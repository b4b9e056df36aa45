// The rating curves: the height on the vertical axis, the flow (bottom axis)
// and the velocity (top axis) against it, each across its own width. The
// axes carry no figures of their own, since every figure on the page is the
// core's: the answers' heights are marked with their labels, and the values
// are in the table below.
import { linea, num, polilinea, testo } from './svg.js';

const L = 820;
const A = 380;
const area = { x0: 44, x1: 800, y0: 44, y1: 318 };

export function disegnaGrafico(svg, risultato) {
  svg.setAttribute('viewBox', `0 0 ${L} ${A}`);
  const curva = (risultato.curva ?? []).filter((p) => [p.h, p.v, p.q].every(Number.isFinite));
  if (curva.length < 2) {
    svg.innerHTML = '';
    return;
  }
  const hPiena = risultato.altezzaPiena || Math.max(...curva.map((p) => p.h));
  const limiti = risultato.limiti ?? {};
  const massimi = risultato.massimi ?? {};
  // Each axis spans its curve, and the velocity's also its limits, so that
  // their lines fall inside the frame.
  const estremi = (valori) => {
    const finiti = valori.filter(Number.isFinite);
    return [Math.min(0, ...finiti), Math.max(...finiti) * 1.06 || 1];
  };
  const [qMin, qMax] = estremi([...curva.map((p) => p.q), massimi.portata?.q]);
  const [vMin, vMax] = estremi([...curva.map((p) => p.v), massimi.velocita?.v, limiti.velocitaMinima, limiti.velocitaMassima]);
  const { x0, x1, y0, y1 } = area;
  const Xq = (q) => x0 + ((q - qMin) / (qMax - qMin)) * (x1 - x0);
  const Xv = (v) => x0 + ((v - vMin) / (vMax - vMin)) * (x1 - x0);
  const Y = (h) => y1 - (h / hPiena) * (y1 - y0);

  let s = '';
  for (let k = 1; k < 10; k++) {
    const x = x0 + (k / 10) * (x1 - x0);
    s += linea(x, y0, x, y1, 'reticolo');
  }
  for (let k = 1; k < 6; k++) {
    const y = y1 - (k / 6) * (y1 - y0);
    s += linea(x0, y, x1, y, 'reticolo');
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
    s += linea(x, y0, x, y1, 'limite') + testo(x + 4, y1 - 6, nome, 'class="etichetta-limite"');
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

  const assi = risultato.assi ?? {};
  s += testo((x0 + x1) / 2, y1 + 22, assi.q ?? 'Portata Q (l/s)', 'class="asse" text-anchor="middle"');
  s += testo((x0 + x1) / 2, y0 - 10, assi.v ?? 'Velocità V (cm/s)', 'class="asse" text-anchor="middle"');
  s += testo(0, 0, assi.h ?? 'Altezza h (cm)', `class="asse" text-anchor="middle" transform="translate(${x0 - 14} ${(y0 + y1) / 2}) rotate(-90)"`);

  const ly = A - 14;
  s += linea(70, ly, 110, ly, 'curva-q') + testo(116, ly + 4, 'Portata (asse in basso)', 'class="legenda"');
  s += linea(290, ly, 330, ly, 'curva-v') + testo(336, ly + 4, 'Velocità (asse in alto)', 'class="legenda"');
  s += linea(500, ly, 540, ly, 'livello') + testo(546, ly + 4, 'Altezze di progetto', 'class="legenda"');
  s += `<rect x="676" y="${ly - 4}" width="8" height="8" class="massimo"/>` + testo(690, ly + 4, 'Massimi veri', 'class="legenda"');
  svg.innerHTML = s;
}
