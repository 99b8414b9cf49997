// The page's two audio worklets. The player plays the receiver's decoded
// frames through a jitter buffer that grows by a frame each time it runs dry
// and shrinks back slowly while the line is steady, between 40 and 200 ms.
// The capture cuts the microphone into 20 ms blocks for the encoder.
const FRAME = Math.round(sampleRate * 0.02);
const LEAST = Math.round(sampleRate * 0.04);
const MOST = Math.round(sampleRate * 0.2);
const STEADY_S = 10;

class Player extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = [];
    this.offset = 0;
    this.buffered = 0;
    this.target = LEAST + FRAME;
    this.playing = false;
    this.steadySince = currentFrame;
    this.port.onmessage = (event) => this.push(event.data);
  }

  push(samples) {
    this.chunks.push(samples);
    this.buffered += samples.length;
    // Late audio is worth nothing: a burst after a stall is cut back to the
    // most the buffer may hold.
    while (this.buffered - this.offset > MOST + FRAME && this.chunks.length > 1) {
      this.buffered -= this.chunks.shift().length;
    }
  }

  waiting() { return this.buffered - this.offset; }

  process(inputs, outputs) {
    const out = outputs[0][0];
    if (!this.playing) {
      out.fill(0);
      if (this.waiting() >= this.target) this.playing = true;
      return true;
    }
    let at = 0;
    while (at < out.length && this.chunks.length) {
      const chunk = this.chunks[0];
      const count = Math.min(out.length - at, chunk.length - this.offset);
      out.set(chunk.subarray(this.offset, this.offset + count), at);
      at += count;
      this.offset += count;
      if (this.offset === chunk.length) {
        this.chunks.shift();
        this.buffered -= chunk.length;
        this.offset = 0;
      }
    }
    if (at < out.length) {
      out.fill(0, at);
      this.playing = false;
      this.target = Math.min(MOST, this.target + FRAME);
      this.steadySince = currentFrame;
    } else if (currentFrame - this.steadySince > STEADY_S * sampleRate && this.target > LEAST) {
      this.target = Math.max(LEAST, this.target - FRAME);
      this.steadySince = currentFrame;
    }
    // Two frames above the target for good (the sound card's clock runs a
    // little slow, say): one frame goes, so the delay does not creep up.
    if (this.waiting() > this.target + 2 * FRAME && this.chunks.length > 1) {
      this.buffered -= this.chunks.shift().length;
      this.offset = 0;
    }
    return true;
  }
}

class Capture extends AudioWorkletProcessor {
  constructor() {
    super();
    this.block = new Float32Array(FRAME);
    this.filled = 0;
  }

  process(inputs) {
    const input = inputs[0][0];
    if (!input) return true;
    let at = 0;
    while (at < input.length) {
      const count = Math.min(input.length - at, FRAME - this.filled);
      this.block.set(input.subarray(at, at + count), this.filled);
      this.filled += count;
      at += count;
      if (this.filled === FRAME) {
        this.port.postMessage(this.block, [this.block.buffer]);
        this.block = new Float32Array(FRAME);
        this.filled = 0;
      }
    }
    return true;
  }
}

registerProcessor('tavrin-player', Player);
registerProcessor('tavrin-capture', Capture);
