// browser.mjs - what the web tests, scripts/run --web and the benchmark share:
// a static server on 127.0.0.1 and Debian's Chromium, headless, driven over
// CDP by playwright-core (no browser of its own is downloaded).
//
//   const site = await serve([['/', siteDir], ['/test/', testDir]]);  // site.url, site.close()
//   const browser = await launch();
//   const page = await open(browser, site.url + '?frames=40', { width, height, scale });
//
// The server answers GET only, for files under its folders (no listing, no
// path out of them), with the types a browser needs for the page.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { chromium } from 'playwright-core';

const Types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.json': 'application/json',
};

// mounts: [prefix, folder] pairs, the longest prefix first wins.
export function serve(mounts, port = 0) {
  const sorted = [...mounts].sort((a, b) => b[0].length - a[0].length);
  const server = createServer(async (request, response) => {
    let path = '';
    try {
      path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
      path = '';  // not a path: answered 404 below
    }
    const mount = path ? sorted.find(([prefix]) => path.startsWith(prefix)) : undefined;
    const relative = mount ? normalize(path.slice(mount[0].length) || 'index.html') : '';
    if (request.method !== 'GET' || !mount || relative.startsWith('..') || relative.includes(`${sep}..`)) {
      response.writeHead(404).end();
      return;
    }
    const file = join(mount[1], relative.endsWith(sep) ? `${relative}index.html` : relative);
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': Types[extname(file)] ?? 'application/octet-stream' }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => {
    server.listen(port, '127.0.0.1', () => {
      resolve({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() });
    });
  });
}

// Without the background services Chromium would try to reach the network.
export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--disable-renderer-backgrounding',
      '--disable-background-timer-throttling'],
  });
}

// A page of width x height CSS pixels at the device scale factor scale.
export async function open(browser, url, { width, height, scale = 1 }) {
  const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: scale });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(url);
  page.errors = errors;
  return page;
}

// The canvas as PNG bytes, exactly its pixels (all of them opaque).
export async function canvasPng(page) {
  const url = await page.evaluate(() => document.getElementById('saver').toDataURL('image/png'));
  return Buffer.from(url.slice(url.indexOf(',') + 1), 'base64');
}
