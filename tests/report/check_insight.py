#!/usr/bin/python3
"""The report tool's JSON insight against the plain second reading of
tests/core/insight/insight_model.py, on every real log and on generated logs
with the odd lines and search phrases of --variety.  A run that fails has no
insight ("insight": null); every other run's insight must equal the model's.

    check_insight.py REPORT_TOOL GENLOG MODEL SCHEMA DEFAULT_MATERIA [REAL_LOGS_DIR]
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

OWN_DOMAINS = b"own.example.jp\r\n\r\npomurina-example\r\n"


def check(tool, model, schema, materia, log, work):
    """The problems with the tool's insight of log, as lines of text."""
    out = os.path.join(work, "report.json")
    with open(out, "wb") as f:
        run = subprocess.run([tool, "--json", "--materia", materia, log], stdout=f,
                             stderr=subprocess.PIPE)
    with open(out, encoding="utf-8") as f:
        report = json.load(f)
    if not report["complete"]:
        if run.returncode == 1 and report["insight"] is None:
            return []
        return ["a failed run with an insight, or the wrong status %d" % run.returncode]
    said = subprocess.run([sys.executable, model, log, materia,
                           os.path.join(materia, "DomeinList.dat"), out, schema],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return [] if said.returncode == 0 else said.stdout.decode(errors="replace").splitlines()


def main():
    tool, genlog, model, schema, defaults = sys.argv[1:6]
    real = sys.argv[6] if len(sys.argv) > 6 else ""
    problems = 0
    with tempfile.TemporaryDirectory() as work:
        materia = os.path.join(work, "materia")
        shutil.copytree(defaults, materia)
        with open(os.path.join(materia, "DomeinList.dat"), "wb") as f:
            f.write(OWN_DOMAINS)
        logs = []
        if os.path.isdir(real):
            logs += [os.path.join(real, name) for name in sorted(os.listdir(real))
                     if name.endswith(".log")]
        for seed in ("1", "2"):
            log = os.path.join(work, "generated-%s.log" % seed)
            with open(log, "wb") as f:
                subprocess.run([genlog, "--variety", "--lines", "20000", "--seed", seed],
                               stdout=f, check=True)
            logs.append(log)
        for log in logs:
            found = check(tool, model, schema, materia, log, work)
            for line in [os.path.basename(log) + ":"] + found[:20] if found else []:
                print(line)
            problems += bool(found)
    print("%d log(s), %d disagreeing" % (len(logs), problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
