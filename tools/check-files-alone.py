#!/usr/bin/env python3
"""Fails when a source file of a unity batch does not compile on its own.

The libraries compile in unity batches, where a file may lean on an include, a using-declaration or a
helper of a file before it in its batch, and still build. Each file of every batch is here compiled
alone with its batch's command and -fsyntax-only: the compiler's front end, which is all that such a
fault reaches, at a fraction of a full compile. Files outside the batches are compiled alone anyway.
Reads <build>/compile_commands.json of a configured and built unity tree (the precompiled header and
generated headers must be there).
Usage: tools/check-files-alone.py <build dir> [jobs, default: the number of processors]
"""
import json
import os
import re
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

UNITY = re.compile(r"/Unity/unity_\d+_(cxx|c)\.(cxx|c)$")


def alone(build):
    """(source, directory, arguments) to compile each file of each unity batch on its own."""
    for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
        batch = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if not UNITY.search(batch):
            continue
        args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
        kept, skip = [], False
        for arg in args:
            if skip:
                skip = False
            elif arg in ("-o", "-MF", "-MT", "-MQ"):
                skip = True
            elif arg in ("-c", "-MD", "-MMD") or os.path.normpath(os.path.join(entry["directory"], arg)) == batch:
                continue
            else:
                kept.append(arg)
        with open(batch, encoding="utf-8") as f:
            text = f.read()
        sources = re.findall(r'^#include "([^"]+)"', text, re.M)
        # A batch that is nothing but its includes has compiled its first file as if alone.
        if re.sub(r'/\*.*?\*/|^#include "[^"]+"$|\s', "", text, flags=re.S | re.M) == "":
            sources = sources[1:]
        for source in sources:
            yield source, entry["directory"], kept + ["-fsyntax-only", source]


def check(job):
    source, directory, args = job
    run = subprocess.run(args, cwd=directory, capture_output=True, text=True)
    return source, run.returncode, run.stdout + run.stderr


def main(argv):
    if not argv:
        print(__doc__, file=sys.stderr)
        return 2
    build = argv[0]
    jobs = int(argv[1]) if len(argv) > 1 else os.cpu_count()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__))) + "/"
    work = list(alone(build))
    if not work:
        print(f"{build}: no unity batches in compile_commands.json (configure with -DPW_UNITY=ON)",
              file=sys.stderr)
        return 2
    failed = []
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        for source, status, output in pool.map(check, work):
            if status != 0:
                failed.append(source)
                print(f"{source.removeprefix(root)} does not compile on its own:\n{output}", file=sys.stderr)
    if failed:
        print(f"{len(failed)} of {len(work)} files of the unity batches need what their batch gives them.",
              file=sys.stderr)
        return 1
    print(f"Files alone: every file of the unity batches compiles on its own ({len(work)} checked here; "
          f"each batch's first file is alone in it).")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
