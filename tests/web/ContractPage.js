// The page side of the platform contract test's probe (tests/support/TestPlatform_web.cpp),
// a pre-js of the test page only: it reads back what the page shows, the way a browser
// shows it (the canvas's pixels, the elements and their computed style, the pointer, what
// a screen reader is offered), and plays the page's user (typing, a menu answered, a
// reader's press). Each function is called from one EM_JS of the probe.
var SWTest = (function () {
    'use strict';
    const kControls = ['Form', 'LabelNo', 'LabelTittle', 'LabelCreator', 'LabelKaisetu', 'Memo1'];
    const kSep = '\x1F', kRec = '\x1E';
    function $(id) { return document.getElementById(id); }
    function shown(node) { return !!node && getComputedStyle(node).display !== 'none'; }
    function windowShown() { return shown($('sw-window')) && shown($('sw-client')); }

    // The page as it was loaded, before any window: each test's platform starts on it.
    const pristine = {};
    for (const id of ['sw-window', 'sw-menu', 'sw-dialog', 'sw-minimised', 'sw-closed', 'sw-running'])
        pristine[id] = $(id).cloneNode(true);

    // Text out to the program: UTF-8 bytes in a block it takes (malloc's), their count
    // at sizePtr.
    function out(text, sizePtr) {
        const bytes = new TextEncoder().encode(text);
        const block = _malloc(Math.max(1, bytes.length));
        HEAPU8.set(bytes, block);
        HEAP32[sizePtr >> 2] = bytes.length;
        return block;
    }
    function packed(css) {
        const m = /rgba?\(\s*(\d+)[,\s]+(\d+)[,\s]+(\d+)/.exec(css || '');
        return m ? (Number(m[1]) | Number(m[2]) << 8 | Number(m[3]) << 16) : -1;
    }
    function bytesToString(bytes) {
        let s = '';
        for (let i = 0; i < bytes.length; i += 8192)
            s += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
        return s;
    }

    // ---- Storage and the file system: what the page keeps, and a full one -------------
    let watching = false;
    const written = new Set();
    const realSetItem = Storage.prototype.setItem;
    // Every write to the page's storage is noted while watched, once it succeeded.
    Storage.prototype.setItem = function (key, value) {
        realSetItem.call(this, key, value);
        if (watching && this === window.localStorage) written.add(String(key));
    };
    let sizeLimit = -1, writeWrapped = false;
    function wrapWrite() {
        if (writeWrapped) return;
        writeWrapped = true;
        const realWrite = FS.write;
        // A write to a file past the limit fails as on a full disk (EFBIG); the bytes
        // before it are written.
        FS.write = function (stream, buffer, offset, length, position, canOwn) {
            if (sizeLimit >= 0 && stream && stream.node && FS.isFile(stream.node.mode)) {
                const at = typeof position === 'number' ? position : stream.position;
                if (at + length > sizeLimit) {
                    if (at >= sizeLimit) throw new FS.ErrnoError(22);
                    length = sizeLimit - at;
                }
            }
            return realWrite.call(this, stream, buffer, offset, length, position, canOwn);
        };
    }

    // ---- The menu -----------------------------------------------------------------------
    let menuAnswer = null;
    let menuShown = '';
    function menuItems(m) {
        const items = [];
        let separator = false;
        for (const node of m.children) {
            const role = node.getAttribute('role') || '';
            if (role === 'separator') { separator = true; continue; }
            if (!role.startsWith('menuitem')) continue;
            // The caption as the program writes it: the underlined key back to "&X".
            let caption = '';
            for (const part of node.childNodes) {
                if (part.nodeType === Node.TEXT_NODE) caption += part.textContent;
                else if (part.nodeName === 'U') caption += '&' + part.textContent;
                else caption += part.textContent;
            }
            items.push({node: node, caption: caption, separator: separator,
                        enabled: node.getAttribute('aria-disabled') !== 'true',
                        checked: node.getAttribute('aria-checked') === 'true'});
            separator = false;
        }
        return items;
    }
    function answerOpenMenu(tries) {
        const m = $('sw-menu');
        if (!menuAnswer) return;
        if (!m || !shown(m)) {
            if (tries < 400) setTimeout(() => answerOpenMenu(tries + 1), 5);
            return;
        }
        const choice = menuAnswer.choice;
        const items = menuItems(m);
        if (!menuAnswer.recorded) {
            menuAnswer.recorded = true;
            menuShown = items.map((i) => [i.enabled ? 1 : 0, i.checked ? 1 : 0, i.separator ? 1 : 0,
                                          i.caption].join(kSep)).join(kRec);
        }
        if (choice >= 0 && choice < items.length && !menuAnswer.clicked) {
            // The user clicks the entry.
            menuAnswer.clicked = true;
            items[choice].node.click();
        } else {
            // Dismissed with Escape (also after a click on an entry that took none).
            const target = m.contains(document.activeElement) ? document.activeElement : m;
            target.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape', bubbles: true, cancelable: true}));
        }
        if (shown(m) && tries < 400) setTimeout(() => answerOpenMenu(tries + 1), 5);
        else menuAnswer = null;
    }

    return {
        freshPage() {
            for (const id of Object.keys(pristine)) {
                const now = $(id);
                if (now) now.replaceWith(pristine[id].cloneNode(true));
            }
            document.body.dataset.swState = 'starting';
            menuAnswer = null;
            try {
                for (let i = localStorage.length - 1; i >= 0; --i) {
                    const key = localStorage.key(i);
                    if (key && key.startsWith('sablewick:')) localStorage.removeItem(key);
                }
            } catch (e) { /* no storage: nothing kept */ }
        },
        settle() {
            // A frame painted, then what the page queued meanwhile; a page not painting
            // (hidden) still goes on after a while.
            return new Promise((resolve) => {
                let done = false;
                const finish = () => { if (!done) { done = true; setTimeout(resolve, 0); } };
                requestAnimationFrame(finish);
                setTimeout(finish, 200);
            });
        },
        pixel(x, y) {
            const c = $('sw-canvas'), client = $('sw-client');
            if (!windowShown() || !c || !c.width) return -1;
            // The canvas pixel under the program pixel's centre (the same one at a device
            // pixel ratio of 1).
            const px = Math.floor((x + 0.5) * c.width / client.offsetWidth);
            const py = Math.floor((y + 0.5) * c.height / client.offsetHeight);
            if (px < 0 || py < 0 || px >= c.width || py >= c.height) return -1;
            const d = c.getContext('2d').getImageData(px, py, 1, 1).data;
            return d[0] << 16 | d[1] << 8 | d[2];
        },
        control(id, sizePtr) {
            const node = $(kControls[id]);
            // Made: placed in the window by the program; gone with a closed window.
            const exists = !!node && document.body.dataset.swState !== 'closed' && node.style.left !== '';
            if (!exists) return out('0', sizePtr);
            const memo = id === 5;
            const cs = getComputedStyle(node);
            const text = memo ? node.value.replace(/\r?\n/g, '\r\n') : node.textContent;
            const textBox = memo ? null : node.firstElementChild;
            let centred = cs.textAlign === 'center';
            const vcentred = cs.display === 'flex' && cs.alignItems === 'center';
            if (!memo && centred && textBox && text.length && shown(node) && windowShown()) {
                // Shown: the text's own box says whether it sits in the middle.
                const range = document.createRange();
                range.selectNodeContents(textBox);
                const t = range.getBoundingClientRect(), n = node.getBoundingClientRect();
                if (t.width < n.width - 2) centred = Math.abs((t.left - n.left) - (n.right - t.right)) <= 2;
            } else if (!memo && centred && vcentred && textBox) {
                // Not shown: in a flex box the text is centred only in a box as wide as
                // the label's, or with the box itself centred.
                const inner = getComputedStyle(textBox);
                centred = inner.width === '100%' || cs.justifyContent === 'center';
            }
            const wrap = ['normal', 'pre-wrap', 'pre-line', 'break-spaces'].indexOf(cs.whiteSpace) >= 0;
            let cell = 0;
            if (memo) {
                cell = Math.round(parseFloat(cs.fontSize));
            } else {
                // A label's cell: its face's ascent and descent at its size.
                const ctx = document.createElement('canvas').getContext('2d');
                ctx.font = cs.fontSize + ' ' + cs.fontFamily;
                const m = ctx.measureText('\u6f22\u5b57Ag');
                cell = Math.round((m.fontBoundingBoxAscent || 0) + (m.fontBoundingBoxDescent || 0));
            }
            return out(['1', shown(node) ? 1 : 0, memo && node.readOnly ? 1 : 0, centred ? 1 : 0,
                        vcentred ? 1 : 0, wrap ? 1 : 0, cell, packed(cs.backgroundColor),
                        packed(cs.color), text].join(kSep), sizePtr);
        },
        // The user types one character into the wish box where its caret is, as a keyboard
        // or an input method enters it: the browser's own insertion, which honours the
        // box's limit and its read-only state and fires its input event.
        type(text) {
            const m = $('Memo1');
            if (!m || m.hidden) return;
            // An element of a hidden window takes no focus; the desktops' edit boxes take
            // the typing either way.
            const win = $('sw-window');
            const hidden = win.hidden;
            win.hidden = false;
            m.focus({preventScroll: true});
            document.execCommand('insertText', false, text);
            win.hidden = hidden;
        },
        answerMenu(choice) {
            menuShown = '';
            menuAnswer = {choice: choice, recorded: false, clicked: false};
            setTimeout(() => answerOpenMenu(0), 0);
        },
        lastMenu(sizePtr) { return out(menuShown, sizePtr); },
        hotSpot(sizePtr) {
            const client = $('sw-client');
            if (!client || !windowShown()) return out('', sizePtr);
            const m = /url\((?:"[^"]*"|'[^']*'|[^)]*)\)\s+(-?[\d.]+)\s+(-?[\d.]+)/.exec(getComputedStyle(client).cursor);
            return out(m ? Math.round(Number(m[1])) + ' ' + Math.round(Number(m[2])) : '', sizePtr);
        },
        // What a screen reader finds over the window: the elements of its accessible
        // layer in document order, with their rectangles in the program's pixels.
        accessibles(sizePtr) {
            const client = $('sw-client'), layer = $('sw-access');
            if (!client || !layer || !windowShown()) return out('', sizePtr);
            const c = client.getBoundingClientRect();
            const sx = c.width / client.offsetWidth, sy = c.height / client.offsetHeight;
            const records = [];
            for (const node of layer.children) {
                if (!shown(node)) continue;
                const role = node.getAttribute('role') || (node.nodeName === 'BUTTON' ? 'button' : '');
                const kind = role === 'status' ? 2 : role === 'listitem' ? 1 : role === 'button' ? 0 : -1;
                if (kind < 0) continue;
                const name = kind === 2 ? node.textContent : node.getAttribute('aria-label') || '';
                if (kind === 2 && !name) continue;  // nothing to read
                const r = node.getBoundingClientRect();
                records.push([kind, Math.round((r.left - c.left) / sx), Math.round((r.top - c.top) / sy),
                              Math.round(r.width / sx), Math.round(r.height / sy),
                              node.getAttribute('aria-disabled') === 'true' || node.disabled ? 1 : 0,
                              document.activeElement === node ? 1 : 0,
                              node.getAttribute('aria-current') === 'true' ||
                                  node.getAttribute('aria-selected') === 'true' ? 1 : 0,
                              name].join(kSep));
            }
            return out(records.join(kRec), sizePtr);
        },
        // A reader's default action: the element's own click, as assistive technology
        // presses a button; the reading has none.
        act(name) {
            const layer = $('sw-access');
            if (!layer || !windowShown()) return 0;
            for (const node of layer.children) {
                const role = node.getAttribute('role') || (node.nodeName === 'BUTTON' ? 'button' : '');
                if (role === 'status' || !shown(node) || node.getAttribute('aria-label') !== name) continue;
                node.click();
                return 1;
            }
            return 0;
        },
        watch() { written.clear(); watching = true; },
        // 1 when the page's storage took the file's bytes as they are now since the watch
        // began, 0 when not; -1 for a file the page keeps only in its memory.
        kept(path) {
            if (!path.endsWith('.ini')) return -1;
            let bytes;
            try { bytes = bytesToString(FS.readFile(path)); } catch (e) { return 0; }
            for (const key of written) {
                if (!key.endsWith(path)) continue;
                let value = null;
                try { value = localStorage.getItem(key); } catch (e) { /* refused */ }
                if (value === bytes) return 1;
            }
            return 0;
        },
        limit(bytes) { wrapWrite(); sizeLimit = bytes; },
        finished(status) {
            document.body.dataset.testExit = String(status);
            console.log('[sablewick-contract] exit ' + status);
        },
    };
})();

// The program's page ends its session when it is left (WebPage.js); the test page has
// no session, and nothing of it is to be written then.
Module['_sw_end_session'] = function () {};

// The test's flags from the page's address: ?gtest_filter=Platform*
(function () {
    const args = [];
    // (No destructuring here: Emscripten's optimizer drops it from a for-of.)
    new URLSearchParams(location.search).forEach((value, key) => {
        if (key.startsWith('gtest_')) args.push('--' + key + '=' + value);
    });
    Module['arguments'] = args;
})();
