#!/usr/bin/env python3
"""The JUnit XML e2e.WheelTestJunit left in FOLDER, read by a parser other
than the one that wrote it: a testsuites root with one testsuite, testcases
with unique names, a failure for each fault found and the report in
system-out."""
import sys
import xml.etree.ElementTree as ET

folder = sys.argv[1]
problems = []


def check(name, classname, failures, result):
    root = ET.parse(f"{folder}/{name}").getroot()
    suites = root.findall("testsuite")
    if root.tag != "testsuites" or len(suites) != 1:
        problems.append(f"{name}: not one testsuite under testsuites")
        return
    cases = suites[0].findall("testcase")
    names = [c.get("name") for c in cases]
    if len(set(names)) != len(names):
        problems.append(f"{name}: names repeat: {names}")
    if any(c.get("classname") != classname for c in cases):
        problems.append(f"{name}: a classname other than {classname}")
    failed = sorted(c.get("name") for c in cases if c.find("failure") is not None)
    if failed != failures:
        problems.append(f"{name}: failures {failed}, not {failures}")
    if int(root.get("failures")) != len(failures) or int(root.get("tests")) != len(cases):
        problems.append(f"{name}: the counts disagree with the cases")
    out = suites[0].findtext("system-out") or ""
    if result not in out:
        problems.append(f"{name}: system-out lacks {result!r}")
    print(f"ok    {name}: {len(cases)} cases, failures {failed}" if not problems else f"FAIL  {name}")


check("wheel-test.xml", "notchlog.wheeltest", ["fine 8x-15", "sub-notch 4x-30"], "Result: 1 fault found")
check("replay.xml", "notchlog.replay", [], "Result: replayed 4 events")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
