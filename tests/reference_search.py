"""Slow, obviously-correct model of the grapheme-phoneme alignment.

A direct transcription of the exhaustive depth-first search (every grouping
of the phoneme tokens, every way to spell it, every recorded alignment ranked
afterwards) and of the assembly into per-phoneme entries with spans. It is
exponential and recursive on purpose: tests compare the fast core against it
on small inputs, so it must stay easy to read against the rules, not fast.
"""

from __future__ import annotations

from project_data import SHARED_MARK, SILENT_MARK, iter_phonemes  # noqa: F401 (re-exported)

IGNORED_CHARS = frozenset({"-", " ", "'", "\u2019", "_"})
MAX_SEGMENTATIONS = 32



# "İ" (U+0130) is the one character whose lower case is two characters (an
# "i" and a combining dot). The word is read with it as a plain "i", so that
# positions in the lower-cased word are positions in the word.
def lower_char(ch: str) -> str:
    return "i" if ch == "\u0130" else ch.lower()


def lower_word(ortho: str) -> str:
    return ortho.replace("\u0130", "I").lower()


def alignement_v2_reference(
    ortho: str,
    phone: str,
    phone_to_graphs: dict[str, list[str]],
    lettres_muettes: set[str],
    word_boundaries: list[int] | None = None,
) -> tuple[list[str], list[str], bool]:
    ortho_orig = ortho
    ortho_norm = lower_word(ortho)
    phone_tokens = iter_phonemes(phone.lower())
    M = len(ortho_orig)

    boundary_muet: set[int] = set()
    if word_boundaries:
        for b in word_boundaries:
            if b - 1 >= 0:
                boundary_muet.add(b - 1)
            if b - 2 >= 0:
                boundary_muet.add(b - 2)
    boundary_muet_positions = frozenset(boundary_muet)

    def softening_e(p: int) -> bool:
        """An e between g or c and a, o or u ("geai", "douceâtre")."""
        return (
            len(ortho_norm) == M
            and 0 < p < M - 1
            and ortho_norm[p] == "e"
            and ortho_norm[p - 1] in "gc"
            and ortho_norm[p + 1] in "aouâôû"
        )

    # A key without any token would match everywhere without moving on.
    bloc_defs = [(key, iter_phonemes(key.lower())) for key in phone_to_graphs]
    bloc_defs = [(key, toks) for key, toks in bloc_defs if toks]
    bloc_defs.sort(key=lambda kv: len(kv[1]), reverse=True)

    def generate_segmentations(max_segmentations: int = MAX_SEGMENTATIONS) -> list[list[str]]:
        segs: list[list[str]] = []

        def dfs_seg(pos: int, current: list[str]) -> None:
            if len(segs) >= max_segmentations:
                return
            if pos == len(phone_tokens):
                segs.append(list(current))
                return
            for key, toks in bloc_defs:
                n = len(toks)
                if phone_tokens[pos : pos + n] == toks:
                    current.append(key)
                    dfs_seg(pos + n, current)
                    current.pop()
            current.append(phone_tokens[pos])
            dfs_seg(pos + 1, current)
            current.pop()

        dfs_seg(0, [])
        return segs

    all_results: list[tuple[list[str], list[str], int]] = []

    def dfs(
        elements: list[str],
        i_el: int,
        pos_ortho: int,
        align_ph: list[str],
        align_gr: list[str],
        pending: str,
        muettes: int,
        allow_split: bool = True,
    ) -> None:
        saved_last = align_gr[-1] if align_gr else None
        try:
            _dfs_body(elements, i_el, pos_ortho, align_ph, align_gr, pending, muettes, allow_split)
        finally:
            if align_gr:
                align_gr[-1] = saved_last  # type: ignore[assignment]

    def _dfs_body(
        elements: list[str],
        i_el: int,
        pos_ortho: int,
        align_ph: list[str],
        align_gr: list[str],
        pending: str,
        muettes: int,
        allow_split: bool,
    ) -> None:
        # 1. characters without sound
        while pos_ortho < M and ortho_orig[pos_ortho] in IGNORED_CHARS:
            if align_gr:
                align_gr[-1] += ortho_orig[pos_ortho]
            pos_ortho += 1

        # 2. end of the elements
        if i_el == len(elements):
            if pending and align_gr:
                align_gr[-1] += pending
            if pos_ortho < M and align_gr:
                for k in range(pos_ortho, M):
                    ch = ortho_orig[k]
                    if lower_char(ch) not in lettres_muettes:
                        return
                    align_gr[-1] += ch + SILENT_MARK
                    muettes += 1
            all_results.append((list(align_ph), list(align_gr), muettes))
            return

        # 3-4. candidates, and whether any of them can be read here
        phon = elements[i_el]
        candidates = phone_to_graphs.get(phon, [])
        possible_here = any(
            ortho_norm.startswith(g.replace(SHARED_MARK, ""), pos_ortho) for g in candidates
        )
        before = len(all_results)

        # 6. graphemes
        for g in candidates:
            g_norm = g.replace(SHARED_MARK, "")
            if ortho_norm.startswith(g_norm, pos_ortho):
                align_ph.append(phon)
                align_gr.append(pending + g)
                dfs(elements, i_el + 1, pos_ortho + len(g_norm), align_ph, align_gr, "", muettes, True)
                align_ph.pop()
                align_gr.pop()

        # 7-8. split of a compound element
        produced_solution = len(all_results) > before
        if allow_split and not produced_solution and not possible_here:
            sub_phons = iter_phonemes(phon.lower())
            if len(sub_phons) >= 2:
                new_elements = elements[:i_el] + sub_phons + elements[i_el + 1 :]
                dfs(new_elements, i_el, pos_ortho, align_ph, align_gr, pending, muettes, False)

        # 9. silent letter where nothing can be read, or a softening e
        if pos_ortho < M and (not possible_here or softening_e(pos_ortho)):
            ch = ortho_orig[pos_ortho]
            if lower_char(ch) in lettres_muettes:
                mu = ch + SILENT_MARK
                if lower_char(ch) == "h":
                    dfs(elements, i_el, pos_ortho + 1, align_ph, align_gr, pending + mu, muettes + 1, True)
                elif align_gr:
                    saved = align_gr[-1]
                    align_gr[-1] += mu
                    dfs(elements, i_el, pos_ortho + 1, align_ph, align_gr, pending, muettes + 1, True)
                    align_gr[-1] = saved
                else:
                    dfs(elements, i_el, pos_ortho + 1, align_ph, align_gr, pending + mu, muettes + 1, True)

        # 10. silent final e or s at a word end
        if (
            pos_ortho < M
            and possible_here
            and pos_ortho in boundary_muet_positions
            and lower_char(ortho_orig[pos_ortho]) in ("e", "s")
        ):
            ch = ortho_orig[pos_ortho]
            mu = ch + SILENT_MARK
            if align_gr:
                saved = align_gr[-1]
                align_gr[-1] += mu
                dfs(elements, i_el, pos_ortho + 1, align_ph, align_gr, pending, muettes + 1, True)
                align_gr[-1] = saved
            else:
                dfs(elements, i_el, pos_ortho + 1, align_ph, align_gr, pending + mu, muettes + 1, True)

    for elements0 in generate_segmentations():
        dfs(list(elements0), 0, 0, [], [], "", 0, True)

    if not all_results:
        return [], [], False

    def _muette_penalty(gr: list[str]) -> int:
        pos = 0
        penalty = 0
        for g in gr:
            for c in g:
                if c == SILENT_MARK:
                    penalty += pos
                else:
                    pos += 1
        return penalty

    def _score(sol: tuple[list[str], list[str], int]) -> tuple[int, int, int, int]:
        _, gr, muettes = sol
        pass2 = sum(1 for g in gr if g not in phone_to_graphs and SHARED_MARK not in g)
        return (muettes, _muette_penalty(gr), pass2, len(gr))

    best_ph, best_gr, _ = min(all_results, key=_score)

    rebuilt: list[str] = []
    idx = 0
    for g in best_gr:
        out = ""
        for c in g:
            if c in (SILENT_MARK, SHARED_MARK):
                out += c
            elif idx < M:
                out += ortho_orig[idx]
                idx += 1
            else:
                out += c
        rebuilt.append(out)
    return list(best_ph), rebuilt, True


def build_spans_reference(align_gr: list[str]) -> list[tuple[int, int]]:
    spans: list[tuple[int, int]] = []
    pos = 0
    for gr in align_gr:
        g = gr.replace(SHARED_MARK, "").replace(SILENT_MARK, "")
        if not g:
            spans.append((pos, pos))
        else:
            spans.append((pos, pos + len(g)))
            pos += len(g)
    return spans


def phonemise_alignment_reference(
    align_ph: list[str], align_gr: list[str], spans: list[tuple[int, int]]
) -> tuple[list[str], list[str], list[tuple[int, int]]]:
    out_ph: list[str] = []
    out_gr: list[str] = []
    out_sp: list[tuple[int, int]] = []
    for ph, gr, (s, e) in zip(align_ph, align_gr, spans):
        tokens = iter_phonemes(ph)
        if len(tokens) == 1:
            out_ph.append(ph)
            out_gr.append(gr)
            out_sp.append((s, e))
            continue
        first = tokens[0]  # IndexError when the element has no token
        g0 = gr[0] if gr else ""
        out_ph.append(first)
        out_gr.append(g0)
        out_sp.append((s, s + len(g0)) if g0 else (s, s))
        rest = "".join(tokens[1:])
        if rest:
            g1 = gr[1:]
            if g1:
                g1_clean = g1.replace(SILENT_MARK, "").replace(SHARED_MARK, "")
                if g1_clean:
                    out_ph.append(rest)
                    out_gr.append(g1)
                    out_sp.append((s + len(g0), s + len(g0) + len(g1_clean)))
                else:
                    out_ph.append(rest)
                    out_gr.append(g0 + SHARED_MARK)
                    out_sp.append((s, s + len(g0)))
            else:
                out_ph.append(rest)
                out_gr.append("")
                out_sp.append((e, e))
    return out_ph, out_gr, out_sp


def aligner_reference(
    ortho: str,
    phone: str,
    phone_to_graphs: dict[str, list[str]],
    lettres_muettes: set[str],
    word_boundaries: list[int] | None = None,
) -> tuple[list[str], list[str], list[tuple[int, int]], bool]:
    align_ph, align_gr, ok = alignement_v2_reference(
        ortho, phone, phone_to_graphs, lettres_muettes, word_boundaries
    )
    if not ok:
        return [], [], [], False
    spans = build_spans_reference(align_gr)
    dec_ph, dec_gr, dec_spans = phonemise_alignment_reference(align_ph, align_gr, spans)
    return dec_ph, dec_gr, dec_spans, True
