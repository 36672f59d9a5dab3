// Runs the platform contract test on the web backend: the test page
// (BUILD_DIR/sablewick_contract_tests.html, built by tools/build-web.sh) opened from its
// file in Debian's Chromium, headless, at a device pixel ratio of 1. GoogleTest runs in
// the page and prints to its console; every line is passed on here, and the run ends
// when the page reports GoogleTest's result. Exits 0 when every test passed (skips
// included), 1 when one failed, 2 when the page could not run.
//
// usage: node tests/web/contract.mjs [BUILD_DIR] [--gtest_filter=PATTERN]
//        (BUILD_DIR defaults to build/web; SABLEWICK_CHROMIUM names another browser)
import { existsSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
const filter = args.find((a) => a.startsWith('--gtest_filter='));
const build = resolve(args.find((a) => !a.startsWith('--')) || join(here, '..', '..', 'build', 'web'));
const page = join(build, 'sablewick_contract_tests.html');
const chromiumPath = process.env.SABLEWICK_CHROMIUM || '/usr/bin/chromium';
// A whole run takes seconds; a page that hangs (a wait nobody answers) ends the run.
const timeoutMs = Number(process.env.SABLEWICK_CONTRACT_TIMEOUT_MS || 180000);

if (!existsSync(page)) {
    console.error(`contract: ${page} is missing (tools/build-web.sh ${build} builds it)`);
    process.exit(2);
}
if (!existsSync(chromiumPath)) {
    console.error(`contract: ${chromiumPath} is missing (tools/setup.sh installs chromium)`);
    process.exit(2);
}

const url = new URL(pathToFileURL(page).href);
if (filter) url.searchParams.set('gtest_filter', filter.slice('--gtest_filter='.length));

// Chromium's sandbox refuses to run as root.
const launchArgs = process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [];
const browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: launchArgs, timeout: 60000 });
let status = 2;
try {
    // Room for the whole window at 100 %, so the canvas's pixels are the program's.
    const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, deviceScaleFactor: 1 });
    const tab = await context.newPage();
    const lines = [];
    let finished = null;
    const ended = new Promise((resolveEnd) => { finished = resolveEnd; });
    tab.on('console', (message) => {
        const text = message.text();
        const exit = /^\[sablewick-contract\] exit (-?\d+)$/.exec(text);
        if (exit) { finished(Number(exit[1])); return; }
        lines.push(text);
        console.log(text);
    });
    let over = false;
    tab.on('pageerror', (error) => {
        if (over) return;
        console.log(`contract: the page failed: ${error.message}`);
        finished(2);
    });
    tab.on('crash', () => { console.log('contract: the page crashed'); finished(2); });
    await tab.goto(url.href);
    let timer = null;
    const timeout = new Promise((resolveTimeout) => {
        timer = setTimeout(() => {
            console.log(`contract: no result after ${timeoutMs / 1000} s; the last test started: ` +
                        (lines.filter((l) => l.startsWith('[ RUN      ]')).pop() || 'none'));
            resolveTimeout(2);
        }, timeoutMs);
    });
    status = await Promise.race([ended, timeout]);
    over = true;
    clearTimeout(timer);
    // GoogleTest's own summary, gathered: what passed, failed and was skipped.
    const count = (tag) => lines.filter((l) => l.startsWith(tag)).length;
    const skipped = lines.filter((l) => l.startsWith('[  SKIPPED ]') && / \(\d+ ms\)$/.test(l));
    const failed = lines.filter((l) => l.startsWith('[  FAILED  ]') && / \(\d+ ms\)$/.test(l));
    console.log(`contract: ${count('[       OK ]')} passed, ${failed.length} failed, ${skipped.length} skipped` +
                ` (gtest exit ${status})`);
    for (const l of skipped) console.log(`contract: skipped ${l.slice(13)}`);
    for (const l of failed) console.log(`contract: failed ${l.slice(13)}`);
    await context.close();
} finally {
    await browser.close().catch(() => {});
}
process.exit(status === 0 ? 0 : status === 2 ? 2 : 1);
