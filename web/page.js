// The page around the show: loads the program and its two data files, opens on a
// title frame whose click starts the show (with music, or none), keeps the canvas
// at a whole-pixel scale, toggles full screen (also at F11 and Alt+Enter), hears
// Escape and Space (pause), runs the sound output, and gives the program its turns
// (platform/page_web.h is the program's side).
//
// Address options, for tests: ?fixed-clock puts the show on the headless back
// end's clock (70 frames a second of show time, one per turn, turns unpaced);
// &capture=MS,MS,... keeps the screen of the first pump at or after each show time;
// ?no-worklet plays the music through the ScriptProcessor fallback.
'use strict';

(function () {
  const FRAME_MS = 1000 / 70;
  const params = new URLSearchParams(location.search);
  const fixedClock = params.has('fixed-clock');
  const captureTimes = (params.get('capture') || '').split(',').filter((s) => s !== '').map(Number);
  const useWorklet = !params.has('no-worklet');

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const title = document.getElementById('title');
  const prompt = document.getElementById('prompt');
  const silentButton = document.getElementById('silent');
  const statusLine = document.getElementById('status');
  const fullscreenButton = document.getElementById('fullscreen');
  const context2d = canvas.getContext('2d', {alpha: false});

  // What the browser test reads: window.kelvora.
  const show = {
    state: 'loading',   // loading, ready, playing, ended
    exitCode: null,
    error: null,
    frames: 0,          // turns given to the show
    busyMs: 0,          // time the show ran between turns, summed
    busyMaxMs: 0,
    captures: [],       // {at, ms, frame: Uint8Array(64000), lookup: Uint32Array(256)}
    audio: null,        // {state, rate, played, peak, queued, starved} once sound is on
    frameMs() { return this.frames > 1 ? this.busyMs / (this.frames - 1) : 0; },
    position() { return program.ready ? Module._audio_web_position() : -1; },
  };
  window.kelvora = show;

  function setStatus(text, isError) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', !!isError);
  }

  // ---- the canvas: 320x200 pixels, each a whole number of device pixels ----

  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const box = stage.getBoundingClientRect();
    const scale = Math.max(1, Math.floor(Math.min(box.width * ratio / 320, box.height * ratio / 200)));
    canvas.style.width = (320 * scale / ratio) + 'px';
    canvas.style.height = (200 * scale / ratio) + 'px';
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', () => {
    fit();
    fullscreenButton.textContent = document.fullscreenElement ? 'window' : 'full screen';
  });

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
      return;
    }
    stage.requestFullscreen().then(() => {
      // Escape then reaches the page, which ends the show with it, as in a window.
      if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(() => {});
    }).catch(() => setStatus('full screen is not available here'));
  }
  fullscreenButton.addEventListener('click', toggleFullscreen);
  stage.addEventListener('dblclick', toggleFullscreen);

  function clearCanvas() {
    context2d.fillStyle = '#000';
    context2d.fillRect(0, 0, 320, 200);
  }

  // ---- keys ----

  let quit = false;
  window.addEventListener('keyup', (e) => {
    if (e.key === 'Escape' && show.state === 'playing') quit = true;
  });
  // The program's ViewerRequest bits (platform/platform.h) the page hands over.
  const REQUEST_PAUSE = 2;
  let requests = 0;
  window.addEventListener('keydown', (e) => {
    if (show.state !== 'playing' || e.repeat) return;
    if (e.key === ' ') {
      requests |= REQUEST_PAUSE;
      e.preventDefault();  // no scrolling
    } else if (e.key === 'F11' || (e.key === 'Enter' && e.altKey)) {
      toggleFullscreen();  // the page's own full screen, as a double click does
      e.preventDefault();
    }
  });
  function takeRequests() {
    const r = requests;
    requests = 0;
    return r;
  }

  // ---- turns: the show's stack waits here between its message pumps ----

  let wakeFrom = 0;  // when the show last got its turn back
  let pendingWake = null;
  const channel = new MessageChannel();
  channel.port1.onmessage = () => resume();

  function resume() {
    const wake = pendingWake;
    pendingWake = null;
    if (!wake || show.state !== 'playing') return;
    wakeFrom = performance.now();
    wake();
  }

  function wait(wakeUp) {
    if (wakeFrom > 0) {
      const busy = performance.now() - wakeFrom;
      show.busyMs += busy;
      if (busy > show.busyMaxMs) show.busyMaxMs = busy;
    }
    ++show.frames;
    pendingWake = wakeUp;
    if (fixedClock) channel.port2.postMessage(0);
    else requestAnimationFrame(resume);
  }

  let readScreen = null;
  let nextCapture = 0;
  function pumped(ms) {
    while (nextCapture < captureTimes.length && ms >= captureTimes[nextCapture]) {
      const screen = readScreen();
      // The canvas as the viewer sees it, drawn by the end of this frame.
      const canvasPixels = context2d.getImageData(0, 0, 320, 200).data;
      show.captures.push({at: captureTimes[nextCapture], ms, frame: screen.frame, lookup: screen.lookup, canvas: canvasPixels});
      ++nextCapture;
    }
  }

  // ---- sound output ----

  const audio = {context: null, node: null, queue: null, running: false};

  async function openAudio() {
    const context = new AudioContext({latencyHint: 'playback'});
    audio.context = context;
    show.audio = {state: context.state, rate: context.sampleRate, played: 0, peak: 0, queued: 0, starved: 0};
    context.onstatechange = () => { show.audio.state = context.state; };
    if (context.audioWorklet && useWorklet) {
      await context.audioWorklet.addModule('mixer.js');
      const node = new AudioWorkletNode(context, 'kelvora-mixer', {numberOfInputs: 0, outputChannelCount: [2]});
      node.port.onmessage = (e) => {
        const m = e.data;
        if (m.need) render(m.need);
        else Object.assign(show.audio, m);
      };
      node.connect(context.destination);
      audio.node = node;
    } else {
      // No AudioWorklet: the same queue, filled and played on this thread.
      const queue = new self.KelvoraSampleQueue(context.sampleRate);
      const node = context.createScriptProcessor(4096, 0, 2);
      node.onaudioprocess = (e) => {
        const out = e.outputBuffer;
        if (audio.running && queue.queued < queue.low + out.length) render(queue.low + out.length - queue.queued);
        queue.pull(out.getChannelData(0), out.getChannelData(1), audio.running);
        Object.assign(show.audio, {played: queue.played, peak: queue.peak, queued: queue.queued,
                                   starved: queue.starved});
      };
      node.connect(context.destination);
      audio.node = node;
      audio.queue = queue;
    }
    context.resume().catch(() => {});
  }

  function render(frames) {
    if (audio.running && program.ready && Module._audio_web_render(frames) === 0) {
      audio.running = false;
      if (!audio.queue) audio.node.port.postMessage({ended: true});
    }
  }

  function closeAudio() {
    audio.running = false;
    if (audio.context) audio.context.close().catch(() => {});
    audio.context = null;
  }

  // ---- the program's side (platform/page_web.h) ----

  const page = {
    wait,
    quitRequested: () => quit,
    takeRequests,
    pumped,
    canvasOpen() {
      fit();
      clearCanvas();
      return true;
    },
    screenAt(read) { readScreen = read; },
    draw(image) { context2d.putImageData(image, 0, 0); },
    canvasClose: clearCanvas,
    error(line) {
      show.error = line;
      setStatus(line, true);
    },
    end(code) {
      show.state = 'ended';
      show.exitCode = code;
      closeAudio();
      stage.classList.remove('playing');
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      if (!show.error) setStatus(code === 0 ? 'The show has ended.' : 'The show was stopped.');
      prompt.textContent = 'click to play again';
      silentButton.hidden = true;
      title.hidden = false;
    },
    audioRate: () => (audio.context ? audio.context.sampleRate : 0),
    audioStart() {
      audio.running = true;
      // A first lead at once, so that the music starts with the clock.
      render(audio.context ? Math.round(audio.context.sampleRate * 0.1) : 0);
    },
    audioStop() {
      audio.running = false;
      if (audio.queue) audio.queue.clear();
      else if (audio.node) audio.node.port.postMessage({clear: true});
    },
    audioPush(left, right) {
      if (audio.queue) audio.queue.push(left, right);
      else if (audio.node) audio.node.port.postMessage({left, right}, [left.buffer, right.buffer]);
    },
    audioClose: closeAudio,
  };

  // ---- loading: the program and the two data files, side by side ----

  const program = {ready: false};
  const data = {};

  function fetchData(name) {
    // A file that cannot be had is simply not there: the show reports it as it
    // would on disk.
    return fetch(name).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null)
      .then((bytes) => { data[name] = bytes; });
  }

  function failed(line) {
    console.error(line);
    page.error(line);
    show.state = 'ended';
    closeAudio();
    prompt.textContent = '';
    silentButton.hidden = true;
  }

  window.Module = {
    page,
    noInitialRun: true,
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
    onAbort: (what) => failed('kelvora: the program stopped: ' + what),
  };
  const programLoaded = new Promise((resolve) => {
    Module.onRuntimeInitialized = () => {
      program.ready = true;
      resolve();
    };
    const script = document.createElement('script');
    script.src = 'kelvora.js';
    script.onerror = () => failed('kelvora: the program (kelvora.js) could not be loaded');
    document.body.appendChild(script);
  });

  Promise.all([programLoaded, fetchData('resource.rar'), fetchData('kelvora.xm')]).then(() => {
    if (show.state !== 'loading') return;
    show.state = 'ready';
    prompt.textContent = 'click to start';
    silentButton.disabled = false;
  });

  // ---- start ----

  async function start(sound) {
    if (show.state === 'ended') {
      location.reload();
      return;
    }
    if (show.state !== 'ready') return;
    show.state = 'starting';
    title.hidden = true;
    if (sound) {
      try {
        await openAudio();
      } catch (e) {
        // The show reports output it cannot open as it does natively.
        console.warn('kelvora: no sound output: ' + e);
        closeAudio();
      }
    }
    for (const name of ['resource.rar', 'kelvora.xm']) {
      if (data[name]) Module.FS.writeFile('/' + name, new Uint8Array(data[name]));
    }
    show.state = 'playing';
    stage.classList.add('playing');
    setStatus(sound ? '' : 'no sound');
    let result;
    try {
      result = Module.ccall('kelvora_run', 'number', ['number', 'number'],
                            [sound ? 1 : 0, fixedClock ? FRAME_MS : 0], {async: true});
    } catch (e) {
      ended(e);
      return;
    }
    Promise.resolve(result).then(() => {}, ended);
  }

  // The show ends through exit(), which unwinds the program with ExitStatus; the
  // page already knows the code (page.end). Anything else is a fault.
  function ended(e) {
    if (e && e.name === 'ExitStatus') return;
    failed('kelvora: the program stopped: ' + e);
  }

  stage.addEventListener('click', () => start(true));
  silentButton.addEventListener('click', (e) => {
    e.stopPropagation();
    start(false);
  });

  fit();
  clearCanvas();
})();
