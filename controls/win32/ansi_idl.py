"""Writes the IDL in the type library's ANSI code page, so that widl stores
the help strings the way the type library loader reads them."""
import sys

source, target, codepage = sys.argv[1], sys.argv[2], sys.argv[3]
with open(source, encoding="utf-8") as f:
    text = f.read()
with open(target, "wb") as f:
    f.write(text.encode("cp" + codepage))
