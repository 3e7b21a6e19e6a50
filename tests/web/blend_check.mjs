// blend_check.mjs - runs blend_check.wasm (blend_check.cpp says what it checks).
//   node blend_check.mjs BLEND_CHECK.wasm
import { readFileSync } from 'node:fs';

const { instance } = await WebAssembly.instantiate(readFileSync(process.argv[2]), {});
const g = instance.exports;
g._initialize();
const name = new Uint8Array(g.memory.buffer, g.blend_kernel());
const kernel = new TextDecoder().decode(name.subarray(0, name.indexOf(0)));
const differing = g.blend_check();
if (kernel !== 'wasm128') {
  console.error(`blend_check: FAIL: the blend runs as ${kernel}, not the SIMD rows`);
  process.exitCode = 1;
} else if (differing !== 0) {
  console.error(`blend_check: FAIL: ${differing} rows differ from the scalar blend`);
  process.exitCode = 1;
} else {
  console.log('blend_check: the WebAssembly SIMD blend writes the scalar bytes');
}
