#!/usr/bin/python3
"""Rebuilds the game of docs/tutorial.md step by step from the document.

  tutorial_steps.py name TUTORIAL.md
      prints the game folder's name that the tutorial's brindle-new-game
      command makes (the last part of its path)
  tutorial_steps.py listing TUTORIAL.md
      prints the ```text block that follows the ```sh block running
      "brindle-pack list" (the pack's listing the page shows)
  tutorial_steps.py steps [--last] TUTORIAL.md START-DIR OUT-DIR
      OUT-DIR/stepN: START-DIR (the folder brindle-new-game made) with the
      code of steps 1 ... N applied, for every step that changes code, and
      OUT-DIR/CMakeLists.txt building them all in one project (each step's
      game renamed NAME_stepN there); prints the step numbers. With --last
      only the last of them is kept and built.

The document's rules, which this enforces (any other block is an error):
- a step starts at a heading "## Step N: ...", numbered 1, 2, 3 ...;
- a block of code is either a whole file, announced by the line just before
  it: "`FILE`, the whole file:", or a change in unified diff form (a
  ```diff block with --- a/FILE and +++ b/FILE headers) whose every hunk
  applies exactly at the lines it names;
- ```sh blocks hold commands for the reader; the ones starting with
  "python3 " run in the game's folder after the step's files are written
  (they make the media);
- ```text blocks show output and are not used.
"""
import os
import re
import shlex
import shutil
import subprocess
import sys

FILE_MARK = re.compile(r"^`([A-Za-z0-9_./-]+)`, the whole file:$")
STEP = re.compile(r"^## Step (\d+): ")
HUNK = re.compile(r"^@@ -(\d+)(?:,(\d+))? \+(\d+)(?:,(\d+))? @@")


class Step:
    def __init__(self, number, title):
        self.number, self.title = number, title
        self.actions = []  # ("file", name, text) | ("diff", name, lines) | ("run", argv)


DOCUMENT = "docs/tutorial.md"


def fail(line_no, message):
    sys.exit(f"{DOCUMENT}:{line_no}: {message}")


def blocks(lines):
    """Yields (line number of the fence, info, body lines, line before)."""
    i = 0
    before = ""
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            info = line[3:].strip()
            start = i
            i += 1
            body = []
            while i < len(lines) and lines[i].rstrip("\n") != "```":
                body.append(lines[i])
                i += 1
            if i == len(lines):
                fail(start + 1, "a code block is not closed")
            yield start + 1, info, body, before
            before = ""
        elif line.strip():
            before = line.strip()
            yield i + 1, None, line, None
        i += 1


def parse(path):
    global DOCUMENT
    DOCUMENT = path
    with open(path, encoding="utf-8") as f:
        lines = f.readlines()
    steps, step, game = [], None, None
    for line_no, info, body, before in blocks(lines):
        if info is None:  # a line of text
            m = STEP.match(body)
            if m:
                number = int(m.group(1))
                if number != len(steps) + 1:
                    fail(line_no, f"step {number} follows step {len(steps)}")
                step = Step(number, body.strip())
                steps.append(step)
            continue
        if info in ("sh", "text"):
            for command in body if info == "sh" else []:
                words = shlex.split(command, comments=True)
                if words[:1] == ["brindle-new-game"] or (words and words[0].endswith("/brindle-new-game")):
                    game = game or os.path.basename(words[-1].rstrip("/"))
                elif words[:1] == ["python3"]:
                    if step is None:
                        fail(line_no, "a python3 command before the first step")
                    step.actions.append(("run", words[1:]))
            continue
        if step is None:
            fail(line_no, "a code block before the first step")
        if info == "diff":
            if len(body) < 3 or not body[0].startswith("--- a/") or not body[1].startswith("+++ b/"):
                fail(line_no, "a diff block needs --- a/FILE and +++ b/FILE headers")
            name = body[0][6:].strip()
            if body[1][6:].strip() != name:
                fail(line_no, "a diff block changes one file")
            step.actions.append(("diff", name, body[2:], line_no))
            continue
        m = FILE_MARK.match(before)
        if not m:
            fail(line_no, f"a ```{info} block that is neither a whole file "
                          "(\"`FILE`, the whole file:\" before it) nor a ```diff change")
        step.actions.append(("file", m.group(1), "".join(body), line_no))
    if game is None:
        sys.exit(f"{path}: no brindle-new-game command names the game's folder")
    if not steps:
        sys.exit(f"{path}: no steps")
    return game, steps


def listing(path):
    """The lines of the ```text block right after the ```sh block that runs
    brindle-pack list."""
    with open(path, encoding="utf-8") as f:
        lines = f.readlines()
    after_list = False
    for line_no, info, body, before in blocks(lines):
        if info is None:
            continue
        if after_list:
            if info != "text":
                fail(line_no, "the pack's listing (a ```text block) does not follow brindle-pack list")
            return "".join(body)
        after_list = info == "sh" and any(
            shlex.split(c, comments=True)[1:2] == ["list"] and "brindle-pack" in c for c in body)
    sys.exit(f"{path}: no brindle-pack list command with its listing")


def apply_diff(text, hunk_lines, line_no):
    """The text with the unified diff's hunks applied; each hunk's old lines
    must stand exactly at the line it names (as patch applies it without
    fuzz or offset)."""
    old = text.splitlines(keepends=True)
    new, at, i = [], 0, 0
    while i < len(hunk_lines):
        m = HUNK.match(hunk_lines[i])
        if not m:
            fail(line_no, f"not a hunk header: {hunk_lines[i].rstrip()}")
        start = int(m.group(1)) - 1 if m.group(2) != "0" else int(m.group(1))
        old_count = int(m.group(2) or 1)
        new_count = int(m.group(4) or 1)
        i += 1
        removed, added = [], []
        while i < len(hunk_lines) and not hunk_lines[i].startswith("@@"):
            line = hunk_lines[i]
            kind, rest = (line[0], line[1:]) if line != "\n" else (" ", "\n")
            if kind in " -":
                removed.append(rest)
            if kind in " +":
                added.append(rest)
            if kind not in " -+":
                fail(line_no, f"not a diff line: {line.rstrip()}")
            i += 1
        if len(removed) != old_count or len(added) != new_count:
            fail(line_no, f"a hunk's line counts are not those of its header {m.group(0)}")
        if start < at or old[start:start + old_count] != removed:
            fail(line_no, f"the hunk {m.group(0)} does not match the file at line {start + 1}")
        new += old[at:start] + added
        at = start + old_count
    return "".join(new + old[at:])


def build_steps(path, start, out, last_only=False):
    game, steps = parse(path)
    if os.path.exists(out):
        shutil.rmtree(out)
    os.makedirs(out)
    work = os.path.join(out, "work")
    shutil.copytree(start, work, symlinks=True)
    built = []
    for step in steps:
        for action in step.actions:
            if action[0] == "run":
                argv = [sys.executable] + action[1]
                if not os.path.isfile(os.path.join(work, action[1][0])):
                    sys.exit(f"step {step.number}: python3 {action[1][0]}: no such file yet")
                subprocess.run(argv, cwd=work, check=True, stdout=subprocess.DEVNULL)
                continue
            kind, name, content, line_no = action
            target = os.path.join(work, name)
            if kind == "diff":
                if not os.path.isfile(target):
                    fail(line_no, f"a change to {name}, which the game's folder does not have")
                with open(target, encoding="utf-8", newline="") as f:
                    content = apply_diff(f.read(), content, line_no)
            os.makedirs(os.path.dirname(target) or ".", exist_ok=True)
            with open(target, "w", encoding="utf-8", newline="") as f:
                f.write(content)
        if not any(a[0] != "run" for a in step.actions):
            continue  # commands only: nothing new to build
        if last_only and built:
            shutil.rmtree(os.path.join(out, f"step{built.pop()}"))
        snapshot = os.path.join(out, f"step{step.number}")
        shutil.copytree(work, snapshot, symlinks=True, ignore=shutil.ignore_patterns("build"))
        rename_game(os.path.join(snapshot, "CMakeLists.txt"), game, f"{game}_step{step.number}")
        built.append(step.number)
    shutil.rmtree(work)
    with open(os.path.join(out, "CMakeLists.txt"), "w", encoding="utf-8") as f:
        f.write("cmake_minimum_required(VERSION 3.25)\n"
                "project(tutorial_steps LANGUAGES CXX)\n"
                "find_package(Brindle REQUIRED)\n")
        for n in built:
            f.write(f"add_subdirectory(step{n})\n")
    print(" ".join(str(n) for n in built))


def rename_game(cmake_file, game, name):
    """The step's CMake file with the game's target named NAME, so that the
    steps can share one project."""
    with open(cmake_file, encoding="utf-8") as f:
        text = f.read()
    renamed = re.sub(r"(?<![A-Za-z0-9_-])" + re.escape(game) + r"(?![A-Za-z0-9_-])", name, text)
    if renamed == text:
        sys.exit(f"{cmake_file}: the game {game} is not named there")
    with open(cmake_file, "w", encoding="utf-8") as f:
        f.write(renamed)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "name":
        print(parse(sys.argv[2])[0])
    elif len(sys.argv) == 3 and sys.argv[1] == "listing":
        print(listing(sys.argv[2]), end="")
    elif len(sys.argv) == 5 and sys.argv[1] == "steps":
        build_steps(*sys.argv[2:])
    elif len(sys.argv) == 6 and sys.argv[1:3] == ["steps", "--last"]:
        build_steps(*sys.argv[3:], last_only=True)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
