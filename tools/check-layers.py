#!/usr/bin/env python3
"""Checks that every #include in src/, tests/ and tools/ runs the way the
libraries link (CMakeLists.txt): core at the bottom, the Win32 foundation and
the portable subsystems on it, their _win files above, the program on top.

Prints one line per include that runs against these directions and exits 1
when there is any, 0 otherwise.
    tools/check-layers.py [SOURCE_ROOT]
"""

import re
import sys
from pathlib import Path

# Folders of src/ whose portable code builds on core alone and whose _win
# files build on that, win and display's _win files.
SUBSYSTEMS = {"calendar", "display", "reminders", "timesvc", "web"}

# Headers of the Windows SDK that a portable file has no business with.
WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h",
    "shlwapi.h", "mmsystem.h", "winsock2.h", "ws2tcpip.h", "wininet.h", "winreg.h",
    "tlhelp32.h", "objbase.h", "ole2.h", "oleauto.h", "exdisp.h", "mshtml.h",
}

SOURCE_SUFFIXES = {".c", ".cc", ".cpp", ".h", ".hpp", ".rc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def is_win(rel):
    """A Win32 file: its name, less the last extension, ends in _win."""
    return Path(rel).name.rsplit(".", 1)[0].endswith("_win")


def is_portable(rel):
    """Code that must build without <windows.h>: everything but _win files,
    resource scripts and the Windows tests."""
    return not (is_win(rel) or rel.endswith(".rc") or rel.startswith("tests/win/"))


def area(rel):
    """('src', folder), ('tests', folder) or ('tools', folder) of a path."""
    parts = rel.split("/")
    return parts[0], parts[1] if len(parts) > 2 else ""


def resolve(root, rel, quoted, name):
    """The repository path an include names, or None for a system header.
    Quoted names are looked up beside the including file first; both forms
    then in src/ (and the Windows tests also in src/app, for its resources)."""
    dirs = [root / "src"]
    if rel.startswith("tests/win/"):
        dirs.append(root / "src/app")
    if quoted:
        dirs.insert(0, (root / rel).parent)
    for d in dirs:
        candidate = (d / name).resolve()
        if candidate.is_file():
            try:
                return candidate.relative_to(root).as_posix()
            except ValueError:
                return None
    return None


def src_rule(rel, folder, target):
    """Why a file of src/<folder> may not include target (a path), or None."""
    tfolder = area(target)[1]
    if folder == "app":
        return None
    if folder == "popup":
        return "the popup program does not use the clock's program code" if tfolder == "app" else None
    if folder == "core":
        return None if tfolder == "core" else "core uses core only"
    if folder == "win":
        return None if tfolder in ("core", "win") else "win uses core and win only"
    if folder in SUBSYSTEMS:
        if not is_win(rel):
            # display's portable half is the picture and text toolkit every
            # subsystem paints with.
            if tfolder in ("core", folder, "display"):
                return None
            return f"the portable files of {folder} use core, display and {folder} only"
        if tfolder in ("core", "win"):
            return None
        if tfolder in SUBSYSTEMS and (not is_win(target) or tfolder in (folder, "display")):
            return None
        own = "display" if folder == "display" else f"{folder} and display"
        return (f"the _win files of {folder} use core, win, the portable subsystems "
                f"and the _win headers of {own} only")
    return f"src/{folder} has no place in the layering rules (tools/check-layers.py)"


def check(root, rel, quoted, name):
    """Why rel may not include name, or None when it may."""
    target = resolve(root, rel, quoted, name)
    if target is None:
        if quoted:
            return "names no file of this tree"
        if is_portable(rel) and name.lower() in WINDOWS_HEADERS:
            return "a portable file does not include Windows headers"
        return None
    if is_portable(rel) and is_win(target):
        return "a portable file does not include _win headers"
    top, folder = area(rel)
    ttop, tfolder = area(target)
    if top == "src":
        if ttop != "src":
            return "the program's sources do not include files of tests/ or tools/"
        return src_rule(rel, folder, target)
    if ttop == "src" and tfolder == "app" and not (
        top == "tests" and folder in ("win", "host", "bench")
    ):
        return "only src/app, the tests and the benchmarks include the program's code"
    return None


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent).resolve()
    problems = 0
    for top in ("src", "tests", "tools"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            rel = path.relative_to(root).as_posix()
            text = path.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                quoted, name = m.group(1) == '"', m.group(2)
                why = check(root, rel, quoted, name)
                if why:
                    spelled = f'"{name}"' if quoted else f"<{name}>"
                    print(f"{rel}:{number}: #include {spelled}: {why}")
                    problems += 1
    if problems:
        print(f"{problems} include(s) run against the layers")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
