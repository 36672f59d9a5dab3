// The page side of the browser backend: the window's elements, the queue of the page's
// events, the menu and message boxes, sound, pointers, text conversion and storage.
// The program calls in through the small functions of the platform/web sources; the
// page never calls a window handler itself, it only queues what happened (the program's
// loop takes it), except for the end of the session, which cannot wait.
var SW = (function () {
    'use strict';
    const kControls = ['Form', 'LabelNo', 'LabelTittle', 'LabelCreator', 'LabelKaisetu', 'Memo1'];
    const E = {Paint: 1, Timer: 2, MouseDown: 3, MouseMove: 4, MouseUp: 5, KeyDown: 6, KeyUp: 7,
               MemoChange: 8, MemoMouseDown: 9, AccAction: 10, AccFocus: 11};
    const queue = [];
    let wake = null;
    let timerId = 0, timerQueued = false, paintQueued = false;
    const el = {};
    let dpr = 1;
    let pageWired = false;

    function $(id) { return document.getElementById(id); }
    function setState(state) { document.body.dataset.swState = state; }

    function post(ev) {
        if (ev[0] === E.MouseMove) {
            const last = queue[queue.length - 1];
            // Moves pile up while the program is busy; only the latest one counts.
            if (last && last[0] === E.MouseMove && last[1] === ev[1]) queue.pop();
        }
        queue.push(ev);
        if (wake) { const w = wake; wake = null; w(); }
    }

    // ---- Text: code page 932 --------------------------------------------------------
    // The browser's Shift_JIS decoder is Windows' code page 932 (the NEC and IBM rows
    // included). Encoding goes through the inverse of the decoder; where a character has
    // two codes, the lower one is taken, except that the IBM rows (FA to FC) win over
    // their NEC-selected copies (ED, EE), as Windows encodes them. A character the code
    // page cannot spell becomes "?", as Windows' conversion without look-alikes does: an
    // emoji, two UTF-16 units, becomes two.
    const decoder = new TextDecoder('shift_jis');
    let encodeTable = null;
    function buildEncodeTable() {
        const table = new Map();
        for (let b = 0xA1; b <= 0xDF; ++b) table.set(0xFF61 + b - 0xA1, [b]);
        const leads = [];
        for (let l = 0x81; l <= 0x9F; ++l) leads.push(l);
        for (let l = 0xE0; l <= 0xFC; ++l) leads.push(l);
        for (const lead of leads) {
            const bytes = [];
            for (let t = 0x40; t <= 0xFC; ++t) {
                if (t === 0x7F) continue;
                bytes.push(lead, t, 0x0A);
            }
            const parts = decoder.decode(new Uint8Array(bytes)).split('\n');
            let i = 0;
            for (let t = 0x40; t <= 0xFC; ++t) {
                if (t === 0x7F) continue;
                const s = parts[i++];
                if (s.length !== 1 || s === '\uFFFD') continue;
                const code = s.charCodeAt(0);
                const had = table.get(code);
                const necCopy = lead === 0xED || lead === 0xEE;
                if (!had || (had.length === 2 && (had[0] === 0xED || had[0] === 0xEE) && !necCopy))
                    table.set(code, [lead, t]);
            }
        }
        return table;
    }
    function decode(bytes) {
        // An undecodable byte becomes one "?" and the rest of the text survives.
        return decoder.decode(bytes).replace(/\uFFFD/g, '?');
    }
    function encode(text) {
        if (!encodeTable) encodeTable = buildEncodeTable();
        const out = [];
        for (let i = 0; i < text.length; ++i) {
            const c = text.charCodeAt(i);
            if (c < 0x80) { out.push(c); continue; }
            const code = encodeTable.get(c);
            if (!code) out.push(0x3F); else for (const b of code) out.push(b);
        }
        return new Uint8Array(out);
    }

    // The ratio of the labels' face's em size to its cell height, measured once.
    let emPerCell = 0;
    function cellToEm() {
        if (!emPerCell) {
            const ctx = document.createElement('canvas').getContext('2d');
            ctx.font = '100px ' + getComputedStyle(document.body).fontFamily;
            const m = ctx.measureText('\u6f22\u5b57Ag');
            const cell = (m.fontBoundingBoxAscent || 0) + (m.fontBoundingBoxDescent || 0);
            emPerCell = cell > 10 ? 100 / cell : 1;
        }
        return emPerCell;
    }

    // ---- The window -------------------------------------------------------------------
    let phys = {w: 0, h: 0}, program = {w: 737, h: 584};
    let imageData = null, imageBuffer = null, imagePtr = 0;

    function controlOf(node) {
        for (let n = node; n && n !== el.client; n = n.parentNode) {
            const i = kControls.indexOf(n.id);
            if (i > 0) return i;
        }
        return 0;
    }
    function shiftBits(e) { return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0); }
    function physicalPoint(e) {
        const r = el.client.getBoundingClientRect();
        return [Math.floor((e.clientX - r.left) * phys.w / r.width),
                Math.floor((e.clientY - r.top) * phys.h / r.height)];
    }
    function screenPoint(e) { return [Math.round(e.clientX * dpr), Math.round(e.clientY * dpr)]; }
    function mouseEvent(type, e, button) {
        const p = physicalPoint(e), s = screenPoint(e);
        return [type, controlOf(e.target), button, shiftBits(e), p[0], p[1], 0, s[0], s[1]];
    }
    function buttonOf(e) { return e.button === 2 ? 1 : e.button === 1 ? 2 : 0; }

    let longPress = 0, pressOrigin = null, gestureSeen = false;
    function firstGesture() {
        if (gestureSeen) return;
        gestureSeen = true;
        sound.unlock();
    }

    function wireWindow() {
        const c = el.client;
        c.addEventListener('pointerdown', (e) => {
            firstGesture();
            if (menu.open) return;
            if (e.target === el.memo) {
                const p = physicalPoint(e), s = screenPoint(e);
                post([E.MemoMouseDown, 5, buttonOf(e), shiftBits(e), p[0], p[1], 0, s[0], s[1]]);
                return;
            }
            e.preventDefault();
            c.focus({preventScroll: true});
            try { e.target.setPointerCapture(e.pointerId); } catch (err) { /* gone already */ }
            post(mouseEvent(E.MouseDown, e, buttonOf(e)));
            if (e.pointerType === 'touch') {
                // A long press is the touch screen's right click: the options menu.
                pressOrigin = [e.clientX, e.clientY];
                clearTimeout(longPress);
                longPress = setTimeout(() => {
                    longPress = 0;
                    post(mouseEvent(E.MouseUp, e, 0));
                    post(mouseEvent(E.MouseDown, e, 1));
                    post(mouseEvent(E.MouseUp, e, 1));
                    pressOrigin = null;
                }, 550);
            }
        });
        c.addEventListener('pointermove', (e) => {
            if (e.target === el.memo && !e.target.hasPointerCapture(e.pointerId)) return;
            if (pressOrigin && Math.hypot(e.clientX - pressOrigin[0], e.clientY - pressOrigin[1]) > 8) {
                clearTimeout(longPress);
                longPress = 0;
            }
            post(mouseEvent(E.MouseMove, e, 0));
        });
        const up = (e) => {
            if (e.target === el.memo) return;
            if (e.pointerType === 'touch' && !pressOrigin) return;  // the long press ended it
            clearTimeout(longPress);
            longPress = 0;
            pressOrigin = null;
            post(mouseEvent(E.MouseUp, e, buttonOf(e)));
        };
        c.addEventListener('pointerup', up);
        c.addEventListener('pointercancel', up);
        c.addEventListener('contextmenu', (e) => {
            // The wish box keeps the browser's own menu (paste); the window has ours.
            if (e.target !== el.memo) e.preventDefault();
        });
        c.addEventListener('keydown', (e) => {
            firstGesture();
            // A key the input method is composing with is the input method's.
            if (e.isComposing || e.keyCode === 229) return;
            const inMemo = e.target === el.memo;
            const k = e.keyCode;
            if (k === 9 && !e.ctrlKey && !e.altKey) e.preventDefault();
            if (k === 13) e.preventDefault();  // Enter makes no line break
            if (!inMemo && k === 32) e.preventDefault();
            post([E.KeyDown, inMemo ? 5 : 0, 0, shiftBits(e), 0, 0, k, 0, 0]);
        });
        c.addEventListener('keyup', (e) => {
            if (e.isComposing || e.keyCode === 229) return;
            post([E.KeyUp, e.target === el.memo ? 5 : 0, 0, shiftBits(e), 0, 0, e.keyCode, 0, 0]);
        });
        el.memo.addEventListener('input', () => post([E.MemoChange, 5, 0, 0, 0, 0, 0, 0, 0]));
        // The wish box has the keyboard now: no painted button takes it back.
        el.memo.addEventListener('focus', () => { acc.windowFocused = false; });
        el.minimised.addEventListener('click', () => {
            el.minimised.hidden = true;
            el.window.hidden = false;
            requestPaint();
        });
    }

    function requestPaint() {
        if (paintQueued) return;
        paintQueued = true;
        post([E.Paint, 0, 0, 0, 0, 0, 0, 0, 0]);
    }

    // A conversion for the program: its bytes in, the converted bytes in a block it
    // takes (malloc's), their count at outSize.
    function convert(toSjis, ptr, size, outSize) {
        const bytes = HEAPU8.subarray(ptr, ptr + size);
        const out = toSjis ? encode(utf8.decode(bytes).replace(/\uFFFD/g, '?'))
                           : new TextEncoder().encode(decode(bytes));
        const block = _malloc(Math.max(1, out.length));
        HEAPU8.set(out, block);
        HEAP32[outSize >> 2] = out.length;
        return block;
    }
    const utf8 = new TextDecoder('utf-8');

    const api = {
        convert: convert,
        E: E,
        init() {
            for (const id of ['window', 'client', 'canvas', 'access', 'live', 'minimised',
                              'closed', 'running', 'menu', 'dialog'])
                el[id] = $('sw-' + id);
            el.memo = $('Memo1');
            el.labels = {};
            for (let i = 1; i <= 4; ++i) el.labels[i] = $(kControls[i]);
            el.ctx = el.canvas.getContext('2d');
            dpr = window.devicePixelRatio || 1;
            // A window starts with nothing queued and nothing published: what was queued
            // for a window before it is nobody's.
            queue.length = 0;
            wake = null;
            clearInterval(timerId);
            timerQueued = paintQueued = false;
            imageData = null;
            acc.reset();
            // Each element is wired once, however many windows it serves.
            if (!el.client.swWired) {
                el.client.swWired = true;
                wireWindow();
            }
            if (pageWired) return;
            pageWired = true;
            // Anything else the page does that the program should hear of.
            window.addEventListener('resize', () => {
                if ((window.devicePixelRatio || 1) !== dpr) {
                    dpr = window.devicePixelRatio || 1;
                    api.rescaleWanted = true;
                }
                requestPaint();
            });
        },
        rescaleWanted: false,
        viewport() {
            dpr = window.devicePixelRatio || 1;
            return [document.documentElement.clientWidth, document.documentElement.clientHeight, dpr];
        },
        // The queue.
        waitEvent() {
            if (queue.length) return Promise.resolve();
            return new Promise((resolve) => { wake = resolve; });
        },
        takeEvent() {
            const ev = queue.shift();
            if (!ev) return null;
            if (ev[0] === E.Timer) timerQueued = false;
            if (ev[0] === E.Paint) paintQueued = false;
            return ev;
        },
        startTimer(ms) {
            clearInterval(timerId);
            timerId = setInterval(() => {
                // One tick waits at most, as a desktop's timer message does.
                if (timerQueued) return;
                timerQueued = true;
                post([E.Timer, 0, 0, 0, 0, 0, 0, 0, 0]);
            }, Math.max(1, ms));
        },
        requestPaint: requestPaint,
        // The window's elements.
        sizeWindow(pw, ph, lw, lh) {
            phys = {w: pw, h: ph};
            program = {w: lw, h: lh};
            el.canvas.width = pw;
            el.canvas.height = ph;
            imageData = null;
            el.client.style.width = lw + 'px';
            el.client.style.height = lh + 'px';
            el.canvas.style.width = lw + 'px';
            el.canvas.style.height = lh + 'px';
        },
        placeWindow(left, top, shownW, shownH) {
            // Device pixels to the page's: the window's corner lands on a device pixel.
            el.window.style.left = (left / dpr) + 'px';
            el.window.style.top = (top / dpr) + 'px';
            el.window.style.width = (shownW / dpr) + 'px';
            el.window.style.height = (shownH / dpr) + 'px';
            el.client.style.transform =
                'scale(' + (shownW / dpr / program.w) + ',' + (shownH / dpr / program.h) + ')';
        },
        showWindow() {
            el.window.hidden = false;
            setState('running');
            requestPaint();
        },
        minimise() {
            el.window.hidden = true;
            el.minimised.hidden = false;
        },
        // How long the program's presents took (milliseconds, the latest 256, with their
        // sizes), for the benchmark and the browser's own performance tools.
        presentTimes: [],
        notePresent(ms, w, h) {
            if (api.presentTimes.length >= 256) api.presentTimes.shift();
            api.presentTimes.push([ms, w, h]);
        },
        present(ptr, x, y, w, h) {
            if (!api.framed) {
                api.framed = true;
                performance.mark('sablewick-first-frame');
            }
            const bytes = phys.w * phys.h * 4;
            if (!imageData || imageBuffer !== HEAPU8.buffer || imagePtr !== ptr) {
                imageBuffer = HEAPU8.buffer;
                imagePtr = ptr;
                imageData = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, ptr, bytes), phys.w, phys.h);
            }
            el.ctx.putImageData(imageData, 0, 0, x, y, w, h);
        },
        setShape(path) {
            el.client.style.clipPath = path ? "path('" + path + "')" : '';
        },
        closed() {
            clearInterval(timerId);
            el.window.hidden = true;
            el.minimised.hidden = true;
            el.closed.hidden = false;
            setState('closed');
            instance.release();
        },
        // Labels and the wish box.
        style(node, x, y, w, h, s) {
            const st = node.style;
            if (x !== null) {
                st.left = x + 'px';
                st.top = y + 'px';
                st.width = w + 'px';
                st.height = h + 'px';
            }
            const rgb = (c) => 'rgb(' + (c & 255) + ',' + ((c >> 8) & 255) + ',' + ((c >> 16) & 255) + ')';
            // Labels are given cell heights (ascent plus descent), the wish box a
            // character height; CSS sizes are em sizes, in the face's own ratio.
            const px = node === el.memo ? s.cell : s.cell * cellToEm();
            st.fontSize = px.toFixed(2) + 'px';
            st.lineHeight = s.cell + 'px';
            st.background = rgb(s.bg);
            st.color = rgb(s.fg);
            st.textAlign = s.centred ? 'center' : 'left';
            node.classList.toggle('sw-vcentred', !!s.vcentred);
            node.classList.toggle('sw-wrap', !!s.wrap);
            // A vertically centred label is a flex box: its text spans the whole width,
            // or it would sit at the left whatever its alignment.
            node.classList.toggle('sw-centred-text', !!s.centred);
        },
        label(id) { return el.labels[id]; },
        memo() { return el.memo; },
        setLabelText(id, bytes) {
            const node = el.labels[id];
            // "&" marks no accelerator in a label: the text shows as it is.
            node.firstChild.textContent = decode(bytes);
        },
        // A text set puts the caret at its start, as a Windows edit box does (a textarea
        // puts it at the end).
        setMemoValue(text) { el.memo.value = text; el.memo.setSelectionRange(0, 0); },
        // The read-only flag (which 0) or the caret (which 1); a value of -1 only reads.
        // The caret counts a line break as two characters, as a Windows edit box does,
        // where the textarea counts it as one.
        memoFlag(which, value) {
            const m = el.memo;
            if (which === 0) {
                if (value >= 0) m.readOnly = !!value;
                return m.readOnly ? 1 : 0;
            }
            const v = m.value;
            if (value >= 0) {
                let at = 0;
                for (let n = 0; at < v.length && n + (v[at] === '\n' ? 2 : 1) <= value; ++at)
                    n += v[at] === '\n' ? 2 : 1;
                m.setSelectionRange(at, at);
            }
            const end = m.selectionStart == null ? 0 : m.selectionStart;
            let count = 0;
            for (let i = 0; i < end; ++i) count += v[i] === '\n' ? 2 : 1;
            return count;
        },
        memoValue() { return el.memo.value.replace(/\r?\n/g, '\r\n'); },
        focusMemo() { acc.windowFocused = false; el.memo.focus({preventScroll: true}); },
        focusWindow() { el.client.focus({preventScroll: true}); acc.windowFocused = true; acc.apply(); },
        decode: decode,
        encode: encode,
    };

    // ---- Accessibility: the painted objects as buttons ---------------------------------
    const acc = {
        windowFocused: false,
        objects: [],
        byId: new Map(),
        programFocus: false,
        lastReading: '',
        reset() {
            acc.windowFocused = false;
            acc.objects = [];
            acc.byId = new Map();
            acc.lastReading = '';
        },
        publish(objects) {
            acc.objects = objects;
            const keep = new Set();
            const ordered = [];
            let reading = false;
            for (const o of objects) {
                if (o.role === 2) {
                    // The reading on show, at its place over the window, read out when it
                    // changes.
                    const l = el.live;
                    if (o.name !== acc.lastReading) {
                        acc.lastReading = o.name;
                        l.textContent = o.name;
                    }
                    l.style.left = o.x + 'px';
                    l.style.top = o.y + 'px';
                    l.style.width = o.w + 'px';
                    l.style.height = o.h + 'px';
                    reading = true;
                    ordered.push(l);
                    continue;
                }
                keep.add(o.id);
                let b = acc.byId.get(o.id);
                if (!b) {
                    b = document.createElement('button');
                    b.className = 'sw-acc';
                    b.type = 'button';
                    b.dataset.id = o.id;
                    b.addEventListener('click', (e) => {
                        // Enter and Space are the program's own keys (their clicks are
                        // prevented), so a click here is a screen reader's action.
                        e.preventDefault();
                        post([E.AccAction, 0, 0, 0, 0, 0, o.id, 0, 0]);
                    });
                    b.addEventListener('focus', () => {
                        if (!acc.programFocus) post([E.AccFocus, 0, 0, 0, 0, 0, Number(b.dataset.id), 0, 0]);
                    });
                    acc.byId.set(o.id, b);
                }
                b.setAttribute('aria-label', o.name);
                // A cell of the index is an item of a list to a screen reader.
                if (o.role === 1) b.setAttribute('role', 'listitem'); else b.removeAttribute('role');
                b.style.left = o.x + 'px';
                b.style.top = o.y + 'px';
                b.style.width = o.w + 'px';
                b.style.height = o.h + 'px';
                if (o.unavailable) b.setAttribute('aria-disabled', 'true'); else b.removeAttribute('aria-disabled');
                if (o.pressed) b.setAttribute('aria-pressed', 'true'); else b.removeAttribute('aria-pressed');
                if (o.selected) b.setAttribute('aria-current', 'true'); else b.removeAttribute('aria-current');
                b.tabIndex = o.focused ? 0 : -1;
                b.dataset.focused = o.focused ? '1' : '';
                ordered.push(b);
            }
            if (!reading) {
                // No reading on show: nothing to read out, nowhere.
                acc.lastReading = '';
                el.live.textContent = '';
                el.live.style.width = el.live.style.height = '0';
            }
            for (const id of Array.from(acc.byId.keys())) {
                if (!keep.has(id)) { acc.byId.get(id).remove(); acc.byId.delete(id); }
            }
            // Reading order: the program's. Only what is out of place moves: a moved
            // element loses the focus, and a moved live region may not be read out.
            let next = el.access.firstChild;
            for (const node of ordered) {
                if (node === next) next = next.nextSibling;
                else el.access.insertBefore(node, next);
            }
            acc.apply();
        },
        apply() {
            if (!acc.windowFocused) return;
            for (const b of acc.byId.values()) {
                if (b.dataset.focused && document.activeElement !== b) {
                    acc.programFocus = true;
                    b.focus({preventScroll: true});
                    acc.programFocus = false;
                }
            }
        },
    };
    api.publishAccessibles = acc.publish;

    // ---- The options menu -------------------------------------------------------------
    const menu = {
        open: false,
        track(cssX, cssY, entries) {
            return new Promise((resolve) => {
                const m = el.menu;
                m.textContent = '';
                const items = [];
                entries.forEach((entry, index) => {
                    if (entry.separatorBefore) {
                        const s = document.createElement('div');
                        s.setAttribute('role', 'separator');
                        m.appendChild(s);
                    }
                    const item = document.createElement('div');
                    item.setAttribute('role', entry.checked ? 'menuitemcheckbox' : 'menuitem');
                    if (entry.checked) item.setAttribute('aria-checked', 'true');
                    if (!entry.enabled) item.setAttribute('aria-disabled', 'true');
                    item.tabIndex = -1;
                    item.dataset.index = index;
                    // "&X" underlines X, the entry's key.
                    const amp = entry.caption.indexOf('&');
                    const key = amp >= 0 ? entry.caption.charAt(amp + 1).toUpperCase() : '';
                    item.dataset.key = key;
                    item.dataset.caption = entry.caption;
                    if (amp >= 0) {
                        item.append(entry.caption.slice(0, amp));
                        const u = document.createElement('u');
                        u.textContent = entry.caption.charAt(amp + 1);
                        item.append(u, entry.caption.slice(amp + 2));
                    } else {
                        item.textContent = entry.caption;
                    }
                    m.appendChild(item);
                    items.push(item);
                });
                const done = (choice) => {
                    if (!menu.open) return;
                    menu.open = false;
                    m.hidden = true;
                    document.removeEventListener('pointerdown', outside, true);
                    m.removeEventListener('keydown', keys);
                    el.client.focus({preventScroll: true});
                    resolve(choice);
                };
                const enabled = items.filter((i) => !i.hasAttribute('aria-disabled'));
                const outside = (e) => { if (!m.contains(e.target)) { e.stopPropagation(); e.preventDefault(); done(-1); } };
                const keys = (e) => {
                    e.preventDefault();
                    e.stopPropagation();
                    const at = enabled.indexOf(document.activeElement);
                    if (e.key === 'Escape') done(-1);
                    else if (e.key === 'ArrowDown') enabled[(at + 1) % enabled.length].focus();
                    else if (e.key === 'ArrowUp') enabled[(at - 1 + enabled.length) % enabled.length].focus();
                    else if (e.key === 'Enter' || e.key === ' ') { if (at >= 0) done(Number(enabled[at].dataset.index)); }
                    else {
                        const hit = enabled.find((i) => i.dataset.key && i.dataset.key === e.key.toUpperCase());
                        if (hit) done(Number(hit.dataset.index));
                    }
                };
                m.onclick = (e) => {
                    const item = e.target.closest('[data-index]');
                    if (item && !item.hasAttribute('aria-disabled')) done(Number(item.dataset.index));
                };
                m.hidden = false;
                menu.open = true;
                // Inside the page, as a desktop keeps a menu on the screen.
                const w = m.offsetWidth, h = m.offsetHeight;
                const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
                m.style.left = Math.max(0, Math.min(cssX, vw - w)) + 'px';
                m.style.top = Math.max(0, Math.min(cssY, vh - h)) + 'px';
                document.addEventListener('pointerdown', outside, true);
                m.addEventListener('keydown', keys);
                if (enabled.length) enabled[0].focus({preventScroll: true});
                else m.focus();
            });
        },
    };
    api.trackMenu = menu.track;
    api.menuOpen = () => menu.open;

    // ---- Message boxes ----------------------------------------------------------------
    api.dialog = function (title, text, kind) {
        return new Promise((resolve) => {
            const d = el.dialog;
            d.querySelector('.sw-dialog-title').textContent = title;
            d.querySelector('.sw-dialog-text').textContent = text;
            d.dataset.kind = kind;
            const ok = d.querySelector('button');
            const before = document.activeElement;
            d.hidden = false;
            ok.focus();
            ok.onclick = () => {
                d.hidden = true;
                ok.onclick = null;
                if (before && before.focus) before.focus({preventScroll: true});
                resolve();
            };
        });
    };

    // ---- Sound ------------------------------------------------------------------------
    // A new sound cuts off the one playing, as the desktop's does. A browser refuses
    // sound before the user's first gesture: the latest sound asked for until then plays
    // at that gesture, unless it was stopped.
    const sound = {
        ctx: null,
        buffers: new Map(),
        playing: null,
        pending: null,
        generation: 0,
        context() {
            if (!sound.ctx) {
                const C = window.AudioContext || window.webkitAudioContext;
                if (!C) return null;
                try { sound.ctx = new C(); } catch (e) { return null; }
            }
            return sound.ctx;
        },
        buffer(ptr, size) {
            let p = sound.buffers.get(ptr);
            if (!p) {
                const ctx = sound.context();
                const copy = HEAPU8.slice(ptr, ptr + size).buffer;
                p = ctx.decodeAudioData(copy).catch(() => null);
                sound.buffers.set(ptr, p);
            }
            return p;
        },
        play(ptr, size) {
            const ctx = sound.context();
            if (!ctx) return;
            sound.stop();
            const gen = ++sound.generation;
            if (ctx.state !== 'running' && !gestureSeen) {
                sound.pending = [ptr, size];
                return;
            }
            sound.buffer(ptr, size).then((buf) => {
                if (!buf || gen !== sound.generation) return;
                const src = ctx.createBufferSource();
                src.buffer = buf;
                src.connect(ctx.destination);
                src.onended = () => { if (sound.playing === src) sound.playing = null; };
                sound.playing = src;
                src.start();
            });
        },
        stop() {
            ++sound.generation;
            sound.pending = null;
            if (sound.playing) {
                try { sound.playing.stop(); } catch (e) { /* ended already */ }
                sound.playing = null;
            }
        },
        unlock() {
            const ctx = sound.context();
            if (!ctx) return;
            const pending = sound.pending;
            sound.pending = null;
            ctx.resume().then(() => { if (pending) sound.play(pending[0], pending[1]); });
        },
    };
    api.play = sound.play;
    api.stopSound = sound.stop;

    // ---- Pointers ---------------------------------------------------------------------
    const cursors = {};
    api.loadCursor = function (number, ptr, w, h, hx, hy) {
        const c = document.createElement('canvas');
        c.width = w;
        c.height = h;
        c.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.slice(ptr, ptr + w * h * 4).buffer), w, h), 0, 0);
        cursors[number] = 'url(' + c.toDataURL('image/png') + ') ' + hx + ' ' + hy + ', default';
    };
    api.useCursor = function (number) {
        const css = cursors[number];
        if (css) el.client.style.cursor = css;
        el.client.dataset.pointer = number;
    };

    // ---- Storage: the settings file in local storage ----------------------------------
    const kStorePrefix = 'sablewick:';
    function bytesToString(bytes) {
        let s = '';
        for (let i = 0; i < bytes.length; i += 8192)
            s += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
        return s;
    }
    api.storedFiles = function () {
        const out = [];
        try {
            for (let i = 0; i < localStorage.length; ++i) {
                const key = localStorage.key(i);
                if (!key.startsWith(kStorePrefix)) continue;
                const value = localStorage.getItem(key);
                const bytes = new Uint8Array(value.length);
                let ok = true;
                for (let j = 0; j < value.length; ++j) {
                    const c = value.charCodeAt(j);
                    if (c > 255) { ok = false; break; }
                    bytes[j] = c;
                }
                // A value that is not a string of bytes was not written by us.
                if (ok) out.push([key.slice(kStorePrefix.length), bytes]);
            }
        } catch (e) { /* storage refused: a folder without files */ }
        return out;
    };
    // Every stored file in one block the program takes: for each, its path's length,
    // the path (UTF-8), the bytes' length and the bytes, lengths as 4 bytes, least
    // significant first.
    api.storedFilesBlock = function (sizePtr) {
        const enc = new TextEncoder();
        let total = 0;
        const parts = api.storedFiles().map(function (file) {
            const p = enc.encode(file[0]);
            total += 8 + p.length + file[1].length;
            return [p, file[1]];
        });
        const block = _malloc(Math.max(1, total));
        let at = block;
        const put32 = function (v) {
            HEAPU8[at] = v & 255;
            HEAPU8[at + 1] = (v >> 8) & 255;
            HEAPU8[at + 2] = (v >> 16) & 255;
            HEAPU8[at + 3] = (v >>> 24) & 255;
            at += 4;
        };
        for (const part of parts) {
            put32(part[0].length);
            HEAPU8.set(part[0], at);
            at += part[0].length;
            put32(part[1].length);
            HEAPU8.set(part[1], at);
            at += part[1].length;
        }
        HEAP32[sizePtr >> 2] = total;
        return block;
    };
    api.store = function (path, bytes) {
        try {
            // setItem replaces the whole value in one step, or throws and keeps the old.
            localStorage.setItem(kStorePrefix + path, bytesToString(bytes));
            return true;
        } catch (e) {
            return false;
        }
    };
    api.unstore = function (path) {
        try { localStorage.removeItem(kStorePrefix + path); return true; } catch (e) { return false; }
    };

    // ---- One program per browser -------------------------------------------------------
    const instance = {
        release: () => {},
        claim() {
            if (!navigator.locks) return Promise.resolve(false);
            return new Promise((resolve) => {
                navigator.locks.request('sablewick-window', {ifAvailable: true}, (lock) => {
                    if (!lock) { resolve(true); return undefined; }
                    resolve(false);
                    // Held for as long as the window lives in this page.
                    return new Promise((release) => { instance.release = release; });
                }).catch(() => resolve(false));
            });
        },
    };
    api.claimInstance = instance.claim;
    api.otherRunning = function () {
        el.running.hidden = false;
        setState('other');
    };

    // ---- The shell --------------------------------------------------------------------
    api.open = function (address) {
        // Only web addresses leave the page, in a tab that cannot reach back.
        if (!/^https?:\/\//i.test(address)) return;
        window.open(address, '_blank', 'noopener,noreferrer');
    };
    api.download = function (name, bytes, type) {
        const url = URL.createObjectURL(new Blob([bytes], {type: type}));
        const a = document.createElement('a');
        a.href = url;
        a.download = name;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
    };
    // The wallpaper, which a page cannot set: the picture is downloaded, and the user
    // told what to do with it.
    api.offerWallpaper = function (name, bytes) {
        api.download(name, bytes, 'image/bmp');
        return api.dialog('Sablewick',
                          '壁紙の画像 ' + name + ' をダウンロードしました。\n' +
                          'ダウンロードしたファイルを開いて、デスクトップの壁紙に設定してください。',
                          'info');
    };
    return api;
})();

// Served from a web site, the page offers itself for a phone's home screen: the manifest
// and icons lie beside it there. Opened from the disk it names no other file.
if (/^https?:$/.test(location.protocol)) {
    const links = [['manifest', 'Sablewick.webmanifest'], ['apple-touch-icon', 'Sablewick-192.png']];
    for (const pair of links) {
        const link = document.createElement('link');
        link.rel = pair[0];
        link.href = pair[1];
        document.head.appendChild(link);
    }
}

// The page is hidden or left: a phone switching apps, a tab closed. The settings are
// written now; nothing after this is sure to run.
window.addEventListener('pagehide', () => { if (Module.calledRun) Module._sw_end_session(); });
document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden' && Module.calledRun) Module._sw_end_session();
});
