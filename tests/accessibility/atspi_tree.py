#!/usr/bin/env python3
"""Prints what a screen reader finds of a running program through AT-SPI:
one line per object, indented by depth, "role: name" (or "role" when it
has no name), and for a text the
first line it reads and its length. Only gdbus (Debian's libglib2.0-bin)
talks to the bus.
    atspi_tree.py BUS_ADDRESS [--press NAME]
--press NAME instead runs the press action of the first object so named."""
import ast
import re
import subprocess
import sys

ACCESSIBLE = "org.a11y.atspi.Accessible"


def gdbus(address, dest, path, method, *args, timeout=10):
    out = subprocess.run(
        ["gdbus", "call", "--address", address, "--dest", dest, "--object-path", path,
         "--timeout", str(timeout), "--method", method, "--", *args],
        capture_output=True, text=True, check=True).stdout
    # GVariant text is Python's literal syntax but for the <...> of variants
    # and the types written before some values ("objectpath '/…'", "@a(so) []").
    text = re.sub(r"<(.*)>", r"\1", out.strip())
    return ast.literal_eval(re.sub(r"(objectpath |@\S+ )", "", text))


def objects(address, dest, path, depth=0):
    role = gdbus(address, dest, path, ACCESSIBLE + ".GetRoleName")[0]
    name = gdbus(address, dest, path, "org.freedesktop.DBus.Properties.Get", ACCESSIBLE, "Name")[0]
    text = ""
    if role == "text":
        content = gdbus(address, dest, path, "org.a11y.atspi.Text.GetText", "0", "-1")[0]
        if content:
            text = f" = {content.splitlines()[0]} [{len(content)} characters]"
    yield depth, role, name + text, dest, path
    for child_dest, child_path in gdbus(address, dest, path, ACCESSIBLE + ".GetChildren")[0]:
        yield from objects(address, child_dest, child_path, depth + 1)


def applications(address):
    return gdbus(address, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                 ACCESSIBLE + ".GetChildren")[0]


def main():
    address = sys.argv[1]
    if len(sys.argv) == 4 and sys.argv[2] == "--press":
        for dest, path in applications(address):
            found = [o for o in objects(address, dest, path) if o[2] == sys.argv[3]]
            if found:
                # The action may open a modal dialog before it answers.
                subprocess.run(["gdbus", "call", "--address", address, "--dest", found[0][3], "--object-path",
                                found[0][4], "--timeout", "2", "--method", "org.a11y.atspi.Action.DoAction", "0"],
                               capture_output=True)
        return
    for dest, path in applications(address):
        for depth, role, name, _, _ in objects(address, dest, path):
            print(f"{'  ' * depth}{role}: {name}" if name else f"{'  ' * depth}{role}")


main()
