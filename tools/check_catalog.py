#!/usr/bin/env python3
"""Checks the desktop program's English catalog against its source texts.

Every Japanese text literal in src/app must be marked for the catalog (tr, trs, trf or
wxTRANSLATE), and every marked text must have a finished English entry in po/en.po: no
missing, empty or fuzzy entry, and printf forms that agree. Exit status 1 lists what fails.
Usage: check_catalog.py SOURCE_DIR
"""
import pathlib
import re
import subprocess
import sys
import tempfile

KEYWORDS = ["tr", "trs", "trf", "wxTRANSLATE"]
JAPANESE = re.compile("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]")


def string_literals(text):
    """The string literals of C++ source, adjacent ones joined, comments skipped."""
    out, i, n = [], 0, len(text)
    pending, last_end = None, 0
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            i = text.find("*/", i + 2) + 2
        elif c == "'":
            i += 1
            while text[i] != "'":
                i += 2 if text[i] == "\\" else 1
            i += 1
        elif c == '"':
            j, value = i + 1, []
            while text[j] != '"':
                if text[j] == "\\":
                    value.append(text[j:j + 2])
                    j += 2
                else:
                    value.append(text[j])
                    j += 1
            value = "".join(value)
            if pending is not None and text[last_end:i].strip() == "":
                pending += value
            else:
                if pending is not None:
                    out.append(pending)
                pending = value
            last_end = i = j + 1
        else:
            i += 1
    if pending is not None:
        out.append(pending)
    return out


def unescape(s):
    return s.encode("utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8")


def read_po(path):
    """msgid -> (msgstr, fuzzy) of a .po file without plural forms."""
    entries, fuzzy, field, current = {}, False, None, {}
    def finish():
        if "msgid" in current and current["msgid"]:
            entries[current["msgid"]] = (current.get("msgstr", ""), current.get("fuzzy", False))
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines() + [""]:
        if not line.strip():
            finish()
            current, field = {}, None
        elif line.startswith("#,") and "fuzzy" in line:
            current["fuzzy"] = True
        elif line.startswith("#"):
            continue
        elif line.startswith(("msgid ", "msgstr ", "msgctxt ")):
            field, rest = line.split(" ", 1)
            current[field] = unescape(rest.strip()[1:-1])
        elif line.startswith('"') and field:
            current[field] += unescape(line.strip()[1:-1])
    return entries


def main(source):
    root = pathlib.Path(source)
    files = sorted(root.glob("src/app/*.cpp")) + sorted(root.glob("src/app/*.h"))
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        pot = pathlib.Path(tmp, "zorvane.pot")
        subprocess.run(["xgettext", "--language=C++", "--from-code=UTF-8", "--no-location",
                        "-o", str(pot)] + ["--keyword=" + k for k in KEYWORDS] +
                       [str(f) for f in files], check=True)
        marked = read_po(pot)
    for f in files:
        for literal in string_literals(f.read_text(encoding="utf-8")):
            text = unescape(literal)
            if JAPANESE.search(text) and text not in marked:
                problems.append(f"{f.name}: not marked for the catalog: {text!r}")
    po = root / "po" / "en.po"
    english = read_po(po) if po.exists() else {}
    for msgid in marked:
        msgstr, fuzzy = english.get(msgid, ("", False))
        if not msgstr:
            problems.append(f"en.po: no English for {msgid!r}")
        elif fuzzy:
            problems.append(f"en.po: fuzzy entry for {msgid!r}")
    check = subprocess.run(["msgfmt", "--check", "-o", "/dev/null", str(po)],
                           capture_output=True, text=True)
    if check.returncode != 0:
        problems.append("msgfmt --check: " + check.stderr.strip())
    for p in problems:
        print(p)
    print(f"{len(marked)} marked texts, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
