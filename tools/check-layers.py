#!/usr/bin/env python3
"""Fails when an #include "..." line points up or sideways across the folders' layers.

Each library folder may include itself and what its edges below reach (transitively). A folder's
tests/, fuzz/ and qt/ belong to it; tests and fuzz targets may also include tests/support and the test
helpers of the folders below. bench/, tools/ and sample/ sit on top and may include anything.
Usage: tools/check-layers.py [files...]   (default: every tracked C++ file)
"""
import os
import re
import subprocess
import sys

# The allowed edges, lowest layer first: "folder: what it may include directly".
EDGES = """
platform/rtl:
platform/gdi: platform/rtl
platform/gui: platform/gdi
platform/graphics: platform/gdi
platform/commctrl: platform/gui platform/graphics
platform/vcl: platform/commctrl
platform/stdctrls: platform/vcl
# Socket events are window messages to a hidden window: the network layer stands on the window system.
platform/net: platform/gui
platform/shell: platform/rtl
lookandfeel: platform/stdctrls platform/net platform/shell
controls: lookandfeel
shellcontrols: controls
bars: lookandfeel
imaging/png: lookandfeel
imaging/gif: lookandfeel
fetch/html: lookandfeel
fetch/http: lookandfeel
fetch: fetch/html fetch/http
ftp: lookandfeel
# The FTP windows are made of the framed controls and show GIF pictures.
ftp/forms: ftp shellcontrols imaging/gif
app/core: lookandfeel
app/output: app/core
app/results: app/core fetch/html shellcontrols
app/crawl: app/results fetch
app/colorpicker: lookandfeel
app: app/output app/crawl app/colorpicker imaging/png imaging/gif ftp/forms bars
tests/support:
"""
# Folders above every layer.
TOP = ("bench", "tools", "sample")
# Tests that take a sibling's or a generator's code as their oracle: the results' tests read what the
# writers make, the images' test draws the generator's pixel art.
TEST_EXTRA = {"app/results": ("app/output/",), "app/output": ("tools/smimages/",)}
HELPER_DIRS = ("tests", "fuzz")

edges = {}
for line in EDGES.strip().splitlines():
    if line.startswith("#"):
        continue
    folder, _, below = line.partition(":")
    edges[folder.strip()] = set(below.split())
FOLDERS = sorted(edges, key=len, reverse=True)


def reach(folder, seen=None):
    seen = set() if seen is None else seen
    for below in edges[folder]:
        if below not in seen:
            seen.add(below)
            reach(below, seen)
    return seen


REACH = {f: reach(f) | {f} for f in edges}


def place(path):
    """(folder, is_test_helper) of a repository path, or (None, False) when no layer holds it."""
    parts = path.split("/")
    for folder in FOLDERS:
        n = folder.count("/") + 1
        if parts[:n] == folder.split("/"):
            rest = parts[n:-1]
            return folder, any(p in HELPER_DIRS for p in rest)
    return None, False


ROOTS = {f.split("/")[0] for f in edges} | set(TOP)


def main(files):
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    faults = []
    for path in files:
        if path.split("/")[0] in TOP:
            continue
        folder, is_test = place(path)
        if folder is None:
            faults.append(f"{path}: folder not in the layer table of tools/check-layers.py")
            continue
        allowed = set(REACH[folder])
        if is_test:
            allowed.add("tests/support")
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = include.match(line)
                if not m or "/" not in m.group(1):
                    continue  # a file of the same folder
                target = m.group(1)
                if target.split("/")[0] not in ROOTS:
                    continue  # relative to the including file's folder
                to, to_test = place(target)
                if is_test and target.startswith(TEST_EXTRA.get(folder, ())):
                    continue
                if to is None:
                    faults.append(f"{path}:{number}: includes {target}, which no layer holds")
                elif to not in allowed or (to_test and not is_test):
                    faults.append(f"{path}:{number}: {folder} may not include {target}")
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"{len(faults)} include(s) against the layers.", file=sys.stderr)
        return 1
    print(f"Layers: {len(files)} files include only what lies below them.")
    return 0


if __name__ == "__main__":
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    args = sys.argv[1:] or subprocess.run(
        ["git", "ls-files", "*.cpp", "*.h", "*.c"], check=True, capture_output=True, text=True
    ).stdout.split()
    sys.exit(main(args))
