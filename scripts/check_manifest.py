#!/usr/bin/env python3
"""Checks the application manifest of Windows programs: the resource of type 24 and id 1, as the
resource compiler's listing of each program shows it (windres -O rc on standard input), must be
well-formed and say: run as the invoker without UI access, the Windows versions from Vista to
11 supported, aware of the system's DPI. Also the form that Windows XP's parser takes: an
assembly identity, and trustInfo with its own namespace. Prints what is missing; exits 1 then.

    i686-w64-mingw32-windres -i PROGRAM.exe -J coff -O rc | check_manifest.py PROGRAM.exe
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V2 = "{urn:schemas-microsoft-com:asm.v2}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
WINDOWS_SETTINGS = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def manifest_text(listing):
    """The text of resource 1 of type 24 in a windres listing, or None."""
    block = re.search(r"^1 24 .*?\nBEGIN\n(.*?)^END", listing, re.S | re.M)
    if block is None:
        return None
    pieces = re.findall(r'"((?:[^"]|"")*)"', block.group(1))
    return "".join(pieces).replace('""', '"').replace("\\n", "\n").replace("\\t", "\t")


def problems(text):
    if text is None:
        return ["no application manifest (resource type 24, id 1)"]
    try:
        root = ElementTree.fromstring(text.encode("utf-8"))
    except ElementTree.ParseError as error:
        return [f"the manifest is not well-formed XML: {error}"]
    found = []
    if root.tag != ASM_V1 + "assembly" or root.find(ASM_V1 + "assemblyIdentity") is None:
        found.append("no assembly element with an assemblyIdentity (Windows XP needs both)")
    level = root.find(
        f"{ASM_V2}trustInfo/{ASM_V2}security/{ASM_V2}requestedPrivileges/"
        f"{ASM_V2}requestedExecutionLevel")
    if level is None or level.get("level") != "asInvoker" or level.get("uiAccess") != "false":
        found.append("no requestedExecutionLevel asInvoker, uiAccess false, in a trustInfo of "
                     "the asm.v2 namespace")
    listed = {os.get("Id", "").lower()
              for os in root.iterfind(f"{COMPATIBILITY}compatibility/{COMPATIBILITY}application/"
                                      f"{COMPATIBILITY}supportedOS")}
    for os_id, name in SUPPORTED_OS.items():
        if os_id not in listed:
            found.append(f"no supportedOS for {name} {os_id}")
    aware = root.find(f"{ASM_V3}application/{ASM_V3}windowsSettings/{WINDOWS_SETTINGS}dpiAware")
    if aware is None or (aware.text or "").strip().lower() != "true":
        found.append("no dpiAware true in the 2005 WindowsSettings namespace")
    return found


def main():
    name = sys.argv[1] if len(sys.argv) > 1 else "the program"
    found = problems(manifest_text(sys.stdin.read()))
    for problem in found:
        print(f"{name}: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
