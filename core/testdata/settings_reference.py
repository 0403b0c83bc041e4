#!/usr/bin/env python3
"""A second, independent reading of the settings file format, written from the format rules alone.

    settings_reference.py write PATH JSON   -- JSON {"section": {"key": "value"}} -> scrambled file
    settings_reference.py read PATH         -- scrambled file -> JSON on stdout
"""
import hashlib
import json
import sys

PHRASE = "Dv#7kLq2!mZr"


def rot(text):
    out = []
    for c in text:
        if "0" <= c <= "4" or "A" <= c <= "M" or "a" <= c <= "m":
            out.append(chr(ord(c) + (5 if c.isdigit() else 13)))
        elif "5" <= c <= "9" or "N" <= c <= "Z" or "n" <= c <= "z":
            out.append(chr(ord(c) - (5 if c.isdigit() else 13)))
        else:
            out.append(c)
    return "".join(out)


def md5hex(text):
    return hashlib.md5(text.encode("ascii")).hexdigest().upper()


def shift(text, forward):
    units = list(memoryview(text.encode("utf-16-le")).cast("H"))
    key = rot(md5hex(PHRASE))
    while len(key) < len(units):
        key += rot(md5hex(key))
    for i, u in enumerate(units):
        if 32 <= u <= 126:
            k = ord(key[i])
            units[i] = 32 + ((u - 32 + k) if forward else (u - 32 - k)) % 95
    return b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le", "surrogatepass")


def write(path, sections):
    plain = ""
    for name, keys in sections.items():
        plain += "[" + name + "]\r\n"
        for key, value in keys.items():
            plain += key + "=" + value + "\r\n"
        plain += "\r\n"
    with open(path, "wb") as f:
        f.write(b"\xef\xbb\xbf" + shift(plain, True).encode("utf-8", "surrogatepass"))


def read(path):
    raw = open(path, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf"):
        raw = raw[3:]
    lines = raw.decode("utf-8").splitlines()
    plain = shift("".join(line + "\r\n" for line in lines), False)
    sections, current = {}, None
    for line in plain.split("\r\n"):
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1].strip()
            current = None if name in sections else sections.setdefault(name, {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current.setdefault(key.rstrip(), value.lstrip())
    return sections


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], json.loads(sys.argv[3]))
    else:
        json.dump(read(sys.argv[2]), sys.stdout, ensure_ascii=False)
