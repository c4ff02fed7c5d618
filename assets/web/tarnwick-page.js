// The page's side of a Tarnwick web export: downloads the runtime and the
// game archive with a loading bar, mounts the save folder from the browser's
// storage, passes the URL's run options, shows errors on a panel, and hands a
// screenshot over when the run ends. The game's name is the body's data-game.
(function () {
  "use strict";
  var game = document.body.dataset.game || "game";
  var query = new URLSearchParams(location.search);
  var canvas = document.getElementById("canvas");
  var bar = document.querySelector("#bar > div");
  var errors = document.getElementById("errors");

  // The page's state for whoever watches it (people, and the browser tests).
  var page = (window.tarnwick = { game: game, errors: [], log: [], ended: false, status: null,
                                  screenshot: null, saved: 0, frameMs: [] });

  function showError(text) {
    page.errors.push(text);
    errors.style.display = "block";
    errors.textContent += text.endsWith("\n") ? text : text + "\n";
    errors.scrollTop = errors.scrollHeight;
  }

  // The URL's run options: ?frames=N&fixed-dt=MS&seed=N&screenshot=1 (or
  // =download)&debug&strict&quiet.
  function runArguments() {
    var args = [];
    if (query.has("frames")) args.push("--frames", query.get("frames"));
    if (query.has("fixed-dt")) args.push("--fixed-dt", query.get("fixed-dt"));
    if (query.has("seed")) args.push("--seed", query.get("seed"));
    if (query.has("screenshot")) args.push("--screenshot", "/screenshot.png");
    ["debug", "strict", "quiet"].forEach(function (flag) {
      if (query.has(flag)) args.push("--" + flag);
    });
    args.push("--windowed", "/game.zip");
    return args;
  }

  // Both downloads with one bar; each answer's length is known from its headers.
  function download(urls) {
    var loaded = urls.map(function () { return 0; });
    var totals = urls.map(function () { return 0; });
    function update() {
      var total = totals.reduce(function (a, b) { return a + b; }, 0);
      var done = loaded.reduce(function (a, b) { return a + b; }, 0);
      if (total > 0) bar.style.width = Math.min(100, (100 * done) / total) + "%";
    }
    return Promise.all(urls.map(function (url, i) {
      return fetch(url).then(function (response) {
        if (!response.ok) throw new Error(url + ": " + response.status + " " + response.statusText);
        totals[i] = Number(response.headers.get("Content-Length")) || 0;
        if (!response.body || !response.body.getReader) return response.arrayBuffer();
        var reader = response.body.getReader(), parts = [];
        function pump() {
          return reader.read().then(function (step) {
            if (step.done) return new Blob(parts).arrayBuffer();
            parts.push(step.value);
            loaded[i] += step.value.length;
            update();
            return pump();
          });
        }
        return pump();
      });
    }));
  }

  // Writes after writes wait for the sync under way, then go in one more.
  var syncing = false, again = false;
  function syncSaves() {
    if (syncing) { again = true; return; }
    syncing = true;
    FS.syncfs(false, function (error) {
      syncing = false;
      if (error) console.error("Saves could not be stored in the browser: " + error);
      else page.saved++;
      if (again) { again = false; syncSaves(); }
    });
  }

  function readScreenshot() {
    try {
      var bytes = FS.readFile("/screenshot.png");
      var reader = new FileReader();
      reader.onload = function () {
        page.screenshot = reader.result;
        if (query.get("screenshot") === "download") {
          var link = document.createElement("a");
          link.href = reader.result;
          link.download = game + ".png";
          link.click();
        }
      };
      reader.readAsDataURL(new Blob([bytes], { type: "image/png" }));
    } catch (e) {
      console.error("No screenshot was written: " + e);
    }
  }

  // The canvas at the game's size, scaled to fit the window, its aspect kept.
  function fit() {
    if (!canvas.width || !canvas.height) return;
    var scale = Math.min(innerWidth / canvas.width, innerHeight / canvas.height);
    canvas.style.width = Math.floor(canvas.width * scale) + "px";
    canvas.style.height = Math.floor(canvas.height * scale) + "px";
  }
  addEventListener("resize", fit);
  // Browsers grant full screen to a click only; the stage goes full screen so
  // the canvas keeps its aspect inside it.
  document.getElementById("fullscreen").addEventListener("click", function () {
    var stage = document.getElementById("stage");
    if (stage.requestFullscreen) stage.requestFullscreen().then(function () { canvas.focus(); });
  });
  new MutationObserver(fit).observe(canvas, { attributes: true, attributeFilter: ["width", "height"] });

  var started = performance.now();
  download(["tarnwick.wasm", "game.zip"]).then(function (files) {
    window.Module = {
      canvas: canvas,
      wasmBinary: files[0],
      arguments: runArguments(),
      print: function (text) { page.log.push(text); console.log(text); },
      printErr: function (text) { page.log.push(text); console.warn(text); },
      preRun: [function () {
        FS.writeFile("/game.zip", new Uint8Array(files[1]));
        // Games on one origin share its storage: each has a folder of its own.
        var saves = "/saves/" + game;
        FS.mkdirTree(saves);
        FS.mount(IDBFS, {}, saves);
        ENV.XDG_DATA_HOME = saves;
        addRunDependency("saves");
        FS.syncfs(true, function (error) {
          if (error) console.error("Saves could not be read from the browser: " + error);
          removeRunDependency("saves");
        });
      }],
      onRuntimeInitialized: function () {
        page.loadMs = performance.now() - started;
        document.getElementById("loading").style.display = "none";
        canvas.focus();
      },
      tarnwickError: function (text) { console.error(text); showError(text); },
      tarnwickSaveChanged: syncSaves,
      // Each frame's own time in ms, the last thousand.
      tarnwickFrameTimed: function (ms) {
        page.frameMs.push(ms);
        if (page.frameMs.length > 1000) page.frameMs.shift();
      },
      tarnwickEnded: function (status) {
        page.ended = true;
        page.status = status;
        if (query.has("screenshot")) readScreenshot();
      },
    };
    var script = document.createElement("script");
    script.src = "tarnwick.js";
    script.onerror = function () { showError("tarnwick.js could not be loaded"); };
    document.body.appendChild(script);
  }).catch(function (error) {
    document.getElementById("status").textContent = "Loading failed";
    showError(String(error));
  });
})();
