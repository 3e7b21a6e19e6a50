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
//   native step      BM_FrameStep/depth:32/width:1920/changed:1/scale:1, measured
//                    here, the fastest of five repetitions
//   module step      compose, convert the changed blocks into the RGBA picture,
//                    move: the same work in the module, with SIMD and without
//                    (the fastest of ten stretches of frames)
//   put: bounds / per block / whole   the canvas's share, by each route:
//                    one putImageData of the blocks' bounds, one per block, or
//                    the whole picture
//   whole frame      all of a frame as the page runs it (the route chosen as
//                    the page chooses it)
// Every figure is the fastest of three rounds, each of the native benchmark
// and both modules in turn. Each put figure includes one read of a pixel after the last frame, which
// waits for the canvas to have taken every put.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, open, serve } from '../tests/web/browser.mjs';

const Frames = 500;
const Rounds = 3;

// The fastest of five repetitions: the machine may be busy with other work,
// which only ever adds time.
function nativeStep() {
  const filter = 'BM_FrameStep/depth:32/width:1920/changed:1/scale:1$';
  const report = JSON.parse(execFileSync(process.env.FRAME_BENCH, [`--benchmark_filter=${filter}`,
    '--benchmark_format=json', '--benchmark_min_time=0.3', '--benchmark_repetitions=5'], { encoding: 'utf8' }));
  const runs = report.benchmarks.filter((b) => b.run_type === 'iteration');
  return Math.min(...runs.map((b) => b.real_time));  // milliseconds: the benchmark's unit
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

  // The step as the fastest of ten stretches, as the native figure is the
  // fastest of its repetitions.
  let blocks = 0, fastest = Infinity;
  for (let stretch = 0; stretch < 10; ++stretch) {
    const begin = performance.now();
    for (let i = 0; i < frames / 10; ++i) blocks += step();
    fastest = Math.min(fastest, (performance.now() - begin) / (frames / 10));
  }
  const result = { kernel: '', step: fastest, blocks: blocks / frames, put: {} };
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
  const start = performance.now();
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
  // Rounds of each, the fastest kept: on a shared machine a figure taken once
  // may carry another program's load that the other figure did not.
  const tab = await open(browser, `${site.url}bench/`, { width: 1920, height: 1080 });
  let native = Infinity;
  const figures = [];
  for (let round = 0; round < Rounds; ++round) {
    native = Math.min(native, nativeStep());
    for (const [i, module] of ['gyrewell.wasm', 'gyrewell-nosimd.wasm'].entries()) {
      const f = await tab.evaluate(measure, { module, frames: Frames });
      if (figures[i] === undefined) {
        figures[i] = f;
      } else {
        figures[i].step = Math.min(figures[i].step, f.step);
        figures[i].frame = Math.min(figures[i].frame, f.frame);
        for (const route in f.put) figures[i].put[route] = Math.min(figures[i].put[route], f.put[route]);
      }
    }
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
