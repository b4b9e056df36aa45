// The section to scale, with the water at the levels of the answers. The
// outline is four arcs: the invert (radius r/2, centred r/2 above the
// bottom) up to h = r/5, the two sides (radius 3r, centred 2r to the
// opposite side at h = 2r), tangent to it and to the crown (radius r,
// centred at h = 2r).
import { linea, num, testo } from './svg.js';

const S = 90; // drawing units per r

// x and y in units of r, y up from the invert; the SVG's y runs down.
const P = (x, y) => `${num(x * S)} ${num((3 - y) * S)}`;

const CONTORNO = `M ${P(1, 2)} A ${S} ${S} 0 0 0 ${P(-1, 2)}`
  + ` A ${3 * S} ${3 * S} 0 0 0 ${P(-0.4, 0.2)}`
  + ` A ${S / 2} ${S / 2} 0 0 0 ${P(0.4, 0.2)}`
  + ` A ${3 * S} ${3 * S} 0 0 0 ${P(1, 2)} Z`;

// Half the section's width at the height y (units of r).
function semilarghezza(y) {
  if (y <= 0 || y >= 3) return 0;
  if (y < 0.2) return Math.sqrt(0.25 - (y - 0.5) ** 2);
  if (y < 2) return Math.sqrt(9 - (y - 2) ** 2) - 2;
  return Math.sqrt(1 - (y - 2) ** 2);
}

export function disegnaSezione(svg, risultato) {
  svg.setAttribute('viewBox', `${-1.75 * S} ${-0.4 * S} ${3.6 * S} ${3.65 * S}`);
  const raggio = risultato.raggio;
  if (!(raggio > 0)) {
    svg.innerHTML = '';
    return;
  }
  const livelli = (risultato.livelli ?? []).filter((l) => Number.isFinite(l.h));
  let s = '';
  // The water stands at the design level; the dry-weather one is a line.
  const pelo = livelli.find((l) => !l.minima) ?? livelli[0];
  if (pelo) {
    const y = Math.min(Math.max(pelo.h / raggio, 0), 3);
    s += `<clipPath id="sotto-pelo"><rect x="${-2 * S}" y="${num((3 - y) * S)}" width="${4 * S}" height="${num(y * S + 1)}"/></clipPath>`;
    s += `<path d="${CONTORNO}" class="acqua" clip-path="url(#sotto-pelo)"/>`;
  }
  s += linea(0, -0.25 * S, 0, 3.15 * S, 'asse-sezione');
  s += `<path d="${CONTORNO}" class="contorno"/>`;

  // The overall sizes, as the drawing's symbols.
  s += linea(-S, -0.15 * S, S, -0.15 * S, 'quota') + testo(0, -0.22 * S, '2r', 'class="testo-quota" text-anchor="middle"');
  s += linea(-1.45 * S, 0, -1.45 * S, 3 * S, 'quota')
    + testo(0, 0, '3r', `class="testo-quota" text-anchor="middle" transform="translate(${num(-1.53 * S)} ${num(1.5 * S)}) rotate(-90)"`);

  let ultimaY = Infinity;
  for (const livello of [...livelli].sort((a, b) => a.h - b.h)) {
    const y = Math.min(Math.max(livello.h / raggio, 0), 3);
    const Y = (3 - y) * S;
    const w = semilarghezza(y);
    s += linea(-w * S, Y, 1.25 * S, Y, 'pelo');
    s += `<path d="M ${num(1.15 * S)} ${num(Y - 1)} l -5 -8 l 10 0 Z" class="segno-pelo"/>`;
    const yt = Math.min(Y + 4, ultimaY - 12);
    s += testo(1.3 * S, yt, livello.etichetta, 'class="etichetta-livello"');
    ultimaY = yt;
  }
  svg.innerHTML = s;
}
