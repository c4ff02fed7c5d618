#!/usr/bin/env python3
"""Follows every relative link of the Markdown documents, as the repository
holds them and as an install lays them out, and names each one that points
nowhere: a missing file, or a #anchor that no heading of its page makes.

  links_test.py --source DIR         the repository's README.md and docs/
  links_test.py --installed BUILD    `cmake --install BUILD` into a temporary
                                     prefix, then share/doc/tarnwick and the
                                     installed examples

Exits 1 after listing the broken links.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

LINK = re.compile(r"!?\[(?:[^\]\[]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
FENCE = re.compile(r"^\s*(```|~~~)")


def prose_lines(text):
    """The lines outside fenced code blocks, with inline code removed."""
    fenced = False
    for line in text.split("\n"):
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield re.sub(r"`[^`]*`", "", line)


def slug(heading):
    """The anchor a heading gets: lower case, punctuation dropped, spaces as
    hyphens (as the common Markdown renderers make it)."""
    text = re.sub(r"`", "", heading.strip()).lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


ANCHORS = {}  # page -> the anchors its headings make


def anchors(path):
    if path not in ANCHORS:
        found = set()
        with open(path, encoding="utf-8") as text:
            fenced = False
            for line in text.read().split("\n"):
                if FENCE.match(line):
                    fenced = not fenced
                elif not fenced and re.match(r"#{1,6} ", line):
                    base = slug(line.lstrip("#"))
                    name, count = base, 1
                    while name in found:  # repeated headings get -1, -2, ...
                        name = "%s-%d" % (base, count)
                        count += 1
                    found.add(name)
        ANCHORS[path] = found
    return ANCHORS[path]


def broken_links(document):
    with open(document, encoding="utf-8") as text:
        lines = list(prose_lines(text.read()))
    problems = []
    for number, line in enumerate(lines, 1):
        for target in LINK.findall(line):
            if re.match(r"[a-z][a-z0-9+.-]*:", target):  # http:, mailto:, ...
                continue
            path, _, anchor = target.partition("#")
            resolved = os.path.normpath(os.path.join(os.path.dirname(document), path)) \
                if path else document
            if not os.path.exists(resolved):
                problems.append("%s: %s: no file %s" % (document, target, resolved))
            elif anchor and resolved.endswith(".md") and anchor not in anchors(resolved):
                problems.append("%s: %s: no heading makes #%s" % (document, target, anchor))
    return problems


def documents(roots):
    found = []
    for root in roots:
        if os.path.isfile(root):
            found.append(root)
            continue
        for folder, _, files in os.walk(root):
            found += [os.path.join(folder, f) for f in sorted(files) if f.endswith(".md")]
    return found


def check(roots):
    found = documents(roots)
    if not found:
        print("no documents under " + ", ".join(roots))
        return 1
    problems = [p for document in found for p in broken_links(document)]
    for problem in problems:
        print(problem)
    print("%d documents, %d broken links" % (len(found), len(problems)))
    return 1 if problems else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source")
    parser.add_argument("--installed")
    args = parser.parse_args()
    if args.source:
        source = args.source
        return check([os.path.join(source, "README.md"), os.path.join(source, "docs"),
                      os.path.join(source, "examples")])
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", args.installed, "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL)
        docs = os.path.join(prefix, "share", "doc", "tarnwick")
        if not os.path.exists(os.path.join(docs, "README.md")):
            print("no README.md in " + docs)
            return 1
        return check([docs, os.path.join(prefix, "share", "tarnwick", "examples")])


if __name__ == "__main__":
    sys.exit(main())
