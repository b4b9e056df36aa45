// An editable combo box, like the desktop's: a text box that takes typing,
// with a list to choose from. Choosing calls scelta(index); typing fires the
// box's own input event, as any other box.

export function creaCombo(input, bottone, lista, testi, scelta) {
  let attiva = -1;
  lista.innerHTML = '';
  testi.forEach((testo, i) => {
    const li = document.createElement('li');
    li.textContent = testo;
    li.setAttribute('role', 'option');
    li.addEventListener('mousedown', (e) => {
      e.preventDefault(); // keep the focus in the box
      scegli(i);
    });
    lista.append(li);
  });

  const evidenzia = (i) => {
    attiva = i;
    [...lista.children].forEach((li, k) => li.classList.toggle('attiva', k === i));
  };
  const apri = () => {
    lista.hidden = false;
    input.setAttribute('aria-expanded', 'true');
    evidenzia(testi.indexOf(input.value));
  };
  const chiudi = () => {
    lista.hidden = true;
    input.setAttribute('aria-expanded', 'false');
  };
  function scegli(i) {
    input.value = testi[i];
    chiudi();
    scelta(i);
  }

  bottone.addEventListener('mousedown', (e) => {
    e.preventDefault();
    input.focus();
    if (lista.hidden) apri();
    else chiudi();
  });
  input.addEventListener('blur', chiudi);
  input.addEventListener('keydown', (e) => {
    if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      e.preventDefault();
      if (lista.hidden) return apri();
      const passo = e.key === 'ArrowDown' ? 1 : -1;
      evidenzia((attiva + passo + testi.length) % testi.length);
    } else if (e.key === 'Enter' && !lista.hidden && attiva >= 0) {
      e.preventDefault();
      scegli(attiva);
    } else if (e.key === 'Escape') {
      chiudi();
    }
  });
}
