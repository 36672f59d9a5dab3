// The web program's benchmark, each figure beside a baseline measured in the same run in
// the same headless Chromium:
//   the page's size                 vs the resource files it holds
//   navigation to the first frame   vs a page that paints one blank canvas of the same size
//   a card-turn step's present      vs a plain putImageData of as many pixels
// Prints a Markdown part for docs/performance.md on stdout.
//
// usage: node tests/web/bench/web_bench.mjs BUILD_DIR "MACHINE LINE"
import { chromium } from '../node_modules/playwright-core/index.mjs';
import fs from 'node:fs';
import path from 'node:path';
import url from 'node:url';

const here = path.dirname(url.fileURLToPath(import.meta.url));
const root = path.resolve(here, '../../..');
const build = path.resolve(process.argv[2] || 'build/web');
const machine = process.argv[3] || '';
const page = path.join(build, 'Sablewick.html');
const blank = path.join(here, 'blank.html');
const rounds = 10;

const median = (xs) => {
    const s = [...xs].sort((a, b) => a - b);
    const m = s.length >> 1;
    return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};
const ms = (v) => (v < 0.1 ? v.toFixed(3) : v.toFixed(2)) + ' ms';

// The files the resource script names: what the page carries besides its code.
function resourceBytes() {
    const rc = fs.readFileSync(path.join(root, 'resources/Sablewick.rc'), 'latin1');
    let total = 0;
    for (const line of rc.split(/\r?\n/)) {
        const m = /^([A-Za-z0-9_]+)[ \t]+([A-Za-z0-9_]+)[ \t]+"([^"]+)"/.exec(line);
        if (m && m[2] !== '24') total += fs.statSync(path.join(root, 'resources', m[3])).size;
    }
    return total;
}

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
});
const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });

async function firstFrame(file) {
    const p = await context.newPage();
    await p.goto(url.pathToFileURL(file).href);
    const t = await p.waitForFunction(() => {
        const e = performance.getEntriesByName('sablewick-first-frame')[0];
        if (!e) return 0;
        // Where the time went: the file read, the page and its script parsed with the
        // program decoded and compiled (to the program's main), the program's own start.
        const nav = performance.getEntriesByType('navigation')[0];
        const main = performance.getEntriesByName('sablewick-main')[0];
        return { frame: e.startTime, read: nav ? nav.responseEnd : 0, main: main ? main.startTime : 0 };
    }, null, { timeout: 30000 });
    const value = await t.jsonValue();
    await p.close();
    return value;
}

// Interleaved, after one warm-up of each, so the two meet the same machine.
await firstFrame(blank);
await firstFrame(page);
const frames = { page: [], blank: [] };
const parts = { read: [], main: [] };
for (let i = 0; i < rounds; ++i) {
    frames.blank.push((await firstFrame(blank)).frame);
    const f = await firstFrame(page);
    frames.page.push(f.frame);
    parts.read.push(f.read);
    parts.main.push(f.main);
}

// A reading's card turn: every present the program made, and as many putImageData calls
// of the largest one's size in the same page.
const p = await context.newPage();
const d = new Date();
const today = `${d.getFullYear()}/${String(d.getMonth() + 1).padStart(2, '0')}/${String(d.getDate()).padStart(2, '0')}`;
await p.addInitScript((t) => {
    localStorage.setItem('sablewick:/sablewick/Orvane.ini',
        `[Orvane.ini]\r\nFate=10\r\nOldDate=${t}\r\nMemDate=${t}\r\n`);
}, today);
await p.goto(url.pathToFileURL(page).href);
await p.waitForFunction(() => document.body.dataset.swState === 'running');
await p.waitForTimeout(500);
const box = await p.locator('#sw-client').boundingBox();
await p.mouse.click(box.x + 523, box.y + 142);
await p.keyboard.type('abc');
await p.evaluate(() => { SW.presentTimes.length = 0; });
await p.keyboard.press('Enter');
await p.waitForTimeout(3500);
const presents = await p.evaluate(() => SW.presentTimes.slice());
// The card turn's steps redraw the picture area; the sparkles' small rectangles are left out.
const area = presents.filter((r) => r[1] * r[2] >= 300 * 400);
const w = Math.max(...area.map((r) => r[1])), h = Math.max(...area.map((r) => r[2]));
const plain = await p.evaluate(([w, h, n]) => {
    const c = document.createElement('canvas');
    c.width = w;
    c.height = h;
    document.body.appendChild(c);
    const ctx = c.getContext('2d');
    const img = new ImageData(w, h);
    // The page's clock is coarse (a tenth of a millisecond): the calls are timed in runs
    // of 50, and a run's mean is one figure.
    const times = [];
    for (let i = 0; i < n; ++i) {
        const t0 = performance.now();
        for (let j = 0; j < 50; ++j) {
            img.data[(j * 4) % img.data.length] = (i + j) & 255;
            ctx.putImageData(img, 0, 0);
        }
        times.push((performance.now() - t0) / 50);
    }
    c.remove();
    return times;
}, [w, h, Math.max(area.length, 20)]);
await browser.close();

const size = fs.statSync(page).size;
const res = resourceBytes();
const rows = [
    ['The page `Sablewick.html`, everything inside', (size / 1048576).toFixed(2) + ' MiB',
     (res / 1048576).toFixed(2) + ' MiB', 'the resource files it holds', (size / res).toFixed(2) + '×'],
    [`Navigation to the first frame, file:// (median of ${rounds})`, ms(median(frames.page)),
     ms(median(frames.blank)), 'a page painting one blank 737 × 584 canvas',
     (median(frames.page) / median(frames.blank)).toFixed(2) + '×'],
    [`A card-turn step's present, ${w} × ${h} (median of ${area.length})`, ms(median(area.map((r) => r[0]))),
     ms(median(plain)), 'a plain `putImageData` of as many pixels',
     (median(area.map((r) => r[0])) / Math.max(median(plain), 1e-3)).toFixed(1) + '×'],
];
const out = [];
out.push('<!-- web-begin: written by tools/bench.sh (tests/web/bench/web_bench.mjs) -->');
out.push('## The program in a browser');
out.push('');
out.push(machine + ' Debian\'s Chromium, headless, at a device pixel ratio of 1.');
out.push('');
out.push('| what | Sablewick | baseline | baseline is | ratio |');
out.push('|---|---:|---:|---|---:|');
for (const r of rows) out.push('| ' + r.join(' | ') + ' |');
out.push('');
out.push(`Where the first frame's time goes (medians): the ${(size / 1048576).toFixed(1)} MiB file read by ` +
    `${ms(median(parts.read))}; the page and its script parsed, the program inside decoded from ` +
    `its text form and compiled, until its start, at ${ms(median(parts.main))}; the program's own ` +
    `start (settings, the first pictures decoded, the window drawn), the rest.`);
out.push('<!-- web-end -->');
console.log(out.join('\n'));
