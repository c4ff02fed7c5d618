// What the browser and Windows tests share about the desktop executable:
// running it, reading the PNG files it writes, and comparing another build's
// picture of a game with its own.
"use strict";

const childProcess = require("child_process");
const zlib = require("zlib");

// Probe pixels of each example's third frame.
const EXAMPLE_PROBES = {
  // The sparks fly out from the sun's centre at 480,290.
  demo: [[5, 5], [450, 310], [648, 285], [175, 445], [890, 60], [100, 97]],
  arcade: [[5, 5], [240, 330], [21, 25], [26, 30]],
  postprocess: [[5, 5], [240, 80], [350, 170], [130, 200]],
  lit3d: [[5, 5], [240, 340], [160, 200], [330, 200]],
  platformer: [[5, 5], [100, 310], [100, 340], [200, 318], [200, 340], [56, 288], [296, 140], [24, 304]],
  physics: [[5, 5], [335, 224], [345, 124], [370, 240], [220, 330], [240, 352]],
};

// Runs the desktop executable; its output and exit status, never throwing.
function runTarnwick(tarnwick, args, env = {}) {
  const run = childProcess.spawnSync(tarnwick, args, {
    encoding: "utf8",
    env: { ...process.env, SDL_AUDIODRIVER: "dummy", ...env },
    timeout: 120000,
  });
  return { status: run.status, out: (run.stdout || "") + (run.stderr || "") };
}

// Decodes an 8-bit, non-interlaced RGB or RGBA PNG: {width, height, rgba}.
function decodePng(bytes) {
  if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error("not a PNG file");
  let offset = 8, width = 0, height = 0, colourType = 0;
  const data = [];
  while (offset < bytes.length) {
    const length = bytes.readUInt32BE(offset);
    const type = bytes.toString("latin1", offset + 4, offset + 8);
    const body = bytes.subarray(offset + 8, offset + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      colourType = body[9];
      if (body[8] !== 8 || (colourType !== 2 && colourType !== 6) || body[12] !== 0)
        throw new Error("only 8-bit non-interlaced RGB and RGBA PNG files are read");
    } else if (type === "IDAT") {
      data.push(body);
    } else if (type === "IEND") {
      break;
    }
    offset += 12 + length;
  }
  const channels = colourType === 6 ? 4 : 3;
  const stride = width * channels;
  const raw = zlib.inflateSync(Buffer.concat(data));
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = up[i];
      const c = i >= channels ? up[i - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      } else if (filter !== 0) throw new Error("bad PNG row filter " + filter);
      out[i] = (line[i] + predicted) & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; i++) {
    for (let k = 0; k < channels; k++) rgba[i * 4 + k] = pixels[i * channels + k];
    if (channels === 3) rgba[i * 4 + 3] = 255;
  }
  return {
    width,
    height,
    rgba,
    at(x, y) {
      const i = (y * width + x) * 4;
      return [rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]];
    },
  };
}

// How far apart two pictures of one size are: the largest channel difference
// at each probe, the mean channel difference, the share of differing pixels.
function compare(other, desktop, probes) {
  const probeDiffs = probes.map(([x, y]) => {
    const a = other.at(x, y), b = desktop.at(x, y);
    return { x, y, diff: Math.max(...a.map((v, k) => Math.abs(v - b[k]))), other: a, desktop: b };
  });
  let total = 0, differing = 0;
  for (let i = 0; i < other.rgba.length; i += 4) {
    let most = 0;
    for (let k = 0; k < 4; k++) {
      const d = Math.abs(other.rgba[i + k] - desktop.rgba[i + k]);
      total += d;
      most = Math.max(most, d);
    }
    if (most > 16) differing++;
  }
  const pixels = other.width * other.height;
  return { probeDiffs, mean: total / (pixels * 4), share: differing / pixels };
}

// A harness's command line, `run.js TARNWICK RUNTIME_DIR [TEST...]`, run on
// an X display for the desktop runs: {tarnwick, runtime, only}, or exits 2.
function harnessArguments(usage) {
  const [tarnwick, runtime, ...only] = process.argv.slice(2);
  if (!tarnwick || !runtime) {
    console.error("usage: " + usage);
    process.exit(2);
  }
  if (!process.env.DISPLAY) {
    console.error("run.js: no X display for the desktop runs; run it under scripts/on-xvfb.sh");
    process.exit(2);
  }
  return { tarnwick, runtime, only };
}

// Runs the tests whose names hold one of the words in `only` (all when none)
// one after another with `t`, one line each: how many ran and failed.
async function runEach(tests, only, t) {
  let failed = 0, ran = 0;
  for (const test of tests) {
    if (only.length && !only.some((word) => test.name.includes(word))) continue;
    ran++;
    const start = Date.now();
    try {
      const detail = await test.run(t);
      console.log("ok   " + test.name + " (" + ((Date.now() - start) / 1000).toFixed(1) + " s): " + detail);
    } catch (error) {
      failed++;
      console.log("FAIL " + test.name + ": " + (error && error.message ? error.message : error));
    }
  }
  return { ran, failed };
}

module.exports = { EXAMPLE_PROBES, runTarnwick, decodePng, compare, harnessArguments, runEach };
