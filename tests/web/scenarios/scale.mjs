// The page at device pixel ratios 1, 1.5 and 2 on a 1024 x 768 screen, and on a phone:
//   - the canvas's backing store is the window's physical pixels (737 x 584 times the
//     scale), shown one to one, so the picture is crisp
//   - reduced to 737 x 584 its picture is the one shown at 100 %
//   - a click (a tap on the phone) into the drawn wish box, typing, and a click on the
//     drawn 占い実行 make the reading for "abc" with Fate 10
//   - on the phone, a long press opens the options menu
import { join } from 'node:path';
import { WIN_W, WIN_H, check, eventually, fail, pageErrors, sleep } from '../lib/harness.mjs';
import { AT, LIGHT, canvasShot, click, controls, menuEntries, tap, toPage, windowBox } from '../lib/program.mjs';
import { areaMatches, convert, seedSettings, today } from '../lib/resources.mjs';

const RUNS = [
    { name: '100 %', scale: 1, viewport: { width: 1024, height: 768 } },
    { name: '150 %', scale: 1.5, viewport: { width: 1024, height: 768 } },
    { name: '200 %', scale: 2, viewport: { width: 1024, height: 768 } },
    { name: 'phone', scale: 3, viewport: { width: 390, height: 844 }, mobile: true },
];

export async function scenarioScale(run) {
    let reference = null;
    for (const r of RUNS) {
        const shot = await scaleRun(run, r, reference);
        if (r.scale === 1 && shot) reference = shot;
    }
}

// A finger held on the window opens the options menu, as a right click does.
async function longPress(page, name) {
    const [x, y] = await toPage(page, ...AT.menuSpot);
    const cdp = await page.context().newCDPSession(page);
    try {
        const point = [{ x, y, id: 1, radiusX: 4, radiusY: 4, force: 1 }];
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: point });
        await sleep(1200);
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    } finally {
        await cdp.detach();
    }
    const m = await eventually(() => menuEntries(page), (e) => e.shown, 3000);
    await page.keyboard.press('Escape');
    check(`${name}: a long press`, m.shown && m.entries.length > 0,
        `a finger held on the window for 1.2 s opens the options menu (${m.entries.filter((e) => e.role !== 'separator').length} items)`,
        'a finger held on the window for 1.2 s opened no menu');
}

async function scaleRun(run, r, reference) {
    const name = `scale ${r.name}`;
    const context = await run.newContext({
        viewport: r.viewport, scale: r.scale, mobile: !!r.mobile,
        initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, 'MuteOn=1'])],
    });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); return null; }
        await sleep(1000);
        const dpr = await page.evaluate(() => window.devicePixelRatio);
        const box = await windowBox(page);
        const shot = join(run.shots, `scale-${r.name.replace(/ %/, '')}.png`);
        const size = await canvasShot(page, shot);
        const css = await page.evaluate(() => {
            const c = document.getElementById('sw-canvas').getBoundingClientRect();
            return { width: c.width, height: c.height };
        });
        // Shown one to one: the canvas covers as many device pixels as it has.
        const crisp = Math.abs(css.width * dpr - size.width) <= 1 && Math.abs(css.height * dpr - size.height) <= 1;
        const fits = box.left >= -0.5 && box.top >= -0.5 && box.left + box.width <= r.viewport.width + 0.5 &&
            box.top + box.height <= r.viewport.height + 0.5;
        if (r.mobile) {
            // A window larger than the screen is shown smaller: all of it can be reached.
            check(`${name}: the window fits`, fits && crisp,
                `the window is ${box.width.toFixed(0)}x${box.height.toFixed(0)} CSS pixels inside the ${r.viewport.width}x${r.viewport.height} screen, its canvas ${size.width}x${size.height} shown one to one`,
                `window at ${JSON.stringify(box)} on a ${r.viewport.width}x${r.viewport.height} screen; canvas ${size.width}x${size.height} shown at ${css.width}x${css.height} CSS pixels (device pixel ratio ${dpr})`);
        } else {
            const w = Math.round(WIN_W * r.scale), h = Math.round(WIN_H * r.scale);
            check(`${name}: the canvas`, Math.abs(size.width - w) <= 1 && Math.abs(size.height - h) <= 1 && crisp && fits,
                `${size.width}x${size.height} device pixels, shown one to one (${css.width.toFixed(1)}x${css.height.toFixed(1)} CSS pixels at ${dpr})`,
                `canvas ${size.width}x${size.height} (want ${w}x${h}) shown at ${css.width}x${css.height} CSS pixels at device pixel ratio ${dpr}; window ${JSON.stringify(box)}`);
        }
        if (reference && r.scale !== 1) {
            // Reduced by area to the program's size, the picture is the 100 % one; the
            // sparkles and the texts' edges may differ.
            const reduced = join(run.shots, `scale-${r.name.replace(/ %/, '')}-reduced.png`);
            convert(shot, '-filter', 'box', '-resize', `${WIN_W}x${WIN_H}!`, reduced);
            const m = areaMatches('still', reduced, 0, 0, reference, '--exclude', ...LIGHT, '--tolerance', 48, '--min-share', 0.96);
            check(`${name}: the picture`, m.ok, `reduced to 737 x 584 it shows the 100 % picture (${m.out})`, `${m.out} (${shot})`);
        }
        // Clicks (taps) at the drawn wish box and 占い実行.
        const press = r.mobile ? tap : click;
        await press(page, [463 + 40, 82 + 20]);
        await sleep(300);
        await page.keyboard.type('abc', { delay: 30 });
        await sleep(200);
        await press(page, AT.fortune);
        const c = await eventually(() => controls(page), (x) => x.LabelNo.text === 'CARD.022' && x.LabelNo.shown, 8000);
        check(`${name}: a ${r.mobile ? 'tap' : 'click'} on the drawn 占い実行`, c.LabelNo.text === 'CARD.022' && c.Memo1.text === 'abc',
            `the reading for 'abc' shows ${c.LabelNo.text}`,
            `wish box '${c.Memo1.text}', number '${c.LabelNo.text}' 8 s after the ${r.mobile ? 'tap' : 'click'}`);
        if (r.mobile) await longPress(page, name);
        return shot;
    } finally {
        await context.close();
    }
}
