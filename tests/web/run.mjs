// End-to-end tests of the web program (BUILD/Sablewick.html) in Debian's Chromium, opened
// from its file as a user opens it. Started by run_web_tests.sh; prints PASS/FAIL lines
// and "N passed, M failed" last, and exits 1 on any failure.
//
// usage: node run.mjs BUILD_DIR OUT_DIR [SCENARIO...]   (all scenarios by default)
import { existsSync } from 'node:fs';
import { resolve } from 'node:path';
import { TestRun, fail, pass, summary } from './lib/harness.mjs';
import { scenarioAccessibility } from './scenarios/accessibility.mjs';
import { scenarioCodePage } from './scenarios/codepage.mjs';
import { scenarioContract } from './scenarios/contract.mjs';
import { scenarioReading } from './scenarios/reading.mjs';
import { scenarioScale } from './scenarios/scale.mjs';
import { scenarioLeaving, scenarioSecondTab } from './scenarios/tabs.mjs';
import { scenarioWallpaper } from './scenarios/wallpaper.mjs';
import { scenarioMinimise, scenarioStorageRefused } from './scenarios/window.mjs';

const SCENARIOS = {
    contract: scenarioContract,
    reading: scenarioReading,
    wallpaper: scenarioWallpaper,
    scale: scenarioScale,
    'second-tab': scenarioSecondTab,
    leaving: scenarioLeaving,
    minimise: scenarioMinimise,
    'storage-refused': scenarioStorageRefused,
    accessibility: scenarioAccessibility,
    codepage: scenarioCodePage,
};
// No scenario runs longer than this; a hung page fails it instead of the whole run.
const SCENARIO_LIMIT_MS = 180000;

async function main() {
    const [build, out, ...chosen] = process.argv.slice(2);
    if (!build || !out) {
        console.error('usage: node run.mjs BUILD_DIR OUT_DIR [SCENARIO...]');
        process.exit(2);
    }
    const unknown = chosen.filter((c) => !SCENARIOS[c]);
    if (unknown.length) {
        console.error(`unknown scenario(s): ${unknown.join(' ')} (known: ${Object.keys(SCENARIOS).join(' ')})`);
        process.exit(2);
    }
    const run = new TestRun(resolve(build), resolve(out));
    if (!existsSync(run.page)) {
        fail('page', `${run.page} is missing: build the web program first (tools/build-web.sh)`);
        return summary();
    }
    try {
        pass('chromium starts', `Chromium ${await run.launch()}`);
    } catch (e) {
        // Playwright's first line, and what the browser itself said and how it ended.
        const lines = String(e.message).replace(/\u001b\[\d+m/g, '').split('\n');
        const said = [...new Set(lines.filter((l) => /\[err\]|exitCode=/.test(l)).map((l) => l.trim().replace(/^- /, '')))].slice(-6);
        fail('chromium starts', [lines[0], ...said].join(' | '));
        return summary();
    }
    try {
        for (const name of chosen.length ? chosen : Object.keys(SCENARIOS)) {
            let timer;
            const limit = new Promise((_, reject) => {
                timer = setTimeout(() => reject(new Error(`still running after ${SCENARIO_LIMIT_MS / 1000} s`)), SCENARIO_LIMIT_MS);
            });
            try {
                await Promise.race([SCENARIOS[name](run), limit]);
            } catch (e) {
                fail(name, `the scenario stopped: ${(e && e.message ? e.message : String(e)).split('\n')[0]}`);
            } finally {
                clearTimeout(timer);
            }
        }
    } finally {
        await run.close();
    }
    return summary();
}

main().then((ok) => process.exit(ok ? 0 : 1), (e) => {
    console.log(`FAIL runner: ${e && e.stack ? e.stack : e}`);
    console.log('0 passed, 1 failed');
    process.exit(1);
});
