#!/usr/bin/env python3
"""Fails when an #include "..." line reaches a folder that the including code does not link.

EDGES lists, for each library folder, the folders whose libraries its CMakeLists.txt links, and only
those: the table is compared with the build's target_link_libraries and must say the same (edges point
down, so the table is also the layer order). A folder may include itself and what its edges reach
(transitively, as the links are public). A folder's tests/ and fuzz/ belong to it; its tests and
fuzz targets may also include tests/support and what their own programs link. bench/, tools/ and
sample/ sit on top and may include anything.
README.md's "Layout" section must name every top-level folder and every folder of the build (each with a
CMakeLists.txt, tests/ and fuzz/ aside), and list the layers in an order the table allows.
Usage: tools/check-layers.py [files...]   (default: every tracked C++ file)
"""
import os
import re
import subprocess
import sys

# The folders each library folder links, lowest layer first: "folder: its libraries' folders".
EDGES = """
platform/rtl:
platform/gdi: platform/rtl
platform/gui: platform/gdi platform/rtl
# The Qt host, the only library that links Qt: under the window system and the GDI, behind their interfaces.
platform/gui/qt: platform/gui platform/gdi platform/rtl
platform/graphics: platform/gdi platform/rtl
platform/commctrl: platform/gui platform/gdi platform/rtl
# The application object starts the toolkit's host.
platform/vcl: platform/graphics platform/gui/qt platform/gui platform/gdi platform/rtl
platform/stdctrls: platform/vcl platform/commctrl platform/graphics platform/gui platform/gdi platform/rtl
# Socket events are window messages to a hidden window: the network layer stands on the window system.
platform/net: platform/gui platform/rtl
lookandfeel: platform/graphics platform/gui platform/gdi platform/rtl
controls: platform/stdctrls platform/vcl platform/graphics platform/gui platform/gdi platform/rtl
shellcontrols: controls platform/stdctrls platform/vcl platform/gui platform/rtl
# The toolbar library: its model, then the painters and the kept layouts over the model, the bar windows
# over both, and the customizing window over the windows.
bars/core: lookandfeel platform/stdctrls platform/vcl platform/graphics platform/gui platform/gdi platform/rtl
bars/painters: bars/core lookandfeel platform/commctrl platform/gui platform/graphics platform/gdi platform/rtl
bars/storage: bars/core platform/vcl platform/graphics platform/rtl
bars/windows: bars/painters bars/storage bars/core lookandfeel platform/stdctrls platform/vcl platform/graphics
     platform/gui platform/gdi platform/rtl
bars/customizing: bars/windows bars/painters bars/core lookandfeel platform/stdctrls platform/graphics
     platform/gdi platform/rtl
imaging/png: platform/graphics platform/gdi platform/rtl
imaging/gif: platform/graphics platform/gui platform/rtl
fetch/html: platform/rtl
fetch/http: platform/net platform/gui platform/rtl
fetch: fetch/http fetch/html platform/gui platform/rtl
ftp: platform/net platform/gui platform/rtl
# The FTP windows are made of the framed controls and show GIF pictures.
ftp/forms: ftp shellcontrols controls imaging/gif platform/stdctrls platform/vcl platform/rtl
app/core: platform/rtl
app/output: app/core platform/stdctrls platform/vcl platform/gdi platform/rtl
app/results: app/core shellcontrols fetch/html platform/vcl platform/rtl
app/crawl: fetch app/results app/core fetch/html platform/net platform/gui platform/rtl
app/colorpicker: platform/stdctrls platform/vcl platform/graphics platform/gui platform/gdi platform/rtl
app: app/output app/results app/crawl app/core app/colorpicker fetch ftp/forms imaging/png imaging/gif
     bars/customizing bars/windows bars/core shellcontrols controls platform/stdctrls platform/graphics platform/vcl platform/rtl
tests/support:
# The GUI tests' pump and environments: the window system's, and the class library's on top of it.
tests/support/gui: tests/support platform/vcl platform/gui/qt platform/gui platform/rtl
"""
# Folders above every layer.
TOP = ("bench", "tools", "sample")
# Tests that take a sibling's or a generator's code as their oracle: the results' tests read what the
# writers make, the images' test draws the generator's pixel art.
TEST_EXTRA = {"app/results": ("app/output/",), "app/output": ("tools/smimages/",)}
HELPER_DIRS = ("tests", "fuzz")

edges = {}
folder = None
for line in EDGES.strip().splitlines():
    if line.startswith("#"):
        continue
    if line[:1].isspace():  # a continued list
        edges[folder] |= set(line.split())
        continue
    folder, _, below = line.partition(":")
    folder = folder.strip()
    edges[folder] = set(below.split())
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


def cmake_links():
    """(linked, test_linked, faults): for each folder the folders its libraries link, and the folders
    its tests' and fuzz targets' programs link, as the CMakeLists.txt files say."""
    lists = subprocess.run(["git", "ls-files", "*CMakeLists.txt"], check=True, capture_output=True,
                           text=True).stdout.split()
    texts = {path: open(path, encoding="utf-8").read() for path in lists}
    home = {}  # library target -> folder
    for path, text in texts.items():
        folder, _ = place(path)
        for name in re.findall(r"add_library\(\s*(pw_\w+)", text):
            home[name] = folder
    linked, test_linked, faults = {}, {}, []
    for path, text in texts.items():
        folder, helper = place(path)
        if folder is None:
            continue
        if helper:
            names = re.findall(r"\bpw_\w+", text)
            test_linked.setdefault(folder, set()).update(home[n] for n in names if home.get(n))
            continue
        for block in re.findall(r"target_link_libraries\(([^)]*)\)", text):
            for name in re.findall(r"\bpw_\w+", block):
                if name not in home:
                    continue
                if home[name] is None:
                    faults.append(f"{path}: links {name}, whose folder is not in the layer table")
                elif home[name] != folder:
                    linked.setdefault(folder, set()).add(home[name])
    return linked, test_linked, faults


def check_table(linked):
    faults = []
    for folder, listed in edges.items():
        links = linked.get(folder, set())
        for below in sorted(listed - links):
            faults.append(f"tools/check-layers.py: {folder} lists {below}, which its library does not link")
        for below in sorted(links - listed):
            faults.append(f"tools/check-layers.py: {folder} links {below}, which its edges do not list")
    return faults


def check_readme():
    """Faults of README.md's map of the tree against the folders and the layer table."""
    text = open("README.md", encoding="utf-8").read()
    section = re.search(r"^## Layout\n(.*?)(?=^## )", text, re.S | re.M)
    if not section:
        return ["README.md: no \"## Layout\" section"]
    named = [n.rstrip("/") for n in re.findall(r"`([^`\s]+)`", section.group(1))]
    tracked = subprocess.run(["git", "ls-files", "-z"], check=True, capture_output=True,
                             text=True).stdout.split("\0")
    tops = {path.split("/")[0] for path in tracked if "/" in path}
    builds = {os.path.dirname(path) for path in tracked if os.path.basename(path) == "CMakeLists.txt"}
    builds = {d for d in builds if d and not set(d.split("/")) & set(HELPER_DIRS)} | set(edges)
    faults = []
    for top in sorted(tops):
        if not any(n == top or n.startswith(top + "/") for n in named):
            faults.append(f"README.md: the Layout section does not name the folder {top}/")
    for folder in sorted(builds - set(named)):
        faults.append(f"README.md: the Layout section does not name {folder}, which has a CMakeLists.txt")
    position = {}
    for n in named:
        position.setdefault(n, len(position))
    for folder in edges:
        for below in sorted(edges[folder]):
            if folder in position and below in position and position[below] > position[folder]:
                faults.append(f"README.md: the Layout section names {folder} before {below}, which it links")
    return faults


def main(files):
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    linked, test_linked, faults = cmake_links()
    faults += check_table(linked)
    faults += check_readme()
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
            for below in test_linked.get(folder, ()):
                allowed |= REACH.get(below, {below})
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
        print(f"{len(faults)} fault(s) against the layers.", file=sys.stderr)
        return 1
    print(f"Layers: {len(files)} files include only what their folders link.")
    return 0


if __name__ == "__main__":
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    args = sys.argv[1:] or subprocess.run(
        ["git", "ls-files", "*.cpp", "*.h", "*.c"], check=True, capture_output=True, text=True
    ).stdout.split()
    sys.exit(main(args))
