// The core renders the project's one evaluation: the line stops at the main
// window's γ when it does not read, the printout's conclusion is the
// report's, and names keep their points under the decimal comma.
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

test('la conclusione della stampa è quella della relazione, con il suo giudizio', () => {
  const nuovo = chiama('nuovoProgetto', {}).progetto;
  const casi = [
    {
      nome: 'un salto oltre il massimo: un pozzetto di salto previsto',
      tratti: collettore((k, c) => { if (k === 8) c[5] = '97'; }), saltoMassimo: '0.5',
      idonea: true,
      conclusioni: ["Verificati tutti i 10 tratti e tutti i pozzetti: le verifiche sono soddisfatte e l'opera è idonea."],
      provvedimenti: { titolo: 'Previsto 1 pozzetto di salto:', voci: [/^P8: salto di \d+\.\d\d m > 0\.50 m$/] },
    },
    {
      nome: 'la sezione tipo regge, un tratto no',
      tratti: collettore((k, c) => { if (k === 4) c[4] = '0.0002'; }), portata: '100', sezioneTipo: 'si',
      idonea: false,
      conclusioni: [/^Esito della sezione tipo: 3 verifiche soddisfatte su 3\.$/,
        "Verificati 9 tratti su 10 e tutti i pozzetti. L'opera non è idonea così com'è."],
      conteggi: { titolo: 'Elementi non verificati, per controllo:',
        voci: ['dimensionamento dal catalogo: 1 tratto', 'velocità di autopulizia: 1 tratto'] },
      // The remedy on the reach's first row, the slopes it would pass within at its size.
      mancanze: [
        ['tratto P4-P5', 'dimensionamento dal catalogo', /^nessun raggio del catalogo rispetta tutti i limiti.*r = 30 cm/, 'pendenze da 0.00231 a 0.122 m/m'],
        ['tratto P4-P5', 'velocità di autopulizia', 'alla portata di progetto: 35.98 cm/s < 50 cm/s', ''],
        ['tratto P4-P5', 'velocità di autopulizia', 'alla portata minima: 20.69 cm/s < 50 cm/s', '']],
    },
    {
      nome: 'il γ della finestra principale illeggibile',
      tratti: collettore(), gamma: 'abc', idonea: false,
      conclusioni: [/non si legge il coefficiente di Bazin della finestra principale \(«abc»\).*L'opera non è idonea così com'è\.$/],
    },
    {
      nome: 'la sola sezione, verificata',
      tratti: [], portata: '100', idonea: true,
      conclusioni: ['Conclusione: tutte le verifiche sono soddisfatte; la sezione è idonea alle portate di progetto.'],
    },
    {
      nome: 'la sola sezione, senza valori di progetto',
      tratti: [], idonea: null,
      conclusioni: ['Conclusione: la relazione riporta la scala di deflusso della sezione, senza verifiche.'],
    },
  ];
  for (const c of casi) {
    const p = structuredClone(nuovo);
    p.tratti = c.tratti.map((celle) => ({ celle, altre: [] }));
    p.rete.saltoMassimo = c.saltoMassimo ?? '';
    p.dati.sezioneTipo = c.sezioneTipo ?? '';
    p.verifiche.portataProgetto = c.portata ?? '';
    p.ingressi.coefficiente = c.gamma ?? p.ingressi.coefficiente;
    const r = chiama('conclusione', { progetto: p, separatore: 'punto' });
    assert.equal(r.errore, '', c.nome);
    assert.equal(r.idonea, c.idonea, c.nome);
    const confronta = (avuti, attesi, dove) => {
      assert.equal(avuti.length, attesi.length, dove);
      attesi.forEach((atteso, i) => (atteso instanceof RegExp
        ? assert.match(avuti[i], atteso, dove) : assert.equal(avuti[i], atteso, dove)));
    };
    confronta(r.conclusioni, c.conclusioni, c.nome);
    // What the verdict does not enumerate: the failures, counted and tabled, and the provisions.
    for (const elenco of ['conteggi', 'provvedimenti']) {
      confronta(r[elenco].voci, c[elenco]?.voci ?? [], `${c.nome}, ${elenco}`);
      if (c[elenco]) assert.equal(r[elenco].titolo, c[elenco].titolo, c.nome);
    }
    assert.equal(r.mancanze.righe.length, (c.mancanze ?? []).length, `${c.nome}, mancanze`);
    (c.mancanze ?? []).forEach((riga, k) => confronta(r.mancanze.righe[k], riga, `${c.nome}, mancanza ${k}`));
    assert.deepEqual(r.deroghe.voci, [], c.nome);
  }
});

test('i nomi restano come scritti anche con la virgola decimale', () => {
  // T1.2 starts above T1.1's end at P1.2: a fault that names both.
  const tratti = [['T1.1', 'P1.1', 'P1.2', '50', '0.005', '100', '', '30', '50', '', '', ''],
    ['T1.2', 'P1.2', 'P1.3', '60', '0.005', '99.9', '', '', '50', '', '', '']];
  const pozzetti = [{ nome: 'P1.1', terreno: '102', nota: '' }, { nome: 'P1.2', terreno: '102', nota: '' }];
  const r = chiama('rete', { tratti, pozzetti, impostazioni, separatore: 'virgola' });
  const p = chiama('nuovoProgetto', {}).progetto;
  p.tratti = tratti.map((celle) => ({ celle, altre: [] }));
  p.pozzetti = pozzetti.map((z) => ({ ...z, altre: [] }));
  const mancanze = chiama('conclusione', { progetto: p, separatore: 'virgola' }).mancanze.righe;
  const casi = [
    { dove: 'i tratti', testi: r.righe.map((riga) => riga.celle.slice(0, 3)).flat(),
      attesi: ['T1.1', 'P1.1', 'P1.2', 'T1.2', 'P1.2', 'P1.3'] },
    { dove: 'i pozzetti', testi: r.pozzetti.map((z) => z.celle[0]), attesi: ['P1.1', 'P1.2', 'P1.3'] },
    { dove: 'il motivo del tratto', testi: [r.righe[1].motivo], contiene: ['«P1.2»', '«T1.1», 99,75 m'] },
    { dove: 'il difetto del pozzetto', testi: [r.pozzetti[1].difetti], contiene: ['«T1.2», 99,90 m', '«T1.1»'] },
    { dove: 'la conclusione', testi: [mancanze.flat().join('\n')], contiene: ['tratto T1.2\ncontropendenza al pozzetto\nal pozzetto «P1.2»', '99,90 m > 99,75 m di «T1.1»'] },
  ];
  for (const c of casi) {
    if (c.attesi) assert.deepEqual(c.testi, c.attesi, c.dove);
    for (const parte of c.contiene ?? []) assert.ok(c.testi[0].includes(parte), `${c.dove}: ${c.testi[0]}`);
  }
});
