#!/usr/bin/env python3
"""Writes the member names of the JDK's struct JNINativeInterface_, in table order, as
KX_JNI_SLOT(name) rows, so that the JNI host indexes its function table by the real layout."""
import re, sys

if len(sys.argv) != 3:
    sys.exit("usage: jnislots.py <jni.h> <out.inc>")
with open(sys.argv[1], encoding="utf-8") as f:
    text = f.read()
start = text.find("struct JNINativeInterface_ {")
if start < 0:
    sys.exit(f"jnislots: no struct JNINativeInterface_ in {sys.argv[1]}")
body = text[text.index("{", start) + 1:text.index("};", start)]
body = re.sub(r"/\*.*?\*/", " ", body, flags=re.S)
body = re.sub(r"//[^\n]*", " ", body)
if "#" in body:
    sys.exit("jnislots: preprocessor lines inside struct JNINativeInterface_ are not handled")
names = []
for member in body.split(";"):
    if not member.strip():
        continue
    m = re.search(r"\(\s*JNICALL\s*\*\s*(\w+)\s*\)", member) or re.search(r"\*\s*(\w+)\s*$", member)
    if not m:
        sys.exit(f"jnislots: cannot read the member {member.strip()!r}")
    names.append(m.group(1))
with open(sys.argv[2], "w", encoding="ascii") as f:
    f.write("// Generated from jni.h by jnislots.py; do not edit.\n")
    f.writelines(f"KX_JNI_SLOT({name})\n" for name in names)
