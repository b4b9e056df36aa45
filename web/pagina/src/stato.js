// The page's state. The open project is the state: every box reads from it
// and writes into it, so saving sends back the very object that was opened,
// fields this page does not edit included.

export const stato = {
  nucleo: null,
  voci: null,
  separatore: 'punto',
  progetto: null,
  nomeFile: 'progetto.sezione',
};

// The project names the chosen coefficient by the list entry's text; any
// other text is one the user typed.
export function voceScelta() {
  const testo = stato.progetto.ingressi.coefficiente ?? '';
  return stato.voci.coefficienti.findIndex((voce) => voce.testo === testo);
}

export function ingressiTabella() {
  const i = stato.progetto.ingressi;
  return {
    raggio: i.raggio ?? '',
    pendenza: i.pendenza ?? '',
    incremento: i.incremento ?? '',
    coefficiente: i.coefficiente ?? '',
    voce: voceScelta(),
    separatore: stato.separatore,
  };
}

export function ingressiRisposte() {
  const v = stato.progetto.verifiche;
  return {
    ...ingressiTabella(),
    portata: v.portataProgetto ?? '',
    portataMinima: v.portataMinima ?? '',
    velocita: v.velocitaProgetto ?? '',
    velocitaMinima: v.velocitaMinima ?? '',
    velocitaMassima: v.velocitaMassima ?? '',
    riempimentoMassimo: v.riempimentoMassimo ?? '',
    legge: v.legge || 'bazin',
    scabrezza: v.scabrezza ?? '',
    temperatura: v.temperatura ?? '',
    geometria: v.geometria || 'tabellare',
  };
}

export function ingressiRete() {
  const { progetto: p } = stato;
  const r = ingressiRisposte();
  return {
    tratti: p.tratti.map((t) => t.celle),
    pozzetti: p.pozzetti.map((z) => ({
      nome: z.nome ?? '', terreno: z.terreno ?? '', nota: z.nota ?? '', allineamento: z.allineamento ?? '',
    })),
    deroghe: p.deroghe ?? [],
    impostazioni: {
      legge: r.legge,
      scabrezza: r.scabrezza,
      // The water's: a line or a reach under Colebrook–White takes it.
      temperatura: r.temperatura,
      // The main window's γ box as it holds it: the core reads it as the
      // window does, for the reaches under Bazin of the table.
      coefficiente: p.ingressi.coefficiente ?? '',
      geometria: r.geometria,
      velocitaMinima: r.velocitaMinima,
      velocitaMassima: r.velocitaMassima,
      riempimentoMassimo: r.riempimentoMassimo,
      catalogo: p.catalogo ?? '',
      allineamento: p.rete.allineamento || 'cieli',
      ricoprimentoMinimo: p.rete.ricoprimentoMinimo ?? '',
      profonditaMassima: p.rete.profonditaMassima ?? '',
      saltoMassimo: p.rete.saltoMassimo ?? '',
    },
    separatore: stato.separatore,
  };
}

// A new reach or manhole, in the shape the project keeps them.
export const trattoVuoto = () => ({ celle: Array(13).fill('') });
export const pozzettoVuoto = () => ({ nome: '', terreno: '', nota: '', allineamento: '' });
