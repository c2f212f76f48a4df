// The page around the program: the canvas sized to the page in device pixels,
// the Start button over the show's first frame, full screen on the click, the
// button again once the show has ended; and the settings a visitor or a test
// gives in the address (?music=0, ?mode=WxHxB, ?frame_ms=N, ?autostart=1,
// ?capture_at=t1,t2,...).
"use strict";

(function () {
  var query = new URLSearchParams(location.search);
  var stage = document.getElementById("stage");
  var canvas = document.getElementById("glimmerz");
  var button = document.getElementById("start");

  // The page's one sentence, in place of the show.
  function say(sentence) {
    stage.hidden = true;
    var message = document.getElementById("message");
    message.textContent = sentence;
    message.hidden = false;
  }

  if (!document.createElement("canvas").getContext("webgl2")) {
    say("Glimmerz needs WebGL 2, which this browser does not offer.");
    return;
  }

  function fitCanvas() {
    var scale = window.devicePixelRatio || 1;
    canvas.width = Math.max(1, Math.round(canvas.clientWidth * scale));
    canvas.height = Math.max(1, Math.round(canvas.clientHeight * scale));
  }
  fitCanvas();
  window.addEventListener("resize", fitCanvas);

  function whole(text) { return /^[0-9]+$/.test(text || ""); }
  var captureTimes = (query.get("capture_at") || "").split(",").filter(whole);
  var autostart = query.get("autostart") === "1";
  var music = makeGlimmerzMusic(query.get("music") !== "0");
  window.glimmerzCaptures = {};
  window.glimmerzCaptured = false;

  var page = {
    holding: !autostart,
    leftFullScreen: false,
    started: null,
    showsEnded: 0,
  };
  var start = null;
  var fullScreen = false;

  function newShow() {
    page.leftFullScreen = false;
    page.started = new Promise(function (resolve) { start = resolve; });
    if (!page.holding) start();
  }

  // The program waits here, its first frame on the canvas.
  page.awaitStart = function () {
    if (page.holding) {
      button.hidden = false;
      if (window.glimmerzButtonShownAt === undefined) window.glimmerzButtonShownAt = performance.now();
      button.focus();
    }
    return page.started;
  };

  page.showFailed = function () {
    say("Glimmerz cannot start with the settings this browser keeps for it (their display mode, say); " +
        "?mode=640x480x16 in the address chooses another for a visit.");
  };

  page.showEnded = function () {
    page.showsEnded++;
    window.glimmerzShowsEnded = page.showsEnded;
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    fullScreen = false;
    page.holding = true;
    newShow();
  };

  // With ?measure=1, when each frame reached the page and the show's clock then.
  window.glimmerzFrameTimes = query.get("measure") === "1" ? [] : null;
  page.frameShown = function (clock) {
    if (window.glimmerzFrameTimes) window.glimmerzFrameTimes.push([performance.now(), clock]);
  };

  page.storeCapture = function (time, url) {
    window.glimmerzCaptures[time] = url;
    window.glimmerzCaptured = captureTimes.every(function (t) { return t in window.glimmerzCaptures; });
  };

  button.addEventListener("click", function (event) {
    event.stopPropagation();
    button.hidden = true;
    music.resume();
    if (stage.requestFullscreen) {
      stage.requestFullscreen({ navigationUI: "hide" })
        .then(function () { fullScreen = true; })
        .catch(function () {});
    }
    page.holding = false;
    start();
  });

  document.addEventListener("fullscreenchange", function () {
    fitCanvas();
    if (!document.fullscreenElement && fullScreen && !page.holding) page.leftFullScreen = true;
    if (!document.fullscreenElement) fullScreen = false;
  });

  newShow();
  music.load();
  window.glimmerzMusic = music;

  var environment = {};
  if (whole(query.get("frame_ms"))) environment.GLIMMERZ_FRAME_MS = query.get("frame_ms");
  // The program's environment stops at a NUL: a value holding one is no value.
  ["music", "mode"].forEach(function (name) {
    var value = query.get(name);
    if (value !== null && value.indexOf("\0") < 0) environment["GLIMMERZ_" + name.toUpperCase()] = value;
  });
  if (captureTimes.length) {
    environment.GLIMMERZ_CAPTURE_DIR = "glimmerzCaptures";
    environment.GLIMMERZ_CAPTURE_AT = captureTimes.join(",");
  }
  var script = document.createElement("script");
  script.src = "glimmerz.js";
  script.onload = function () {
    Glimmerz({
      glimmerzPage: page,
      glimmerzMusic: music,
      preRun: [function (module) { Object.assign(module.ENV, environment); }],
    });
  };
  document.body.appendChild(script);
})();
