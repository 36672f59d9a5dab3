// The platform contract test on the web backend: its GoogleTest page
// (BUILD/sablewick_contract_tests.html) run in Chromium, its output read from the
// console. A build without that page says so and counts nothing.
import { existsSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { fail, pass } from '../lib/harness.mjs';

const LIMIT_MS = 150000;

export async function scenarioContract(run) {
    const name = 'contract tests on the web backend';
    const file = join(run.build, 'sablewick_contract_tests.html');
    if (!existsSync(file)) {
        console.log(`note: ${name} not run: ${file} is not part of this build`);
        return;
    }
    const context = await run.newContext();
    try {
        const page = await context.newPage();
        const lines = [];
        let finished;
        const done = new Promise((resolve) => { finished = resolve; });
        page.on('console', (m) => {
            for (const line of m.text().split('\n')) {
                lines.push(line);
                // GoogleTest's last words: the passed count, then the failures if any.
                if (/^\[ {2}PASSED {2}\]/.test(line) && !lines.some((l) => /^\[ {2}FAILED {2}\].*listed below/.test(l))) {
                    setTimeout(finished, 300);
                }
                if (/\d+ FAILED TESTS?$/.test(line.trim())) finished();
            }
        });
        page.on('pageerror', (e) => { lines.push(`page error: ${e.message}`); finished(); });
        await page.goto(pathToFileURL(file).href);
        const timer = setTimeout(finished, LIMIT_MS);
        await done;
        clearTimeout(timer);
        const log = join(run.out, 'contract-tests.log');
        writeFileSync(log, lines.join('\n') + '\n');
        const ran = lines.find((l) => /tests? from .* ran/.test(l)) || '';
        const passed = lines.find((l) => /^\[ {2}PASSED {2}\]/.test(l));
        const failed = lines.filter((l) => /^\[ {2}FAILED {2}\]/.test(l));
        if (passed && failed.length === 0 && ran) {
            pass(name, `${ran.replace(/^\[=+\] */, '')} ${passed}`);
        } else {
            fail(name, `${ran || 'no summary'}; ${failed.slice(0, 10).join(' | ') || lines.slice(-3).join(' | ')} (see ${log})`);
        }
    } finally {
        await context.close();
    }
}
