// web_test.mjs - the browser front end in headless Chromium, one case a run:
//
//   node web_test.mjs CASE
//     frames-black    641 x 401 (an odd size), black backdrop, count 50
//     frames-desktop  640 x 400 over a picture handed in by desktop=URL, count=500
//                     (out of range: the default 100), with the SIMD module
//     frames-nosimd   the same with the module without SIMD (simd=0)
//     frames-scale2   a device pixel ratio of 2: an 800 x 600 canvas drawn at scale 2
//     live            no frames=N: the picture changes, at 30 frames a second or more
//     bad-picture     desktop=URL of a file that is no picture: the page says so, and
//                     the saver goes on
//     too-large       a window wider than the module draws: the page says so and
//                     draws half as wide, enlarged
//     behaviour       a click goes full screen and a key leaves it; a resize builds
//                     the scene at the new size; the panel's settings outlive a reload
//
// A frames case runs frames=40 with a fixed seed and compares the canvas, read
// back, with tools/render_frames' 40th frame at 32 bits for the same size,
// seed, count, backdrop, scale and desktop picture: every pixel must be the
// same (tools/picture_probe same). The pictures go to $WEB_TEST_OUT/CASE.
//
// Environment: GYREWELL_SITE (the staged site), RENDER_FRAMES, PICTURE_PROBE,
// WEB_TEST_OUT. Exit status 0 when the case holds, 1 with the reason when not.
import { execFileSync } from 'node:child_process';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { deflateSync } from 'node:zlib';
import { canvasPng, launch, open, serve } from './browser.mjs';

const Frames = 40;
const which = process.argv[2];
const out = join(process.env.WEB_TEST_OUT ?? 'web-test-out', which ?? 'none');

function fail(why) {
  console.error(`web_test ${which}: FAIL: ${why}`);
  process.exitCode = 1;
}

// ---- a desktop picture: PNG, 8-bit RGB, no colour chunks ---------------------

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xFFFFFFFF;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xFF] ^ (c >>> 8);
  return (c ^ 0xFFFFFFFF) >>> 0;
}
function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, crc]);
}
// Gradients in every channel and a grid: every part of a frame is recognisable.
function desktopPng(width, height) {
  const rows = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const at = y * (width * 3 + 1) + 1 + x * 3;
      const grid = x % 32 === 0 || y % 32 === 0;
      rows[at] = grid ? 20 : (x * 255 / width) | 0;
      rows[at + 1] = grid ? 20 : (y * 255 / height) | 0;
      rows[at + 2] = grid ? 230 : (x ^ y) & 255;
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', header),
    chunk('IDAT', deflateSync(rows)), chunk('IEND', Buffer.alloc(0))]);
}

// ---- the cases -----------------------------------------------------------------

// css: the page's size in CSS pixels at device scale dpr; device: the canvas's.
const FrameCases = {
  'frames-black': { css: [641, 401], dpr: 1, query: 'backdrop=black&count=50&seed=7', count: 50, mode: 2, seed: 7 },
  'frames-desktop': { css: [640, 400], dpr: 1, query: 'count=500&seed=11&desktop=/test/desktop.png', count: 500,
    mode: 1, seed: 11, desktop: true, blend: 'wasm128' },
  'frames-nosimd': { css: [640, 400], dpr: 1, query: 'simd=0&seed=11&desktop=/test/desktop.png', count: 100,
    mode: 1, seed: 11, desktop: true, blend: 'scalar' },
  'frames-scale2': { css: [400, 300], dpr: 2, query: 'count=200&seed=5&desktop=/test/desktop.png', count: 200,
    mode: 1, seed: 5, desktop: true, scale: 2 },
};

async function framesCase(browser, site, c) {
  const [width, height] = [c.css[0] * c.dpr, c.css[1] * c.dpr];
  if (c.desktop) writeFileSync(join(out, 'desktop.png'), desktopPng(width, height));
  const page = await open(browser, `${site.url}?frames=${Frames}&${c.query}`,
    { width: c.css[0], height: c.css[1], scale: c.dpr });
  await page.waitForFunction(() => document.title.startsWith('gyrewell:'), null, { timeout: 60000 });
  const title = await page.title();
  if (title !== `gyrewell: ${Frames} frames shown`) return fail(`the title is "${title}"`);
  const shown = await page.evaluate(() => ({ ...window.gyrewell, message: document.getElementById('message').hidden
    ? '' : document.getElementById('message').textContent }));
  if (shown.message) return fail(`the page says "${shown.message}"`);
  if (c.blend && shown.blend !== c.blend) return fail(`the blend runs as ${shown.blend}, not ${c.blend}`);
  writeFileSync(join(out, 'shown.png'), await canvasPng(page));
  const expected = join(out, 'expected');
  mkdirSync(expected, { recursive: true });
  execFileSync(process.env.RENDER_FRAMES, ['--depth', '32', '--size', `${width}x${height}`, '--count', String(c.count),
    '--mode', String(c.mode), '--seed', String(c.seed), '--scale', String(c.scale ?? 1), '--frames', String(Frames),
    ...(c.desktop ? ['--desktop', join(out, 'desktop.png')] : []), expected]);
  const verdict = execFileSync(process.env.PICTURE_PROBE,
    ['same', join(expected, `frame_${String(Frames).padStart(4, '0')}.png`), join(out, 'shown.png')]).toString().trim();
  if (verdict !== 'differing=0 first=-1,-1') return fail(`against render_frames: ${verdict}`);
  if (page.errors.length > 0) return fail(page.errors.join('; '));
  console.log(`web_test ${which}: ${width}x${height} canvas equals render_frames' frame ${Frames} (${shown.blend})`);
}

// The frames the page has shown over a second, best of three; and whether
// the picture changed meanwhile.
async function liveCase(browser, site) {
  const page = await open(browser, `${site.url}?seed=3&count=200`, { width: 800, height: 600 });
  await page.waitForFunction(() => window.gyrewell.frames > 10, null, { timeout: 30000 });
  const before = await canvasPng(page);
  let best = 0;
  for (let i = 0; i < 3 && best < 30; ++i) {
    const rate = await page.evaluate(() => new Promise((done) => {
      const start = window.gyrewell.frames, t0 = performance.now();
      setTimeout(() => done((window.gyrewell.frames - start) * 1000 / (performance.now() - t0)), 1000);
    }));
    best = Math.max(best, rate);
  }
  const after = await canvasPng(page);
  writeFileSync(join(out, 'before.png'), before);
  writeFileSync(join(out, 'after.png'), after);
  if (before.equals(after)) return fail('the picture did not change');
  if (best < 30) return fail(`${best.toFixed(1)} frames a second`);
  if (page.errors.length > 0) return fail(page.errors.join('; '));
  console.log(`web_test ${which}: ${best.toFixed(1)} frames a second, the picture changes`);
}

async function badPictureCase(browser, site) {
  writeFileSync(join(out, 'not-a-picture.png'), 'this is text, not a PNG\n');
  const page = await open(browser, `${site.url}?desktop=/test/not-a-picture.png`, { width: 640, height: 400 });
  await page.waitForFunction(() => !document.getElementById('message').hidden, null, { timeout: 30000 });
  const message = await page.textContent('#message');
  if (!/is not a picture/.test(message)) return fail(`the message is "${message}"`);
  const start = await page.evaluate(() => window.gyrewell.frames);
  await page.waitForTimeout(500);
  const later = await page.evaluate(() => window.gyrewell.frames);
  if (later <= start) return fail('the saver stopped after the bad picture');
  if (page.errors.length > 0) return fail(page.errors.join('; '));
  console.log(`web_test ${which}: "${message}", and the saver goes on`);
}

async function tooLargeCase(browser, site) {
  const page = await open(browser, `${site.url}?count=20`, { width: 16500, height: 40 });
  await page.waitForFunction(() => !document.getElementById('message').hidden, null, { timeout: 30000 });
  const message = await page.textContent('#message');
  if (!/more than the saver can draw/.test(message)) return fail(`the message is "${message}"`);
  const size = await page.evaluate(() => [document.getElementById('saver').width, window.gyrewell.frames]);
  if (size[0] !== 8250) return fail(`the canvas is ${size[0]} pixels wide, not 8250`);
  await page.waitForFunction((n) => window.gyrewell.frames > n, size[1], { timeout: 10000 });
  if (page.errors.length > 0) return fail(page.errors.join('; '));
  console.log(`web_test ${which}: "${message}", and the saver goes on`);
}

async function behaviourCase(browser, site) {
  const page = await open(browser, `${site.url}?seed=1`, { width: 640, height: 400 });
  await page.waitForFunction(() => window.gyrewell.frames > 0, null, { timeout: 30000 });
  const fullscreen = () => page.evaluate(() => document.fullscreenElement !== null);
  await page.mouse.click(200, 300);
  await page.waitForFunction(() => document.fullscreenElement !== null, null, { timeout: 5000 })
    .catch(() => fail('a click on the picture did not go full screen'));
  await page.keyboard.press('a');
  await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 })
    .catch(() => fail('a key in full screen did not leave it'));
  if (await fullscreen()) return;
  await page.setViewportSize({ width: 500, height: 300 });
  await page.waitForFunction(() => document.getElementById('saver').width === 500 &&
    document.getElementById('saver').height === 300, null, { timeout: 5000 })
    .catch(() => fail('the canvas did not follow the resize'));
  await page.fill('#count', '37');
  await page.dispatchEvent('#count', 'change');
  await page.check('#backdrop-black');
  await page.reload();
  await page.waitForFunction(() => window.gyrewell.frames > 0, null, { timeout: 30000 });
  const kept = await page.evaluate(() => [document.getElementById('count').value,
    document.getElementById('backdrop-black').checked]);
  if (kept[0] !== '37' || kept[1] !== true) return fail(`after a reload the settings are ${kept}`);
  if (page.errors.length > 0) return fail(page.errors.join('; '));
  if (!process.exitCode) console.log(`web_test ${which}: full screen on a click, out on a key; resize; settings kept`);
}

const Cases = { live: liveCase, 'bad-picture': badPictureCase, 'too-large': tooLargeCase, behaviour: behaviourCase };

async function main() {
  if (!(which in FrameCases) && !(which in Cases)) {
    console.error(`usage: node web_test.mjs ${[...Object.keys(FrameCases), ...Object.keys(Cases)].join('|')}`);
    process.exitCode = 2;
    return;
  }
  rmSync(out, { recursive: true, force: true });
  mkdirSync(out, { recursive: true });
  const site = await serve([['/', process.env.GYREWELL_SITE], ['/test/', out]]);
  const browser = await launch();
  try {
    if (which in FrameCases) await framesCase(browser, site, FrameCases[which]);
    else await Cases[which](browser, site);
  } catch (e) {
    fail(e.stack ?? String(e));
  } finally {
    await browser.close();
    site.close();
  }
}

await main();
