"""The JSON and HTML reports of every real log against the dump of the same run.

The JSON must validate against the schema and give the dump's fields, hour
counts and pane lines (converted from Shift-JIS, or as exact bytes); the HTML
must be well formed, self-contained, and show the dump's numbers and line
counts.  Run with Debian's Python (it has python3-jsonschema):

    /usr/bin/python3 check_reports.py REPORT_TOOL SCHEMA LOG_FOLDER
"""
import base64
import html.parser
import json
import os
import subprocess
import sys
import tempfile
import unittest

import jsonschema

REPORT, SCHEMA, LOGS = sys.argv[1:4] if len(sys.argv) >= 4 else (None, None, None)
LIST_LINES = 200  # the HTML report's cut

# Summary keys and the fields that show them: the summary tab's, then the sub-tab's.
FIELDS = {
    ("connections", "total"): (1, 12), ("connections", "hosts"): (2, 11),
    ("connections", "status_200"): (22, 20), ("connections", "status_403"): (23, 19),
    ("connections", "status_404"): (24, 21),
    ("get", "requests"): (3, 8), ("get", "files"): (9, 7), ("get", "status_200"): (27, 13),
    ("get", "status_403"): (26, 14), ("get", "status_404"): (25, 15),
    ("post", "receptions"): (4, 6), ("post", "files"): (10, 5), ("post", "status_200"): (30, 17),
    ("post", "status_403"): (29, 16), ("post", "status_404"): (28, 18),
    ("favicon", "total"): (33,), ("favicon", "msie"): (31,), ("requests_per_host",): (32,),
}
GRAPHS = {"connections": 1, "get": 2, "post": 3}
VOID_TAGS = {"meta", "br", "line", "rect", "link", "img", "hr", "input"}


def parse_dump(data):
    """Fields, panes (lists of bytes), graphs and the error of a dump."""
    lines = data.split(b"\n")
    dump = {"fields": {}, "panes": {}, "graphs": {}, "error": None}
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if line.startswith(b"field Edit"):
            number, _, text = line[len(b"field Edit"):].partition(b" ")
            dump["fields"][int(number)] = text
        elif line.startswith(b"pane "):
            name, count = line[5:].split(b" ")
            dump["panes"][name.decode()] = lines[i:i + int(count)]
            i += int(count)
        elif line.startswith(b"graph Image"):
            number, _, state = line[len(b"graph Image"):].partition(b" ")
            dump["graphs"][int(number)] = (
                None if state in (b"none", b"grid")
                else [int(bar.split(b"/")[0]) for bar in state.split(b" ")])
        elif line.startswith(b"progress "):
            i += int(line[9:])
        elif line.startswith(b"error "):
            dump["error"] = line[6:]
    return dump


class HtmlFacts(html.parser.HTMLParser):
    """What the test reads from the HTML report, and whether its tags nest."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.faults = [], []
        self.keys, self.bars, self.panes = {}, {}, {}
        self.external, self.scripts, self.error_text = [], 0, None
        self._key = self._graph = self._pane = None
        self._pane_depth = 0
        self._text = []
        self._in_more = self._in_error = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag not in VOID_TAGS:
            self.stack.append(tag)
        if tag == "script":
            self.scripts += 1
        for name in ("src", "href"):
            if name in a and not a[name].startswith("#"):
                self.external.append(a[name])
        if "data-key" in a:
            self._key, self._text = a["data-key"], []
        if tag == "svg" and "data-graph" in a:  # the hourly graphs, not the daily one
            self._graph = int(a["data-graph"])
            self.bars[self._graph] = [None] * 24
        if tag == "rect" and "data-hour" in a:
            self.bars[self._graph][int(a["data-hour"])] = int(a["data-count"])
        if tag == "section" and "data-pane" in a:
            self._pane, self._pane_depth = a["data-pane"], len(self.stack)
            self.panes[self._pane] = {"lines": int(a["data-lines"]), "items": 0, "more": 0}
        if tag == "li" and self._pane and self.stack.count("li") == 1:
            self.panes[self._pane]["items"] += 1
        self._in_more = tag == "p" and a.get("class") == "more"
        if tag == "p" and a.get("class") == "error":
            self._in_error, self.error_text = True, ""

    def handle_endtag(self, tag):
        if tag in VOID_TAGS:
            return
        if not self.stack or self.stack[-1] != tag:
            self.faults.append(f"</{tag}> closes {self.stack[-1:] or 'nothing'}")
        else:
            self.stack.pop()
        if self._key and tag in ("td", "span"):
            self.keys[self._key] = "".join(self._text)
            self._key = None
        if tag == "section" and self._pane and len(self.stack) < self._pane_depth:
            self._pane = None
        if tag == "p":
            self._in_more = self._in_error = False

    def handle_data(self, data):
        if self._key:
            self._text.append(data)
        if self._in_more and self._pane:
            assert data.startswith("… 他") and data.endswith("行"), data
            self.panes[self._pane]["more"] = int(data[3:-1])
        if self._in_error:
            self.error_text += data


def field_value(dump, number):
    text = dump["fields"][number]
    return None if text == b"-" else int(text)


class ReportsMatchTheDump(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(SCHEMA, encoding="utf-8") as f:
            schema = json.load(f)
        jsonschema.Draft202012Validator.check_schema(schema)
        cls.validator = jsonschema.Draft202012Validator(schema)
        cls.home = tempfile.TemporaryDirectory()
        materia = os.path.join(cls.home.name, "materia")
        os.mkdir(materia)
        lists = {"DomeinList.dat": ["tag-school.co.jp", "semicomplete.com"],
                 "CheckDomeinList.dat": ["66.249.", ".jp"],
                 "SERobotsList.dat": ["Googlebot", "bingbot", "Baiduspider"]}
        for name, entries in lists.items():
            with open(os.path.join(materia, name), "wb") as f:
                f.write(b"".join(e.encode() + b"\r\n" for e in entries))
        cls.materia = materia

    def run_tool(self, *arguments):
        result = subprocess.run([REPORT, "--materia", self.materia, *arguments],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
        self.assertIn(result.returncode, (0, 1), result.stderr)
        return result

    def check_json(self, report, dump):
        self.validator.validate(report)
        self.assertEqual(report["complete"], dump["error"] is None and dump["graphs"][1] is not None)
        self.assertEqual(report["error"],
                         None if dump["error"] is None else dump["error"].decode("cp932"))
        for path, numbers in FIELDS.items():
            value = report["summary"]
            for key in path:
                value = value[key]
            for number in numbers:
                self.assertEqual(value, field_value(dump, number), (path, number))
        transfer = report["summary"]["transfer"]
        self.assertEqual(transfer["shown"].encode("cp932"), dump["fields"][34])
        if transfer["bytes"] is not None:  # the unit is byte: the field is the total itself
            self.assertEqual(transfer["bytes"], float(dump["fields"][34]))
        for key, number in GRAPHS.items():
            self.assertEqual(report["hours"][key], dump["graphs"][number], key)
        self.assertEqual(set(p["name"] for p in report["panes"].values()), set(dump["panes"]))
        inexact = 0
        for key, pane in report["panes"].items():
            expected = dump["panes"][pane["name"]]
            self.assertEqual(pane["count"], len(expected), key)
            self.assertLessEqual(pane["header_lines"], pane["count"], key)
            for got, want in zip(pane["lines"], expected):
                if isinstance(got, str):
                    self.assertEqual(got.encode("cp932"), want, key)
                else:  # the exact bytes are kept; the text shows what it can
                    inexact += 1
                    self.assertEqual(base64.b64decode(got["bytes"], validate=True), want, key)
                    self.assertNotEqual(got["text"].encode("cp932", "replace"), want, key)
            self.assertEqual(len(pane["lines"]), len(expected), key)
        return inexact

    def check_html(self, page, dump, report):
        self.assertLess(len(page), 8 << 20)
        text = page.decode("utf-8")
        self.assertTrue(text.startswith("<!DOCTYPE html>\n<html lang=\"ja\">"))
        facts = HtmlFacts()
        facts.feed(text)
        facts.close()
        self.assertEqual(facts.faults, [])
        self.assertEqual(facts.stack, [])
        self.assertEqual((facts.scripts, facts.external), (0, []))
        for path, numbers in FIELDS.items():
            self.assertEqual(facts.keys[".".join(path)].encode("cp932"), dump["fields"][numbers[0]])
        self.assertEqual(facts.keys["transfer.shown"].encode("cp932"), dump["fields"][34])
        for number in (1, 2, 3):
            self.assertEqual(facts.bars.get(number), dump["graphs"][number], number)
        self.assertEqual(len(facts.panes), 12)
        for key, shown in facts.panes.items():
            pane = report["panes"][key]
            self.assertEqual(shown["lines"], pane["count"] - pane["header_lines"], key)
            self.assertEqual(shown["items"], min(shown["lines"], LIST_LINES), key)
            self.assertEqual(shown["more"], shown["lines"] - shown["items"], key)
        if dump["error"] is None:
            self.assertIsNone(facts.error_text)
        else:
            self.assertIn(dump["error"].decode("cp932"), facts.error_text)

    def test_every_real_log(self):
        logs = sorted(f for f in os.listdir(LOGS) if f.endswith(".log"))
        self.assertGreaterEqual(len(logs), 6)
        inexact = 0
        for name in logs:
            with self.subTest(log=name):
                inexact += self.check_log(os.path.join(LOGS, name))[1]
        # The Red Hat honeypot's log holds bytes that aren't Shift-JIS.
        self.assertGreater(inexact, 0)

    def check_log(self, log):
        """Checks the reports of one log; returns the JSON and the number of inexact lines."""
        out = os.path.join(self.home.name, "report.html")
        dump = parse_dump(self.run_tool("--dump", log).stdout)
        run = self.run_tool("--json", "--with-log", "--html", out, log)
        self.assertEqual(run.returncode, 0 if dump["error"] is None else 1)
        report = json.loads(run.stdout.decode("utf-8"))
        inexact = self.check_json(report, dump)
        with open(out, "rb") as f:
            self.check_html(f.read(), dump, report)
        return report, inexact

    def write_log(self, lines):
        log = os.path.join(self.home.name, "made.log")
        with open(log, "wb") as f:
            f.write(b"".join(line + b"\n" for line in lines))
        return log

    def test_bytes_that_are_not_shift_jis_come_back_exactly(self):
        odd = b"\xff\xed\x40\x82\xa0"  # not Shift-JIS; the NEC form of a kanji; hiragana a
        log = self.write_log([
            b'192.0.2.1 - - [06/Dec/2026:09:15:02 +0900] "GET /' + odd + b' HTTP/1.1" 404 5 "-" "x"',
            b'192.0.2.2 - - [06/Dec/2026:10:15:02 +0900] "GET /%E3%81%82 HTTP/1.1" 200 9 '
            b'"http://example.org/?q=%E3%81%82" "y"'])
        report, inexact = self.check_log(log)
        self.assertEqual(inexact, 6)  # raw log, two extracts, file list, two 404 lists
        self.assertIn({"text": "/\ufffd\u7e8a\u3042", "bytes": base64.b64encode(b"/" + odd).decode()},
                      report["panes"]["get_files"]["lines"])

    def test_a_run_that_stops_reports_what_it_found_and_why(self):
        good = b'192.0.2.1 - - [06/Dec/2026:09:15:02 +0900] "GET /a HTTP/1.1" 200 5 "http://x/" "y"'
        report, _ = self.check_log(self.write_log([good, good, b"no time stamp here", good]))
        self.assertFalse(report["complete"])
        self.assertIn("は整数ではありません", report["error"])
        self.assertIsNone(report["summary"]["connections"]["total"])
        self.assertIsNone(report["hours"]["connections"])
        self.assertEqual(report["panes"]["get_extract"]["count"], 2)

    def test_without_with_log_the_raw_log_is_only_counted(self):
        log = os.path.join(LOGS, "howto-basjes-nl_2015-10_combined_join-form-spam.log")
        report = json.loads(self.run_tool("--json", log).stdout)
        self.validator.validate(report)
        self.assertNotIn("lines", report["panes"]["raw_log"])
        self.assertEqual(report["panes"]["raw_log"]["count"], 3456)


if __name__ == "__main__":
    if LOGS is None:
        sys.exit("usage: check_reports.py REPORT_TOOL SCHEMA LOG_FOLDER")
    if not os.path.isdir(LOGS):
        print(f"no real logs at {LOGS}")
        sys.exit(77)
    unittest.main(argv=sys.argv[:1])
