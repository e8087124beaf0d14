#!/usr/bin/env python3
"""The engine is bound by ordinal only: KXMedia.dll imports from Ondrix.dll nothing but
engine ordinals (1 to 67 without 38), none by name, and the stand-in Ondrix.dll exports
exactly those ordinals without names, its test controls by name and nothing else."""
import argparse, os, re, subprocess, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import jniexports  # noqa: E402  (the import table reader shared with the export check)

ENGINE = set(range(1, 68)) - {38}
CONTROLS = {"standinFailNext", "standinSucceedSilentlyNext", "standinReset", "standinCallCount",
            "standinLastArgumentCount", "standinLastArgument", "standinLastText", "standinLiveMatrices"}


def dump(objdump, dll):
    return subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout


def engine_imports(objdump, dll):
    """(ordinals, names) that the DLL imports from Ondrix.dll."""
    entries = next((e for name, e in jniexports.dll_imports(objdump, dll).items() if name.lower() == "ondrix.dll"), [])
    return [o for o, _ in entries if o is not None], [n for _, n in entries if n is not None]


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

    ordinals, names = engine_imports(args.objdump, args.media)
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
