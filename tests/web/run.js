#!/usr/bin/env node
// The browser tests: games exported with `tarnwick --export-web` and played by
// headless Chromium. The examples draw what the desktop build draws, the last
// picture stays after the run, math.random draws the desktop's numbers, a key
// press reaches the game, a save survives a reload, and script errors reach
// the console and the page's error panel.
//
//   scripts/on-xvfb.sh node tests/web/run.js TARNWICK WEB_RUNTIME_DIR [TEST...]
//
// The X display is for the desktop runs the examples are compared with. One
// line per test; the exit status is 0 only when every test passed.
"use strict";

const fs = require("fs");
const os = require("os");
const path = require("path");
const web = require("./browser");
const { compare, EXAMPLE_PROBES, harnessArguments, runEach } = require("../support/desktop");

const ROOT = path.resolve(__dirname, "../..");


// The most the browser's picture may differ from the desktop's: in any channel
// at a probe, in the mean over every channel of every pixel, and in the share of
// pixels off by more than 16 in some channel. SwiftShader and llvmpipe round
// edges and blends a little differently: measured, at most 1 at a probe, a
// mean of 0.21 (the platformer's) and 0.02 % of the pixels (the postprocess
// example's).
const LIMITS = { probe: 3, mean: 0.5, share: 0.005 };

function writeGame(folder, mainLua) {
  fs.mkdirSync(folder, { recursive: true });
  fs.writeFileSync(path.join(folder, "main.lua"), mainLua);
  return folder;
}

function exampleTest(name, probes) {
  return {
    name: "example " + name + " draws as on the desktop",
    async run(t) {
      const source = path.join(ROOT, "examples", name);
      const shot = path.join(t.work, name + "-desktop.png");
      const desktop = web.runTarnwick(t.tarnwick, ["--windowed", "--frames", "3", "--fixed-dt", "16",
                                                  "--screenshot", shot, source]);
      if (desktop.status !== 0) throw new Error("the desktop run failed:\n" + desktop.out);
      const page = await t.play(source, name, "?frames=3&fixed-dt=16&screenshot=1");
      const status = await web.waitForEnd(page);
      const state = await web.waitFor(page, "the screenshot", () =>
        window.tarnwick.screenshot && { shot: window.tarnwick.screenshot, errors: window.tarnwick.errors });
      await page.close();
      if (status !== 0) throw new Error("the run ended with status " + status);
      if (state.errors.length) throw new Error("errors: " + state.errors.join(" | "));
      const inBrowser = web.decodeDataUrl(state.shot);
      const onDesktop = web.decodePng(fs.readFileSync(shot));
      fs.writeFileSync(path.join(t.work, name + "-browser.png"), Buffer.from(state.shot.split(",")[1], "base64"));
      if (inBrowser.width !== onDesktop.width || inBrowser.height !== onDesktop.height)
        throw new Error("sizes differ: " + inBrowser.width + "x" + inBrowser.height + " in the browser, " +
                        onDesktop.width + "x" + onDesktop.height + " on the desktop");
      const seen = compare(inBrowser, onDesktop, probes);
      const worst = Math.max(...seen.probeDiffs.map((p) => p.diff));
      const figures = "probes differ by at most " + worst + ", mean difference " + seen.mean.toFixed(3) +
                      ", " + (100 * seen.share).toFixed(2) + "% of pixels off by more than 16";
      const bad = seen.probeDiffs.filter((p) => p.diff > LIMITS.probe)
        .map((p) => p.x + "," + p.y + ": " + p.browser + " in the browser, " + p.desktop + " on the desktop");
      if (bad.length || seen.mean > LIMITS.mean || seen.share > LIMITS.share)
        throw new Error(figures + (bad.length ? "; " + bad.join("; ") : ""));
      return figures;
    },
  };
}

const TESTS = [
  ...Object.entries(EXAMPLE_PROBES).map(([name, probes]) => exampleTest(name, probes)),

  {
    name: "the last picture stays when the run ends",
    async run(t) {
      // Ended by the frame count, and by the game itself.
      const seen = [];
      for (const [name, query, quit] of [["frames-end", "?frames=3&fixed-dt=16", ""],
                                          ["quit-end", "", "  if frame == 3 then app.quit() end\n"]]) {
        const game = writeGame(path.join(t.work, name),
          "config = { width = 64, height = 48 }\n" +
          "clearColor = { red = 0, green = 1, blue = 0 }\n" +
          "world = { camera = {} }\n" +
          "local frame = 0\nfunction update()\n  frame = frame + 1\n" + quit + "end\n");
        const page = await t.play(game, name, query);
        const status = await web.waitForEnd(page);
        // A few of the browser's frames after the end, in which nothing draws.
        await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 300)));
        const size = await page.evaluate(() => {
          const canvas = document.getElementById("canvas");
          return [canvas.width, canvas.height];
        });
        const shown = size[0] > 0 && size[1] > 0 &&
          web.decodePng(await (await page.$("#canvas")).screenshot({ type: "png" }));
        await page.close();
        if (status !== 0) throw new Error(name + ": the run ended with status " + status);
        if (size.join("x") !== "64x48") throw new Error(name + ": the canvas is " + size.join("x") + " after the end");
        const centre = shown.at(shown.width >> 1, shown.height >> 1);
        if (centre[0] > 16 || centre[1] < 239 || centre[2] > 16)
          throw new Error(name + ": the canvas shows " + centre + " after the end, not the game's green");
        seen.push(name + " " + size.join("x"));
      }
      return seen.join(", ") + ", green";
    },
  },

  {
    name: "math.random draws the desktop's numbers from a seed",
    async run(t) {
      // The three forms of the call in turn; tests/core/random_test.cpp pins the
      // desktop's numbers to the generator's reference output.
      const game = writeGame(path.join(t.work, "random"),
        "config = { width = 64, height = 48 }\n" +
        "world = { camera = {} }\n" +
        "for i = 1, 1000 do\n" +
        "  local k = i % 3\n" +
        "  local v = k == 1 and math.random() or k == 2 and math.random(6) or math.random(-1000, 1000)\n" +
        "  print(string.format('number %.17g', v))\n" +
        "end\n");
      const desktop = web.runTarnwick(t.tarnwick, ["--windowed", "--frames", "1", "--seed", "42", game]);
      if (desktop.status !== 0) throw new Error("the desktop run failed:\n" + desktop.out);
      const expected = desktop.out.split("\n").filter((line) => line.startsWith("number "));
      const page = await t.play(game, "random", "?frames=1&seed=42");
      const status = await web.waitForEnd(page);
      const log = await page.evaluate(() => window.tarnwick.log.slice());
      await page.close();
      if (status !== 0) throw new Error("the run ended with status " + status);
      if (!log.includes("Random seed 42")) throw new Error("no seed line: " + log.slice(0, 5).join(" | "));
      const drawn = log.filter((line) => line.startsWith("number "));
      if (expected.length !== 1000) throw new Error("the desktop printed " + expected.length + " numbers");
      const first = expected.findIndex((line, i) => line !== drawn[i]);
      if (first >= 0 || drawn.length !== 1000)
        throw new Error("number " + (first + 1) + ": " + drawn[first] + " on the page, " + expected[first] +
                        " on the desktop (" + drawn.length + " drawn)");
      return "1000 numbers alike, the first " + expected[0].slice(7);
    },
  },

  {
    name: "a key pressed in the page reaches onKeyboardEvent",
    async run(t) {
      const game = writeGame(path.join(t.work, "keys"),
        "config = { width = 64, height = 48 }\n" +
        "world = { camera = {} }\n" +
        "function onKeyboardEvent(pressed, key, isRepeat)\n" +
        "  print('key ' .. key .. ' ' .. tostring(pressed) .. ' ' .. tostring(isRepeat))\n" +
        "end\n");
      const page = await t.play(game, "keys", "");
      await web.waitFor(page, "running frames", () => window.tarnwick.frameMs.length > 2);
      await page.keyboard.press("KeyA");
      await page.keyboard.press("ArrowLeft");
      const expected = ["key 97 true false", "key 97 false false", "key 1073741904 true false",
                        "key 1073741904 false false"];
      await web.waitFor(page, "the key lines",
        (lines) => lines.every((line) => window.tarnwick.log.includes(line)), expected, { timeoutMs: 20000 });
      const log = await page.evaluate(() => window.tarnwick.log.filter((l) => l.startsWith("key ")));
      await page.close();
      if (log.join("|") !== expected.join("|")) throw new Error("key lines: " + log.join(" | "));
      return log.length + " key events, in order";
    },
  },

  {
    name: "a save survives a reload of the page",
    async run(t) {
      // Every byte value, so that text handling anywhere on the way shows.
      const game = writeGame(path.join(t.work, "saves"),
        "config = { width = 64, height = 48 }\n" +
        "world = { camera = {} }\n" +
        "local bytes = {}\n" +
        "for i = 0, 255 do bytes[#bytes + 1] = string.char(i) end\n" +
        "local data = table.concat(bytes):rep(16)\n" +
        "local stored = saves.read('progress')\n" +
        "if stored then\n" +
        "  print('read ' .. #stored .. ' ' .. (stored == data and 'same' or 'different'))\n" +
        "else\n" +
        "  saves.write('progress', data)\n" +
        "  print('wrote ' .. #data)\n" +
        "end\n");
      const page = await t.play(game, "saves", "");
      await web.waitFor(page, "the save stored", () => window.tarnwick.saved > 0);
      const first = await page.evaluate(() => window.tarnwick.log.slice());
      if (!first.includes("wrote 4096")) throw new Error("the first run said: " + first.join(" | "));
      await page.reload({ waitUntil: "load" });
      const line = await web.waitFor(page, "the save read back",
        () => window.tarnwick && window.tarnwick.log.find((l) => l.startsWith("read ") || l.startsWith("wrote ")));
      await page.close();
      if (line !== "read 4096 same") throw new Error("after the reload: " + line);
      return line;
    },
  },

  {
    name: "script errors reach the console and the error panel",
    async run(t) {
      // One error in a callback while the game runs, one that stops main.lua.
      const cases = [
        ["update-error", "config = { width = 64, height = 48 }\nworld = { camera = {} }\n" +
         "local frame = 0\nfunction update(dt)\n  frame = frame + 1\n" +
         "  if frame == 3 then error('broken on purpose') end\nend\n", "broken on purpose"],
        ["load-error", "config = { width = 64, height = 48 }\nworld = { camera = {} }\n" +
         "local answer = nothing.here\n", "nothing"],
      ];
      const seen = [];
      for (const [name, main, marker] of cases) {
        const archive = path.join(t.work, name);
        writeGame(archive, main);
        const page = await t.play(archive, name, "?frames=10&fixed-dt=16");
        const panel = await web.waitFor(page, "the error panel", (marker) => {
          const errors = document.getElementById("errors");
          return errors.textContent.includes(marker) &&
                 { text: errors.textContent, shown: getComputedStyle(errors).display !== "none" };
        }, marker, { timeoutMs: 20000, allowErrors: true });
        const consoleError = page.consoleLines.find((l) => l.type === "error" && l.text.includes(marker));
        await page.close();
        if (!panel.shown) throw new Error(name + ": the panel holds the error but is hidden");
        if (!consoleError) throw new Error(name + ": no console error names it");
        seen.push(panel.text.trim().split("\n")[0]);
      }
      return seen.join(" / ");
    },
  },
];

async function main() {
  const { tarnwick, runtime, only } = harnessArguments("node tests/web/run.js TARNWICK WEB_RUNTIME_DIR [TEST...]");
  const started = Date.now();
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "tarnwick-web-tests."));
  const site = path.join(work, "site");
  fs.mkdirSync(site);
  const server = await web.serve(site);
  const browser = await web.launch();
  let failed = 0, ran = 0;
  try {
    const probe = await browser.newPage();
    if (!(await web.hasWebGL2(probe))) throw new Error("Chromium offers no WebGL 2 here");
    await probe.close();
    const t = {
      tarnwick: path.resolve(tarnwick),
      runtime: path.resolve(runtime),
      work,
      // Exports the game under the site as NAME and opens its page.
      async play(gameDir, name, query) {
        web.exportGame(this.tarnwick, this.runtime, gameDir, path.join(site, name));
        return web.open(browser, server.url + "/" + name + "/index.html" + query);
      },
    };
    ({ ran, failed } = await runEach(TESTS, only, t));
  } finally {
    await browser.close();
    await server.close();
    if (failed === 0) fs.rmSync(work, { recursive: true, force: true });
    else console.log("pictures and games kept in " + work);
  }
  console.log((ran - failed) + " of " + ran + " browser tests passed in " +
              ((Date.now() - started) / 1000).toFixed(1) + " s");
  process.exit(failed === 0 && ran > 0 ? 0 : 1);
}

main().catch((error) => {
  console.error("run.js: " + (error && error.stack ? error.stack : error));
  process.exit(1);
});
