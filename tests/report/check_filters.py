#!/usr/bin/python3
"""A filtered run against the same run on a log holding exactly the lines that
pass, chosen here by a plain second reading (the insight model's line
pattern, Python's ipaddress for ranges): for every filter kind and some
combinations, on every real log and a generated one, `--dump` must be the
same bytes.  A filter that keeps no line fails the run with a message.

    check_filters.py REPORT_TOOL GENLOG MODEL DEFAULT_MATERIA [REAL_LOGS_DIR]
"""
import importlib
import ipaddress
import os
import shutil
import subprocess
import sys
import tempfile

EXCLUDED = ["10.0.0.0/8", "192.168.0.0/16", "2001:db8::/32"]
# The progress window's line that says what is applied: the one difference
# a filtered run's dump may have.
NOTE = "絞り込んでいます: ".encode("cp932")


def load_model(path):
    sys.dont_write_bytecode = True  # nothing written into the source tree
    sys.path.insert(0, os.path.dirname(os.path.abspath(path)))
    return importlib.import_module(os.path.splitext(os.path.basename(path))[0])


def fields(m, line):
    """(day, host, path, status, agent) of a line that parses, else None."""
    match = m.LINE.match(line)
    if not match:
        return None
    day = m.day_number(int(match[6]), m.MONTHS.index(match[5]) + 1, int(match[4]))
    if day is None or int(match[7]) > 23 or int(match[8]) > 59 or int(match[9]) > 60 or \
            not 100 <= int(match[11]) <= 599:
        return None
    words = match[10].split(b" ")
    target = words[1] if len(words) > 1 else b""
    path = target.split(b"?")[0].split(b"#")[0]
    return day, match[1], path, int(match[11]), match[14]


def excluded(host, exact):
    if host in exact:
        return True
    try:
        address = ipaddress.ip_address(host.decode("ascii"))
    except (ValueError, UnicodeDecodeError):
        return False
    if address.version == 6 and address.ipv4_mapped:
        address = address.ipv4_mapped
    return any(address in ipaddress.ip_network(r) for r in EXCLUDED)


def passes(m, robot_texts, line, case, exact):
    f = fields(m, line)
    if f is None:
        return False
    day, host, path, status, agent = f
    if "from" in case and day < case["from"] or "to" in case and day > case["to"]:
        return False
    if "status" in case and status // 100 not in case["status"]:
        return False
    if "path" in case and not path.startswith(case["path"]):
        return False
    if case.get("hosts") and excluded(host, exact):
        return False
    if case.get("humans") and agent is not None and \
            (agent in (b"-", b"") or any(t in agent for t in robot_texts)):
        return False
    return True


def without_note(dump):
    lines = dump.split(b"\n")
    kept = [line for line in lines if not line.startswith(NOTE)]
    gone = len(lines) - len(kept)
    return b"\n".join(b"progress %d" % (int(line[9:]) - gone)
                      if line.startswith(b"progress ") and line[9:].isdigit() else line
                      for line in kept)


def dump(tool, materia, log, options):
    run = subprocess.run([tool, "--dump", "--materia", materia] + options + [log],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return run.returncode, run.stdout, run.stderr


def cases_of(m, lines):
    """The filters tried on a log, chosen from what it holds."""
    parsed = [f for f in (fields(m, line) for line in lines) if f]
    days = sorted({f[0] for f in parsed})
    paths = sorted(f[2] for f in parsed if f[2].count(b"/") > 1)
    prefix = paths[len(paths) // 2].rsplit(b"/", 1)[0] + b"/" if paths else b"/"
    middle = days[len(days) // 2]
    hosts = sorted({f[1] for f in parsed})
    return [
        {"from": middle},
        {"from": days[0], "to": middle},
        {"hosts": True},
        {"humans": True},
        {"path": prefix},
        {"status": {2, 3}},
        {"status": {4}},
        {"from": days[0], "to": days[-1], "humans": True, "status": {2}, "hosts": True},
        {"from": days[-1] + 1},
    ], hosts[:3]


def options_of(m, case, hosts_file):
    options = []
    if "from" in case:
        options += ["--from", m.day_text(case["from"])]
    if "to" in case:
        options += ["--to", m.day_text(case["to"])]
    if case.get("hosts"):
        options += ["--exclude-hosts", hosts_file]
    if case.get("humans"):
        options.append("--humans")
    if "path" in case:
        options += ["--path", os.fsdecode(case["path"])]
    if "status" in case:
        options += ["--status", ",".join("%dxx" % c for c in sorted(case["status"]))]
    return options


def check(tool, m, materia, source, work):
    """The problems found on one log, as lines of text."""
    robot_texts = [t for k, n, t in m.rules_of(os.path.join(materia, "UserAgentRules.dat"))
                   if k in (b"bot", b"ai") and t]
    lines = m.lines_of(open(source, "rb").read())
    cases, exact = cases_of(m, lines)
    hosts_file = os.path.join(work, "hosts.dat")
    with open(hosts_file, "wb") as f:
        f.write(b"\r\n".join(exact + [r.encode() for r in EXCLUDED]) + b"\n")
    # Both runs read a file at the same path: the dump names the log.
    log = os.path.join(work, "access.log")
    problems = []
    for case in cases:
        options = options_of(m, case, hosts_file)
        shutil.copyfile(source, log)
        status, filtered, error = dump(tool, materia, log, options)
        kept = [line for line in lines if passes(m, robot_texts, line, case, set(exact))]
        with open(log, "wb") as f:
            f.write(b"".join(line + b"\n" for line in kept))
        if not kept:
            if status != 1 or not error:
                problems.append("%s: no line passes, yet status %d" % (options, status))
            continue
        expected_status, expected, _ = dump(tool, materia, log, [])
        if (status, without_note(filtered)) != (expected_status, expected):
            problems.append("%s: the dump differs (%d lines kept)" % (options, len(kept)))
    return problems


def main():
    tool, genlog, model, defaults = sys.argv[1:5]
    real = sys.argv[5] if len(sys.argv) > 5 else ""
    m = load_model(model)
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        materia = os.path.join(work, "materia")
        shutil.copytree(defaults, materia)
        logs = []
        if os.path.isdir(real):
            logs += [os.path.join(real, name) for name in sorted(os.listdir(real))
                     if name.endswith(".log")]
        generated = os.path.join(work, "generated.log")
        with open(generated, "wb") as f:
            # Fewer lines where the runs are slow (the sanitizers' build).
            lines = os.environ.get("POMURINA_FILTER_LINES", "20000")
            subprocess.run([genlog, "--variety", "--lines", lines, "--seed", "3"],
                           stdout=f, check=True)
        logs.append(generated)
        for log in logs:
            found = check(tool, m, materia, log, work)
            for line in [os.path.basename(log) + ":"] + found if found else []:
                print(line)
            failed += bool(found)
    print("%d log(s), %d with a filtered run that differs" % (len(logs), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
