#!/usr/bin/env python3
"""Mutation check of a change: small faults in the lines it touched, and which of them no test noticed.

For every C++ line under src/ that differs from the base commit (default: the merge base with main,
uncommitted edits included), the script makes one-line faults: a comparison, logical or arithmetic
operator swapped, an integer constant off by one, a boolean flipped, a negation dropped, a statement
removed. One at a time it writes the fault into the file, rebuilds the test programs that link the
file (found in the ninja build graph of its own folder, build-mutate/) and runs them, nearest first,
until one fails. Faults no test noticed are listed with file, line and change.

Every file is put back: after each fault, on error, on Ctrl-C and on SIGTERM; a copy of the file
being changed is kept in build-mutate/mutate-pending/ until it is restored, so a run killed outright
is repaired by the next one. Faults marked equivalent in .mutate-equivalent are not tried again.
"""

import argparse
import fcntl
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EQUIVALENT_FILE = ".mutate-equivalent"


STOP_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Interrupted(Exception):
    pass


def on_signal(signum, _frame):
    raise Interrupted(signal.Signals(signum).name)


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, check=True, capture_output=True, text=True).stdout


# ---------------------------------------------------------------------------------------------------
# The touched lines


def touched_lines(base, pathspecs):
    """{relative path: set of line numbers (1-based) in the working tree that differ from base}."""
    out = git("diff", "-U0", "--no-color", "--no-ext-diff", "--diff-filter=AM", base, "--", *pathspecs)
    result = {}
    path = None
    for line in out.splitlines():
        if line.startswith("+++ "):
            name = line[4:]
            path = name[2:] if name.startswith("b/") else None
            if path and not path.endswith((".cpp", ".h", ".hpp", ".cc")):
                path = None
        elif line.startswith("@@") and path:
            m = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
            start, count = int(m.group(1)), int(m.group(2) if m.group(2) is not None else 1)
            result.setdefault(path, set()).update(range(start, start + count))
    return result


# ---------------------------------------------------------------------------------------------------
# Faults on one line

OPERATORS = sorted(
    """<<= >>= -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= :: + - * / % < > ! = & | ^ ~ ? :
    ( ) [ ] { } ; , .""".split(),
    key=len,
    reverse=True,
)
# Binary operators are only changed when spaced on both sides, as the formatter writes them:
# that keeps template brackets, pointers, references and unary signs out.
SPACED_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "&&": "||", "||": "&&", "+": "-", "-": "+", "*": "/",
                "/": "*"}
ANY_SWAPS = {"==": "!=", "!=": "==", "+=": "-=", "-=": "+=", "++": "--", "--": "++"}
NUMBER = re.compile(r"(0[xX][0-9a-fA-F']+|[0-9][0-9']*)([uUlL]*)$")


def tokens(code):
    """(kind, text, start) for the code of one line; strings and character literals are one token."""
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if c.isspace():
            i += 1
            continue
        start = i
        if c == '"' or c == "'":
            i += 1
            while i < n and code[i] != c:
                i += 2 if code[i] == "\\" else 1
            i += 1
            yield "string", code[start:i], start
        elif c.isalpha() or c == "_":
            while i < n and (code[i].isalnum() or code[i] == "_"):
                i += 1
            if i < n and code[i] == '"' and code[start:i] in ("R", "u8", "u", "U", "L", "u8R", "LR"):
                end = code.find('"', i + 1)
                i = n if end < 0 else end + 1
                yield "string", code[start:i], start
            else:
                yield "word", code[start:i], start
        elif c.isdigit() or (c == "." and i + 1 < n and code[i + 1].isdigit()):
            while i < n and (code[i].isalnum() or code[i] in ".'_" or
                             (code[i] in "+-" and code[i - 1] in "eEpP" and not code[start:i].startswith(("0x", "0X")))):
                i += 1
            yield "number", code[start:i], start
        else:
            for op in OPERATORS:
                if code.startswith(op, i):
                    i += len(op)
                    yield "op", op, start
                    break
            else:
                i += 1
                yield "other", c, start


def strip_comment(line, in_block):
    """The code of a line without comments, and whether a block comment is still open after it."""
    out, i, n = [], 0, len(line)
    quote = None
    while i < n:
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out), True
            i, in_block = end + 2, False
            out.append(" ")
            continue
        c = line[i]
        if quote:
            out.append(c)
            if c == "\\" and i + 1 < n:
                out.append(line[i + 1])
                i += 2
                continue
            if c == quote:
                quote = None
        elif c in "\"'" and not (c == "'" and i > 0 and line[i - 1].isalnum()):
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block = True
            i += 2
            continue
        else:
            out.append(c)
        i += 1
    return "".join(out), in_block


def ordinal(counts, key):
    counts[key] = counts.get(key, 0) + 1
    return counts[key]


STATEMENT = re.compile(
    r"(?:(?:[A-Za-z_][\w]*|\)|\])(?:\s*(?:\.|->|::)\s*~?[A-Za-z_]\w*|\s*\[[^;]*\])*\s*(?:<[\w:,\s<>*&]*>)?\s*\(.*\)"
    r"|(?:\*\s*)?[A-Za-z_][\w.\[\]>-]*\s*(?:[-+*/%|&^]|<<|>>)?=\s.*"
    r"|(?:\+\+|--)\s*[A-Za-z_][\w.\[\]>-]*|[A-Za-z_][\w.\[\]>-]*\s*(?:\+\+|--)|break|continue|return)\s*;$")
NOT_STATEMENTS = ("return ", "delete ", "throw ", "static_assert", "using ", "typedef ", "goto ", "case ")


def balanced(text):
    depth = 0
    for c in text:
        depth += c == "("
        depth -= c == ")"
        if depth < 0:
            return False
    return depth == 0


def line_mutants(code, previous_code):
    """(description, new code) for the faults of one line of code (comments already removed)."""
    stripped = code.strip()
    if not stripped or stripped.startswith("#"):
        return []
    found = []
    counts = {}
    toks = list(tokens(code))
    for k, (kind, text, start) in enumerate(toks):
        end = start + len(text)
        before = code[start - 1] if start > 0 else ""
        after = code[end] if end < len(code) else ""
        if kind == "op":
            swap = ANY_SWAPS.get(text)
            if not swap and text in SPACED_SWAPS and before == " " and after == " ":
                if text in "<>" and any(t[1] == "template" for t in toks):
                    continue
                swap = SPACED_SWAPS[text]
            if swap:
                n = ordinal(counts, text)
                found.append((f"'{text}' -> '{swap}' #{n}", code[:start] + swap + code[end:]))
            elif text == "!" and after not in " =":
                n = ordinal(counts, text)
                found.append((f"'!' removed #{n}", code[:start] + code[end:]))
        elif kind == "word" and text in ("true", "false"):
            swap = "false" if text == "true" else "true"
            n = ordinal(counts, text)
            found.append((f"'{text}' -> '{swap}' #{n}", code[:start] + swap + code[end:]))
        elif kind == "number":
            m = NUMBER.match(text)
            if not m:
                continue  # a float, or a literal we do not take apart
            digits, suffix = m.group(1).replace("'", ""), m.group(2)
            value = int(digits, 16) if digits[:2] in ("0x", "0X") else int(digits, 10)
            if digits.startswith("0") and len(digits) > 1 and digits[1] not in "xX":
                continue  # octal
            n = ordinal(counts, text)
            for changed in (value + 1, value - 1):
                if changed < 0:
                    continue
                new = (hex(changed) if digits[:2] in ("0x", "0X") else str(changed)) + suffix
                found.append((f"{text} -> {new} #{n}", code[:start] + new + code[end:]))
    previous = previous_code.rstrip()
    starts_statement = previous == "" or previous.endswith((";", "{", "}", ":", ")", "else"))
    if (starts_statement and STATEMENT.match(stripped) and balanced(stripped)
            and not stripped.startswith(NOT_STATEMENTS) and "{" not in stripped and "}" not in stripped):
        indent = code[: len(code) - len(code.lstrip())]
        found.append(("statement removed", indent + ";"))
    return found


def key_text(text):
    return " ".join(text.split())


class Mutant:
    def __init__(self, path, line_no, original, description, mutated):
        self.path, self.line_no, self.original = path, line_no, original
        self.description, self.mutated = description, mutated
        self.status, self.detail = None, ""

    def key(self):
        return (self.path, key_text(self.original), self.description)

    def entry(self):
        return "\t".join(self.key())


def collect_mutants(touched):
    mutants = []
    for path, numbers in sorted(touched.items()):
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="surrogateescape") as f:
            lines = f.read().split("\n")
        in_block = False
        previous_code = ""
        for index, line in enumerate(lines, start=1):
            code, in_block_after = strip_comment(line, in_block)
            if index in numbers and not in_block:
                for description, new_code in line_mutants(code, previous_code):
                    # Put back what followed the code (a trailing comment) untouched.
                    rest = line[len(code):] if line.startswith(code) else ""
                    mutants.append(Mutant(path, index, line, description, new_code + rest))
            in_block = in_block_after
            if code.strip():
                previous_code = code
    return mutants


def read_equivalent(path):
    keys = set()
    if not os.path.exists(path):
        return keys
    with open(path, encoding="utf-8") as f:
        for raw in f:
            if not raw.strip() or raw.startswith("#"):
                continue
            parts = raw.rstrip("\n").split("\t")
            if len(parts) >= 3:
                keys.add((parts[0], key_text(parts[1]), parts[2]))
    return keys


def spread(mutants, seed):
    """One fault per touched line first, lines in a shuffled order; then the next fault of each line."""
    rng = random.Random(seed)
    by_line = {}
    for m in mutants:
        by_line.setdefault((m.path, m.line_no), []).append(m)
    groups = list(by_line.values())
    rng.shuffle(groups)
    for group in groups:
        rng.shuffle(group)
    ordered, depth = [], 0
    while True:
        layer = [g[depth] for g in groups if depth < len(g)]
        if not layer:
            return ordered
        ordered.extend(layer)
        depth += 1


# ---------------------------------------------------------------------------------------------------
# The build graph


class Build:
    def __init__(self, folder, jobs):
        self.folder = folder
        self.jobs = jobs
        self.users = {}  # source or header (absolute) -> set of object files
        self.tests_of_object = {}

    def configure(self):
        if os.path.exists(os.path.join(self.folder, "CMakeCache.txt")):
            return
        command = ["cmake", "-S", ROOT, "-B", self.folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                   "-DQUILLMAR_BENCHMARKS=OFF"]
        if shutil.which("ccache"):
            command += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

    def ninja(self, *args):
        command = ["nice", "-n", "10", "ninja", "-C", self.folder, f"-j{self.jobs}", *args]
        return subprocess.run(command, capture_output=True, text=True)

    def build(self, targets):
        result = self.ninja(*targets)
        return result.returncode == 0, result.stdout + result.stderr

    def targets_by_rule(self, rule_prefix):
        out = self.ninja("-t", "targets", "all").stdout
        names = []
        for line in out.splitlines():
            target, _, rule = line.partition(": ")
            if rule.startswith(rule_prefix):
                names.append(target)
        return sorted(names)

    def test_targets(self):
        return [t for t in self.targets_by_rule("CXX_EXECUTABLE_LINKER") if os.path.basename(t).startswith("test_")]

    def read_deps(self):
        """Which object files each source and header goes into (from the compiler's recorded deps)."""
        out = self.ninja("-t", "deps").stdout
        current = None
        for line in out.splitlines():
            if line and not line.startswith(" "):
                current = line.split(":")[0]
            elif line.strip() and current:
                dep = os.path.realpath(os.path.join(self.folder, line.strip()))
                self.users.setdefault(dep, set()).add(current)

    def consumers(self, nodes):
        """Every node built from the given ones, following all edges (also order-only) to the end."""
        seen, frontier = set(nodes), list(nodes)
        while frontier:
            out = self.ninja("-t", "query", *frontier).stdout
            frontier = []
            section = None
            for line in out.splitlines():
                if not line.startswith(" "):
                    section = None
                elif line.strip() in ("input:", "outputs:", "validations:") or line.strip().startswith("input: "):
                    section = line.strip().split(":")[0]
                elif section == "outputs":
                    node = line.strip().lstrip("|").strip()
                    if node and node not in seen:
                        seen.add(node)
                        frontier.append(node)
        return seen

    def tests_for(self, path, all_tests):
        objects = self.users.get(os.path.realpath(os.path.join(ROOT, path)), set())
        if not objects:
            # Compiled into no library (a header only tests include, say): every test may see it.
            return all_tests
        key = frozenset(objects)
        if key not in self.tests_of_object:
            reached = self.consumers(sorted(objects))
            self.tests_of_object[key] = [t for t in all_tests if t in reached]
        return self.tests_of_object[key]


def nearest_first(path, tests):
    """The suite that mirrors the file's folder first (src/grid/view -> test_grid_view), the rest after."""
    parts = os.path.dirname(path).split("/")[1:]
    wanted = ["test_" + "_".join(parts[i:]) for i in range(len(parts))]

    def rank(test):
        name = os.path.basename(test)
        return (wanted.index(name) if name in wanted else len(wanted), name)

    return sorted(tests, key=rank)


# ---------------------------------------------------------------------------------------------------
# Running


class Runner:
    def __init__(self, build, timeout):
        self.build = build
        self.timeout = timeout
        self.baseline = {}  # test -> seconds, or None when it fails unchanged
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        QUILLMAR_TEST_OUT=os.path.join(build.folder, "test-output"))
        self.child = None

    def run(self, test, timeout):
        """'pass', 'fail' or 'timeout' for one test program."""
        command = ["nice", "-n", "10", os.path.join(self.build.folder, test), "--gtest_fail_fast", "--gtest_brief=1"]
        self.child = subprocess.Popen(command, cwd=self.build.folder, env=self.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            code = self.child.wait(timeout=timeout)
            return "pass" if code == 0 else "fail"
        except subprocess.TimeoutExpired:
            return "timeout"
        finally:
            self.stop_child()

    def stop_child(self):
        if self.child and self.child.poll() is None:
            try:
                os.killpg(self.child.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.child.wait()
        self.child = None

    def baseline_of(self, test):
        """Seconds the unchanged program takes, measured once; None when it fails without any fault."""
        if test not in self.baseline:
            ok, log = self.build.build([test])
            if not ok:
                raise RuntimeError(f"{test} does not build unchanged:\n{log[-3000:]}")
            started = time.monotonic()
            outcome = self.run(test, self.timeout or 900)
            self.baseline[test] = time.monotonic() - started if outcome == "pass" else None
            if outcome != "pass":
                print(f"  note: {test} fails without any fault; it is left out", flush=True)
        return self.baseline[test]

    def limit(self, test):
        return self.timeout or max(30.0, 4 * self.baseline[test] + 10)


class Files:
    """Writes faults into the tree and always puts the original back."""

    def __init__(self, pending):
        self.pending = pending
        self.originals = {}

    def repair_left_over(self):
        if not os.path.isdir(self.pending):
            return
        for folder, _dirs, names in os.walk(self.pending):
            for name in names:
                saved = os.path.join(folder, name)
                target = os.path.join(ROOT, os.path.relpath(saved, self.pending))
                shutil.copyfile(saved, target)
                os.remove(saved)
                print(f"restored {os.path.relpath(target, ROOT)} left changed by an earlier run", flush=True)

    def write(self, mutant):
        path = os.path.join(ROOT, mutant.path)
        with open(path, "rb") as f:
            original = f.read()
        saved = os.path.join(self.pending, mutant.path)
        os.makedirs(os.path.dirname(saved), exist_ok=True)
        with open(saved, "wb") as f:
            f.write(original)
        self.originals[path] = (original, saved)
        lines = original.decode("utf-8", "surrogateescape").split("\n")
        if lines[mutant.line_no - 1] != mutant.original:
            raise RuntimeError(f"{mutant.path}:{mutant.line_no} changed while the run went on")
        lines[mutant.line_no - 1] = mutant.mutated
        with open(path, "wb") as f:
            f.write("\n".join(lines).encode("utf-8", "surrogateescape"))

    def restore_all(self):
        # A second Ctrl-C must not stop a file half written back.
        blocked = signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
        try:
            self._restore_all()
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, blocked)

    def _restore_all(self):
        for path, (original, saved) in list(self.originals.items()):
            with open(path, "wb") as f:
                f.write(original)
            os.remove(saved)
            del self.originals[path]


def try_mutant(mutant, tests, files, runner):
    files.write(mutant)
    try:
        for test in tests:
            if test not in runner.baseline:
                # Measured on the unchanged tree, once per test program.
                files.restore_all()
                runner.baseline_of(test)
                files.write(mutant)
            if runner.baseline[test] is None:
                continue
            ok, log = runner.build.build([test])
            if not ok:
                mutant.status, mutant.detail = "no-compile", ""
                return
            outcome = runner.run(test, runner.limit(test))
            if outcome != "pass":
                mutant.status = "noticed"
                mutant.detail = os.path.basename(test) + (" (timed out)" if outcome == "timeout" else "")
                return
        mutant.status = "survived" if any(runner.baseline[t] is not None for t in tests) else "untested"
    finally:
        files.restore_all()


def area(path):
    parts = path.split("/")
    return "/".join(parts[:3]) if len(parts) > 3 else "/".join(parts[:-1])


def report(tried, out):
    counted = [m for m in tried if m.status in ("noticed", "survived")]
    noticed = [m for m in counted if m.status == "noticed"]
    lines = []
    if counted:
        lines.append(f"noticed {len(noticed)} of {len(counted)} faults ({100 * len(noticed) // len(counted)}%)")
    else:
        lines.append("no fault was both built and tested")
    skipped = [m for m in tried if m.status == "no-compile"]
    untested = [m for m in tried if m.status == "untested"]
    if skipped:
        lines.append(f"{len(skipped)} did not compile (not counted)")
    if untested:
        lines.append(f"{len(untested)} in code no test program links (not counted):")
        lines += [f"  {m.path}:{m.line_no}: {m.description}" for m in untested]
    areas = {}
    for m in counted:
        a = areas.setdefault(area(m.path), [0, 0])
        a[0] += m.status == "noticed"
        a[1] += 1
    for name, (n, total) in sorted(areas.items()):
        lines.append(f"  {name}: {n}/{total}")
    survivors = [m for m in counted if m.status == "survived"]
    if survivors:
        lines.append("")
        lines.append("Not noticed by any test:")
        for m in survivors:
            lines.append(f"{m.path}:{m.line_no}: {m.description}")
            lines.append(f"    was: {m.original.strip()}")
            lines.append(f"    now: {m.mutated.strip() or '(empty)'}")
        lines.append("")
        lines.append(f"An equivalent one (no behaviour can tell) goes into {EQUIVALENT_FILE} as the line below")
        lines.append("followed by a tab and the reason:")
        lines += [m.entry() for m in survivors]
    text = "\n".join(lines)
    print("\n" + text, flush=True)
    with open(out, "w", encoding="utf-8") as f:
        f.write(text + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="*", default=["src"], help="limit to these paths (default: src)")
    parser.add_argument("--base", help="commit the change starts from (default: merge base with main)")
    parser.add_argument("--max", type=int, default=0, help="try at most N faults")
    parser.add_argument("--minutes", type=float, default=0, help="start no new fault after M minutes")
    parser.add_argument("--timeout", type=float, default=0,
                        help="seconds one test program may take (default: 4 times its unchanged time + 10)")
    parser.add_argument("--seed", type=int, default=1, help="order in which lines are tried")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build-mutate"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--list", action="store_true", help="only list the faults that would be tried")
    args = parser.parse_args()

    for sig in STOP_SIGNALS:
        signal.signal(sig, on_signal)

    build = Build(os.path.abspath(args.build_dir), args.jobs)
    files = Files(os.path.join(build.folder, "mutate-pending"))
    runner = Runner(build, args.timeout)
    tried = []
    status = 0
    # One run per folder: a second one would take the first one's fault for a file left over.
    os.makedirs(build.folder, exist_ok=True)
    lock = open(os.path.join(build.folder, "mutate.lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        print(f"another run is using {build.folder}", file=sys.stderr)
        return 2
    try:
        files.repair_left_over()
        base = args.base or git("merge-base", "HEAD", "main").strip()
        touched = touched_lines(base, args.paths)
        equivalent = read_equivalent(os.path.join(ROOT, EQUIVALENT_FILE))
        mutants = [m for m in collect_mutants(touched) if m.key() not in equivalent]
        marked = sum(1 for _ in equivalent)
        mutants = spread(mutants, args.seed)
        if args.max:
            mutants = mutants[: args.max]
        print(f"{sum(len(v) for v in touched.values())} touched lines in {len(touched)} files since "
              f"{git('rev-parse', '--short', base).strip()}; {len(mutants)} faults to try "
              f"({marked} marked equivalent)", flush=True)
        if args.list:
            for m in mutants:
                print(f"{m.path}:{m.line_no}: {m.description}\n    was: {m.original.strip()}\n    now: {m.mutated.strip()}")
            return 0

        started = time.monotonic()
        build.configure()
        all_tests = build.test_targets()
        # The libraries now, for the graph of what each source goes into; a test program is built
        # when a fault first needs it.
        print("building the libraries unchanged ...", flush=True)
        ok, log = build.build(build.targets_by_rule("CXX_STATIC_LIBRARY_LINKER"))
        if not ok:
            print(log[-5000:], file=sys.stderr)
            print("the unchanged tree does not build; nothing tried", file=sys.stderr)
            return 2
        build.read_deps()
        for number, mutant in enumerate(mutants, start=1):
            if args.minutes and time.monotonic() - started > args.minutes * 60:
                print(f"time is up after {number - 1} faults", flush=True)
                break
            tests = nearest_first(mutant.path, build.tests_for(mutant.path, all_tests))
            t0 = time.monotonic()
            if not tests:
                mutant.status = "untested"
            else:
                try_mutant(mutant, tests, files, runner)
            tried.append(mutant)
            print(f"[{number}/{len(mutants)}] {mutant.status:<10} {mutant.path}:{mutant.line_no}: "
                  f"{mutant.description} {mutant.detail} ({time.monotonic() - t0:.0f}s)", flush=True)
    except Interrupted as stop:
        print(f"\nstopped by {stop}; every file is restored", flush=True)
    except (RuntimeError, OSError, subprocess.CalledProcessError) as error:
        print(f"\nstopped: {error}; every file is restored", file=sys.stderr, flush=True)
        status = 2
    finally:
        runner.stop_child()
        files.restore_all()
    if tried:
        report(tried, os.path.join(build.folder, "mutate-report.txt"))
    return status


if __name__ == "__main__":
    sys.exit(main())
