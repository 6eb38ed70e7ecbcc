"""Packs accepted links into chains of seven words under the collection's rules: no word twice
in a chain nor the start of another word of it, no chain twice, no word in more than
MAX_WORD_USES chains, no link in more than MAX_LINK_USES, and no run of three words (two links
in a row) in more than one chain, so that a player never meets the same stretch twice."""

from collections import Counter, defaultdict

CHAIN_WORDS = 7
MAX_WORD_USES = 8
MAX_LINK_USES = 2


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
        self.word_uses, self.link_uses = Counter(), Counter()
        self.runs, self.chains = set(), set()
        self.tries = 100000

    def fits(self, chain):
        return (len(chain) == CHAIN_WORDS and tuple(chain) not in self.chains
                and all(self.word_uses[w] < MAX_WORD_USES and not clashes(w, chain[:i])
                        for i, w in enumerate(chain))
                and all(self.link_uses[l] < MAX_LINK_USES and l[1] in self.next_words[l[0]]
                        for l in zip(chain, chain[1:]))
                and not any(r in self.runs for r in runs(chain)))

    def count(self, chain, step):
        self.chains ^= {tuple(chain)}
        self.runs ^= set(runs(chain))
        for w in chain:
            self.word_uses[w] += step
        for link in zip(chain, chain[1:]):
            self.link_uses[link] += step

    def add(self, chain):
        self.count(chain, 1)

    def remove(self, chain):
        self.count(chain, -1)

    def spare(self, word):
        """How many more times the word could still stand inside a chain: a rough measure of
        how precious it is, so that the search spends plentiful words first."""
        free = MAX_LINK_USES
        ins = sum(free - self.link_uses[(p, word)] for p in self.prev_words[word])
        outs = sum(free - self.link_uses[(word, n)] for n in self.next_words[word])
        return min(ins, outs, MAX_WORD_USES - self.word_uses[word])

    def options(self, chain):
        last = chain[-1]
        found = [w for w in self.next_words[last]
                 if self.word_uses[w] < MAX_WORD_USES and self.link_uses[(last, w)] < MAX_LINK_USES
                 and not clashes(w, chain)
                 and (len(chain) < 2 or (chain[-2], last, w) not in self.runs)]
        self.rng.shuffle(found)
        if len(chain) == CHAIN_WORDS - 1:
            # The last word needs no way on: take one that is poor as an inner word.
            found.sort(key=lambda w: len(self.next_words[w]))
        else:
            found.sort(key=lambda w: self.word_uses[w])
        return found

    def extend(self, chain, budget):
        """Depth-first search for a whole chain; budget caps the steps tried."""
        if len(chain) == CHAIN_WORDS:
            return None if tuple(chain) in self.chains else chain
        for word in self.options(chain):
            if budget[0] <= 0:
                return None
            budget[0] -= 1
            found = self.extend(chain + [word], budget)
            if found:
                return found
        return None

    def fill(self, slots, budget=300):
        """Fills every None of slots with a new chain while one can be found; starts are tried
        from the words least able to stand inside a chain."""
        starts = [w for w in self.next_words if self.next_words[w]]
        for i, slot in enumerate(slots):
            if slot is not None:
                continue
            self.rng.shuffle(starts)
            starts.sort(key=lambda w: (self.word_uses[w] >= MAX_WORD_USES,
                                       len(self.prev_words[w]) + self.word_uses[w]))
            for start in starts[:self.tries]:
                if self.word_uses[start] >= MAX_WORD_USES:
                    break
                chain = self.extend([start], [budget])
                if chain:
                    self.add(chain)
                    slots[i] = chain
                    break
            else:
                break
        return slots


def build(links, target, rng, kept=(), rounds=30):
    """Keeps the given chains in their places (a None slot, a withdrawn chain, is refilled)
    and appends new chains up to target; then tries rounds of taking out a few of the new
    chains and packing afresh, keeping any round that ends with more chains."""
    collection = Collection(links, rng)
    kept = list(kept)
    for chain in kept:
        if chain is not None:
            collection.add(chain)
    fixed = len(kept)

    def packed(slots):
        slots = collection.fill(slots + [None] * (target - len(slots)))
        if None in slots[:fixed]:
            raise SystemExit("no chain found to stand in for a withdrawn one")
        return slots[:fixed] + [s for s in slots[fixed:] if s is not None]

    slots = packed(kept)
    for _ in range(rounds):
        if len(slots) >= target:
            break
        trial = list(slots)
        for i in rng.sample(range(fixed, len(trial)), min(len(trial) - fixed, 40)):
            collection.remove(trial[i])
            trial[i] = None
        trial = packed(trial)
        if len(trial) >= len(slots):
            slots = trial
        else:
            for chain in trial:
                if chain is not None:
                    collection.remove(chain)
            for chain in slots:
                collection.add(chain)
    return slots
