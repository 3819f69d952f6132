#!/usr/bin/env python3
"""Fails when a file of kit/Classes includes a kit header from a higher layer than its own,
unless kit/LAYERS.md allows that include."""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CLASSES = os.path.join(ROOT, "kit", "Classes")
NOTE = os.path.join(ROOT, "kit", "LAYERS.md")


def read_note():
    layers, allowed, section, level = {}, [], "", 0
    for line in open(NOTE, encoding="utf-8"):
        if line.startswith("## "):
            section = line[3:].strip().lower()
        elif line.startswith("- ") and section.startswith("layers"):
            level += 1
            for name in line[2:].split(":", 1)[1].split():
                layers[name] = level
        elif line.startswith("- ") and section.startswith("allowed"):
            rule = line[2:].split(":", 1)[0]
            source, target = (part.strip() for part in rule.split("->"))
            allowed.append((source, target))
    return layers, allowed


def unit(path):
    return path.split("/")[0].split(".")[0]


def main():
    layers, allowed = read_note()
    faults = []
    for folder, _, files in os.walk(CLASSES):
        for name in sorted(files):
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, CLASSES).replace(os.sep, "/")
            source = unit(rel)
            if source not in layers:
                faults.append(f"{rel}: {source} has no layer in kit/LAYERS.md")
                continue
            for number, line in enumerate(open(path, encoding="utf-8"), 1):
                match = re.match(r'\s*#\s*include\s+"(ZT[^"]+)"', line)
                if not match:
                    continue
                header = match.group(1)
                target = unit(header)
                if target not in layers:
                    faults.append(f"{rel}:{number}: {header} has no layer in kit/LAYERS.md")
                elif layers[target] > layers[source] and not any(
                    rel.startswith(s) and header.startswith(t) for s, t in allowed
                ):
                    faults.append(f"{rel}:{number}: includes {header} from a higher layer")
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} upward include(s) not allowed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
