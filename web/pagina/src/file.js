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

// Resolves with the chosen file's name and text; never, when the user cancels.
export function scegliFile(accetta) {
  return new Promise((risolvi, rifiuta) => {
    const input = document.createElement('input');
    input.type = 'file';
    input.accept = accetta;
    input.addEventListener('change', () => {
      const file = input.files[0];
      if (file) file.text().then((testo) => risolvi({ nome: file.name, testo }), rifiuta);
    });
    input.click();
  });
}
