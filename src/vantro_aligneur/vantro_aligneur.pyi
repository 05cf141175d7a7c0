import dataclasses
import logging
import re
from typing import Any, Callable, ClassVar, Protocol

from typing_extensions import disjoint_base

__version__: str
logger: logging.Logger

Span = tuple[int, int]

COMPOUND_PHONEMES: set[str]
_IGNORED_CHARS: set[str]
_RE_E_MUET: re.Pattern[str]
_RE_VERB_ENT: re.Pattern[str]

_get_alphabet_ipa: Callable[[], dict[str, dict[str, Any]]]
_get_phone_to_graphemes: Callable[[], dict[str, list[str]]]
_get_espeak_to_ipa: Callable[[], dict[str, str]]
_get_liaison_consonnes: Callable[[], dict[str, str]]
_get_lettres_muettes_possibles: Callable[[], set[str]]
_get_voyelles: Callable[[], set[str]]
_get_consonnes: Callable[[], set[str]]
_get_semi_voyelles: Callable[[], set[str]]
_ALPHABET_IPA: Callable[[], dict[str, dict[str, Any]]]
_PHONE_TO_GRAPHEMES: Callable[[], dict[str, list[str]]]
_ESPEAK_TO_IPA: Callable[[], dict[str, str]]
_VOYELLES: Callable[[], set[str]]
_CONSONNES: Callable[[], set[str]]
_SEMI_VOYELLES: Callable[[], set[str]]
_LETTRES_MUETTES_POSSIBLES: Callable[[], set[str]]
_LIAISON_CONSONNES: Callable[[], dict[str, str]]

@disjoint_base
class Phoneme:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("ipa", "grapheme")
    ipa: str
    grapheme: str
    def __init__(self, ipa: str, grapheme: str = ...) -> None: ...

@disjoint_base
class GroupePhonologique:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("phonemes",)
    phonemes: list[Phoneme]
    def __init__(self, phonemes: list[Phoneme] = ...) -> None: ...
    @property
    def phone(self) -> str: ...
    @property
    def grapheme(self) -> str: ...

@disjoint_base
class Syllabe:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("phone", "ortho", "span", "attaque", "noyau", "coda")
    phone: str
    ortho: str
    span: Span
    attaque: GroupePhonologique
    noyau: GroupePhonologique
    coda: GroupePhonologique
    def __init__(
        self,
        phone: str,
        ortho: str,
        span: Span,
        attaque: GroupePhonologique = ...,
        noyau: GroupePhonologique = ...,
        coda: GroupePhonologique = ...,
    ) -> None: ...

@disjoint_base
class ResultatAnalyse:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("mot", "phone", "syllabes")
    mot: str
    phone: str
    syllabes: list[Syllabe]
    def __init__(self, mot: str, phone: str, syllabes: list[Syllabe] = ...) -> None: ...
    @property
    def nb_syllabes(self) -> int: ...
    def format_simple(self) -> str: ...
    def format_detail(self) -> str: ...

@disjoint_base
class MotAnalyse:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("token", "phone", "liaison", "pos", "ponctuation_avant", "elision_avant", "est_formule")
    token: Any
    phone: str
    liaison: str
    pos: str
    ponctuation_avant: bool
    elision_avant: bool
    est_formule: bool
    def __init__(
        self,
        token: Any = ...,
        phone: str = ...,
        liaison: str = ...,
        pos: str = ...,
        ponctuation_avant: bool = ...,
        elision_avant: bool = ...,
        est_formule: bool = ...,
    ) -> None: ...
    @property
    def text(self) -> str: ...
    @property
    def span(self) -> Span: ...

@disjoint_base
class EventFormule:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("ortho", "phone", "span_source", "span_lecture")
    ortho: str
    phone: str
    span_source: Span
    span_lecture: Span
    def __init__(self, ortho: str, phone: str, span_source: Span = ..., span_lecture: Span = ...) -> None: ...

@disjoint_base
class LectureFormule:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("display_fr", "events")
    display_fr: str
    events: list[EventFormule]
    def __init__(self, display_fr: str, events: list[EventFormule] = ...) -> None: ...

@disjoint_base
class OptionsGroupes:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = (
        "gerer_elisions",
        "gerer_liaisons",
        "gerer_enchainement",
        "ajouter_schwas_finaux",
        "syllabes_ecrites",
    )
    gerer_elisions: bool
    gerer_liaisons: bool
    gerer_enchainement: bool
    ajouter_schwas_finaux: bool
    syllabes_ecrites: bool
    def __init__(
        self,
        gerer_elisions: bool = ...,
        gerer_liaisons: bool = ...,
        gerer_enchainement: bool = ...,
        ajouter_schwas_finaux: bool = ...,
        syllabes_ecrites: bool = ...,
    ) -> None: ...

@disjoint_base
class GroupeLecture:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("mots", "phone_groupe", "span", "jonctions", "est_formule", "lecture")
    mots: list[MotAnalyse]
    phone_groupe: str
    span: Span
    jonctions: list[str]
    est_formule: bool
    lecture: LectureFormule | None
    def __init__(
        self,
        mots: list[MotAnalyse] = ...,
        phone_groupe: str = ...,
        span: Span = ...,
        jonctions: list[str] = ...,
        est_formule: bool = ...,
        lecture: LectureFormule | None = ...,
    ) -> None: ...
    @property
    def text(self) -> str: ...

@disjoint_base
class ResultatGroupe:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("groupe", "syllabes")
    groupe: GroupeLecture
    syllabes: list[Syllabe]
    def __init__(self, groupe: GroupeLecture, syllabes: list[Syllabe] = ...) -> None: ...

@disjoint_base
class ResultatSyllabation:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("texte_original", "groupes", "options")
    texte_original: str
    groupes: list[ResultatGroupe]
    options: OptionsGroupes
    def __init__(
        self, texte_original: str, groupes: list[ResultatGroupe] = ..., options: OptionsGroupes = ...
    ) -> None: ...
    @property
    def nb_syllabes(self) -> int: ...
    @property
    def nb_groupes(self) -> int: ...
    def format_ligne1(self) -> str: ...
    def format_ligne2(self) -> str: ...
    def format_detail(self) -> str: ...

@disjoint_base
class _SonorityClasses:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("O", "N", "L", "Y", "V")
    @property
    def O(self) -> set[str]: ...
    @property
    def N(self) -> set[str]: ...
    @property
    def L(self) -> set[str]: ...
    @property
    def Y(self) -> set[str]: ...
    @property
    def V(self) -> set[str]: ...
    def __init__(self, O: set[str], N: set[str], L: set[str], Y: set[str], V: set[str]) -> None: ...

_SONORITY: _SonorityClasses

@disjoint_base
class JetonTexte:
    __dataclass_fields__: ClassVar[dict[str, dataclasses.Field[Any]]]
    __match_args__ = ("text", "span", "nature", "aligne", "langue", "relu_en_francais")
    text: str
    span: Span
    nature: str
    aligne: bool
    langue: str
    relu_en_francais: bool
    def __init__(
        self,
        text: str,
        span: Span,
        nature: str = ...,
        aligne: bool = ...,
        langue: str = ...,
        relu_en_francais: bool = ...,
    ) -> None: ...

def iter_phonemes(ipa: str) -> list[str]: ...
def est_voyelle(phoneme: str) -> bool: ...
def est_consonne(phoneme: str) -> bool: ...
def est_semi_voyelle(phoneme: str) -> bool: ...
def _phone_starts_with_vowel(phone: str) -> bool: ...
def _phone_ends_with_consonne(phone: str) -> bool: ...
def _phone_ends_with_schwa(phone: str) -> bool: ...
def _build_sonority_classes() -> _SonorityClasses: ...
def _class_of(token: str, classes: _SonorityClasses) -> str: ...
def _merge_compounds_ipa(tokens: list[str]) -> list[str]: ...
def _split_central_cluster(cluster: list[str], classes: _SonorityClasses, *, s_liquid_in_attack: bool = True) -> int: ...
def _syllabify_ipa(phone: str) -> list[str]: ...
def _decouper_syllabe(syll_phone: str) -> tuple[str, str, str] | None: ...
def _alignement_v2(
    ortho: str, phone: str, phone_to_graphs: dict[str, list[str]], word_boundaries: list[int] | None = None
) -> tuple[list[str], list[str], bool]: ...
def _aligner(
    ortho: str, phone: str, word_boundaries: list[int] | None = None
) -> tuple[list[str], list[str], list[Span], bool]: ...
def _build_spans(ortho: str, align_gr: list[str]) -> list[Span]: ...
def _phonemise_alignment(
    align_ph: list[str], align_gr: list[str], spans: list[Span]
) -> tuple[list[str], list[str], list[Span]]: ...
def _build_syllabes(
    syll_phones: list[str],
    dec_ph: list[str],
    dec_gr: list[str],
    dec_spans: list[Span],
    word_offset: int,
    alignment_ok: bool,
) -> list[Syllabe]: ...
def ajouter_schwa_final(ortho: str, pos: str, phone: str) -> str: ...
def construire_groupes(mots: list[MotAnalyse], options: OptionsGroupes | None = None) -> list[GroupeLecture]: ...
def lecture_depuis_g2p(result: Any) -> LectureFormule: ...
def _valider_spans_formule(lecture: LectureFormule) -> None: ...
def _syllabes_depuis_lecture(lecture: LectureFormule) -> list[Syllabe]: ...
def syllabifier_groupes(
    groupes: list[GroupeLecture], lectures_formules: dict[int, LectureFormule] | None = None
) -> list[ResultatGroupe]: ...
def _decouper_texte(texte: str) -> dict[str, Any]: ...
def analyser_texte(
    texte: str, options: OptionsGroupes | None = None, *, nettoyage: bool = True, relecture_francaise: bool = True
) -> ResultatSyllabation: ...
def _lecture_en_contexte(texte: str) -> dict[str, Any]: ...

# The clean-up of espeak-ng's readings: (corrected reading, names of the rules
# that changed it), and the rules with the words that justify them.
def _nettoyer_prononciation(mot: str, ipa: str) -> tuple[str, list[str]]: ...
def _regles_nettoyage() -> list[dict[str, Any]]: ...

# Results packed for the trip between processes (the corpus functions).
def _emballer(valeur: Any, /) -> bytes: ...
def _deballer(octets: bytes, /) -> Any: ...

# The letter view and its renderings. `syllabes` is "orales" (the syllables
# as heard) or "ecrites" (the syllables a school book writes).
def vue_lettres(resultat: ResultatAnalyse | ResultatSyllabation, syllabes: str = "orales") -> dict[str, Any]: ...
def vers_json(resultat: ResultatAnalyse | ResultatSyllabation, syllabes: str = "orales") -> str: ...
def vers_html(
    resultat: ResultatAnalyse | ResultatSyllabation,
    syllabes: str = "orales",
    *,
    page: bool = True,
    couleurs: tuple[str, str] | list[str] = ("#0072B2", "#D55E00"),
    couleur_muettes: str = "#767676",
    espacement_lettres: float = 0.0,
    espacement_mots: float = 0.0,
    taille_police: float = 1.0,
    titre: str | None = None,
) -> str: ...
def vers_ansi(
    resultat: ResultatAnalyse | ResultatSyllabation,
    syllabes: str = "orales",
    *,
    couleurs: tuple[int, int] | list[int] = (33, 208),
) -> str: ...

class Phonemizer(Protocol):
    def phonemize(self, word: str) -> str: ...

@disjoint_base
class EspeakPhonemizer:
    _lang: str
    _available: bool | None
    @property
    def _nettoyage(self) -> bool: ...
    def __init__(self, lang: str = "fr", *, nettoyage: bool = False) -> None: ...
    def is_available(self) -> bool: ...
    def phonemize(self, word: str) -> str: ...

@disjoint_base
class EspeakLibPhonemizer:
    _lang: str
    @property
    def _nettoyage(self) -> bool: ...
    @property
    def _relecture_francaise(self) -> bool: ...
    def __init__(self, lang: str = "fr", *, nettoyage: bool = False, relecture_francaise: bool = False) -> None: ...
    def is_available(self) -> bool: ...
    def phonemize(self, word: str) -> str: ...

@disjoint_base
class _G2PAdapter:
    _g2p: Any
    def __init__(self, g2p_obj: Any) -> None: ...
    def phonemize(self, word: str) -> str | None: ...

@disjoint_base
class VantroSyllabeur:
    _phonemizer: Any
    def __init__(self, phonemizer: Any = None) -> None: ...
    @classmethod
    def with_espeak(cls, lang: str = "fr") -> VantroSyllabeur: ...
    def analyze(self, word: str, phone: str | None = None, *, syllabes_ecrites: bool = False) -> ResultatAnalyse: ...
    def analyze_text(self, text: str) -> list[ResultatAnalyse]: ...
    def syllabify_ipa(self, phone: str) -> list[str]: ...
    def analyser_complet(
        self,
        mots: list[MotAnalyse],
        lectures_formules: dict[int, LectureFormule] | None = None,
        options: OptionsGroupes | None = None,
    ) -> ResultatSyllabation: ...
    def construire_groupes(self, mots: list[MotAnalyse], options: OptionsGroupes | None = None) -> list[GroupeLecture]: ...
    def analyser_texte(
        self,
        texte: str,
        options: OptionsGroupes | None = None,
        *,
        nettoyage: bool = True,
        relecture_francaise: bool = True,
    ) -> ResultatSyllabation: ...
    def syllabifier_groupes(
        self, groupes: list[GroupeLecture], lectures_formules: dict[int, LectureFormule] | None = None
    ) -> list[ResultatGroupe]: ...
