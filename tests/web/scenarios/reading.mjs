// One visit as a user makes it, in one tab at 100 %, with Fate 10 in the settings: the
// title card at start, the wish "abc" and Enter giving card 22 (the card back shown during
// the turn), the sounds it played, the card index, the options menu, the close button and
// the settings it wrote, and a reload that brings the last reading back.
import { join } from 'node:path';
import { WIN_W, WIN_H, check, fail, pass, eventually, sleep, swState, waitForState, pageErrors } from '../lib/harness.mjs';
import { AT, CARD, LIGHT, canvasShot, click, controls, menuEntries, menuLines, menuShown, typeWish } from '../lib/program.mjs';
import {
    RESOURCES, areaMatches, cardLine, convert, nameSounds, seedSettings, soundRecord, storedSettings,
    SOUND_RECORDER, toPpm, today, wavResources, windowMatchesPicture,
} from '../lib/resources.mjs';
import { finishWatch, startWatch } from '../lib/watch.mjs';

const CUES = ['A01', 'A02', 'A03', 'A04', 'A05', 'A06', 'A07', 'A08', 'A09', 'A10', 'A11'];

// The options menu with the defaults and one reading made, as the GTK run expects it:
// sparkles over the picture on; centring, re-centring the light, the previous card, the
// last run's reading and the wallpaper unavailable.
const MENU_AFTER_READING = [
    'item 0 0 中央に配置する(_C)',
    'item 0 1 常に一番上に配置する(_T)',
    'item 0 1 音声を消す(_M)',
    'separator',
    'item 0 1 羽根ペンを黒くする(_B)',
    'item 0 1 羽根ペンを下向きにする(_D)',
    'item 1 1 光効果を絵の上でも表示する(_L)',
    'item 0 0 光効果の発生点を中央に配置する(_P)',
    'separator',
    'item 0 0 直前のカードを再表示する(_U)',
    'item 0 0 前回起動時の最後の占いを再現する(_R)',
    'item 0 1 次回起動時に最後の占いを再現する(_N)',
    'separator',
    'item 0 0 壁紙作成(_W)',
];

function notRun(names, why) {
    for (const n of names) fail(n, `not run: ${why}`);
}

export async function scenarioReading(run) {
    const shots = run.shots;
    const context = await run.newContext({
        initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`]), SOUND_RECORDER],
    });
    try {
        await visit(run, context, shots);
    } finally {
        await context.close();
    }
}

async function visit(run, context, shots) {
    const { page, state } = await run.openPage(context);
    const later = ['reading', 'turn', 'sound', 'index', 'menu', 'close button', 'resume'];
    if (state !== 'running') {
        fail('start', `body[data-sw-state] is '${state}' 30 s after loading ${run.url}, not 'running'${pageErrors(page)}`);
        notRun(later, 'the page did not start');
        return;
    }
    pass('start', `${run.url} says running`);
    await sleep(1000);

    // (a) The window's picture: the background inside the shape, the title card in the
    // picture area. The canvas holds the program's pixels at 100 %.
    const start = join(shots, 'start.png');
    const size = await canvasShot(page, start);
    const base = toPpm(join(RESOURCES, 'BASE.jpg'), join(shots, 'base.ppm'));
    const mask = toPpm(join(RESOURCES, 'BASEMSK.bmp'), join(shots, 'mask.ppm'));
    const title = toPpm(join(RESOURCES, 'C000.jpg'), join(shots, 'C000.ppm'));
    if (size.width !== WIN_W || size.height !== WIN_H) {
        fail('start: the canvas', `its backing store is ${size.width}x${size.height} at 100 %, not ${WIN_W}x${WIN_H}`);
    } else {
        convert(start, '-depth', '8', '-type', 'TrueColor', join(shots, 'start.ppm'));
        // Inside the shape only: the canvas is clipped by the page, not transparent.
        const inside = windowMatchesPicture(join(shots, 'start.ppm'), base, mask, '--behind', '0,0,0');
        const insideShare = /inside the shape \d+ of \d+ grid points match the picture \((\d+)%\)/.exec(inside.out);
        check('start: the window picture', insideShare && Number(insideShare[1]) >= 55,
            inside.out.replace(/, outside.*/, ''), `${inside.out} (${start})`);
        const card = areaMatches('still', start, CARD.x, CARD.y, title, '--exclude', ...LIGHT);
        check('start: the title card', card.ok, `C000 in the picture area (${card.out})`, `the picture area does not show C000: ${card.out} (${start})`);
    }
    // The shape as the page shows it: over a white page the outside of the shape is white.
    await shapeShot(page, shots, base, mask);

    // (b) The wish, Enter, the turn: the card back fills the picture area, then card 22.
    const c = await controls(page);
    check('start: the wish box', c.Memo1.exists && c.Memo1.shown && c.Memo1.readOnly === false,
        'textarea#Memo1 shown and editable', `Memo1 ${JSON.stringify(c.Memo1)}`);
    await typeWish(page, 'abc');
    const back = toPpm(join(RESOURCES, 'C999.jpg'), join(shots, 'C999.ppm'));
    const face = toPpm(join(RESOURCES, 'C022.jpg'), join(shots, 'C022.ppm'));
    let watching = true;
    try {
        await startWatch(page, CARD, [['back', back], ['face', face]], { exclude: LIGHT });
    } catch (e) {
        watching = false;
        fail('turn', `the canvas could not be watched: ${e.message}`);
    }
    await page.keyboard.press('Enter');
    if (watching) {
        const w = await finishWatch(page, 8000);
        const [b, f] = w.refs;
        // Steps are at least 55 ms apart: the back is complete at the 10th step, the new
        // face 9 steps after the last full back.
        if (!w.ok) fail('turn', `picture area: ${w.report}`);
        else if (b.first < 450 || f.first - b.first < 450) fail('turn', `faster than 55 ms steps: ${w.report}`);
        else pass('turn', `the card back filled the picture area, then card 22's picture (${w.report})`);
    }
    const want = { no: 'CARD.022', title: cardLine(22, 1), text: cardLine(22, 2) };
    const after = await eventually(() => controls(page),
        (x) => x.LabelNo.text === want.no && x.LabelKaisetu.shown, 6000);
    const reading = join(shots, 'reading.png');
    await sleep(300);
    await canvasShot(page, reading);
    const labelsOk = after.LabelNo.text === want.no && after.LabelTittle.text === want.title &&
        after.LabelKaisetu.text === want.text && after.LabelNo.shown && after.LabelTittle.shown &&
        after.LabelKaisetu.shown && after.Memo1.text === 'abc';
    check('reading', labelsOk, `the wish 'abc', ${after.LabelNo.text} '${after.LabelTittle.text}' with its text`,
        `wish '${after.Memo1.text}', number '${after.LabelNo.text}', title '${after.LabelTittle.text}' (want '${want.title}'), ` +
        `text ${after.LabelKaisetu.text === want.text ? 'right' : `'${after.LabelKaisetu.text}'`}, shown ` +
        `${after.LabelNo.shown}/${after.LabelTittle.shown}/${after.LabelKaisetu.shown}`);
    const pic = areaMatches('still', reading, CARD.x, CARD.y, face, '--exclude', ...LIGHT);
    check('reading: the picture', pic.ok, `card 22's picture in the picture area (${pic.out})`, `${pic.out} (${reading})`);

    // (f) The sounds: the opening cue waits for the first gesture (the click into the wish
    // box), the reading's cue follows Enter; each decoded from its own WAV's bytes.
    await sleep(500);
    const wavs = wavResources(CUES);
    const rec = await soundRecord(page);
    const decoded = nameSounds(rec.decoded, wavs);
    const started = nameSounds(rec.started, wavs);
    const lengthsRight = rec.decoded.every((d, i) => decoded[i] === '?' || d.seconds === null ||
        Math.abs(d.seconds - wavs[decoded[i]].seconds) < 0.05);
    const i1 = started.indexOf('A01'), i2 = started.indexOf('A02');
    check('sound', i1 >= 0 && i2 > i1 && !decoded.includes('?') && lengthsRight,
        `decoded ${decoded.join(' ')}, each the bytes of its WAV; played ${started.join(' ')}`,
        `decoded [${decoded.join(' ')}] (${rec.decoded.map((d) => d.length + ' bytes ' + d.seconds + ' s').join(', ')}), ` +
        `played [${started.join(' ')}]; want A01 then A02, each decoded from its WAV's own bytes`);

    // (c) The card index through the right-hand triangle: page 2 holds card 22, the only
    // card seen; the others covered; the wish box hidden, back after a right click.
    await index(page, shots);

    // (d) The options menu.
    await menu(page);

    // (e) The close button writes the settings; the reload resumes the reading.
    await closeAndResume(run, page, shots, face);
}

async function shapeShot(page, shots, base, mask) {
    const box = await page.evaluate(() => {
        const r = document.getElementById('sw-client').getBoundingClientRect();
        return { x: r.left, y: r.top, width: r.width, height: r.height };
    });
    const style = await page.addStyleTag({ content: 'html, body { background: #fff !important; }' });
    const shot = join(shots, 'shape.png');
    await page.screenshot({ path: shot, clip: box });
    await style.evaluate((s) => s.remove());
    convert(shot, '-depth', '8', '-type', 'TrueColor', join(shots, 'shape.ppm'));
    const r = windowMatchesPicture(join(shots, 'shape.ppm'), base, mask);
    check('shape', r.ok, r.out, `${r.out} (${shot})`);
}

async function index(page, shots) {
    const quest = toPpm(join(RESOURCES, 'QUEST.jpg'), join(shots, 'QUEST.ppm'));
    const page2 = toPpm(join(RESOURCES, 'INDEX02.jpg'), join(shots, 'INDEX02.ppm'));
    await click(page, AT.next);
    const shot = join(shots, 'index.png');
    const cells = async () => {
        await canvasShot(page, shot);
        let covered = '', wrong = '';
        for (let i = 0; i < 10; i++) {
            const n = 20 + i;
            const x = 458 + 48 * (i % 5) + 3, y = 63 + 74 * Math.floor(i / 5) + 3;
            if (n === 22) {
                const r = areaMatches('still', shot, x, y, page2, '--from', 48 * (i % 5) + 3, 74 * Math.floor(i / 5) + 3, '--size', 40, 62);
                if (!r.ok) wrong += ` ${n}(not its thumbnail)`;
            } else if (areaMatches('still', shot, x, y, quest, '--from', 3, 3, '--size', 40, 62).ok) {
                covered += ` ${n}`;
            } else {
                wrong += ` ${n}(not covered)`;
            }
        }
        return { covered, wrong, memo: (await controls(page)).Memo1.shown };
    };
    const open = await eventually(cells, (r) => !r.wrong && !r.memo, 4000, 200);
    await click(page, AT.menuSpot, 'right');
    const closed = await eventually(async () => ({ memo: (await controls(page)).Memo1.shown, menu: await menuShown(page) }),
        (r) => r.memo && !r.menu, 3000);
    check('index', !open.wrong && !open.memo && closed.memo && !closed.menu,
        `covered${open.covered}, card 22's thumbnail; wish box hidden, back after a right click, no menu`,
        `wrong cells:${open.wrong || ' none'}, wish box while open ${open.memo ? 'shown' : 'hidden'}, after the right click ` +
        `${closed.memo ? 'shown' : 'hidden'}, menu ${closed.menu ? 'open' : 'closed'} (${shot})`);
}

async function menu(page) {
    await click(page, AT.menuSpot, 'right');
    const m = await eventually(() => menuEntries(page), (x) => x.shown, 3000);
    const got = menuLines(m.entries);
    await page.keyboard.press('Escape');
    const afterEscape = await eventually(() => menuShown(page), (x) => !x, 2000);
    // A click elsewhere closes it too, and reaches nothing else.
    await click(page, AT.menuSpot, 'right');
    const again = await eventually(() => menuShown(page), (x) => x, 3000);
    await page.mouse.click(5, 5);
    const afterClick = await eventually(() => menuShown(page), (x) => !x, 2000);
    const same = got.join('\n') === MENU_AFTER_READING.join('\n');
    check('menu', m.shown && m.role === 'menu' && same && !afterEscape && again && !afterClick,
        `${m.entries.filter((e) => e.role !== 'separator').length} items with their checks and enabling; Escape closed it, so did a click elsewhere`,
        `shown ${m.shown} (role '${m.role}'), closed by Escape ${!afterEscape}, by a click elsewhere ${again && !afterClick}; items:\n` +
        `${got.join('\n')}\nexpected:\n${MENU_AFTER_READING.join('\n')}`);
}

async function closeAndResume(run, page, shots, face) {
    // Resuming the last reading at the next start, chosen in the menu as a user does.
    await click(page, AT.menuSpot, 'right');
    await eventually(() => menuShown(page), (x) => x, 3000);
    const item = page.locator('#sw-menu [role^=menuitem]', { hasText: '次回起動時に最後の占いを再現する' });
    if (await item.count() === 1) await item.click();
    else fail('close button', 'the menu has no item 次回起動時に最後の占いを再現する');
    await sleep(400);
    await click(page, AT.close);
    const state = await waitForState(page, ['closed'], 10000);
    const { values } = await storedSettings(page);
    const reopen = await page.locator('#sw-reopen').isVisible().catch(() => false);
    if (!check('close button', state === 'closed' && reopen && values.Wish === 'abc' && values.CardNum === '22' && values.ResumeOk === '1',
        `the quiet page with its reopen button; Orvane.ini holds Wish=abc, CardNum=22, ResumeOk=1, Left=${values.Left}, Top=${values.Top}`,
        `state '${state}', reopen button ${reopen ? 'shown' : 'missing'}; stored Wish='${values.Wish}' CardNum='${values.CardNum}' ResumeOk='${values.ResumeOk}'${pageErrors(page)}`)) {
        if (state !== 'closed') return;
    }
    if (!reopen) { fail('resume', 'not run: no reopen button'); return; }
    await page.locator('#sw-reopen').click();
    await sleep(500);
    const again = await waitForState(page, ['running'], 30000);
    if (again !== 'running') { fail('resume', `after the reopen button the page says '${again}'${pageErrors(page)}`); return; }
    const c = await eventually(() => controls(page), (x) => x.LabelNo.text === 'CARD.022' && x.Memo1.text === 'abc', 5000);
    const shot = join(shots, 'resumed.png');
    await sleep(800);
    await canvasShot(page, shot);
    const pic = areaMatches('still', shot, CARD.x, CARD.y, face, '--exclude', ...LIGHT);
    const stored = (await storedSettings(page)).values;
    check('resume', c.LabelNo.text === 'CARD.022' && c.LabelNo.shown && c.Memo1.text === 'abc' && pic.ok,
        `the reopened page shows CARD.022 and its picture (${pic.out}), the wish 'abc' back in the box`,
        `number '${c.LabelNo.text}' (shown ${c.LabelNo.shown}), wish '${c.Memo1.text}', picture: ${pic.out} (${shot}); ` +
        `stored now: ResumeOk=${stored.ResumeOk} CardNum=${stored.CardNum} Wish=${stored.Wish}${pageErrors(page)}`);
    const s = await swState(page);
    if (s !== 'running') fail('resume', `state '${s}'`);
}
