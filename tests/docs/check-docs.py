#!/usr/bin/env python3
"""Holds the README and docs/ to the tree they describe.

Every shell block in README.md and docs/*.md is fenced with a marker that
says how its commands are checked:

  ```sh runnable   run here as written, from a folder that looks like the top
                   of the tree (build/, data/, content/, tools/ and bench/ are
                   the real ones; outputs land in a scratch folder); each must
                   exit with 0
  ```sh ci         run as written by .ci/run, ./run-tests, ./play or a test's
                   script: the command must stand in one of them
  ```sh options    too long or too interactive to run here (it plays the show,
                   opens a window, measures for minutes): the program must
                   exist, and every --option must be one its --help names
                   (`quorvane` and a tarball's `play`, as a download runs
                   them, are held to build/quorvane and tools/release/play)

Besides: the dependency list of docs/dependencies.md against the CMake files
and tools/setup-debian, the test named by every troubleshooting row, the
links between the files, the show's length, the cast's names.

usage: check-docs.py [--no-commands] SOURCE_DIR BUILD_DIR
  --no-commands   leave the runnable commands unrun (a sanitized build)
Exit codes: 0 all held, 1 something did not, 2 bad usage, 77 the runnable
commands could not be run (no display or no built content; 1 under
QUORVANE_REQUIRE_ALL=1) but everything else held.
"""

import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^(\s*)```(\S*)\s*(\S*)\s*$")
OUR_PROGRAM = re.compile(r"^(\./|build/|tools/|bench/)")
MARKERS = ("runnable", "ci", "options")
NOT_PACKAGES = ("packages", "missing", "run")  # setup-debian's arrays that hold no package names
WRAPPERS = ("xvfb-run", "valgrind")  # programs that run the one named after them
# The programs of the downloads, as a viewer runs them once one is installed or
# unpacked: each is held to the program of the tree it is made from.
DOWNLOADED = ((re.compile(r"^quorvane(\.exe)?$"), "build/quorvane"),
              (re.compile(r"^quorvane-[0-9.]+-linux-x86_64/play$"), "tools/release/play"))

failures = []


def fail(where, message):
    failures.append(f"{where}: {message}")


def doc_files(source):
    return [os.path.join(source, "README.md")] + sorted(glob.glob(os.path.join(source, "docs", "*.md")))


def relative(source, path):
    return os.path.relpath(path, source)


def code_blocks(path):
    """(language, marker, first line number, lines) of every fenced block."""
    blocks = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        match = FENCE.match(lines[i])
        if not match:
            i += 1
            continue
        indent, language, marker = match.groups()
        start = i + 1
        body = []
        i += 1
        while i < len(lines) and lines[i].strip() != "```":
            body.append(lines[i][len(indent):] if lines[i].startswith(indent) else lines[i])
            i += 1
        blocks.append((language, marker, start + 1, body))
        i += 1
    return blocks


def prose(path):
    """The text of a file outside its fenced blocks."""
    out = []
    inside = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if FENCE.match(line.rstrip("\n")) or line.strip() == "```":
                inside = not inside
                continue
            if not inside:
                out.append(line)
    return "".join(out)


def without_comment(command):
    return re.sub(r"\s+#\s.*$", "", command).strip()


def commands(source):
    """(where, marker, command) of every command in a shell block."""
    found = []
    for path in doc_files(source):
        for language, marker, first, body in code_blocks(path):
            if language not in ("sh", "bash", "shell"):
                continue
            where = f"{relative(source, path)}:{first - 1}"
            if marker not in MARKERS:
                fail(where, f"a shell block needs one of the markers {', '.join(MARKERS)} (```sh runnable)")
                continue
            for offset, line in enumerate(body):
                if line.strip():
                    found.append((f"{relative(source, path)}:{first + offset}", marker, line.strip()))
    return found


def check_indented_blocks(source):
    """Commands hide from the checks in indented code blocks: fences only."""
    for path in doc_files(source):
        previous = ""
        for number, line in enumerate(prose(path).split("\n"), 1):
            if line.startswith("    ") and line.strip() and not previous.strip():
                fail(relative(source, path), f"an indented code block (\"{line.strip()[:40]}\"): fence it with a marker")
            previous = line


def check_tables(source):
    """A row broken over two lines, or with a cell too many, breaks its table."""
    for path in doc_files(source):
        header = None
        for line in prose(path).split("\n"):
            if not line.startswith("|"):
                header = None
                continue
            cells = line.rstrip().count("|") - line.count("\\|")
            if header is None:
                header = cells
            elif cells != header:
                fail(relative(source, path), f"a table row of {cells - 1} cells under a header of {header - 1}: "
                     f"\"{line[:40]}\"")


def ci_scripts(source):
    paths = [os.path.join(source, name) for name in (".ci/run", "run-tests", "play")]
    paths += glob.glob(os.path.join(source, "tests", "**", "run"), recursive=True)
    paths += glob.glob(os.path.join(source, "tests", "**", "CMakeLists.txt"), recursive=True)
    text = ""
    for path in paths:
        with open(path, encoding="utf-8") as f:
            text += f.read() + "\n"
    return text


def check_ci(source, found):
    scripts = ci_scripts(source)
    for where, marker, command in found:
        if marker == "ci" and without_comment(command) not in scripts:
            fail(where, f"`{without_comment(command)}` is not run by .ci/run, ./run-tests, ./play or a test's script")


def help_text(program, build):
    try:
        run = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=60, cwd=build)
    except OSError as error:
        return None, str(error)
    return run.stdout + run.stderr, None


def check_options(source, build, scratch, found):
    for where, marker, command in found:
        if marker != "options":
            continue
        try:
            words = shlex.split(without_comment(command))
        except ValueError as error:
            fail(where, f"does not read as a shell command: {error}")
            continue
        while words and re.match(r"^[A-Za-z_][A-Za-z0-9_]*=", words[0]):
            words.pop(0)
        for pattern, program in DOWNLOADED:
            if words and pattern.match(words[0]):
                words[0] = program
        if words and words[0] in WRAPPERS:
            ours = [i for i, word in enumerate(words) if OUR_PROGRAM.match(word)]
        else:
            ours = [0] if words and OUR_PROGRAM.match(words[0]) else []
        if not words:
            continue
        if not OUR_PROGRAM.match(words[0]) and shutil.which(words[0]) is None:
            fail(where, f"{words[0]}: no such program")
            continue
        for word in words:
            if re.match(r"^(tools|bench|content|tests)/", word) and not os.path.exists(os.path.join(source, word)):
                fail(where, f"{word}: no such file in the tree")
        if not ours:
            continue
        program = words[ours[0]]
        path = os.path.join(scratch, program)
        if not os.access(path, os.X_OK):
            fail(where, f"{program}: no such program (built?)")
            continue
        if program in ("./play", "./run-tests", "tools/release/play"):
            continue
        text, error = help_text(path, scratch)
        if text is None:
            fail(where, f"{program} --help: {error}")
            continue
        for word in words[ours[0] + 1:]:
            if word.startswith("--"):
                option = word.split("=", 1)[0]
                if not re.search(re.escape(option) + r"\b", text):
                    fail(where, f"{program} --help does not name {option}")


def scratch_tree(source, build):
    scratch = tempfile.mkdtemp(prefix="quorvane-docs-")
    for name in ("data", "content", "tools", "bench", "tests", ".ci", "play", "run-tests"):
        os.symlink(os.path.join(source, name), os.path.join(scratch, name))
    os.symlink(build, os.path.join(scratch, "build"))
    os.mkdir(os.path.join(scratch, "docs"))
    return scratch


def check_runnable(scratch, found):
    for where, marker, command in found:
        if marker != "runnable":
            continue
        print(f"$ {command}", flush=True)
        try:
            run = subprocess.run(["bash", "-c", command], cwd=scratch, capture_output=True, text=True, timeout=900)
        except subprocess.TimeoutExpired:
            fail(where, f"`{command}` ran for more than 15 minutes")
            continue
        if run.returncode != 0:
            fail(where, f"`{command}` exited with {run.returncode}:\n{run.stdout[-2000:]}{run.stderr[-2000:]}")


def cmake_names(source):
    """What the CMake files look for: pkg-config modules, CMake packages, headers."""
    names = set()
    paths = glob.glob(os.path.join(source, "**", "CMakeLists.txt"), recursive=True)
    # Build folders hold other projects' sources (the Windows libraries'
    # in build-windows/), whose needs are not this project's.
    paths = [p for p in paths if not re.search(r"/(build[^/]*|node_modules)/", "/" + relative(source, p))]
    keywords = {"REQUIRED", "QUIET", "IMPORTED_TARGET", "GLOBAL", "NO_CMAKE_PATH", "NO_CMAKE_ENVIRONMENT_PATH"}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for args in re.findall(r"pkg_check_modules\(([^)]*)\)", text):
            words = args.split()[1:]
            names.update(w for w in words if w not in keywords)
        for args in re.findall(r"find_package\(([^)]*)\)", text):
            names.add(args.split()[0])
        for args in re.findall(r"find_path\(([^)]*)\)", text):
            names.add(args.split()[1])
    return names


def setup_packages(source):
    """The packages of every list in tools/setup-debian."""
    with open(os.path.join(source, "tools", "setup-debian"), encoding="utf-8") as f:
        lines = f.read().split("\n")
    packages = set()
    inside = False
    for line in lines:
        code = line.split("#", 1)[0]
        start = re.match(r"^\s*(?:command -v \S+ >/dev/null \|\| )?(\w+)\+?=\((.*)$", code)
        if start and start.group(1) in NOT_PACKAGES:
            continue
        if start:
            rest = start.group(2)
            inside = not rest.rstrip().endswith(")")
            packages.update(rest.rstrip().rstrip(")").split())
        elif inside:
            # A list ends at its closing parenthesis, alone on its line or
            # after the last names.
            inside = not code.rstrip().endswith(")")
            packages.update(code.rstrip().rstrip(")").split())
    return packages


def dependency_tables(source):
    path = os.path.join(source, "docs", "dependencies.md")
    packages, names = set(), set()
    for line in prose(path).split("\n"):
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if not line.startswith("|") or len(cells) < 3 or cells[0] in ("Debian package", "---"):
            continue
        packages.update(re.findall(r"`([^`]+)`", cells[0]))
        names.update(re.findall(r"`([^`]+)`", cells[1]))
    return packages, names


def check_dependencies(source):
    where = "docs/dependencies.md"
    packages, names = dependency_tables(source)
    wanted_packages = setup_packages(source)
    wanted_names = cmake_names(source)
    for package in sorted(wanted_packages - packages):
        fail(where, f"tools/setup-debian installs {package}, which the list leaves out")
    for package in sorted(packages - wanted_packages):
        fail(where, f"lists {package}, which tools/setup-debian does not install")
    for name in sorted(wanted_names - names):
        fail(where, f"the CMake files look for {name}, which the list leaves out")
    for name in sorted(names - wanted_names):
        fail(where, f"lists {name}, which no CMake file looks for")


def defined_tests(source):
    tests = set()
    for path in glob.glob(os.path.join(source, "tests", "**", "*.cpp"), recursive=True):
        with open(path, encoding="utf-8", errors="replace") as f:
            for suite, name in re.findall(r"^TEST(?:_F)?\(\s*(\w+)\s*,\s*(\w+)\s*\)", f.read(), re.M):
                tests.add(f"{suite}.{name}")
    return tests


def check_troubleshooting(source):
    where = "docs/troubleshooting.md"
    tests = defined_tests(source)
    rows = 0
    for line in prose(os.path.join(source, where)).split("\n"):
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if not line.startswith("|") or len(cells) != 4 or cells[0] in ("fault", "---"):
            continue
        rows += 1
        named = re.findall(r"`(\w+\.\w+)`", cells[3])
        if not named:
            fail(where, f"the row \"{cells[0]}\" names no test")
        for test in named:
            if test not in tests:
                fail(where, f"the row \"{cells[0]}\" names {test}, which no test defines")
    if rows == 0:
        fail(where, "no rows found")


def slug(heading):
    text = heading.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    with open(path, encoding="utf-8") as f:
        return {slug(m) for m in re.findall(r"^#+\s+(.*)$", prose(path), re.M)}


def check_links(source):
    for path in doc_files(source):
        where = relative(source, path)
        for target in re.findall(r"\]\(([^)\s]+)\)", prose(path)):
            if re.match(r"^[a-z]+:", target):
                continue
            file_part, _, anchor = target.partition("#")
            linked = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
            if not os.path.exists(linked):
                fail(where, f"links to {target}, which does not exist")
            elif anchor and linked.endswith(".md") and anchor not in anchors(linked):
                fail(where, f"links to {target}, which has no heading #{anchor}")


def check_length_and_cast(source):
    with open(os.path.join(source, "show", "SceneWindows.h"), encoding="utf-8") as f:
        end = re.search(r"([0-9.]+),\s*// the end", f.read()).group(1)
    readme = prose(os.path.join(source, "README.md"))
    if end not in readme or f"{float(end):.1f} s" not in readme:
        fail("README.md", f"does not give the show's length as {float(end):.1f} s ({end})")
    for path in doc_files(source)[1:]:
        for said in re.findall(r"\b28[5-7](?:\.\d+)? ?s\b", prose(path)):
            fail(relative(source, path), f"gives the show's length ({said}); the README holds it")
    with open(os.path.join(source, "content", "sound", "screenplay.txt"), encoding="utf-8") as f:
        display = re.findall(r"^name\s+\S+\s+(.+?)\s*$", f.read(), re.M)
    content = prose(os.path.join(source, "docs", "content.md"))
    cast = [line.split("|")[1].strip() for line in content.split("\n") if line.startswith("| ")]
    for name in display:
        if name not in cast:
            fail("docs/content.md", f"the cast leaves out {name}, as the screenplay names a figure")


def main(argv):
    arguments = argv[1:]
    run_commands = "--no-commands" not in arguments
    arguments = [a for a in arguments if a != "--no-commands"]
    if len(arguments) != 2 or not all(os.path.isdir(a) for a in arguments):
        print("usage: check-docs.py [--no-commands] SOURCE_DIR BUILD_DIR", file=sys.stderr)
        return 2
    source, build = (os.path.abspath(a) for a in arguments)
    found = commands(source)
    check_indented_blocks(source)
    check_tables(source)
    check_ci(source, found)
    check_dependencies(source)
    check_troubleshooting(source)
    check_links(source)
    check_length_and_cast(source)
    scratch = scratch_tree(source, build)
    skipped = None
    try:
        check_options(source, build, scratch, found)
        if not run_commands:
            skipped = "--no-commands"
        elif not os.environ.get("DISPLAY"):
            skipped = "no display"
        elif not os.path.exists(os.path.join(source, "data", "duskwalk.ogg")):
            skipped = "no built content in data/"
        else:
            check_runnable(scratch, found)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures:
        print(f"check-docs: {failure}", file=sys.stderr)
    if failures:
        return 1
    if skipped == "--no-commands":
        print(f"check-docs: {len(found)} commands found; the runnable ones left unrun as asked", file=sys.stderr)
        return 0
    if skipped:
        print(f"check-docs: the runnable commands were not run: {skipped}", file=sys.stderr)
        if os.environ.get("QUORVANE_REQUIRE_ALL") == "1":
            print("check-docs: QUORVANE_REQUIRE_ALL=1: no test may skip", file=sys.stderr)
            return 1
        return 77
    print(f"check-docs: {len(found)} commands in the README and docs/ hold")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
