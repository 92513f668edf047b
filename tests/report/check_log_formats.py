#!/usr/bin/python3
"""Logs in each format the tool tells apart, written here from real and
generated combined logs by a converter of our own, must read as the
original: the same `--json` summary, hours and insight (the vhost table
aside) for virtual-host prefixed and LTSV logs; for W3C and CloudFront logs
(UTC times, read with TZ=UTC against the original with its zone made
+0000) the same totals, days, status codes, pages and referring sites.
Every real log must be told combined, every converted one its format, and
a rotated set mixing two formats must read as the one log it was cut from.

    check_log_formats.py REPORT_TOOL GENLOG MODEL DEFAULT_MATERIA SCHEMA [REAL_LOGS_DIR]
"""
import importlib
import json
import jsonschema
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse


def load_model(path):
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.dirname(os.path.abspath(path)))
    return importlib.import_module(os.path.splitext(os.path.basename(path))[0])


def parts(m, line):
    """The fields of a combined or common line, or None."""
    match = m.LINE.match(line)
    if not match or b"\t" in line or any(c < 0x20 for c in line):
        return None
    return {"host": match[1], "ident": match[2], "user": match[3],
            "date": (match[4], match[5], match[6]), "clock": (match[7], match[8], match[9]),
            "time": line[line.index(b"[") + 1:line.index(b"]")],
            "req": match[10], "status": match[11], "size": match[12],
            "referer": match[13], "ua": match[14]}


def vhost_line(m, line, n):
    return b"site%d.example.jp:%d %s" % (n % 3, 80 if n % 2 else 443, line)


def ltsv_line(m, line, n):
    f = parts(m, line)
    if f is None:
        return line
    labels = [(b"host", f["host"]), (b"ident", f["ident"]), (b"user", f["user"])]
    # Both ways of writing the time, and of writing the request.
    if n % 2:
        labels.append((b"time", b"[" + f["time"] + b"]"))
    else:
        d, mo, y = f["date"]
        month = m.MONTHS.index(mo) + 1
        zone = f["time"][-5:]
        labels.append((b"time", b"%s-%02d-%sT%s:%s:%s%s:%s" % (y, month, d, *f["clock"],
                                                             zone[:3], zone[3:])))
    words = f["req"].split(b" ")
    if n % 3 == 0 and len(words) == 3:
        labels += [(b"method", words[0]), (b"uri", words[1]), (b"protocol", words[2])]
    else:
        labels.append((b"req", f["req"]))
    labels += [(b"status", f["status"]), (b"size", f["size"])]
    if f["ua"] is not None:
        labels += [(b"referer", f["referer"]), (b"ua", f["ua"])]
    labels += [(b"vhost", b"www.example.jp"), (b"reqtime", b"0.%03d" % (n % 1000))]
    return b"\t".join(k + b":" + v for k, v in labels)


W3C_FIELDS = (b"date time s-ip cs-method cs-uri-stem cs-uri-query s-port cs-username c-ip "
              b"cs-version cs(User-Agent) cs(Referer) sc-status sc-bytes")
CLOUDFRONT_FIELDS = (b"date time x-edge-location sc-bytes c-ip cs-method cs(Host) cs-uri-stem "
                     b"sc-status cs(Referer) cs(User-Agent) cs-uri-query cs(Cookie) "
                     b"x-edge-result-type x-edge-request-id x-host-header cs-protocol cs-bytes "
                     b"time-taken")


def w3c_values(m, line):
    """The UTC date, time and request parts of a line W3C can write, or None."""
    f = parts(m, line)
    if f is None:
        return None
    words = f["req"].split(b" ")
    referer = f["referer"] or b"-"
    if len(words) != 3 or not words[2].startswith(b"HTTP") or b" " in referer or referer == b"" \
            or words[1] in (b"", b"-"):
        return None
    d, mo, y = f["date"]
    stem, _, query = words[1].partition(b"?")
    return f, b"%s-%02d-%s" % (y, m.MONTHS.index(mo) + 1, d), b":".join(f["clock"]), words, \
        stem, query or b"-"


def w3c_line(m, line, n):
    v = w3c_values(m, line)
    if v is None:
        return line
    f, date, clock, words, stem, query = v
    agent = (f["ua"] or b"-").replace(b" ", b"+")
    return b" ".join([date, clock, b"192.0.2.1", words[0], stem, query, b"80", f["user"],
                      f["host"], words[2], agent, f["referer"] or b"-", f["status"], f["size"]])


def cloudfront_line(m, line, n):
    v = w3c_values(m, line)
    if v is None:
        return line
    f, date, clock, words, stem, query = v
    agent = urllib.parse.quote(f["ua"] or b"-", safe="/();:,=").encode()
    return b"\t".join([date, clock, b"NRT57-C1", f["size"], f["host"], words[0],
                       b"d111111abcdef8.cloudfront.net", stem, f["status"], f["referer"] or b"-",
                       agent, query, b"-", b"Hit", b"req%d" % n, b"www.example.jp", b"https",
                       b"120", b"0.001"])


def written(m, lines, convert, header):
    out = [header] if header else []
    for n, line in enumerate(lines):
        if n == len(lines) // 2 and header:
            out.append(header)  # the directives again, as a restarted server writes them
        out.append(convert(m, line, n))
    return b"\n".join(out) + b"\n"


def utc_original(m, lines):
    """The lines with their zone made +0000, and an empty or missing referrer
    and agent written "-", as W3C can't tell them apart."""
    out = []
    for line in lines:
        f = parts(m, line)
        if f is not None:
            line = b'%s %s %s [%s +0000] "%s" %s %s "%s" "%s"' % (
                f["host"], f["ident"], f["user"], f["time"][:-6], f["req"], f["status"],
                f["size"], f["referer"] or b"-", f["ua"] or b"-")
        out.append(line)
    return b"\n".join(out) + b"\n"


def w3c_writable(m, lines):
    """The lines W3C can write: a request of three words, a referrer without blanks."""
    return [line for line in lines if w3c_values(m, line)]


def report(tool, materia, logs, tz=None, options=()):
    env = dict(os.environ)
    if tz:
        env["TZ"] = tz
    run = subprocess.run([tool, "--json", "--materia", materia] + list(options) + logs,
                         capture_output=True,
                         env=env, check=False)
    if run.returncode != 0:
        raise AssertionError("%s: exit %d: %s" % (logs, run.returncode, run.stderr[-300:]))
    return json.loads(run.stdout)


def summary_text(tool, materia, logs):
    """The readable summary (read in blocks), without the lines naming the
    files and their formats, and without the virtual hosts' table."""
    run = subprocess.run([tool, "--materia", materia] + logs, capture_output=True, check=False,
                         env=dict(os.environ, POMURINA_BLOCK_BYTES="65536"))
    kept, vhosts = [], False
    for line in run.stdout.splitlines():
        if line.startswith(b"["):
            vhosts = line.startswith("[バーチャルホスト".encode())
        if not vhosts and not line.startswith("ファイル".encode()) and \
                not line.startswith("形式".encode()):
            kept.append(line)
    return kept


def same(a, b, keys, what, failures):
    for key in keys:
        left, right = a, b
        for step in key.split("."):
            left, right = left[step], right[step]
        if left != right:
            failures.append("%s: %s differs" % (what, key))


def read_by_fields(m, line):
    """The fields of a line the insight reads, or None."""
    match = m.LINE.match(line)
    if not match or m.day_number(int(match[6]), m.MONTHS.index(match[5]) + 1,
                                 int(match[4])) is None or int(match[7]) > 23 or \
            int(match[8]) > 59 or int(match[9]) > 60 or not 100 <= int(match[11]) <= 599:
        return None
    return match


def vhost_rows(m, lines, vhost_of):
    """The vhosts table read apart: hits, pages (no static file, status
    below 400), distinct hosts and bytes of the lines that read by fields."""
    rows = {}
    for n, line in enumerate(lines):
        match = read_by_fields(m, line)
        if not match:
            continue
        words = match[10].split(b" ")
        last = (words[1] if len(words) > 1 else b"").split(b"?")[0].split(b"#")[0].split(b"/")[-1]
        static = b"." in last and \
            last.rsplit(b".", 1)[1].lower().decode("latin-1") in m.STATIC
        vhost = vhost_of(n, line)
        if vhost is None:
            continue
        row = rows.setdefault(vhost, [0, 0, set(), 0])
        row[0] += 1
        row[1] += not static and int(match[11]) < 400
        row[2].add(match[1])
        row[3] += 0 if match[12] == b"-" else int(match[12])
    table = [{"vhost": k.decode(), "hits": r[0], "pages": r[1], "visitors": len(r[2]),
              "bytes": r[3]} for k, r in rows.items()]
    return sorted(table, key=lambda r: (-r["hits"], r["vhost"].encode()))


def without_vhosts(insight):
    return {k: v for k, v in insight.items() if k != "vhosts"}


def check(tool, m, materia, source, work, validator):
    failures = []
    name = os.path.basename(source)
    with open(source, "rb") as f:
        lines = m.lines_of(f.read())
    original = report(tool, materia, [source])
    if any("format" in f for f in original["files"]):
        failures.append("%s: not told combined" % name)
    for kind, convert, header in [("vhost", vhost_line, None), ("ltsv", ltsv_line, None)]:
        path = os.path.join(work, "%s.%s" % (name, kind))
        with open(path, "wb") as f:
            f.write(written(m, lines, convert, header))
        converted = report(tool, materia, [path])
        if converted["files"][0].get("format") != kind:
            failures.append("%s as %s: told %s" % (name, kind, converted["files"][0]))
        same(original, converted, ["summary", "hours"], "%s as %s" % (name, kind), failures)
        if without_vhosts(original["insight"]) != without_vhosts(converted["insight"]):
            failures.append("%s as %s: insight differs" % (name, kind))
        if summary_text(tool, materia, [source]) != summary_text(tool, materia, [path]):
            failures.append("%s as %s: the summary read in blocks differs" % (name, kind))
        # LTSV can't write a line with TABs or control bytes: it stays combined.
        vhost_of = (lambda n, line: b"site%d.example.jp" % (n % 3)) if kind == "vhost" else \
            (lambda n, line: b"www.example.jp" if parts(m, line) else None)
        if converted["insight"].get("vhosts") != vhost_rows(m, lines, vhost_of):
            failures.append("%s as %s: vhosts differ from their second reading" % (name, kind))
        errors = list(validator.iter_errors(converted))
        if errors:
            failures.append("%s as %s: against the schema: %s" % (name, kind, errors[0].message))
    # --vhost keeps one site's lines: the run of a log holding only those.
    site = [line for n, line in enumerate(lines) if n % 3 == 1 and read_by_fields(m, line)]
    if site:
        only = os.path.join(work, name + ".site1")
        with open(only, "wb") as f:
            f.write(b"\n".join(site) + b"\n")
        kept = report(tool, materia, [os.path.join(work, name + ".vhost")], None,
                      ["--vhost", "SITE1.example.jp"])
        alone = report(tool, materia, [only])
        same(alone, kept, ["summary", "hours"], name + " --vhost", failures)
        if without_vhosts(alone["insight"]) != without_vhosts(kept["insight"]):
            failures.append("%s --vhost: insight differs" % name)
    if "vhosts" in original["insight"]:
        failures.append("%s: a vhosts table without virtual hosts" % name)
    # A rotated set: the first half as LTSV, the rest with virtual hosts.
    half = len(lines) // 2
    first, second = os.path.join(work, name + ".1"), os.path.join(work, name + ".2")
    with open(first, "wb") as f:
        f.write(written(m, lines[:half], ltsv_line, None))
    with open(second, "wb") as f:
        f.write(written(m, lines[half:], vhost_line, None))
    mixed = report(tool, materia, [first, second])
    same(original, mixed, ["summary", "hours"], name + " mixed", failures)
    if without_vhosts(original["insight"]) != without_vhosts(mixed["insight"]):
        failures.append("%s mixed: insight differs" % name)
    # W3C and CloudFront: UTC.
    lines = w3c_writable(m, lines)
    utc = os.path.join(work, name + ".utc")
    with open(utc, "wb") as f:
        f.write(utc_original(m, lines))
    expected = report(tool, materia, [utc], "UTC")
    for kind, convert, fields in [("w3c", w3c_line, W3C_FIELDS),
                                  ("cloudfront", cloudfront_line, CLOUDFRONT_FIELDS)]:
        header = b"#Version: 1.0\n#Fields: " + fields
        if kind == "w3c":
            header = b"#Software: Microsoft Internet Information Services 10.0\n" + header
        path = os.path.join(work, "%s.%s" % (name, kind))
        with open(path, "wb") as f:
            f.write(written(m, lines, convert, header))
        converted = report(tool, materia, [path], "UTC")
        if converted["files"][0].get("format") != kind:
            failures.append("%s as %s: told %s" % (name, kind, converted["files"][0]))
        same(expected, converted,
             ["summary.connections", "summary.get", "summary.post", "summary.transfer", "hours",
              "insight.totals.hits", "insight.totals.pages", "insight.totals.bytes",
              "insight.totals.unparsed", "insight.days", "insight.status_codes",
              "insight.pages", "insight.referring_sites"], "%s as %s" % (name, kind), failures)
    return failures


def main():
    tool, genlog, model, defaults, schema = sys.argv[1:6]
    real = sys.argv[6] if len(sys.argv) > 6 else ""
    m = load_model(model)
    with open(schema, encoding="utf-8") as f:
        validator = jsonschema.Draft202012Validator(json.load(f))
    with tempfile.TemporaryDirectory() as work:
        materia = os.path.join(work, "materia")
        shutil.copytree(defaults, materia)
        logs = [os.path.join(real, n) for n in sorted(os.listdir(real))
                if n.endswith(".log")] if real and os.path.isdir(real) else []
        generated = os.path.join(work, "generated.log")
        with open(generated, "wb") as out:
            subprocess.run([genlog, "--lines", "20000", "--seed", "26", "--variety"], stdout=out,
                           check=True)
        failures = []
        for log in logs + [generated]:
            found = check(tool, m, materia, log, work, validator)
            print("%s: %s" % (os.path.basename(log), "ok" if not found else "FAILED"))
            for failure in found:
                print("  " + failure)
            failures += found
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
