// The tune's synthesiser in the page: js-synthesizer (FluidSynth built for the
// web) playing the program's MIDI bytes with instruments.sf2, the SoundFont
// form of the program's instrument collection. The program's calls are
// synchronous; the synthesiser's are not, so each is queued behind the last.
"use strict";

function makeGlimmerzMusic(enabled) {
  var sampleRate = 44100;
  var gain = 0.4;  // the Linux build's level for the whole mix
  var ready = null;  // the synthesiser's code and the SoundFont, once loaded
  var context = null;
  var synth = null;
  var fonts = {};
  var nextId = 1;
  var playing = false;
  var queue = Promise.resolve();
  var music = { lastTune: null };

  function loadScript(name) {
    return new Promise(function (resolve, reject) {
      var script = document.createElement("script");
      script.src = name;
      script.onload = resolve;
      script.onerror = reject;
      document.head.appendChild(script);
    });
  }

  function later(step) {
    queue = queue.then(step).catch(function () {});
  }

  // Starts loading what the synthesiser needs; only a show with music asks.
  music.load = function () {
    if (!enabled || ready) return;
    var soundFont = fetch("instruments.sf2").then(function (r) { return r.arrayBuffer(); });
    ready = loadScript("libfluidsynth-2.4.6.js")
      .then(function () { return loadScript("js-synthesizer.min.js"); })
      .then(function () { JSSynth.disableLogging(); return JSSynth.waitForReady(); })
      .then(function () { return soundFont; });
    ready.catch(function () {});
  };

  // The audio context starts on the visitor's click, as browsers allow.
  music.resume = function () {
    if (context) context.resume();
  };

  function openSynth() {
    return ready.then(function (soundFont) {
      if (!synth) {
        context = new AudioContext({ sampleRate: sampleRate });
        synth = new JSSynth.Synthesizer();
        synth.init(context.sampleRate, { initialGain: gain });
        synth.createAudioNode(context, 4096).connect(context.destination);
      }
      return soundFont;
    });
  }

  music.loadInstruments = function () {
    if (!ready) return -1;
    var id = nextId++;
    later(function () {
      return openSynth().then(function (soundFont) { return synth.loadSFont(soundFont.slice(0)); })
        .then(function (font) { fonts[id] = font; });
    });
    return id;
  };

  music.unloadInstruments = function (id) {
    later(function () {
      if (synth && fonts[id] !== undefined) synth.unloadSFont(fonts[id]);
      delete fonts[id];
    });
  };

  music.play = function (bytes) {
    if (!ready) return false;
    music.lastTune = bytes;
    later(function () {
      return openSynth()
        .then(function () { return synth.resetPlayer(); })
        .then(function () { return synth.addSMFDataToPlayer(bytes.slice().buffer); })
        .then(function () { return synth.playPlayer(); })
        .then(function () { playing = true; });
    });
    return true;
  };

  music.stop = function () {
    later(function () {
      playing = false;
      if (!synth) return;
      synth.stopPlayer();
      synth.midiAllSoundsOff();
    });
  };

  // True once, when the tune has played to its end by itself.
  music.takeEnded = function () {
    if (!playing || !synth || synth.isPlayerPlaying()) return false;
    playing = false;
    return true;
  };

  // The tune as the program last handed it over, rendered by a synthesiser of
  // its own for the given seconds: the level of each second (root mean square).
  music.renderLevels = function (seconds) {
    if (!ready || !music.lastTune) return Promise.resolve(null);
    var offline = null;
    return ready.then(function (soundFont) {
      offline = new JSSynth.Synthesizer();
      offline.init(sampleRate, { initialGain: gain });
      return offline.loadSFont(soundFont.slice(0));
    }).then(function () {
      return offline.addSMFDataToPlayer(music.lastTune.slice().buffer);
    }).then(function () {
      return offline.playPlayer();
    }).then(function () {
      var block = 441, left = new Float32Array(block), right = new Float32Array(block), levels = [];
      for (var second = 0; second < seconds; second++) {
        var sum = 0;
        for (var i = 0; i < sampleRate / block; i++) {
          offline.render([left, right]);
          for (var j = 0; j < block; j++) sum += left[j] * left[j] + right[j] * right[j];
        }
        levels.push(Math.sqrt(sum / (2 * sampleRate)));
      }
      offline.close();
      return levels;
    });
  };

  return music;
}
