// The program as a user of its page meets it: its window at the program's own pixel
// coordinates (737 x 584, whatever size the page shows it at), its labels, the wish box,
// the options menu and the canvas's pixels.
import { writeFileSync } from 'node:fs';
import { WIN_W, WIN_H, sleep } from './harness.mjs';

// Where the program's designed controls are, in its pixels (interact/ButtonDatU.cpp).
export const AT = {
    wishBox: [463 + 60, 82 + 60],
    fortune: [471 + 52, 233 + 20],
    random: [580 + 52, 233 + 20],
    close: [703 + 16, 1 + 16],
    minimise: [674 + 11, 11 + 11],
    next: [580 + 19, 2 + 18],
    creator: [457 + 75, 549 + 17],
    menuSpot: [410, 450],
};
export const RECT = {
    close: [703, 1, 33, 33],
    random: [580, 233, 103, 39],
    fortune: [471, 233, 103, 39],
};
// The card picture (340 x 500) and the square where the sparkles of the centred light
// origin are drawn, which comparisons leave out.
export const CARD = { x: 36, y: 48, w: 340, h: 500 };
export const LIGHT = [160, 252, 87, 87];

// The window's box on the page, in CSS pixels: the client area the program draws in.
export async function windowBox(page) {
    return page.evaluate(() => {
        for (const id of ['sw-client', 'sw-window']) {
            const e = document.getElementById(id);
            if (!e) continue;
            const r = e.getBoundingClientRect();
            if (r.width > 0 && r.height > 0) return { left: r.left, top: r.top, width: r.width, height: r.height };
        }
        return null;
    });
}

// A program pixel's centre on the page.
export async function toPage(page, x, y) {
    const box = await windowBox(page);
    if (!box) throw new Error('the window (#sw-client) is not shown');
    return [box.left + (x + 0.5) * box.width / WIN_W, box.top + (y + 0.5) * box.height / WIN_H];
}

export async function click(page, [x, y], button = 'left') {
    const [px, py] = await toPage(page, x, y);
    await page.mouse.click(px, py, { button });
}

// A finger's tap at a program pixel (pages opened as on a phone).
export async function tap(page, [x, y]) {
    const [px, py] = await toPage(page, x, y);
    await page.touchscreen.tap(px, py);
}

export async function typeWish(page, text) {
    await click(page, AT.wishBox);
    await sleep(300);
    await page.keyboard.type(text, { delay: 30 });
}

// The texts the labels and the wish box show, and whether each is shown.
export async function controls(page) {
    return page.evaluate(() => {
        const shown = (e) => {
            if (!e || e.hidden) return false;
            for (let n = e; n && n !== document.body; n = n.parentElement) {
                const s = getComputedStyle(n);
                if (n.hidden || s.display === 'none' || s.visibility === 'hidden') return false;
            }
            return true;
        };
        const out = {};
        for (const id of ['LabelNo', 'LabelTittle', 'LabelCreator', 'LabelKaisetu']) {
            const e = document.getElementById(id);
            out[id] = { text: e ? e.innerText.replace(/\r/g, '') : null, shown: shown(e), exists: !!e };
        }
        const memo = document.getElementById('Memo1');
        out.Memo1 = { text: memo ? memo.value : null, shown: shown(memo), exists: !!memo,
            readOnly: memo ? memo.readOnly : null };
        return out;
    });
}

// The canvas's backing store as it is now: its size, and a PNG of it written to path.
export async function canvasShot(page, path) {
    const got = await page.evaluate(() => {
        const c = document.getElementById('sw-canvas');
        if (!c) return null;
        return { width: c.width, height: c.height, png: c.toDataURL('image/png') };
    });
    if (!got) throw new Error('no canvas#sw-canvas');
    writeFileSync(path, Buffer.from(got.png.split(',')[1], 'base64'));
    return { width: got.width, height: got.height };
}

// The options menu as the page shows it: one entry per item or separator.
export async function menuEntries(page) {
    return page.evaluate(() => {
        const m = document.getElementById('sw-menu');
        if (!m) return { exists: false, shown: false, role: null, entries: [] };
        const shown = !m.hidden && getComputedStyle(m).display !== 'none';
        const entries = [];
        for (const e of m.querySelectorAll('[role]')) {
            const role = e.getAttribute('role');
            if (role === 'separator') { entries.push({ role }); continue; }
            if (!role.startsWith('menuitem')) continue;
            const u = e.querySelector('u');
            entries.push({
                role,
                text: e.textContent,
                key: u ? u.textContent : '',
                checked: e.getAttribute('aria-checked') === 'true',
                enabled: e.getAttribute('aria-disabled') !== 'true',
            });
        }
        return { exists: true, shown, role: m.getAttribute('role'), entries };
    });
}

// The menu as lines like the GTK run's probe: "item CHECKED ENABLED caption" and
// "separator"; a caption's key letter in parentheses as "(_K)".
export function menuLines(entries) {
    return entries.map((e) => (e.role === 'separator' ? 'separator'
        : `item ${e.checked ? 1 : 0} ${e.enabled ? 1 : 0} ${e.key ? e.text.replace('(' + e.key + ')', '(_' + e.key + ')') : e.text}`));
}

export async function menuShown(page) {
    return page.evaluate(() => {
        const m = document.getElementById('sw-menu');
        return !!m && !m.hidden && getComputedStyle(m).display !== 'none';
    });
}

// The painted buttons a screen reader is offered: the page's buttons over the picture.
export async function accessButtons(page) {
    return page.evaluate(() => [...document.querySelectorAll('#sw-access button')].map((b) => {
        const r = b.getBoundingClientRect();
        return {
            id: b.dataset.id, name: b.getAttribute('aria-label') || b.textContent,
            disabled: b.disabled || b.getAttribute('aria-disabled') === 'true',
            pressed: b.getAttribute('aria-pressed'),
            rect: [r.left, r.top, r.width, r.height], focused: document.activeElement === b,
        };
    }));
}
