#!/usr/bin/env python3
"""The engine is bound by ordinal only: KXMedia.dll imports from Ondrix.dll nothing but
engine ordinals (1 to 67 without 38), none by name, and the stand-in Ondrix.dll exports
exactly those ordinals without names, its test controls by name and nothing else."""
import argparse, re, subprocess, sys

ENGINE = set(range(1, 68)) - {38}
CONTROLS = {"standinFailNext", "standinSucceedSilentlyNext", "standinReset", "standinCallCount",
            "standinLastArgumentCount", "standinLastArgument", "standinLastText", "standinLiveMatrices"}


def dump(objdump, dll):
    return subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout


def engine_imports(text):
    """(ordinals, names) that the DLL imports from Ondrix.dll."""
    ordinals, names, inside = [], [], False
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if m:
            inside = m.group(1).lower() == "ondrix.dll"
            continue
        if not inside or "Hint/Ord" in line:
            continue
        if not line.strip():
            inside = False
            continue
        # An import by ordinal holds the ordinal flag (the top bit) and the ordinal in its
        # thunk, the first column; objdump prints the ordinal itself in decimal or hex.
        m = re.match(r"\s*([0-9a-fA-F]+)\s+[0-9a-fA-F]+\s+<none>\s*$", line)
        if m:
            thunk = int(m.group(1), 16)
            if thunk >> (len(m.group(1)) * 4 - 1):
                ordinals.append(thunk & 0xFFFF)
                continue
        m = re.match(r"\s*[0-9a-fA-F]+\s+[0-9a-fA-F]+\s+(\S+)", line)
        if m:
            names.append(m.group(1))
    return ordinals, names


def exports(text):
    """({ordinal: rva}, {name: ordinal}) of the DLL's export table."""
    base = int(re.search(r"Ordinal Base (\d+)", text).group(1))
    addresses = {int(o): int(rva, 16) for o, rva in re.findall(r"\+base\[\s*(\d+)\]\s+([0-9a-fA-F]+) Export RVA", text)}
    named = {}
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) == 2:
        for line in table[1].splitlines()[1:]:
            m = re.match(r"\s*\[\s*(\d+)\]\s+(\S+)", line)
            if not m:
                break
            named[m.group(2)] = int(m.group(1)) + base
    return {o: rva for o, rva in addresses.items() if rva}, named


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--objdump", required=True)
    p.add_argument("--media", required=True)
    p.add_argument("--engine", required=True)
    args = p.parse_args()
    problems = []

    ordinals, names = engine_imports(dump(args.objdump, args.media))
    print(f"{args.media}: {len(ordinals)} engine ordinals imported: {sorted(ordinals)}")
    if not ordinals:
        problems.append("KXMedia imports nothing from Ondrix.dll by ordinal")
    if names:
        problems.append(f"KXMedia imports from Ondrix.dll by name: {', '.join(names)}")
    if set(ordinals) - ENGINE:
        problems.append(f"KXMedia imports ordinals that are not engine operations: {sorted(set(ordinals) - ENGINE)}")
    if len(set(ordinals)) != len(ordinals):
        problems.append("KXMedia imports an ordinal twice")

    addresses, named = exports(dump(args.objdump, args.engine))
    by_ordinal_only = set(addresses) - set(named.values())
    print(f"{args.engine}: {len(by_ordinal_only)} exports by ordinal only, named: {sorted(named)}")
    if by_ordinal_only != ENGINE:
        problems.append(f"Ondrix.dll's ordinal-only exports differ from the engine's: missing {sorted(ENGINE - by_ordinal_only)}, "
                        f"extra {sorted(by_ordinal_only - ENGINE)}")
    if set(named) != CONTROLS:
        problems.append(f"Ondrix.dll's named exports are not exactly the test controls: {sorted(set(named) ^ CONTROLS)}")
    if set(named.values()) & ENGINE:
        problems.append("a named export sits on an engine ordinal")

    for problem in problems:
        print("  " + problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
