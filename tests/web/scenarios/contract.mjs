// The platform contract test on the web backend: its GoogleTest page
// (BUILD/sablewick_contract_tests.html) run by its own runner, tests/web/contract.mjs,
// whose whole output is kept in the run's folder; its exit code is the verdict.
import { spawn } from 'node:child_process';
import { existsSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { fail, pass } from '../lib/harness.mjs';

const RUNNER = join(dirname(fileURLToPath(import.meta.url)), '..', 'contract.mjs');

export async function scenarioContract(run) {
    const name = 'contract tests on the web backend';
    const file = join(run.build, 'sablewick_contract_tests.html');
    if (!existsSync(file)) {
        fail(name, `${file} is missing: the web build makes it (tools/build-web.sh)`);
        return;
    }
    const log = join(run.out, 'contract-tests.log');
    const { status, output } = await new Promise((resolve) => {
        const child = spawn(process.execPath, [RUNNER, run.build], { stdio: ['ignore', 'pipe', 'pipe'] });
        let output = '';
        child.stdout.on('data', (d) => { output += d; });
        child.stderr.on('data', (d) => { output += d; });
        child.on('close', (code, signal) => resolve({ status: signal ? signal : code, output }));
    });
    writeFileSync(log, output);
    const lines = output.split('\n');
    const summary = lines.filter((l) => /^contract: \d+ passed/.test(l)).pop() || '';
    const failed = lines.filter((l) => l.startsWith('contract: failed ') || l.startsWith('contract: the page') ||
        l.startsWith('contract: no result'));
    if (status === 0) pass(name, summary.replace(/^contract: /, ''));
    else fail(name, `exit ${status}; ${summary || lines.filter(Boolean).slice(-2).join(' | ')}` +
        `${failed.length ? '; ' + failed.slice(0, 8).join(' | ') : ''} (see ${log})`);
}
