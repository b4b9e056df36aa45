// The core renders the project's one evaluation: the line stops at the main
// window's γ when it does not read.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { caricaNucleo, collettore } from '../../confronti.mjs';

const { chiama } = await caricaNucleo();

const impostazioni = {
  legge: 'bazin', coefficiente: '0.18', geometria: 'tabellare', velocitaMinima: '50',
  velocitaMassima: '400', riempimentoMassimo: '70', catalogo: '', allineamento: 'cieli',
  ricoprimentoMinimo: '1', profonditaMassima: '', saltoMassimo: '',
};

test('la linea sotto Bazin della tabella si ferma al γ della finestra principale che non si legge', () => {
  const tratti = collettore();
  const buona = chiama('rete', { tratti, pozzetti: [], impostazioni, separatore: 'punto' });
  const casi = [
    { gamma: 'abc', ferma: true },
    { gamma: '', ferma: true },
    { gamma: '-0.18', ferma: true },
    { gamma: '0.18', ferma: false },
    // The list entry as the project names it.
    { gamma: '0.18: Tubaz. Ø >400 mm, acqua limpida', ferma: false },
    // The line's own law needs no γ of the table.
    { gamma: 'abc', legge: 'manning', scabrezza: '0.013', ferma: false },
  ];
  for (const c of casi) {
    const caso = JSON.stringify(c);
    const linea = { tratti, pozzetti: [], impostazioni: { ...impostazioni, coefficiente: c.gamma,
      legge: c.legge ?? 'bazin', scabrezza: c.scabrezza ?? '' } };
    const r = chiama('rete', { ...linea, separatore: 'punto' });
    const esportati = chiama('esportaEsiti', { ...linea, formato: 'csv' });
    if (c.ferma) {
      const casella = `il coefficiente di Bazin della finestra principale («${c.gamma}»)`;
      assert.ok(r.errore.includes(casella), caso);
      assert.ok(r.righe.every((riga) => !riga.celle), caso);
      assert.equal(r.riepilogo, '', caso);
      assert.ok(esportati.errore.includes(casella), caso);
      assert.equal(esportati.testo, '', caso);
    } else {
      assert.equal(r.errore, '', caso);
      assert.equal(esportati.errore, '', caso);
      if (!c.legge) assert.deepEqual(r.righe, buona.righe, caso);
    }
  }
});
