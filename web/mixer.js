// The page's sound output: a queue of rendered blocks played out at the output's
// pace. In an AudioWorklet it runs on the audio thread as the processor
// "kelvora-mixer", asking the page for more through its port; where the page has no
// AudioWorklet (a page served insecurely from another host), page.js runs the same
// queue in a ScriptProcessor. Either way the music is rendered by the program
// (music/audio_web.cpp) on the page's thread.
'use strict';

class SampleQueue {
  constructor(rate) {
    this.blocks = [];     // [left, right] pairs of Float32Array
    this.offset = 0;      // frames of blocks[0] already played
    this.queued = 0;      // frames waiting
    this.played = 0;      // frames played from the queue since the start
    this.peak = 0;        // largest magnitude played
    this.starved = 0;     // output blocks that found the queue empty while music was due
    this.low = Math.round(rate * 0.08);  // below this much queued, ask for more
    this.refill = Math.round(rate * 0.05);
  }

  push(left, right) {
    this.blocks.push([left, right]);
    this.queued += left.length;
  }

  clear() {
    this.blocks = [];
    this.offset = 0;
    this.queued = 0;
  }

  // Fills both output channels from the queue, silence past its end; due says
  // whether music was expected, for the count of starved blocks.
  pull(outLeft, outRight, due) {
    if (due && this.queued < outLeft.length) ++this.starved;
    let at = 0;
    while (at < outLeft.length && this.blocks.length > 0) {
      const [left, right] = this.blocks[0];
      const n = Math.min(outLeft.length - at, left.length - this.offset);
      for (let i = 0; i < n; ++i) {
        const l = left[this.offset + i], r = right[this.offset + i];
        outLeft[at + i] = l;
        outRight[at + i] = r;
        const m = Math.max(Math.abs(l), Math.abs(r));
        if (m > this.peak) this.peak = m;
      }
      at += n;
      this.offset += n;
      this.queued -= n;
      this.played += n;
      if (this.offset === left.length) {
        this.blocks.shift();
        this.offset = 0;
      }
    }
    outLeft.fill(0, at);
    outRight.fill(0, at);
  }
}

if (typeof registerProcessor === 'function') {
  // Messages in: {left, right} a block to queue; {clear} drop what is queued;
  // {ended} the song has ended, ask no more. Out: {need: frames} and, four times a
  // second, {played, peak, queued, starved}.
  class KelvoraMixer extends AudioWorkletProcessor {
    constructor() {
      super();
      this.queue = new SampleQueue(sampleRate);
      this.asked = false;
      this.started = false;  // music has come
      this.ended = false;    // and will come no more
      this.reported = 0;
      this.port.onmessage = (e) => {
        const m = e.data;
        if (m.left) {
          this.queue.push(m.left, m.right);
          this.asked = false;
          this.started = true;
        } else if (m.clear) {
          this.queue.clear();
          this.ended = true;
        } else if (m.ended) {
          this.ended = true;
        }
      };
    }

    process(inputs, outputs) {
      const out = outputs[0];
      this.queue.pull(out[0], out[1] || out[0], this.started && !this.ended);
      if (!this.ended && !this.asked && this.queue.queued < this.queue.low) {
        this.asked = true;
        this.port.postMessage({need: this.queue.refill});
      }
      if (currentFrame - this.reported >= sampleRate / 4) {
        this.reported = currentFrame;
        const q = this.queue;
        this.port.postMessage({played: q.played, peak: q.peak, queued: q.queued, starved: q.starved});
      }
      return true;
    }
  }
  registerProcessor('kelvora-mixer', KelvoraMixer);
} else {
  self.KelvoraSampleQueue = SampleQueue;
}
