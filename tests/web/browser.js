// What the browser tests and bench/web_bench share: exporting a game with the
// desktop executable, a static file server on 127.0.0.1, headless Chromium
// with WebGL 2 on SwiftShader, waiting on the page's `window.tarnwick`, and
// reading PNG files.
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");
const zlib = require("zlib");

let puppeteer;
try {
  puppeteer = require("puppeteer-core");
} catch (e) {
  throw new Error("puppeteer-core is missing: run `npm ci` in " + __dirname);
}

const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";

// Runs the desktop executable; its output and exit status, never throwing.
function runTarnwick(tarnwick, args, env = {}) {
  const run = childProcess.spawnSync(tarnwick, args, {
    encoding: "utf8",
    env: { ...process.env, SDL_AUDIODRIVER: "dummy", ...env },
    timeout: 120000,
  });
  return { status: run.status, out: (run.stdout || "") + (run.stderr || "") };
}

// `tarnwick --export-web GAME_DIR OUT_DIR` with the given runtime folder.
function exportGame(tarnwick, runtime, gameDir, outDir) {
  const run = runTarnwick(tarnwick, ["--export-web", gameDir, outDir], {
    TARNWICK_WEB_RUNTIME: runtime,
  });
  if (run.status !== 0) throw new Error("--export-web " + gameDir + " failed:\n" + run.out);
}

const MIME = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".zip": "application/zip",
  ".png": "image/png",
  ".json": "application/json",
};

// Serves the files under `root` on 127.0.0.1 (a free port); only GET and
// HEAD, and nothing outside the folder.
function serve(root) {
  const base = path.resolve(root);
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, "http://127.0.0.1");
    let file;
    try {
      file = path.resolve(base, "." + decodeURIComponent(url.pathname));
    } catch (e) {
      file = null;
    }
    if (file && file !== base && !file.startsWith(base + path.sep)) file = null;
    if (file && fs.existsSync(file) && fs.statSync(file).isDirectory())
      file = path.join(file, "index.html");
    if (!file || (request.method !== "GET" && request.method !== "HEAD") || !fs.existsSync(file)) {
      response.writeHead(404, { "Content-Type": "text/plain" });
      response.end("not found\n");
      return;
    }
    const body = fs.readFileSync(file);
    response.writeHead(200, {
      "Content-Type": MIME[path.extname(file)] || "application/octet-stream",
      "Content-Length": body.length,
      "Cache-Control": "no-store",
    });
    response.end(request.method === "HEAD" ? undefined : body);
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => {
      resolve({
        url: "http://127.0.0.1:" + server.address().port,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

// Headless Chromium with a fresh profile; WebGL 2 comes from SwiftShader
// through ANGLE, so no GPU or display is needed. close() removes the profile.
// `extraArgs` are more command-line switches.
async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "tarnwick-chromium."));
  const args = [
    "--use-gl=angle",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-quic",
    "--disable-background-timer-throttling",
    "--disable-renderer-backgrounding",
    "--window-size=800,600",
    ...extraArgs,
  ];
  if (process.getuid && process.getuid() === 0) args.push("--no-sandbox");
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args,
    defaultViewport: { width: 800, height: 600 },
    // A bench scene's frames are awaited inside one evaluate call.
    protocolTimeout: 600000,
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A new page at `url`, its console messages collected in page.consoleLines
// ({type, text}); `beforeLoad`, a function, runs in the page before its scripts.
async function open(browser, url, beforeLoad) {
  const page = await browser.newPage();
  page.consoleLines = [];
  page.on("console", (message) => page.consoleLines.push({ type: message.type(), text: message.text() }));
  page.on("pageerror", (error) => page.consoleLines.push({ type: "pageerror", text: String(error) }));
  if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
  await page.goto(url, { waitUntil: "load" });
  return page;
}

// Polls `test` (run in the page, given `arg`) until it returns something truthy,
// and returns that. Fails at once on an uncaught exception in the page, or an
// error the runtime reported (unless `allowErrors`), and after `timeoutMs`.
async function waitFor(page, what, test, arg, { timeoutMs = 60000, allowErrors = false } = {}) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const [value, errors] = await page.evaluate(
      (source, arg) => [new Function("return (" + source + ")")()(arg),
                        (window.tarnwick && window.tarnwick.errors) || []],
      test.toString(), arg);
    if (value) return value;
    const thrown = (page.consoleLines || []).filter((line) => line.type === "pageerror");
    const failed = thrown.length ? "an exception in the page: " + thrown[0].text
                 : errors.length && !allowErrors ? "errors on the page: " + errors.join(" | ")
                 : Date.now() > end ? "timed out" : null;
    if (failed) {
      const log = await page.evaluate(() => ((window.tarnwick && window.tarnwick.log) || []).slice(-15));
      throw new Error(failed + " (waiting for " + what + "); the log's last lines: " + log.join(" | "));
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The run's end (its exit status), for a page loaded with ?frames=N.
async function waitForEnd(page, options) {
  await waitFor(page, "the run's end", () => window.tarnwick && window.tarnwick.ended, null, options);
  return page.evaluate(() => window.tarnwick.status);
}

// Whether the page's canvas can have a WebGL 2 context at all.
function hasWebGL2(page) {
  return page.evaluate(() => !!document.createElement("canvas").getContext("webgl2"));
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

function decodeDataUrl(url) {
  return decodePng(Buffer.from(url.slice(url.indexOf(",") + 1), "base64"));
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

module.exports = {
  runTarnwick, exportGame, serve, launch, open, waitFor, waitForEnd, hasWebGL2,
  decodePng, decodeDataUrl, median,
};
