// run_page.mjs - the page as a user would see it, for scripts/run --web:
// serves the staged site on 127.0.0.1, opens it in headless Chromium and
// saves screenshots; with --serve it then goes on serving for a browser of
// your own, until interrupted.
//
//   node tests/web/run_page.mjs SITE OUT SECONDS SHOTS WxH PORT SERVE [PARAM=VALUE...]
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { launch, open, serve } from './browser.mjs';

const [site, out, seconds, shots, size, port, keep, ...query] = process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
mkdirSync(out, { recursive: true });
const server = await serve([['/', site]], Number(port));
const url = `${server.url}${query.length > 0 ? `?${query.join('&')}` : ''}`;
console.error(`run: the page is at ${url}`);
const browser = await launch();
const page = await open(browser, url, { width, height });
await page.waitForFunction(() => window.gyrewell.frames > 0, null, { timeout: 30000 });
for (let i = 1; i <= Number(shots); ++i) {
  await page.waitForTimeout(Number(seconds) * 1000 / Number(shots));
  await page.screenshot({ path: join(out, `shot-${i}.png`) });
}
const shown = await page.evaluate(() => ({ ...window.gyrewell,
  message: document.getElementById('message').hidden ? '' : document.getElementById('message').textContent }));
console.error(`run: ${shown.frames} frames shown (${shown.blend})${shown.message ? `; the page says: ${shown.message}` : ''}`);
for (const e of page.errors) console.error(`run: page error: ${e}`);
await browser.close();
if (keep === '1') {
  console.error(`run: serving ${server.url} until interrupted (Ctrl-C)`);
  process.on('SIGINT', () => { server.close(); process.exit(0); });
} else {
  server.close();
}
