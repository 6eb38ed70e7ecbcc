"""Builds chains of seven words from accepted links, keeping the collection's quality rules:
no word twice in a chain, no word the start of another in the same chain, no chain twice, no
word in more than MAX_WORD_USES chains and no link in more than MAX_LINK_USES."""

from collections import Counter, defaultdict

CHAIN_WORDS = 7
MAX_WORD_USES = 8
MAX_LINK_USES = 3


def clashes(word, chain):
    return any(word.startswith(w) or w.startswith(word) for w in chain)


class Builder:
    def __init__(self, links, rng, preference=None):
        self.rng = rng
        self.preference = preference or {}
        self.next_words = defaultdict(list)
        for first, second in links:
            self.next_words[first].append(second)
        self.word_uses = Counter()
        self.link_uses = Counter()

    def usable(self, chain, word):
        return (self.word_uses[word] < MAX_WORD_USES
                and self.link_uses[(chain[-1], word)] < MAX_LINK_USES
                and not clashes(word, chain))

    def extend(self, chain, budget):
        """Depth-first search for a whole chain; budget caps the steps tried."""
        if len(chain) == CHAIN_WORDS:
            return chain
        options = [w for w in self.next_words.get(chain[-1], ()) if self.usable(chain, w)]
        # Rarely used words first, so that the collection spreads over the vocabulary; among
        # equals, preferred links first.
        self.rng.shuffle(options)
        options.sort(key=lambda w: (self.word_uses[w], -self.preference.get((chain[-1], w), 0)))
        for word in options:
            if budget[0] <= 0:
                return None
            budget[0] -= 1
            found = self.extend(chain + [word], budget)
            if found:
                return found
        return None

    def take(self, chain):
        for word in chain:
            self.word_uses[word] += 1
        for link in zip(chain, chain[1:]):
            self.link_uses[link] += 1


def build(links, target, rng, preference=None, attempts=200):
    builder = Builder(links, rng, preference)
    chains, seen = [], set()
    starts = sorted(builder.next_words)
    failures = 0
    while len(chains) < target and failures < attempts:
        rng.shuffle(starts)
        starts.sort(key=lambda w: builder.word_uses[w])
        made = False
        for start in starts:
            if builder.word_uses[start] >= MAX_WORD_USES:
                continue
            chain = builder.extend([start], [2000])
            if chain and tuple(chain) not in seen:
                seen.add(tuple(chain))
                builder.take(chain)
                chains.append(chain)
                made = True
                break
        failures = 0 if made else failures + 1
    return chains

