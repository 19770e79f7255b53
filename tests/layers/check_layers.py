#!/usr/bin/env python3
"""The plug-in's layers: a folder of src/ includes only from its own folder and from
folders of a lower layer, never sideways or up. Prints every include that breaks the
rule, or a folder that has no layer, and exits 1 when there is any."""
import pathlib
import re
import sys

LAYERS = {
    "host": 0,
    "base": 1, "storage": 1,
    "config_checks": 2,
    "config": 3, "delivery": 3,
    "opt_out": 4,
    "commands": 5, "custom_commands": 5, "welcome": 5, "announcements": 5, "countdown": 5,
    "plugin": 6,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)


def breaches(source_root):
    for path in sorted(source_root.rglob("*")):
        if path.suffix not in (".cpp", ".hpp") or not path.is_file():
            continue
        folder = path.relative_to(source_root).parts[0]
        if folder not in LAYERS:
            yield f"{path}: the folder {folder}/ has no layer"
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if included == folder:
                continue
            if included not in LAYERS:
                yield f"{path}: includes from {included}/, which has no layer"
            elif LAYERS[included] >= LAYERS[folder]:
                yield (f"{path}: {folder}/ (layer {LAYERS[folder]}) includes from "
                       f"{included}/ (layer {LAYERS[included]})")


def main():
    source_root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    found = list(breaches(source_root))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
