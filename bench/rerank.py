#!/usr/bin/env python3
"""What relatedness would do for --best, measured by re-ranking its lines.

For each pair of anagram-pairs.tsv whose words are all in the word list:
the lines of `vexlore-find --best=300 --stats`, and with --more the 30
best lines that start with each of the (at most 12, longest first) words
related to the text that fit in its letters (`--contains`); the words
related to the text, as english.related gives them (`makerelated --set`).
Each set is then scored as

    its sentence score + B for each of its words related to the text
                       - D when it keeps a chunk of the text

where a set keeps a chunk when one of its words is a run of 5 or more
letters of a word of the text, or holds a word of the text of 5 or more
letters ('master' for 'schoolmaster', 'elections' for 'election results');
D = "last" puts such sets after every other set. Sets holding a word of
the text come after the others, as --best puts them. For each B and D: the
shares of the known anagrams first and in the top 10, and, for the texts
whose first lines show chunks, how many of their first three lines keep one.

usage: bench/rerank.py [--more] [--related FILE] [BUILD]
  BUILD: the build folder, default build; FILE: a relatedness file other
  than BUILD/english.related. The finder's lines are kept in BUILD between
  runs (rerank*.json): delete them after a change to the finder.
"""
import json
import os
import subprocess
import sys

top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
args = sys.argv[1:]
more = "--more" in args
args = [a for a in args if a != "--more"]
related = None
if "--related" in args:
    i = args.index("--related")
    related = os.path.abspath(args[i + 1])
    del args[i:i + 2]
build = os.path.abspath(args[0] if args else os.path.join(top, "build"))
finder = os.path.join(build, "vexlore-find")
related = related or os.path.join(build, "english.related")
makerelated = os.path.join(build, "makerelated")
CHUNK = 5
CHUNKY = ["schoolmaster", "election results", "slot machines", "contradiction",
          "a shoplifter", "clothes pins", "garbage man", "postmaster"]
BS = [0, 1, 2, 3, 4]
DS = [0, 2, 3, 5, "last"]


def key(line):
    return tuple(sorted(line.split()))


def best(args):
    """The (set, score) of each line of --best --stats with args."""
    out = subprocess.run([finder, "--stats"] + args, capture_output=True, text=True, timeout=120)
    rows = []
    for line in out.stdout.splitlines():
        parts = line.split("\t")
        if len(parts) >= 2:
            rows.append((key(parts[0]), float(parts[1])))
    return rows


def relatedto(text):
    out = subprocess.run([makerelated, "--set", related, text], capture_output=True, text=True)
    return dict(line.split("\t") for line in out.stdout.splitlines())


def fits(word, letters):
    pool = list(letters)
    for c in word:
        if c not in pool:
            return False
        pool.remove(c)
    return True


def gather(text, rel):
    sets = {}
    for s, score in best(["--best=300", text]):
        sets.setdefault(s, score)
    if more:
        letters = text.replace(" ", "")
        fit = sorted((w for w in rel if len(w) >= 3 and fits(w, letters)), key=lambda w: -len(w))
        for w in fit[:12]:
            for s, score in best(["--best=30", "--contains", w, text]):
                sets.setdefault(s, score)
    return {"sets": [[list(s), v] for s, v in sets.items()]}


def chunky(s, textwords):
    return any((len(w) >= CHUNK and w in t) or (len(t) >= CHUNK and t in w)
               for w in s for t in textwords)


def order(entry, rel, text, b, d):
    textwords = text.split()
    scored = []
    for s, score in entry["sets"]:
        own = any(w in textwords for w in s)
        chunk = chunky(s, textwords) and not own
        value = score + b * sum(1 for w in s if w in rel)
        if chunk and d != "last":
            value -= d
        scored.append(((own, chunk and d == "last", -value), tuple(s)))
    scored.sort()
    return [s for _, s in scored]


def main():
    words = set(open(os.path.join(build, "words")).read().split())
    pairs = []
    for line in open(os.path.join(top, "bench", "anagram-pairs.tsv")):
        if line.startswith("#") or not line.strip():
            continue
        text, answer, _ = line.rstrip("\n").split("\t")
        if all(w in words for w in answer.split()):
            pairs.append((text, key(answer)))
    cache = os.path.join(build, "rerank-more.json" if more else "rerank.json")
    data = json.load(open(cache)) if os.path.exists(cache) else {}
    rel = {}
    for text in [p[0] for p in pairs] + CHUNKY:
        rel[text] = relatedto(text)
        if text not in data:
            data[text] = gather(text, rel[text])
    json.dump(data, open(cache, "w"))

    n = len(pairs)
    print("%d pairs whose words are in the list%s" % (n, ", with the --contains lines" if more else ""))
    print("%4s %5s %8s %8s %14s" % ("B", "D", "first", "top 10", "chunky in 3"))
    for b in BS:
        for d in DS:
            one = ten = 0
            for text, want in pairs:
                ranked = order(data[text], rel[text], text, b, d)
                r = ranked.index(want) + 1 if want in ranked else 10 ** 6
                one += r == 1
                ten += r <= 10
            bad = sum(chunky(s, t.split()) for t in CHUNKY for s in order(data[t], rel[t], t, b, d)[:3])
            print("%4s %5s %3d %3.0f%% %3d %3.0f%% %8d of %d" % (b, d, one, 100.0 * one / n, ten,
                                                                100.0 * ten / n, bad, 3 * len(CHUNKY)))


if __name__ == "__main__":
    main()
