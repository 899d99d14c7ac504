#!/usr/bin/env python3
"""Checks that each core module's CMake dependencies equal the modules its files include.

A module is a folder of src/ declared with zorvane_module() in CMakeLists.txt. A module
that includes a header of a module it does not declare, or declares one it never includes,
is reported; the exit status is 1 when anything is. Usage: check_includes.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
SRC = ROOT / "src"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.MULTILINE)


def declared_modules():
    text = (ROOT / "CMakeLists.txt").read_text()
    modules = {}
    for call in re.finditer(r"zorvane_module\(([^)]*)\)", text):
        words = call.group(1).split()
        deps = set()
        if "DEPS" in words:
            for word in words[words.index("DEPS") + 1:]:
                if word in ("GLOBS", "EXCLUDE"):
                    break
                if word.startswith("zorvane_"):
                    deps.add(word[len("zorvane_"):])
        modules[words[0]] = deps
    return modules


def included_modules(module):
    folders = set()
    for path in sorted((SRC / module).rglob("*")):
        if path.suffix in (".cpp", ".h"):
            folders.update(INCLUDE.findall(path.read_text(errors="replace")))
    folders.discard(module)
    return folders


def main():
    modules = declared_modules()
    problems = []
    for module, deps in sorted(modules.items()):
        included = included_modules(module)
        for other in sorted(included - deps):
            problems.append(f"src/{module} includes {other}/ but CMake does not declare "
                            f"zorvane_{module} -> zorvane_{other}")
        for other in sorted(deps - included):
            problems.append(f"CMake declares zorvane_{module} -> zorvane_{other}, "
                            f"but no file of src/{module} includes {other}/")
    for line in problems:
        print(line)
    if not modules:
        print("no zorvane_module() found in CMakeLists.txt")
        return 1
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
