#!/usr/bin/python3
"""Where two processes' resident memory is, by mapping, as Markdown table rows.

usage: smaps_by_mapping.py PROGRAM_SMAPS BASELINE_SMAPS

Both are copies of /proc/PID/smaps. Each file's resident pages count for that file (a
library, a font, the program itself); the pages a process wrote are its own, RssAnon:
the main heap, the malloc arenas of other threads, thread stacks, other anonymous
mappings (large blocks, which malloc maps on their own) and the written pages of the
libraries' data. Shared memory (the window's picture, shared with the X server) is a
kind of its own. Prints the kinds where the two differ most, then the totals.
"""
import collections
import os
import sys

ARENA_KIB = 65536  # a thread's malloc arena reserves 64 MiB, of which a part is mapped
STACK_KIB = 8192  # the default thread stack
ROWS = 14


def read(path):
    maps = []
    current = None
    for line in open(path):
        head = line.split()
        if "-" in head[0] and len(head) >= 5 and ":" not in head[0]:
            start, end = (int(v, 16) for v in head[0].split("-"))
            current = {"start": start, "end": end, "perms": head[1],
                       "path": " ".join(head[5:]), "fields": {}}
            maps.append(current)
        elif current is not None and len(head) >= 2 and head[0].endswith(":"):
            try:
                current["fields"][head[0][:-1]] = int(head[1])
            except ValueError:
                pass
    return maps


def kinds(maps):
    out = collections.Counter()
    for i, m in enumerate(maps):
        f = m["fields"]
        rss, anon, shmem = f.get("Rss", 0), f.get("Anonymous", 0), f.get("Shmem", 0)
        shmem = shmem or f.get("Shared_Hugetlb", 0)
        path = m["path"]
        size = (m["end"] - m["start"]) // 1024
        if path == "[heap]":
            out["own: the main heap (malloc)"] += anon
        elif path == "[stack]":
            out["own: the main thread's stack"] += anon
        elif path.startswith("["):
            out["own: " + path] += anon
        elif path.startswith("/memfd:") or path.startswith("/SYSV") or "(deleted)" in path:
            out["shared memory (the window's picture)"] += rss
        elif path:
            out[os.path.basename(path)] += rss - anon
            if anon:
                out["own: libraries' written data"] += anon
        else:
            nxt = maps[i + 1] if i + 1 < len(maps) else None
            prev = maps[i - 1] if i > 0 else None
            reserve = nxt and nxt["perms"].startswith("---") and nxt["start"] == m["end"] and \
                not nxt["path"]
            whole = size + ((nxt["end"] - nxt["start"]) // 1024 if reserve else 0)
            if whole == ARENA_KIB and m["start"] % (ARENA_KIB * 1024) == 0:
                out["own: malloc arenas of other threads"] += anon
            elif size == STACK_KIB and prev and prev["perms"].startswith("---"):
                out["own: thread stacks"] += anon
            else:
                out["own: other anonymous mappings (large blocks)"] += anon
    return out


def main():
    program, baseline = (kinds(read(p)) for p in sys.argv[1:3])
    names = sorted(set(program) | set(baseline),
                   key=lambda n: -abs(program[n] - baseline[n]))
    shown = names[:ROWS]
    for n in shown:
        print("| %s | %d | %d | %+d |" % (n, program[n], baseline[n], program[n] - baseline[n]))
    rest_p = sum(program[n] for n in names[ROWS:])
    rest_b = sum(baseline[n] for n in names[ROWS:])
    print("| everything else | %d | %d | %+d |" % (rest_p, rest_b, rest_p - rest_b))
    own_p = sum(v for n, v in program.items() if n.startswith("own:"))
    own_b = sum(v for n, v in baseline.items() if n.startswith("own:"))
    print("| **own pages (RssAnon)** | %d | %d | %+d |" % (own_p, own_b, own_p - own_b))
    all_p, all_b = sum(program.values()), sum(baseline.values())
    print("| **resident in all** | %d | %d | %+d |" % (all_p, all_b, all_p - all_b))


if __name__ == "__main__":
    main()
