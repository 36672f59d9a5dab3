// What the tests hold the page against: the program's own resources (pictures, sounds,
// the card text), its settings file in the page's storage, and the comparison helpers
// the desktop end-to-end runs share (tests/e2e/*.py).
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

export const ROOT = new URL('../../..', import.meta.url).pathname.replace(/\/$/, '');
export const RESOURCES = join(ROOT, 'resources');
const sjis = new TextDecoder('shift_jis');

// ---- Settings ----------------------------------------------------------------------------
// The page keeps Orvane.ini's bytes in localStorage under this key, one char code (0-255)
// a byte.
export const SETTINGS_KEY = 'sablewick:/sablewick/Orvane.ini';

function pad(n) { return String(n).padStart(2, '0'); }
// Today in the program's date format, as the browser (same machine, same zone) sees it.
export function today() {
    const d = new Date();
    return `${d.getFullYear()}/${pad(d.getMonth() + 1)}/${pad(d.getDate())}`;
}

export function iniText(pairs) {
    return '[Orvane.ini]\r\n' + pairs.map((p) => p + '\r\n').join('');
}

// The settings file to put into a new browser profile's storage before the program's
// page first opens (TestRun.newContext takes it among the init scripts). It is written
// from a blank page of the same origin, not by a script run at every page's start: a
// storage write from such a script during a reload sometimes saw the storage empty and
// wrote the first settings over what the program had saved.
export function seedSettings(pairs) {
    return { settings: iniText(pairs) };
}

// The stored settings as the raw string and as key/value pairs (code page 932 decoded).
export async function storedSettings(page) {
    const raw = await page.evaluate((key) => localStorage.getItem(key), SETTINGS_KEY);
    return { raw, values: parseIni(raw) };
}

export function parseIni(raw) {
    const values = {};
    if (raw === null || raw === undefined) return values;
    const text = sjis.decode(Buffer.from(raw, 'latin1'));
    for (const line of text.split('\r\n')) {
        const eq = line.indexOf('=');
        if (eq > 0 && !line.startsWith('[')) values[line.slice(0, eq)] = line.slice(eq + 1);
    }
    return values;
}

export const allSeen = () => 'l'.repeat(49);

// ---- The card text -----------------------------------------------------------------------
// Line FIELD (0 header, 1 title, 2 explanation, 3 creator, ...) of card N, as the program
// shows it: a written "\n" is a line break.
let cardLines = null;
export function cardLine(n, field) {
    if (!cardLines) cardLines = sjis.decode(readFileSync(join(RESOURCES, 'CARDT.txt'))).replace(/\r/g, '').split('\n');
    return (cardLines[7 * n + field] || '').replace(/\\n/g, '\n');
}

// ---- Pictures ----------------------------------------------------------------------------
// A resource picture decoded by ImageMagick into a binary 8-bit PPM, as the desktop runs
// do; the runner keeps them in its output folder.
export function toPpm(picture, out) {
    execFileSync('convert', [picture, '-depth', '8', '-type', 'TrueColor', out]);
    return out;
}

export function readPpm(path) {
    const data = readFileSync(path);
    const fields = [];
    let pos = 0;
    while (fields.length < 4) {
        while (/\s/.test(String.fromCharCode(data[pos]))) pos++;
        if (data[pos] === 0x23) { while (data[pos] !== 0x0a) pos++; continue; }
        const start = pos;
        while (!/\s/.test(String.fromCharCode(data[pos]))) pos++;
        fields.push(data.subarray(start, pos).toString());
    }
    if (fields[0] !== 'P6' || fields[3] !== '255') throw new Error(`${path}: not an 8-bit binary PPM`);
    return { width: Number(fields[1]), height: Number(fields[2]), rgb: data.subarray(pos + 1) };
}

function python(script, args) {
    const r = spawnSync('/usr/bin/python3', [join(ROOT, 'tests/e2e', script), ...args.map(String)], { encoding: 'utf8' });
    return { ok: r.status === 0, out: ((r.stdout || '') + (r.stderr || '')).trim() };
}

// tests/e2e/area_matches.py: an area of SHOT at (X, Y) against a picture.
export function areaMatches(mode, ...args) { return python('area_matches.py', [mode, ...args]); }

// tests/e2e/window_matches_picture.py: the window's picture inside its shape, the
// screen behind outside it.
export function windowMatchesPicture(...args) { return python('window_matches_picture.py', args); }

export function convert(...args) { execFileSync('convert', args.map(String)); }

// ---- Sounds ------------------------------------------------------------------------------
// The same 32-bit FNV-1a the page's recorder computes over the bytes handed to the
// decoder: with the length it names a WAV resource.
export function fnv1a(bytes) {
    let h = 0x811c9dc5;
    for (let i = 0; i < bytes.length; i++) {
        h ^= bytes[i];
        h = Math.imul(h, 0x01000193) >>> 0;
    }
    return h.toString(16).padStart(8, '0');
}

// name -> { hash, length, seconds } of every WAV resource.
export function wavResources(names) {
    const out = {};
    for (const name of names) {
        const bytes = readFileSync(join(RESOURCES, name + '.wav'));
        // The data chunk's length over the byte rate: the sound's duration.
        let seconds = null;
        const byteRate = bytes.readUInt32LE(28);
        for (let p = 12; p + 8 <= bytes.length;) {
            const id = bytes.toString('latin1', p, p + 4);
            const size = bytes.readUInt32LE(p + 4);
            if (id === 'data') { seconds = size / byteRate; break; }
            p += 8 + size + (size & 1);
        }
        out[name] = { hash: fnv1a(bytes), length: bytes.length, seconds };
    }
    return out;
}

// An init script recording what the page hands Web Audio: the bytes given to
// decodeAudioData (their length and hash, taken before the decoder may detach them), the
// decoded buffers' duration, and which of them each started source played.
export const SOUND_RECORDER = {
    content: `(() => {
        const rec = { decoded: [], started: [] };
        window.__swSound = rec;
        const fnv = (u8) => {
            let h = 0x811c9dc5;
            for (let i = 0; i < u8.length; i++) { h ^= u8[i]; h = Math.imul(h, 0x01000193) >>> 0; }
            return h.toString(16).padStart(8, '0');
        };
        const byBuffer = new WeakMap();
        const Base = window.BaseAudioContext || window.AudioContext;
        if (!Base) return;
        const decode = Base.prototype.decodeAudioData;
        Base.prototype.decodeAudioData = function (data, ok, bad) {
            const bytes = new Uint8Array(data.slice(0));
            const entry = { length: bytes.length, hash: fnv(bytes), seconds: null, at: performance.now() };
            rec.decoded.push(entry);
            const note = (buffer) => {
                if (buffer) { entry.seconds = buffer.duration; byBuffer.set(buffer, entry); }
                return buffer;
            };
            const p = decode.call(this, data, ok && ((b) => ok(note(b))), bad);
            return p && p.then ? p.then(note) : p;
        };
        const start = AudioBufferSourceNode.prototype.start;
        AudioBufferSourceNode.prototype.start = function (...args) {
            const entry = this.buffer ? byBuffer.get(this.buffer) : null;
            rec.started.push({ hash: entry ? entry.hash : null, length: entry ? entry.length : null,
                state: this.context.state, at: performance.now() });
            return start.apply(this, args);
        };
    })();`,
};

export async function soundRecord(page) {
    return page.evaluate(() => window.__swSound || { decoded: [], started: [] });
}

// Which resource each recorded hash is, by name ("?" for none).
export function nameSounds(list, wavs) {
    return list.map((e) => {
        const hit = Object.entries(wavs).find(([, w]) => w.hash === e.hash && w.length === e.length);
        return hit ? hit[0] : '?';
    });
}
