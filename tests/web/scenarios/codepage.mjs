// Code page 932 in the page, held to Windows' own conversions:
//   - every sequence the code page spells, one and two bytes, decodes to the character of
//     Microsoft's table (Python's cp932 decoder is that table), and the character encodes
//     to bytes that decode to it again
//   - characters with two or three codes encode to the one Windows' WideCharToMultiByte
//     gives (read off Wine, whose tables are Microsoft's): the IBM rows over their
//     NEC-selected copies, JIS row 2 over NEC row 13, and "?" for the look-alikes Windows
//     will not map (the yen sign, the wave dash, the double vertical line, the minus)
//   - a wish typed as an input method commits it, mixing kana, kanji, the NEC and IBM rows
//     and half-width katakana with characters the code page cannot spell (the yen sign,
//     an emoji), reaches the settings file as Windows' bytes: a "?" for each UTF-16 unit
//     it cannot spell (two for the emoji)
import { spawnSync } from 'node:child_process';
import { check, fail, pageErrors, sleep } from '../lib/harness.mjs';
import { AT, click } from '../lib/program.mjs';
import { SETTINGS_KEY, seedSettings, today } from '../lib/resources.mjs';

// [bytes as hex, the character] for every sequence Windows' code page decodes (the
// user-defined area, which is private use, left out).
function windowsTable() {
    const py = `
import json
rows = []
def add(b):
    try:
        c = b.decode("cp932")
    except UnicodeDecodeError:
        return
    if len(c) != 1 or 0xE000 <= ord(c) <= 0xF8FF:
        return
    rows.append([b.hex(), c])
for i in range(0x20, 0x7F): add(bytes([i]))
for i in range(0xA1, 0xE0): add(bytes([i]))
for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
    for trail in range(0x40, 0xFD):
        if trail != 0x7F: add(bytes([lead, trail]))
print(json.dumps(rows))
`;
    const r = spawnSync('/usr/bin/python3', ['-c', py], { encoding: 'utf8', maxBuffer: 1 << 24 });
    if (r.status !== 0) throw new Error(`python3: ${r.stderr}`);
    return JSON.parse(r.stdout);
}

// What WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS) made of these characters under Wine.
const WINDOWS_ENCODES = [
    ['\u7E8A', 'fa5c'], ['\u2170', 'fa40'], ['\u2160', '8754'], ['\uFFE2', '81ca'],
    ['\u2235', '81e6'], ['\u2252', '81e0'], ['\uFF5E', '8160'], ['\u2225', '8161'],
    ['\uFF0D', '817c'], ['\u00A5', '3f'], ['\u301C', '3f'], ['\u2016', '3f'], ['\u2212', '3f'],
];

export async function scenarioCodePage(run) {
    const name = 'code page 932';
    const context = await run.newContext({ initScripts: [seedSettings(['Fate=10', `OldDate=${today()}`, `MemDate=${today()}`])] });
    try {
        const { page, state } = await run.openPage(context);
        if (state !== 'running') { fail(name, `the page says '${state}'${pageErrors(page)}`); return; }
        const table = windowsTable();
        const wrong = await page.evaluate(([rows, known]) => {
            const hex = (u8) => Array.from(u8, (b) => b.toString(16).padStart(2, '0')).join('');
            const bytes = (h) => new Uint8Array(h.match(/../g).map((x) => parseInt(x, 16)));
            const u = (c) => 'U+' + c.codePointAt(0).toString(16);
            const out = [];
            for (const [b, c] of rows) {
                const decoded = SW.decode(bytes(b));
                const again = SW.decode(SW.encode(c));
                if (decoded !== c) out.push(`${b} decodes to ${u(decoded)}, not ${u(c)}`);
                else if (again !== c) out.push(`${u(c)} encodes to ${hex(SW.encode(c))}, which is ${u(again)}`);
            }
            for (const [c, want] of known) {
                const got = hex(SW.encode(c));
                if (got !== want) out.push(`${u(c)} encodes to ${got}, Windows to ${want}`);
            }
            return out;
        }, [table, WINDOWS_ENCODES]);
        check(`${name}: every character`, wrong.length === 0,
            `${table.length} sequences decode as Windows' table and encode back; ${WINDOWS_ENCODES.length} duplicates and look-alikes encode as on Windows`,
            `${wrong.length} faults: ${wrong.slice(0, 5).join('; ')}`);

        // Typed as an input method commits text: whole characters into the box.
        // Kana, kanji, NEC row 13, an IBM character, half-width katakana, the yen sign and an
        // emoji (neither spelt by the code page), the full-width tilde.
        const wish = 'ねがい願い①㈱纊ｱﾞ¥x😀z～';
        const want = '82cb82aa82a28ae882a28740878afa5cb1de3f783f3f7a8160';
        await click(page, AT.wishBox);
        await sleep(300);
        await page.keyboard.insertText(wish);
        await sleep(300);
        await page.keyboard.press('Enter');
        await sleep(3500);
        await click(page, AT.close);
        await sleep(1000);
        const raw = await page.evaluate((key) => localStorage.getItem(key), SETTINGS_KEY);
        const line = (raw || '').split('\r\n').find((l) => l.startsWith('Wish='));
        const got = line ? Buffer.from(line.slice(5), 'latin1').toString('hex') : '(no Wish)';
        check(`${name}: a typed wish`, got === want,
            `'${wish}' stored as Windows' bytes ${want}`, `stored ${got}, Windows gives ${want}`);
    } finally {
        await context.close();
    }
}
