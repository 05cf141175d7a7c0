#!/usr/bin/env python3
"""The letter view and its exports on the paragraph of bench_complet.py.

Each sentence is analysed once (analyser_complet); then vers_json,
vue_lettres, vers_html and vers_ansi are timed per word of the text (median
of several passes; each call also computes the alignment behind the result
again), for the spoken and the written syllables. `--show DIR` writes the
JSON and the HTML page of the whole paragraph there, to read and to open.

    PYTHONPATH=<site> python3 bench/bench_view.py [--runs R] [--show DIR] [--json FILE]
"""

from __future__ import annotations

import json
import pathlib

import _common as c
import bench_complet


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--show", help="write paragraphe.json and paragraphe.html into this folder")
    args = ap.parse_args()
    if args.quick:
        args.runs = 3
    m = c.import_module()
    rows = c.Rows(args.json)
    s = m.VantroSyllabeur()
    results = [s.analyser_complet(x) for x in bench_complet.sentences(m, bench_complet.pronouncer())]
    for r in results:  # the tokens point into the paragraph: show that text
        r.texte_original = bench_complet.TEXT
    nwords = sum(len(rg.groupe.mots) for r in results for rg in r.groupes)
    print(f"{len(results)} sentences, {nwords} words")

    for mode in ("orales", "ecrites"):
        for name in ("vers_json", "vue_lettres", "vers_html", "vers_ansi"):
            fn = getattr(m, name)
            per_word = c.median_pass(fn, [(r, mode) for r in results], args.runs) * len(results) / nwords
            rows.add(f"{name} ({mode})", "us/word, median of runs", per_word * 1e6)

    if args.show:
        # One result for the whole paragraph: every sentence's groups together.
        whole = m.ResultatSyllabation(bench_complet.TEXT, [rg for r in results for rg in r.groupes])
        out = pathlib.Path(args.show)
        out.mkdir(parents=True, exist_ok=True)
        doc = json.loads(m.vers_json(whole))
        (out / "paragraphe.json").write_text(json.dumps(doc, ensure_ascii=False, indent=1), "utf-8")
        (out / "paragraphe.html").write_text(m.vers_html(whole, titre="Paragraphe"), "utf-8")
        print(f"wrote {out / 'paragraphe.json'} and {out / 'paragraphe.html'}")
    rows.write()
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
