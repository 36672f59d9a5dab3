// The page as a screen reader and a keyboard user meet it, as the GTK run checks its
// AT-SPI tree: Chromium's own accessibility tree names the painted buttons, each where it
// is drawn; 占い実行 unavailable with no wish; a reader's press on 占い実行 draws card 22
// for "abc" and the polite live region reads it out; Tab from the wish box focuses ランダム
// and rings it; Space on it draws a card; the reader's press on 閉じる closes and saves.
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { WIN_W, check, eventually, fail, pageErrors, sleep, waitForState } from '../lib/harness.mjs';
import { RECT, accessButtons, canvasShot, controls, typeWish, windowBox } from '../lib/program.mjs';
import { areaMatches, cardLine, seedSettings, storedSettings, today } from '../lib/resources.mjs';

const NAMES = ['占い実行', 'ランダム', 'クリエイター', 'HP', '前へ', '次へ', '最小化', '閉じる'];

// Chromium's accessibility tree (what a screen reader is given): role and name of every
// node that is not ignored.
async function axTree(page) {
    const cdp = await page.context().newCDPSession(page);
    try {
        const { nodes } = await cdp.send('Accessibility.getFullAXTree');
        return nodes.filter((n) => !n.ignored).map((n) => ({
            role: n.role && n.role.value, name: n.name && n.name.value,
            disabled: (n.properties || []).some((p) => p.name === 'disabled' && p.value.value === true),
            focused: (n.properties || []).some((p) => p.name === 'focused' && p.value.value === true),
        }));
    } finally {
        await cdp.detach();
    }
}

// The reader's press: the element's own click, as assistive technology performs a
// button's default action (no pointer at a place).
async function readerPress(page, name) {
    return page.evaluate((n) => {
        const b = [...document.querySelectorAll('#sw-access button')].find((x) => (x.getAttribute('aria-label') || x.textContent) === n);
        if (!b) return false;
        b.click();
        return true;
    }, name);
}

const focusedName = (page) => page.evaluate(() => {
    const a = document.activeElement;
    return a ? (a.getAttribute('aria-label') || a.textContent || a.id || a.tagName) : '';
});

export async function scenarioAccessibility(run) {
    const name = 'accessibility';
    const context = await run.newContext({
        initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, 'MuteOn=1'])],
    });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); return; }
        await sleep(1000);
        const tree = await axTree(page);
        writeFileSync(join(run.out, 'ax-start.json'), JSON.stringify(tree, null, 1));
        const missing = NAMES.filter((n) => !tree.some((x) => x.role === 'button' && x.name === n));
        const buttons = await accessButtons(page);
        const box = await windowBox(page);
        const closeButton = buttons.find((b) => b.name === '閉じる');
        const k = box ? box.width / WIN_W : 1;
        const want = RECT.close.map((v, i) => (i === 0 ? box.left + v * k : i === 1 ? box.top + v * k : v * k));
        const closeAt = closeButton && closeButton.rect.every((v, i) => Math.abs(v - want[i]) <= 1);
        const fortune = buttons.find((b) => b.name === '占い実行');
        const fortuneAx = tree.find((x) => x.role === 'button' && x.name === '占い実行');
        check(name, missing.length === 0 && closeAt && fortune && fortune.disabled && fortuneAx && fortuneAx.disabled,
            "Chromium's accessibility tree lists the painted buttons by name, 閉じる where it is drawn, 占い実行 unavailable with no wish",
            `missing:${missing.length ? ' ' + missing.join(' ') : ' none'}; 閉じる at ${closeButton && closeButton.rect.map((v) => v.toFixed(1))} ` +
            `(drawn at ${want.map((v) => v.toFixed(1))}); 占い実行 ${fortune ? (fortune.disabled ? 'unavailable' : 'available') : 'missing'} ` +
            `(tree: ${fortuneAx ? (fortuneAx.disabled ? 'disabled' : 'enabled') : 'missing'}) (${join(run.out, 'ax-start.json')})`);

        // A wish, and the reader's press on 占い実行.
        await typeWish(page, 'abc');
        await sleep(300);
        const pressed = await readerPress(page, '占い実行');
        const title = cardLine(22, 1);
        const live = await eventually(() => page.evaluate(() => {
            const l = document.getElementById('sw-live');
            return l ? { text: l.textContent, polite: l.getAttribute('aria-live') } : null;
        }), (x) => x && x.text.includes('CARD.022'), 8000);
        const c = await controls(page);
        check(`${name}: the reading`, pressed && c.LabelNo.text === 'CARD.022' && live && live.polite === 'polite' &&
            live.text.includes('CARD.022') && live.text.includes(title),
        `the reader's press on 占い実行 draws card 22 for 'abc'; the polite live region reads '${live && live.text.slice(0, 40)}…'`,
        `pressed ${pressed}, number '${c.LabelNo.text}', live region ${JSON.stringify(live)} (want CARD.022 and '${title}')`);

        // Tab from the wish box: ランダム focused and ringed; a click into the wish box
        // takes the ring away.
        await sleep(500);
        const before = join(run.shots, 'a11y-before.png');
        const ringed = join(run.shots, 'a11y-focus-ring.png');
        const clicked = join(run.shots, 'a11y-clicked.png');
        await canvasShot(page, before);
        await page.keyboard.press('Tab');
        await sleep(500);
        const focused = await focusedName(page);
        await canvasShot(page, ringed);
        const [rx, ry, rw, rh] = RECT.random;
        const ring = areaMatches('still', ringed, rx, ry, before, '--from', rx, ry, '--size', rw, rh, '--min-share', 0.995);
        // The tree's deepest focused node: the document itself counts as focused too.
        const treeFocus = (await axTree(page)).filter((x) => x.focused).pop();
        await typeWish(page, '');
        await sleep(500);
        await canvasShot(page, clicked);
        const gone = areaMatches('still', clicked, rx, ry, before, '--from', rx, ry, '--size', rw, rh, '--min-share', 1);
        check(`${name}: Tab`, focused === 'ランダム' && treeFocus && treeFocus.name === 'ランダム' && !ring.ok && gone.ok,
            `Tab focuses ランダム (the tree's focus too) and rings it (${ring.out} as before), a click into the wish box takes the ring away`,
            `after Tab the focus is on '${focused}' (tree: '${treeFocus && treeFocus.name}'); ring area ${ring.out} as before; after the click ${gone.out} (${ringed})`);

        // Tab, then Space on ランダム draws a card (pressed again while it turns up the one shown).
        await page.keyboard.press('Tab');
        await sleep(300);
        const onRandom = await focusedName(page);
        let drawn = '', presses = 0;
        while (presses < 3) {
            await page.keyboard.press('Space');
            presses++;
            await sleep(3500);
            drawn = (await controls(page)).LabelNo.text;
            if (drawn !== 'CARD.022') break;
        }
        check(`${name}: Space`, onRandom === 'ランダム' && drawn && drawn !== 'CARD.022' && drawn !== 'CARD.000',
            `Tab, Space on ランダム draws a card (${drawn}, Space pressed ${presses} times)`,
            `after Tab the focus is on '${onRandom}'; after Space the number reads '${drawn}'`);

        // The reader's press on 閉じる.
        await readerPress(page, '閉じる');
        const closed = await waitForState(page, ['closed'], 10000);
        const { values } = await storedSettings(page);
        check(`${name}: 閉じる`, closed === 'closed' && values.Wish === 'abc',
            "the reader's press on 閉じる closes the program, which saved the wish",
            `state '${closed}', stored Wish='${values.Wish}'`);
    } finally {
        await context.close();
    }
}
