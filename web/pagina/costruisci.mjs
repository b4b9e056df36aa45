// Builds the page into dist/web/: the page, its style, the bundled script
// (a classic script, since a page opened from file:// cannot load modules)
// and the core compiled to WebAssembly, which scripts/web builds first.
import { build } from 'esbuild';
import { copyFileSync, existsSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const pagina = dirname(fileURLToPath(import.meta.url));
const radice = join(pagina, '..', '..');
const uscita = join(radice, 'dist', 'web');
const nucleo = join(radice, 'build-web', 'web', 'nucleo.js');

if (!existsSync(nucleo)) {
  console.error(`manca ${nucleo}: costruire prima il nucleo WebAssembly (scripts/web)`);
  process.exit(1);
}

mkdirSync(uscita, { recursive: true });
await build({
  entryPoints: [join(pagina, 'src', 'main.js')],
  outfile: join(uscita, 'pagina.js'),
  bundle: true,
  format: 'iife',
  target: ['chrome100', 'firefox100', 'safari15'],
  minify: true,
  legalComments: 'none',
  logLevel: 'warning',
});
for (const file of ['index.html', 'stile.css']) copyFileSync(join(pagina, file), join(uscita, file));
copyFileSync(nucleo, join(uscita, 'nucleo.js'));
console.log(`pagina costruita in ${uscita}`);
