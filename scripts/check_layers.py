#!/usr/bin/env python3
"""Checks the layering of the sources (docs/ARCHITECTURE.md).

Reads every #include "..." of the program's sources and reports
  - includes a layer may not make (a core including window code, a window
    subsystem including a sibling, anything below app/ including app/, a core
    including QtWidgets, sim/ including our code);
  - include cycles between files, where a file pair foo.h/foo.cpp counts as
    one node: cycles whose files lie in different folders fail the check,
    cycles inside one folder are listed.
Exit status 0 when nothing fails, 1 otherwise.

usage: check_layers.py [SOURCE_DIR]
"""

import os
import re
import sys

# Folders whose sources are checked; tests/ and bench/ stand beside the
# layers and may include anything.
CHECKED = ("app", "shell", "toolkit", "link", "imaging", "batch", "screen", "res", "cli", "sim")
CORES = ("link", "imaging", "batch", "screen", "res")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
# Qt Widgets headers a core must not include.
WIDGETS = re.compile(r"^(QtWidgets/.*|QWidget|QDialog|QMessageBox|QApplication|QMainWindow|QMenu|QToolBar|"
                     r"QAction|QFileDialog|QColorDialog|QLabel|QPushButton|QComboBox|QTreeWidget)$")


def module_of(path):
    """The module a repository file belongs to: 'core', 'ui:<subsystem>',
    'shell', 'toolkit', 'app', 'cli', 'sim', or None (not checked)."""
    parts = path.split("/")
    top = parts[0]
    if top not in CHECKED or len(parts) < 2:
        return None
    if top in CORES:
        if len(parts) > 2 and parts[1] == "ui":
            return "ui:" + top
        if top == "res" and len(parts) > 2:
            return None  # generated-file helpers under res/linux
        return "core"
    return top


# What each module may include besides itself. A window subsystem
# ("ui:<name>") sees the shell, the toolkit and the cores, never a sibling.
MAY_INCLUDE = {
    "core": ("core",),
    "toolkit": ("core",),
    "shell": ("core", "toolkit"),
    "cli": ("core",),
    "sim": (),
}


def allowed(src, dst):
    """Whether module src may include a file of module dst."""
    if src == dst:
        return True
    if src == "app":
        return dst not in ("cli", "sim")
    if src.startswith("ui:"):
        return dst in ("core", "shell", "toolkit")
    return dst in MAY_INCLUDE.get(src, ())


def sources(root):
    for top in CHECKED:
        base = os.path.join(root, top)
        for dirpath, _, files in os.walk(base):
            for name in files:
                if name.endswith((".h", ".cpp", ".inc")):
                    full = os.path.join(dirpath, name)
                    yield os.path.relpath(full, root).replace(os.sep, "/")


def resolve(root, includer, target):
    """The repository path an include names, or None for outside headers."""
    for candidate in (target, os.path.normpath(os.path.join(os.path.dirname(includer), target))):
        candidate = candidate.replace(os.sep, "/")
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def unit(path):
    """foo.h and foo.cpp are one node of the cycle search."""
    return os.path.splitext(path)[0]


def strongly_connected(graph):
    """Tarjan's algorithm, iterative; yields the components."""
    index = {}
    low = {}
    stack = []
    on_stack = set()
    counter = [0]
    result = []
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                result.append(sorted(component))
    return result


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    forbidden = []
    graph = {}
    files = sorted(sources(root))
    for path in files:
        src = module_of(path)
        if src is None:
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        graph.setdefault(unit(path), set())
        for kind, target in INCLUDE.findall(text):
            if kind == "<":
                if src == "core" and WIDGETS.match(target):
                    forbidden.append((path, target, "a core uses no QtWidgets"))
                continue
            dst_path = resolve(root, path, target)
            if dst_path is None:
                continue
            dst = module_of(dst_path)
            if dst is None:
                continue
            if not allowed(src, dst):
                forbidden.append((path, dst_path, "%s may not include %s" % (src, dst)))
            if unit(dst_path) != unit(path):
                graph[unit(path)].add(unit(dst_path))

    cycles = [c for c in strongly_connected(graph) if len(c) > 1]
    between = [c for c in cycles if len({os.path.dirname(u) for u in c}) > 1]
    inside = [c for c in cycles if c not in between]

    print("checked %d files" % len(files))
    print("forbidden includes: %d" % len(forbidden))
    for path, target, why in forbidden:
        print("  %s -> %s (%s)" % (path, target, why))
    print("include cycles between folders: %d" % len(between))
    for c in between:
        print("  " + " -> ".join(c))
    print("include cycles inside one folder: %d" % len(inside))
    for c in inside:
        print("  " + " -> ".join(c))
    return 1 if forbidden or between else 0


if __name__ == "__main__":
    sys.exit(main())
