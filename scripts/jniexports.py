#!/usr/bin/env python3
"""Export names of the JNI libraries, derived from the headers that javac -h generates.

The Java declarations are the only list of native methods: this reads them back from the
generated headers and
  def    writes the 32-bit .def that exports each defined method under "_name@N",
  check  compares a built DLL's export table with the declarations and checks that it
         imports nothing but Windows' own DLLs (and the engine, by ordinal),
  table  writes a C++ table of the declared methods (name, export names, signature).
"""
import argparse, re, subprocess, sys

PROTO = re.compile(
    r"/\*\s*\n \* Class:\s+(\S+)\s*\n \* Method:\s+(\S+)\s*\n \* Signature:\s+(\S+)\s*\n \*/\s*\n"
    r"JNIEXPORT\s+(\w+)\s+JNICALL\s+(\w+)\s*\n\s*\(([^)]*)\);")


def declared(headers):
    methods = []
    for header in headers:
        with open(header, encoding="ascii") as f:
            text = f.read()
        for cls, method, sig, result, name, params in PROTO.findall(text):
            types = [p.strip() for p in params.split(",")]
            arg_bytes = sum(8 if t in ("jlong", "jdouble") else 4 for t in types)
            methods.append(dict(cls=cls, method=method, signature=sig, result=result, name=name,
                                arg_bytes=arg_bytes, x86=f"_{name}@{arg_bytes}", x64=name))
    if not methods:
        sys.exit(f"jniexports: no native method declared in {' '.join(headers)}")
    return methods


def defined_symbols(nm, objects):
    out = subprocess.run([nm, "-g", "--defined-only", *objects], check=True,
                         capture_output=True, text=True).stdout
    return {line.split()[-1] for line in out.splitlines() if len(line.split()) == 3}


def write_def(args):
    methods = declared(args.header)
    by_x86 = {m["x86"]: m for m in methods}
    defined = {s for s in defined_symbols(args.nm, args.objects) if s.startswith("_Java_")}
    stray = sorted(defined - set(by_x86))
    if stray:
        sys.exit("jniexports: JNI functions defined but not declared in Java (wrong name or "
                 "argument size): " + ", ".join(stray))
    with open(args.out, "w", encoding="ascii") as f:
        f.write(f"LIBRARY {args.library}\nEXPORTS\n")
        for sym in sorted(defined):
            f.write(f"  {sym} = {sym[1:]}\n")


def dll_exports(objdump, dll):
    out = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    table = out.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
        if not m:
            break
        names.append(m.group(1))
    return names


# DLLs that every Windows installation has; a library of ours may import nothing else but
# the engine it is built for.
SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "user32.dll",
               "msvcrt.dll", "ntdll.dll", "shlwapi.dll", "uuid.dll", "ucrtbase.dll"}


def dll_imports(objdump, dll):
    """{dll name: [(ordinal or None, name or None)]} from objdump's import tables."""
    out = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    imports, current = {}, None
    for line in out.splitlines():
        m = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if m:
            current = imports.setdefault(m.group(1), [])
            continue
        if current is None:
            continue
        if not line.strip():
            current = None
            continue
        m = re.match(r"\s*([0-9a-fA-F]+)\s+<none>\s+([0-9a-fA-F]+)", line)
        if m:
            current.append((int(m.group(2), 16), None))
            continue
        # binutils 2.40 prints an ordinal import as "<thunk> <ordinal> <none>"; the thunk
        # holds the ordinal in its low 16 bits.
        m = re.match(r"\s*([0-9a-fA-F]+)\s+[0-9a-fA-F]+\s+<none>\s*$", line)
        if m:
            current.append((int(m.group(1), 16) & 0xFFFF, None))
            continue
        m = re.match(r"\s*[0-9a-fA-F]+\s+([0-9a-fA-F]+)\s+(\S+)", line)
        if m:
            current.append((None, m.group(2)))
    return imports


def check_imports(args):
    bad = []
    for dll, entries in dll_imports(args.objdump, args.dll).items():
        if dll.lower() in SYSTEM_DLLS:
            continue
        if dll.lower() in (d.lower() for d in args.by_ordinal):
            named = [name for ordinal, name in entries if name]
            if named:
                bad.append(f"{dll} imported by name: {', '.join(named)}")
            continue
        bad.append(f"{dll} is not a Windows system DLL")
    for line in bad:
        print(f"  import: {line}")
    return not bad


def check(args):
    methods = declared(args.header)
    imports_ok = check_imports(args)
    expected = {m[args.target]: m for m in methods}
    exports = dll_exports(args.objdump, args.dll)
    extra = sorted(set(exports) - set(expected))
    missing = sorted(m["name"] for key, m in expected.items() if key not in exports)
    print(f"{args.dll}: {len(exports)} exports, {len(expected)} native methods declared")
    for name in extra:
        print(f"  not a declared native method: {name}")
    if missing:
        print(f"  declared, not exported yet ({len(missing)}):")
        for name in missing:
            print(f"    {name}")
    if extra or (missing and args.require_all) or not imports_ok:
        sys.exit(1)


def table(args):
    methods = declared(args.header)
    with open(args.out, "w", encoding="ascii") as f:
        f.write("// Generated from the Java declarations; do not edit.\n")
        for m in methods:
            f.write('KX_NATIVE_METHOD("{cls}", "{method}", "{signature}", "{x64}", "{x86}", {arg_bytes})\n'
                    .format(**m))


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = p.add_subparsers(dest="cmd", required=True)
    d = sub.add_parser("def"); d.set_defaults(run=write_def)
    d.add_argument("--header", action="append", required=True)
    d.add_argument("--nm", required=True); d.add_argument("--library", required=True)
    d.add_argument("--out", required=True); d.add_argument("objects", nargs="+")
    c = sub.add_parser("check"); c.set_defaults(run=check)
    c.add_argument("--header", action="append", required=True)
    c.add_argument("--target", choices=("x86", "x64"), required=True)
    c.add_argument("--objdump", required=True); c.add_argument("--dll", required=True)
    c.add_argument("--require-all", action="store_true")
    c.add_argument("--by-ordinal", action="append", default=[],
                   help="a non-system DLL that the library may import, by ordinal only")
    t = sub.add_parser("table"); t.set_defaults(run=table)
    t.add_argument("--header", action="append", required=True); t.add_argument("--out", required=True)
    args = p.parse_args()
    args.run(args)


if __name__ == "__main__":
    main()
