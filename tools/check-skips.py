#!/usr/bin/env python3
"""Fails when a test did not run: CI must not pass by skipping what it could not start.

A test that lacks its peer (vsftpd without root, nginx not installed...) skips, and a skipped test
passes; on a runner that lacks the peer its cases would vanish without a word. Under CI every test
is meant to run, so each skip is a fault, named with the reason the test gave.
Reads ctest's JUnit report (make test writes <build>/ctest-junit.xml) or a test program's own output.
Usage: tools/check-skips.py REPORT.xml|PROGRAM-OUTPUT.log...
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

# gtest's account of a skip: "file:line: Skipped", the reason on the lines after, then its verdict.
SKIP = re.compile(r"^(?P<where>\S+:\d+): Skipped\n(?P<why>.*?)^\[  SKIPPED \] (?P<test>\S+) \(", re.S | re.M)
VERDICT = re.compile(r"^\[  SKIPPED \] (?P<test>[\w/.]+) \(", re.M)


def skips_in_output(text):
    """(test, reason) of each skip a gtest program's output reports."""
    found = {m.group("test"): f"{' '.join(m.group('why').split()) or 'no reason given'} ({m.group('where')})"
             for m in SKIP.finditer(text)}
    for m in VERDICT.finditer(text):  # a skip in SetUpTestSuite and the like, without the first line
        found.setdefault(m.group("test"), "no reason given")
    return sorted(found.items())


def skips_in_junit(path):
    skips = []
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        if case.get("status", "run") == "run" and case.find("skipped") is None:
            continue
        out = case.findtext("system-out") or ""
        reasons = dict(skips_in_output(out))
        why = reasons.get(case.get("name"))
        if why is None:
            skipped = case.find("skipped")
            why = (skipped.get("message") if skipped is not None else None) or case.get("status")
        skips.append((case.get("name"), why))
    return skips


def main(paths):
    skips = []
    for path in paths:
        if path.endswith(".xml"):
            skips += skips_in_junit(path)
        else:
            with open(path, encoding="utf-8", errors="replace") as f:
                skips += skips_in_output(f.read())
    for test, why in skips:
        print(f"{test} did not run: {why}", file=sys.stderr)
    if skips:
        print(f"{len(skips)} test(s) skipped: under CI each must run (install or start what it lacks).",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
