#!/usr/bin/env python3
"""The corpus path: throughput with 1 and 2 worker processes, and memory over a long corpus.

The corpus is the French Debian Reference (package debian-reference-fr), one
text per paragraph, as bench_text.py reads it. Two paths are timed, each with
1 and 2 processes, pool start-up included:

- "analyser_corpus": the function handing back the records (`processus=1`,
  in-process, and `processus=2`);
- "command line": `vantro-syllabeur --groupes -j 1` and `-j 2`, JSON output to
  /dev/null, the workers rendering their own results. Its 2 vs 1 ratio has the
  target of 1.8 on a 2-core machine. Beside it, two `-j 1` programs run at
  once on the two halves of the texts: they share nothing, so their ratio is
  the most that two processes reach on this machine.

On a loaded machine the wall-clock ratio says little, so the ratio the CPU time
allows is printed too: twice the CPU time of one process over the CPU time
(user + system) of the caller and its workers together.

Memory: 10^6 words (the paragraphs over and over) through 2 workers, the
results dropped as they come; the resident size of the caller and of each
worker is read at 5%, 50% and 100% of the words. Growth from the middle to
the end must stay small, and no worker may outlive the corpus.

    PYTHONPATH=<site> python3 bench/bench_corpus.py [--quick] [--words N] [--memory-words N] [--json FILE]
"""

from __future__ import annotations

import os
import resource
import subprocess
import sys
import tempfile
import time

import _common as c
from bench_text import SOURCE, load_text, paragraphs

TARGET_RATIO = 1.8
MEMORY_GROWTH_KB = 8 * 1024  # middle to end, per process


def cpu_of_children() -> float:
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def throughput(corpus, textes: list[str], n_words: int, processus: int) -> tuple[float, float]:
    """(words per second of wall-clock time, CPU seconds of this process and its workers)."""
    wall, cpu, children = time.perf_counter(), time.process_time(), cpu_of_children()
    for _ in corpus.analyser_corpus(textes, processus=processus, progression=False):
        pass
    wall = time.perf_counter() - wall
    cpu = time.process_time() - cpu + cpu_of_children() - children
    return n_words / wall, cpu


def command_line(path: str, n_words: int, processus: int) -> tuple[float, float]:
    """(words per second of wall-clock time, CPU seconds of the program and its workers)."""
    command = [sys.executable, "-m", "vantro_aligneur", "--groupes", "--format", "json",
               "--phonemiseur", "bibliotheque", "-j", str(processus), "-f", path]
    wall, children = time.perf_counter(), cpu_of_children()
    with open(os.devnull, "w", encoding="utf-8") as sink:
        subprocess.run(command, stdout=sink, stderr=subprocess.DEVNULL, check=True)
    # The workers were waited for by the program: their time is in its own.
    return n_words / (time.perf_counter() - wall), cpu_of_children() - children


def two_at_once(paths: list[str], n_words: int) -> float:
    """Words per second of `-j 1` run on each of `paths` at the same time: what
    two processes that share nothing reach on this machine, the ceiling of any
    split of the work over two workers."""
    command = [sys.executable, "-m", "vantro_aligneur", "--groupes", "--format", "json",
               "--phonemiseur", "bibliotheque", "-j", "1", "-f"]
    wall = time.perf_counter()
    with open(os.devnull, "w", encoding="utf-8") as sink:
        running = [subprocess.Popen([*command, path], stdout=sink, stderr=subprocess.DEVNULL) for path in paths]
        for p in running:
            if p.wait() != 0:
                raise subprocess.CalledProcessError(p.returncode, command)
    return n_words / (time.perf_counter() - wall)


def children_of(pid: int) -> list[int]:
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat", encoding="ascii") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[1]) == pid and fields[0] != "Z":
                found.append(int(entry))
    return sorted(found)


def rss_of(pid: int) -> int:
    try:
        with open(f"/proc/{pid}/status", encoding="ascii") as fh:
            for line in fh:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def endless(paras: list[str], words: int, counted: list[int]):
    """The paragraphs over and over until `words` words; counted[0] is the words handed out."""
    while True:
        for p in paras:
            if counted[0] >= words:
                return
            counted[0] += len(p.split())
            yield p


def memory(corpus, paras: list[str], words: int, rows: c.Rows) -> None:
    before = set(children_of(os.getpid()))
    counted = [0]
    marks = {"start": words // 20, "middle": words // 2, "end": words}
    samples: dict[str, dict[str, int]] = {}
    workers: list[int] = []
    for _ in corpus.analyser_corpus(endless(paras, words, counted), processus=2, progression=False):
        for name, at in marks.items():
            # The end is read once every text is handed out: the last window is in flight.
            if name not in samples and counted[0] >= at:
                workers = workers or [p for p in children_of(os.getpid()) if p not in before]
                samples[name] = {"caller": c.rss_kb(), **{f"worker {i + 1}": rss_of(p) for i, p in enumerate(workers)}}
    for who in samples.get("start", {}):
        values = [samples.get(m, {}).get(who, 0) for m in marks]
        print(f"  RSS kB {who:<9} start {values[0]:>8} middle {values[1]:>8} end {values[2]:>8}")
        rows.add(f"corpus memory: {who}", f"RSS growth kB, middle to end ({words:.0e} words)",
                 values[2] - values[1], MEMORY_GROWTH_KB)
    time.sleep(0.5)
    left = [p for p in workers if p in children_of(os.getpid())]
    rows.add_check("corpus memory: workers", "workers left after the corpus", str(len(left)), "0", not left)


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--words", type=int, default=0, help="words of the throughput corpus (default: all)")
    ap.add_argument("--memory-words", type=int, default=0, help="words of the memory run (default 10^6)")
    ap.add_argument("--no-memory", action="store_true", help="throughput rows only")
    args = ap.parse_args()
    rows = c.Rows(args.json)
    if not SOURCE.exists():
        print(f"{SOURCE} missing: apt-get install debian-reference-fr", file=sys.stderr)
        rows.add_check("analyser_corpus", "text available", "missing", "debian-reference-fr", False)
        rows.write()
        return 1
    from vantro_aligneur import corpus

    paras = paragraphs(load_text(args.words or (20000 if args.quick else 0)))
    n_words = sum(len(p.split()) for p in paras)
    load = os.getloadavg()[0]
    print(f"{len(paras)} texts, {n_words} words; load average {load:.2f} on {os.cpu_count()} CPUs")

    speed1, cpu1 = throughput(corpus, paras, n_words, 1)
    speed2, cpu2 = throughput(corpus, paras, n_words, 2)
    rows.add("analyser_corpus, 1 process", f"words/s, {n_words} words", speed1, unit_fmt="{:.0f}")
    rows.add("analyser_corpus, 2 processes", f"words/s, {n_words} words", speed2, unit_fmt="{:.0f}")
    rows.add("analyser_corpus, 2 vs 1", f"speed-up (load {load:.1f})", speed2 / speed1, unit_fmt="{:.2f}")
    rows.add("analyser_corpus, 2 vs 1", "speed-up the CPU time allows", 2 * cpu1 / cpu2, unit_fmt="{:.2f}")

    with tempfile.TemporaryDirectory() as folder:
        whole, halves = os.path.join(folder, "all.txt"), [os.path.join(folder, f"{k}.txt") for k in (1, 2)]
        for path, part in [(whole, paras), (halves[0], paras[0::2]), (halves[1], paras[1::2])]:
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n\n".join(part))
        speed1, cpu1 = command_line(whole, n_words, 1)
        speed2, cpu2 = command_line(whole, n_words, 2)
        ceiling = two_at_once(halves, n_words)
    load = os.getloadavg()[0]
    rows.add("command line, -j 1", f"words/s, {n_words} words, json", speed1, unit_fmt="{:.0f}")
    rows.add("command line, -j 2", f"words/s, {n_words} words, json", speed2, unit_fmt="{:.0f}")
    rows.add("command line, -j 2 vs -j 1", f"speed-up (load {load:.1f})", speed2 / speed1, TARGET_RATIO,
             higher_is_better=True, unit_fmt="{:.2f}")
    rows.add("command line, -j 2 vs -j 1", "speed-up the CPU time allows", 2 * cpu1 / cpu2, unit_fmt="{:.2f}")
    rows.add("command line, two -j 1 at once", "speed-up, each on half the texts (the machine's ceiling)",
             ceiling / speed1, unit_fmt="{:.2f}")

    if not args.no_memory:
        memory(corpus, paras, args.memory_words or (10**5 if args.quick else 10**6), rows)
    rows.write()
    return 0 if c.all_ok(rows) else 1


if __name__ == "__main__":
    raise SystemExit(main())
