#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""missing_data_test.py DATA REMOVE PROGRAM...

Runs test programs against a copy of the data folder DATA with the file
REMOVE (a path below it) taken out. Each must fail, name the missing file in
its output, and end with an exit status of its own rather than by a signal.
Exit status 0 when every program did so, 1 when one did not, 2 on bad usage."""
import os
import shutil
import subprocess
import sys
import tempfile


def check(program, missing, env):
    """What is wrong with how `program` ran without `missing`, or None."""
    done = subprocess.run([program], env=env, capture_output=True, text=True, errors="replace")
    output = done.stdout + done.stderr
    name = os.path.basename(program)
    if done.returncode < 0:
        return f"{name} ended by signal {-done.returncode}:\n{output}"
    if done.returncode == 0:
        return f"{name} passed without {missing}"
    if missing not in output:
        return f"{name} failed without naming {missing}:\n{output}"
    print(f"{name}: failed (exit status {done.returncode}) naming {missing}")
    return None


def main(argv):
    if len(argv) < 4:
        print(__doc__.splitlines()[0], file=sys.stderr)
        return 2
    data, remove, programs = argv[1], argv[2], argv[3:]
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "data")
        shutil.copytree(data, copy)
        missing = os.path.join(copy, remove)
        if not os.path.exists(missing):
            print(f"{remove} is not in {data}", file=sys.stderr)
            return 2
        os.remove(missing)
        env = dict(os.environ, CORVADEX_TEST_DATA=copy)
        faults = [f for f in (check(p, missing, env) for p in programs) if f is not None]
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} program(s) did not fail cleanly")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
