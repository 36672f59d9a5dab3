// The runner's bookkeeping and the browser: results as PASS/FAIL lines and the closing
// "N passed, M failed", Debian's Chromium driven by playwright-core, and the program's
// page opened as a user opens it, from its file.
import { existsSync, mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { SETTINGS_KEY } from './resources.mjs';

export const WIN_W = 737;
export const WIN_H = 584;
export const CHROMIUM = process.env.SABLEWICK_CHROMIUM || '/usr/bin/chromium';

const results = { passed: 0, failed: 0 };

export function pass(name, detail = '') {
    results.passed += 1;
    console.log(`PASS ${name}${detail ? ': ' + detail : ''}`);
}

export function fail(name, detail = '') {
    results.failed += 1;
    console.log(`FAIL ${name}: ${detail}`);
}

// One check: passes when ok, otherwise fails with what was found.
export function check(name, ok, good, bad) {
    if (ok) pass(name, good);
    else fail(name, bad);
    return ok;
}

export function summary() {
    console.log(`${results.passed} passed, ${results.failed} failed`);
    return results.failed === 0;
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Asks probe() again until accept() takes its answer or the time is up; the last answer
// either way. For states the program reaches after its own steps of 55 ms.
export async function eventually(probe, accept, timeoutMs = 5000, everyMs = 100) {
    const end = Date.now() + timeoutMs;
    let last;
    for (;;) {
        last = await probe();
        if (accept(last) || Date.now() >= end) return last;
        await sleep(everyMs);
    }
}

export class TestRun {
    constructor(build, out) {
        this.build = build;
        this.out = out;
        this.shots = join(out, 'shots');
        mkdirSync(this.shots, { recursive: true });
        this.page = join(build, 'Sablewick.html');
        this.url = pathToFileURL(this.page).href;
        this.browser = null;
    }

    async launch() {
        if (!existsSync(CHROMIUM)) throw new Error(`${CHROMIUM} is missing (tools/setup.sh installs chromium)`);
        // Chromium's sandbox refuses to run as root; a user's browser keeps it.
        const args = process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [];
        this.browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args, timeout: 60000 });
        return this.browser.version();
    }

    async close() {
        if (this.browser) await this.browser.close().catch(() => {});
        this.browser = null;
    }

    // A fresh browser profile (storage, downloads) with the given screen. Init scripts
    // run in every page of it before the page's own; settings (seedSettings) are put into
    // its storage first.
    async newContext({ viewport = { width: 1024, height: 768 }, scale = 1, mobile = false, initScripts = [] } = {}) {
        const context = await this.browser.newContext({
            viewport,
            screen: viewport,
            deviceScaleFactor: scale,
            isMobile: mobile,
            hasTouch: mobile,
            acceptDownloads: true,
            locale: 'ja-JP',
        });
        for (const script of initScripts) {
            if (script.settings !== undefined) await this.store(context, SETTINGS_KEY, script.settings);
            else await context.addInitScript(script);
        }
        return context;
    }

    // Puts a value into the storage of the program's origin (file://) from a blank page.
    async store(context, key, value) {
        const blank = join(this.out, 'blank.html');
        if (!existsSync(blank)) writeFileSync(blank, '<!doctype html><title>blank</title>\n');
        const page = await context.newPage();
        await page.goto(pathToFileURL(blank).href);
        await page.evaluate(([k, v]) => localStorage.setItem(k, v), [key, value]);
        await page.close();
    }

    // Opens the program's page in a new tab of the context and waits until it says what
    // it became: "running" when its window shows, "other" when another tab has it.
    async openPage(context, { want = ['running'], timeoutMs = 30000 } = {}) {
        const page = await context.newPage();
        page.swErrors = [];
        page.on('pageerror', (e) => page.swErrors.push(String(e && e.message ? e.message : e)));
        page.on('console', (m) => { if (m.type() === 'error') page.swErrors.push(m.text()); });
        await page.goto(this.url, { waitUntil: 'load' });
        const state = await waitForState(page, want, timeoutMs);
        return { page, state };
    }
}

export function swState(page) {
    return page.evaluate(() => document.body.dataset.swState || '').catch(() => '(page gone)');
}

export async function waitForState(page, want, timeoutMs = 10000) {
    try {
        await page.waitForFunction((states) => states.includes(document.body.dataset.swState),
            want, { timeout: timeoutMs, polling: 50 });
    } catch (e) {
        // The state it is in is the report.
    }
    return swState(page);
}

// What went wrong in the page, for a failure's message.
export function pageErrors(page) {
    const errors = page.swErrors || [];
    return errors.length ? ` (page errors: ${errors.slice(0, 3).join(' | ')})` : '';
}
