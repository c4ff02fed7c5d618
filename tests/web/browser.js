// What the browser tests and bench/web_bench share: exporting a game with the
// desktop executable (tests/support/desktop.js runs it and reads its PNG files), a static file server on 127.0.0.1, headless Chromium
// with WebGL 2 on SwiftShader, and waiting on the page's `window.tarnwick`.
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");
const { runTarnwick, decodePng } = require("../support/desktop");

let puppeteer;
try {
  puppeteer = require("puppeteer-core");
} catch (e) {
  throw new Error("puppeteer-core is missing: run `npm ci` in " + __dirname);
}

const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";

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
