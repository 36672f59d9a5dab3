#!/usr/bin/python3
"""Builds resources/CARDT.txt, the card text resource, from tools/assets/cards.txt.

cards.txt is UTF-8 and holds, for each card 0..49, a record marker line
"### card NN" followed by exactly seven field lines, in this order:

    Header            ["Ｈ"]"Ｃａｒｄ．"NN"＞"picture note for the authors
    Title             short keyword; empty for card 0
    Explanation       the reading
    Creator           two ASCII digits (creator code) + display name
    Link              the creator's web page
    Comment           the creator's comment on the picture
    AlternateComment  comment on the alternate picture, or empty

and ends with the closing line "↑１行あけてＥＮＤ".  Field lines are taken
verbatim (several are legitimately empty), so the marker lines are the only
lines that are dropped; a field that itself starts with "###" is refused to
keep the two apart.

The program indexes the resource purely by position (line 7n+field), so every
layout fact is checked here before anything is written: on any violation the
script names the card and field, writes nothing and exits with status 1.

Output: code page 932 bytes, lines joined by CR LF, 351 lines, no line break
after the closing line.  Same input, same bytes.

Usage (from the repository root):
    /usr/bin/python3 tools/assets/make_card_text.py              build the resource
    /usr/bin/python3 tools/assets/make_card_text.py --self-test  run the checks' tests
"""

import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SOURCE = os.path.join(HERE, "cards.txt")
DECK = os.path.join(HERE, "deck.json")
TARGET = os.path.join(ROOT, "resources", "CARDT.txt")

CARD_COUNT = 50
FIELDS = ("Header", "Title", "Explanation", "Creator", "Link", "Comment", "AlternateComment")
# Longest each field may be, in code page 932 bytes: what the labels and
# buffers of the program are laid out for.
BYTE_LIMITS = {
    "Header": 42,
    "Title": 16,
    "Explanation": 211,
    "Creator": 30,
    "Link": 57,
    "Comment": 318,
    "AlternateComment": 186,
}
CLOSING_LINE = "↑１行あけてＥＮＤ"
MARKER = "Ｈ"  # cp932 0x82 0x67: the card has an alternate picture
MARKED_CARDS = frozenset({0, 5, 6, 7, 18, 20, 49})
ALTERNATE_COMMENT_CARDS = frozenset({0, 5, 6, 7, 18, 20})
NO_COMMENT_CARDS = frozenset({18, 24})
CREATOR_CODES = ("00", "01", "02", "03", "04", "05", "06", "07", "10", "11", "12", "13", "16", "17")
PROGRAM_NAME = "Sablewick"
FORTUNE_BUTTON = "占い実行"
ENCODING = "cp932"

RECORD_MARKER = re.compile(r"^### card (\d\d)$")
HEADER = re.compile(r"^(Ｈ)?Ｃａｒｄ．([０-９]{2})＞(.+)$")
CREATOR = re.compile(r"^([0-9]{2})(.+)$")
LINK = re.compile(r"^https?://([a-z0-9.-]+)(?::[0-9]+)?(/[!-~]*)?$")
FULLWIDTH_DIGITS = "０１２３４５６７８９"


class CardTextError(Exception):
    """Raised with every violation found, one per line."""

    def __init__(self, problems):
        super().__init__("\n".join(problems))
        self.problems = list(problems)


def sjis_len(text):
    return len(text.encode(ENCODING))


# The explanation label (also used for the comments) is 228 x 121 pixels in a
# 12-pixel fixed-pitch font: 38 half-width cells a line, 10 whole lines, and
# whatever wraps below that is cut off.
LABEL_CELLS_PER_LINE = 228 // 6
LABEL_LINES = 121 // 12
LABEL_FIELDS = ("Explanation", "Comment", "AlternateComment")


def wrapped_line_count(text, cells=LABEL_CELLS_PER_LINE):
    """Lines the label needs: double-byte characters break anywhere, a run of
    half-width characters moves to the next line whole, as word wrap does."""
    tokens = re.findall(r"[!-~]+| |.", text)
    lines, used = 1, 0
    for tok in tokens:
        width = sjis_len(tok)
        if used + width > cells and used > 0:
            if tok == " ":
                continue
            lines, used = lines + 1, 0
        used += width
        while used > cells:  # a half-width run longer than a whole line
            lines, used = lines + 1, used - cells
    return lines


def is_reserved_example_host(host):
    """True for the example domains and the .example top-level domain."""
    host = host.lower().rstrip(".")
    for domain in ("example.com", "example.net", "example.org"):
        if host == domain or host.endswith("." + domain):
            return True
    return host.endswith(".example") and len(host) > len(".example")


def encoding_problem(text):
    """Why text cannot travel as code page 932, or None."""
    for ch in text:
        if ch == "\0":
            return "contains a NUL character"
        if ord(ch) < 0x20 or ord(ch) == 0x7F:
            return "contains the control character U+%04X" % ord(ch)
        if ch == "\ufeff":
            return "contains a byte-order mark"
        try:
            raw = ch.encode(ENCODING)
        except UnicodeEncodeError:
            return "contains %r (U+%04X), which code page 932 lacks" % (ch, ord(ch))
        if raw.decode(ENCODING) != ch:
            # cp932 folds a few duplicates onto one code; the program would
            # show a different character than the one written here.
            return "contains %r (U+%04X), which code page 932 reads back as %r" % (
                ch, ord(ch), raw.decode(ENCODING))
    return None


def split_source(text):
    """Source text -> (list of 50 records of 7 field strings, problems)."""
    problems = []
    if text.startswith("\ufeff"):
        problems.append("cards.txt: starts with a byte-order mark; save it as plain UTF-8")
        text = text[1:]
    if "\r" in text:
        problems.append("cards.txt: contains carriage returns; save it with LF line ends")
        return [], problems
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()  # the newline that ends the file's last line
    expected = CARD_COUNT * 8 + 1
    records = []
    pos = 0
    for n in range(CARD_COUNT):
        if pos >= len(lines):
            problems.append("cards.txt: ends before card %02d's record marker" % n)
            return records, problems
        m = RECORD_MARKER.match(lines[pos])
        if not m:
            problems.append("cards.txt line %d: expected the record marker '### card %02d', found %r"
                            % (pos + 1, n, lines[pos]))
            return records, problems
        if int(m.group(1)) != n:
            problems.append("cards.txt line %d: record marker says card %s but card %02d belongs here"
                            % (pos + 1, m.group(1), n))
            return records, problems
        fields = lines[pos + 1:pos + 8]
        if len(fields) < 7:
            problems.append("card %02d: record ends after %d of 7 lines" % (n, len(fields)))
            return records, problems
        for i, line in enumerate(fields):
            if line.startswith("###"):
                problems.append("card %02d %s (cards.txt line %d): a field may not start with '###' "
                                "(a field is missing, or a marker is misplaced: each record is "
                                "the marker plus exactly 7 lines)" % (n, FIELDS[i], pos + 2 + i))
                return records, problems
        records.append(fields)
        pos += 8
    if pos >= len(lines) or lines[pos] != CLOSING_LINE:
        found = lines[pos] if pos < len(lines) else "end of file"
        problems.append("cards.txt line %d: expected the closing line %r after card 49, found %r"
                        % (pos + 1, CLOSING_LINE, found))
    elif len(lines) != expected:
        problems.append("cards.txt: %d lines after the closing line; nothing may follow it"
                        % (len(lines) - expected))
    return records, problems


def check_deck(deck):
    """deck.json -> (creators by code, cards by number, problems)."""
    problems = []
    creators = {}
    for c in deck.get("creators", []):
        code = c.get("code")
        if code in creators:
            problems.append("deck.json: creator code %s listed twice" % code)
        creators[code] = c
    if sorted(creators) != sorted(CREATOR_CODES):
        problems.append("deck.json: creator codes are %s, expected %s"
                        % (", ".join(sorted(map(str, creators))), ", ".join(CREATOR_CODES)))
    names = [c.get("name") for c in creators.values()]
    if len(set(names)) != len(names):
        problems.append("deck.json: two creator codes share a display name")
    cards = {}
    for c in deck.get("cards", []):
        cards[c.get("n")] = c
    if sorted(k for k in cards if isinstance(k, int)) != list(range(CARD_COUNT)):
        problems.append("deck.json: cards must be numbered 0 to 49, each once")
    return creators, cards, problems


def check_records(records, creators, deck_cards):
    """Every fact the program relies on, record by record."""
    problems = []

    def bad(n, field, message):
        problems.append("card %02d %s: %s" % (n, field, message))

    seen_explanations = {}
    used_codes = set()
    for n, fields in enumerate(records):
        rec = dict(zip(FIELDS, fields))
        for field in FIELDS:
            value = rec[field]
            why = encoding_problem(value)
            if why:
                bad(n, field, why)
                continue
            size = sjis_len(value)
            if size > BYTE_LIMITS[field]:
                bad(n, field, "%d bytes, at most %d allowed" % (size, BYTE_LIMITS[field]))
            if value != value.strip(" \t\u3000"):
                bad(n, field, "leading or trailing spaces")
            if field in LABEL_FIELDS and wrapped_line_count(value) > LABEL_LINES:
                bad(n, field, "needs %d lines in the explanation label, which shows %d"
                    % (wrapped_line_count(value), LABEL_LINES))

        m = HEADER.match(rec["Header"])
        if not m:
            bad(n, "Header", "must be ['Ｈ']'Ｃａｒｄ．' + two full-width digits + '＞' + a "
                             "picture note, found %r" % rec["Header"])
        else:
            marked = m.group(1) is not None
            if marked != (n in MARKED_CARDS):
                bad(n, "Header", "alternate marker 'Ｈ' %s" %
                    ("must be present" if n in MARKED_CARDS else "is only for cards 0, 5, 6, 7, 18, 20, 49"))
            number = "".join(str(FULLWIDTH_DIGITS.index(d)) for d in m.group(2))
            if int(number) != n:
                bad(n, "Header", "says card %s but stands in card %02d's place" % (number, n))

        deck_card = deck_cards.get(n, {})
        if n == 0 and rec["Title"]:
            bad(n, "Title", "must be empty on the title card")
        if n != 0 and not rec["Title"]:
            bad(n, "Title", "is empty")
        if rec["Title"] != deck_card.get("title"):
            bad(n, "Title", "%r differs from deck.json's %r" % (rec["Title"], deck_card.get("title")))

        explanation = rec["Explanation"]
        if not explanation:
            bad(n, "Explanation", "is empty")
        elif explanation in seen_explanations:
            bad(n, "Explanation", "repeats card %02d's reading" % seen_explanations[explanation])
        else:
            seen_explanations[explanation] = n
        if n == 0 and FORTUNE_BUTTON not in explanation:
            bad(n, "Explanation", "the greeting must name the %s button" % FORTUNE_BUTTON)

        m = CREATOR.match(rec["Creator"])
        if not m:
            bad(n, "Creator", "must be two ASCII digits and a display name, found %r" % rec["Creator"])
        else:
            code, name = m.group(1), m.group(2)
            used_codes.add(code)
            if code not in CREATOR_CODES:
                bad(n, "Creator", "code %s is not one of %s" % (code, ", ".join(CREATOR_CODES)))
            if (code == "00") != (n == 0):
                bad(n, "Creator", "code 00 belongs to the title card and to it alone")
            if n == 0 and name != PROGRAM_NAME:
                bad(n, "Creator", "the title card's creator is the program, %r" % PROGRAM_NAME)
            if code != deck_card.get("creator"):
                bad(n, "Creator", "code %s differs from deck.json's %s" % (code, deck_card.get("creator")))
            creator = creators.get(code)
            if creator is not None:
                if name != creator.get("name"):
                    bad(n, "Creator", "name %r differs from deck.json's %r for code %s"
                        % (name, creator.get("name"), code))
                if rec["Link"] != creator.get("link"):
                    bad(n, "Link", "%r differs from deck.json's %r for code %s"
                        % (rec["Link"], creator.get("link"), code))

        link = rec["Link"]
        m = LINK.match(link)
        if not link:
            bad(n, "Link", "is empty; every card links to its creator's page")
        elif not m:
            bad(n, "Link", "%r is not a plain http(s) address" % link)
        elif not is_reserved_example_host(m.group(1)):
            bad(n, "Link", "host %r is not a reserved example domain" % m.group(1))

        if (rec["Comment"] == "") != (n in NO_COMMENT_CARDS):
            bad(n, "Comment", "must be empty" if n in NO_COMMENT_CARDS else "is empty")
        if (rec["AlternateComment"] != "") != (n in ALTERNATE_COMMENT_CARDS):
            bad(n, "AlternateComment",
                "is empty" if n in ALTERNATE_COMMENT_CARDS
                else "must be empty: only cards 0, 5, 6, 7, 18, 20 have one")

    if len(records) == CARD_COUNT:
        missing = sorted(set(CREATOR_CODES) - used_codes)
        if missing:
            problems.append("creators %s have no card" % ", ".join(missing))
    return problems


def convert(text, deck):
    """cards.txt text and the parsed deck.json -> CARDT bytes; raises CardTextError."""
    creators, deck_cards, problems = check_deck(deck)
    records, split_problems = split_source(text)
    problems += split_problems
    if not split_problems:
        problems += check_records(records, creators, deck_cards)
    if problems:
        raise CardTextError(problems)
    lines = [line for fields in records for line in fields] + [CLOSING_LINE]
    data = b"\r\n".join(line.encode(ENCODING) for line in lines)
    # The program reads the resource by line position: make sure the bytes
    # split back into exactly the lines written.
    assert data.count(b"\r\n") == len(lines) - 1 and b"\0" not in data
    return data


def field_report(data):
    """Longest field of each kind in built CARDT bytes: {field: (bytes, card)}."""
    lines = data.split(b"\r\n")
    longest = {}
    for i, raw in enumerate(lines[:CARD_COUNT * 7]):
        n, f = divmod(i, 7)
        if len(raw) > longest.get(FIELDS[f], (-1, 0))[0]:
            longest[FIELDS[f]] = (len(raw), n)
    return longest


def write_if_changed(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except FileNotFoundError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if argv[1:]:
        sys.stderr.write("usage: %s [--self-test]\n" % argv[0])
        return 2
    with open(SOURCE, encoding="utf-8") as f:
        text = f.read()
    with open(DECK, encoding="utf-8") as f:
        deck = json.load(f)
    try:
        data = convert(text, deck)
    except CardTextError as e:
        sys.stderr.write("make_card_text: %d problem(s) in %s, %s not written:\n"
                         % (len(e.problems), os.path.relpath(SOURCE), os.path.relpath(TARGET)))
        for p in e.problems:
            sys.stderr.write("  " + p + "\n")
        return 1
    changed = write_if_changed(TARGET, data)
    print("%s: %d bytes, %d lines%s" % (os.path.relpath(TARGET), len(data),
                                        data.count(b"\r\n") + 1, "" if changed else " (unchanged)"))
    tallest = max((wrapped_line_count(line.decode(ENCODING)), i // 7)
                  for i, line in enumerate(data.split(b"\r\n")[:CARD_COUNT * 7])
                  if FIELDS[i % 7] in LABEL_FIELDS)
    print("  tallest label text: %d of %d lines, card %02d" % (tallest[0], LABEL_LINES, tallest[1]))
    for field, (size, n) in field_report(data).items():
        print("  longest %-16s %3d bytes (limit %3d), card %02d" % (field, size, BYTE_LIMITS[field], n))
    return 0


# ---------------------------------------------------------------------------
# Tests of the checks: each breaks the real catalogue in one way and expects
# the converter to refuse it, naming the card and field.

def self_test():
    import unittest

    with open(SOURCE, encoding="utf-8") as f:
        good_text = f.read()
    with open(DECK, encoding="utf-8") as f:
        good_deck = json.load(f)

    def edit_field(text, card, field, value):
        lines = text.split("\n")
        lines[card * 8 + 1 + FIELDS.index(field)] = value
        return "\n".join(lines)

    def get_field(text, card, field):
        return text.split("\n")[card * 8 + 1 + FIELDS.index(field)]

    class Built(unittest.TestCase):
        def test_resource_layout(self):
            data = convert(good_text, good_deck)
            lines = data.split(b"\r\n")
            self.assertEqual(len(lines), 351)
            self.assertEqual(lines[350], CLOSING_LINE.encode(ENCODING))
            self.assertFalse(data.endswith(b"\n"))
            self.assertNotIn(b"\0", data)
            self.assertNotIn(b"\n", data.replace(b"\r\n", b""))
            self.assertFalse(data.startswith(b"\xef\xbb\xbf"))

        def test_program_reads_by_position(self):
            lines = convert(good_text, good_deck).split(b"\r\n")
            marker = MARKER.encode(ENCODING)
            self.assertEqual(marker, b"\x82\x67")
            marked = {n for n in range(CARD_COUNT) if lines[7 * n][:2] == marker}
            self.assertEqual(marked, set(MARKED_CARDS))
            self.assertEqual(lines[1], b"")                       # card 0 title
            self.assertEqual(lines[3], b"00" + PROGRAM_NAME.encode())
            self.assertEqual(lines[349], b"")                     # card 49 alternate comment
            for n in range(CARD_COUNT):
                code = lines[7 * n + 3][:2]
                self.assertTrue(code.isdigit() and int(code) <= 17, n)
                self.assertNotEqual(lines[7 * n + 4], b"", n)

        def test_deterministic(self):
            self.assertEqual(convert(good_text, good_deck), convert(good_text, good_deck))

        def test_no_trailing_newline_in_source_is_fine(self):
            self.assertEqual(convert(good_text.rstrip("\n"), good_deck), convert(good_text, good_deck))

    class Refused(unittest.TestCase):
        def refused(self, text, *fragments, deck=None):
            with self.assertRaises(CardTextError) as cm:
                convert(text, good_deck if deck is None else deck)
            message = str(cm.exception)
            for frag in fragments:
                self.assertIn(frag, message)
            return message

        def test_byte_limits_count_shift_jis_bytes(self):
            # 106 full-width characters are 212 bytes: one over the reading's limit,
            # though only 106 characters long.
            self.refused(edit_field(good_text, 9, "Explanation", "あ" * 106),
                         "card 09 Explanation", "212 bytes")
            self.assertEqual(convert(edit_field(good_text, 9, "Explanation", "あ" * 105), good_deck)
                             .split(b"\r\n")[7 * 9 + 2], "あ".encode(ENCODING) * 105)
            self.refused(edit_field(good_text, 3, "Comment", "x" * 319), "card 03 Comment", "319 bytes")
            self.refused(edit_field(good_text, 5, "AlternateComment", "い" * 94),
                         "card 05 AlternateComment", "188 bytes")
            head = get_field(good_text, 12, "Header")
            self.refused(edit_field(good_text, 12, "Header", head + "あ" * 20), "card 12 Header")

        def test_text_must_fit_the_label(self):
            self.assertEqual(wrapped_line_count("あ" * 19), 1)
            self.assertEqual(wrapped_line_count("あ" * 20), 2)
            self.assertEqual(wrapped_line_count("あ" * 18 + "Sablewick"), 2)  # the word moves down whole
            self.assertEqual(wrapped_line_count("a" * 77), 3)
            # 20-letter words sit one to a line: 300 bytes, within the byte
            # limit, yet 14 lines (the cut last word shares line 14)
            text = " ".join(["abcdefghijklmnopqrst"] * 15)[:300]
            self.assertEqual(wrapped_line_count(text), 14)
            self.assertLessEqual(sjis_len(text), BYTE_LIMITS["Comment"])
            self.refused(edit_field(good_text, 3, "Comment", text), "card 03 Comment", "lines")

        def test_marker_only_on_its_cards(self):
            head = get_field(good_text, 8, "Header")
            self.refused(edit_field(good_text, 8, "Header", MARKER + head), "card 08 Header", "marker")
            head = get_field(good_text, 49, "Header")
            self.refused(edit_field(good_text, 49, "Header", head[1:]), "card 49 Header", "must be present")

        def test_header_number_matches_position(self):
            head = get_field(good_text, 31, "Header").replace("３１", "１３")
            self.refused(edit_field(good_text, 31, "Header", head), "card 31 Header", "says card 13")
            head = get_field(good_text, 31, "Header").replace("３１", "31")
            self.refused(edit_field(good_text, 31, "Header", head), "card 31 Header")

        def test_empty_and_filled_fields(self):
            self.refused(edit_field(good_text, 24, "Comment", "寒い朝に描きました。"), "card 24 Comment", "must be empty")
            self.refused(edit_field(good_text, 18, "Comment", "朝の光です。"), "card 18 Comment")
            self.refused(edit_field(good_text, 20, "AlternateComment", ""), "card 20 AlternateComment", "is empty")
            self.refused(edit_field(good_text, 49, "AlternateComment", "もう一枚の姿です。"),
                         "card 49 AlternateComment", "must be empty")
            self.refused(edit_field(good_text, 11, "Comment", ""), "card 11 Comment", "is empty")
            self.refused(edit_field(good_text, 0, "Title", "表紙"), "card 00 Title")
            self.refused(edit_field(good_text, 2, "Link", ""), "card 02 Link", "is empty")

        def test_title_card(self):
            greeting = get_field(good_text, 0, "Explanation").replace(FORTUNE_BUTTON, "実行")
            self.refused(edit_field(good_text, 0, "Explanation", greeting), "card 00 Explanation")
            self.refused(edit_field(good_text, 0, "Creator", "01月岡しずく"), "card 00 Creator", "code 00")
            self.refused(edit_field(good_text, 7, "Creator", "00Sablewick"), "card 07 Creator", "code 00")

        def test_creator_codes(self):
            self.refused(edit_field(good_text, 14, "Creator", "08藤咲ゆら"), "card 14 Creator", "not one of")
            self.refused(edit_field(good_text, 14, "Creator", "１２藤咲ゆら"), "card 14 Creator", "two ASCII digits")
            # A real code, but not the one deck.json gives this card's picture.
            line = "03" + good_deck["creators"][3]["name"]
            self.assertEqual(good_deck["creators"][3]["code"], "03")
            self.refused(edit_field(good_text, 14, "Creator", line), "card 14 Creator", "deck.json")

        def test_links_stay_on_reserved_domains(self):
            self.refused(edit_field(good_text, 4, "Link", "https://www.examples.com/"), "card 04 Link", "reserved")
            self.refused(edit_field(good_text, 4, "Link", "https://example.com.evil.net/"), "card 04 Link", "reserved")
            self.refused(edit_field(good_text, 4, "Link", "https://akane.example.com/a b"), "card 04 Link")
            self.assertTrue(is_reserved_example_host("shop.example"))
            self.assertTrue(is_reserved_example_host("www.example.org"))
            self.assertFalse(is_reserved_example_host("example"))
            self.assertFalse(is_reserved_example_host("notexample.com"))

        def test_deck_agreement(self):
            deck = json.loads(json.dumps(good_deck))
            deck["cards"][17]["title"] = "時計"
            self.refused(good_text, "card 17 Title", "deck.json", deck=deck)
            deck = json.loads(json.dumps(good_deck))
            deck["creators"][5]["link"] = "https://ren.example.net/"
            self.refused(good_text, "card 06 Link", deck=deck)
            deck = json.loads(json.dumps(good_deck))
            del deck["creators"][-1]
            self.refused(good_text, "deck.json: creator codes", deck=deck)

        def test_characters_outside_code_page_932(self):
            self.refused(edit_field(good_text, 6, "Comment", "赤い光♡"), "card 06 Comment", "U+2661")
            self.refused(edit_field(good_text, 6, "Comment", "赤い光\t"), "card 06 Comment", "control")
            # The wave dash and minus sign of shift_jis are read back by cp932 as
            # the full-width tilde and hyphen-minus: the program would show other glyphs.
            self.refused(edit_field(good_text, 6, "Comment", "朝\u301c夜"), "card 06 Comment", "U+301C")
            self.refused(edit_field(good_text, 6, "Comment", "\u2212273度"), "card 06 Comment", "U+2212")
            self.assertIsNone(encoding_problem("朝\uff5e夜\uff0d"))
            self.refused(edit_field(good_text, 6, "Comment", "赤い光\u0000"), "card 06 Comment", "NUL")

        def test_readings_differ(self):
            same = get_field(good_text, 1, "Explanation")
            self.refused(edit_field(good_text, 2, "Explanation", same), "card 02 Explanation", "card 01")

        def test_record_structure(self):
            lines = good_text.split("\n")
            # a field lost in card 10: the next marker slides into its place
            broken = lines[:10 * 8 + 3] + lines[10 * 8 + 4:]
            self.refused("\n".join(broken), "card 10")
            # an extra line in card 10
            broken = lines[:10 * 8 + 3] + ["余分な行"] + lines[10 * 8 + 3:]
            self.refused("\n".join(broken), "'### card 11'")
            # cards swapped
            swapped = lines[:8] + lines[16:24] + lines[8:16] + lines[24:]
            self.refused("\n".join(swapped), "says card 02 but card 01 belongs here")
            self.refused(good_text.replace(CLOSING_LINE, "END"), "closing line")
            self.refused(good_text + "おまけ\n", "nothing may follow")
            self.refused(good_text.replace("\n", "\r\n"), "carriage returns")
            self.refused("\ufeff" + good_text, "byte-order mark")

    suite = unittest.TestSuite()
    for case in (Built, Refused):
        suite.addTests(unittest.defaultTestLoader.loadTestsFromTestCase(case))
    result = unittest.TextTestRunner(verbosity=1).run(suite)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
