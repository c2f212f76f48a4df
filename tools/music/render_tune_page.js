// node render_tune_page.js TUNE.mid INSTRUMENTS.sf2 MIX.f32 [CHANNEL [RATE]]
// The tune as the page plays it: the page's own synthesiser (js-synthesizer's
// FluidSynth, from port/drivers/web/node_modules) and the SoundFont, rendered offline
// as tune_render.cpp renders it natively, so the two can be held side by side.
// Writes the mix to MIX.f32 (interleaved stereo 32-bit floats; CHANNEL 0-15
// makes it that channel's dry sound alone, -1 is all) at RATE (44100, the
// page's) and reports on standard output:
//   version V / rate R / fonts N / preset CHANNEL BANK NAME / levels CHANNEL L...
"use strict";
const fs = require("fs");
const path = require("path");

const pageModules = path.join(__dirname, "..", "..", "port", "drivers", "web", "node_modules");
// The very build the page loads (cmake/web.cmake), not the package's default one.
const fluid = require(path.join(pageModules, "js-synthesizer", "externals", "libfluidsynth-2.4.6.js"));
const JSSynth = require(path.join(pageModules, "js-synthesizer"));

const gain = 0.4;  // the page's level for the whole mix (page/music.js)
const channels = 16;
const block = 512;
const levelSeconds = 0.05;
const longestSeconds = 300;

function render(tunePath, fontPath, mixPath, solo, rate) {
  const api = (name, result, args) => fluid.cwrap(name, result, args);
  const setNum = api("fluid_settings_setnum", "number", ["number", "string", "number"]);
  const setInt = api("fluid_settings_setint", "number", ["number", "string", "number"]);
  const setStr = api("fluid_settings_setstr", "number", ["number", "string", "string"]);
  const sfload = api("fluid_synth_sfload", "number", ["number", "string", "number"]);
  const presetName = api("fluid_preset_get_name", "string", ["number"]);

  const settings = fluid._new_fluid_settings();
  setNum(settings, "synth.sample-rate", rate);
  setNum(settings, "synth.gain", gain);
  setInt(settings, "synth.audio-channels", channels);
  setInt(settings, "synth.audio-groups", channels);
  setStr(settings, "player.timing-source", "sample");
  const synth = fluid._new_fluid_synth(settings);
  fluid.FS.writeFile("/instruments.sf2", fs.readFileSync(fontPath));
  if (!synth || sfload(synth, "/instruments.sf2", 1) === -1) throw new Error("cannot load " + fontPath);
  const player = fluid._new_fluid_player(synth);
  const tune = fs.readFileSync(tunePath);
  const tuneMemory = fluid._malloc(tune.length);
  fluid.HEAPU8.set(tune, tuneMemory);
  if (fluid._fluid_player_add_mem(player, tuneMemory, tune.length) !== 0 || fluid._fluid_player_play(player) !== 0)
    throw new Error("cannot play " + tunePath);

  // 2 * channels dry outputs, then 4 effect outputs (reverb and chorus, left and right).
  const outputs = 2 * channels + 4;
  const memory = fluid._malloc(4 * block * outputs);
  const pointers = fluid._malloc(4 * outputs);
  for (let i = 0; i < outputs; i++) fluid.HEAPU32[(pointers >> 2) + i] = memory + 4 * block * i;
  const dry = (output, frame) => fluid.HEAPF32[(memory >> 2) + output * block + frame];

  const mix = [];
  const levels = Array.from({ length: channels }, () => []);
  const energy = new Float64Array(channels);
  const levelFrames = Math.round(levelSeconds * rate);
  let framesInLevel = 0, frames = 0;
  const lines = [`version ${fluid.UTF8ToString(fluid._fluid_version_str())}`, `rate ${rate}`,
                 `fonts ${fluid._fluid_synth_sfcount(synth)}`];
  while (fluid._fluid_player_get_status(player) === 1 && frames < longestSeconds * rate) {
    fluid.HEAPF32.fill(0, memory >> 2, (memory >> 2) + block * outputs);
    fluid._fluid_synth_process(synth, block, 4, pointers + 4 * 2 * channels, 2 * channels, pointers);
    if (frames === 0) {
      for (let ch = 0; ch < channels; ch++) {
        const preset = fluid._fluid_synth_get_channel_preset(synth, ch);
        if (preset) lines.push(`preset ${ch} ${fluid._fluid_preset_get_banknum(preset)} ${presetName(preset)}`);
      }
    }
    for (let i = 0; i < block; i++) {
      let left = 0, right = 0;
      for (let ch = 0; ch < channels; ch++) {
        const l = dry(2 * ch, i), r = dry(2 * ch + 1, i);
        if (solo < 0 || solo === ch) {
          left += l;
          right += r;
        }
        energy[ch] += 0.5 * (l * l + r * r);
      }
      if (solo < 0) {
        left += dry(2 * channels, i) + dry(2 * channels + 2, i);
        right += dry(2 * channels + 1, i) + dry(2 * channels + 3, i);
      }
      mix.push(left, right);
      if (++framesInLevel === levelFrames) {
        for (let ch = 0; ch < channels; ch++) {
          levels[ch].push(Math.sqrt(energy[ch] / levelFrames).toPrecision(6));
          energy[ch] = 0;
        }
        framesInLevel = 0;
      }
    }
    frames += block;
  }
  fs.writeFileSync(mixPath, Buffer.from(new Float32Array(mix).buffer));
  for (let ch = 0; ch < channels; ch++) lines.push(`levels ${ch} ${levels[ch].join(" ")}`);
  process.stdout.write(lines.join("\n") + "\n");
}

const [tunePath, fontPath, mixPath, solo = -1, rate = 44100] = process.argv.slice(2);
if (!mixPath) {
  process.stderr.write("usage: node render_tune_page.js TUNE.mid INSTRUMENTS.sf2 MIX.f32 [CHANNEL [RATE]]\n");
  process.exit(2);
}
JSSynth.Synthesizer.initializeWithFluidSynthModule(fluid);
JSSynth.waitForReady().then(() => JSSynth.disableLogging()).then(() => render(tunePath, fontPath, mixPath, Number(solo), Number(rate)))
  .catch((problem) => {
    process.stderr.write(`render_tune_page: ${problem.message}\n`);
    process.exit(1);
  });
