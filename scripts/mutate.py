#!/usr/bin/env python3
"""Mutation check: proves that the tests catch small faults in the code.

Each mutant in tests/mutations.txt is one small change to one source file
(a flipped comparison, a dropped call, a changed constant, ...). For each
mutant this program changes the file, rebuilds what the chosen tests need in
their own build folder, runs those tests and puts the file back. A mutant is
"killed" when a test fails, "survived" when all pass and "invalid" when it
does not build. The score is killed / (killed + survived).

The file is restored after every mutant, also after a failure, Ctrl+C or
SIGTERM. A run killed outright leaves a note in the build folder and the next
run restores the file before anything else.

Usage: scripts/mutate.sh [--list] [--build-dir DIR] [PATTERN...]
  PATTERN  a regular expression matched against each mutant's name and file;
           only matching mutants run (all when none is given).
  --list   print the mutants with their tests and stop (builds nothing).
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIST = ROOT / "tests" / "mutations.txt"
JOBS = os.environ.get("JOBS", "2")
TEST_TIMEOUT = os.environ.get("MUTATE_TEST_TIMEOUT", "90")


class Mutant:
    def __init__(self, name, file, selector, lineno):
        self.name, self.file, self.selector, self.lineno = name, file, selector, lineno
        self.find = None
        self.replace = None


def parse_list(path):
    """Reads the mutant list; see the head of tests/mutations.txt."""
    selectors, mutants = {}, []
    current = None
    for lineno, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.rstrip()
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line.startswith("@"):
            key, sep, value = line.partition("=")
            if not sep:
                sys.exit(f"{path}:{lineno}: a selector needs '@name = regex'")
            selectors[key.strip()] = value.strip()
        elif line.startswith("=="):
            parts = line[2:].split()
            if len(parts) != 3:
                sys.exit(f"{path}:{lineno}: expected '== name file @selector'")
            name, file, sel = parts
            if sel.startswith("@"):
                if sel not in selectors:
                    sys.exit(f"{path}:{lineno}: unknown selector {sel}")
                sel = selectors[sel]
            current = Mutant(name, file, sel, lineno)
            mutants.append(current)
        elif line.startswith("-") and current is not None and current.find is None:
            current.find = line[1:].strip()
        elif line.startswith("+") and current is not None and current.replace is None:
            current.replace = line[1:].strip()
        else:
            sys.exit(f"{path}:{lineno}: cannot read this line: {line}")
    names = set()
    for m in mutants:
        if m.find is None or m.replace is None:
            sys.exit(f"{path}:{m.lineno}: mutant {m.name} needs one '-' and one '+' line")
        if m.name in names:
            sys.exit(f"{path}:{m.lineno}: mutant name {m.name} is used twice")
        names.add(m.name)
    return mutants


def mutated_text(m):
    """The file's text with the mutant applied, or None with the reason."""
    text = (ROOT / m.file).read_text(encoding="utf-8")
    hits = text.count(m.find)
    if hits != 1:
        return None, f"the '-' text occurs {hits} times in {m.file} (must be once)"
    return text.replace(m.find, m.replace, 1), None


class Restorer:
    """Puts a mutated file back; keeps a note so a killed run is mended later."""

    def __init__(self, build):
        self.note = build / "mutant-in-place"
        self.copy = build / "mutant-original"
        self.path = None

    def mend_leftover(self):
        if self.note.exists():
            path = ROOT / self.note.read_text(encoding="utf-8").strip()
            shutil.copyfile(self.copy, path)
            print(f"restored {path.relative_to(ROOT)} left mutated by an earlier run")
            self.note.unlink()

    def mutate(self, path, text):
        shutil.copyfile(path, self.copy)
        self.note.write_text(str(path.relative_to(ROOT)), encoding="utf-8")
        self.path = path
        path.write_text(text, encoding="utf-8")

    def restore(self):
        if self.path is None:
            return
        # The restored file is newer than the objects built from the mutant,
        # so the next build compiles it again (ccache answers at once).
        shutil.copyfile(self.copy, self.path)
        self.path = None
        self.note.unlink()


def run(cmd, log):
    """Runs cmd with its output in the log. On an interrupt the command and
    everything it started (compilers, test programs) end before the mutated
    file is restored: an object still being built from the mutant would
    otherwise be newer than the restored file and stay in the build."""
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        p = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, cwd=ROOT, start_new_session=True)
        try:
            return p.wait()
        except BaseException:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            raise


def configure_and_build(build, log):
    if not (build / "build.ninja").exists():
        cmd = ["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCANTOREL_WERROR=ON",
               "-DCANTOREL_BENCH=OFF"]
        # ccache answers the first build and every restored file at once.
        if shutil.which("ccache"):
            cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        # Every mutant relinks the program, the tool and its tests: lld
        # links them several times faster than the default linker.
        if shutil.which("ld.lld"):
            cmd.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
        if run(cmd, log) != 0:
            sys.exit(f"configuring {build} failed; see {log}")
    print(f"building the unchanged program and tests in {build} ...", flush=True)
    if run(["cmake", "--build", str(build), "-j", JOBS], log) != 0:
        sys.exit(f"the unchanged sources do not build; see {log}")


def test_programs(build):
    """Maps every ctest name to the build target of the program it runs."""
    out = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"], capture_output=True,
                         text=True, cwd=ROOT, check=True).stdout
    programs = {}
    for t in json.loads(out).get("tests", []):
        cmd = t.get("command") or []
        exe = Path(cmd[0]).name if cmd else ""
        # gtest programs are named after their target; script tests (install,
        # media controls) use the whole build.
        programs[t["name"]] = exe if (exe.startswith("unit_") or exe.endswith("_tests")) else "all"
    return programs


def check_selectors(build, selectors, programs):
    """ctest reads -R as a CMake expression (no \\w, \\d, ...): a selector it
    reads differently would run other tests, or none, and pass."""
    for sel in sorted(selectors):
        expected = sum(1 for n in programs if re.search(sel, n))
        out = subprocess.run(["ctest", "--test-dir", str(build), "-N", "-R", sel], capture_output=True,
                             text=True, cwd=ROOT).stdout
        found = re.search(r"Total Tests: (\d+)", out)
        if not found or int(found.group(1)) != expected:
            sys.exit(f"selector {sel}: ctest finds {found.group(1) if found else '?'} tests, "
                     f"Python {expected}; write it in CMake's regular expressions")


def end_like_ctrl_c(*_):
    """SIGTERM ends the run as Ctrl+C does: through the restoring finally."""
    raise KeyboardInterrupt()


def main():
    ap = argparse.ArgumentParser(description="Run the mutants of tests/mutations.txt against the tests.")
    ap.add_argument("patterns", nargs="*", help="run only mutants whose name or file matches")
    ap.add_argument("--list", action="store_true", help="list the mutants and stop")
    ap.add_argument("--build-dir", default=str(ROOT / "build-mutate"))
    args = ap.parse_args()

    mutants = parse_list(LIST)
    if args.patterns:
        pats = [re.compile(p) for p in args.patterns]
        mutants = [m for m in mutants if any(p.search(m.name) or p.search(m.file) for p in pats)]
    if args.list:
        for m in mutants:
            _, why = mutated_text(m)
            print(f"{m.name:34} {m.file:40} {m.selector}" + (f"   STALE: {why}" if why else ""))
        print(f"{len(mutants)} mutants")
        return 0
    if not mutants:
        sys.exit("no mutant matches")

    build = Path(args.build_dir).resolve()
    build.mkdir(parents=True, exist_ok=True)
    log = build / "mutate.log"
    log.write_text("")
    restorer = Restorer(build)
    restorer.mend_leftover()
    # Also when started in the background, where SIGINT would be ignored.
    signal.signal(signal.SIGINT, end_like_ctrl_c)
    signal.signal(signal.SIGTERM, end_like_ctrl_c)

    started = time.monotonic()
    configure_and_build(build, log)
    programs = test_programs(build)
    check_selectors(build, {m.selector for m in mutants}, programs)
    results = {"killed": [], "survived": [], "invalid": [], "stale": []}
    print(f"{len(mutants)} mutants; details in {log}", flush=True)
    try:
        for i, m in enumerate(mutants, 1):
            t0 = time.monotonic()
            sel = re.compile(m.selector)
            tests = [n for n in programs if sel.search(n)]
            text, why = mutated_text(m)
            if not tests:
                why = why or f"no test matches {m.selector}"
            if why:
                results["stale"].append((m, why))
                print(f"[{i}/{len(mutants)}] {m.name}: stale ({why})", flush=True)
                continue
            targets = sorted({programs[n] for n in tests})
            targets = ["all"] if "all" in targets else targets + ["cantorel", "cantorel-tool"]
            restorer.mutate(ROOT / m.file, text)
            try:
                if run(["cmake", "--build", str(build), "-j", JOBS, "--target", *targets], log) != 0:
                    verdict = "invalid"
                else:
                    rc = run(["ctest", "--test-dir", str(build), "-j", JOBS, "--timeout", TEST_TIMEOUT,
                              "--output-on-failure", "-R", m.selector], log)
                    verdict = "killed" if rc != 0 else "survived"
            finally:
                restorer.restore()
            results[verdict].append((m, None))
            print(f"[{i}/{len(mutants)}] {m.name}: {verdict} ({len(tests)} tests, "
                  f"{time.monotonic() - t0:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted; the source file is restored", file=sys.stderr)
        return 130
    finally:
        restorer.restore()

    # The last mutant's objects are still in the build folder: build the
    # restored sources again, so the folder's programs are the real ones.
    if run(["cmake", "--build", str(build), "-j", JOBS], log) != 0:
        print(f"rebuilding the restored sources in {build} failed; see {log}", file=sys.stderr)
    killed, survived = len(results["killed"]), len(results["survived"])
    print()
    for kind in ("survived", "invalid", "stale"):
        for m, why in results[kind]:
            print(f"{kind:9} {m.name:34} {m.file}" + (f"  ({why})" if why else ""))
    score = 100.0 * killed / (killed + survived) if killed + survived else 0.0
    print(f"\nscore: {killed}/{killed + survived} killed ({score:.1f} %); {len(results['invalid'])} invalid, "
          f"{len(results['stale'])} stale; {time.monotonic() - started:.0f} s")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
