// Files in and out of a page that has no server: downloads made from the
// core's texts, and files read through the browser's picker.

// The text is written as the core gives it: an Italian CSV already starts
// with its BOM, and a Blob of a string is UTF-8.
export function scarica(nome, testo, tipo = 'text/plain') {
  const url = URL.createObjectURL(new Blob([testo], { type: `${tipo};charset=utf-8` }));
  const a = document.createElement('a');
  a.href = url;
  a.download = nome;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// Resolves with the chosen file's name and text, or why it is no text;
// never, when the user cancels. A text that is not UTF-8 is refused, or
// read as Windows-1252 where `windows1252` (old spreadsheets write their
// CSV so): the browser would otherwise put replacement marks in it, and
// a project saved back would keep them.
export function scegliFile(accetta, { windows1252 = false } = {}) {
  return new Promise((risolvi, rifiuta) => {
    const input = document.createElement('input');
    input.type = 'file';
    input.accept = accetta;
    input.addEventListener('change', () => {
      const file = input.files[0];
      if (!file) return;
      file.arrayBuffer().then((byte) => risolvi({ nome: file.name, ...testoDi(byte, windows1252) }), rifiuta);
    });
    input.click();
  });
}

function testoDi(byte, windows1252) {
  let testo;
  try {
    testo = new TextDecoder('utf-8', { fatal: true }).decode(byte);
  } catch {
    if (!windows1252) return { errore: 'il testo non è in UTF-8' };
    testo = new TextDecoder('windows-1252').decode(byte);
  }
  if (testo.includes('\0')) return { errore: 'il file contiene un carattere nullo: non è un testo' };
  return { testo };
}
