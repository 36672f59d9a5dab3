// The page among the browser's tabs:
//   - a second tab of the same browser, while the first runs the program, says so in one
//     line and leaves the settings alone; the first tab still runs
//   - leaving the page without the close button (the tab closed, or another page opened
//     in it) saves the settings at once: the wish of the last reading is there the next
//     time (a wish is kept with the reading made for it)
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { check, eventually, fail, pageErrors, sleep, swState } from '../lib/harness.mjs';
import { AT, click, controls, typeWish } from '../lib/program.mjs';
import { SETTINGS_KEY, parseIni, seedSettings, storedSettings, today } from '../lib/resources.mjs';

export async function scenarioSecondTab(run) {
    const name = 'second tab';
    const context = await run.newContext({ initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`])] });
    try {
        const first = await run.openPage(context);
        if (first.state !== 'running') { fail(name, `the first tab says '${first.state}'${pageErrors(first.page)}`); return; }
        await sleep(500);
        const before = (await storedSettings(first.page)).raw;
        const second = await run.openPage(context, { want: ['other', 'running', 'closed'] });
        await sleep(1000);
        const line = await second.page.evaluate(() => {
            const e = document.getElementById('sw-running');
            return e && !e.hidden ? e.innerText.trim() : null;
        });
        const windowShown = await second.page.evaluate(() => {
            const w = document.getElementById('sw-window');
            return !!w && !w.hidden;
        });
        await second.page.close({ runBeforeUnload: true });
        await sleep(500);
        const after = (await storedSettings(first.page)).raw;
        const firstState = await swState(first.page);
        check(name, second.state === 'other' && line && !line.includes('\n') && !windowShown &&
            after === before && firstState === 'running',
        `the second tab says 'other' and '${line}', shows no window; the settings unchanged after it closed; the first still runs`,
        `second tab state '${second.state}', line '${line}', window ${windowShown ? 'shown' : 'hidden'}; settings ` +
        `${after === before ? 'unchanged' : `changed from ${JSON.stringify(before)} to ${JSON.stringify(after)}`}; first tab '${firstState}'`);
    } finally {
        await context.close();
    }
}

// Reads the stored settings from a page of the same origin that is not the program.
function elsewhere(run) {
    const blank = join(run.out, 'elsewhere.html');
    writeFileSync(blank, '<!doctype html><title>elsewhere</title><p>elsewhere</p>\n');
    return pathToFileURL(blank).href;
}

async function settingsFromElsewhere(run, context) {
    const page = await context.newPage();
    await page.goto(elsewhere(run));
    const raw = await page.evaluate((key) => localStorage.getItem(key), SETTINGS_KEY);
    await page.close();
    return parseIni(raw);
}

export async function scenarioLeaving(run) {
    for (const way of ['the tab closed', 'another page opened in the tab']) {
        const name = `leaving the page (${way})`;
        const context = await run.newContext({
            initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, 'ResumeOk=1', 'Wish=before', 'MuteOn=1'])],
        });
        try {
            const { page, state } = await run.openPage(context);
            if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); continue; }
            await sleep(500);
            // The resumed wish is emptied with Escape, the new one read.
            await click(page, AT.wishBox);
            await page.keyboard.press('Escape');
            await typeWish(page, 'xyz');
            await page.keyboard.press('Enter');
            const read = await eventually(() => controls(page), (x) => x.LabelNo.text !== 'CARD.000' && x.LabelNo.shown && x.Memo1.readOnly === false, 8000);
            if (read.Memo1.text !== 'xyz') fail(name, `the wish box holds '${read.Memo1.text}' after Escape, 'xyz' and Enter`);
            if (way === 'the tab closed') {
                await page.close({ runBeforeUnload: true });
                await sleep(500);
            } else {
                await page.goto(elsewhere(run));
                await sleep(300);
            }
            const values = await settingsFromElsewhere(run, context);
            check(name, values.Wish === 'xyz', `pagehide saved the settings: Wish=xyz, Fate=${values.Fate}`,
                `stored Wish='${values.Wish}' (keys: ${Object.keys(values).join(' ')})`);
        } finally {
            await context.close();
        }
    }
}
