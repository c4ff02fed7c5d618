#!/usr/bin/env node
// The Windows tests: games bundled with `tarnwick --bundle --target windows`
// and run under Wine on the X display (Mesa's llvmpipe, as the desktop uses).
// Every example draws what the desktop build draws; a save survives to the
// next run and a run killed while saving leaves a whole save; the arcade's
// sounds reach SDL's disk driver; a bad archive and a missing main.lua end
// as on the desktop; a game in a folder with a non-ASCII name runs; and an
// installed framework bundles a game that needs nothing of this machine.
//
//   scripts/on-xvfb.sh node tests/windows/run.js TARNWICK WINDOWS_RUNTIME_DIR [TEST...]
//
// One line per test; the exit status is 0 only when every test passed.
"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { EXAMPLE_PROBES, runTarnwick, decodePng, compare, harnessArguments, runEach } = require("../support/desktop");

const ROOT = path.resolve(__dirname, "../..");

// Wine's llvmpipe is the desktop's own driver: measured, the pictures are
// equal but for rounding at a few edges.
const LIMITS = { probe: 1, share: 0.001 };

// What a Windows program may import besides the DLLs its bundle carries.
const SYSTEM_DLLS = new Set([
  "kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "winmm.dll", "shell32.dll",
  "advapi32.dll", "imm32.dll", "version.dll", "setupapi.dll", "ole32.dll", "oleaut32.dll",
  "msvcrt.dll", "ws2_32.dll", "comdlg32.dll", "dinput8.dll", "dxgi.dll", "hid.dll", "shlwapi.dll",
  "cfgmgr32.dll",
]);

function writeGame(folder, mainLua) {
  fs.mkdirSync(folder, { recursive: true });
  fs.writeFileSync(path.join(folder, "main.lua"), mainLua);
  return folder;
}

// The Wine side: its own prefix, quiet, without the Mono and Gecko installers.
function wineEnv(prefix, extra = {}) {
  return { ...process.env, WINEPREFIX: prefix, WINEDEBUG: "-all", WINEDLLOVERRIDES: "mscoree,mshtml=",
           SDL_AUDIODRIVER: "dummy", ...extra };
}

// Runs a Windows program under Wine in `cwd`: its exit status, and its log
// (standard output; Wine's own lines go to standard error, kept apart).
function runWine(t, program, args, { cwd = t.work, env = {}, timeoutMs = 180000 } = {}) {
  const run = childProcess.spawnSync("wine", [program, ...args], {
    cwd, encoding: "utf8", env: wineEnv(t.prefix, env), timeout: timeoutMs,
  });
  return { status: run.status, out: (run.stdout || "").replace(/\r\n/g, "\n"), err: run.stderr || "" };
}

// The Unix path of a Windows one, as Wine maps it.
function unixPath(t, windowsPath) {
  const run = childProcess.spawnSync("winepath", ["-u", windowsPath], { encoding: "utf8", env: wineEnv(t.prefix) });
  return (run.stdout || "").trim();
}

// `tarnwick --bundle --target windows GAME_DIR OUT_DIR` with the runtime under test.
function bundle(t, gameDir, outDir) {
  const run = runTarnwick(t.tarnwick, ["--bundle", "--target", "windows", gameDir, outDir],
                          { TARNWICK_WINDOWS_RUNTIME: t.runtime });
  if (run.status !== 0) throw new Error("--bundle --target windows " + gameDir + " failed:\n" + run.out);
  return path.join(outDir, path.basename(gameDir) + ".exe");
}

// Runs `program` (a bundled example) for three frames and compares its
// picture with the desktop build's: the figures, or an error.
function drawsAsDesktop(t, name, program, shotName) {
  const frameArgs = ["--windowed", "--frames", "3", "--fixed-dt", "16", "--screenshot"];
  const desktopShot = path.join(t.work, name + "-desktop.png");
  if (!fs.existsSync(desktopShot)) {
    const desktop = runTarnwick(t.tarnwick, [...frameArgs, desktopShot, path.join(ROOT, "examples", name)]);
    if (desktop.status !== 0) throw new Error("the desktop run failed:\n" + desktop.out);
  }
  const windows = runWine(t, program, [...frameArgs, shotName]);
  if (windows.status !== 0) throw new Error("the Windows run ended with " + windows.status + ":\n" + windows.out);
  if (/Lua error|Error/.test(windows.out)) throw new Error("errors in the log:\n" + windows.out);
  const seen = compare(decodePng(fs.readFileSync(path.join(t.work, shotName))),
                       decodePng(fs.readFileSync(desktopShot)), EXAMPLE_PROBES[name]);
  const worst = Math.max(...seen.probeDiffs.map((p) => p.diff));
  const figures = "probes differ by at most " + worst + ", " + (100 * seen.share).toFixed(3) +
                  "% of pixels off by more than 16";
  const bad = seen.probeDiffs.filter((p) => p.diff > LIMITS.probe)
    .map((p) => p.x + "," + p.y + ": " + p.other + " on Windows, " + p.desktop + " on the desktop");
  if (bad.length || seen.share > LIMITS.share) throw new Error(figures + (bad.length ? "; " + bad.join("; ") : ""));
  return figures;
}

function exampleTest(name) {
  return {
    name: "example " + name + " draws as on the desktop",
    run(t) {
      const program = bundle(t, path.join(ROOT, "examples", name), path.join(t.work, "bundles", name));
      return drawsAsDesktop(t, name, program, name + "-windows.png");
    },
  };
}

// The DLL names a PE file imports, as objdump lists them.
function importedDlls(file) {
  const run = childProcess.spawnSync("x86_64-w64-mingw32-objdump", ["-p", file], { encoding: "utf8", maxBuffer: 1 << 26 });
  if (run.status !== 0) throw new Error("objdump -p " + file + " failed: " + run.stderr);
  return [...run.stdout.matchAll(/DLL Name: (\S+)/g)].map((m) => m[1]);
}

// A game that writes the save "state" in frame 1 from what it read (or
// "none"), and prints what it read. A kill while it writes is the other test.
const SAVE_GAME =
  "config = { width = 64, height = 48, identity = 'spiel-\u00e4' }\n" +
  "world = { camera = {} }\n" +
  "local text = ''\nfor i = 0, 255 do text = text .. string.char(i) end\n" +
  "local before = saves.read('stand-\u00e9.dat')\n" +
  "print('read ' .. (before == nil and 'none' or before == text and 'all bytes' or ('other ' .. #before)))\n" +
  "saves.write('stand-\u00e9.dat', text)\n" +
  "print('folder ' .. saves.path())\n";

const TESTS = [
  ...Object.keys(EXAMPLE_PROBES).map(exampleTest),

  {
    name: "a save survives to the next run, in a folder with a non-ASCII name",
    run(t) {
      // The game folder, its image and its save all have non-ASCII names.
      const game = writeGame(path.join(t.work, "Spiel \u00e4\u00f6\u00fc \u65e5\u672c"), SAVE_GAME +
        "world.picture = { texture = 'gr\u00fcn', x = 32, y = 24 }\n");
      fs.mkdirSync(path.join(game, "assets", "textures"), { recursive: true });
      fs.copyFileSync(path.join(ROOT, "examples/platformer/assets/textures/coin.png"), path.join(game, "assets/textures/gr\u00fcn.png"));
      const reads = [];
      for (let run = 0; run < 2; run++) {
        const result = runWine(t, t.exe, ["--windowed", "--frames", "2", game]);
        if (result.status !== 0 || /error|Failed/i.test(result.out))
          throw new Error("run " + (run + 1) + " ended with " + result.status + ":\n" + result.out);
        reads.push((result.out.match(/^read (.*)$/m) || [])[1]);
        t.saveFolder = (result.out.match(/^folder (.*)$/m) || [])[1];
      }
      if (reads.join(", ") !== "none, all bytes") throw new Error("the runs read: " + reads.join(", "));
      if (!/[\\/]AppData[\\/]Roaming[\\/]tarnwick[\\/]spiel-\u00e4$/.test(t.saveFolder || ""))
        throw new Error("the save folder is " + t.saveFolder);
      return "read none, then all 256 byte values, in " + t.saveFolder;
    },
  },

  {
    name: "a run killed while saving leaves the old or the new save whole",
    async run(t) {
      // Each frame writes a 4 MiB save of one letter, the next letter each time.
      const game = writeGame(path.join(t.work, "killed"),
        "config = { width = 64, height = 48, identity = 'killed' }\n" +
        "world = { camera = {} }\n" +
        "local frame = 0\n" +
        "function update()\n" +
        "  frame = frame + 1\n" +
        "  saves.write('big', string.rep(string.char(65 + frame % 26), 4 * 1024 * 1024))\n" +
        "  if frame == 3 then print('folder ' .. saves.path()) end\n" +
        "end\n");
      const outcomes = [];
      for (const delayMs of [700, 1300, 1900]) {
        const child = childProcess.spawn("wine", [t.exe, "--windowed", game], {
          cwd: t.work, env: wineEnv(t.prefix), stdio: ["ignore", "pipe", "ignore"],
        });
        let out = "";
        child.stdout.on("data", (chunk) => { out += chunk; });
        const folder = await new Promise((resolve, reject) => {
          const timer = setTimeout(() => reject(new Error("no save was written:\n" + out)), 120000);
          child.stdout.on("data", () => {
            const found = out.match(/^folder (.*?)\r?$/m);
            if (found) { clearTimeout(timer); resolve(found[1]); }
          });
        });
        await new Promise((resolve) => setTimeout(resolve, delayMs));
        child.kill("SIGKILL");
        await new Promise((resolve) => child.on("close", resolve));
        const save = fs.readFileSync(path.join(unixPath(t, folder), "big"));
        const letter = save[0];
        if (save.length !== 4 * 1024 * 1024 || !save.every((b) => b === letter))
          throw new Error("after a kill at " + delayMs + " ms the save is " + save.length + " bytes, not one letter");
        outcomes.push(String.fromCharCode(letter));
      }
      childProcess.spawnSync("wineserver", ["-k"], { env: wineEnv(t.prefix) });
      return "three kills, each save whole (" + outcomes.join(", ") + ")";
    },
  },

  {
    name: "without a console the log goes to a file beside the saves",
    run(t) {
      const game = writeGame(path.join(t.work, "quiet"),
        "config = { width = 64, height = 48 }\nworld = { camera = {} }\nprint('the game speaks')\n");
      const program = bundle(t, game, path.join(t.work, "bundles", "quiet"));
      // Started by the shell, as from Explorer: no standard output or error
      // and no console. (A closed descriptor is not that under Wine: it hands
      // the program whichever file took its number.)
      const run = childProcess.spawnSync("wine", ["start", "/wait", "/unix", program, "--windowed", "--frames", "2"],
        { cwd: t.work, env: wineEnv(t.prefix), timeout: 180000 });
      const log = path.join(unixPath(t, "C:\\"), "users", os.userInfo().username, "AppData/Roaming/tarnwick/quiet.log");
      const text = fs.existsSync(log) ? fs.readFileSync(log, "utf8") : "";
      if (run.status !== 0 || !text.includes("the game speaks\n") || text.includes("\r"))
        throw new Error("the run ended with " + run.status + "; " + log + " holds:\n" + text);
      return "quiet.log holds the game's lines, without CR";
    },
  },

  {
    name: "the arcade's sounds reach SDL's disk driver",
    run(t) {
      const program = bundle(t, path.join(ROOT, "examples/arcade"), path.join(t.work, "bundles", "arcade-sound"));
      // The disk driver writes at the pace of real time, and a few frames can
      // end before the round's start sound is mixed: 600 frames are some seconds.
      const result = runWine(t, program, ["--windowed", "--frames", "600"], {
        env: { SDL_AUDIODRIVER: "disk", SDL_DISKAUDIOFILE: "arcade.raw" },
      });
      if (result.status !== 0) throw new Error("the run ended with " + result.status + ":\n" + result.out);
      const bytes = fs.readFileSync(path.join(t.work, "arcade.raw"));
      let peak = 0;
      for (let i = 0; i + 2 <= bytes.length; i += 2) peak = Math.max(peak, Math.abs(bytes.readInt16LE(i)));
      if (peak <= 1000) throw new Error("the written samples peak at " + peak + " (" + bytes.length + " bytes)");
      return bytes.length + " bytes of samples, peak " + peak;
    },
  },

  {
    name: "a bad archive and a missing main.lua end as on the desktop",
    run(t) {
      fs.writeFileSync(path.join(t.work, "bad.zip"), "this is not a zip archive");
      fs.mkdirSync(path.join(t.work, "empty"), { recursive: true });
      const seen = [];
      for (const game of ["bad.zip", "empty"]) {
        const desktop = childProcess.spawnSync(t.tarnwick, ["--windowed", game],
          { cwd: t.work, encoding: "utf8", env: { ...process.env, SDL_AUDIODRIVER: "dummy" } });
        const windows = runWine(t, t.exe, ["--windowed", game]);
        // The same lines but for the seed, and for a drive before the paths
        // of the Windows run. Wine's own lines on standard error are not ours.
        const lines = (text) => text.replace(/\r/g, "").replace(/Z:\//g, "/").split("\n")
          .filter((line) => line && !line.startsWith("Random seed"));
        const desktopLines = lines(desktop.stdout + desktop.stderr);
        const windowsLines = lines(windows.out + windows.err).filter((line) => desktopLines.includes(line));
        if (windows.status !== desktop.status || windowsLines.join("\n") !== desktopLines.join("\n"))
          throw new Error(game + ": the desktop ended with " + desktop.status + " saying\n" + desktopLines.join("\n") +
                          "\nWindows ended with " + windows.status + " saying\n" + windows.out + windows.err);
        seen.push(game + " " + desktop.status);
      }
      return seen.join(", ") + ", the same lines";
    },
  },

  {
    name: "an installed framework bundles a game that needs nothing of this machine",
    run(t) {
      // Installed with the runtime under test, then used without naming it.
      const prefix = path.join(t.work, "installed");
      const install = childProcess.spawnSync("cmake", ["--install", path.dirname(t.tarnwick), "--prefix", prefix],
        { encoding: "utf8", env: { ...process.env, TARNWICK_WINDOWS_RUNTIME: t.runtime } });
      if (install.status !== 0) throw new Error("cmake --install failed:\n" + install.stdout + install.stderr);
      const folder = path.join(t.work, "bundles", "platformer-installed");
      const env = { ...process.env, SDL_AUDIODRIVER: "dummy" };
      delete env.TARNWICK_WINDOWS_RUNTIME;
      const made = childProcess.spawnSync(path.join(prefix, "bin", "tarnwick"),
        ["--bundle", "--target", "windows", path.join(ROOT, "examples/platformer"), folder], { encoding: "utf8", env });
      if (made.status !== 0) throw new Error("the installed --bundle --target windows failed:\n" + made.stdout + made.stderr);
      const figures = drawsAsDesktop(t, "platformer", path.join(folder, "platformer.exe"), "platformer-installed.png");
      const files = fs.readdirSync(folder);
      const present = new Set(files.map((f) => f.toLowerCase()));
      // Names of this machine that a build could leak: the source and build
      // folders, the home folder (the dependency cache), the folders of the
      // compiler and of installed files.
      const machinePaths = [ROOT, path.dirname(t.runtime), os.homedir(), "/usr/lib", "/usr/local",
                            "/usr/x86_64-w64-mingw32", "/usr/share/tarnwick"];
      for (const file of files) {
        const bytes = fs.readFileSync(path.join(folder, file));
        for (const name of machinePaths)
          if (bytes.includes(name)) throw new Error(file + " names " + name);
        if (!/\.(exe|dll)$/i.test(file)) throw new Error("the bundle holds " + file + ", neither program nor DLL");
        for (const dll of importedDlls(path.join(folder, file)))
          if (!SYSTEM_DLLS.has(dll.toLowerCase()) && !present.has(dll.toLowerCase()))
            throw new Error(file + " imports " + dll + ", neither a system DLL nor in the bundle");
      }
      const size = files.reduce((sum, f) => sum + fs.statSync(path.join(folder, f)).size, 0);
      return files.length + " files, " + (size / 1048576).toFixed(1) + " MiB: " + files.join(", ") + "; " + figures;
    },
  },
];

async function main() {
  const { tarnwick, runtime, only } = harnessArguments("node tests/windows/run.js TARNWICK WINDOWS_RUNTIME_DIR [TEST...]");
  const started = Date.now();
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "tarnwick-windows-tests."));
  const t = {
    tarnwick: path.resolve(tarnwick),
    runtime: path.resolve(runtime),
    exe: path.resolve(runtime, "tarnwick.exe"),
    work,
    prefix: path.join(work, "wineprefix"),
  };
  // The prefix is made once for all the tests (wineboot takes some 15 s).
  const boot = childProcess.spawnSync("wineboot", ["-i"], { env: wineEnv(t.prefix), encoding: "utf8", timeout: 300000 });
  if (boot.status !== 0) {
    console.error("run.js: wineboot failed (" + boot.status + "): " + boot.stderr);
    process.exit(1);
  }
  const { ran, failed } = await runEach(TESTS, only, t);
  childProcess.spawnSync("wineserver", ["-k"], { env: wineEnv(t.prefix) });
  if (failed === 0) fs.rmSync(work, { recursive: true, force: true });
  else console.log("pictures, bundles and the Wine prefix kept in " + work);
  console.log((ran - failed) + " of " + ran + " Windows tests passed in " +
              ((Date.now() - started) / 1000).toFixed(1) + " s (verified under Wine 8)");
  process.exit(failed === 0 && ran > 0 ? 0 : 1);
}

main().catch((error) => {
  console.error("run.js: " + (error && error.stack ? error.stack : error));
  process.exit(1);
});
