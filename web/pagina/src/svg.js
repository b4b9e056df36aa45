// Building SVG drawings from strings: one assignment of innerHTML per
// drawing, which is the quickest way to redraw at every keystroke.
import { esc } from './dom.js';

export const num = (x) => (Math.round(x * 100) / 100).toString();

export function testo(x, y, contenuto, attributi = '') {
  return `<text x="${num(x)}" y="${num(y)}" ${attributi}>${esc(contenuto)}</text>`;
}

export function linea(x1, y1, x2, y2, classe) {
  return `<line x1="${num(x1)}" y1="${num(y1)}" x2="${num(x2)}" y2="${num(y2)}" class="${classe}"/>`;
}

export function polilinea(punti, classe) {
  return `<polyline class="${classe}" points="${punti.map(([x, y]) => `${num(x)},${num(y)}`).join(' ')}"/>`;
}
