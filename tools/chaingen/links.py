"""The reviewed link list, data/links.txt.

One link a line: a verdict, the two words, "=", and the one spelling of the compound:
    + fire place = fireplace
    - man date = mandate
    ? board game = board game      (a new candidate, not yet judged)
"+" is accepted, "-" rejected (kept so that a rerun does not offer it again), "?" unjudged.
Lines starting with "#" are comments.
"""

import re
from pathlib import Path

LINE = re.compile(r"^([+?-]) ([a-z]+) ([a-z]+) = (.+?)\s*(#.*)?$")


class Link:
    def __init__(self, verdict, first, second, form, note=""):
        self.verdict, self.first, self.second, self.form, self.note = (
            verdict, first, second, form, note)

    @property
    def key(self):
        return (self.first, self.second)

    def line(self):
        text = f"{self.verdict} {self.first} {self.second} = {self.form}"
        return f"{text}  {self.note}" if self.note else text


def read_links(path):
    header, links = [], []
    path = Path(path)
    if not path.exists():
        return header, links
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            if not links:
                header.append(line)
            continue
        match = LINE.match(line)
        if not match:
            raise SystemExit(f"{path}:{number}: cannot read {line!r}")
        verdict, first, second, form, note = match.groups()
        links.append(Link(verdict, first, second, form, note or ""))
    return header, links


def write_links(path, header, links):
    Path(path).write_text("\n".join(header + [l.line() for l in links]) + "\n")


def read_words(path):
    """A word list: one word a line, "#" comments."""
    path = Path(path)
    if not path.exists():
        return set()
    words = set()
    for line in path.read_text().splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            words.add(line)
    return words
