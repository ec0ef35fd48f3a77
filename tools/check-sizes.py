#!/usr/bin/env python3
"""Fails when a hand-written C++ file passes 1,000 lines or a function 150, beyond what is allowed.

A file that long holds more than one purpose, a function that long more than one step: each is split
rather than grown. Generated tables are exempt by name (GENERATED, each of which must say it is
generated). tools/size-allowlist.txt records the files and functions over the limits when the check
came, with their size then: such an entry may shrink but not grow, and no new file or function may
pass a limit. An entry whose file or function has come under its limit is reported, to be removed.

A function's length counts the lines from its signature's first line to its closing brace. Bodies are
found by matching braces over the code with comments, literals and preprocessor lines left out; a
brace at namespace or class scope opens a function body when the declaration before it has a
parameter list and no initializer. A lambda counts as part of the function around it.
Usage: tools/check-sizes.py [--list N]   (--list N: print every function of more than N lines)
"""
import os
import re
import subprocess
import sys

FILE_LIMIT = 1000
FUNCTION_LIMIT = 150
ALLOWLIST = "tools/size-allowlist.txt"
# Tables written by a generator: long by nature, and never edited by hand.
GENERATED = {
    "fetch/html/code_page_tables.cpp",
    "fetch/html/case_fold_table.cpp",
    "fetch/html/entity_table.cpp",
}

TOKEN = re.compile(
    r"""(?P<comment>//[^\n]*|/\*.*?\*/)
      | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^()\\\s]{0,16})\()
      | (?P<string>"(?:\\.|[^"\\\n])*")
      | (?P<number>\.?\d(?:'?[\w.]|[eEpP][+-])*)
      | (?P<char>'(?:\\.|[^'\\\n])+')
      | (?P<word>[A-Za-z_]\w*)
      | (?P<newline>\n)
      | (?P<space>[ \t\r\f\v]+)
      | (?P<punct>::|->|.)""",
    re.S | re.X,
)
DIRECTIVE = re.compile(r"[ \t]*#(?:[^\n\\]|\\.)*", re.S)


def tokens(text):
    """(text, line) of each token of the code: no comments, literals as one token, no directives."""
    out = []
    pos, line, at_line_start = 0, 1, True
    n = len(text)
    while pos < n:
        if at_line_start:
            d = DIRECTIVE.match(text, pos)
            if d and d.group(0).lstrip().startswith("#"):
                line += d.group(0).count("\n")
                pos = d.end()
                at_line_start = False
                continue
        m = TOKEN.match(text, pos)
        kind = m.lastgroup if m.lastgroup != "delim" else "raw"
        if kind == "raw":
            end = text.find(")" + m.group("delim") + '"', m.end())
            end = n if end < 0 else end + len(m.group("delim")) + 2
            literal = text[pos:end]
            out.append(('""', line))
            line += literal.count("\n")
            pos = end
            at_line_start = False
            continue
        token = m.group(0)
        pos = m.end()
        if kind == "newline":
            line += 1
            at_line_start = True
            continue
        if kind == "comment":
            line += token.count("\n")
            continue
        if kind == "space":
            continue
        at_line_start = False
        out.append(('""' if kind in ("string", "char") else token, line))
    return out


def skip_braces(toks, i):
    """The index after the brace that closes the one at toks[i]."""
    depth = 0
    while i < len(toks):
        if toks[i][0] == "{":
            depth += 1
        elif toks[i][0] == "}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1
    raise ValueError(f"line {toks[-1][1]}: a brace is never closed")


TYPE_KEYS = {"class", "struct", "union", "enum"}
ACCESS = {"public", "private", "protected", "signals", "slots"}


def member_inits(words):
    """Whether the declaration has come to a constructor's list of member initializers."""
    depth = 0
    for k, w in enumerate(words):
        if w in "([":
            depth += 1
        elif w in ")]":
            depth -= 1
        elif w == ":" and depth == 0 and k > 0 and (words[k - 1] == ")" or words[k - 1] == "noexcept"):
            return True
    return False


def without_templates(words):
    """The words less the template parameter lists ("template <class T, ...>") and constraints."""
    out, k = [], 0
    while k < len(words):
        if words[k] == "template" and k + 1 < len(words) and words[k + 1] == "<":
            depth, k = 0, k + 1
            while k < len(words):
                depth += {"<": 1, ">": -1}.get(words[k], 0)
                k += 1
                if depth == 0:
                    break
            continue
        if words[k] == "requires" and k + 1 < len(words) and words[k + 1] == "(":
            depth, k = 0, k + 1
            while k < len(words):
                depth += {"(": 1, ")": -1}.get(words[k], 0)
                k += 1
                if depth == 0:
                    break
            continue
        out.append(words[k])
        k += 1
    return out


def kind_of(head):
    """What a brace at namespace or class scope opens, from the tokens before it: 'scope' (namespace,
    class, linkage block), 'function' or 'data'."""
    words = without_templates([t for t, _ in head])
    if words and words[0] in ("namespace", "extern", "inline") and (
            "namespace" in words or (len(words) == 2 and words[0] == "extern")):
        return "scope"
    depth = 0
    top = []  # the words outside any brackets
    for w in words:
        if w in "([":
            depth += 1
        elif w in ")]":
            depth -= 1
        elif depth == 0:
            top.append(w)
    paren_at = [i for i, w in enumerate(words) if w == "("]
    first_paren = paren_at[0] if paren_at else len(words)
    if TYPE_KEYS & set(words[:first_paren]) and "operator" not in words[:first_paren]:
        return "scope"
    if not paren_at:
        return "data"
    # An initializer: "= {...}" (an operator named '=' aside).
    for i, w in enumerate(top):
        if w == "=" and (i == 0 or top[i - 1] != "operator"):
            return "data"
    return "function"


def function_name(head):
    words = [t for t, _ in head]
    first = words.index("(")
    j = first - 1
    if j >= 0 and words[j] == "operator":  # operator()
        name = "operator()"
    else:
        k = j
        while k > 0 and not re.match(r"\w", words[k]):
            k -= 1
        if k >= 0 and words[k] == "operator":
            name, j = "operator" + "".join(words[k + 1:first]), k
        else:
            name = words[j] if j >= 0 else "?"
    if j >= 1 and words[j - 1] == "~":
        name, j = "~" + name, j - 1
    while j >= 2 and words[j - 1] == "::":
        name, j = words[j - 2] + "::" + name, j - 2
    if re.fullmatch(r"[A-Z][A-Z0-9_]*", name):  # a macro that defines the function: keep its arguments
        close = words.index(")", first)
        name += "(" + "".join(w if w != "," else ", " for w in words[first + 1:close]) + ")"
    return name


def is_lambda(before):
    """Whether a brace after these tokens opens a lambda's body: after its captures, its parameters,
    mutable or noexcept, or its return type."""
    words = [w for w, _ in before]
    if not words:
        return False
    if words[-1] in ("]", ")", "mutable", "noexcept"):
        return True
    return "->" in words and "," not in words[words.index("->"):] and bool(re.match(r"[\w>]", words[-1]))


def declared_name(head):
    words = [w for w, _ in head]
    names = [w for w in words[:words.index("=")] if re.match(r"[A-Za-z_]", w)] if "=" in words else []
    return names[-1] if names else "?"


def functions(text):
    """(name, first line, last line) of each function defined in the text."""
    toks = tokens(text)
    found = []

    def scope(i, end_on_brace):
        head = []
        paren = 0
        while i < len(toks):
            t, line = toks[i]
            if t == "}" and paren == 0:
                if end_on_brace:
                    return i + 1
                i += 1
                head = []
                continue
            if t in ("(", "["):
                paren += 1
            elif t in (")", "]"):
                paren -= 1
            if (t == ";" and paren == 0) or (t == ":" and head and head[-1][0] in ACCESS):
                head = []
                i += 1
                continue
            if t != "{":
                head.append(toks[i])
                i += 1
                continue
            if paren > 0:  # a lambda or a braced argument inside a declaration
                j = data(i, head)
                head.extend(toks[i:j])
                i = j
                continue
            # A member's braced initializer in a constructor's list: "member{...}" after ") :".
            words = [w for w, _ in head]
            if words and (re.match(r"\w", words[-1]) or words[-1] == ">") and member_inits(words):
                j = skip_braces(toks, i)
                head.extend(toks[i:j])
                i = j
                continue
            kind = kind_of(head)
            if kind == "scope":
                i = scope(i + 1, True)
                head = []
            elif kind == "function":
                j = skip_braces(toks, i)
                found.append((function_name(head), head[0][1] if head else line, toks[j - 1][1]))
                i = j
                head = []
            else:
                j = data(i, head)
                head.extend(toks[i:j])
                i = j
        return i

    def data(i, head):
        """Skips the braces of an initializer that opens at toks[i]; a lambda in it (a function at
        namespace scope, such as a test's child process) counts as a function of its own."""
        end = skip_braces(toks, i)
        k = i
        while k < end:
            if toks[k][0] == "{" and is_lambda(toks[max(0, k - 4):k]):
                j = skip_braces(toks, k)
                found.append((declared_name(head) + " (lambda)", toks[k][1], toks[j - 1][1]))
                k = j
            else:
                k += 1
        return end

    scope(0, False)
    return found


def sources():
    listed = subprocess.run(["git", "ls-files", "-z", "*.cpp", "*.h", "*.c", "*.cc", "*.hpp", "*.inc"],
                            check=True, capture_output=True, text=True).stdout.split("\0")
    return [p for p in listed if p and os.path.exists(p)]


def read_allowlist():
    entries = {}
    with open(ALLOWLIST, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            what, _, size = line.rpartition(" ")
            entries[what.strip()] = int(size)
    return entries


def measure():
    """{path: lines}, {"path: function": lines} of the files and functions over their limits, and the
    count of functions over each of (100, FUNCTION_LIMIT); plus the faults of the generated files."""
    files, funcs, faults = {}, {}, []
    over = {100: 0, FUNCTION_LIMIT: 0}
    every = []
    for path in sources():
        text = open(path, encoding="utf-8", errors="replace").read()
        lines = text.count("\n") + (0 if text.endswith("\n") or not text else 1)
        if path in GENERATED:
            if not re.match(r"// Generated by ", text):
                faults.append(f"{path}: exempt as generated, but it does not begin \"// Generated by\"")
            continue
        if lines > FILE_LIMIT:
            files[path] = lines
        try:
            found = functions(text)
        except (ValueError, RecursionError) as e:
            faults.append(f"{path}: its functions cannot be told apart ({e})")
            continue
        for name, first, last in found:
            length = last - first + 1
            every.append((length, f"{path}: {name}"))
            for limit in over:
                over[limit] += length > limit
            if length > FUNCTION_LIMIT:
                key = f"{path}: {name}"
                funcs[key] = max(funcs.get(key, 0), length)
    return files, funcs, over, faults, every


def main(argv):
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    files, funcs, over, faults, every = measure()
    if argv[:1] == ["--list"]:
        floor = int(argv[1]) if len(argv) > 1 else 100
        for length, what in sorted(every, reverse=True):
            if length > floor:
                print(f"{length:5} {what}")
        return 0
    allowed = read_allowlist()
    notes = []
    for what, size in sorted({**files, **funcs}.items()):
        limit = FILE_LIMIT if what in files else FUNCTION_LIMIT
        if what not in allowed:
            faults.append(f"{what}: {size} lines, over the limit of {limit}")
        elif size > allowed[what]:
            faults.append(f"{what}: {size} lines, grown past the {allowed[what]} that {ALLOWLIST} allows")
        elif size < allowed[what]:
            notes.append(f"{what}: {size} lines now; lower its entry in {ALLOWLIST} from {allowed[what]}")
    for what in sorted(set(allowed) - set(files) - set(funcs)):
        notes.append(f"{what}: under its limit now (or gone); remove its entry from {ALLOWLIST}")
    for note in notes:
        print(note)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"{len(faults)} file(s) or function(s) too long: split them.", file=sys.stderr)
        return 1
    print(f"Sizes: no file over {FILE_LIMIT} lines, no function over {FUNCTION_LIMIT} beyond the "
          f"{len(allowed)} allowed ({len(files)} files over {FILE_LIMIT}; functions over 100 lines: "
          f"{over[100]}, over {FUNCTION_LIMIT}: {over[FUNCTION_LIMIT]}).")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
