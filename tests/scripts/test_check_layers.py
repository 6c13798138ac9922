#!/usr/bin/env python3
"""scripts/check_layers.py on small trees made for the purpose: a clean tree
passes; each forbidden include and a cycle between folders fails and is
named; a cycle inside one folder is listed without failing."""

import os
import subprocess
import sys
import tempfile

SCRIPT = sys.argv[1]


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for path, includes in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write("".join('#include %s\n' % i for i in includes))
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout


CLEAN = {
    "link/terminal.h": ["<QString>"],
    "link/terminal.cpp": ['"link/terminal.h"'],
    "shell/frame_services.h": ['"link/terminal.h"'],
    "link/ui/frame_device.cpp": ['"shell/frame_services.h"', '"link/terminal.h"'],
    "imaging/ui/frame_previews.cpp": ['"shell/frame_services.h"'],
    "app/app_frame.cpp": ['"link/ui/frame_device.h"', '"imaging/ui/frame_previews.h"'],
    "link/ui/frame_device.h": [],
    "imaging/ui/frame_previews.h": [],
    "cli/cli_context.cpp": ['"link/terminal.h"'],
}

CASES = [
    # (what is added to the clean tree, exit code, text the report must hold)
    ({}, 0, "forbidden includes: 0"),
    ({"link/ui/x.cpp": ['"imaging/ui/frame_previews.h"']}, 1, "ui:link may not include ui:imaging"),
    ({"shell/x.cpp": ['"app/app_frame.h"'], "app/app_frame.h": []}, 1, "shell may not include app"),
    ({"link/x.cpp": ['"shell/frame_services.h"']}, 1, "core may not include shell"),
    ({"imaging/x.cpp": ["<QWidget>"]}, 1, "a core uses no QtWidgets"),
    ({"cli/x.cpp": ['"link/ui/frame_device.h"']}, 1, "cli may not include ui:link"),
    ({"sim/x.cpp": ['"link/terminal.h"']}, 1, "sim may not include core"),
    # A cycle through the units link/a and imaging/b (header and source as one).
    ({"link/a.h": [], "link/a.cpp": ['"imaging/b.h"'], "imaging/b.h": [], "imaging/b.cpp": ['"link/a.h"']},
     1, "include cycles between folders: 1\n  imaging/b -> link/a"),
    ({"cli/a.h": [], "cli/a.cpp": ['"b.h"'], "cli/b.h": [], "cli/b.cpp": ['"a.h"']},
     0, "include cycles inside one folder: 1\n  cli/a -> cli/b"),
]

failures = 0
for extra, code, text in CASES:
    tree = dict(CLEAN)
    tree.update(extra)
    got, out = run(tree)
    if got != code or text not in out:
        failures += 1
        print("FAIL %s: exit %d (want %d)\n%s" % (sorted(extra), got, code, out))
print("%d of %d cases passed" % (len(CASES) - failures, len(CASES)))
sys.exit(1 if failures else 0)
