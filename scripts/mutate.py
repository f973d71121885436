#!/usr/bin/env python3
"""Mutation testing: how many behaviour-changing edits of the product do the tests catch?

Copies the repository's files (tracked, and untracked but not ignored; or one commit's with
--rev) into a scratch tree (build-mutation/tree, git-ignored), configures one build there
(build-mutation/build: -O0, no debug info, lld) and builds it. Each mutant is one edit in one
place: a relational operator flipped, && and || or + and - swapped, an integer literal +1 or
-1, true and false swapped, an if or while condition negated, a statement line removed. For
each, the script edits the scratch copy, rebuilds with Ninja and runs CTest, the fast labels
first and the rest only when they pass, stopping at the first failure, with a timeout per
test. A mutant that does not compile is 'stillborn', one that fails or hangs a test
'killed', the others 'survived'. The file is always put back, also on Ctrl-C; the working
tree is never written to. Comments, preprocessor lines, inactive #ifdef branches, string
and character literals, static_assert and ALL_CAPS macro arguments are never mutated.

    python3 scripts/mutate.py --list                  # list the mutants (id, before | after)
    python3 scripts/mutate.py                         # every mutant of the default files
    python3 scripts/mutate.py --sample 150 --seed 1   # a reproducible random subset
    python3 scripts/mutate.py --resume --no-sync      # go on where a run stopped
    python3 scripts/mutate.py --rev HEAD --files 'src/params/*.cpp'
    python3 scripts/mutate.py --only 'src/params/parameter_table.cpp:34:18:ror-gt'

Ids are file:line:column:operator. The report (build-mutation/report.md) is rewritten after
every mutant. Ids in scripts/mutation-equivalent.txt, each with its reason, are not run nor
counted. On this machine (2 cores) the first build takes 2 minutes and a mutant 3-15 s
(60-120 s when it only hangs a test): the ~3,000 mutants of all of src/ take six to seven
hours, a --sample of 200 about 26 minutes.
"""
import argparse, io, os, random, re, shlex, shutil, signal, subprocess, sys, tarfile, threading, time
from pathlib import Path

# The files mutated by default (globs, relative to the repository root): all of the product.
DEFAULT_FILES = ["src/*/*.cpp"]
EXCLUDE_LABELS = "soak|package|fuzz"   # never run
FAST_LABELS = "core|link|window"       # run first; the rest only if these pass
# The labels whose tests a mutant of a folder most likely fails: run before all others.
NEAREST_LABELS = {"src/ctl/": "ctl", "src/sim/": "sim", "src/app/": "window|e2e"}
CTEST_ARGS = ""
TEST_TIMEOUT = 60                      # seconds per test, unless a test sets its own
JOBS = 8                               # ctest -j: the tests mostly wait on the line
CMAKE_ARGS = ["-G", "Ninja", "-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O0 -g0",
              "-DDX400_BENCH=OFF"]
PLATFORM_MACROS = {"Q_OS_UNIX": True, "Q_OS_LINUX": True, "Q_OS_WIN": False, "Q_OS_MACOS": False}
ROOT = Path(__file__).resolve().parent.parent
EQUIVALENT = ROOT / "scripts" / "mutation-equivalent.txt"
NOT_STATEMENTS = set("return break continue case default goto using typedef const constexpr static "
                     "auto namespace struct class enum template else if for while switch do throw".split())
RELATIONAL = {"<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
              "==": ["!="], "!=": ["=="]}
NAMES = {"<": "lt", "<=": "le", ">": "gt", ">=": "ge", "==": "eq", "!=": "ne",
         "&&": "and", "||": "or", "+": "plus", "-": "minus"}

def mask(text):
    """Same-length copy of text with comments, string/char literals, preprocessor lines,
    inactive #ifdef branches, static_assert and ALL_CAPS macro calls blanked."""
    out, i, n = list(text), 0, len(text)
    while i < n:
        if text.startswith("//", i):
            j = text.find("\n", i) % (n + 1)
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2) % (n + 1) + 2
        elif text.startswith('R"', i) and not (i and text[i - 1].isalnum()):
            delim = text[i + 2:text.index("(", i)]
            j = text.index(")" + delim + '"', i) + len(delim) + 2
        elif text[i] in "\"'" and not (text[i] == "'" and i and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != text[i]:
                j += 2 if text[j] == "\\" else 1
            j += 1
        else:
            i += 1
            continue
        out[i:j] = [c if c == "\n" else " " for c in text[i:j]]
        i = j
    lines, stack = "".join(out).split("\n"), []
    for k, line in enumerate(lines):
        words = line.strip()[1:].split() + ["", ""] if line.strip().startswith("#") else None
        if words:
            d, arg = words[0], words[1]
            if d in ("ifdef", "ifndef"):
                stack.append(PLATFORM_MACROS[arg] == (d == "ifdef") if arg in PLATFORM_MACROS
                             else True)
            elif d == "if":
                stack.append(True)
            elif d in ("else", "elif") and stack:
                stack[-1] = d == "elif" or not stack[-1]
            elif d == "endif" and stack:
                stack.pop()
        if words or not all(stack):
            lines[k] = " " * len(line)
    code = list("\n".join(lines))
    for m in re.finditer(r"\bstatic_assert\b|\b[A-Z][A-Z0-9_]+\s*\(", "".join(code)):
        depth, j, end = 0, m.start(), ";" if m.group().startswith("static") else ")"
        while j < len(code) - 1 and not (code[j] == end and depth <= 1 - (end == ";")):
            depth += {"(": 1, ")": -1}.get(code[j], 0)
            j += 1
        code[m.start():j + 1] = [c if c == "\n" else " " for c in code[m.start():j + 1]]
    return "".join(code)

def deletable(line, prev):
    """Is line a whole one-line statement that is a call, an assignment or an increment?"""
    s = re.sub(r"^emit\s+", "", line.strip())
    if not s.endswith(";") or not re.match(r"[\w*(+-]", s):
        return False
    if any(s.count(a) != s.count(b) for a, b in ("()", "[]", "{}")):
        return False                    # part of a statement that spans lines
    if prev is not None and not (prev.endswith((";", "{", "}", ")", ":")) or prev == "else"):
        return False
    if re.split(r"\W", s, maxsplit=1)[0] in NOT_STATEMENTS:
        return False
    head = re.split(r"[(\[{]|[-+*/|&^]?=(?!=)|<<", s, maxsplit=1)[0]
    return not re.search(r"[\w>*&]\s+[^\W\d]", head)   # "Type name ..." is a declaration

def mutants_of(rel, text):
    """Every mutant of one file: dicts with id, file, line and edits [(start, end, new)]."""
    code = mask(text)
    starts = [0] + [m.end() for m in re.finditer("\n", text)]
    found = []

    def add(op, pos, *edits):
        line = text.count("\n", 0, pos)
        found.append({"id": f"{rel}:{line + 1}:{pos - starts[line] + 1}:{op}", "file": rel,
                      "line": line + 1, "edits": edits})
    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", code):
        for new in RELATIONAL[m.group()]:
            add("ror-" + NAMES[new], m.start(), (m.start(), m.end(), new))
    for m in re.finditer(r"(?<=\s)(&&|\|\||\+|-)(?=\s)", code):
        new = {"&&": "||", "||": "&&", "+": "-", "-": "+"}[m.group()]
        add(("lcr-" if new in "&&||" else "aor-") + NAMES[new], m.start(), (m.start(), m.end(), new))
    for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*(?![\w.])", code):
        digits = m.group(1)
        hexa = digits[:2].lower() == "0x"
        value = int(digits, 16 if hexa else 10)
        for op, new in (("lit-inc", value + 1), ("lit-dec", value - 1)):
            if new >= 0:
                new = digits[:2] + f"{new:0{len(digits) - 2}X}" if hexa else str(new)
                add(op, m.start(), (m.start(), m.end(1), new))
    for m in re.finditer(r"\b(true|false)\b", code):
        new = "false" if m.group() == "true" else "true"
        add("bool-" + new, m.start(), (m.start(), m.end(), new))
    for m in re.finditer(r"\b(if|while)\s*\((?!\s*constexpr)", code):
        depth, j = 1, m.end()
        while j < len(code) and depth:
            depth += {"(": 1, ")": -1}.get(code[j], 0)
            j += 1
        if not re.match(r"\s*[\w:<>]+(\s+[\w:<>]+)*[\s*&]+\w+\s*=[^=]", code[m.end():j]):
            add("neg-" + m.group(1), m.start(), (m.end(), m.end(), "!("), (j - 1, j - 1, ")"))
    prev = None
    for k, line in enumerate(code.split("\n")):
        if line.strip() and deletable(line, prev):
            col = len(line) - len(line.lstrip())
            add("del", starts[k] + col, (starts[k] + col, starts[k] + len(line), "{}"))
        prev = line.strip() or prev
    return sorted(found, key=lambda x: (x["line"], int(x["id"].split(":")[-2]), x["id"]))

def apply(text, mutant):
    for start, end, new in sorted(mutant["edits"], reverse=True):
        text = text[:start] + new + text[end:]
    return text

def shown_lines(text, mutant):
    """The original and the mutated line(s) of a mutant, for the report."""
    first = mutant["line"] - 1
    last = first + text.count("\n", mutant["edits"][0][0], mutant["edits"][-1][0])
    pick = lambda t: " ⏎ ".join(l.strip() for l in t.split("\n")[first:last + 1])
    return pick(text), pick(apply(text, mutant))

def run(cmd, cwd, timeout, stop=None, env=None):
    """Runs cmd in its own process group: (exit code or None on a time-out, output, what
    stop found). stop(line) may end the run early by returning something true."""
    p = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, errors="replace", start_new_session=True, env=env)
    expired = []
    timer = threading.Timer(timeout, lambda: expired.append(os.killpg(p.pid, signal.SIGKILL)))
    timer.start()
    out, found = [], None
    try:
        for line in p.stdout:
            out.append(line)
            found = stop and stop(line)
            if found:
                break
    finally:
        timer.cancel()
        if p.poll() is None:
            os.killpg(p.pid, signal.SIGKILL)
        p.wait()
    return None if expired else p.returncode, "".join(out), found


def failed_test(line):
    """'name (why)' when a CTest progress line reports a test that did not pass."""
    m = re.search(r"Test\s+#\d+: (\S+) [ .]*(?:\*\*\*)?(.+?)\s+[\d.]+ sec$", line)
    return m and m[2] != "Passed" and f"{m[1]} ({m[2]})"


def repository_files(rev=None):
    """{path: content} of commit rev, or of the working tree (tracked, and untracked but
    not ignored)."""
    git = lambda *a: subprocess.run(["git", *a], cwd=ROOT, capture_output=True, check=True).stdout
    if rev:
        with tarfile.open(fileobj=io.BytesIO(git("archive", "--format=tar", rev))) as tar:
            return {m.name: tar.extractfile(m).read() for m in tar.getmembers() if m.isfile()}
    names = git("ls-files", "-z", "--cached", "--others", "--exclude-standard").decode()
    return {n: (ROOT / n).read_bytes() for n in names.split("\0") if n and (ROOT / n).is_file()}

def sync_tree(tree, rev):
    """Makes tree hold the repository's files, writing only those whose content differs
    (so that Ninja rebuilds only what changed)."""
    wanted = repository_files(rev)
    for name, data in wanted.items():
        if not (tree / name).is_file() or (tree / name).read_bytes() != data:
            (tree / name).parent.mkdir(parents=True, exist_ok=True)
            (tree / name).write_bytes(data)
    for path in tree.rglob("*"):
        if path.is_file() and str(path.relative_to(tree)) not in wanted:
            path.unlink()
    return wanted

def ctest(args, build, mutated=""):
    """Runs the labels nearest the mutated file, then the fast labels, then the rest: None
    when every test passes, else what failed."""
    base = ["ctest", "--stop-on-failure", "--timeout", str(args.timeout), "-j", str(args.jobs)]
    tmp = build / "mutation-tmp"     # what tests leave in TMPDIR when they are cut short
    shutil.rmtree(tmp, ignore_errors=True)
    tmp.mkdir()
    near = next((l for folder, l in NEAREST_LABELS.items() if mutated.startswith(folder)), None)
    done = f"{near}|{args.exclude_labels}" if near else args.exclude_labels
    stages = [["-L", near, "-LE", args.exclude_labels]] if near else []
    stages += [["-L", args.fast_labels, "-LE", done],
               ["-LE", f"{args.fast_labels}|{done}"]]
    for stage in stages:
        code, out, failure = run(base + stage + shlex.split(args.ctest_args), build, 3600,
                                 failed_test, {**os.environ, "TMPDIR": str(tmp)})
        if failure or code is None:   # the first failure ends the stage at once
            return failure or "CTest stage timed out"
        if code:
            return "ctest failed: " + " ".join(out.split("FAILED:")[-1].split()[:8])
    return None


def read_report(path):
    pattern = r"^\| `([^`]+)` \| (killed|survived|stillborn) \| ([\d.]+) \| (.*) \|$"
    text = path.read_text() if path.is_file() else ""
    return {m[1]: (m[2], float(m[3]), m[4]) for m in re.finditer(pattern, text, re.M)}

def write_report(path, total, equivalent, results, texts, by_id, wall, final=False):
    """Writes the report; returns its summary and survivors as text."""
    count = lambda status: sum(1 for r in results.values() if r[0] == status)
    killed, survived = count("killed"), count("survived")
    rate = f"{100 * killed / (killed + survived):.1f}%" if killed + survived else "n/a"
    summary = (f"mutants generated {total}, run {len(results)}, stillborn {count('stillborn')}, "
               f"equivalent {len(equivalent)}, killed {killed}, survived {survived}, "
               f"kill rate {rate} (killed / (killed + survived)), wall time {wall / 60:.1f} min "
               f"(time spent on mutants, all runs: {sum(r[1] for r in results.values()) / 60:.1f} min)")
    survivors, current = [], None
    key = lambda i: (i.rsplit(":", 3)[0], int(i.rsplit(":", 3)[1]), i)
    for mid in sorted((i for i, r in results.items() if r[0] == "survived"), key=key):
        if mid.rsplit(":", 3)[0] != current:
            current = mid.rsplit(":", 3)[0]
            survivors += ["", f"### {current}", ""]
        old, new = shown_lines(texts[current], by_id[mid]) if mid in by_id else ("?", "?")
        survivors.append(f"- `{mid}`: `{old}` → `{new}`")
    lines = ["# Mutation testing report", "", f"{'Finished' if final else 'In progress'} "
             f"{time.strftime('%Y-%m-%d %H:%M')}: `{' '.join(map(shlex.quote, sys.argv))}`", "",
             summary, "", "## Survivors", *survivors, "", "## Equivalent", "",
             *[f"- `{i}` # {why}" for i, why in sorted(equivalent.items())],
             "", "## Results", "", "| id | status | seconds | detail |", "|---|---|---|---|",
             *[f"| `{i}` | {s} | {t:.1f} | {d.replace('|', '/')} |" for i, (s, t, d) in results.items()]]
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(lines) + "\n")
    return "\n".join([summary, "", "Survivors:", *survivors])

def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--files", nargs="+", default=DEFAULT_FILES, help="paths or globs to mutate")
    p.add_argument("--tree", type=Path, default=ROOT / "build-mutation" / "tree")
    p.add_argument("--build-dir", type=Path, default=ROOT / "build-mutation" / "build")
    p.add_argument("--report", type=Path, default=ROOT / "build-mutation" / "report.md")
    p.add_argument("--list", action="store_true", help="only list the mutants")
    p.add_argument("--only", nargs="+", help="run these mutant ids only")
    p.add_argument("--sample", type=int, help="run a random subset of N mutants")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--resume", action="store_true", help="skip ids already in the report")
    p.add_argument("--rev", help="mutate this commit's files instead of the working tree's")
    p.add_argument("--no-sync", action="store_true", help="use the scratch tree as it is")
    p.add_argument("--jobs", type=int, default=JOBS, help="ctest -j")
    p.add_argument("--timeout", type=int, default=TEST_TIMEOUT, help="seconds per test")
    p.add_argument("--fast-labels", default=FAST_LABELS, help="CTest labels run first")
    p.add_argument("--exclude-labels", default=EXCLUDE_LABELS, help="CTest labels never run")
    p.add_argument("--ctest-args", default=CTEST_ARGS, help="more CTest arguments")
    args = p.parse_args()
    started = time.monotonic()
    tree, build = args.tree.resolve(), args.build_dir.resolve()
    for d in (tree, build):
        if d in (ROOT, *ROOT.parents) or ROOT in d.parents and not d.relative_to(ROOT).parts[0]\
                .startswith("build-"):
            sys.exit(f"refusing to use {d}: scratch folders go outside the repository or in build-*")
    if args.list:
        files = repository_files(args.rev)
    elif args.no_sync:
        files = {str(f.relative_to(tree)): f.read_bytes() for f in tree.rglob("*") if f.is_file()}
    else:
        tree.mkdir(parents=True, exist_ok=True)
        files = sync_tree(tree, args.rev)
    chosen = sorted({f for g in args.files for f in files if f == g or Path(f).match(g)})
    texts = {f: files[f].decode() for f in chosen}
    mutants = [m for f in chosen for m in mutants_of(f, texts[f])]
    by_id = {m["id"]: m for m in mutants}
    lines = EQUIVALENT.read_text().splitlines() if EQUIVALENT.is_file() else []
    listed = {i.strip(): why.strip() for i, _, why in (l.partition("#") for l in lines)
              if i.strip()}
    equivalent = {i: why for i, why in listed.items() if i in by_id}
    # An edit of the code moves the ids after it: a listed id that no longer names a mutant
    # of a mutated file must be found again, or its mutant is counted once more.
    stale = [i for i in listed if i not in by_id and i.split(":")[0] in texts]
    if stale:
        print("listed ids that name no mutant (update scripts/mutation-equivalent.txt):",
              *stale, sep="\n  ", file=sys.stderr)
    todo = [m for m in mutants if m["id"] not in equivalent]
    if args.only:
        todo = [by_id[i] for i in args.only if i in by_id]
        if len(todo) < len(args.only):
            print("unknown ids:", *(i for i in args.only if i not in by_id))
    elif args.sample:
        todo = sorted(random.Random(args.seed).sample(todo, min(args.sample, len(todo))),
                      key=lambda m: (m["file"], m["line"], m["id"]))
    if args.list:
        for m in todo:
            print(m["id"], " | ".join(shown_lines(texts[m["file"]], m)), sep="  ")
        print(f"{len(todo)} of {len(mutants)} mutants in {len(chosen)} files")
        return
    results = read_report(args.report) if args.resume or args.only else {}
    results = {i: r for i, r in results.items()
               if i not in equivalent and not (args.only and i in args.only)}
    todo = [m for m in todo if m["id"] not in results]
    if not (build / "CMakeCache.txt").is_file():
        lld = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"] if shutil.which("ld.lld") else []
        subprocess.run(["cmake", "-S", tree, "-B", build, *CMAKE_ARGS, *lld], check=True)
    print("building the unmutated tree and running its tests ...", flush=True)
    subprocess.run(["ninja", "-C", build], check=True, stdout=subprocess.DEVNULL)
    failure = ctest(args, build)
    if failure:
        sys.exit(f"the unmutated tree fails its tests: {failure}")
    signal.signal(signal.SIGTERM, signal.default_int_handler)   # restore the file on TERM too
    print(f"{len(mutants)} mutants, {len(todo)} to run", flush=True)
    for n, m in enumerate(todo, 1):
        path, t0 = tree / m["file"], time.monotonic()
        try:
            path.write_text(apply(texts[m["file"]], m))
            # Built at the second try if need be: a rare failure of the machine is not taken
            # for a mutant that does not compile.
            if all(run(["ninja", "-C", build], tree, 1800)[0] != 0 for _ in range(2)):
                status, detail = "stillborn", "build failed"
            else:
                failure = ctest(args, build, m["file"])
                status, detail = ("killed", failure) if failure else ("survived", "")
        finally:
            path.write_text(texts[m["file"]])
        results[m["id"]] = (status, time.monotonic() - t0, detail)
        print(f"[{n}/{len(todo)}] {status:9} {time.monotonic() - t0:5.1f}s {m['id']} {detail}",
              flush=True)
        write_report(args.report, len(mutants), equivalent, results, texts, by_id,
                     time.monotonic() - started)
    print("\n" + write_report(args.report, len(mutants), equivalent, results, texts, by_id,
                              time.monotonic() - started, final=True))
    for mid, why in sorted(equivalent.items()):
        print(f"equivalent, not run: {mid}  # {why}")
    print(f"report: {args.report}")

if __name__ == "__main__":
    main()
