// Every card seen, so the menu offers the wallpaper: its command downloads WallOrvane.bmp,
// a 24-bit BMP of the screen's size whose frame block, centred 7 pixels above the middle,
// holds the window's picture area on a starry sky, and a message names the file.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { check, fail, pageErrors, sleep } from '../lib/harness.mjs';
import { AT, CARD, LIGHT, canvasShot, click, menuEntries } from '../lib/program.mjs';
import { allSeen, areaMatches, convert, seedSettings, today } from '../lib/resources.mjs';
import { eventually } from '../lib/harness.mjs';

export function bmpHeader(bytes) {
    if (bytes.length < 54) return null;
    return {
        magic: bytes.toString('latin1', 0, 2),
        width: bytes.readInt32LE(18),
        height: bytes.readInt32LE(22),
        bits: bytes.readUInt16LE(28),
        compression: bytes.readUInt32LE(30),
        size: bytes.length,
    };
}

export async function scenarioWallpaper(run) {
    const screen = { width: 1024, height: 768 };
    const context = await run.newContext({
        viewport: screen,
        initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, `CardOk=${allSeen()}`])],
    });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail('wallpaper', `the page says '${state}'${pageErrors(page)}`); return; }
        await sleep(1000);
        const before = join(run.shots, 'wallpaper-before.png');
        await canvasShot(page, before);
        await click(page, AT.menuSpot, 'right');
        const m = await eventually(() => menuEntries(page), (x) => x.shown, 3000);
        const item = m.entries.find((e) => e.text && e.text.startsWith('壁紙作成'));
        if (!item || !item.enabled) {
            fail('wallpaper', `with every card seen the menu's item is ${item ? 'unavailable' : 'missing'}`);
            return;
        }
        const [download] = await Promise.all([
            page.waitForEvent('download', { timeout: 20000 }),
            page.locator('#sw-menu [role^=menuitem]', { hasText: '壁紙作成' }).click(),
        ]);
        const path = join(run.shots, 'WallOrvane.bmp');
        await download.saveAs(path);
        // A page cannot set the desktop's wallpaper: a message says what to do with the file.
        const told = await eventually(() => page.evaluate(() => {
            const d = document.getElementById('sw-dialog');
            return d && !d.hidden ? (d.querySelector('.sw-dialog-text') || d).textContent : null;
        }), (x) => x, 5000);
        if (told) await page.locator('#sw-dialog button', { hasText: 'OK' }).click();
        const dismissed = await eventually(() => page.evaluate(() => document.getElementById('sw-dialog').hidden), (x) => x, 3000);
        check('wallpaper: the message', told && told.includes('WallOrvane.bmp') && dismissed,
            `'${told.replace(/\n/g, ' ')}', closed by OK`, `dialog text ${JSON.stringify(told)}, closed by OK ${dismissed}`);
        const bytes = readFileSync(path);
        const h = bmpHeader(bytes);
        const rowBytes = h ? Math.ceil((h.width * 3) / 4) * 4 : 0;
        const wantSize = h ? 54 + rowBytes * Math.abs(h.height) : 0;
        const sizes = `${h && h.width}x${h && h.height}`;
        if (!check('wallpaper: the download', h && h.magic === 'BM' && h.bits === 24 && h.compression === 0 &&
            h.width === screen.width && Math.abs(h.height) === screen.height && h.size === wantSize &&
            download.suggestedFilename() === 'WallOrvane.bmp',
        `${download.suggestedFilename()}, a ${sizes} 24-bit BMP of ${h && h.size} bytes`,
        `${download.suggestedFilename()}: ${JSON.stringify(h)} (want BM ${screen.width}x${screen.height}, 24 bits, ${wantSize} bytes)`)) return;
        // The window's point (x, y) lands at the frame block's corner plus (x, y - 12).
        const png = join(run.shots, 'WallOrvane.png');
        convert(path, png);
        const bx = Math.floor((h.width - 412) / 2), by = Math.floor((Math.abs(h.height) - 586) / 2);
        const block = areaMatches('still', png, bx + CARD.x, by + CARD.y - 12, before, '--from', CARD.x, CARD.y,
            '--size', CARD.w, CARD.h, '--exclude', bx + LIGHT[0], by + LIGHT[1] - 12, LIGHT[2], LIGHT[3]);
        const sky = areaMatches('sky', png, 0, 0, bx - 6, Math.abs(h.height));
        check('wallpaper: the picture', block.ok && sky.ok,
            `the frame block at (${bx}, ${by}) shows the window's card (${block.out}), the sky beside it is starry (${sky.out})`,
            `card in the frame block: ${block.out}; sky left of it: ${sky.out} (${png})`);
    } finally {
        await context.close();
    }
}
