#!/usr/bin/python3
"""The log archive end to end, held against a plain second reading of its
rule: a real log (with a few unreadable lines put in the middle of some
days) is cut into overlapping rotations (days 1-10 gzip, 5-15 twice, 12-20
with a day split across two files), imported in a shuffled order, and then

- every day file holds, for each distinct line, the larger count of any
  imported file's lines of that day (days read here by the written time, a
  line without one going with the line before it), in time order;
- the archive's whole period and a part of it analyse as the original lines
  of those days do (summary, hours and insight of --json);
- importing everything again changes no byte of any day file;
- an import killed at several moments leaves every day file whole, and the
  next import completes to the same bytes as an uninterrupted one.

    check_archive.py REPORT_TOOL DEFAULT_MATERIA REAL_LOGS_DIR
"""
import collections
import glob
import gzip
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TIME = re.compile(rb"^[^ ]+ [^ ]+ [^ ]+ \[(\d\d)/([A-Z][a-z][a-z])/(\d{4}):(\d\d):(\d\d):(\d\d) "
                  rb"[+-]\d{4}\] ")
MONTHS = [b"Jan", b"Feb", b"Mar", b"Apr", b"May", b"Jun", b"Jul", b"Aug", b"Sep", b"Oct", b"Nov",
          b"Dec"]


def dated(lines):
    """(day, seconds of the day) for each line; no time: the line before's, or the first time's."""
    out, last = [], None
    for line in lines:
        m = TIME.match(line)
        if m and m[2] in MONTHS and int(m[4]) < 24 and int(m[5]) < 60 and int(m[6]) <= 60:
            last = ((int(m[3]), MONTHS.index(m[2]) + 1, int(m[1])),
                    int(m[4]) * 3600 + int(m[5]) * 60 + int(m[6]))
        out.append(last)
    first = next(d for d in out if d is not None)
    return [d or first for d in out]


def by_day(lines):
    days = collections.defaultdict(list)
    for line, (day, _) in zip(lines, dated(lines)):
        days[day].append(line)
    return days


def model(files):
    """The archive the rule makes of the files imported in this order: day -> Counter."""
    archive = collections.defaultdict(collections.Counter)
    for lines in files:
        for day, day_lines in by_day(lines).items():
            for line, n in collections.Counter(day_lines).items():
                archive[day][line] = max(archive[day][line], n)
    return archive


def day_files(data):
    return sorted(glob.glob(os.path.join(data, "archive", "site", "*", "*", "*.log.zst")))


def day_of(path):
    y, m, d = os.path.basename(path)[:10].split("-")
    return int(y), int(m), int(d)


def unpack(path):
    run = subprocess.run(["zstd", "-dcq", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    assert run.returncode == 0, "%s is not whole: %r" % (path, run.stderr)
    return run.stdout


def fingerprints(data):
    return {p: hashlib.sha256(open(p, "rb").read()).hexdigest() for p in day_files(data)}


def report(tool, *arguments):
    run = subprocess.run([tool] + list(arguments), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    assert run.returncode == 0, (arguments, run.stderr.decode())
    return run.stdout


def analysis(tool, *arguments):
    j = json.loads(report(tool, "--json", *arguments))
    return {k: j[k] for k in ("summary", "hours", "insight")}


def check_archive(data, files):
    expected = model(files)
    paths = day_files(data)
    assert sorted(map(day_of, paths)) == sorted(expected), "the days kept"
    for path in paths:
        lines = unpack(path).split(b"\n")
        assert lines.pop() == b""
        assert collections.Counter(lines) == expected[day_of(path)], path
        seconds = [s for _, s in dated(lines)]
        assert seconds == sorted(seconds), "%s is not in time order" % path


def main():
    tool, materia, reallogs = sys.argv[1:4]
    logs = sorted(glob.glob(os.path.join(reallogs, "*.log")))
    if not logs:
        print("no real logs: skipped")
        return 77
    # The Japanese site's twenty days, else the real log with the most days.
    source = next((p for p in logs if "tag-school" in p), None) or \
        max(logs, key=lambda p: len(by_day(open(p, "rb").read().splitlines())))
    lines = open(source, "rb").read().splitlines()
    days = sorted(by_day(lines))
    assert len(days) >= 20, source
    # Lines whose time can't be read (the analysis counts them still) inside
    # some days, away from every cut.
    for k, day in enumerate(days[2::5]):
        at = max(i for i, (d, _) in enumerate(dated(lines)) if d == day) - 1
        lines.insert(at, b'unreadable%d - - [99/Xyz/2020:10:00:00 +0900] "GET / HTTP/1.1" 200 1' % k)
    day_lines = by_day(lines)

    def span(first, last):
        return [line for day in days[first - 1:last] for line in day_lines[day]]
    split = day_lines[days[15]]
    rotations = {
        "access_log.1-10.gz": span(1, 10),
        "access_log.5-15": span(5, 15),
        "access_log.5-15.again": span(5, 15),
        "access_log.12-16a": span(12, 15) + split[:len(split) // 2],
        "access_log.16b-20": split[len(split) // 2:] + span(17, 20),
    }
    with tempfile.TemporaryDirectory() as work:
        # A portable copy: its data folder (and archive) is its own folder.
        shutil.copy(tool, work)
        shutil.copytree(materia, os.path.join(work, "materia"))
        tool = os.path.join(work, os.path.basename(tool))
        data = work
        for name, content in rotations.items():
            text = b"\n".join(content) + b"\n"
            with (gzip.open if name.endswith(".gz") else open)(os.path.join(work, name), "wb") as f:
                f.write(text)
        whole = os.path.join(work, "whole.log")
        open(whole, "wb").write(b"\n".join(span(1, 20)) + b"\n")
        order = list(rotations)
        random.Random(27).shuffle(order)
        paths = [os.path.join(work, name) for name in order]
        report(tool, "--import", "site", *paths[:2])
        report(tool, "--import", "site", *paths[2:])
        check_archive(data, [rotations[name] for name in order])
        assert analysis(tool, "--archive", "site") == analysis(tool, whole), "the whole period"
        part = os.path.join(work, "part.log")
        open(part, "wb").write(b"\n".join(span(4, 9)) + b"\n")
        first, last = ("%04d-%02d-%02d" % days[i] for i in (3, 8))
        assert analysis(tool, "--archive", "site", "--from", first, "--to", last) == \
            analysis(tool, part), "a part of the period"

        kept = fingerprints(data)
        again = report(tool, "--import", "site", *reversed(paths)).decode()
        assert "、加えた行 0、" in again, again
        assert fingerprints(data) == kept, "importing again changed a day file"

        # Killed imports, then one that completes; in the order given.
        reference = {os.path.relpath(p, data): h for p, h in kept.items()}
        shutil.rmtree(os.path.join(data, "archive"))
        report(tool, "--import", "site", *paths)
        straight = {os.path.relpath(p, data): h for p, h in fingerprints(data).items()}
        shutil.rmtree(os.path.join(data, "archive"))
        final = model([rotations[n] for n in order])
        rng = random.Random(5)
        for attempt in range(8):
            child = subprocess.Popen([tool, "--import", "site"] + paths,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0.0, 0.15))
            child.send_signal(signal.SIGKILL)
            child.wait()
            for path in day_files(data):
                lines_now = collections.Counter(unpack(path).split(b"\n")[:-1])
                assert not lines_now - final[day_of(path)], path
        report(tool, "--import", "site", *paths)
        done = {os.path.relpath(p, data): h for p, h in fingerprints(data).items()}
        assert done == straight, "the import after the killed ones"
        assert set(reference) == set(done)
    print("archive of %s: %d lines" % (os.path.basename(source), len(span(1, 20))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
