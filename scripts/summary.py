#!/usr/bin/env python3
"""Adds up the test cases of the given build folders and prints "N passed, M failed".

Each ctest entry counts by its cases when its program left a report (googletest XML in
test-results/<name>.xml, JUnit reports in test-results/<name>/), and as one case otherwise
(export checks, the fuzzer, a program that crashed before writing its report). A ctest
entry that ctest skipped counts as skipped, with its reason printed."""
import os, sys
import xml.etree.ElementTree as ET


def cases_in(path):
    passed = failed = skipped = 0
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.find("skipped") is not None or case.get("result") == "skipped" or case.get("status") == "notrun":
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def main(builds):
    total = [0, 0, 0]
    for build in builds:
        junit = os.path.join(build, "ctest-junit.xml")
        results = os.path.join(build, "test-results")
        if not os.path.exists(junit):
            print(f"{build}: no test results (build or ctest failed)")
            total[1] += 1
            continue
        counts = [0, 0, 0]
        for entry in ET.parse(junit).getroot().iter("testcase"):
            name, state = entry.get("name"), entry.get("status")
            if name.startswith("wine."):
                continue
            reports = []
            if os.path.isfile(os.path.join(results, name + ".xml")):
                reports.append(os.path.join(results, name + ".xml"))
            folder = os.path.join(results, name)
            if os.path.isdir(folder):
                reports += [os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".xml")]
            if state == "run" and reports:
                for report in reports:
                    counts = [a + b for a, b in zip(counts, cases_in(report))]
            elif state == "run":
                counts[0] += 1
            elif state in ("disabled", "notrun") and entry.find("skipped") is not None:
                counts[2] += 1
                said = (entry.findtext("system-out") or "").strip().splitlines()
                print(f"  skipped {build}: {name}: {said[0] if said else entry.find('skipped').get('message', '')}")
            else:
                failed = cases_in(reports[0]) if reports else (0, 1, 0)
                counts[1] += max(1, failed[1])
                counts[0] += failed[0]
        print(f"{build}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped")
        total = [a + b for a, b in zip(total, counts)]
    line = f"{total[0]} passed, {total[1]} failed"
    if total[2]:
        line += f", {total[2]} skipped"
    print(line)
    return 1 if total[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
