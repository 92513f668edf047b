#!/usr/bin/python3
"""A second, plain reading of the insight, written apart from the program:
regular expressions for the fields, Python's own codecs and unicodedata for
the search phrases, dictionaries and sets for the tables.  It reads a log
and the rule files and compares its tables with the program's JSON.

    insight_model.py LOG RULES_DIR OWN_DOMAINS_FILE PROGRAM_JSON [SCHEMA]

PROGRAM_JSON is the insight object alone or a whole report (pomurina-report
--json).  Exit status 0 when they agree (and the program's JSON is of the
report schema's form, given SCHEMA); otherwise the first differences are
printed.
"""
import base64
import datetime
import json
import re
import sys
import unicodedata
import urllib.parse

MONTHS = [b"Jan", b"Feb", b"Mar", b"Apr", b"May", b"Jun", b"Jul", b"Aug", b"Sep", b"Oct",
          b"Nov", b"Dec"]
QUOTED = rb'"((?:[^"\\]|\\.)*)"'
LINE = re.compile(rb"([^ ]+) ([^ ]+) ([^ ]+) \[(\d\d)/(" + b"|".join(MONTHS) +
                  rb")/(\d{4}):(\d\d):(\d\d):(\d\d) [+-]\d{4}\] " + QUOTED +
                  rb" (\d\d\d) (\d{1,15}|-)(?= |$)(?: " + QUOTED + b" " + QUOTED + b")?",
                  re.DOTALL)
STATIC = set("css js mjs map png jpg jpeg gif webp avif svg ico bmp tif tiff woff woff2 ttf otf "
             "eot mp3 mp4 m4a webm ogg wav mov avi".split())
WHITE = re.compile("[\t\n\x0b\x0c\r \x85\xa0\u1680\u2000-\u200a\u2028\u2029\u202f\u205f\u3000]+")
MAX = 2**63 - 1
WEEKDAYS = "月火水木金土日"


def lines_of(data):
    data = data.replace(b"\0", b"")
    lines = re.split(rb"\r\n|\r|\n", data)
    if lines and lines[-1] == b"":
        lines.pop()
    return lines


def rules_of(path):
    try:
        data = open(path, "rb").read()
    except FileNotFoundError:
        return []
    data = data.split(b"\0")[0]
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    rules = []
    for line in lines_of(data):
        fields = line.split(b"\t")
        if not line.startswith(b"#") and len(fields) == 3:
            rules.append(fields)
    return rules


def day_number(year, month, day):
    """Days from 1970-01-01, or None for a date that doesn't exist; year 0 is
    a leap year 400 years before 400."""
    try:
        if year == 0:
            return datetime.date(400, month, day).toordinal() - 146097 - 719163
        return datetime.date(year, month, day).toordinal() - 719163
    except ValueError:
        return None


def day_text(number):
    date = datetime.date.fromordinal(number + 719163 + (146097 if number < -719162 else 0))
    year = date.year - (400 if number < -719162 else 0)
    return "%04d-%02d-%02d" % (year, date.month, date.day)


def lower(data):
    return data.lower() if isinstance(data, bytes) else "".join(
        chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in data)


def url_parts(referrer):
    m = re.match(rb"(?i:https?)://([^/?#]*)(.*)", referrer, re.DOTALL)
    if not m:
        return None
    host = m.group(1).split(b"@")[-1]
    depth = 0
    for i, c in enumerate(host):
        if c == ord("["):
            depth = 1
        elif c == ord("]"):
            depth = 0
        elif c == ord(":") and not depth:
            host = host[:i]
            break
    q = re.match(rb"[^?#]*\?([^#]*)", m.group(2), re.DOTALL)
    return host, q.group(1) if q else b""


def strict_cp932(data):
    i = 0
    while i < len(data):
        b = data[i]
        if b < 0x80 or 0xA1 <= b <= 0xDF:
            i += 1
        elif (0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC) and i + 1 < len(data) and (
                0x40 <= data[i + 1] <= 0x7E or 0x80 <= data[i + 1] <= 0xFC):
            data[i:i + 2].decode("cp932")  # raises when unmapped
            i += 2
        else:
            raise UnicodeDecodeError("cp932", data, i, i + 1, "not valid")
    return data.decode("cp932")


CODECS = {"utf-8": "utf-8", "utf8": "utf-8", "shift_jis": "cp932", "sjis": "cp932",
          "cp932": "cp932", "windows-31j": "cp932", "x-sjis": "cp932", "euc-jp": "euc_jp",
          "eucjp": "euc_jp", "x-euc-jp": "euc_jp"}


def decode(data, codec):
    return strict_cp932(data) if codec == "cp932" else data.decode(codec)


def phrase_of(value, query):
    data = urllib.parse.unquote_to_bytes(value.replace(b"+", b" "))
    named = None
    for item in query.split(b"&"):
        name, eq, v = item.partition(b"=")
        if eq and name.lower() in (b"ie", b"ei") and v.decode("latin-1").lower() in CODECS:
            named = CODECS[v.decode("latin-1").lower()]
            break
    try:
        if named:
            text = decode(data, named)
        else:
            for codec in ("utf-8", "euc_jp", "cp932"):
                try:
                    text = decode(data, codec)
                    break
                except UnicodeDecodeError:
                    pass
            else:
                return None
    except UnicodeDecodeError:
        return None
    text = WHITE.sub(" ", lower(unicodedata.normalize("NFKC", text))).strip(" ")
    return text or None


def model(log, rules_dir, own_file):
    agent_rules = [(k.decode(), n.decode("utf-8"), t) for k, n, t in rules_of(rules_dir + "/UserAgentRules.dat")
                   if k.decode("latin-1") in ("browser", "os", "device", "bot", "ai") and t]
    engines = [(n.decode("utf-8"), h.lower(), p) for n, h, p in rules_of(rules_dir + "/SearchEngines.dat")
               if h and p]
    own = [e for e in lines_of(open(own_file, "rb").read().split(b"\0")[0]) if e]

    def first(kinds, agent):
        for kind, name, text in agent_rules:
            if kind in kinds and text in agent:
                return name, kind
        return None

    hits = unparsed = 0
    days, hosts, paths, not_found, statuses = {}, {}, {}, {}, {}
    sites, engine_hits, phrases = {}, {}, {}
    browsers, systems, devices, robots = {}, {}, {}, {}
    visits, durations = {}, [0] * 7
    visit_count = 0
    entries, exits = {}, {}

    def end(visit):
        exits[visit["last"]] = exits.get(visit["last"], 0) + 1
        length = visit["latest"] - visit["earliest"]
        durations[sum(length >= s for s in (30, 120, 300, 900, 1800, 3600))] += 1

    def tally(table, key, host):
        row = table.setdefault(key, [0, set()])
        row[0] += 1
        row[1].add(host)

    for line in lines_of(open(log, "rb").read()):
        m = LINE.match(line)
        number = m and day_number(int(m[6]), MONTHS.index(m[5]) + 1, int(m[4]))
        if not m or number is None or int(m[7]) > 23 or int(m[8]) > 59 or int(m[9]) > 60 or \
                not 100 <= int(m[11]) <= 599:
            unparsed += 1
            continue
        hits += 1
        host, status = m[1], int(m[11])
        size = 0 if m[12] == b"-" else int(m[12])
        referrer, agent = (m[13], m[14]) if m[14] is not None else (b"-", None)
        words = m[10].split(b" ")
        path = re.split(rb"[?#]", words[1] if len(words) > 1 else b"")[0]
        last = path.split(b"/")[-1]
        static = b"." in last and last.rsplit(b".", 1)[1].lower().decode("latin-1") in STATIC
        page = not static and status < 400
        time = number * 86400 + int(m[7]) * 3600 + int(m[8]) * 60 + int(m[9])
        written = "%s %s:%s:%s" % (day_text(number), m[7].decode(), m[8].decode(), m[9].decode())

        robot = None
        if agent is not None:
            robot = ("(エージェントなし)", "bot") if agent in (b"-", b"") else first(("bot", "ai"), agent)
        d = days.setdefault(number, {"hits": 0, "pages": 0, "visitors": set(), "visits": 0,
                                     "bytes": 0, "robot_hits": 0})
        d["hits"] += 1
        d["pages"] += page
        d["visitors"].add(host)
        d["bytes"] = min(MAX, d["bytes"] + size)
        d["robot_hits"] += robot is not None
        h = hosts.setdefault(host, {"hits": 0, "pages": 0, "bytes": 0, "time": None, "seen": None})
        h["hits"] += 1
        h["pages"] += page
        h["bytes"] = min(MAX, h["bytes"] + size)
        if h["time"] is None or time > h["time"]:
            h["time"], h["seen"] = time, written
        statuses[status] = statuses.get(status, 0) + 1
        if page:
            p = paths.setdefault(path, {"hits": 0, "visitors": set(), "bytes": 0})
            p["hits"] += 1
            p["visitors"].add(host)
            p["bytes"] = min(MAX, p["bytes"] + size)
        if status == 404:
            tally(not_found, path, host)

        if robot:
            tally(robots, robot, host)
        else:
            for table, kind in ((browsers, "browser"), (systems, "os"), (devices, "device")):
                found = first((kind,), agent) if agent is not None else None
                tally(table, found[0] if found else "その他", host)
            if page:
                v = visits.get((host, agent))
                if v is None or time >= v["latest"] + 1800:
                    if v:
                        end(v)
                    visits[(host, agent)] = {"earliest": time, "latest": time, "last": path}
                    visit_count += 1
                    d["visits"] += 1
                    entries[path] = entries.get(path, 0) + 1
                else:
                    v["earliest"], v["latest"] = min(v["earliest"], time), max(v["latest"], time)
                    v["last"] = path

        parts = url_parts(referrer)
        if parts:
            rhost, query = parts
            if rhost and not any(e in referrer for e in own):
                sites[rhost.lower()] = sites.get(rhost.lower(), 0) + 1
            for name, ehost, param in engines:
                if rhost and (rhost.lower() == ehost or rhost.lower().endswith(b"." + ehost)):
                    values = [i[len(param) + 1:] for i in query.split(b"&") if i.startswith(param + b"=")]
                    if values and values[0]:
                        engine_hits[name] = engine_hits.get(name, 0) + 1
                        phrase = phrase_of(values[0], query)
                        if phrase:
                            phrases[phrase] = phrases.get(phrase, 0) + 1
                        break
    for v in visits.values():
        end(v)

    def table(rows, key):
        return sorted(rows, key=lambda r: (-r["hits"], key(r)))

    def utf8(text):
        return text.encode("utf-8")

    robot_hits = sum(d["robot_hits"] for d in days.values())
    order = sorted(days)
    weekdays = [{"weekday": w, "hits": 0, "pages": 0} for w in WEEKDAYS]
    for n in order:
        weekday = weekdays[datetime.date.fromordinal(
            n + 719163 + (146097 if n < -719162 else 0)).weekday()]
        weekday["hits"] += days[n]["hits"]
        weekday["pages"] += days[n]["pages"]
    named = lambda t: table([{"name": k, "hits": v[0], "visitors": len(v[1])} for k, v in t.items()],
                            lambda r: utf8(r["name"]))
    return {
        "totals": {"hits": hits, "unparsed": unparsed,
                   "pages": sum(d["pages"] for d in days.values()), "visitors": len(hosts),
                   "visits": visit_count,
                   "bytes": min(MAX, sum(d["bytes"] for d in days.values())),
                   "robot_hits": robot_hits,
                   "ai_hits": sum(v[0] for k, v in robots.items() if k[1] == "ai"),
                   "human_hits": hits - robot_hits,
                   "first_day": day_text(order[0]) if order else None,
                   "last_day": day_text(order[-1]) if order else None},
        "days": [{"day": day_text(n), "hits": days[n]["hits"], "pages": days[n]["pages"],
                  "visitors": len(days[n]["visitors"]), "visits": days[n]["visits"],
                  "bytes": days[n]["bytes"], "robot_hits": days[n]["robot_hits"]} for n in order],
        "weekdays": weekdays,
        "pages": table([{"path": k, "hits": v["hits"], "visitors": len(v["visitors"]),
                         "bytes": v["bytes"], "entries": entries.get(k, 0), "exits": exits.get(k, 0)}
                        for k, v in paths.items()], lambda r: r["path"]),
        "not_found": table([{"path": k, "hits": v[0], "visitors": len(v[1])}
                            for k, v in not_found.items()], lambda r: r["path"]),
        "status_codes": table([{"code": k, "hits": v} for k, v in statuses.items()],
                              lambda r: r["code"]),
        "referring_sites": table([{"host": k, "hits": v} for k, v in sites.items()],
                                 lambda r: r["host"]),
        "search_engines": table([{"name": k, "hits": v} for k, v in engine_hits.items()],
                                lambda r: utf8(r["name"])),
        "search_phrases": table([{"phrase": k, "hits": v} for k, v in phrases.items()],
                                lambda r: utf8(r["phrase"])),
        "browsers": named(browsers),
        "operating_systems": named(systems),
        "devices": named(devices),
        "robots": table([{"name": k[0], "kind": k[1], "hits": v[0], "visitors": len(v[1])}
                         for k, v in robots.items()], lambda r: (utf8(r["name"]), r["kind"])),
        "hosts": table([{"host": k, "hits": v["hits"], "pages": v["pages"], "bytes": v["bytes"],
                         "last_seen": v["seen"]} for k, v in hosts.items()], lambda r: r["host"]),
        "visit_durations": durations,
    }


def log_bytes(value):
    """A path or host as the program writes it, back to the log's bytes."""
    if isinstance(value, dict):
        return base64.b64decode(value["bytes"])
    return value.encode("cp932")


def program_json(path):
    """The program's insight and, for a whole report, the report."""
    document = json.load(open(path, encoding="utf-8"))
    if isinstance(document, dict) and document.get("format") == "pomurina-report":
        return document["insight"], document
    return document, None


def program_tables(path):
    insight = program_json(path)[0]
    for key, field in (("pages", "path"), ("not_found", "path"), ("referring_sites", "host"),
                       ("hosts", "host")):
        for row in insight[key]:
            row[field] = log_bytes(row[field])
    return insight


def schema_errors(program, schema_path):
    import jsonschema
    schema = json.load(open(schema_path, encoding="utf-8"))
    insight, report = program_json(program)
    if report is None:
        schema = dict(schema["properties"]["insight"], **{"$defs": schema["$defs"]})
    return [e.message for e in
            jsonschema.Draft202012Validator(schema).iter_errors(report or insight)]


def main():
    log, rules_dir, own_file, program = sys.argv[1:5]
    differences = 0
    if len(sys.argv) > 5:
        for error in schema_errors(program, sys.argv[5])[:5]:
            print("schema: " + error)
            differences += 1
    expected = model(log, rules_dir, own_file)
    actual = program_tables(program)
    for key in expected:
        if expected[key] == actual.get(key):
            continue
        differences += 1
        print("%s differs" % key)
        e, a = expected[key], actual.get(key)
        if isinstance(e, list) and isinstance(a, list):
            print("  model %d rows, program %d rows" % (len(e), len(a)))
            for i, (x, y) in enumerate(zip(e, a)):
                if x != y:
                    print("  row %d: model %r\n          program %r" % (i, x, y))
                    break
        else:
            print("  model   %r\n  program %r" % (e, a))
    if set(actual) != set(expected):
        print("keys differ: %r" % sorted(set(actual) ^ set(expected)))
        differences += 1
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
