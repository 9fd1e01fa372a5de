#!/usr/bin/env python3
"""Adds up GoogleTest/JUnit XML reports: prints one line per report and the total."""
import sys
import xml.etree.ElementTree as ET

total_pass = total_fail = total_skip = 0
for path in sys.argv[1:]:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        print(f"{path}: unreadable report ({e})")
        total_fail += 1
        continue
    tests = fails = skips = 0
    for case in root.iter("testcase"):
        tests += 1
        if case.find("failure") is not None or case.find("error") is not None:
            fails += 1
        elif case.find("skipped") is not None or case.get("status") == "notrun" \
                or case.get("result") == "skipped":
            skips += 1
    passed = tests - fails - skips
    print(f"{path}: {passed} passed, {fails} failed, {skips} skipped")
    total_pass += passed
    total_fail += fails
    total_skip += skips
print(f"tests: {total_pass} passed, {total_fail} failed, {total_skip} skipped")
sys.exit(1 if total_fail else 0)
