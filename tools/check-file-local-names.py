#!/usr/bin/env python3
"""Fails when a file-local name (in an unnamed namespace, or static at namespace scope) comes twice.

Each library compiles in unity batches, where the files of a batch share one translation unit: two
files' private helpers of one name then collide, or worse, one silently overloads the other. In the
folders listed in SINGLE_IN (the toolbar library, whose same-named helpers were made one) a file-local
name may be defined by one file only. The helpers in SHARED were each written twice once and are now
defined once in a header: no file anywhere in the tree may define one of them file-locally again.
Tests, benchmarks and tools are not checked: each test file is a program's own.
Usage: tools/check-file-local-names.py   (from anywhere in the repository)
"""
import os
import re
import subprocess
import sys
from collections import defaultdict

SINGLE_IN = ['bars/']
SHARED = ['kDstCopy', 'MarkSize', 'RaiseZlib', 'kMaxChunkLength', 'IndexError', 'Get16', 'Get32', 'PackPoint',
          'PlacedButton']

TOKEN = re.compile(r'[A-Za-z_]\w*|::|->|\d[\w.]*|\S')


def strip(text):
    """Comments, literals and preprocessor lines become blanks; line breaks stay."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == '#':
            # A directive runs to the end of the line, and on past backslash-newlines.
            while i < n and not (text[i] == '\n' and text[i - 1] != '\\'):
                i += 1
            continue
        if c == '\n':
            out.append(c)
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith('//', i):
            while i < n and text[i] != '\n':
                i += 1
            continue
        if text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
            out.append('\n' * text.count('\n', i, end))
            i = end
            continue
        m = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', text[i:i + 40])
        if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
            close = text.find(')' + m.group(1) + '"', i)
            close = n if close < 0 else close + len(m.group(1)) + 2
            out.append(' "" ' + '\n' * text.count('\n', i, close))
            i = close
            continue
        if c in '"\'':
            if c == "'" and i > 0 and text[i - 1].isalnum():  # a digit separator
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            out.append(' "" ')
            i = j + 1
            continue
        out.append(c)
        i += 1
    return ''.join(out)


def name_of(head):
    """The name a declaration head introduces, or None."""
    # Template headers say nothing of the name.
    while head and head[0] == 'template':
        depth, k = 0, 1
        while k < len(head):
            if head[k] == '<':
                depth += 1
            elif head[k] == '>':
                depth -= 1
                if depth == 0:
                    break
            k += 1
        head = head[k + 1:]
    if not head or head[0] in ('static_assert', 'return', 'friend'):
        return None
    for key in ('struct', 'class', 'union', 'enum'):
        if key in head[:3]:
            k = head.index(key) + 1
            if k < len(head) and head[k] in ('class', 'struct'):
                k += 1
            return head[k] if k < len(head) and re.match(r'[A-Za-z_]', head[k]) else None
    if head[0] == 'using':
        return head[1] if len(head) > 2 and head[2] == '=' else None
    # Up to the first "(" outside template arguments (a function), "=", "[" or "{" (a variable).
    depth, last = 0, None
    for k, t in enumerate(head):
        if t == '<':
            depth += 1
        elif t == '>' and depth:
            depth -= 1
        elif depth == 0 and t in ('(', '=', '[', '{', ':'):
            if t == ':' and k + 1 < len(head) and head[k + 1] == ':':
                continue
            break
        elif depth == 0 and re.match(r'[A-Za-z_]\w*$', t):
            if head[k - 1:k] == ['::'] or (k + 1 < len(head) and head[k + 1] == '::'):
                last = None if head[k + 1:k + 2] == ['::'] else 'qualified'
                continue
            last = t
    if last in (None, 'qualified', 'operator', 'const', 'noexcept', 'override'):
        return None
    return last


def file_local_names(path):
    text = strip(open(path, encoding='utf-8', errors='replace').read())
    tokens = TOKEN.findall(text)
    scopes = []  # 'ns', 'anon' or 'block'
    head = []
    names = set()
    skipping = 0  # inside the initialiser of a declaration already recorded
    for t in tokens:
        at_namespace = all(s != 'block' for s in scopes)
        if t == '{':
            if at_namespace and not skipping:
                if head[:1] == ['namespace'] or head[:2] == ['inline', 'namespace']:
                    scopes.append('anon' if head[-1] == 'namespace' else 'ns')
                    head = []
                    continue
                if head[:1] == ['extern']:
                    scopes.append('ns')
                    head = []
                    continue
                local = 'anon' in scopes or 'static' in head[:3]
                if local and head:
                    name = name_of(head)
                    if name:
                        names.add(name)
            scopes.append('block')
            head = []
            continue
        if t == '}':
            if scopes:
                scopes.pop()
            if all(s != 'block' for s in scopes) and not skipping:
                head = []
            continue
        if not at_namespace:
            continue
        if t == ';':
            if not skipping and head and ('anon' in scopes or 'static' in head[:3]):
                name = name_of(head)
                if name:
                    names.add(name)
            head = []
            skipping = 0
            continue
        if skipping:
            continue
        head.append(t)
        if t == '=' and len(head) > 1 and head[0] not in ('using', 'template', 'enum'):
            if 'anon' in scopes or 'static' in head[:3]:
                name = name_of(head)
                if name:
                    names.add(name)
            skipping = 1
    return names


def checked(path):
    return not ('/tests/' in path or '/fuzz/' in path or path.startswith(('bench/', 'tools/', 'tests/')))


def main():
    os.chdir(subprocess.run(['git', 'rev-parse', '--show-toplevel'], capture_output=True, text=True,
                            check=True).stdout.strip())
    files = subprocess.run(['git', 'ls-files', '*.cpp', '*.h'], capture_output=True, text=True,
                           check=True).stdout.split()
    problems = []
    single = defaultdict(list)
    for path in filter(checked, files):
        names = file_local_names(path)
        for name in sorted(names & set(SHARED)):
            problems.append(f'{path}: {name} is defined in a shared header; use that one')
        folder = next((f for f in SINGLE_IN if path.startswith(f)), None)
        if folder:
            for name in names:
                single[(folder, name)].append(path)
    for (folder, name), paths in sorted(single.items()):
        if len(paths) > 1:
            problems.append(f'{name} is file-local in {len(paths)} files of {folder}: ' + ', '.join(paths) +
                            ' (make it one, or give each its own name)')
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f'{len(problems)} file-local name(s) defined twice', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
