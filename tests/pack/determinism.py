#!/usr/bin/python3
"""Regenerates the pack into a temporary folder and compares it byte for
byte with the built one: the pack must not depend on time, host, worker
count or iteration order.

usage: determinism.py DATA_FOLDER"""
import filecmp
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
PACK = os.path.join(REPO, "tools", "pack", "pack.py")


def files_under(root):
    out = set()
    for dirpath, _, names in os.walk(root):
        for n in names:
            out.add(os.path.relpath(os.path.join(dirpath, n), root).replace(os.sep, "/"))
    return out


def unignored(built, rels):
    """Generated files that git would see: a build must leave `git status`
    clean. Only for the repository's own data folder."""
    if os.path.realpath(built) != os.path.realpath(os.path.join(REPO, "data")):
        return []
    try:
        r = subprocess.run(["git", "-C", REPO, "check-ignore", "--stdin"], capture_output=True, text=True,
                           input="".join("data/%s\n" % rel for rel in rels))
    except OSError:
        return []
    if r.returncode > 1:  # not a git checkout
        return []
    ignored = set(r.stdout.split())
    return ["data/%s: generated but not ignored by git" % rel for rel in rels if "data/" + rel not in ignored]


def compare(built, fresh_root):
    """The faults of a built pack against a fresh run's output."""
    fresh = files_under(fresh_root)
    faults = []
    for rel in sorted(fresh):
        other = os.path.join(built, rel)
        if not os.path.exists(other):
            faults.append("%s: made by a fresh run, missing from the build" % rel)
        elif not filecmp.cmp(os.path.join(fresh_root, rel), other, shallow=False):
            faults.append("%s: differs between two runs" % rel)
    owned = ("texture/", "font/", "sound/", "music/", "licenses/")
    for rel in sorted(files_under(built)):
        if rel.startswith(owned) and rel not in fresh:
            faults.append("%s: in the build's generated folders, not made by a fresh run" % rel)
    faults += unignored(built, sorted(fresh))
    return fresh, faults


def main():
    built = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="pack-determinism-") as tmp:
        # A different worker count from the build's, so that scheduling
        # cannot leak into the output either.
        subprocess.run([sys.executable, PACK, "--out", tmp, "--jobs", "3"], check=True)
        fresh, faults = compare(built, tmp)
    for f in faults:
        print(f)
    print("%d file(s) compared, %d fault(s)" % (len(fresh), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
