"""Packs accepted links into chains of seven words under the collection's rules: no word twice
in a chain nor the start of another word of it, no chain twice, no word in more than
MAX_WORD_USES chains, no link in more than MAX_LINK_USES, and no run of three words (two links
in a row) in more than one chain, so that a player never meets the same stretch twice.

Each new chain is the cheapest one the search finds, where a word or link costs more the more
it is already used and the more other chains could want it (a word with many links is the only
way through for many chains): spending plentiful words first leaves the most chains possible."""

import math
from collections import Counter, defaultdict

CHAIN_WORDS = 7
MAX_WORD_USES = 8
MAX_LINK_USES = 2
INFINITE = float("inf")


def clashes(word, chain):
    return any(word.startswith(w) or w.startswith(word) for w in chain)


def runs(chain):
    return [tuple(chain[i:i + 3]) for i in range(len(chain) - 2)]


class Collection:
    def __init__(self, links, rng):
        self.rng = rng
        self.next_words, self.prev_words = defaultdict(list), defaultdict(list)
        for first, second in links:
            self.next_words[first].append(second)
            self.prev_words[second].append(first)
        self.words = sorted(set(self.next_words) | set(self.prev_words))
        self.demand = {w: math.log(2 + len(self.next_words[w]) + len(self.prev_words[w]))
                       for w in self.words}
        self.word_uses, self.link_uses = Counter(), Counter()
        self.runs, self.chains = set(), set()

    def count(self, chain, step):
        self.chains ^= {tuple(chain)}
        self.runs ^= set(runs(chain))
        for w in chain:
            self.word_uses[w] += step
        for link in zip(chain, chain[1:]):
            self.link_uses[link] += step

    def fits(self, chain):
        """Whether the chain may join the collection as it stands."""
        return (len(chain) == CHAIN_WORDS and tuple(chain) not in self.chains
                and not any(clashes(w, chain[:i]) for i, w in enumerate(chain))
                and all(self.word_uses[w] < MAX_WORD_USES for w in chain)
                and all(self.link_uses[l] < MAX_LINK_USES for l in zip(chain, chain[1:]))
                and not self.runs & set(runs(chain)))

    def word_cost(self, word):
        uses = self.word_uses[word]
        return INFINITE if uses >= MAX_WORD_USES else self.demand[word] * (1 + uses) ** 2

    def link_cost(self, link):
        return INFINITE if self.link_uses[link] >= MAX_LINK_USES else 1 + self.link_uses[link]

    def costs_to_end(self):
        """For each number of words still to come, the cheapest way on from each word, ignoring
        the rules within a chain: a lower bound that steers the search."""
        ahead = [{w: self.word_cost(w) for w in self.words}]
        for _ in range(CHAIN_WORDS - 1):
            last = ahead[-1]
            ahead.append({w: self.word_cost(w) + min(
                (self.link_cost((w, n)) + last[n] for n in self.next_words[w]), default=INFINITE)
                for w in self.words})
        return ahead

    def cheapest(self, budget=300):
        """A cheap chain that keeps every rule, or None; best-first depth-first search."""
        ahead = self.costs_to_end()
        steps = [0]

        def extend(chain):
            if len(chain) == CHAIN_WORDS:
                return None if tuple(chain) in self.chains else chain
            last, left = chain[-1], ahead[CHAIN_WORDS - len(chain) - 1]
            options = [(self.link_cost((last, w)) + left[w], w) for w in self.next_words[last]
                       if not clashes(w, chain)
                       and (len(chain) < 2 or (chain[-2], last, w) not in self.runs)]
            for cost, word in sorted(options):
                if cost == INFINITE or steps[0] <= 0:
                    return None
                steps[0] -= 1
                found = extend(chain + [word])
                if found:
                    return found
            return None

        starts = sorted((ahead[-1][w], self.rng.random(), w) for w in self.words)
        for cost, _, start in starts:
            if cost == INFINITE:
                break
            steps[0] = budget
            found = extend([start])
            if found:
                return found
        return None

    def fill(self, slots):
        """Fills each empty slot (None) with a new chain while one can be found; a slot left
        empty stays None."""
        for i, slot in enumerate(slots):
            if slot is None:
                chain = self.cheapest()
                if chain is None:
                    break
                self.count(chain, 1)
                slots[i] = chain
        return slots


def build(links, target, rng, kept=(), listed=(), rounds=150, loosen=40):
    """Keeps the given chains in their places, refills their empty slots (withdrawn chains),
    keeps the listed chains that still fit (appended by hand, or by an earlier run) and appends
    new chains up to target. Then, for some rounds, takes a few of the new chains
    out and packs afresh, keeping the result when it holds at least as many chains: a greedy
    packing leaves room that another order of choices can use."""
    collection = Collection(links, rng)
    slots = list(kept)
    for chain in slots:
        if chain is not None:
            collection.count(chain, 1)
    for chain in listed:
        if collection.fits(chain):
            collection.count(chain, 1)
            slots.append(chain)
        else:
            print(f"dropped, it breaks a rule: {' '.join(chain)}")
    fixed_count = len(slots)
    slots = collection.fill(slots + [None] * (target - len(slots)))
    if None in slots[:fixed_count]:
        raise SystemExit("no new chain found to stand in for a withdrawn one")
    fixed, added = slots[:fixed_count], [chain for chain in slots[fixed_count:] if chain]
    for _ in range(rounds):
        if len(fixed) + len(added) >= target or len(added) < loosen:
            break
        out = set(rng.sample(range(len(added)), loosen))
        for i in out:
            collection.count(added[i], -1)
        fresh = [c for c in collection.fill([None] * (target - len(fixed) - len(added) + loosen)) if c]
        if len(fresh) >= loosen:
            added = [c for i, c in enumerate(added) if i not in out] + fresh
        else:
            for chain in fresh:
                collection.count(chain, -1)
            for i in out:
                collection.count(added[i], 1)
    return fixed + added
