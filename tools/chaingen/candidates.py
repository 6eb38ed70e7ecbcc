"""Finds candidate links: pairs of common words that form a compound or a familiar phrase."""

import sources

MIN_LETTERS, MAX_LETTERS = 3, 10
COMMON = 100          # film-subtitle count of about the 12,000th word
OPEN_ASSOCIATION = 3.0  # ln-ratio over the second word's own probability
CLOSED_COUNT = 5      # a closed compound must itself be said in films
PHRASE_ASSOCIATION = 4.5  # noun pairs the model knows well, though WordNet lacks them


def common_words(counts, dictionary, blocked):
    return {w for w, c in counts.items()
            if c >= COMMON and MIN_LETTERS <= len(w) <= MAX_LETTERS and w in dictionary
            and w not in blocked}


def sounds_like_parts(compound, first, second, prons):
    """True when one way of saying the compound is a way of saying its parts in a row: this
    throws out most false splits ("hammock" is not "ham" + "mock")."""
    whole = prons.get(compound)
    if not whole:
        return False
    joined = set()
    for a in prons.get(first, ()):
        for b in prons.get(second, ()):
            joined.add(a + b)
            if a[-1] == b[0]:
                joined.add(a + b[1:])  # a doubled sound is said once: "earring"
    return bool(whole & joined)


def inflected(word, dictionary):
    """Plurals and verb forms of a closed compound ("backyards", "babysitting") make poor
    links: the words of a chain are the plain forms."""
    if word.endswith(("ing", "ed")):
        return True
    return any(word.endswith(ending) and word[: -len(ending)] in dictionary
               for ending in ("s", "es"))


def find(counts, blocked):
    dictionary = sources.dictionary_words()
    words = common_words(counts, dictionary, blocked)
    lemmas = sources.wordnet_lemmas(("noun", "adj"))
    prons = sources.pronunciations()
    model = sources.LanguageModel()
    found = {}

    # Open and hyphenated compounds of WordNet.
    for lemma in lemmas:
        for sep in ("_", "-"):
            parts = lemma.split(sep)
            if len(parts) != 2 or parts[0] not in words or parts[1] not in words:
                continue
            assoc = model.association(*parts)
            if assoc is None or assoc < OPEN_ASSOCIATION:
                continue
            form = lemma.replace("_", " ")
            score = assoc + 0.5 * min(counts.get(parts[0], 0), counts.get(parts[1], 0)) ** 0.1
            found.setdefault(tuple(parts), (score, form, f"# open {assoc:.1f}"))

    # Closed compounds: one word that is two common words said in a row.
    closed_sources = sources.wordnet_lemmas(("noun", "verb", "adj", "adv")) | {w for w in dictionary if counts.get(w, 0) >= CLOSED_COUNT}
    for word in closed_sources:
        if not sources.PLAIN_WORD.match(word) or counts.get(word, 0) < CLOSED_COUNT:
            continue
        if inflected(word, dictionary):
            continue
        for cut in range(MIN_LETTERS, len(word) - MIN_LETTERS + 1):
            first, second = word[:cut], word[cut:]
            if first not in words or second not in words:
                continue
            if not sounds_like_parts(word, first, second, prons):
                continue
            score = 2.0 + counts[word] ** 0.25
            key = (first, second)
            if key not in found or found[key][0] < score:
                found[key] = (score, word, f"# closed {counts[word]}")

    # Familiar noun pairs of the language model that WordNet does not list ("car keys").
    noun_lemmas = sources.wordnet_lemmas(("noun",))
    nouns = sorted(w for w in words if w in noun_lemmas)
    for first, second, assoc in model.pairs(nouns, nouns, PHRASE_ASSOCIATION):
        key = (first, second)
        if key not in found:
            found[key] = (assoc - 1.0, f"{first} {second}", f"# phrase {assoc:.1f}")
    return found
