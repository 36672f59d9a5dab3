// Watches an area of the canvas inside the page, frame by frame, as the desktop runs
// watch the screen (tests/e2e/area_matches.py watch): for each reference the first time
// the area matched it, in order (the card back, then the new face). The comparison runs
// in the page, so no frame is missed between two round trips.
import { readPpm } from './resources.mjs';

// refs: [[name, ppmPath], ...], each of the area's size. exclude: [x, y, w, h] in the
// canvas's pixels, left out (the sparkles).
export async function startWatch(page, { x, y, w, h }, refs, { exclude = null, tolerance = 24, minShare = 0.97 } = {}) {
    const pictures = refs.map(([name, path]) => {
        const p = readPpm(path);
        if (p.width !== w || p.height !== h) throw new Error(`${path} is ${p.width}x${p.height}, not ${w}x${h}`);
        return [name, Buffer.from(p.rgb).toString('base64')];
    });
    await page.evaluate(({ x, y, w, h, pictures, exclude, tolerance, minShare }) => {
        const canvas = document.getElementById('sw-canvas');
        const ctx = canvas.getContext('2d', { willReadFrequently: true });
        const refs = pictures.map(([name, b64]) => {
            const s = atob(b64);
            const rgb = new Uint8Array(s.length);
            for (let i = 0; i < s.length; i++) rgb[i] = s.charCodeAt(i);
            return { name, rgb, first: null, best: 0 };
        });
        const keep = new Uint8Array(w * h).fill(1);
        if (exclude) {
            const [ex, ey, ew, eh] = exclude;
            for (let j = Math.max(ey - y, 0); j < Math.min(ey - y + eh, h); j++)
                for (let i = Math.max(ex - x, 0); i < Math.min(ex - x + ew, w); i++) keep[j * w + i] = 0;
        }
        const compared = keep.reduce((a, b) => a + b, 0);
        const watch = { refs, frames: 0, done: false, start: performance.now() };
        window.__swWatch = watch;
        const look = () => {
            if (watch.done) return;
            const px = ctx.getImageData(x, y, w, h).data;
            watch.frames++;
            const when = Math.round(performance.now() - watch.start);
            let before = true;  // every reference before this one has matched
            for (const r of refs) {
                let same = 0;
                for (let i = 0, n = w * h; i < n; i++) {
                    if (!keep[i]) continue;
                    if (Math.abs(px[4 * i] - r.rgb[3 * i]) <= tolerance &&
                        Math.abs(px[4 * i + 1] - r.rgb[3 * i + 1]) <= tolerance &&
                        Math.abs(px[4 * i + 2] - r.rgb[3 * i + 2]) <= tolerance) same++;
                }
                const share = same / compared;
                if (share > r.best) r.best = share;
                if (before && r.first === null && share >= minShare) r.first = when;
                before = before && r.first !== null;
            }
            if (refs.every((r) => r.first !== null)) watch.done = true;
        };
        watch.look = look;
        watch.timer = setInterval(look, 10);
    }, { x, y, w, h, pictures, exclude, tolerance, minShare });
}

// Waits for every reference to match (or the time to run out) and reports
// "name N ms (best P%)" for each.
export async function finishWatch(page, timeoutMs = 6000) {
    await page.waitForFunction(() => window.__swWatch && window.__swWatch.done, null,
        { timeout: timeoutMs, polling: 50 }).catch(() => {});
    const r = await page.evaluate(() => {
        const w = window.__swWatch;
        clearInterval(w.timer);
        w.done = true;
        return { frames: w.frames, refs: w.refs.map((x) => ({ name: x.name, first: x.first, best: x.best })) };
    });
    const ok = r.refs.every((x) => x.first !== null);
    const report = r.refs.map((x) => `${x.name} ${x.first === null ? 'never' : x.first + ' ms'} (best ${(100 * x.best).toFixed(1)}%)`)
        .join(', ') + `, ${r.frames} frames`;
    return { ok, report, refs: r.refs };
}
