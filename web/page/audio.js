// The station's sound on the page. Listen plays the receiver: Opus frames
// come on the panel's WebSocket as binary messages, are decoded by the
// browser (WebCodecs) and played through a jitter buffer in an audio
// worklet. A transmit operator's microphone is opened at the first key and
// encoded the same way; its frames are sent only while this page keys, and
// the station plays them only while this page holds the keyed transmitter.
import { COMMAND, TYPE } from '/messages.js';

const RATE = 48000;
const FRAME_US = 20000;
const BITRATE = 24000;
const RECEIVE = 1;
const MICROPHONE = 2;
const HEADER = 5;
const METER_MS = 100;
const MOST_DECODING = 10;

function frameOf(kind, sequence, chunk) {
  const message = new Uint8Array(HEADER + chunk.byteLength);
  message[0] = kind;
  new DataView(message.buffer).setUint32(1, sequence);
  chunk.copyTo(message.subarray(HEADER));
  return message.buffer;
}

function makeToggle(id, text, label) {
  const button = document.createElement('button');
  button.type = 'button';
  button.id = id;
  button.className = 'toggle';
  button.textContent = text;
  button.setAttribute('aria-label', label);
  button.setAttribute('aria-pressed', 'false');
  return button;
}

function makeControls(root) {
  const listen = makeToggle('listen', 'Listen', 'Listen to the receiver');
  const mute = makeToggle('mute', 'Mute', 'Mute');
  mute.disabled = true;
  const volumeLabel = document.createElement('label');
  const volume = Object.assign(document.createElement('input'), {
    type: 'range', id: 'volume', min: '0', max: '1', step: '0.05', value: '0.8',
  });
  volumeLabel.append('Volume ', volume);
  const meterLabel = document.createElement('label');
  const meter = Object.assign(document.createElement('meter'), { id: 'level', min: 0, max: 1, value: 0 });
  meter.setAttribute('aria-label', 'Receiver level');
  meterLabel.append('Level ', meter);
  const status = Object.assign(document.createElement('p'), { id: 'audio-status' });
  status.setAttribute('role', 'status');
  root.replaceChildren(listen, mute, volumeLabel, meterLabel, status);
  return { listen, mute, volume, meter, status };
}

// The receiver: decoder, player, level and volume, made at the Listen
// press (a page may start sound only from the operator's own press).
class Receiver {
  constructor(ui) {
    this.ui = ui;
    this.context = null;
  }

  async start() {
    this.context = new AudioContext({ sampleRate: RATE, latencyHint: 'interactive' });
    const context = this.context;
    await context.audioWorklet.addModule('/audioplayer.js');
    if (this.context !== context) return;
    this.player = new AudioWorkletNode(context, 'tavrin-player', { numberOfInputs: 0, outputChannelCount: [1] });
    this.analyser = context.createAnalyser();
    this.analyser.fftSize = 4096;
    this.gain = context.createGain();
    this.player.connect(this.analyser).connect(this.gain).connect(context.destination);
    this.setVolume();
    this.decoder = new AudioDecoder({
      output: (data) => {
        const samples = new Float32Array(data.numberOfFrames);
        data.copyTo(samples, { planeIndex: 0, format: 'f32-planar' });
        data.close();
        this.player.port.postMessage(samples, [samples.buffer]);
      },
      error: (error) => { this.ui.status.textContent = `The receiver's audio cannot be decoded: ${error.message}`; },
    });
    this.decoder.configure({ codec: 'opus', sampleRate: RATE, numberOfChannels: 1 });
    this.samples = new Float32Array(this.analyser.fftSize);
    this.meter = setInterval(() => this.showLevel(), METER_MS);
    // What the page hears, for a test in a real browser to check its pitch.
    window.tavrinAudio = { analyser: this.analyser, context };
  }

  stop() {
    clearInterval(this.meter);
    if (this.decoder && this.decoder.state !== 'closed') this.decoder.close();
    if (this.context) this.context.close();
    this.context = null;
    this.decoder = null;
    this.ui.meter.value = 0;
  }

  frame(buffer) {
    const decoder = this.decoder;
    if (!decoder || decoder.state !== 'configured' || decoder.decodeQueueSize > MOST_DECODING) return;
    const sequence = new DataView(buffer).getUint32(1);
    decoder.decode(new EncodedAudioChunk({
      type: 'key', timestamp: sequence * FRAME_US, duration: FRAME_US, data: new Uint8Array(buffer, HEADER),
    }));
  }

  setVolume() {
    if (!this.gain) return;
    const muted = this.ui.mute.getAttribute('aria-pressed') === 'true';
    this.gain.gain.value = muted ? 0 : Number(this.ui.volume.value);
  }

  showLevel() {
    this.analyser.getFloatTimeDomainData(this.samples);
    let sum = 0;
    for (const s of this.samples) sum += s * s;
    this.ui.meter.value = Math.min(1, Math.sqrt(sum / this.samples.length) * 2);
  }
}

// The microphone: captured in a worklet at 48 kHz, encoded 20 ms a frame,
// sent while talking() says this page keys.
class Microphone {
  constructor(ui, sendBinary, talking) {
    this.ui = ui;
    this.sendBinary = sendBinary;
    this.talking = talking;
    this.context = null;
    this.sequence = 0;
  }

  // From the operator's own press, so the browser lets the sound start.
  open() {
    if (this.context) {
      this.context.resume();
      return;
    }
    if (typeof AudioEncoder === 'undefined') {
      this.ui.status.textContent = 'This browser cannot send the microphone.';
      return;
    }
    this.context = new AudioContext({ sampleRate: RATE, latencyHint: 'interactive' });
    this.ready = this.start(this.context).catch((error) => {
      this.ui.status.textContent = `The microphone is unavailable: ${error.message}`;
      this.context.close();
      this.context = null;
    });
  }

  async start(context) {
    const stream = await navigator.mediaDevices.getUserMedia({
      audio: { channelCount: 1, echoCancellation: false, noiseSuppression: false, autoGainControl: false },
    });
    await context.audioWorklet.addModule('/audioplayer.js');
    const capture = new AudioWorkletNode(context, 'tavrin-capture', { numberOfOutputs: 1, outputChannelCount: [1] });
    const silent = context.createGain();
    silent.gain.value = 0;
    context.createMediaStreamSource(stream).connect(capture).connect(silent).connect(context.destination);
    this.encoder = new AudioEncoder({
      output: (chunk) => { if (this.talking()) this.sendBinary(frameOf(MICROPHONE, this.sequence++, chunk)); },
      error: (error) => { this.ui.status.textContent = `The microphone cannot be encoded: ${error.message}`; },
    });
    this.encoder.configure({
      codec: 'opus', sampleRate: RATE, numberOfChannels: 1, bitrate: BITRATE, opus: { frameDuration: FRAME_US },
    });
    let at = 0;
    capture.port.onmessage = (event) => {
      const samples = event.data;
      at += samples.length;
      // Only what is said while keyed is encoded at all.
      if (!this.talking() || this.encoder.state !== 'configured') return;
      const data = new AudioData({
        format: 'f32-planar', sampleRate: RATE, numberOfFrames: samples.length, numberOfChannels: 1,
        timestamp: Math.round((at * 1e6) / RATE), data: samples,
      });
      this.encoder.encode(data);
      data.close();
    };
  }
}

// handlers: the page's message handlers by type, to which "audio" is added
// and "you" chained; keying: what attachKeying returned.
export function attachAudio(handlers, send, sendBinary, keying) {
  const root = document.getElementById('audio');
  if (!root) return () => {};
  const ui = makeControls(root);
  const receiver = new Receiver(ui);
  const microphone = new Microphone(ui, sendBinary, keying.talking);
  let listening = false;
  let role = 'listen';

  function setListening(on) {
    listening = on;
    ui.listen.setAttribute('aria-pressed', String(on));
    ui.mute.disabled = !on;
    if (on && typeof AudioDecoder === 'undefined') {
      ui.status.textContent = 'This browser cannot play the receiver\'s audio.';
      ui.listen.setAttribute('aria-pressed', 'false');
      listening = false;
      return;
    }
    if (on) {
      receiver.start().catch((error) => { ui.status.textContent = `The receiver's audio cannot play: ${error.message}`; });
    } else {
      receiver.stop();
    }
    send({ command: COMMAND.LISTEN, on });
  }

  ui.listen.addEventListener('click', () => setListening(!listening));
  ui.mute.addEventListener('click', () => {
    ui.mute.setAttribute('aria-pressed', String(ui.mute.getAttribute('aria-pressed') !== 'true'));
    receiver.setVolume();
  });
  ui.volume.addEventListener('input', () => receiver.setVolume());

  // The first key opens the microphone, within the operator's press.
  const openMic = () => { if (role === 'transmit') microphone.open(); };
  for (const id of ['xmit', 'latch']) {
    const control = document.getElementById(id);
    if (control) {
      control.addEventListener('pointerdown', openMic);
      // Only the keys that key it: tabbing past Xmit asks for nothing.
      control.addEventListener('keydown', (event) => { if (event.key === ' ' || event.key === 'Enter') openMic(); });
      control.addEventListener('change', openMic);
    }
  }

  const shownBefore = handlers[TYPE.YOU];
  // A new connection after a lost one: the station is asked again.
  handlers[TYPE.YOU] = (message) => {
    role = message.role;
    if (listening) send({ command: COMMAND.LISTEN, on: true });
    if (shownBefore) shownBefore(message);
  };
  handlers[TYPE.AUDIO] = (message) => {
    const problems = [];
    if (message.receive) problems.push(`Receiver audio unavailable: ${message.receive}.`);
    if (message.transmit && role === 'transmit') problems.push(`Microphone to the transmitter unavailable: ${message.transmit}.`);
    ui.status.textContent = problems.join(' ');
    if (message.receive && listening) setListening(false);
  };

  return (buffer) => {
    if (buffer.byteLength > HEADER && new Uint8Array(buffer)[0] === RECEIVE && listening) receiver.frame(buffer);
  };
}
