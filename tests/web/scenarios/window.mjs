// The window's own buttons and errors on the page:
//   - 最小化 hides the window behind a button of the page's own, which brings it back
//   - storage that refuses to be written: the close button shows the error dialog titled
//     "Sablewick" (the settings were not saved, and the user is told), its OK closes it
import { check, eventually, fail, pageErrors, sleep, swState } from '../lib/harness.mjs';
import { AT, click } from '../lib/program.mjs';
import { seedSettings, today } from '../lib/resources.mjs';

export async function scenarioMinimise(run) {
    const name = 'minimise';
    const context = await run.newContext({ initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, 'MuteOn=1'])] });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); return; }
        await sleep(500);
        const look = () => page.evaluate(() => {
            const w = document.getElementById('sw-window');
            const m = document.getElementById('sw-minimised');
            return { window: !!w && !w.hidden && getComputedStyle(w).display !== 'none', button: !!m && !m.hidden };
        });
        await click(page, AT.minimise);
        const down = await eventually(look, (x) => !x.window && x.button, 3000);
        if (down.button) await page.locator('#sw-minimised').click();
        const up = await eventually(look, (x) => x.window && !x.button, 3000);
        const s = await swState(page);
        check(name, !down.window && down.button && up.window && !up.button && s === 'running',
            'the window hides behind button#sw-minimised, whose click brings it back',
            `after 最小化 window ${down.window ? 'shown' : 'hidden'}, button ${down.button ? 'shown' : 'missing'}; ` +
            `after its click window ${up.window ? 'shown' : 'hidden'}, button ${up.button ? 'shown' : 'hidden'}; state '${s}'`);
    } finally {
        await context.close();
    }
}

export async function scenarioStorageRefused(run) {
    const name = 'storage refused';
    // The settings are read as usual; every write is refused, as a full or blocked
    // storage refuses it.
    const refuse = { content: `Storage.prototype.setItem = function () { throw new DOMException('refused', 'QuotaExceededError'); };` };
    const context = await run.newContext({
        initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`, 'MuteOn=1']), refuse],
    });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); return; }
        await sleep(500);
        await click(page, AT.close);
        const dialog = await eventually(() => page.evaluate(() => {
            const d = document.getElementById('sw-dialog');
            if (!d || d.hidden) return null;
            const title = document.getElementById(d.getAttribute('aria-labelledby') || '');
            return { role: d.getAttribute('role'), title: title ? title.textContent : null,
                text: (d.querySelector('.sw-dialog-text') || d).textContent,
                ok: !!d.querySelector('button') };
        }), (x) => x, 5000);
        if (!dialog) {
            fail(name, `no error dialog after the close button; state '${await swState(page)}'`);
            return;
        }
        await page.locator('#sw-dialog button', { hasText: 'OK' }).click();
        const gone = await eventually(() => page.evaluate(() => document.getElementById('sw-dialog').hidden), (x) => x, 3000);
        check(name, dialog.role === 'alertdialog' && dialog.title === 'Sablewick' && dialog.ok && gone,
            `the close button shows the alert dialog 'Sablewick': '${dialog.text}'; OK closes it (then the page says '${await swState(page)}')`,
            `dialog ${JSON.stringify(dialog)}, closed by OK ${gone}`);
    } finally {
        await context.close();
    }
}
