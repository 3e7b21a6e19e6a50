// web_bench.mjs - figures for the browser's module beside the native frame
// step, in one run (scripts/bench --web):
//
//   node bench/web_bench.mjs     with FRAME_BENCH (the bench tree's frame_bench)
//                                and GYREWELL_SITE (the web tree's site/)
//
// The scene of BM_FrameStep at depth 32, 1920 x 1080, 200 sprites on the
// desktop backdrop, scale 1, seed 42, 40 frames in; its desktop (the test
// desktop of 1 x 1 pixels, black beyond) handed in as the page would. Printed,
// in milliseconds per frame:
//   native step      BM_FrameStep/depth:32/width:1920/changed:1/scale:1, measured here
//   module step      compose, convert the changed blocks into the RGBA picture,
//                    move: the same work in the module, with SIMD and without
//   put: bounds / per block / whole   the canvas's share, by each route:
//                    one putImageData of the blocks' bounds, one per block, or
//                    the whole picture
//   whole frame      all of a frame as the page runs it (the route chosen as
//                    the page chooses it)
// Each put figure includes one read of a pixel after the last frame, which
// waits for the canvas to have taken every put.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, open, serve } from '../tests/web/browser.mjs';

const Frames = 400;

function nativeStep() {
  const filter = 'BM_FrameStep/depth:32/width:1920/changed:1/scale:1$';
  const report = JSON.parse(execFileSync(process.env.FRAME_BENCH,
    [`--benchmark_filter=${filter}`, '--benchmark_format=json', '--benchmark_min_time=1'], { encoding: 'utf8' }));
  return report.benchmarks[0].real_time;  // milliseconds: the benchmark's unit
}

// Runs in the page.
async function measure({ module, frames }) {
  const bytes = await (await fetch(`/${module}`)).arrayBuffer();
  const { instance } = await WebAssembly.instantiate(bytes, {});
  const g = instance.exports;
  g._initialize();
  const W = 1920, H = 1080;
  if (g.gyrewell_start(W, H, 1, 200, 1, 42) !== 0) throw new Error('no scene');
  const data = new Uint8ClampedArray(g.memory.buffer, g.gyrewell_picture(), W * H * 4);
  data.fill(0);
  data.set([100, 30, 20, 255], 0);  // the test desktop's one pixel
  g.gyrewell_lay_desktop();
  const canvas = document.createElement('canvas');
  canvas.width = W;
  canvas.height = H;
  document.body.append(canvas);
  const context = canvas.getContext('2d');
  const image = new ImageData(data, W, H);
  const block = (at) => context.putImageData(image, 0, 0, at[0], at[1], at[2], at[3]);
  const put = (route, n) => {
    if (route === 'whole' || n === 1) {
      context.putImageData(image, 0, 0);
    } else if (route === 'bounds') {
      block(new Int32Array(g.memory.buffer, g.gyrewell_bounds(), 4));
    } else {
      const blocks = new Int32Array(g.memory.buffer, g.gyrewell_blocks(), 4 * n);
      for (let i = 0; i < n; ++i) block(blocks.subarray(4 * i, 4 * i + 4));
    }
  };
  const step = () => {
    g.gyrewell_compose();
    const n = g.gyrewell_present();
    g.gyrewell_move();
    return n;
  };
  for (let i = 0; i < 40; ++i) step();
  context.putImageData(image, 0, 0);
  context.getImageData(0, 0, 1, 1);

  let start = performance.now();
  let blocks = 0;
  for (let i = 0; i < frames; ++i) blocks += step();
  const result = { kernel: '', step: (performance.now() - start) / frames, blocks: blocks / frames, put: {} };
  for (const route of ['bounds', 'perBlock', 'whole']) {
    let spent = 0;
    for (let i = 0; i < frames; ++i) {
      g.gyrewell_compose();
      const n = g.gyrewell_present();
      const t = performance.now();
      put(route, n);
      spent += performance.now() - t;
      g.gyrewell_move();
    }
    const t = performance.now();
    context.getImageData(0, 0, 1, 1);
    result.put[route] = (spent + performance.now() - t) / frames;
  }
  const routes = ['bounds', 'perBlock'];
  start = performance.now();
  for (let i = 0; i < frames; ++i) {
    g.gyrewell_compose();
    const n = g.gyrewell_present();
    const route = g.gyrewell_route();
    const t = performance.now();
    put(n > 1 ? routes[route] : 'whole', n);
    if (n > 1) g.gyrewell_route_cost(route, Math.round((performance.now() - t) * 1000));
    g.gyrewell_move();
  }
  context.getImageData(0, 0, 1, 1);
  result.frame = (performance.now() - start) / frames;
  result.chosen = routes[g.gyrewell_route()];
  const name = new Uint8Array(g.memory.buffer, g.gyrewell_blend_kernel());
  result.kernel = new TextDecoder().decode(name.subarray(0, name.indexOf(0)));
  return result;
}

const page = mkdtempSync(join(tmpdir(), 'gyrewell-bench-'));
writeFileSync(join(page, 'index.html'), '<!doctype html><title>bench</title><body style="margin:0">');
const site = await serve([['/', process.env.GYREWELL_SITE], ['/bench/', page]]);
const browser = await launch();
try {
  const native = nativeStep();
  const tab = await open(browser, `${site.url}bench/`, { width: 1920, height: 1080 });
  const figures = [];
  for (const module of ['gyrewell.wasm', 'gyrewell-nosimd.wasm']) {
    figures.push(await tab.evaluate(measure, { module, frames: Frames }));
  }
  const ms = (v) => `${v.toFixed(3)} ms`;
  console.log(`1920 x 1080, 200 sprites, desktop backdrop, ${Frames} frames each; ` +
    `${figures[0].blocks.toFixed(0)} changed blocks a frame`);
  console.log(`native step (BM_FrameStep)   ${ms(native)}`);
  for (const f of figures) {
    console.log(`module step, ${f.kernel.padEnd(8)}     ${ms(f.step)}  (${(f.step / native).toFixed(2)} x native)`);
  }
  const f = figures[0];
  console.log(`put: bounds                  ${ms(f.put.bounds)}`);
  console.log(`put: per block               ${ms(f.put.perBlock)}`);
  console.log(`put: whole picture           ${ms(f.put.whole)}`);
  console.log(`whole frame (${f.chosen} chosen) ${ms(f.frame)}`);
  console.log(`SIMD blend gain              ${ms(figures[1].step - f.step)} a frame ` +
    `(${(figures[1].step / f.step).toFixed(2)} x)`);
} finally {
  await browser.close();
  site.close();
  rmSync(page, { recursive: true, force: true });
}
