#!/usr/bin/env python3
"""Fails on any `#include "..."` between folders that tools/layers.txt does not allow.

Every source file the repository tracks (C++ sources and headers, resource
scripts, configured files) is read; each quoted include is resolved the way
the build finds it: beside the including file, then below each folder above
it (the test programs and the automation helper add their own folder to the
include path), then from the root of the tree. An include that resolves to no
file of the tree, and is not listed as generated, fails as well.

Prints one line per forbidden include and a summary of the forbidden edges;
exit status 0 when there are none, 1 otherwise, 2 when layers.txt is wrong.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
TEST_FOLDERS = {"tests", "testing", "fuzz"}
SHARED_TEST_SUPPORT = "tests/support"
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE = re.compile(r"\.(cpp|h|rc|in)$")


def read_layers(path):
    """Returns ({layer: set of layers it may include}, set of generated names)."""
    allowed, generated = {}, set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            name, sep, rest = line.partition(":")
            if not sep:
                sys.exit(f"{path}:{number}: expected 'LAYER: LAYERS'")
            name = name.strip()
            if name == "generated":
                generated.update(rest.split())
            else:
                allowed[name] = set(rest.split())
    for layer, below in allowed.items():
        for other in below - allowed.keys():
            print(f"{path}: {layer} names an unknown layer {other}", file=sys.stderr)
            sys.exit(2)
    return allowed, generated


def layer_of(path, layers):
    """The longest layer folder the path lies in, or None."""
    best = None
    for layer in layers:
        if (path == layer or path.startswith(layer + "/")) and (best is None or len(layer) > len(best)):
            best = layer
    return best


def is_test_code(path, layer):
    inner = path[len(layer) + 1:].split("/")[:-1]
    return any(part in TEST_FOLDERS for part in inner)


def resolve(source, name, files):
    folder = os.path.dirname(source)
    candidates = []
    while True:
        candidates.append(os.path.normpath(os.path.join(folder, name)))
        if not folder:
            break
        folder = os.path.dirname(folder)
    for candidate in candidates:
        if candidate in files:
            return candidate
    return None


def main():
    allowed, generated = read_layers(os.path.join(ROOT, "tools", "layers.txt"))
    tracked = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"], cwd=ROOT, check=True, capture_output=True,
                             text=True).stdout.split("\n")
    files = {f for f in tracked if f and os.path.exists(os.path.join(ROOT, f))}
    faults = {}
    for source in sorted(files):
        if not SOURCE.search(source):
            continue
        source_layer = layer_of(source, allowed)
        with open(os.path.join(ROOT, source), encoding="latin-1") as f:
            lines = f.readlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            name = match.group(1)
            target = resolve(source, name, files)
            where = f"{source}:{number}: #include \"{name}\""
            if target is None:
                if os.path.basename(name) not in generated:
                    faults.setdefault(("?", name), []).append(f"{where}: no such file in the tree")
                continue
            target_layer = layer_of(target, allowed)
            if source_layer is None or target_layer is None:
                outside = source if source_layer is None else target
                faults.setdefault(("?", outside), []).append(f"{where}: {outside} lies in no layer")
                continue
            test_source = is_test_code(source, source_layer)
            test_target = is_test_code(target, target_layer)
            reachable = target_layer == source_layer or target_layer in allowed[source_layer]
            if test_source:
                ok = reachable or target == SHARED_TEST_SUPPORT or target.startswith(SHARED_TEST_SUPPORT + "/")
            else:
                ok = reachable and not test_target
            if not ok:
                edge = (source_layer + ("/(test code)" if test_source else ""),
                        target_layer + ("/(test code)" if test_target else ""))
                faults.setdefault(edge, []).append(where)
    if not faults:
        return 0
    for edge, places in sorted(faults.items()):
        for place in places:
            print(place)
    print(f"check-layers: {len(faults)} forbidden edge(s) (allowed ones: tools/layers.txt):")
    for (source, target), places in sorted(faults.items()):
        print(f"  {source} -> {target}  ({len(places)} include(s))")
    return 1


if __name__ == "__main__":
    sys.exit(main())
