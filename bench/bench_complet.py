#!/usr/bin/env python3
"""Complete analysis of sentences: reading groups (E1) and their syllables (E2).

The sentences come from a French text held below; each word gets its IPA from
in-process espeak-ng (or the word-list corpus), a liaison label from a small
list of liaison words, and `ponctuation_avant` after a punctuation mark, so
the groups hold elisions, liaisons and enchaînements as a reading tool sees
them. Reports `analyser_complet` per word (median of several passes over all
sentences) and the split between E1 and E2.

    PYTHONPATH=<site> python3 bench/bench_complet.py [--runs R] [--repeat K] [--json FILE]
"""

from __future__ import annotations

import re
import sys

import _common as c

TARGET_US = 5.0

TEXT = """
Il était une fois, dans un petit village au bord de la mer, une vieille femme qui vivait seule avec
son chat. Chaque matin, elle ouvrait les fenêtres et regardait les enfants aller à l'école. Les
enfants lui faisaient de grands signes, et elle leur répondait avec un sourire. Un jour, un oiseau
est entré dans la maison par la fenêtre ouverte. Le chat l'a regardé avec étonnement, puis il a
sauté sur la table. L'oiseau s'est envolé vers le plafond et s'est posé sur une armoire en bois.
La vieille femme a ri : elle n'avait jamais vu son chat aussi surpris. Elle a ouvert la porte du
jardin et l'oiseau est reparti vers les arbres. Depuis ce jour, le chat attend devant la fenêtre,
et quand les enfants passent, ils lui demandent des nouvelles de son ami. Nous avons appris à
lire avec des histoires comme celle-ci ; elles nous ont donné le goût des mots et des images.
Aujourd'hui, on apprend encore à écouter les sons, à les écrire et à les assembler. Les petits
élèves découvrent que les lettres muettes ne se prononcent pas, qu'un accent change un son, et
qu'une liaison relie deux mots dans une même respiration. Quand ils lisent à voix haute, ils
avancent groupe par groupe, syllabe après syllabe, jusqu'à la fin de la phrase. Leurs parents
les écoutent, très fiers, et leur disent qu'ils font de grands progrès. Mon ami Arthur habite un
immense appartement en haut d'un immeuble ancien ; ses enfants y ont installé un aquarium où
nagent trois énormes poissons orange. Ils adorent les observer pendant des heures entières.
"""

ELISIONS = {"l'": "l", "d'": "d", "qu'": "k", "j'": "ʒ", "n'": "n", "s'": "s", "c'": "s", "m'": "m",
            "t'": "t", "jusqu'": "ʒysk", "lorsqu'": "lɔʁsk", "puisqu'": "pɥisk", "aujourd'": "oʒuʁd"}
LIAISONS = {
    "Lz": "les des mes tes ses ces nos vos leurs aux deux trois nous vous ils elles très plus sans dans "
          "chez quelques petits grands anciens énormes",
    "Lt": "est sont ont petit grand tout fait quand font avant",
    "Ln": "un on en mon ton son aucun bien rien bon",
    "Lp": "trop beaucoup",
    "Lr": "premier dernier léger",
}
LIAISON_OF = {w: label for label, words in LIAISONS.items() for w in words.split()}
WORD_RE = re.compile(r"[A-Za-zÀ-ÿœŒ]+(?:-[A-Za-zÀ-ÿœŒ]+)*'?|[^\sA-Za-zÀ-ÿœŒ]")


class Token:
    __slots__ = ("text", "span")

    def __init__(self, text: str, span: tuple[int, int]):
        self.text = text
        self.span = span


def pronouncer():
    """word -> IPA: in-process espeak-ng if it loads, else the corpus."""
    sys.path.insert(0, str(c.ROOT / "scripts"))
    try:
        import espeak_inprocess

        if espeak_inprocess.available("fr"):
            return lambda w: espeak_inprocess.phonemize(w, "fr")[0]
    except ImportError:
        pass
    table = {w: p for w, p in c.load_pairs()}
    return lambda w: table.get(w.lower(), table.get(w, ""))


def sentences(m, ipa_of) -> list[list]:
    out, current, punct = [], [], False
    cache: dict[str, str] = {}
    for match in WORD_RE.finditer(TEXT):
        tok = match.group()
        if not tok[0].isalpha():
            punct = True
            if tok in ".!?" and current:
                out.append(current)
                current = []
            continue
        low = tok.lower()
        if low.endswith("'"):
            phone = ELISIONS.get(low, "")
        else:
            phone = cache.get(low) or cache.setdefault(low, ipa_of(low))
        current.append(m.MotAnalyse(Token(tok, match.span()), phone, LIAISON_OF.get(low, "none"), "",
                                    punct, False, False))
        punct = False
    if current:
        out.append(current)
    return out


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--repeat", type=int, default=20, help="passes over the text per run")
    args = ap.parse_args()
    if args.quick:
        args.runs, args.repeat = 3, 5
    m = c.import_module()
    rows = c.Rows(args.json)
    s = m.VantroSyllabeur()
    sents = sentences(m, pronouncer()) * args.repeat
    nwords = sum(len(x) for x in sents)
    sample = s.analyser_complet(sents[0])
    print(f"{len(sents)} sentences, {nwords} words; first: {sample.format_ligne1()!r}")

    items = [(x,) for x in sents]
    whole = c.median_pass(s.analyser_complet, items, args.runs) * len(items) / nwords
    groups = [m.construire_groupes(x) for x in sents]
    e1 = c.median_pass(m.construire_groupes, items, args.runs) * len(items) / nwords
    e2 = c.median_pass(m.syllabifier_groupes, [(g, {}) for g in groups], args.runs) * len(items) / nwords
    ngroups = sum(len(g) for g in groups)
    rows.add("analyser_complet", "us/word, median of runs", whole * 1e6, TARGET_US)
    rows.add("analyser_complet", "words/group", nwords / ngroups, unit_fmt="{:.2f}")
    rows.add("split: construire_groupes", "us/word", e1 * 1e6)
    rows.add("split: syllabifier_groupes", "us/word", e2 * 1e6)
    rows.write()
    return 0 if c.all_ok(rows) else 1


if __name__ == "__main__":
    raise SystemExit(main())
