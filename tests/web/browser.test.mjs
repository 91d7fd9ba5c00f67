// The browser build played in Debian's headless Chromium, served from localhost by
// the same server scripts/web uses. Run by scripts/web --test, which builds the site
// and the native build first; settings come from the environment:
//   KELVORA_SITE          the site folder (build-web/site)
//   KELVORA_NATIVE_BUILD  the native build folder holding web_show_hashes and the data
//   CHROMIUM              the browser (default /usr/bin/chromium)
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {spawn, execFileSync} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const site = path.resolve(process.env.KELVORA_SITE || 'build-web/site');
const nativeBuild = path.resolve(process.env.KELVORA_NATIVE_BUILD || 'build-check');
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';

// One show time per phase of the timeline, and the last frame.
const showTimes = [600, 3000, 3300, 7000, 13000, 18000, 24000, 30000, 38000, 44000, 51000, 58000,
                   62550, 62900, 63400, 64200, 70000, 73000, 77000, 81000, 84000, 95000, 97520,
                   104500, 111500, 112600, 116100, 130000, 144700, 147800, 149000, 150000];

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

let root;     // what the server serves: the site, and damaged copies of it beside
let server;
let baseUrl;
let browser;

function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.once('error', reject);
    s.listen(0, '127.0.0.1', () => {
      const {port} = s.address();
      s.close(() => resolve(port));
    });
  });
}

async function waitForServer(url) {
  for (let i = 0; i < 100; ++i) {
    try {
      if ((await fetch(url)).ok) return;
    } catch {}
    await sleep(100);
  }
  throw new Error('the server did not answer at ' + url);
}

// A copy of the site whose data files are replaced: null removes one.
function variant(name, files) {
  const dir = path.join(root, name);
  fs.mkdirSync(dir);
  for (const f of fs.readdirSync(site)) {
    if (f in files) {
      if (files[f] !== null) fs.writeFileSync(path.join(dir, f), files[f]);
    } else {
      fs.symlinkSync(path.join(site, f), path.join(dir, f));
    }
  }
}

before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'kelvora.wasm')), 'no site at ' + site + ': build it with scripts/web');
  root = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvora-web-'));
  fs.symlinkSync(site, path.join(root, 'site'));
  const rar = fs.readFileSync(path.join(site, 'resource.rar'));
  const xm = fs.readFileSync(path.join(site, 'kelvora.xm'));
  const damagedRar = Buffer.from(rar);
  for (let i = damagedRar.length >> 1; i < damagedRar.length; i += 7) damagedRar[i] ^= 0x5a;
  variant('no-archive', {'resource.rar': null});
  variant('damaged-archive', {'resource.rar': damagedRar});
  variant('no-module', {'kelvora.xm': null});
  variant('cut-module', {'kelvora.xm': xm.subarray(0, 5000)});

  const port = await freePort();
  server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', root],
                 {stdio: 'ignore'});
  baseUrl = `http://127.0.0.1:${port}`;
  await waitForServer(baseUrl + '/site/index.html');

  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'kelvora-chromium-')),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--autoplay-policy=user-gesture-required', '--window-size=1000,700'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.kill();
  if (root) fs.rmSync(root, {recursive: true, force: true});
});

// Opens a page of the site (or of a variant) and collects its console's errors.
async function open(folder, query = '') {
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(`${baseUrl}/${folder}/index.html${query}`);
  await page.waitForFunction(() => window.kelvora && window.kelvora.state === 'ready', {timeout: 30000});
  return {page, errors};
}

async function start(page, sound) {
  await page.click(sound ? '#stage' : '#silent');
  await page.waitForFunction(() => kelvora.state !== 'ready' && kelvora.state !== 'starting');
  return Date.now();
}

// How many canvas pixels are not black, and a hash of them all.
function canvasLook(page) {
  return page.evaluate(() => {
    const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 200).data;
    let lit = 0;
    let h = 0x811c9dc5;
    for (let i = 0; i < d.length; i += 4) {
      if (d[i] | d[i + 1] | d[i + 2]) ++lit;
      h = Math.imul(h ^ d[i] ^ d[i + 1] << 8 ^ d[i + 2] << 16, 0x01000193) >>> 0;
    }
    return {lit, hash: h};
  });
}

async function sleepUntil(t0, ms) {
  await sleep(Math.max(0, t0 + ms - Date.now()));
}

// Turns the show gets from now over ms: 0 once nothing runs any more.
async function turnsOver(page, ms) {
  const a = await page.evaluate(() => kelvora.frames);
  await sleep(ms);
  return (await page.evaluate(() => kelvora.frames)) - a;
}

test('the show plays with its music from a localhost server, and Escape ends it', async () => {
  const {page, errors} = await open('site');
  const t0 = await start(page, true);

  await sleepUntil(t0, 5000);
  const at5 = await canvasLook(page);
  const music5 = await page.evaluate(() => ({position: kelvora.position(), ...kelvora.audio}));
  await sleepUntil(t0, 6000);
  const at6 = await canvasLook(page);
  const music6 = await page.evaluate(() => ({position: kelvora.position(), ...kelvora.audio}));

  assert.ok(at5.lit > 0, 'the canvas is black 5 s after the click');
  assert.notEqual(at6.hash, at5.hash, 'the canvas did not change between 5 s and 6 s');
  assert.equal(music6.state, 'running');
  assert.ok(music5.position > 0 && music6.position > music5.position + 0.5,
            `the module position went from ${music5.position} s to ${music6.position} s`);
  assert.ok(music6.played > music5.played, 'the output played nothing more');
  assert.ok(music6.peak > 0.01, 'the output played silence');

  const stats = await page.evaluate(() => ({frames: kelvora.frames, ms: kelvora.frameMs()}));
  console.log(`real clock: ${stats.frames} frames in 6 s, ${stats.ms.toFixed(3)} ms of show per frame`);

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => kelvora.state === 'ended', {timeout: 5000});
  const end = await page.evaluate(() => ({code: kelvora.exitCode, audio: kelvora.audio.state,
                                          status: document.getElementById('status').textContent}));
  assert.deepEqual(end, {code: 1, audio: 'closed', status: 'The show was stopped.'});
  assert.equal(await turnsOver(page, 300), 0, 'the show still takes turns after it ended');
  assert.deepEqual(errors, []);
  await page.close();
});

test('on the fixed clock every phase looks as in the native build, and the show ends by itself', async () => {
  const expected = new Map(execFileSync(path.join(nativeBuild, 'web_show_hashes'), showTimes.map(String),
                                        {cwd: nativeBuild, encoding: 'utf8'})
    .trim().split('\n').map((line) => line.split(' ')).map(([ms, hash]) => [Number(ms), hash]));
  assert.equal(expected.size, showTimes.length);

  const {page, errors} = await open('site', '?fixed-clock&capture=' + showTimes.join(','));
  await start(page, false);
  await page.waitForFunction(() => kelvora.state === 'ended', {timeout: 600000, polling: 500});

  // The screen as the whole-show tests hash it (FNV-1a, 64 bits): the frame's bytes,
  // then the 256 colours in force as red, green, blue; and the canvas beside it.
  const screens = await page.evaluate(() => kelvora.captures.map((c) => {
    let h = 0xcbf29ce484222325n;
    const add = (b) => { h = ((h ^ BigInt(b)) * 0x100000001b3n) & 0xffffffffffffffffn; };
    for (const b of c.frame) add(b);
    for (const v of c.lookup) { add((v >>> 16) & 255); add((v >>> 8) & 255); add(v & 255); }
    let wrongPixels = 0;
    for (let i = 0; i < 64000; ++i) {
      const v = c.lookup[c.frame[i]];
      const p = c.canvas.subarray(i * 4, i * 4 + 4);
      if (p[0] !== ((v >>> 16) & 255) || p[1] !== ((v >>> 8) & 255) || p[2] !== (v & 255) || p[3] !== 255)
        ++wrongPixels;
    }
    return {at: c.at, hash: h.toString(16).padStart(16, '0'), wrongPixels};
  }));
  const summary = await page.evaluate(() => ({code: kelvora.exitCode, frames: kelvora.frames,
                                              ms: kelvora.frameMs(), maxMs: kelvora.busyMaxMs,
                                              status: document.getElementById('status').textContent}));
  console.log(`fixed clock, whole show: ${summary.frames} frames, ${summary.ms.toFixed(3)} ms of show ` +
              `per frame on average, ${summary.maxMs.toFixed(1)} ms at most`);

  assert.deepEqual(screens.map((s) => s.at), showTimes);
  const differing = screens.filter((s) => s.hash !== expected.get(s.at)).map((s) => s.at);
  assert.deepEqual(differing, [], 'show times whose screen differs from the native build\'s');
  assert.deepEqual(screens.filter((s) => s.wrongPixels > 0).map((s) => s.at), [],
                   'show times whose canvas is not the frame under its palette');
  assert.equal(summary.code, 0);
  assert.equal(summary.status, 'The show has ended.');
  assert.deepEqual(errors, []);
  await page.close();
});

test('missing or damaged data stops the show with the native one-line message', async () => {
  const cases = [
    {folder: 'no-archive', sound: false, line: /^kelvora: Core Error: error loading resource 'bizk\.dat' \(resource\.rar: No such file or directory\)$/},
    {folder: 'damaged-archive', sound: false, line: /^kelvora: Core Error: error loading resource '[a-z_0-9]+\.dat' \(.+\)$/},
    {folder: 'no-module', sound: true, line: /^kelvora: Core Error: Sound error : File not found$/},
    {folder: 'cut-module', sound: true, line: /^kelvora: Core Error: Sound error : Error loading file$/},
  ];
  for (const c of cases) {
    const {page, errors} = await open(c.folder);
    await start(page, c.sound);
    await page.waitForFunction(() => kelvora.state === 'ended', {timeout: 20000});
    const end = await page.evaluate(() => ({code: kelvora.exitCode, error: kelvora.error,
                                            status: document.getElementById('status').textContent}));
    assert.equal(end.code, 1, c.folder);
    assert.match(end.error, c.line, c.folder);
    assert.equal(end.status, end.error, c.folder + ': the page shows another line');
    assert.ok(errors.includes(end.error), c.folder + ': the console lacks the line');
    assert.equal(await turnsOver(page, 300), 0, c.folder + ': the show still takes turns');
    await page.close();
  }
});

test('without sound the show plays silently, and full screen toggles', async () => {
  const {page, errors} = await open('site');
  const t0 = await start(page, false);
  await sleepUntil(t0, 2000);
  assert.ok((await canvasLook(page)).lit > 0);
  assert.equal(await page.evaluate(() => kelvora.audio), null);

  await page.click('#fullscreen');
  await page.waitForFunction(() => document.fullscreenElement === document.getElementById('stage'));
  // Full screen covers the button: a double click on the picture comes back.
  await page.click('#stage', {count: 2});
  await page.waitForFunction(() => document.fullscreenElement === null);
  assert.equal(await page.evaluate(() => kelvora.state), 'playing');
  assert.deepEqual(errors, []);
  await page.close();
});

test('without an AudioWorklet the music plays through a ScriptProcessor', async () => {
  const {page, errors} = await open('site', '?no-worklet');
  const t0 = await start(page, true);
  await sleepUntil(t0, 2000);
  const a = await page.evaluate(() => ({position: kelvora.position(), ...kelvora.audio}));
  await sleepUntil(t0, 3000);
  const b = await page.evaluate(() => ({position: kelvora.position(), ...kelvora.audio}));
  assert.equal(b.state, 'running');
  assert.ok(b.position > a.position + 0.5, `the module position went from ${a.position} s to ${b.position} s`);
  assert.ok(b.played > a.played && b.peak > 0.01, 'the output played nothing, or silence');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => kelvora.state === 'ended' && kelvora.audio.state === 'closed');
  assert.deepEqual(errors, []);
  await page.close();
});

// The whole show in real time takes two and a half minutes: run by
// KELVORA_WEB_WHOLE_SHOW=1 scripts/web --test, not in CI.
test('the whole show plays in real time with its music to its end', {skip: process.env.KELVORA_WEB_WHOLE_SHOW !== '1'},
     async () => {
  const {page, errors} = await open('site');
  await start(page, true);
  await page.waitForFunction(() => kelvora.state === 'ended', {timeout: 200000, polling: 1000});
  const end = await page.evaluate(() => ({code: kelvora.exitCode, frames: kelvora.frames, ms: kelvora.frameMs(),
                                          maxMs: kelvora.busyMaxMs, ...kelvora.audio}));
  console.log(`real clock, whole show: ${end.frames} frames, ${end.ms.toFixed(3)} ms of show per frame on ` +
              `average, ${end.maxMs.toFixed(1)} ms at most; ${(end.played / end.rate).toFixed(2)} s of music, ` +
              `${end.starved} starved output blocks`);
  assert.equal(end.code, 0);
  assert.equal(end.state, 'closed');
  assert.ok(end.played / end.rate > 149, 'the music stopped early');
  assert.deepEqual(errors, []);
  await page.close();
});
